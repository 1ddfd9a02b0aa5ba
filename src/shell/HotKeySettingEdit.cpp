#include "HotKeySettingEdit.h"

#include "GlobalSettings.h"
#include "InputMethod.h"
#include "ShowHideHotKey.h"

#include <QKeyEvent>

HotKeySettingEdit::HotKeySettingEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setAttribute(Qt::WA_InputMethodEnabled, false);
    // Only a captured key may change the text: no pasting from a menu, no dropped text.
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
}

void HotKeySettingEdit::keyPressEvent(QKeyEvent *event)
{
    // Typing never edits the text; only whole keys are taken, whatever modifiers are held.
    event->accept();
    const int key = event->key();
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
        clear();
        m_currentKey = 0;
        return;
    }
    // The key shown may have been refused (taken by another program); pressing it again retries.
    if (key == m_currentKey && ShowHideHotKey::isRegistered(targetWindow))
        return;
    if (!ShowHideHotKey::isUsable(key))
        return;

    ShowHideHotKey::unregisterKey(targetWindow);
    const bool registered = ShowHideHotKey::registerKey(targetWindow, key);
    emit registrationFinished(registered);
    if (!registered)
        return;
    setText(ShowHideHotKey::displayText(key));
    m_currentKey = key;
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
