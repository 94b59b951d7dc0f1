#include "CContext.h"

#include "CInstallerAddress.h"
#include "CVersionNumber.h"

namespace {
CContext* g_context = nullptr;
}

CContext* CContext::Instance()
{
    if (!g_context)
        g_context = new CContext;
    return g_context;
}

void CContext::SetArguments(const QString& callerName, const QString& currentVersion, const QString& updateFlag)
{
    m_callerName = callerName;
    m_currentVersion = currentVersion;
    m_updateFlag = updateFlag;
}

bool CContext::QueryUpdateInfo()
{
    stUpdateInfo answer = m_info;
    if (!CUpdateService::Query(answer))
        return false;
    // The file name comes from the network; an answer that would write outside the download
    // folder or fetch from anything but the web is not acted on.
    if (CVersionNumber::IsNewer(m_currentVersion, answer.strVersion)
        && CInstallerAddress::FileName(answer.strUrl).isEmpty())
        return false;
    m_info = answer;
    return true;
}

bool CContext::HasNewerVersion() const
{
    return CVersionNumber::IsNewer(m_currentVersion, m_info.strVersion);
}

bool CContext::IsForced() const
{
    return m_info.strForceUpdate != QLatin1String("0");
}

QString CContext::InstallerFileName() const
{
    return CInstallerAddress::FileName(m_info.strUrl);
}

QString CContext::Update() const
{
    return m_info.strUpdate;
}

QString CContext::ForceUpdate() const
{
    return m_info.strForceUpdate;
}

QString CContext::Product() const
{
    return m_info.strProduct;
}

QString CContext::Version() const
{
    return m_info.strVersion;
}

QString CContext::Url() const
{
    return m_info.strUrl;
}

QString CContext::Note() const
{
    return m_info.strNote;
}

QString CContext::CallerName() const
{
    return m_callerName;
}

QString CContext::CurrentVersion() const
{
    return m_currentVersion;
}

QString CContext::UpdateFlag() const
{
    return m_updateFlag;
}
