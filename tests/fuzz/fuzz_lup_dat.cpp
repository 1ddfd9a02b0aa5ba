// Hostile lup.dat files: the grid places only programs that exist, after the built-in cells.
#include "FuzzSupport.h"
#include "ProgramTableWidget.h"

#include <QApplication>
#include <QFileInfo>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::ensureApplication<QApplication>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::scratchFile(QStringLiteral("lup.dat"), fuzz::bytes(data, size));
    ProgramTableWidget grid;
    grid.loadPrograms(path);
    for (const ProgramEntry &entry : grid.userPrograms()) {
        FUZZ_CHECK(!entry.name.isEmpty());
        FUZZ_CHECK(QFileInfo::exists(entry.path));
    }
    // A save of what was read reads back to the same list.
    const QString copyPath = fuzz::scratchFile(QStringLiteral("lup2.dat"), QByteArray());
    FUZZ_CHECK(grid.savePrograms(copyPath));
    ProgramTableWidget again;
    FUZZ_CHECK(again.loadPrograms(copyPath));
    FUZZ_CHECK(again.userPrograms().size() == grid.userPrograms().size());
    return 0;
}
