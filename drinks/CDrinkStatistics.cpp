#include "CDrinkStatistics.h"

namespace {
CDrinkStatistics* g_drinkStatistics = nullptr;
}

CDrinkStatistics* CDrinkStatistics::Instance()
{
    if (!g_drinkStatistics)
        g_drinkStatistics = new CDrinkStatistics;
    return g_drinkStatistics;
}

// The record store comes with the drink history; until then there is no history to read.
void CDrinkStatistics::LoadAll()
{
}
