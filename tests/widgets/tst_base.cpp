// Borderless dialog dragging and closing, and the message box.
#include "FramelessDialog.h"
#include "MyMessageBox.h"
#include "RepeatedClick.h"
#include "ScreenPosition.h"
#include "WholeCharacters.h"
#include "GlobalSettings.h"
#include "TestMain.h"
#include "TestTools.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

using namespace Qt::StringLiterals;

class TestBase : public QObject
{
    Q_OBJECT

private slots:
    void hitTest_data();
    void hitTest();
    void closingDoesNotEndProgram_data();
    void closingDoesNotEndProgram();
    void backgroundPicture();
    void messageBoxAnswer_data();
    void messageBoxAnswer();
    void standardButtonsInChinese_data();
    void standardButtonsInChinese();
    void closeBarTopRight();
    void messageBoxOverItsWindow();
    void screenPositionsFromWindowGeometry_data();
    void screenPositionsFromWindowGeometry();
    void keepOnScreens_data();
    void keepOnScreens();
    void repeatedClick_data();
    void repeatedClick();
    void brokenCharactersDropped_data();
    void brokenCharactersDropped();
    void lineEditKeepsWholeCharacters_data();
    void lineEditKeepsWholeCharacters();
};

void TestBase::hitTest_data()
{
    QTest::addColumn<QPoint>("pos"); // in window coordinates
    QTest::addColumn<int>("code");
    QTest::newRow("bare background") << QPoint(5, 5) << int(FramelessDialog::HitCaption);
    QTest::newRow("on a label") << QPoint(25, 25) << int(FramelessDialog::HitNowhere);
    QTest::newRow("on a button") << QPoint(125, 25) << int(FramelessDialog::HitNowhere);
    QTest::newRow("outside") << QPoint(500, 500) << int(FramelessDialog::HitNowhere);
}

void TestBase::hitTest()
{
    QFETCH(QPoint, pos);
    FramelessDialog dialog;
    dialog.setFixedSize(300, 200);
    auto *label = new QLabel(u"标签"_s, &dialog);
    label->setGeometry(20, 20, 60, 20);
    auto *button = new QPushButton(u"确定"_s, &dialog);
    button->setGeometry(120, 20, 60, 20);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTEST(dialog.hitTest(dialog.mapToGlobal(pos)), "code");
}

void TestBase::closingDoesNotEndProgram_data()
{
    QTest::addColumn<bool>("frameless");
    QTest::addColumn<bool>("quits");
    // The plain window shows that the check sees a quit when there is one.
    QTest::newRow("plain window") << false << true;
    QTest::newRow("borderless dialog") << true << false;
}

void TestBase::closingDoesNotEndProgram()
{
    QFETCH(bool, frameless);
    QFETCH(bool, quits);
    std::unique_ptr<QWidget> window;
    if (frameless)
        window = std::make_unique<FramelessDialog>();
    else
        window = std::make_unique<QWidget>();
    QCOMPARE(window->testAttribute(Qt::WA_QuitOnClose), quits);
    QCOMPARE(bool(window->windowFlags() & Qt::FramelessWindowHint), frameless);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(QpaTest::visibleTopLevelWindows(), 1);
    QCOMPARE(QpaTest::quitsEventLoop([&window] { window->close(); }), quits);
    QVERIFY(!window->isVisible());
}

void TestBase::backgroundPicture()
{
    QWidget window;
    QWidget child(&window);
    FramelessDialog::setBackgroundImage(&child, u"bg_dialog.png"_s);
    QVERIFY(child.autoFillBackground());
    // Decoded when first shown, not before.
    QVERIFY(child.palette().brush(QPalette::Window).texture().isNull());
    window.show();
    const QPixmap picture = child.palette().brush(QPalette::Window).texture();
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.size(), QSize(640, 480));
}

void TestBase::messageBoxAnswer_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("download") << u"立即下载"_s;
    QTest::newRow("later") << u"暂时不用"_s;
}

void TestBase::messageBoxAnswer()
{
    QFETCH(QString, answer);
    MyMessageBox::setAutoAnswer(true, answer);
    MyMessageBox::shownMessages().clear();
    MyMessageBox box(nullptr);
    box.addButton(u"暂时不用"_s, QMessageBox::NoRole);
    box.addButton(u"立即下载"_s, QMessageBox::YesRole);
    box.showMessage(QMessageBox::Information, u"系统消息"_s, u"检测到新版本，是否立即更新？"_s);
    QVERIFY(box.clickedButton());
    QCOMPARE(box.clickedButton()->text(), answer);
    QCOMPARE(MyMessageBox::shownMessages(), QStringList{u"系统消息|检测到新版本，是否立即更新？"_s});
    MyMessageBox::setAutoAnswer(false);
}

void TestBase::standardButtonsInChinese_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("first");
    QTest::newRow("ok") << int(QMessageBox::Ok) << u"确定"_s;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << u"取消"_s;
    QTest::newRow("yes") << int(QMessageBox::Yes) << u"是"_s;
    QTest::newRow("no") << int(QMessageBox::No) << u"否"_s;
}

void TestBase::standardButtonsInChinese()
{
    QFETCH(int, buttons);
    MyMessageBox::setAutoAnswer(true);
    MyMessageBox box(nullptr);
    box.showMessage(QMessageBox::Information, u"系统消息"_s, u"您正在使用最新版本"_s,
                    QMessageBox::StandardButtons(buttons));
    QVERIFY(box.clickedButton());
    QTEST(box.clickedButton()->text(), "first");
    MyMessageBox::setAutoAnswer(false);
}

namespace {
class CloseBarDialog : public FramelessDialog
{
public:
    CloseBarDialog()
    {
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(47, 0, 0, 0);
        bar = addCloseBar(layout);
        layout->addStretch();
    }
    CloseBar bar;
};
} // namespace

void TestBase::closeBarTopRight()
{
    CloseBarDialog dialog;
    dialog.resize(640, 480);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QToolButton *close = dialog.bar.close;
    QCOMPARE(close->objectName(), u"close_"_s);
    QCOMPARE(dialog.bar.widget->objectName(), u"widget_"_s);
    QCOMPARE(close->parentWidget(), dialog.bar.widget);
    QCOMPARE(close->toolTip(), u"关闭"_s);
    QCOMPARE(close->iconSize(), QSize(12, 12));
    QVERIFY(close->autoRaise());
    const QRect onDialog(close->mapTo(&dialog, QPoint(0, 0)), close->size());
    QVERIFY2(onDialog.right() >= dialog.width() - 20, "the close button sits at the right edge");
    QVERIFY2(onDialog.top() <= 10, "the close button sits at the top edge");
    // The button takes its click; the rest of the top edge still drags the window.
    QCOMPARE(dialog.hitTest(close->mapToGlobal(close->rect().center())), int(FramelessDialog::HitNowhere));
    QCOMPARE(dialog.hitTest(dialog.mapToGlobal(QPoint(100, 5))), int(FramelessDialog::HitCaption));
}

void TestBase::messageBoxOverItsWindow()
{
    QWidget window;
    window.setGeometry(300, 150, 900, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    MyMessageBox::setAutoAnswer(true);
    MyMessageBox box(&window);
    box.showMessage(QMessageBox::Information, u"系统消息"_s, u"您正在使用最新版本"_s, QMessageBox::Ok);
    MyMessageBox::setAutoAnswer(false);
    auto *shown = window.findChild<QMessageBox *>();
    QVERIFY(shown);
    const QPoint centre = shown->pos() + QPoint(shown->sizeHint().width() / 2, shown->sizeHint().height() / 2);
    QVERIFY2((centre - window.frameGeometry().center()).manhattanLength() <= 4,
             qPrintable(u"%1,%2"_s.arg(centre.x()).arg(centre.y())));
}

void TestBase::screenPositionsFromWindowGeometry_data()
{
    QTest::addColumn<QPoint>("pos"); // in the child's coordinates
    QTest::newRow("child corner") << QPoint(0, 0);
    QTest::newRow("inside") << QPoint(25, 7);
    QTest::newRow("outside the child") << QPoint(-10, 300);
}

void TestBase::screenPositionsFromWindowGeometry()
{
    QFETCH(QPoint, pos);
    FramelessDialog window;
    window.setGeometry(300, 150, 640, 480);
    auto *panel = new QWidget(&window);
    panel->setGeometry(40, 60, 200, 100);
    auto *child = new QWidget(panel);
    child->setGeometry(10, 20, 50, 30);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint screen = ScreenPosition::toScreen(child, pos);
    QCOMPARE(screen, QPoint(300 + 40 + 10, 150 + 60 + 20) + pos);
    QCOMPARE(screen, child->mapToGlobal(pos));
    QCOMPARE(ScreenPosition::toWindow(child, screen), child->mapTo(&window, pos));
    // The base hit test reads the same geometry: the child's own spot is covered, the bare
    // background beside the panel is not.
    QCOMPARE(window.hitTest(ScreenPosition::toScreen(child, QPoint(5, 5))), int(FramelessDialog::HitNowhere));
    QCOMPARE(window.hitTest(QPoint(300 + 5, 150 + 5)), int(FramelessDialog::HitCaption));
}

void TestBase::keepOnScreens_data()
{
    using Areas = QList<QRect>;
    QTest::addColumn<QRect>("window");
    QTest::addColumn<Areas>("areas");
    QTest::addColumn<QPoint>("expected");
    const QRect left(0, 0, 1280, 1000);   // a panel takes the bottom 24 pixels of 1024
    const QRect right(1280, 0, 1920, 1080);
    QTest::newRow("inside: kept") << QRect(200, 150, 900, 600) << Areas{left} << QPoint(200, 150);
    QTest::newRow("past the right edge") << QRect(700, 150, 900, 600) << Areas{left} << QPoint(380, 150);
    QTest::newRow("under the panel") << QRect(100, 700, 900, 600) << Areas{left} << QPoint(100, 400);
    QTest::newRow("above and left of the screen") << QRect(-300, -50, 900, 600) << Areas{left} << QPoint(0, 0);
    QTest::newRow("on the second screen: kept") << QRect(1500, 300, 900, 600) << Areas{left, right}
                                                 << QPoint(1500, 300);
    QTest::newRow("across both, mostly right") << QRect(1000, 100, 900, 600) << Areas{left, right}
                                                << QPoint(1280, 100);
    QTest::newRow("screen unplugged: back on the first") << QRect(2500, 300, 900, 600) << Areas{left}
                                                          << QPoint(380, 300);
    QTest::newRow("larger than the screen: corner on it") << QRect(50, 40, 900, 600)
                                                           << Areas{QRect(0, 0, 800, 480)} << QPoint(0, 0);
    QTest::newRow("no screen known") << QRect(50, 40, 900, 600) << Areas{} << QPoint(50, 40);
}

void TestBase::keepOnScreens()
{
    QFETCH(QRect, window);
    QFETCH(QList<QRect>, areas);
    QFETCH(QPoint, expected);
    QCOMPARE(ScreenPosition::keepOnScreens(window, areas), expected);
}

void TestBase::repeatedClick_data()
{
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("waitLong");
    QTest::addColumn<bool>("repeat");
    QTest::newRow("same at once") << u"a"_s << false << true;
    QTest::newRow("other at once") << u"b"_s << false << false;
    QTest::newRow("same later") << u"a"_s << true << false;
}

void TestBase::repeatedClick()
{
    QFETCH(QString, second);
    QFETCH(bool, waitLong);
    RepeatedClick clicks;
    QVERIFY(!clicks.isRepeat(u"a"_s));
    if (waitLong)
        QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTEST(clicks.isRepeat(second), "repeat");
}

void TestBase::brokenCharactersDropped_data()
{
    const QChar high(0xD83D), low(0xDE00);
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("whole");
    QTest::newRow("plain") << u"会议 abc"_s << u"会议 abc"_s;
    QTest::newRow("whole emoji") << u"a😀b"_s << u"a😀b"_s;
    QTest::newRow("half at the end") << u"九"_s + high << u"九"_s;
    QTest::newRow("half at the start") << QString(low) + u"x"_s << u"x"_s;
    QTest::newRow("two highs then low") << QString(high) + high + low << u"😀"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestBase::brokenCharactersDropped()
{
    QFETCH(QString, text);
    QTEST(withoutBrokenCharacters(text), "whole");
}

void TestBase::lineEditKeepsWholeCharacters_data()
{
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("emoji fits") << 10 << u"一二三四五六七八😀"_s << u"一二三四五六七八😀"_s;
    QTest::newRow("emoji half fits") << 10 << u"一二三四五六七八九😀"_s << u"一二三四五六七八九"_s;
    QTest::newRow("no limit") << 32767 << u"😀😀😀"_s << u"😀😀😀"_s;
    // A copied manual line break (U+000B) or a pasted paragraph would break the data file.
    QTest::newRow("pasted lines") << 32767 << u"第一行\r\n第二行\u000B三"_s << u"第一行 第二行 三"_s;
    QTest::newRow("control characters") << 32767 << u"a\u0001b\uFFFF"_s << u"ab"_s;
}

void TestBase::lineEditKeepsWholeCharacters()
{
    QFETCH(int, maxLength);
    QFETCH(QString, typed);
    QLineEdit edit;
    edit.setMaxLength(maxLength);
    keepStorableLine(&edit);
    edit.insert(typed);
    QTEST(edit.text(), "kept");
    QCOMPARE(edit.cursorPosition(), int(edit.text().size()));
}

QPA_TEST_MAIN(TestBase)
#include "tst_base.moc"
