// Hostile settings.dat files: the load keeps defaults where values are missing and always
// announces that it finished.
#include "FuzzSupport.h"
#include "GlobalSettings.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::ensureApplication();
    GlobalSettings::instance()->initKeyNames();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    GlobalSettings *settings = GlobalSettings::instance();
    settings->resetForTest();
    const QString path = fuzz::scratchFile(QStringLiteral("settings.dat"), fuzz::bytes(data, size));
    int finished = 0;
    const auto connection = QObject::connect(settings, &GlobalSettings::loadFinished, [&] { ++finished; });
    settings->load(path);
    QObject::disconnect(connection);
    FUZZ_CHECK(finished == 1);
    if (size == 0) {
        FUZZ_CHECK(settings->firstRun());
        FUZZ_CHECK(settings->hotKey() == Qt::Key_F4);
    }
    // Whatever was read, the lookup of the stored key is safe.
    (void)settings->findKeyName(settings->hotKey());
    return 0;
}
