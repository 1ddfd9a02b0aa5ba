// Built-in lookup tables between the location service's city names and the weather service's codes.
#pragma once

#include <QMap>
#include <QString>

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
