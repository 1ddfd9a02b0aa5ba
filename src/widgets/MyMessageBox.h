// The program's message box: a thin wrapper that never ends the program when it closes.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>

class MyMessageBox : public QObject
{
    Q_OBJECT

public:
    explicit MyMessageBox(QWidget *parent);

    // Adds a custom button to the box.
    QPushButton *addButton(const QString &text, QMessageBox::ButtonRole role);
    // The button that closed the box.
    QAbstractButton *clickedButton() const;
    // Shows the box modally.
    void showMessage(QMessageBox::Icon icon, const QString &title, const QString &text);
    void showMessage(QMessageBox::Icon icon, const QString &title, const QString &text,
                     QMessageBox::StandardButtons buttons);

    // Tests: while enabled, boxes are not shown; each records "title|text" and is answered
    // by the button with the given text (or the first button when none matches).
    static void setAutoAnswer(bool enabled, const QString &buttonText = QString());
    static QStringList &shownMessages();

private:
    // Centres the box over its parent's window, or on the screen while that window is hidden.
    void placeBox();

    QMessageBox m_box;
    QAbstractButton *m_autoClicked = nullptr;
};
