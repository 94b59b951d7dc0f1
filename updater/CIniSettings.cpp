#include "CIniSettings.h"

#include <QSettings>
#include <QStandardPaths>

#include "inifile.h"

namespace {
CIniSettings* g_iniSettings = nullptr;
const QString kUpdateTimestamp = QStringLiteral("boot/update_timestamp");
}

CIniSettings* CIniSettings::Instance()
{
    if (!g_iniSettings)
        g_iniSettings = new CIniSettings;
    return g_iniSettings;
}

CIniSettings::CIniSettings()
    : m_settings(new QSettings(
          QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/QzConfig.ini"),
          IniFile::Format()))
{
}

CIniSettings::~CIniSettings()
{
    delete m_settings;
}

QString CIniSettings::FileName() const
{
    return m_settings->fileName();
}

qint64 CIniSettings::GetUpdateTimestamp() const
{
    return m_settings->value(kUpdateTimestamp).toLongLong();
}

void CIniSettings::SetUpdateTimestamp(qint64 secsSinceEpoch)
{
    m_settings->setValue(kUpdateTimestamp, QString::number(secsSinceEpoch));
    m_settings->sync();
}
