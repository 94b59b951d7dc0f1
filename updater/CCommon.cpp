#include "CCommon.h"

#include "desktopopen.h"

namespace {
CCommon* g_common = nullptr;
}

CCommon* CCommon::Instance()
{
    if (!g_common)
        g_common = new CCommon;
    return g_common;
}

bool CCommon::StartInstaller(const QString& path)
{
    return DesktopOpen::OpenDetached(path);
}
