// Application-wide style sheet and version, shared by start-up and its tests.
#pragma once

#include "ButtonStyle.h"
#include "Version.h"

#include <QString>

inline QString applicationStyleSheet()
{
    return ButtonStyle::highlighted(QStringLiteral("QToolButton"), QStringLiteral("7, 101, 145"),
                                    QStringLiteral("7, 101, 145"), false)
        + QStringLiteral(
        // A frame and a darker lower-right edge set menus apart from the white pages (no shadow
        // without a compositor).
        "QMenu{background-color: white;margin: 0px;padding: 2px;border: 1px solid rgb(150, 170, 198);"
        "border-right-color: rgb(112, 128, 150);border-bottom-color: rgb(112, 128, 150);}"
        "QMenu::item {height: 22px;padding: 2px 30px 2px 25px;background-color: transparent;}"
        "QMenu::item:selected {color: white;border-color: rgb(40,113,213);background: rgb(40,113,213);}"
        "QMenu::separator {height: 1px;background: rgb(235,235,235);margin: 3px 10px 3px 5px;}"
        "QMenu::indicator {width: 13px;height: 13px;}");
}

inline QString applicationVersionString()
{
    return QStringLiteral(QPA_VERSION);
}
