#include "FileSizeLimit.h"

#include "DataFile.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

bool fileSizeLimitAvailable()
{
    return true;
}

// setrlimit with SIGXFSZ ignored: writes then fail with EFBIG exactly as on a full disk, without
// mounting anything, also as root.
SaveOutcome saveWithFileSizeLimit(const SaveFunction &save, const QString &path, qint64 limitBytes,
                                  int attempts)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        ::close(fds[0]);
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(limitBytes), rlim_t(limitBytes)};
        setrlimit(RLIMIT_FSIZE, &limit);
        QByteArray told;
        DataFile::setReporter([&told](const QString &message) { told += message.toUtf8() + '\n'; });
        bool saved = false;
        for (int i = 0; i < attempts; ++i)
            saved = save(path) || saved;
        if (::write(fds[1], told.constData(), size_t(told.size())) != told.size())
            _exit(3);
        _exit(saved ? 1 : 0);
    }
    ::close(fds[1]);
    QByteArray told;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        told.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    SaveOutcome outcome;
    outcome.saved = WIFEXITED(status) && WEXITSTATUS(status) == 1;
    outcome.messages = QString::fromUtf8(told).split(u'\n', Qt::SkipEmptyParts);
    return outcome;
}
