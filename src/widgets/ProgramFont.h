// The program's two faces, 微软雅黑 and 宋体, with families that stand in where they are missing.
#pragma once

#include <QFont>
#include <QStringList>

namespace ProgramFont {

// 微软雅黑 where installed. Elsewhere a Latin face with clear symbols comes first, so that digits,
// ℃, ×, … and arrows never come from a CJK face that claims a glyph it paints blank (WenQuanYi
// Micro Hei does so for ℃, and fontconfig prefers it in a Chinese locale); CJK faces follow for
// the Chinese characters.
QStringList sansFamilies();
// 宋体 where installed, otherwise the same stand-ins.
QStringList songFamilies();

// 微软雅黑 at the given size (the application's default size when pointSize <= 0).
QFont sans(int pointSize = -1);
// 宋体 at the given size.
QFont song(int pointSize);

// Gives the application's default font the families of sans(), keeping its size.
void applyToApplication();

} // namespace ProgramFont
