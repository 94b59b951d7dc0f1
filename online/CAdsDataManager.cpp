#include "CAdsDataManager.h"

namespace {
CAdsDataManager* g_adsDataManager = nullptr;
}

CAdsDataManager* CAdsDataManager::Instance()
{
    if (!g_adsDataManager)
        g_adsDataManager = new CAdsDataManager;
    return g_adsDataManager;
}

// With no configuration service set up the fetch fails, as for an unreachable service.
bool CAdsDataManager::FetchConfig()
{
    return false;
}

void CAdsDataManager::PrepareImages()
{
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
