#include "MyMessageBox.h"

#include <QPushButton>

namespace {
bool s_autoAnswer = false;
QString s_autoButtonText;
} // namespace

MyMessageBox::MyMessageBox(QWidget *parent)
    : m_box(parent)
{
    m_box.setAttribute(Qt::WA_QuitOnClose, false);
}

QPushButton *MyMessageBox::addButton(const QString &text, QMessageBox::ButtonRole role)
{
    return m_box.addButton(text, role);
}

QAbstractButton *MyMessageBox::clickedButton() const
{
    return s_autoAnswer ? m_autoClicked : m_box.clickedButton();
}

void MyMessageBox::showMessage(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    m_box.setIcon(icon);
    m_box.setWindowTitle(title);
    m_box.setText(text);
    if (s_autoAnswer) {
        shownMessages().append(title + u'|' + text);
        const QList<QAbstractButton *> buttons = m_box.buttons();
        m_autoClicked = buttons.value(0);
        for (QAbstractButton *button : buttons) {
            if (button->text() == s_autoButtonText)
                m_autoClicked = button;
        }
        return;
    }
    m_box.exec();
}

void MyMessageBox::showMessage(QMessageBox::Icon icon, const QString &title, const QString &text,
                               QMessageBox::StandardButtons buttons)
{
    m_box.setStandardButtons(buttons);
    showMessage(icon, title, text);
}

void MyMessageBox::setAutoAnswer(bool enabled, const QString &buttonText)
{
    s_autoAnswer = enabled;
    s_autoButtonText = buttonText;
}

QStringList &MyMessageBox::shownMessages()
{
    static QStringList messages;
    return messages;
}
