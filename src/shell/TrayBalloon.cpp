#include "TrayBalloon.h"

#include "ProgramFont.h"

#include <QApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QTimer>

using namespace Qt::StringLiterals;

TrayBalloon::TrayBalloon(const QString &title, const QString &text)
    : QFrame(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(u"trayBalloon"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(u"#trayBalloon{background-color: rgb(255, 255, 228);border: 1px solid rgb(150, 150, 132);}"_s);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(12, 10, 16, 12);
    layout->setHorizontalSpacing(10);
    layout->setVerticalSpacing(6);
    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(24, 24));
    layout->addWidget(icon, 0, 0, Qt::AlignTop);
    auto *titleLabel = new QLabel(title, this);
    titleLabel->setObjectName(u"title"_s);
    QFont titleFont = ProgramFont::sans(10);
    titleFont.setBold(true);
    titleLabel->setFont(titleFont);
    layout->addWidget(titleLabel, 0, 1);
    auto *textLabel = new QLabel(text, this);
    textLabel->setObjectName(u"text"_s);
    textLabel->setFont(ProgramFont::sans(10));
    layout->addWidget(textLabel, 1, 1);
}

TrayBalloon *TrayBalloon::showNear(const QRect &icon, const QString &title, const QString &text, int msecs)
{
    auto *balloon = new TrayBalloon(title, text);
    balloon->adjustSize();
    const QScreen *screen = QGuiApplication::screenAt(icon.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), balloon->size());
    balloon->move(placement(icon, balloon->size(), area));
    balloon->show();
    QTimer::singleShot(msecs, balloon, &QWidget::close);
    return balloon;
}

QPoint TrayBalloon::placement(const QRect &icon, const QSize &size, const QRect &area)
{
    const bool below = icon.center().y() < area.center().y();
    int x = icon.center().x() + 24 - size.width();
    int y = below ? icon.bottom() + 1 + 6 : icon.top() - 6 - size.height();
    x = qBound(area.left() + kMargin, x, area.right() + 1 - kMargin - size.width());
    y = qBound(area.top() + kMargin, y, area.bottom() + 1 - kMargin - size.height());
    return {x, y};
}

void TrayBalloon::mousePressEvent(QMouseEvent *)
{
    close();
}
