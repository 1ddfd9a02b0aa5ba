// Style sheets of the program's flat buttons: transparent at rest, filled and framed while
// hovered, pressed and (where they can be) checked.
#pragma once

#include <QString>

namespace ButtonStyle {

// The rules for className ("QToolButton", "QPushButton"): fill and border are "r, g, b";
// restExtra is appended to the resting rule (a text colour, say).
inline QString highlighted(const QString &className, const QString &fill, const QString &border,
                           bool withChecked = true, const QString &restExtra = QString())
{
    QString sheet = className + QStringLiteral("{background-color: rgba(209, 226, 242, 0);") + restExtra + u'}';
    const QString lit = QStringLiteral("{background-color: rgba(%1, 255);border-width: 1px;border-color:rgb(%2);"
                                       "border-style:solid;}")
                            .arg(fill, border);
    for (const char *state : {":hover", ":pressed", ":checked"}) {
        if (withChecked || qstrcmp(state, ":checked") != 0)
            sheet += className + QLatin1String(state) + lit;
    }
    return sheet;
}

} // namespace ButtonStyle
