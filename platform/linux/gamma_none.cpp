#include "gamma_none.h"

TintAbility CNoGamma::Ability() const
{
    return TintAbility::DesktopCannot;
}

void CNoGamma::Collect()
{
}

int CNoGamma::MonitorCount() const
{
    return 0;
}

void CNoGamma::SetTemperature(int, const GammaRampView&)
{
}

void CNoGamma::Restore(const GammaRampView&)
{
}

void CNoGamma::HandOver()
{
}
