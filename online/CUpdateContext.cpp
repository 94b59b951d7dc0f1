#include "CUpdateContext.h"

namespace {
CUpdateContext* g_updateContext = nullptr;
}

CUpdateContext* CUpdateContext::Instance()
{
    if (!g_updateContext)
        g_updateContext = new CUpdateContext;
    return g_updateContext;
}

void CUpdateContext::ReportEvent(const QString& name)
{
    emit EventReported(name);
}

// A fresh install has no update service configured, so there is never anything to start.
void CUpdateContext::CheckForUpdate()
{
}
