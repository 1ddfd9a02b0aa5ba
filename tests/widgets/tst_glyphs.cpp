// Every character the program shows must paint in the program's fonts: a face that claims a
// glyph but draws nothing (℃ in WenQuanYi Micro Hei) would leave gaps such as "25" for "25℃".
// Run once in a C locale and once in zh_CN, where fontconfig orders the faces differently.
#include "ProgramFont.h"
#include "TestMain.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

// The characters of the program's sources and data (texts, tables, the weather service's
// samples), plus those Qt adds itself: the "…" of elided texts and the arrows of the calendar.
QString shownCharacters()
{
    QSet<char32_t> found;
    for (char32_t c = 0x21; c < 0x7f; ++c)
        found.insert(c);
    for (const char32_t c : {U'…', U'←', U'→', U'℃', U'×', U'©'})
        found.insert(c);
    const QStringList roots{QStringLiteral(QPA_SOURCE_DIR "/src"), QStringLiteral(QPA_SOURCE_DIR "/tests/weather/data")};
    for (const QString &root : roots) {
        QDirIterator it(root, {u"*.cpp"_s, u"*.h"_s, u"*.tsv"_s, u"*.json"_s, u"*.js"_s}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            for (const char32_t c : QString::fromUtf8(file.readAll()).toUcs4()) {
                // Beyond ASCII, less the invisible ones (spaces, byte-order mark, private use).
                if (c > 0x7f && QChar::isPrint(c) && !QChar::isSpace(c) && QChar::category(c) != QChar::Other_PrivateUse)
                    found.insert(c);
            }
        }
    }
    QList<char32_t> sorted(found.begin(), found.end());
    std::sort(sorted.begin(), sorted.end());
    return QString::fromUcs4(sorted.constData(), sorted.size());
}

int inkedPixels(const QFont &font, const QString &text)
{
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, 0, 64, 64), Qt::AlignCenter, text);
    }
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            inked += qGray(line[x]) < 160 ? 1 : 0;
    }
    return inked;
}

} // namespace

class TestGlyphs : public QObject
{
    Q_OBJECT

private slots:
    void everyCharacterPaints_data();
    void everyCharacterPaints();
};

void TestGlyphs::everyCharacterPaints_data()
{
    ProgramFont::applyToApplication();
    QTest::addColumn<QFont>("font");
    QTest::newRow("微软雅黑 14 pt (page buttons, titles)") << ProgramFont::sans(14);
    QTest::newRow("微软雅黑 9 pt (weather tiles)") << ProgramFont::sans(9);
    QTest::newRow("宋体 11 pt (websites, calendar)") << ProgramFont::song(11);
    QTest::newRow("application font (menus, dialogs)") << QApplication::font();
}

void TestGlyphs::everyCharacterPaints()
{
    QFETCH(QFont, font);
    const QString characters = shownCharacters();
    QVERIFY2(characters.size() > 500, qPrintable(u"only %1 characters found"_s.arg(characters.size())));
    QStringList blank;
    for (const char32_t c : characters.toUcs4()) {
        const QString text = QString::fromUcs4(&c, 1);
        if (inkedPixels(font, text) == 0)
            blank.append(u"%1 (U+%2)"_s.arg(text).arg(uint(c), 4, 16, QChar(u'0')).toUpper());
    }
    QVERIFY2(blank.isEmpty(), qPrintable(u"painted blank in %1 (%2): %3"_s.arg(font.family(), QFontInfo(font).family(),
                                                                               blank.join(u", "))));
}

QPA_TEST_MAIN(TestGlyphs)
#include "tst_glyphs.moc"
