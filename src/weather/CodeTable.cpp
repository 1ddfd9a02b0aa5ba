#include "CodeTable.h"

#include <QFile>

#include <algorithm>
#include <iterator>

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

// The service's published area-id list, one "<areaid>\t<name>" line a city in ascending id order.
QVector<CityRow> loadCityRows()
{
    QVector<CityRow> rows;
    QFile file(u":/weather/city_area_ids.tsv"_s);
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    const QByteArray data = file.readAll();
    for (const QByteArray &line : data.split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0)
            continue;
        const QString id = QString::fromLatin1(line.left(tab)).trimmed();
        const QString name = QString::fromUtf8(line.mid(tab + 1)).trimmed();
        if (!id.isEmpty() && !name.isEmpty())
            rows.append({id, name});
    }
    return rows;
}

// Inserted in table order, so that a repeated name ends up with its larger id.
CodeTable loadCityTable()
{
    CodeTable table;
    for (const CityRow &row : cityRows())
        table.insert(row.name, row.areaId);
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

const QVector<CityRow> &cityRows()
{
    static const QVector<CityRow> rows = loadCityRows();
    return rows;
}

const CityRow *cityRowOfAreaId(const QString &areaId)
{
    const QVector<CityRow> &rows = cityRows();
    // The rows are in ascending id order.
    const auto it = std::lower_bound(rows.cbegin(), rows.cend(), areaId,
                                     [](const CityRow &row, const QString &id) { return row.areaId < id; });
    return it != rows.cend() && it->areaId == areaId ? &*it : nullptr;
}

QString provinceOfAreaId(const QString &areaId)
{
    static const char16_t *const provinces[] = {
        u"北京", u"上海", u"天津", u"重庆", u"黑龙江", u"吉林", u"辽宁", u"内蒙古", u"河北",
        u"山西", u"陕西", u"山东", u"新疆", u"西藏", u"青海", u"甘肃", u"宁夏", u"河南",
        u"江苏", u"湖北", u"浙江", u"安徽", u"福建", u"江西", u"湖南", u"贵州", u"四川",
        u"广东", u"云南", u"广西", u"海南", u"香港", u"澳门", u"台湾",
    };
    if (areaId.size() != 9 || !areaId.startsWith(u"101"_s))
        return QString();
    bool ok = false;
    const int pp = areaId.mid(3, 2).toInt(&ok);
    if (!ok || pp < 1 || pp > int(std::size(provinces)))
        return QString();
    return QString::fromUtf16(provinces[pp - 1]);
}
