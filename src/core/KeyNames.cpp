#include "GlobalSettings.h"

#include <Qt>

using namespace Qt::StringLiterals;

void GlobalSettings::initKeyNames()
{
    if (!m_keyNames.isEmpty())
        return;

    // Function keys, digits and letters map to consecutive Windows virtual-key codes.
    for (int i = 0; i < 12; ++i)
        m_keyNames.insert(Qt::Key_F1 + i, KeyName{0x70 + i, u"F"_s + QString::number(i + 1)});
    for (int key = Qt::Key_0; key <= Qt::Key_9; ++key)
        m_keyNames.insert(key, KeyName{key, QString::number(key - Qt::Key_0)});
    for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key)
        m_keyNames.insert(key, KeyName{key, QString(QChar(key))});

    const struct
    {
        int qtKey;
        int virtualKey;
        const char16_t *name;
    } singles[] = {
        {Qt::Key_Insert, 0x2D, u"Insert"},
        {Qt::Key_Left, 0x25, u"Left"},
        {Qt::Key_Up, 0x26, u"Up"},
        {Qt::Key_Right, 0x27, u"Right"},
        {Qt::Key_Down, 0x28, u"Down"},
        {Qt::Key_PageDown, 0x22, u"PageDown"},
        {Qt::Key_PageUp, 0x21, u"PageUp"},
        {Qt::Key_Home, 0x24, u"Home"},
        {Qt::Key_End, 0x23, u"End"},
        {Qt::Key_CapsLock, 0x14, u"CapsLock"},
        {Qt::Key_QuoteLeft, 0xC0, u"`"},
        {Qt::Key_Minus, 0xBD, u"-"},
        {Qt::Key_Equal, 0xBB, u"="},
        {Qt::Key_BracketLeft, 0xDB, u"["},
        {Qt::Key_BracketRight, 0xDD, u"]"},
        {Qt::Key_Backslash, 0xDC, u"\\"},
        {Qt::Key_Semicolon, 0xBA, u";"},
        {Qt::Key_Apostrophe, 0xDE, u"'"},
        {Qt::Key_Comma, 0xBC, u","},
        {Qt::Key_Period, 0xBE, u"."},
        {Qt::Key_Slash, 0xBF, u"/"},
    };
    for (const auto &entry : singles)
        m_keyNames.insert(entry.qtKey, KeyName{entry.virtualKey, QString::fromUtf16(entry.name)});
}
