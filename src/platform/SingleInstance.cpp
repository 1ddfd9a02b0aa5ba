#include "SingleInstance.h"

#include "InstanceChannel.h"

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace {

QString guardDirectory()
{
    // The runtime folder is private to the user's session; the temp folder is the fallback
    // when a platform has none, so the key there carries the user name.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) {
        dir = QDir::tempPath();
    }
    QDir().mkpath(dir);
    return dir;
}

QString userSuffix()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return user;
}

} // namespace

SingleInstance::SingleInstance(const QString &key)
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QString name = runtime.isEmpty() ? key + u'-' + userSuffix() : key;
    m_path = guardDirectory() + u'/' + name + QStringLiteral(".lock");
}

SingleInstance::~SingleInstance()
{
    release();
}

bool SingleInstance::tryAcquire()
{
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(m_path);
    // Only a dead owner makes the lock stale (taken over at once); age must not, since the
    // first instance runs for days.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    // A guard left by a dead instance whose process number this process now has: QLockFile asks
    // whether that process runs and finds this one, so the program would never start again. Wine
    // hands out the same numbers at every start; containers and Windows reuse them too.
    // (Whatever host wrote it: a guard is per session, and one elsewhere must not hold this one.)
    qint64 pid = 0;
    if (m_lock->error() == QLockFile::LockFailedError && m_lock->getLockInfo(&pid, nullptr, nullptr)
        && pid == QCoreApplication::applicationPid() && m_lock->removeStaleLockFile())
        return m_lock->tryLock(0);
    return false;
}

QString SingleInstance::lockFilePath() const
{
    return m_path;
}

QString SingleInstance::channelName() const
{
    return m_path.chopped(int(qstrlen(".lock"))) + QStringLiteral(".socket");
}

InstanceChannel *SingleInstance::listen()
{
    if (!m_lock || !m_lock->isLocked())
        return nullptr;
    if (!m_channel) {
        auto channel = std::make_unique<InstanceChannel>();
        if (!channel->listen(channelName()))
            return nullptr;
        m_channel = std::move(channel);
    }
    return m_channel.get();
}

void SingleInstance::release()
{
    m_channel.reset();
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}
