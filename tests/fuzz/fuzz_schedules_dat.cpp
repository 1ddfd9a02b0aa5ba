// Hostile schedules.dat files: only "schedule" elements become schedules; a save reads back.
#include "FuzzSupport.h"
#include "ScheduleMgr.h"

#include <QApplication>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::ensureApplication<QApplication>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::scratchFile(QStringLiteral("schedules.dat"), fuzz::bytes(data, size));
    ScheduleMgr manager;
    manager.loadSchedules(path);
    const QString copyPath = fuzz::scratchFile(QStringLiteral("schedules2.dat"), QByteArray());
    FUZZ_CHECK(manager.saveSchedules(copyPath));
    ScheduleMgr again;
    again.loadSchedules(copyPath);
    FUZZ_CHECK(again.schedules().size() == manager.schedules().size());
    for (qsizetype i = 0; i < manager.schedules().size(); ++i) {
        const Schedule &a = manager.schedules().at(i);
        const Schedule &b = again.schedules().at(i);
        FUZZ_CHECK(a.type == b.type);
        FUZZ_CHECK(a.datetime.isValid() == b.datetime.isValid());
    }
    return 0;
}
