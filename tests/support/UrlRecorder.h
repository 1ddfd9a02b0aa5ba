// Records the addresses the program hands to the desktop instead of opening them.
#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

#include <initializer_list>

class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    // Takes over the desktop's handlers of these schemes while it lives.
    UrlRecorder(std::initializer_list<const char *> schemes)
    {
        for (const char *scheme : schemes) {
            m_schemes.append(QString::fromLatin1(scheme));
            QDesktopServices::setUrlHandler(m_schemes.last(), this, "open");
        }
    }
    ~UrlRecorder() override
    {
        for (const QString &scheme : std::as_const(m_schemes))
            QDesktopServices::unsetUrlHandler(scheme);
    }

    // Every address opened, in order.
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }

private:
    QStringList m_schemes;
};
