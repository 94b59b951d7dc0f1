#include "CUpdateContext.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>

#include "CHttpGet.h"
#include "core/CMessageShow.h"
#include "CServiceEndpoints.h"
#include "core/CSystemUtil.h"
#include "CUpdaterStaging.h"
#include "core/ProductPages.h"

namespace {
CUpdateContext* g_updateContext = nullptr;
const QString kUpdater = QStringLiteral("QzLiveUpdate");
// The answer is never used; a little room keeps an odd service from feeding us for long.
constexpr qint64 kReportAnswerBytes = 64 * 1024;
}

CUpdateContext* CUpdateContext::Instance()
{
    if (!g_updateContext)
        g_updateContext = new CUpdateContext;
    return g_updateContext;
}

QString CUpdateContext::BuildReportQuery(const QString& name) const
{
    CSystemUtil* util = CSystemUtil::Instance();
    // One data text for both the query and the signature, even when the second turns meanwhile.
    const QString data = util->GetReportData();
    // Listing the adapters is the dear part of a report, so it is done once and both the
    // identity and the query use that one answer.
    const QString macAddress = util->GetMacAddress();
    const QString deviceId = CSystemUtil::DeviceIdFrom(util->GetMachineUuid(), macAddress, util->GetCpuId());
    return QStringLiteral("product=") + QCoreApplication::applicationName() + QStringLiteral("&platform=linux")
        + QStringLiteral("&version=") + util->GetProgramVersion() + QStringLiteral("&event=") + name
        + QStringLiteral("&channel=10000&uid=") + deviceId + QStringLiteral("&um=") + macAddress
        + QStringLiteral("&signature=") + CSystemUtil::GetSignature(deviceId, macAddress, data)
        + QStringLiteral("&key=0&data=") + data;
}

QUrl CUpdateContext::ReportUrl(const QUrl& endpoint, const QString& query)
{
    // The values go in as they are: the separators and the other characters a query may hold
    // stay, everything else (braces, quotes, spaces, non-ASCII, a stray %) is encoded.
    const QByteArray encoded = QUrl::toPercentEncoding(query, QByteArrayLiteral("!$&'()*+,;=:@/?"));
    QUrl url = endpoint;
    url.setQuery(QString::fromLatin1(encoded), QUrl::StrictMode);
    return url;
}

void CUpdateContext::ReportEvent(const QString& name)
{
    const QUrl endpoint = CServiceEndpoints::Load().StatisticsUrl();
    if (!endpoint.isEmpty())
        CHttpGet::Run(ReportUrl(endpoint, BuildReportQuery(name)), ReportTimeoutMs, kReportAnswerBytes);
    emit EventReported(name);
}

void CUpdateContext::CheckForUpdate()
{
    // The query waits in a nested event loop, where a second click on "检查更新" or the start-up
    // check could begin another check; two at once would empty the staging folder under the
    // updater the first one is starting.
    if (m_checking)
        return;
    m_checking = true;
    if (QueryUpdateInfo()) {
        ReportEvent(QStringLiteral("manual_update"));
        LaunchUpdater();
    }
    m_checking = false;
}

bool CUpdateContext::QueryUpdateInfo()
{
    return CUpdateService::Query(m_info);
}

const stUpdateInfo& CUpdateContext::UpdateInfo() const
{
    return m_info;
}

void CUpdateContext::LaunchUpdater()
{
    const QString programFolder = CSystemUtil::Instance()->GetProgramFolder();
    if (!QFileInfo(programFolder + QLatin1Char('/') + kUpdater).isFile()) {
        CMessageShow* dialog = CMessageShow::Instance();
        dialog->SetTexts(tr("完整性效验失败"), tr("您的程序不完整,请从官网下载最新包"));
        if (dialog->exec() == 1)
            QDesktopServices::openUrl(ProductPages::Site());
        return;
    }
    CUpdaterStaging(programFolder, CUpdaterStaging::DefaultFolder())
        .Start({QCoreApplication::applicationName(), CSystemUtil::Instance()->GetProgramVersion(), m_info.strUpdate});
}
