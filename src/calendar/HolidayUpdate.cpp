#include "HolidayUpdate.h"

#include "DataFile.h"
#include "Endpoints.h"
#include "GlobalSettings.h"
#include "HolidayTable.h"
#include "Network.h"

#include <QFile>
#include <QNetworkReply>
#include <QPointer>

using namespace Qt::StringLiterals;

namespace HolidayUpdate {

namespace {

HolidayTable readCache()
{
    HolidayTable cached;
    QFile file(cachePath());
    if (file.open(QIODevice::ReadOnly))
        HolidayTable::parse(file.read(HolidayTable::kMaxBytes + 1), &cached);
    return cached;
}

} // namespace

QString cachePath()
{
    return GlobalSettings::instance()->dataFilePath(u"cn_holidays.tsv"_s);
}

void loadCache()
{
    const HolidayTable cached = readCache();
    if (cached.size() > 0)
        addHolidayYears(cached);
}

bool apply(const QByteArray &body)
{
    HolidayTable reply;
    if (!HolidayTable::parse(body, &reply))
        return false;
    // Both merges are tried on copies first, so a refusal leaves everything as it was.
    HolidayTable cache = readCache();
    HolidayTable inUse = holidayTable();
    if (!cache.merge(reply) || !inUse.merge(reply))
        return false;
    // A failed write only costs the offline copy; the years are used in this run all the same.
    DataFile::writeAtomically(cachePath(), cache.toTsv());
    addHolidayYears(reply);
    return true;
}

void request(QObject *context, std::function<void()> applied)
{
    QNetworkReply *reply = networkGet(Endpoints::holidayTableUrl(), RequestKind::Holidays);
    if (!reply)
        return;
    QObject::connect(reply, &QNetworkReply::finished, reply,
                     [reply, context = QPointer<QObject>(context), applied = std::move(applied)] {
                         reply->deleteLater();
                         const QByteArray body = replyBody(reply);
                         if (!body.isEmpty() && apply(body) && context && applied)
                             applied();
                     });
}

} // namespace HolidayUpdate
