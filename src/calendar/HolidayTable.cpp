#include "HolidayTable.h"

#include <QFile>
#include <QHash>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

constexpr int kMaxFestivalDistance = 31;
constexpr int kMaxDaysPerYear = 100;
constexpr qsizetype kMaxNameLength = 16;
// Within the grid's range and the lunar tables', with room for a few years of announcements.
constexpr int kFirstYear = 1949;
constexpr int kLastYear = 2100;

// "yyyy-MM-dd" read by hand: QDate::fromString parses its format anew on every call, which made
// reading the table cost milliseconds.
QDate readDate(QStringView text)
{
    if (text.size() != 10 || text.at(4) != u'-' || text.at(7) != u'-')
        return {};
    auto number = [&text](qsizetype from, qsizetype length) {
        int value = 0;
        for (qsizetype i = from; i < from + length; ++i) {
            const char16_t c = text.at(i).unicode();
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c - u'0');
        }
        return value;
    };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    if (year < 0 || month < 0 || day < 0)
        return {};
    return QDate(year, month, day);
}

bool isPlainName(const QString &name)
{
    if (name.isEmpty() || name.size() > kMaxNameLength || name.trimmed() != name)
        return false;
    return std::none_of(name.begin(), name.end(), [](QChar c) {
        return c.category() == QChar::Other_Control || c.isSurrogate() || c.category() == QChar::Other_NotAssigned;
    });
}

HolidayTable builtInTable()
{
    HolidayTable table;
    QFile file(u":/calendar/cn_holidays.tsv"_s);
    if (file.open(QIODevice::ReadOnly))
        HolidayTable::parse(file.readAll(), &table);
    return table;
}

HolidayTable &tableInUse()
{
    static HolidayTable table = builtInTable();
    return table;
}

} // namespace

bool HolidayTable::parse(const QByteArray &text, HolidayTable *table)
{
    if (text.size() > kMaxBytes)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder.decode(text);
    if (decoder.hasError())
        return false;

    HolidayTable result;
    QHash<QString, int> nameIndex;
    QHash<int, int> daysPerYear, daysOffPerYear;
    for (QStringView line : QStringView(decoded).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.startsWith(u'\uFEFF'))
            line = line.mid(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QList<QStringView> fields = line.split(u'\t');
        if (fields.size() != 4)
            return false;
        const QDate date = readDate(fields.at(0));
        const QDate festival = readDate(fields.at(3));
        const QString name = fields.at(1).toString();
        if (!date.isValid() || !festival.isValid() || !isPlainName(name)
            || (fields.at(2) != u"0" && fields.at(2) != u"1"))
            return false;
        const int year = festival.year();
        if (year < kFirstYear || year > kLastYear || qAbs(date.daysTo(festival)) > kMaxFestivalDistance)
            return false;
        if (!nameIndex.contains(name)) {
            // The index is one byte.
            if (result.m_names.size() > 255)
                return false;
            nameIndex.insert(name, int(result.m_names.size()));
            result.m_names.append(name);
        }
        const bool makeUp = fields.at(2) == u"1";
        result.m_entries.push_back({qint32(date.toJulianDay()), qint16(date.daysTo(festival)),
                                    quint8(nameIndex.value(name)), makeUp});
        if (++daysPerYear[year] > kMaxDaysPerYear)
            return false;
        if (!makeUp)
            ++daysOffPerYear[year];
    }
    if (result.m_entries.empty())
        return false;
    for (auto it = daysPerYear.cbegin(); it != daysPerYear.cend(); ++it) {
        if (daysOffPerYear.value(it.key()) == 0)
            return false;
    }
    if (!result.sortByDay())
        return false;
    *table = std::move(result);
    return true;
}

QByteArray HolidayTable::toTsv() const
{
    QString text;
    for (const Entry &entry : m_entries) {
        const QDate date = QDate::fromJulianDay(entry.julianDay);
        text += date.toString(u"yyyy-MM-dd"_s) + u'\t' + m_names.at(entry.name) + u'\t'
              + (entry.makeUp ? u'1' : u'0') + u'\t'
              + date.addDays(entry.festivalOffset).toString(u"yyyy-MM-dd"_s) + u'\n';
    }
    return text.toUtf8();
}

bool HolidayTable::merge(const HolidayTable &newer)
{
    HolidayTable result;
    result.m_names = m_names;
    for (const Entry &entry : m_entries) {
        if (!newer.covers(entry.year()))
            result.m_entries.push_back(entry);
    }
    for (Entry entry : newer.m_entries) {
        const QString &name = newer.m_names.at(entry.name);
        qsizetype index = result.m_names.indexOf(name);
        if (index < 0) {
            if (result.m_names.size() > 255)
                return false;
            index = result.m_names.size();
            result.m_names.append(name);
        }
        entry.name = quint8(index);
        result.m_entries.push_back(entry);
    }
    // A kept year and a new one may not both claim a day (a December day of next year's New Year).
    if (!result.sortByDay())
        return false;
    *this = std::move(result);
    return true;
}

HolidayTable::Day HolidayTable::day(const QDate &date) const
{
    if (!date.isValid())
        return {};
    const qint64 julianDay = date.toJulianDay();
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), julianDay,
                                     [](const Entry &entry, qint64 day) { return entry.julianDay < day; });
    if (it == m_entries.end() || it->julianDay != julianDay)
        return {};
    return {it->makeUp ? MakeUpWorkday : DayOff, m_names.at(it->name), date.addDays(it->festivalOffset)};
}

bool HolidayTable::sortByDay()
{
    std::sort(m_entries.begin(), m_entries.end(),
              [](const Entry &a, const Entry &b) { return a.julianDay < b.julianDay; });
    const auto twice = std::adjacent_find(m_entries.begin(), m_entries.end(),
                                          [](const Entry &a, const Entry &b) { return a.julianDay == b.julianDay; });
    if (twice != m_entries.end())
        return false;
    m_years.clear();
    for (const Entry &entry : m_entries)
        m_years.append(entry.year());
    std::sort(m_years.begin(), m_years.end());
    m_years.erase(std::unique(m_years.begin(), m_years.end()), m_years.end());
    return true;
}

const HolidayTable &holidayTable()
{
    return tableInUse();
}

bool addHolidayYears(const HolidayTable &newer)
{
    return tableInUse().merge(newer);
}

void resetHolidayTable()
{
    tableInUse() = builtInTable();
}

bool isWorkday(const QDate &date)
{
    switch (tableInUse().day(date).kind) {
    case HolidayTable::DayOff:
        return false;
    case HolidayTable::MakeUpWorkday:
        return true;
    case HolidayTable::Ordinary:
        break;
    }
    return date.isValid() && date.dayOfWeek() <= 5;
}
