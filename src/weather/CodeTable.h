// Built-in lookup tables between the location service's city names and the weather service's codes.
#pragma once

#include <QMap>
#include <QString>
#include <QVector>

class CodeTable
{
public:
    CodeTable() = default;

    // Stores value under key; a repeated key keeps the later value.
    void insert(const QString &key, const QString &value) { m_map.insert(key, value); }
    // The value stored under exactly key, or an empty string (also for an empty key).
    QString lookup(const QString &key) const;
    int size() const { return int(m_map.size()); }

private:
    QMap<QString, QString> m_map;
};

// City name -> nine-digit weather area id, built on first use.
const CodeTable &cityAreaIds();
// Two-digit phenomenon code -> Chinese name.
const CodeTable &weatherPhenomena();
// One-digit wind-force code -> Chinese text.
const CodeTable &windForces();
// One-digit wind-direction code -> Chinese name.
const CodeTable &windDirections();

// One row of the city table, in table order (ascending area id).
struct CityRow
{
    QString areaId;
    QString name;
};
// Every row of the city table, repeated names included.
const QVector<CityRow> &cityRows();
// The row of an area id, or null when the table has no such row.
const CityRow *cityRowOfAreaId(const QString &areaId);
// The province of an area id (its digits 4 and 5), e.g. 北京 or 广东; empty when unknown.
QString provinceOfAreaId(const QString &areaId);
