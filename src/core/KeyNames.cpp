#include "GlobalSettings.h"

#include "VirtualKeys.h"

#include <Qt>

using namespace Qt::StringLiterals;

void GlobalSettings::initKeyNames()
{
    if (!m_keyNames.isEmpty())
        return;

    // Function keys, digits and letters map to consecutive Windows virtual-key codes.
    for (int i = 0; i < 12; ++i)
        m_keyNames.insert(Qt::Key_F1 + i, KeyName{VirtualKey::F1 + i, u"F"_s + QString::number(i + 1)});
    for (int i = 0; i < 10; ++i)
        m_keyNames.insert(Qt::Key_0 + i, KeyName{VirtualKey::Digit0 + i, QString::number(i)});
    for (int i = 0; i < 26; ++i)
        m_keyNames.insert(Qt::Key_A + i, KeyName{VirtualKey::A + i, QString(QChar(u'A' + i))});

    const struct
    {
        int qtKey;
        int virtualKey;
        const char16_t *name;
    } singles[] = {
        {Qt::Key_Insert, VirtualKey::Insert, u"Insert"},
        {Qt::Key_Left, VirtualKey::Left, u"Left"},
        {Qt::Key_Up, VirtualKey::Up, u"Up"},
        {Qt::Key_Right, VirtualKey::Right, u"Right"},
        {Qt::Key_Down, VirtualKey::Down, u"Down"},
        {Qt::Key_PageDown, VirtualKey::PageDown, u"PageDown"},
        {Qt::Key_PageUp, VirtualKey::PageUp, u"PageUp"},
        {Qt::Key_Home, VirtualKey::Home, u"Home"},
        {Qt::Key_End, VirtualKey::End, u"End"},
        {Qt::Key_CapsLock, VirtualKey::CapsLock, u"CapsLock"},
        {Qt::Key_QuoteLeft, VirtualKey::Grave, u"`"},
        {Qt::Key_Minus, VirtualKey::Minus, u"-"},
        {Qt::Key_Equal, VirtualKey::Equal, u"="},
        {Qt::Key_BracketLeft, VirtualKey::BracketLeft, u"["},
        {Qt::Key_BracketRight, VirtualKey::BracketRight, u"]"},
        {Qt::Key_Backslash, VirtualKey::Backslash, u"\\"},
        {Qt::Key_Semicolon, VirtualKey::Semicolon, u";"},
        {Qt::Key_Apostrophe, VirtualKey::Apostrophe, u"'"},
        {Qt::Key_Comma, VirtualKey::Comma, u","},
        {Qt::Key_Period, VirtualKey::Period, u"."},
        {Qt::Key_Slash, VirtualKey::Slash, u"/"},
    };
    for (const auto &entry : singles)
        m_keyNames.insert(entry.qtKey, KeyName{entry.virtualKey, QString::fromUtf16(entry.name)});
}
