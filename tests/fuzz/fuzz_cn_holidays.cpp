// Hostile holiday tables from the maker's site: no crash, no hang; refused whole or read completely.
#include "FuzzSupport.h"
#include "HolidayTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray raw = fuzz::bytes(data, size);
    HolidayTable table;
    if (!HolidayTable::parse(raw, &table)) {
        FUZZ_CHECK(table.size() == 0);
        return 0;
    }
    FUZZ_CHECK(table.size() > 0 && !table.years().isEmpty());
    // What the cache writer makes of a table reads back to the same table.
    HolidayTable again;
    FUZZ_CHECK(HolidayTable::parse(table.toTsv(), &again));
    FUZZ_CHECK(again.toTsv() == table.toTsv());
    // Merged into the shipped years it either takes its whole years or changes nothing.
    HolidayTable shipped = holidayTable();
    const QByteArray before = shipped.toTsv();
    if (shipped.merge(table)) {
        for (int year : table.years())
            FUZZ_CHECK(shipped.covers(year));
    } else {
        FUZZ_CHECK(shipped.toTsv() == before);
    }
    return 0;
}
