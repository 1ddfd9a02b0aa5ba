// Windows: a value under the user's Run key starts the program at login.
#include "AutoStart.h"

#include <QDir>
#include <QSettings>

namespace {

const QString kRunKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
// Where Task Manager keeps entries the user switched off there; a left-over "off" would win.
const QString kApprovedKey =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run");
const QString kValueName = QStringLiteral("QuorvikPcAssist");

} // namespace

namespace AutoStart {

bool isSupported()
{
    return true;
}

bool isEnabled()
{
    const QSettings run(kRunKey, QSettings::NativeFormat);
    return !run.value(kValueName).toString().trimmed().isEmpty();
}

bool setEnabled(bool enabled, const QString &program)
{
    QSettings run(kRunKey, QSettings::NativeFormat);
    if (enabled) {
        run.setValue(kValueName, u'"' + QDir::toNativeSeparators(program) + u'"');
        QSettings approved(kApprovedKey, QSettings::NativeFormat);
        approved.remove(kValueName);
    } else {
        run.remove(kValueName);
    }
    run.sync();
    return run.status() == QSettings::NoError && isEnabled() == enabled;
}

} // namespace AutoStart
