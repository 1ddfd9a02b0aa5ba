#include "RepeatedClick.h"

#include <QApplication>

bool RepeatedClick::isRepeat(const QString &key)
{
    if (m_sinceLast.isValid() && key == m_lastKey
        && m_sinceLast.elapsed() < QApplication::doubleClickInterval())
        return true;
    m_lastKey = key;
    m_sinceLast.start();
    return false;
}
