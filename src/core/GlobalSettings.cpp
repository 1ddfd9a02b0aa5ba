#include "GlobalSettings.h"

#include "DataFile.h"
#include "KnownFolders.h"

#include <QCoreApplication>
#include <QDir>
#include "XmlWriter.h"

#include <cmath>

namespace {

// Base-10 value of an element's text; anything else reads as 0, as the file format says.
int elementValue(const XmlNode &element)
{
    return element.text.toInt();
}

} // namespace

GlobalSettings *GlobalSettings::instance()
{
    static GlobalSettings settings;
    return &settings;
}

QString GlobalSettings::dataDirectory()
{
    if (m_dataDirectory.isEmpty()) {
        m_dataDirectory = KnownFolders::roamingAppData() + QStringLiteral("/QuorvikPcAssist");
        // mkpath rather than one level: on a fresh account the XDG data home may not exist yet.
        QDir().mkpath(m_dataDirectory);
    }
    return m_dataDirectory;
}

QString GlobalSettings::settingsFilePath()
{
    if (m_settingsFilePath.isEmpty())
        m_settingsFilePath = dataDirectory() + QStringLiteral("/settings.dat");
    return m_settingsFilePath;
}

QString GlobalSettings::resourcesDirectory()
{
    if (m_resourcesDirectory.isEmpty())
        m_resourcesDirectory = QCoreApplication::applicationDirPath() + QStringLiteral("/Resources/");
    return m_resourcesDirectory;
}

QString GlobalSettings::dataFilePath(const QString &fileName)
{
    return dataDirectory() + u'/' + fileName;
}

void GlobalSettings::load(const QString &filePath)
{
    XmlNode root;
    // A real file has six elements; the margin only tolerates comments of other tools.
    if (DataFile::load(filePath, DataFile::limits(16), &root) == DataFile::Loaded) {
        if (const XmlNode *common = root.child(u"common")) {
            if (const XmlNode *firstRun = common->child(u"first_run"))
                m_firstRun = elementValue(*firstRun) != 0;
            const XmlNode *onlyHide = common->child(u"onlyHideWhenClose");
            m_onlyHideWhenClose = !onlyHide || elementValue(*onlyHide) != 0;
            if (const XmlNode *hotKey = common->child(u"showHideHotKey"))
                m_hotKey = elementValue(*hotKey);
            if (const XmlNode *floating = common->child(u"showFloatingWindow"))
                m_showFloatingWindow = elementValue(*floating) != 0;
            loadWeatherCity(common->child(u"weatherCity"));
        }
    }
    emit loadFinished();
}

bool GlobalSettings::save(const QString &filePath)
{
    XmlWriter xml;
    xml.startElement(QStringLiteral("torvel_settings"));
    xml.startElement(QStringLiteral("common"));
    xml.textElement(QStringLiteral("first_run"), QStringLiteral("0"));
    xml.textElement(QStringLiteral("onlyHideWhenClose"), QString::number(m_onlyHideWhenClose ? 1 : 0));
    xml.textElement(QStringLiteral("showHideHotKey"), QString::number(m_hotKey));
    xml.textElement(QStringLiteral("showFloatingWindow"), QString::number(m_showFloatingWindow ? 1 : 0));
    // Automatic location writes nothing, so the file stays as older versions wrote it.
    if (!m_weatherCity.isEmpty()) {
        xml.startElement(QStringLiteral("weatherCity"));
        if (m_hasCityCoordinates) {
            // Enough digits to read back the same number.
            xml.attribute(QStringLiteral("latitude"), QString::number(m_cityLatitude, 'g', 17));
            xml.attribute(QStringLiteral("longitude"), QString::number(m_cityLongitude, 'g', 17));
        }
        xml.text(m_weatherCity);
        xml.endElement();
    }
    return DataFile::save(filePath, xml.finish());
}

void GlobalSettings::setShowFloatingWindow(bool value)
{
    if (value == m_showFloatingWindow)
        return;
    m_showFloatingWindow = value;
    save(settingsFilePath());
}

void GlobalSettings::loadWeatherCity(const XmlNode *element)
{
    // Absent (a file of an older version), empty or not an area id: automatic location.
    const QString text = element ? element->text.trimmed() : QString();
    setWeatherCity(isAreaId(text) ? text : QString());
    if (!element)
        return;
    bool latitudeOk = false;
    bool longitudeOk = false;
    const double latitude = element->attribute(u"latitude").toDouble(&latitudeOk);
    const double longitude = element->attribute(u"longitude").toDouble(&longitudeOk);
    if (!m_weatherCity.isEmpty() && latitudeOk && longitudeOk)
        setWeatherCityCoordinates(latitude, longitude);
}

void GlobalSettings::setWeatherCity(const QString &areaId)
{
    if (areaId == m_weatherCity)
        return;
    m_weatherCity = areaId;
    m_hasCityCoordinates = false;
    m_cityLatitude = m_cityLongitude = 0;
}

bool GlobalSettings::setWeatherCityCoordinates(double latitude, double longitude)
{
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || std::fabs(latitude) > 90
        || std::fabs(longitude) > 180)
        return false;
    m_hasCityCoordinates = true;
    m_cityLatitude = latitude;
    m_cityLongitude = longitude;
    return true;
}

bool GlobalSettings::isAreaId(const QString &text)
{
    if (text.size() != 9)
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

const KeyName *GlobalSettings::findKeyName(int qtKey) const
{
    const auto it = m_keyNames.constFind(qtKey);
    return it == m_keyNames.constEnd() ? nullptr : &it.value();
}

void GlobalSettings::resetForTest()
{
    m_firstRun = true;
    m_onlyHideWhenClose = true;
    m_hotKey = 16777267;
    m_showFloatingWindow = true;
    setWeatherCity(QString());
    m_dataDirectory.clear();
    m_settingsFilePath.clear();
    m_resourcesDirectory.clear();
}
