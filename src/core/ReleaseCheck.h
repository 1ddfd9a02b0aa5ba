// The check for a newer release: asks the maker's site for its release file and tells what the
// answer means. The main window starts it and shows the messages it asks for.
#pragma once

#include <QObject>
#include <QUrl>

class QNetworkReply;

class ReleaseCheck : public QObject
{
    Q_OBJECT

public:
    explicit ReleaseCheck(QObject *parent = nullptr);

    // Requests the release file; asked when the user asked for the check (it then always answers
    // and gives up after the asked timeout). Returns the reply, whose finished() goes to read(),
    // or null: when an asked check is running already, or no request could be made (an asked
    // check then emits unreachable()).
    QNetworkReply *start(bool asked);
    // Reads a finished reply of start() and releases it; null (a finished signal without a
    // sender) only ends the silence of the start-up check.
    void read(QNetworkReply *reply);

    // True while a check the user asked for waits for its answer.
    bool askedRunning() const { return m_askedRunning; }

    // True when offered names a later release than current (dotted decimal, missing parts older).
    static bool isNewerVersion(const QString &current, const QString &offered);
    // How long an asked check waits for the server (8 s); tests shorten it.
    static void setAskedTimeout(int milliseconds);

signals:
    void askedRunningChanged(bool running);
    // A later release is offered; download is its address, empty when it is no web address.
    void newerRelease(const QUrl &download);
    // The running release is the latest (never said by the start-up check).
    void upToDate();
    // An asked check got no usable answer.
    void unreachable();

private:
    void setAskedRunning(bool running);

    // The start-up check says nothing when the program is up to date.
    bool m_silent = true;
    bool m_askedRunning = false;
};
