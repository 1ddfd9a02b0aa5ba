#include "GlobalSettings.h"

#include "DataFile.h"
#include "KnownFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QDomDocument>

namespace {

// Base-10 value of an element's text; anything else reads as 0, as the file format says.
int elementValue(const QDomElement &element)
{
    return element.text().toInt();
}

void appendValue(QDomDocument &doc, QDomElement &parent, const QString &name, int value)
{
    QDomElement element = doc.createElement(name);
    element.appendChild(doc.createTextNode(QString::number(value)));
    parent.appendChild(element);
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
    QDomDocument doc;
    if (DataFile::load(filePath, &doc) == DataFile::Loaded) {
        const QDomElement common = doc.documentElement().firstChildElement(QStringLiteral("common"));
        if (!common.isNull()) {
            const QDomElement firstRun = common.firstChildElement(QStringLiteral("first_run"));
            if (!firstRun.isNull())
                m_firstRun = elementValue(firstRun) != 0;
            const QDomElement onlyHide = common.firstChildElement(QStringLiteral("onlyHideWhenClose"));
            m_onlyHideWhenClose = onlyHide.isNull() || elementValue(onlyHide) != 0;
            const QDomElement hotKey = common.firstChildElement(QStringLiteral("showHideHotKey"));
            if (!hotKey.isNull())
                m_hotKey = elementValue(hotKey);
            const QDomElement floating = common.firstChildElement(QStringLiteral("showFloatingWindow"));
            if (!floating.isNull())
                m_showFloatingWindow = elementValue(floating) != 0;
        }
    }
    emit loadFinished();
}

bool GlobalSettings::save(const QString &filePath)
{
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("torvel_settings"));
    doc.appendChild(root);
    QDomElement common = doc.createElement(QStringLiteral("common"));
    root.appendChild(common);
    appendValue(doc, common, QStringLiteral("first_run"), 0);
    appendValue(doc, common, QStringLiteral("onlyHideWhenClose"), m_onlyHideWhenClose ? 1 : 0);
    appendValue(doc, common, QStringLiteral("showHideHotKey"), m_hotKey);
    appendValue(doc, common, QStringLiteral("showFloatingWindow"), m_showFloatingWindow ? 1 : 0);
    return DataFile::save(filePath, doc);
}

void GlobalSettings::setShowFloatingWindow(bool value)
{
    if (value == m_showFloatingWindow)
        return;
    m_showFloatingWindow = value;
    save(settingsFilePath());
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
    m_dataDirectory.clear();
    m_settingsFilePath.clear();
    m_resourcesDirectory.clear();
}
