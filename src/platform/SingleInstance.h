// Per-session single-instance guard that is released when its holder dies, however it dies.
#pragma once

#include <QString>
#include <memory>

class InstanceChannel;
class QLockFile;

class SingleInstance
{
public:
    // key names the guard; it is unique per user session, not per machine.
    explicit SingleInstance(const QString &key);
    ~SingleInstance();

    // Takes the guard; false while another live process of this user holds it.
    bool tryAcquire();
    // Where the guard lives (for diagnostics and tests).
    QString lockFilePath() const;
    // The local socket later starts talk to the holder through: beside the guard, so it is just
    // as private to the user and the program.
    QString channelName() const;
    // Starts the holder's channel (needs the application object); null when the guard is not
    // held or the socket cannot be set up, and the program then runs without it.
    InstanceChannel *listen();
    // Closes the channel, then lets the guard go. In this order: a closing channel removes its
    // socket, which by then could be a successor's.
    void release();

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<InstanceChannel> m_channel;
};
