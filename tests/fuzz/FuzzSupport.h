// Shared bits of the fuzz targets: an application object, a scratch file and invariant checks.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// An invariant the reader promises for any input; a broken one is a finding like a crash.
#define FUZZ_CHECK(condition)                                                              \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "FUZZ_CHECK failed: %s (%s:%d)\n", #condition, __FILE__, \
                         __LINE__);                                                        \
            std::abort();                                                                  \
        }                                                                                  \
    } while (false)

namespace fuzz {

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Qt objects with timers and events want an application object; widgets use the offscreen platform.
template <typename App = QCoreApplication>
inline void ensureApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Warnings about pictures missing from this build (the icon resources are not linked)
        // would cost more than the parsing; qFatal still aborts.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        new App(argc, argv);
    }
}

// Writes the input to a file of the given name in a private folder and returns its path.
inline QString scratchFile(const QString &name, const QByteArray &contents)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(contents);
    file.close();
    return path;
}

} // namespace fuzz
