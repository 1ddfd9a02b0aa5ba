// Line edit that captures one key press and makes it the global show/hide hot key at once.
#pragma once

#include <QLineEdit>
#include <QWindow>

class HotKeySettingEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit HotKeySettingEdit(QWidget *parent = nullptr);

    // The window that owns the hot key (the main window).
    void setTargetWindow(WId window) { targetWindow = window; }

    // Text shown for a key of the table: "F4" for function keys, "Shift + Ctrl + A" otherwise;
    // empty for a key outside the table.
    static QString displayText(int qtKey);
    // Modifiers the hot key of qtKey is registered with: none for F1 to F12, Ctrl+Shift otherwise.
    static int modifiersFor(int qtKey);
    // Registers qtKey as the show/hide hot key of window; false when it is not in the table or refused.
    static bool registerHotKey(WId window, int qtKey);
    // Releases the show/hide hot key of window.
    static void unregisterHotKey(WId window);

    // True while the window holds a show/hide hot key.
    static bool isRegistered(WId window);

    // The Qt key code shown (0 for none); the settings dialog writes it when it fills the edit.
    int currentKey = 0;

signals:
    // A pressed key was offered to the system: registered, or refused (then no hot key is left).
    void registrationFinished(bool registered);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // The input-method context detached from the parent window while the edit has focus.
    quintptr savedInputContext = 0;
    WId targetWindow = 0;
};
