#include "TempDataDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempDataDir::TempDataDir() = default;

QString TempDataDir::filePath(const QString &name) const
{
    return m_dir.filePath(name);
}

QString TempDataDir::write(const QString &name, const QByteArray &bytes) const
{
    const QString path = filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return path;
}

QByteArray TempDataDir::read(const QString &name) const
{
    QFile file(filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
