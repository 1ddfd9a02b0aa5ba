// A scratch folder for one test, with helpers to write and read the files in it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class TempDataDir
{
public:
    TempDataDir();

    bool isValid() const { return m_dir.isValid(); }
    // Absolute path of name inside the folder.
    QString filePath(const QString &name) const;
    // Writes bytes to name (creating subfolders) and returns its path.
    QString write(const QString &name, const QByteArray &bytes) const;
    // The whole content of name, or an empty array.
    QByteArray read(const QString &name) const;

private:
    QTemporaryDir m_dir;
};
