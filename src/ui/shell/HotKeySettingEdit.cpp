#include "HotKeySettingEdit.h"

#include "GlobalHotKey.h"
#include "GlobalSettings.h"
#include "HotKeyAtom.h"
#include "InputMethod.h"

#include <QKeyEvent>

using namespace Qt::StringLiterals;

namespace {
bool isFunctionKey(int qtKey)
{
    return qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12;
}
} // namespace

HotKeySettingEdit::HotKeySettingEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setAttribute(Qt::WA_InputMethodEnabled, false);
    // Only a captured key may change the text: no pasting from a menu, no dropped text.
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
}

QString HotKeySettingEdit::displayText(int qtKey)
{
    const KeyName *name = GlobalSettings::instance()->findKeyName(qtKey);
    if (!name)
        return QString();
    return isFunctionKey(qtKey) ? name->displayName : u"Shift + Ctrl + "_s + name->displayName;
}

int HotKeySettingEdit::modifiersFor(int qtKey)
{
    return isFunctionKey(qtKey) ? GlobalHotKey::NoModifier : GlobalHotKey::Control | GlobalHotKey::Shift;
}

bool HotKeySettingEdit::registerHotKey(WId window, int qtKey)
{
    const KeyName *name = GlobalSettings::instance()->findKeyName(qtKey);
    if (!name)
        return false;
    return GlobalHotKey::instance()->registerHotKey(window, g_hotKeyAtom, modifiersFor(qtKey), name->virtualKey);
}

void HotKeySettingEdit::unregisterHotKey(WId window)
{
    GlobalHotKey::instance()->unregisterHotKey(window, g_hotKeyAtom);
}

bool HotKeySettingEdit::isRegistered(WId window)
{
    return GlobalHotKey::instance()->isRegistered(window, g_hotKeyAtom);
}

void HotKeySettingEdit::keyPressEvent(QKeyEvent *event)
{
    // Typing never edits the text; only whole keys are taken, whatever modifiers are held.
    event->accept();
    const int key = event->key();
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
        clear();
        currentKey = 0;
        return;
    }
    // The key shown may have been refused (taken by another program); pressing it again retries.
    if (key == currentKey && isRegistered(targetWindow))
        return;
    if (!GlobalSettings::instance()->findKeyName(key))
        return;

    unregisterHotKey(targetWindow);
    const bool registered = registerHotKey(targetWindow, key);
    emit registrationFinished(registered);
    if (!registered)
        return;
    setText(displayText(key));
    currentKey = key;
    GlobalSettings::instance()->setHotKey(key);
}

void HotKeySettingEdit::inputMethodEvent(QInputMethodEvent *event)
{
    // Composed text would land in the field even with input methods disabled for it.
    event->ignore();
}

void HotKeySettingEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    savedInputContext = InputMethod::detach(window()->winId());
}

void HotKeySettingEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    InputMethod::attach(window()->winId(), savedInputContext);
    savedInputContext = 0;
}
