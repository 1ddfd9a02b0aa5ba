// Records the addresses the program hands to the desktop (install with QDesktopServices::setUrlHandler).
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    // Every address opened, in order.
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};
