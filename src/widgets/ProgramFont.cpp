#include "ProgramFont.h"

#include <QApplication>

using namespace Qt::StringLiterals;

namespace {

// Chinese faces of the common Linux desktops, the most complete first.
QStringList cjkStandIns()
{
    return {u"Noto Sans CJK SC"_s, u"Source Han Sans SC"_s, u"WenQuanYi Micro Hei"_s,
            u"WenQuanYi Zen Hei"_s, u"Droid Sans Fallback"_s};
}

QStringList withStandIns(QStringList families)
{
    families << u"DejaVu Sans"_s << u"Noto Sans"_s << cjkStandIns();
    return families;
}

QFont fontOf(const QStringList &families, int pointSize)
{
    QFont font = QApplication::font();
    font.setFamilies(families);
    if (pointSize > 0)
        font.setPointSize(pointSize);
    return font;
}

} // namespace

QStringList ProgramFont::sansFamilies()
{
    return withStandIns({u"微软雅黑"_s, u"Microsoft YaHei"_s});
}

QStringList ProgramFont::songFamilies()
{
    return withStandIns({u"宋体"_s, u"SimSun"_s});
}

QFont ProgramFont::sans(int pointSize)
{
    return fontOf(sansFamilies(), pointSize);
}

QFont ProgramFont::song(int pointSize)
{
    return fontOf(songFamilies(), pointSize);
}

void ProgramFont::applyToApplication()
{
    QFont font = QApplication::font();
    font.setFamilies(sansFamilies());
    QApplication::setFont(font);
}
