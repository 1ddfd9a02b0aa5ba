#include "MyMessageBox.h"

#include "ScreenPosition.h"

#include <QGuiApplication>
#include <QLayout>
#include <QPushButton>
#include <QScreen>

using namespace Qt::StringLiterals;

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
    placeBox();
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
    // The toolkit names its standard buttons in English unless a translation is loaded; the
    // program speaks Chinese everywhere else.
    static const struct {
        QMessageBox::StandardButton button;
        const char16_t *text;
    } names[] = {{QMessageBox::Ok, u"确定"}, {QMessageBox::Cancel, u"取消"}, {QMessageBox::Yes, u"是"},
                 {QMessageBox::No, u"否"}, {QMessageBox::Close, u"关闭"}};
    for (const auto &name : names) {
        if (QAbstractButton *button = m_box.button(name.button))
            button->setText(QString::fromUtf16(name.text));
    }
    showMessage(icon, title, text);
}

void MyMessageBox::placeBox()
{
    // Placed by hand: Qt centres a dialog through the parent's mapToGlobal, which some X11
    // window managers leave at 0,0 for a while after the hidden main window is shown again,
    // and the box would open far from the window it belongs to.
    QRect area;
    if (QWidget *parent = m_box.parentWidget(); parent && parent->window()->isVisible())
        area = parent->window()->frameGeometry();
    else if (const QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isEmpty())
        return;
    if (QLayout *layout = m_box.layout())
        layout->activate();
    const QSize size = m_box.sizeHint().expandedTo(m_box.minimumSizeHint());
    m_box.move(ScreenPosition::centredIn(area, size));
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
