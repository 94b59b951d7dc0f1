#include "CRelaxLength.h"

#include "core/CIniSettings.h"

int CRelaxLength::Minutes()
{
    CIniSettings* settings = CIniSettings::Instance();
    if (!settings->HasRelaxSleepTimer())
        return DefaultMinutes;
    const int stored = settings->GetRelaxSleepTimer();
    return stored >= 0 && stored <= MaxMinutes ? stored : DefaultMinutes;
}

int CRelaxLength::Seconds()
{
    return Minutes() * 60;
}

int CRelaxLength::CountdownSeconds()
{
    const int stored = CIniSettings::Instance()->GetRelaxFullscreenSecond();
    return stored >= MinCountdownSeconds && stored <= MaxCountdownSeconds ? stored : DefaultCountdownSeconds;
}
