// Every picture the program loads exists after the build, decodes, and has the size its manifest promises.
#include "TestMain.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct ManifestEntry
{
    QString name;
    QString source;
    QSize size;
    int line = 0;
};

struct Manifest
{
    QList<ManifestEntry> entries;
    QStringList faults; // lines the build would skip or misread
};

// Mirrors the build's reading: '#' starts a comment line, an entry has exactly four fields.
Manifest readManifest(const QString &path)
{
    Manifest manifest;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        manifest.faults << u"cannot open %1"_s.arg(path);
        return manifest;
    }
    int lineNo = 0;
    while (!file.atEnd()) {
        ++lineNo;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList f = line.split(QRegularExpression(u"\\s+"_s), Qt::SkipEmptyParts);
        bool wOk = false, hOk = false;
        const int w = f.value(2).toInt(&wOk);
        const int h = f.value(3).toInt(&hOk);
        if (f.size() != 4 || !wOk || !hOk || w <= 0 || h <= 0) {
            manifest.faults << u"line %1: \"%2\""_s.arg(lineNo).arg(line);
            continue;
        }
        manifest.entries.append({f.at(0), f.at(1), QSize(w, h), lineNo});
    }
    return manifest;
}

const Manifest &icons()
{
    static const Manifest m = readManifest(QStringLiteral(QPA_ICON_MANIFEST));
    return m;
}

const Manifest &artwork()
{
    static const Manifest m = readManifest(QStringLiteral(QPA_ARTWORK_MANIFEST));
    return m;
}

const ManifestEntry *find(const Manifest &m, const QString &name)
{
    for (const ManifestEntry &e : m.entries) {
        if (e.name == name)
            return &e;
    }
    return nullptr;
}

QString resourcesDir()
{
    return QStringLiteral(QPA_RESOURCES_DIR);
}

// The weather page asks for one picture a phenomenon code, and "undefined" when nothing arrived.
const QStringList &weatherCodes()
{
    static const QStringList codes = [] {
        QStringList c;
        for (int i = 0; i <= 31; ++i)
            c << u"%1"_s.arg(i, 2, 10, QChar(u'0'));
        c << u"53"_s << u"99"_s << u"undefined"_s;
        return c;
    }();
    return codes;
}

bool opaqueCorners(const QImage &image)
{
    const int r = image.width() - 1, b = image.height() - 1;
    return qAlpha(image.pixel(0, 0)) == 255 && qAlpha(image.pixel(r, 0)) == 255
        && qAlpha(image.pixel(0, b)) == 255 && qAlpha(image.pixel(r, b)) == 255;
}

bool clearCorners(const QImage &image)
{
    const int r = image.width() - 1, b = image.height() - 1;
    return qAlpha(image.pixel(0, 0)) == 0 && qAlpha(image.pixel(r, 0)) == 0
        && qAlpha(image.pixel(0, b)) == 0 && qAlpha(image.pixel(r, b)) == 0;
}

} // namespace

class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void manifestsAreWellFormed_data();
    void manifestsAreWellFormed();
    void programNamesAreListed_data();
    void programNamesAreListed();
    void embeddedPictureDecodes_data();
    void embeddedPictureDecodes();
    void doubleSizeMatchesItsBase_data();
    void doubleSizeMatchesItsBase();
    void resourcePictureDecodes_data();
    void resourcePictureDecodes();
    void backgroundCoversItsWidget_data();
    void backgroundCoversItsWidget();
    void iconHasTransparentGround_data();
    void iconHasTransparentGround();
    void weatherPicturesAreDistinct();
    void weatherPictureSurvivesItsLabel_data();
    void weatherPictureSurvivesItsLabel();
};

void TestArtwork::manifestsAreWellFormed_data()
{
    QTest::addColumn<QString>("which");
    QTest::newRow("icons.txt") << u"icons"_s;
    QTest::newRow("artwork.txt") << u"artwork"_s;
}

// A malformed line is skipped by the build without a word, so the picture would silently go missing.
void TestArtwork::manifestsAreWellFormed()
{
    QFETCH(QString, which);
    const Manifest &m = which == u"icons"_s ? icons() : artwork();
    QVERIFY2(m.faults.isEmpty(), qPrintable(m.faults.join(u"; "_s)));
    QVERIFY(!m.entries.isEmpty());

    QSet<QString> seen;
    for (const ManifestEntry &e : m.entries) {
        QVERIFY2(!seen.contains(e.name), qPrintable(u"listed twice: "_s + e.name));
        seen.insert(e.name);
        QVERIFY2(QFile::exists(QStringLiteral(QPA_SOURCE_DIR) + u"/resources/"_s + e.source),
                 qPrintable(u"missing source: "_s + e.source));
    }
}

void TestArtwork::programNamesAreListed_data()
{
    QTest::addColumn<bool>("embedded");
    QTest::addColumn<QString>("name");

    const QStringList embedded = {
        u"bg_vscrollbar"_s, u"browser"_s, u"weather"_s, u"icon_mainmenu"_s, u"logo32"_s, u"icon_copy"_s,
        u"scrollbar_up"_s, u"bg_search_btn"_s, u"yusan"_s, u"chuanyi"_s, u"icon_down_arrow"_s,
        u"icon_left_arrow"_s, u"vscrollbar_handle"_s, u"icon_control"_s, u"splitter"_s, u"tool"_s,
        u"calendar"_s, u"icon_save"_s, u"software"_s, u"scrollbar_down"_s, u"icon_minimize"_s,
        u"icon_up_arrow"_s, u"bg_search"_s, u"icon_screencut"_s, u"search"_s, u"logo48"_s,
        u"forecast_bg"_s, u"screencut_close"_s, u"zhongshu"_s, u"icon_close"_s, u"icon_alarm"_s,
        u"icon_right_arrow"_s, u"icon_refresh"_s, u"icon_mini_weibo"_s,
    };
    for (const QString &name : embedded)
        QTest::newRow(qPrintable(u":/icon/"_s + name)) << true << name;

    const QStringList files = {
        u"bg_dialog.png"_s, u"bg_mini_dialog.png"_s, u"bg_title"_s, u"bg_program.png"_s,
        u"weather_bg.jpg"_s, u"forecast_bg.png"_s, u"bg_weather_index.png"_s, u"vline450.png"_s,
        u"logo_bar.png"_s,
    };
    for (const QString &name : files)
        QTest::newRow(qPrintable(u"Resources/"_s + name)) << false << name;
    for (const QString &code : weatherCodes()) {
        const QString name = u"weather/day/"_s + code + u".png"_s;
        QTest::newRow(qPrintable(u"Resources/"_s + name)) << false << name;
    }
}

void TestArtwork::programNamesAreListed()
{
    QFETCH(bool, embedded);
    QFETCH(QString, name);
    QVERIFY2(find(embedded ? icons() : artwork(), name), qPrintable(name));
}

void TestArtwork::embeddedPictureDecodes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    for (const ManifestEntry &e : icons().entries)
        QTest::newRow(qPrintable(e.name)) << e.name << e.size;
}

void TestArtwork::embeddedPictureDecodes()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QString path = u":/icon/"_s + name;

    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);

    const QPixmap pixmap(path);
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.size(), size);
}

void TestArtwork::doubleSizeMatchesItsBase_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("twice");
    for (const ManifestEntry &e : icons().entries) {
        if (e.name.endsWith(u"@2x"_s))
            QTest::newRow(qPrintable(e.name)) << e.name.chopped(3) << e.name;
    }
}

// Style sheets and QIcon take "<name>@2x" as the same picture at twice the pixel size; any other size
// would show it larger or smaller at a device pixel ratio of 2.
void TestArtwork::doubleSizeMatchesItsBase()
{
    QFETCH(QString, base);
    QFETCH(QString, twice);
    const ManifestEntry *one = find(icons(), base);
    const ManifestEntry *two = find(icons(), twice);
    QVERIFY2(one, qPrintable(u"no base picture for "_s + twice));
    QVERIFY(two);
    QCOMPARE(two->size, one->size * 2);
    QCOMPARE(two->source, one->source);
    QCOMPARE(QImage(u":/icon/"_s + twice).size(), one->size * 2);
}

void TestArtwork::resourcePictureDecodes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QByteArray>("format");
    for (const ManifestEntry &e : artwork().entries) {
        const QByteArray format = e.name.endsWith(u".jpg"_s) ? "jpeg" : "png";
        QTest::newRow(qPrintable(e.name)) << e.name << e.size << format;
    }
}

// The program loads these by bare file name; "bg_title" has no extension, so its content must be sniffed.
void TestArtwork::resourcePictureDecodes()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(QByteArray, format);
    const QString file = resourcesDir() + path;
    QVERIFY2(QFile::exists(file), qPrintable(file));

    QImageReader reader(file);
    QCOMPARE(reader.format(), format);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);

    const QPixmap pixmap(file);
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.size(), size);
}

void TestArtwork::backgroundCoversItsWidget_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("widget");
    QTest::newRow("settings and about dialogs") << u"bg_dialog.png"_s << QSize(640, 480);
    QTest::newRow("editor dialogs") << u"bg_mini_dialog.png"_s << QSize(640, 150);
    QTest::newRow("title strip") << u"bg_title"_s << QSize(900, 80);
    QTest::newRow("program page") << u"bg_program.png"_s << QSize(900, 470);
    QTest::newRow("weather page") << u"weather_bg.jpg"_s << QSize(900, 470);
}

// A window brush tiles its picture: a smaller or partly transparent one shows seams and holes.
void TestArtwork::backgroundCoversItsWidget()
{
    QFETCH(QString, path);
    QFETCH(QSize, widget);
    const QImage image(resourcesDir() + path);
    QVERIFY(!image.isNull());
    QVERIFY(image.width() >= widget.width() && image.height() >= widget.height());
    QVERIFY(opaqueCorners(image));
}

void TestArtwork::iconHasTransparentGround_data()
{
    QTest::addColumn<QString>("path");
    const QStringList names = {
        u"logo48"_s, u"browser"_s, u"tool"_s, u"calendar"_s, u"weather"_s, u"software"_s,
        u"icon_close"_s, u"icon_screencut"_s, u"icon_refresh"_s, u"icon_copy"_s, u"chuanyi"_s,
    };
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << u":/icon/"_s + name;
    for (const QString &code : {u"00"_s, u"07"_s, u"99"_s, u"undefined"_s})
        QTest::newRow(qPrintable(u"weather "_s + code)) << resourcesDir() + u"weather/day/"_s + code + u".png"_s;
}

// These sit on gradients, hover colours and a translucent floating window: no box around them.
void TestArtwork::iconHasTransparentGround()
{
    QFETCH(QString, path);
    const QImage image(path);
    QVERIFY(!image.isNull());
    QVERIFY(image.hasAlphaChannel());
    QVERIFY(clearCorners(image));
}

// Every phenomenon gets its own picture, so no two codes may share one by mistake.
void TestArtwork::weatherPicturesAreDistinct()
{
    QHash<QByteArray, QString> seen;
    for (const QString &code : weatherCodes()) {
        const QImage image(resourcesDir() + u"weather/day/"_s + code + u".png"_s);
        QVERIFY2(!image.isNull(), qPrintable(code));
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        const QByteArray hash = QCryptographicHash::hash(
            QByteArrayView(reinterpret_cast<const char *>(argb.constBits()), argb.sizeInBytes()),
            QCryptographicHash::Sha1);
        QVERIFY2(!seen.contains(hash), qPrintable(code + u" looks like "_s + seen.value(hash)));
        seen.insert(hash, code);
    }
}

void TestArtwork::weatherPictureSurvivesItsLabel_data()
{
    QTest::addColumn<QString>("path");
    for (const QString &code : weatherCodes())
        QTest::newRow(qPrintable(code)) << resourcesDir() + u"weather/day/"_s + code + u".png"_s;
}

// The page scales each picture into a 70 x 70 label; what is drawn must survive that.
void TestArtwork::weatherPictureSurvivesItsLabel()
{
    QFETCH(QString, path);
    const QPixmap pixmap(path);
    QVERIFY(!pixmap.isNull());
    const QImage small = pixmap.scaled(70, 70, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).toImage();
    int visible = 0;
    for (int y = 0; y < small.height(); ++y) {
        for (int x = 0; x < small.width(); ++x)
            visible += qAlpha(small.pixel(x, y)) > 128;
    }
    // Something clearly drawn, yet not a filled square.
    QVERIFY2(visible > 70 * 70 / 8, qPrintable(QString::number(visible)));
    QVERIFY2(visible < 70 * 70 * 3 / 4, qPrintable(QString::number(visible)));
}

QPA_TEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
