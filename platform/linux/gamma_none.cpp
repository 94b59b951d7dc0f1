#include "gamma_none.h"

bool CNoGamma::CanTint() const
{
    return false;
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
