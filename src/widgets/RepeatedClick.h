// Tells the second click of a double click apart from a new click on something that opens.
#pragma once

#include <QElapsedTimer>
#include <QString>

// Many users double-click everything; on a button that opens a web page or starts a program
// the second click would open it a second time.
class RepeatedClick
{
public:
    // True when the same key was clicked less than a double-click interval ago; otherwise the
    // click is remembered and false returned.
    bool isRepeat(const QString &key);

private:
    QString m_lastKey;
    QElapsedTimer m_sinceLast;
};
