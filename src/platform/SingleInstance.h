// Per-session single-instance guard that is released when its holder dies, however it dies.
#pragma once

#include <QString>
#include <memory>

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

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
