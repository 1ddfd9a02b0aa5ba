// Newer years of the holiday table: asked of the maker's site, kept in the data folder for offline use.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QObject;

namespace HolidayUpdate {

// The cache of the years fetched so far, "cn_holidays.tsv" in the data folder.
QString cachePath();
// Adds the cached years to the table in use; a missing or refused cache changes nothing.
void loadCache();
// A reply body: a valid table adds or replaces its years in the table in use and in the cache.
// False, with table and cache unchanged, when the body is refused (HolidayTable::parse).
bool apply(const QByteArray &body);
// Asks for the table through the shared network access; a good reply is applied and then
// applied() runs, unless context is gone by then. Nothing happens without a network manager.
void request(QObject *context, std::function<void()> applied);

} // namespace HolidayUpdate
