#include "CRelaxLength.h"

#include "core/CIniSettings.h"

int CRelaxLength::Minutes()
{
    CIniSettings* settings = CIniSettings::Instance();
    return settings->HasRelaxSleepTimer() ? settings->GetRelaxSleepTimer() : DefaultMinutes;
}

int CRelaxLength::Seconds()
{
    return Minutes() * 60;
}
