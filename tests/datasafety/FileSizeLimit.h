// A save run with the process's files capped at a size, as a full disk makes them.
#pragma once

#include <QStringList>

#include <functional>

using SaveFunction = std::function<bool(const QString &path)>;

struct SaveOutcome
{
    bool saved = false;
    QStringList messages; // what the user was told, in order
};

// False where the system has no per-process file size limit; the full-disk cases skip there.
bool fileSizeLimitAvailable();

// Runs save attempts times in a child process whose files may not grow beyond limitBytes.
SaveOutcome saveWithFileSizeLimit(const SaveFunction &save, const QString &path, qint64 limitBytes,
                                  int attempts = 1);
