#include "CodeTable.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

struct Row
{
    const char16_t *key;
    const char16_t *value;
};

template<std::size_t N>
CodeTable fromRows(const Row (&rows)[N])
{
    CodeTable table;
    for (const Row &row : rows)
        table.insert(QString::fromUtf16(row.key), QString::fromUtf16(row.value));
    return table;
}

// The service's published area-id list, one "<areaid>\t<name>" line a city in ascending id order,
// so that a repeated name ends up with its larger id.
CodeTable loadCityTable()
{
    CodeTable table;
    QFile file(u":/weather/city_area_ids.tsv"_s);
    if (!file.open(QIODevice::ReadOnly))
        return table;
    const QByteArray data = file.readAll();
    for (const QByteArray &line : data.split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0)
            continue;
        const QString id = QString::fromLatin1(line.left(tab)).trimmed();
        const QString name = QString::fromUtf8(line.mid(tab + 1)).trimmed();
        if (!id.isEmpty() && !name.isEmpty())
            table.insert(name, id);
    }
    return table;
}

} // namespace

QString CodeTable::lookup(const QString &key) const
{
    if (key.isEmpty())
        return QString();
    return m_map.value(key);
}

const CodeTable &cityAreaIds()
{
    static const CodeTable table = loadCityTable();
    return table;
}

const CodeTable &weatherPhenomena()
{
    static const Row rows[] = {
        {u"00", u"晴"}, {u"01", u"多云"}, {u"02", u"阴"}, {u"03", u"阵雨"}, {u"04", u"雷阵雨"},
        {u"05", u"雷阵雨伴有冰雹"}, {u"06", u"雨夹雪"}, {u"07", u"小雨"}, {u"08", u"中雨"},
        {u"09", u"大雨"}, {u"10", u"暴雨"}, {u"11", u"大暴雨"}, {u"12", u"特大暴雨"},
        {u"13", u"阵雪"}, {u"14", u"小雪"}, {u"15", u"中雪"}, {u"16", u"大雪"}, {u"17", u"暴雪"},
        {u"18", u"雾"}, {u"19", u"冻雨"}, {u"20", u"沙尘暴"}, {u"21", u"小到中雨"},
        {u"22", u"中到大雨"}, {u"23", u"大到暴雨"}, {u"24", u"暴雨到大暴雨"},
        {u"25", u"暴雨到特大暴雨"}, {u"26", u"小到中雪"}, {u"27", u"中到大雪"},
        {u"28", u"大到暴雪"}, {u"29", u"浮尘"}, {u"30", u"扬沙"}, {u"31", u"强沙尘暴"},
        {u"53", u"霾"}, {u"99", u"未知"},
    };
    static const CodeTable table = fromRows(rows);
    return table;
}

const CodeTable &windForces()
{
    static const Row rows[] = {
        {u"0", u"微风"}, {u"1", u"3-4级"}, {u"2", u"4-5级"}, {u"3", u"5-6级"}, {u"4", u"6-7级"},
        {u"5", u"7-8级"}, {u"6", u"8-9级"}, {u"7", u"9-10级"}, {u"8", u"10-11级"}, {u"9", u"11-12级"},
    };
    static const CodeTable table = fromRows(rows);
    return table;
}

const CodeTable &windDirections()
{
    static const Row rows[] = {
        {u"0", u"无持续风向"}, {u"1", u"东北风"}, {u"2", u"东风"}, {u"3", u"东南风"}, {u"4", u"南风"},
        {u"5", u"西南风"}, {u"6", u"西风"}, {u"7", u"西北风"}, {u"8", u"北风"}, {u"9", u"旋转风"},
    };
    static const CodeTable table = fromRows(rows);
    return table;
}
