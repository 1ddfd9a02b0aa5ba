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

    // The Qt key code shown (0 for none); the settings dialog sets it when it fills the edit.
    int currentKey() const { return m_currentKey; }
    void setCurrentKey(int qtKey) { m_currentKey = qtKey; }

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
    int m_currentKey = 0;
    WId targetWindow = 0;
};
