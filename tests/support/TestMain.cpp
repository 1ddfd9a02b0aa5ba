#include "TestMain.h"

#include <QDir>
#include <QFile>

void qpaIsolateHome(const QString &root)
{
    const struct { const char *var; const char *sub; } folders[] = {
        {"HOME", "home"},
        {"XDG_DATA_HOME", "home/.local/share"},
        {"XDG_CONFIG_HOME", "home/.config"},
        {"XDG_CACHE_HOME", "home/.cache"},
        {"XDG_RUNTIME_DIR", "runtime"},
    };
    for (const auto &f : folders) {
        const QString path = root + u'/' + QLatin1StringView(f.sub);
        QDir().mkpath(path);
        qputenv(f.var, path.toLocal8Bit());
    }
    QFile::setPermissions(root + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
