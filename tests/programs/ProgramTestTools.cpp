#include "ProgramTestTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

namespace ProgramTestTools {

QString writeScript(const QString &path, const QByteArray &body)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write("#!/bin/sh\n" + body + '\n');
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                        | QFileDevice::ReadGroup | QFileDevice::ExeGroup);
    return path;
}

QString writeDesktopEntry(const QString &path, const QByteArray &lines)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write("[Desktop Entry]\n" + lines + '\n');
    return path;
}

QString writePicture(const QString &path, const QColor &color)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(color);
    return image.save(path, "PNG") ? path : QString();
}

ToolEnvironment::ToolEnvironment(const QString &binDir, const QString &dataDir)
    : m_path(qgetenv("PATH"))
    , m_dataDirs(qgetenv("XDG_DATA_DIRS"))
{
    qputenv("PATH", binDir.toLocal8Bit());
    qputenv("XDG_DATA_DIRS", dataDir.toLocal8Bit());
}

ToolEnvironment::~ToolEnvironment()
{
    qputenv("PATH", m_path);
    qputenv("XDG_DATA_DIRS", m_dataDirs);
}

} // namespace ProgramTestTools
