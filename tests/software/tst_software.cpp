// Tests of the recommendation page: the list request, the panels, the pictures and the link checks.
#include "Endpoints.h"
#include "FakeNetworkAccessManager.h"
#include "GlobalSettings.h"
#include "MainDialog.h"
#include "MyMessageBox.h"
#include "PromotionCache.h"
#include "SingleSoftwareWidget.h"
#include "SoftwareWidget.h"
#include "TestMain.h"
#include "TestTools.h"
#include "UrlRecorder.h"
#include "WebLink.h"
#include "XmlTree.h"

#include <QBoxLayout>
#include <QBuffer>
#include <QNetworkReply>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>

using namespace Qt::StringLiterals;
using QpaTest::child;

namespace {

const QString kFixtureDir = QStringLiteral(QPA_SOURCE_DIR "/tests/software/data/");
const QString kPromotionsUrl = u"http://www.quorvik.cn/promotions.xml"_s;

QByteArray fixture(const QString &name)
{
    QFile file(kFixtureDir + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray pngOfSize(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Items with the given names, each with every attribute except those listed in omit.
QByteArray itemsXml(int count, const QStringList &omit = {})
{
    QString xml = u"<promotions>"_s;
    for (int i = 0; i < count; ++i) {
        QString item = u"<item"_s;
        const QList<std::pair<QString, QString>> attributes = {
            {u"icon"_s, u"http://img.example.cn/icon%1.png"_s.arg(i)},
            {u"images"_s, u"http://img.example.cn/shot%1.png"_s.arg(i)},
            {u"name"_s, u"软件%1"_s.arg(i)},
            {u"size"_s, u"%1.5MB"_s.arg(i)},
            {u"version"_s, u"1.0.%1"_s.arg(i)},
            {u"description"_s, u"第%1个"_s.arg(i)},
            {u"url"_s, u"http://dl.example.cn/setup%1.exe"_s.arg(i)},
        };
        for (const auto &[key, value] : attributes) {
            if (!omit.contains(key))
                item += u" %1=\"%2\""_s.arg(key, value);
        }
        xml += item + u"/>"_s;
    }
    return (xml + u"</promotions>"_s).toUtf8();
}

// One letter per layout entry: P for a panel, S for a separator.
QString layoutShape(SoftwareWidget &page)
{
    QString shape;
    QLayout *layout = page.layout();
    for (int i = 0; i < layout->count(); ++i) {
        QWidget *w = layout->itemAt(i)->widget();
        if (qobject_cast<SingleSoftwareWidget *>(w))
            shape += u'P';
        else if (qobject_cast<QLabel *>(w) && w->objectName() == u"separator")
            shape += u'S';
        else
            shape += u'?';
    }
    return shape;
}

} // namespace

QString savedPath()
{
    return GlobalSettings::instance()->dataFilePath(u"promotions.xml"_s);
}

// Receives what the program hands to the desktop's URL handlers.
class TestSoftware : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void pageForm();
    void emptyPanel();
    void requestOnlyOnce();
    void panelLayout_data();
    void panelLayout();
    void hugeListStaysQuick();
    void fixtureFillsPanels();
    void fixturePictures();
    void separatorSpansPage();
    void missingAttributes_data();
    void missingAttributes();
    void noPictureRequestsWithoutAddresses();
    void badListReply_data();
    void badListReply();
    void notAnImage();
    void fitPreview_data();
    void fitPreview();
    void previewFollowsLabelSize();
    void webAddress_data();
    void webAddress();
    void download_data();
    void download();
    void descriptionLink_data();
    void descriptionLink();
    void remoteMarkupIsText();
    void pictureSizeLimit_data();
    void pictureSizeLimit();
    void firstVisitThroughMainWindow();
    void placeholderAndRetry();
    void savedListShownOffline();
    void badRepliesAreNotSaved();
    void savedPicturesStayWithinBudget();
    void visitAfterFailureTriesAgain();
    void screenshot();

private:
    SoftwareWidget *loadedPage(const QByteArray &body);

    FakeNetworkAccessManager *m_net = nullptr;
    UrlRecorder m_urls{"http", "https", "file", "ftp", "javascript", "smb", "mailto", "data"};
    std::unique_ptr<SoftwareWidget> m_page;
};

void TestSoftware::initTestCase()
{
    QCOMPARE(Endpoints::makerSiteUrl(u"promotions.xml"_s).toString(), kPromotionsUrl);
}

void TestSoftware::cleanupTestCase()
{
    m_page.reset();
}

void TestSoftware::init()
{
    m_page.reset();
    QFile::remove(savedPath());
    m_net = installFakeNetwork();
    m_urls.opened.clear();
}

SoftwareWidget *TestSoftware::loadedPage(const QByteArray &body)
{
    m_net->setReply(kPromotionsUrl, body);
    m_page = std::make_unique<SoftwareWidget>();
    m_page->show();
    m_page->requestPromotions();
    // The list reply is queued; let it and the panel layout through.
    if (!QTest::qWaitFor([this] { return m_net->requestCount(kPromotionsUrl) == 1; }))
        qWarning("the list was not requested");
    QTest::qWait(10);
    return m_page.get();
}

void TestSoftware::pageForm()
{
    SoftwareWidget page;
    QCOMPARE(page.objectName(), u"SoftwareWidget"_s);
    QCOMPARE(page.size(), QSize(900, 470));
    QVERIFY(page.autoFillBackground());
    QCOMPARE(page.palette().color(QPalette::Inactive, QPalette::Window), QColor(Qt::white));
    auto *layout = qobject_cast<QHBoxLayout *>(page.layout());
    QVERIFY(layout);
    QCOMPARE(layout->spacing(), 0);
    QCOMPARE(layout->contentsMargins(), QMargins());
    QCOMPARE(layout->count(), 0);
}

void TestSoftware::emptyPanel()
{
    SingleSoftwareWidget panel;
    for (const QString &name : {u"icon_"_s, u"name_"_s, u"size_"_s, u"version_"_s, u"image_"_s,
                                u"description_"_s}) {
        auto *label = child<QLabel>(&panel, name);
        QVERIFY2(label, qPrintable(name));
        QVERIFY2(label->text().isEmpty() && label->pixmap().isNull(), qPrintable(name));
    }
    auto *download = panel.findChild<QToolButton *>();
    QCOMPARE(download->text(), u"下载"_s);
    QCOMPARE(download->size(), QSize(90, 30));
    QCOMPARE(child<QLabel>(&panel, u"icon_"_s)->size(), QSize(55, 55));
    // Four lines of description; the preview takes the rest.
    auto *description = child<QLabel>(&panel, u"description_"_s);
    QVERIFY(description->height() >= 4 * description->fontMetrics().lineSpacing());
    QVERIFY(description->height() < 150);
    QVERIFY(!child<QLabel>(&panel, u"description_"_s)->openExternalLinks());
}

void TestSoftware::requestOnlyOnce()
{
    m_net->setReply(kPromotionsUrl, itemsXml(2, {u"icon"_s, u"images"_s}));
    m_net->setHold(true);
    SoftwareWidget page;
    page.requestPromotions();
    page.requestPromotions();
    QCOMPARE(m_net->requests(), QList<QUrl>{QUrl(kPromotionsUrl)});
    m_net->release();
    QTRY_COMPARE(page.panels().size(), 2);
    page.requestPromotions();
    QCoreApplication::processEvents();
    QCOMPARE(m_net->requestCount(kPromotionsUrl), 1);
    QCOMPARE(page.panels().size(), 2);
}

void TestSoftware::panelLayout_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("shape");
    QTest::newRow("no item") << QByteArray("<promotions/>") << QString();
    QTest::newRow("one item") << itemsXml(1) << u"P"_s;
    QTest::newRow("two items") << itemsXml(2) << u"PSP"_s;
    QTest::newRow("three items") << itemsXml(3) << u"PSPSP"_s;
    QTest::newRow("other elements skipped")
        << QByteArray("<list><promo name='x'/><item name='a'/><group><item name='nested'/></group>"
                      "<item name='b'/></list>")
        << u"PSP"_s;
    QTest::newRow("any root name") << QByteArray("<whatever><item name='a'/></whatever>") << u"P"_s;
}

void TestSoftware::panelLayout()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, shape);
    SoftwareWidget *page = loadedPage(body);
    QTRY_COMPARE(layoutShape(*page), shape);
    QCOMPARE(page->panels().size(), shape.count(u'P'));
}

void TestSoftware::hugeListStaysQuick()
{
    SoftwareWidget *page = loadedPage(itemsXml(5000));
    QTRY_COMPARE(page->panels().size(), SoftwareWidget::kMaxPanels);
    // Two picture requests per shown panel, none for the items that were cut: building every
    // panel would take minutes.
    QCOMPARE(m_net->requests().size(), 1 + 2 * SoftwareWidget::kMaxPanels);
}

void TestSoftware::fixtureFillsPanels()
{
    const QByteArray body = fixture(u"promotions.xml"_s);
    QVERIFY(!body.isEmpty());
    SoftwareWidget *page = loadedPage(body);
    QTRY_COMPARE(layoutShape(*page), u"PSP"_s);
    QWidget *first = page->panels().at(0);
    QWidget *second = page->panels().at(1);
    QCOMPARE(child<QLabel>(first, u"name_"_s)->text(), u"青柚输入法"_s);
    QCOMPARE(child<QLabel>(first, u"size_"_s)->text(), u"大小：38.6MB"_s);
    QCOMPARE(child<QLabel>(first, u"version_"_s)->text(), u"版本：6.2.1.1024"_s);
    QVERIFY(child<QLabel>(first, u"description_"_s)->text().contains(u"查看详细介绍"_s));
    QCOMPARE(first->findChild<QToolButton *>()->objectName(),
             u"http://www.quorvik.cn/download/qingyou_ime_6.2.1.1024.exe"_s);
    QCOMPARE(child<QLabel>(second, u"name_"_s)->text(), u"星帆压缩"_s);
    QCOMPARE(child<QLabel>(second, u"version_"_s)->text(), u"版本：3.1.0"_s);

    const QList<QUrl> expected = {
        QUrl(kPromotionsUrl),
        QUrl(u"http://www.quorvik.cn/promotions/icons/qingyou.png"_s),
        QUrl(u"http://www.quorvik.cn/promotions/images/qingyou.png"_s),
        QUrl(u"http://www.quorvik.cn/promotions/icons/xingfan.png"_s),
        QUrl(u"http://www.quorvik.cn/promotions/images/xingfan.png"_s),
    };
    QCOMPARE(m_net->requests(), expected);
}

void TestSoftware::fixturePictures()
{
    for (const QString &name : {u"qingyou"_s, u"xingfan"_s}) {
        m_net->setReply(u"http://www.quorvik.cn/promotions/icons/%1.png"_s.arg(name),
                        fixture(u"icons/%1.png"_s.arg(name)));
        m_net->setReply(u"http://www.quorvik.cn/promotions/images/%1.png"_s.arg(name),
                        fixture(u"images/%1.png"_s.arg(name)));
    }
    SoftwareWidget *page = loadedPage(fixture(u"promotions.xml"_s));
    QTRY_COMPARE(page->panels().size(), 2);
    for (SingleSoftwareWidget *panel : page->panels()) {
        auto *icon = child<QLabel>(panel, u"icon_"_s);
        auto *image = child<QLabel>(panel, u"image_"_s);
        QTRY_VERIFY(!icon->pixmap().isNull());
        QTRY_VERIFY(!image->pixmap().isNull());
        QVERIFY(icon->hasScaledContents());
        QVERIFY(image->width() >= 400 && image->height() >= 200);
        QVERIFY(image->pixmap().width() <= image->width());
        QVERIFY(image->pixmap().height() <= image->height());
    }
    // 420x230 fits and stays as it is; 640x300 is wider than the label and shrinks to its width.
    auto *small = child<QLabel>(page->panels().at(0), u"image_"_s);
    auto *wide = child<QLabel>(page->panels().at(1), u"image_"_s);
    QCOMPARE(small->pixmap().size(), QSize(420, 230));
    QCOMPARE(wide->pixmap().width(), wide->width());
    QVERIFY(qAbs(wide->pixmap().height() - qRound(300.0 * wide->width() / 640)) <= 1);
}

void TestSoftware::separatorSpansPage()
{
    SoftwareWidget *page = loadedPage(itemsXml(2, {u"icon"_s, u"images"_s}));
    QTRY_COMPARE(layoutShape(*page), u"PSP"_s);
    auto *separator = qobject_cast<QLabel *>(page->layout()->itemAt(1)->widget());
    QCOMPARE(separator->minimumHeight(), page->height());
    QCOMPARE(separator->maximumHeight(), page->height());
    const QString file = GlobalSettings::instance()->resourcesDirectory() + u"vline450.png"_s;
    if (QFile::exists(file))
        QCOMPARE(separator->pixmap().size(), QPixmap(file).size());
    // Two panels share the page; the line between them is thin.
    QTRY_VERIFY(page->panels().at(0)->width() >= 440);
    QTRY_VERIFY(separator->width() < 10);
}

void TestSoftware::missingAttributes_data()
{
    QTest::addColumn<QString>("omit");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::newRow("no size") << u"size"_s << u"size_"_s << u"大小："_s;
    QTest::newRow("no version") << u"version"_s << u"version_"_s << u"版本："_s;
    QTest::newRow("no name") << u"name"_s << u"name_"_s << QString();
    QTest::newRow("no description") << u"description"_s << u"description_"_s << QString();
    QTest::newRow("size kept verbatim") << QString() << u"size_"_s << u"大小：0.5MB"_s;
    QTest::newRow("version kept verbatim") << QString() << u"version_"_s << u"版本：1.0.0"_s;
}

void TestSoftware::missingAttributes()
{
    QFETCH(QString, omit);
    QFETCH(QString, label);
    QFETCH(QString, text);
    SoftwareWidget *page = loadedPage(itemsXml(1, {omit, u"icon"_s, u"images"_s}));
    QTRY_COMPARE(page->panels().size(), 1);
    QCOMPARE(child<QLabel>(page->panels().first(), label)->text(), text);
}

void TestSoftware::noPictureRequestsWithoutAddresses()
{
    SoftwareWidget *page = loadedPage(
        "<promotions><item name='a' icon='' url='http://a.cn/'/><item name='b'/></promotions>");
    QTRY_COMPARE(page->panels().size(), 2);
    QTest::qWait(20);
    QCOMPARE(m_net->requests(), QList<QUrl>{QUrl(kPromotionsUrl)});
    for (SingleSoftwareWidget *panel : page->panels()) {
        QVERIFY(child<QLabel>(panel, u"icon_"_s)->pixmap().isNull());
        QVERIFY(child<QLabel>(panel, u"image_"_s)->pixmap().isNull());
    }
}

void TestSoftware::badListReply_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("networkError");
    QTest::newRow("empty body") << QByteArray() << false;
    QTest::newRow("network error") << QByteArray() << true;
    QTest::newRow("malformed xml") << QByteArray("<promotions><item name='a'></promotions>") << false;
    QTest::newRow("html error page") << QByteArray("<html><body>404 Not Found") << false;
    QTest::newRow("binary junk") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11) << false;
    QTest::newRow("only a declaration") << QByteArray("<?xml version='1.0'?>") << false;
}

void TestSoftware::badListReply()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, networkError);
    if (networkError)
        m_net->setError(kPromotionsUrl, QNetworkReply::HostNotFoundError);
    SoftwareWidget *page = networkError ? nullptr : loadedPage(body);
    if (networkError) {
        m_page = std::make_unique<SoftwareWidget>();
        m_page->requestPromotions();
        page = m_page.get();
    }
    QTest::qWait(20);
    QCOMPARE(page->layout()->count(), 0);
    QCOMPARE(m_net->requests().size(), 1);
}

void TestSoftware::notAnImage()
{
    m_net->setReply(u"http://img.example.cn/*"_s, "<html>not a picture</html>");
    SoftwareWidget *page = loadedPage(itemsXml(1));
    QTRY_COMPARE(m_net->requests().size(), 3);
    QTest::qWait(20);
    QWidget *panel = page->panels().first();
    QVERIFY(child<QLabel>(panel, u"icon_"_s)->pixmap().isNull());
    QVERIFY(child<QLabel>(panel, u"image_"_s)->pixmap().isNull());
    QCOMPARE(child<QLabel>(panel, u"name_"_s)->text(), u"软件0"_s);
}

void TestSoftware::fitPreview_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("area");
    QTest::addColumn<QSize>("shown");
    QTest::newRow("smaller both ways") << QSize(200, 100) << QSize(440, 250) << QSize(200, 100);
    QTest::newRow("exactly the area") << QSize(440, 250) << QSize(440, 250) << QSize(440, 250);
    QTest::newRow("wider") << QSize(880, 100) << QSize(440, 250) << QSize(440, 50);
    QTest::newRow("taller") << QSize(100, 500) << QSize(440, 250) << QSize(50, 250);
    QTest::newRow("larger both, wide") << QSize(1760, 500) << QSize(440, 250) << QSize(440, 125);
    QTest::newRow("larger both, tall") << QSize(600, 1000) << QSize(440, 250) << QSize(150, 250);
    QTest::newRow("only a bit taller") << QSize(300, 260) << QSize(440, 250) << QSize(288, 250);
}

void TestSoftware::fitPreview()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, area);
    QFETCH(QSize, shown);
    QPixmap pixmap(picture);
    pixmap.fill(Qt::red);
    QCOMPARE(SingleSoftwareWidget::fitPreview(pixmap, area).size(), shown);
    QVERIFY(SingleSoftwareWidget::fitPreview(QPixmap(), area).isNull());
}

void TestSoftware::previewFollowsLabelSize()
{
    // A tall picture whose reply arrives before the page is laid out still ends up fitted.
    m_net->setReply(u"http://img.example.cn/shot0.png"_s, fixture(u"images/modian.png"_s));
    m_net->setReply(u"http://img.example.cn/icon0.png"_s, pngOfSize(64, 64));
    m_net->setReply(kPromotionsUrl, itemsXml(1));
    SoftwareWidget page;
    page.requestPromotions();
    QTRY_COMPARE(m_net->requests().size(), 3);
    QTest::qWait(20);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto *image = child<QLabel>(page.panels().first(), u"image_"_s);
    QTRY_COMPARE(image->pixmap().height(), image->height());
    QVERIFY(image->height() < 400);
    QCOMPARE(image->pixmap().width(), qRound(300.0 * image->height() / 400));
}

void TestSoftware::webAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("web");
    QTest::newRow("http") << u"http://www.quorvik.cn/download/a.exe"_s << true;
    QTest::newRow("https") << u"https://dl.example.cn/setup.exe?x=1&y=2"_s << true;
    QTest::newRow("upper-case scheme") << u"HTTP://EXAMPLE.CN/"_s << true;
    QTest::newRow("surrounding spaces") << u"  http://example.cn/a  "_s << true;
    QTest::newRow("chinese path") << u"http://example.cn/软件/安装.exe"_s << true;
    QTest::newRow("file url") << u"file:///etc/passwd"_s << false;
    QTest::newRow("file url to program") << u"file:///usr/bin/xterm"_s << false;
    QTest::newRow("unix path") << u"/usr/bin/xterm"_s << false;
    QTest::newRow("windows path") << u"C:\\Windows\\System32\\cmd.exe"_s << false;
    QTest::newRow("unc path") << u"\\\\server\\share\\setup.exe"_s << false;
    QTest::newRow("relative") << u"setup.exe"_s << false;
    QTest::newRow("javascript") << u"javascript:alert(1)"_s << false;
    QTest::newRow("ftp") << u"ftp://example.cn/setup.exe"_s << false;
    QTest::newRow("smb") << u"smb://server/share/setup.exe"_s << false;
    QTest::newRow("data") << u"data:text/html,<b>x</b>"_s << false;
    QTest::newRow("http without host") << u"http:///etc/passwd"_s << false;
    QTest::newRow("empty") << QString() << false;
}

void TestSoftware::webAddress()
{
    QFETCH(QString, text);
    QFETCH(bool, web);
    QCOMPARE(WebLink::isWebAddress(WebLink::fromText(text)), web);
    QCOMPARE(WebLink::open(text), web);
    QCOMPARE(m_urls.opened.size(), web ? 1 : 0);
}

void TestSoftware::download_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("opened");
    QTest::newRow("http download") << u"http://www.quorvik.cn/download/a.exe"_s << true;
    QTest::newRow("https download") << u"https://www.quorvik.cn/download/b.exe"_s << true;
    QTest::newRow("local program") << u"file:///usr/bin/xterm"_s << false;
    QTest::newRow("bare path") << u"/bin/sh"_s << false;
    QTest::newRow("other scheme") << u"smb://server/share/setup.exe"_s << false;
    QTest::newRow("no url") << QString() << false;
}

void TestSoftware::download()
{
    QFETCH(QString, url);
    QFETCH(bool, opened);
    XmlNode item;
    item.name = u"item"_s;
    item.attributes = {{u"url"_s, url}};
    SingleSoftwareWidget panel;
    panel.fillFromItem(item);
    auto *button = panel.findChild<QToolButton *>();
    QCOMPARE(button->objectName(), url);
    panel.show();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_urls.opened, opened ? QList<QUrl>{QUrl(url)} : QList<QUrl>{});
}

void TestSoftware::descriptionLink_data()
{
    QTest::addColumn<QString>("href");
    QTest::addColumn<bool>("opened");
    QTest::newRow("web page") << u"http://www.quorvik.cn/soft/qingyou.html"_s << true;
    QTest::newRow("secure web page") << u"https://www.quorvik.cn/soft/xingfan.html"_s << true;
    QTest::newRow("local file") << u"file:///etc/passwd"_s << false;
    QTest::newRow("program path") << u"/usr/bin/xterm"_s << false;
    QTest::newRow("script") << u"javascript:alert(1)"_s << false;
}

void TestSoftware::descriptionLink()
{
    QFETCH(QString, href);
    QFETCH(bool, opened);
    XmlNode item;
    item.name = u"item"_s;
    item.attributes = {{u"description"_s, u"<a href=\"%1\">点这里查看详细介绍</a>"_s.arg(href)}};
    SingleSoftwareWidget panel;
    panel.fillFromItem(item);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    auto *description = child<QLabel>(&panel, u"description_"_s);
    QVERIFY(!description->openExternalLinks());
    // Click on the link text itself, as a user would.
    const QPoint onLink(description->fontMetrics().horizontalAdvance(u"点这"_s), description->fontMetrics().height() / 2);
    QTest::mouseClick(description, Qt::LeftButton, {}, onLink);
    QCOMPARE(m_urls.opened, opened ? QList<QUrl>{QUrl(href)} : QList<QUrl>{});
}

void TestSoftware::remoteMarkupIsText()
{
    XmlNode item;
    item.name = u"item"_s;
    item.attributes = {{u"name"_s, u"<h1>大</h1>"_s},
                       {u"size"_s, u"<font size=7>1</font>"_s},
                       {u"version"_s, u"<a href='http://x.cn/'>1</a>"_s},
                       {u"description"_s, u"<img src=\"/usr/share/pixmaps/debian-logo.png\">说明 "
                                          u"<a href=\"https://a.cn/x?a=1&b=2\">详情</a> <a href=\"file:///etc/passwd\">本地</a>"_s}};
    SingleSoftwareWidget panel;
    panel.fillFromItem(item);
    for (const QString &name : {u"name_"_s, u"size_"_s, u"version_"_s})
        QCOMPARE(child<QLabel>(&panel, name)->textFormat(), Qt::PlainText);
    QCOMPARE(child<QLabel>(&panel, u"name_"_s)->text(), u"<h1>大</h1>"_s);
    // Only the web link stays a link; the picture and the file link are shown as text.
    QCOMPARE(child<QLabel>(&panel, u"description_"_s)->text(),
             u"&lt;img src=&quot;/usr/share/pixmaps/debian-logo.png&quot;&gt;说明 "
             u"<a href=\"https://a.cn/x?a=1&amp;b=2\">详情</a> "
             u"&lt;a href=&quot;file:///etc/passwd&quot;&gt;本地&lt;/a&gt;"_s);
}

void TestSoftware::pictureSizeLimit_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("shown");
    QTest::newRow("icon size") << QSize(48, 48) << true;
    QTest::newRow("at the limit") << QSize(4096, 1) << true;
    // A valid picture whose pixels would take far more memory than its file (16000 x 16000 is a
    // gigabyte) is not decoded; one pixel past the limit stands for it here.
    QTest::newRow("too wide") << QSize(4097, 1) << false;
    QTest::newRow("too high") << QSize(1, 4097) << false;
}

void TestSoftware::pictureSizeLimit()
{
    QFETCH(QSize, size);
    QFETCH(bool, shown);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(image.save(&buffer, "PNG"));
    m_net->setReply(u"http://www.quorvik.cn/big.png"_s, png);
    SoftwareWidget *page = loadedPage("<p><item name='a' icon='http://www.quorvik.cn/big.png'/></p>");
    QTRY_COMPARE(page->panels().size(), 1);
    QTRY_COMPARE(m_net->requestCount(u"http://www.quorvik.cn/big.png"_s), 1);
    auto *icon = child<QLabel>(page->panels().first(), u"icon_"_s);
    if (shown)
        QTRY_VERIFY(!icon->pixmap().isNull());
    else
        QTRY_VERIFY(page->panels().first()->findChildren<QNetworkReply *>().isEmpty());
    QCOMPARE(!icon->pixmap().isNull(), shown);
}

void TestSoftware::firstVisitThroughMainWindow()
{
    MyMessageBox::setAutoAnswer(true);
    m_net->setReply(kPromotionsUrl, fixture(u"promotions.xml"_s));
    MainDialog dialog;
    dialog.ensureWindowBuilt();
    auto *stack = dialog.findChild<QStackedWidget *>(u"stackedWidget"_s);
    QVERIFY(!dialog.findChild<SoftwareWidget *>());
    QCOMPARE(m_net->requestCount(kPromotionsUrl), 0);

    auto *promotion = dialog.findChild<QPushButton *>(u"btnPromotion"_s);
    auto *website = dialog.findChild<QPushButton *>(u"btnWebsite"_s);
    promotion->click();
    auto *page = qobject_cast<SoftwareWidget *>(stack->currentWidget());
    QVERIFY(page);
    QCOMPARE(stack->indexOf(page), 4);
    QTRY_COMPARE(page->panels().size(), 2);
    promotion->click();
    website->click();
    promotion->click();
    QTest::qWait(20);
    QCOMPARE(m_net->requestCount(kPromotionsUrl), 1);
    QCOMPARE(page->panels().size(), 2);
}

void TestSoftware::placeholderAndRetry()
{
    m_net->setError(kPromotionsUrl, QNetworkReply::HostNotFoundError);
    SoftwareWidget page;
    page.resize(900, 470);
    QVERIFY(page.placeholder()->isHidden()); // nothing asked yet
    page.requestPromotions();
    auto *text = page.placeholder()->findChild<QLabel *>(u"placeholderText_"_s);
    auto *retry = page.placeholder()->findChild<QPushButton *>(u"retry_"_s);
    QVERIFY(!page.placeholder()->isHidden());
    QVERIFY(retry->isHidden()); // while the request runs
    QTRY_COMPARE(text->text(), u"暂时无法获取推荐内容"_s);
    QVERIFY(!retry->isHidden());
    QCOMPARE(page.placeholder()->geometry(), page.rect());

    m_net->setReply(kPromotionsUrl, itemsXml(2));
    retry->click();
    QCOMPARE(m_net->requestCount(kPromotionsUrl), 2);
    QTRY_COMPARE(page.panels().size(), 2);
    QVERIFY(page.placeholder()->isHidden());
}

void TestSoftware::savedListShownOffline()
{
    m_net->setReply(kPromotionsUrl, itemsXml(2));
    m_net->setReply(u"http://img.example.cn/*"_s, pngOfSize(40, 30));
    {
        SoftwareWidget page;
        page.requestPromotions();
        QTRY_COMPARE(m_net->requests().size(), 5);
        QTRY_VERIFY(PromotionCache::load(savedPath()).pictures.size() == 4);
    }
    // The next run without network shows the saved panels with their pictures at once.
    m_net = installFakeNetwork();
    SoftwareWidget page;
    page.requestPromotions();
    QCOMPARE(page.panels().size(), 2);
    QVERIFY(page.placeholder()->isHidden());
    QCOMPARE(child<QLabel>(page.panels().at(1), u"name_"_s)->text(), u"软件1"_s);
    QVERIFY(!child<QLabel>(page.panels().at(0), u"icon_"_s)->pixmap().isNull());
    QCOMPARE(m_net->requests(), QList<QUrl>{QUrl(kPromotionsUrl)});
    QTest::qWait(20);
    // The failed request keeps them.
    QCOMPARE(page.panels().size(), 2);
    QVERIFY(page.placeholder()->isHidden());
    QVERIFY(!PromotionCache::load(savedPath()).list.isEmpty());
}

void TestSoftware::badRepliesAreNotSaved()
{
    for (const QByteArray &body : {QByteArray(), QByteArray("<promotions></promotions>"),
                                   QByteArray("<promotions><item name='a'>"),
                                   QByteArray("<html>404</html>"), QByteArray(3 * 1024 * 1024, '<')}) {
        m_net->setReply(kPromotionsUrl, body);
        SoftwareWidget page;
        page.requestPromotions();
        QTRY_VERIFY(!page.placeholder()->findChild<QPushButton *>(u"retry_"_s)->isHidden());
        QVERIFY(page.panels().isEmpty());
        QVERIFY(!QFile::exists(savedPath()));
    }
    // A picture that is not an image is not kept either.
    m_net->setReply(kPromotionsUrl, itemsXml(1));
    m_net->setReply(u"http://img.example.cn/*"_s, "<html>not a picture</html>");
    SoftwareWidget page;
    page.requestPromotions();
    QTRY_COMPARE(m_net->requestCount(u"http://img.example.cn/"_s), 2);
    QTest::qWait(20);
    const SavedPromotions saved = PromotionCache::load(savedPath());
    QCOMPARE(saved.list, itemsXml(1));
    QVERIFY(saved.pictures.isEmpty());
}

void TestSoftware::savedPicturesStayWithinBudget()
{
    SavedPromotions big{itemsXml(3), {}};
    for (int i = 0; i < 4; ++i)
        big.pictures.insert(u"http://img.example.cn/%1.png"_s.arg(i), QByteArray(2 * 1024 * 1024, char('a' + i)));
    QVERIFY(PromotionCache::save(savedPath(), big));
    const SavedPromotions back = PromotionCache::load(savedPath());
    QCOMPARE(back.list, big.list);
    QCOMPARE(back.pictures.size(), 2);
    qint64 total = back.list.size();
    for (const QByteArray &bytes : back.pictures)
        total += bytes.size();
    QVERIFY(total <= PromotionCache::MaxBytes);

    // A damaged file is ignored.
    QFile file(savedPath());
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.seek(file.size() / 2);
    file.write("<<<");
    file.close();
    QVERIFY(PromotionCache::load(savedPath()).list.isEmpty());
}

void TestSoftware::visitAfterFailureTriesAgain()
{
    MyMessageBox::setAutoAnswer(true);
    m_net->setError(kPromotionsUrl, QNetworkReply::ConnectionRefusedError);
    MainDialog dialog;
    dialog.ensureWindowBuilt();
    auto *stack = dialog.findChild<QStackedWidget *>(u"stackedWidget"_s);
    auto *promotion = dialog.findChild<QPushButton *>(u"btnPromotion"_s);
    auto *website = dialog.findChild<QPushButton *>(u"btnWebsite"_s);
    promotion->click();
    auto *page = qobject_cast<SoftwareWidget *>(stack->currentWidget());
    QVERIFY(page);
    QTRY_VERIFY(!page->placeholder()->findChild<QPushButton *>(u"retry_"_s)->isHidden());
    m_net->setReply(kPromotionsUrl, itemsXml(2));
    website->click();
    promotion->click();
    QCOMPARE(m_net->requestCount(kPromotionsUrl), 2);
    QTRY_COMPARE(page->panels().size(), 2);
}

// Pictures for a person to look at: set QPA_SCREENSHOT_DIR and run under a real X server.
void TestSoftware::screenshot()
{
    const QString dir = qEnvironmentVariable("QPA_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("QPA_SCREENSHOT_DIR not set");
    MyMessageBox::setAutoAnswer(true);
    m_net->setReply(kPromotionsUrl, fixture(u"promotions.xml"_s));
    for (const QString &name : {u"qingyou"_s, u"xingfan"_s}) {
        m_net->setReply(u"http://www.quorvik.cn/promotions/icons/%1.png"_s.arg(name),
                        fixture(u"icons/%1.png"_s.arg(name)));
        m_net->setReply(u"http://www.quorvik.cn/promotions/images/%1.png"_s.arg(name),
                        fixture(u"images/%1.png"_s.arg(name)));
    }
    MainDialog dialog;
    dialog.move(40, 40);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.findChild<QPushButton *>(u"btnPromotion"_s)->click();
    auto *page = qobject_cast<SoftwareWidget *>(dialog.findChild<QStackedWidget *>(u"stackedWidget"_s)->currentWidget());
    QVERIFY(page);
    QTRY_COMPARE(page->panels().size(), 2);
    for (SingleSoftwareWidget *panel : page->panels())
        QTRY_VERIFY(!child<QLabel>(panel, u"image_"_s)->pixmap().isNull());
    QTest::qWait(500);
    QVERIFY(dialog.screen()->grabWindow(0).save(dir + u"/software_page.png"_s));
}

QPA_TEST_MAIN(TestSoftware)
#include "tst_software.moc"
