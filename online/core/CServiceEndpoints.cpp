#include "CServiceEndpoints.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include "safefile.h"

namespace {
const QString kTrayProgram = QStringLiteral("QzHealthManager");

QUrl ReadBase(const QSettings& file, const QString& key)
{
    const QUrl base(file.value(QStringLiteral("services/") + key).toString().trimmed(), QUrl::StrictMode);
    const QString scheme = base.scheme();
    if (!base.isValid() || base.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    return base;
}
}

QString CServiceEndpoints::ConfigPath()
{
    // The tray program's own data folder is the generic data folder plus its name; spelling it
    // out lets the updater, which has a data folder of its own, find the same file.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/') + kTrayProgram
        + QStringLiteral("/QzServices.ini");
}

CServiceEndpoints CServiceEndpoints::Load()
{
    // A few lines; anything but a plain file of a sensible size is passed over, as if missing.
    constexpr size_t kLargestFile = 64 * 1024;
    CServiceEndpoints endpoints;
    if (SafeFile::Inspect(QFile::encodeName(ConfigPath()).toStdString(), kLargestFile) != SafeFile::ReadResult::Read)
        return endpoints;
    const QSettings file(ConfigPath(), QSettings::IniFormat);
    endpoints.m_statistics = ReadBase(file, QStringLiteral("statistics"));
    endpoints.m_update = ReadBase(file, QStringLiteral("update"));
    endpoints.m_ads = ReadBase(file, QStringLiteral("ads"));
    return endpoints;
}

QUrl CServiceEndpoints::Join(const QUrl& base, const QString& path)
{
    if (base.isEmpty())
        return {};
    QUrl url = base;
    QString prefix = base.path();
    while (prefix.endsWith(QLatin1Char('/')))
        prefix.chop(1);
    url.setPath(prefix + path);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

QUrl CServiceEndpoints::StatisticsUrl() const
{
    return Join(m_statistics, QStringLiteral("/hm4.gif"));
}

QUrl CServiceEndpoints::UpdateUrl() const
{
    return Join(m_update, QStringLiteral("/zr/update"));
}

QUrl CServiceEndpoints::AdsConfigUrl() const
{
    return Join(m_ads, QStringLiteral("/zr/getAdsConfig"));
}
