// The official arrangement of days off and make-up working days in mainland China, and the working
// days that follow from it. GUI-free, like the lunar arithmetic beside it.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <vector>

class HolidayTable
{
public:
    enum Kind {
        Ordinary,      // not in the arrangement: Monday to Friday work, the weekend is off
        DayOff,        // 休
        MakeUpWorkday, // 班: a Saturday or Sunday worked in exchange for a day off
    };

    struct Day
    {
        Kind kind = Ordinary;
        QString name;  // the holiday it belongs to ("国庆节"); empty for an ordinary day
        QDate festival; // the date of that festival; its year is the arrangement's year
    };

    // Larger texts are refused unread; the shipped table of 25 years is about 30 KB.
    static constexpr qsizetype kMaxBytes = 256 * 1024;

    // Reads a table in the shipped format: one line per day, "yyyy-MM-dd<TAB>name<TAB>1 or 0<TAB>
    // festival date" (1 a make-up working day, 0 a day off); blank lines and lines starting with
    // "#" are skipped. A day belongs to the year of its festival and lies within 31 days of it.
    // The whole text is refused (false, *table untouched) when it is larger than kMaxBytes, not
    // UTF-8, has a malformed line, lists a date twice, a year with no day off or more than 100 days,
    // or no day at all.
    static bool parse(const QByteArray &text, HolidayTable *table);
    // The table in the same format, ordered by date.
    QByteArray toTsv() const;

    // Adds the years of newer and replaces the whole of each year it shares with this table.
    // False, nothing changed, when the result would list a date twice.
    bool merge(const HolidayTable &newer);

    Day day(const QDate &date) const;
    // Whether the arrangement of that year is in the table.
    bool covers(int year) const { return std::binary_search(m_years.begin(), m_years.end(), year); }
    // The years the table covers, ascending.
    const QList<int> &years() const { return m_years; }
    // The number of days listed.
    qsizetype size() const { return qsizetype(m_entries.size()); }

private:
    // 8 bytes a day, sorted by day.
    struct Entry
    {
        qint32 julianDay;
        qint16 festivalOffset; // festival minus day
        quint8 name;           // index into m_names
        bool makeUp;
        int year() const { return int(QDate::fromJulianDay(julianDay + festivalOffset).year()); }
    };

    // Sorts the entries and lists their years; false when a date is listed twice.
    bool sortByDay();

    std::vector<Entry> m_entries;
    QStringList m_names;
    QList<int> m_years;
};

// The table in use: the shipped years, read on first use, with the years added since.
const HolidayTable &holidayTable();
// Adds or replaces years of the table in use (HolidayTable::merge); false, nothing changed, when refused.
bool addHolidayYears(const HolidayTable &newer);
// Back to the shipped years alone.
void resetHolidayTable();

// A working day: Monday to Friday unless it is an official day off, and the make-up working days;
// in a year the table does not cover, Monday to Friday.
bool isWorkday(const QDate &date);
