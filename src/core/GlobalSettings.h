// The one settings object: the user's four settings, the program's folders and the hot-key names.
#pragma once

#include <QMap>
#include <QObject>
#include <QString>

struct XmlNode;

// Windows virtual-key code and display name of a key the hot key may use.
struct KeyName
{
    int virtualKey = 0;
    QString displayName;
};

class GlobalSettings : public QObject
{
    Q_OBJECT

public:
    // The process-wide object, created on first use.
    static GlobalSettings *instance();

    // The per-user data folder (created on first call); no trailing separator.
    QString dataDirectory();
    // dataDirectory() + "/settings.dat".
    QString settingsFilePath();
    // The Resources folder beside the executable, with a trailing separator.
    QString resourcesDirectory();
    // dataDirectory() + "/" + fileName, for the page data files.
    QString dataFilePath(const QString &fileName);

    // Reads the settings file tolerantly; always ends by emitting loadFinished().
    void load(const QString &filePath);
    // Writes the settings file atomically; false when it could not be written.
    bool save(const QString &filePath);

    bool firstRun() const { return m_firstRun; }
    bool onlyHideWhenClose() const { return m_onlyHideWhenClose; }
    void setOnlyHideWhenClose(bool value) { m_onlyHideWhenClose = value; }
    int hotKey() const { return m_hotKey; }
    void setHotKey(int key) { m_hotKey = key; }
    bool showFloatingWindow() const { return m_showFloatingWindow; }
    // Stores and saves at once, but only when the value changes.
    void setShowFloatingWindow(bool value);

    // The weather city: empty for automatic location by IP address, else the nine-digit area id
    // of a row of the city table. Setting another city forgets its coordinates.
    QString weatherCity() const { return m_weatherCity; }
    void setWeatherCity(const QString &areaId);
    // Coordinates of the chosen city, looked up once and kept with it.
    bool hasWeatherCityCoordinates() const { return m_hasCityCoordinates; }
    double weatherCityLatitude() const { return m_cityLatitude; }
    double weatherCityLongitude() const { return m_cityLongitude; }
    // Stores valid coordinates (finite, latitude within ±90, longitude within ±180); false otherwise.
    bool setWeatherCityCoordinates(double latitude, double longitude);
    // True for nine ASCII digits, the form of an area id.
    static bool isAreaId(const QString &text);

    // Fills the table of keys the hot key may use (once).
    void initKeyNames();
    // The table entry of a Qt key code, or null when the key may not be used.
    const KeyName *findKeyName(int qtKey) const;
    // The whole table, ordered by Qt key code.
    const QMap<int, KeyName> &keyNames() const { return m_keyNames; }

    // Forgets cached paths and restores defaults; tests only.
    void resetForTest();

signals:
    void loadFinished();

private:
    GlobalSettings() = default;
    void loadWeatherCity(const XmlNode *element);

    bool m_firstRun = true;
    bool m_onlyHideWhenClose = true;
    QString m_dataDirectory;
    int m_hotKey = 16777267; // Qt::Key_F4
    bool m_showFloatingWindow = true;
    QString m_weatherCity;
    bool m_hasCityCoordinates = false;
    double m_cityLatitude = 0;
    double m_cityLongitude = 0;
    QString m_settingsFilePath;
    QString m_resourcesDirectory;
    QMap<int, KeyName> m_keyNames;
};
