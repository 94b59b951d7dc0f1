#include "CAdsDataManager.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include "CHttpGet.h"
#include "CServiceEndpoints.h"
#include "safefile.h"
#include "wholefile.h"

namespace {
CAdsDataManager* g_adsDataManager = nullptr;
}

CAdsDataManager* CAdsDataManager::Instance()
{
    if (!g_adsDataManager)
        g_adsDataManager = new CAdsDataManager;
    return g_adsDataManager;
}

int CAdsDataManager::TimeLeftMs(int capMs) const
{
    return int(qBound<qint64>(0, m_budget.remainingTime(), capMs));
}

bool CAdsDataManager::FetchConfig()
{
    m_budget.setRemainingTime(StartupBudgetMs);
    const stHttpAnswer answer =
        CHttpGet::Run(CServiceEndpoints::Load().AdsConfigUrl(), TimeLeftMs(ConfigTimeoutMs), MaxConfigBytes);
    if (!answer.bOk)
        return false;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(answer.body, &error);
    if (error.error != QJsonParseError::NoError || document.isNull())
        return false;
    if (!document.isArray())
        return true;
    const QJsonArray records = document.array();
    for (const QJsonValue& value : records) {
        if (!value.isObject())
            continue;
        const QJsonObject record = value.toObject();
        stAdsSlot slot;
        const QJsonValue position = record.value(QLatin1String("ads_pos"));
        if (position.isDouble())
            slot.nPosition = position.toInt();
        const QJsonValue status = record.value(QLatin1String("ads_status"));
        if (status.isDouble())
            slot.nStatus = status.toInt();
        const QJsonValue image = record.value(QLatin1String("ads_imageurl"));
        if (image.isString())
            slot.strImageUrl = image.toString();
        const QJsonValue link = record.value(QLatin1String("ads_linkurl"));
        if (link.isString())
            slot.strLinkUrl = link.toString();
        m_slots.append(slot);
    }
    return true;
}

QString CAdsDataManager::CachePath(const QString& imageUrl)
{
    const QString digest = QString::fromLatin1(
        QCryptographicHash::hash(imageUrl.toUtf8(), QCryptographicHash::Md5).toHex());
    // The suffix comes from the service: a separator in it must not lead out of the folder.
    QString suffix = imageUrl.right(4);
    for (QChar& c : suffix) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QChar(0))
            c = QLatin1Char('_');
    }
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QDir::separator() + digest
        + suffix;
}

void CAdsDataManager::PrepareImages()
{
    for (stAdsSlot& slot : m_slots) {
        const QString path = CachePath(slot.strImageUrl);
        const bool cached = IsCached(path) || Download(slot.strImageUrl, path);
        slot.bShown = cached && slot.nStatus != 0;
        if (cached)
            slot.strLocalImage = path;
    }
}

// A picture of the cache counts only as a plain file within the download's cap; anything else
// at its name (a link, a FIFO) is removed, so the picture is fetched and written anew.
bool CAdsDataManager::IsCached(const QString& path)
{
    const std::string native = QFile::encodeName(path).toStdString();
    const SafeFile::ReadResult found = SafeFile::Inspect(native, size_t(MaxImageBytes));
    if (found == SafeFile::ReadResult::NotRegular || found == SafeFile::ReadResult::TooLarge)
        SafeFile::Remove(native);
    return found == SafeFile::ReadResult::Read;
}

bool CAdsDataManager::Download(const QString& imageUrl, const QString& path)
{
    // A configuration may name one address many times, or thousands of addresses at a host
    // that never answers: each is asked for once, and start-up waits no longer than its budget.
    if (m_tried.contains(imageUrl))
        return false;
    const int timeoutMs = TimeLeftMs(ImageTimeoutMs);
    if (timeoutMs == 0)
        return false;
    m_tried.insert(imageUrl);
    // Only web addresses: a file: address would copy a local file into the cache.
    const QUrl address(imageUrl);
    if (address.scheme() != QLatin1String("http") && address.scheme() != QLatin1String("https"))
        return false;
    const stHttpAnswer answer = CHttpGet::Run(address, timeoutMs, MaxImageBytes);
    // An empty answer or a portal's page would otherwise stand in the cache for good.
    if (!answer.bOk || QImage::fromData(answer.body).isNull())
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Whole or not at all: half a picture would stand in the cache for good.
    return WholeFile::Write(path, answer.body);
}

bool CAdsDataManager::FindSlot(int position, stAdsSlot& slot) const
{
    for (const stAdsSlot& candidate : m_slots) {
        if (candidate.nPosition == position) {
            slot = candidate;
            return true;
        }
    }
    return false;
}
