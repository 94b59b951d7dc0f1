#include "gamma_randr.h"

bool CRandrGamma::CanTint() const
{
    return true;
}

void CRandrGamma::Collect()
{
    m_display.Collect();
}

int CRandrGamma::MonitorCount() const
{
    return m_display.MonitorCount();
}

void CRandrGamma::SetTemperature(int, const GammaRampView& ramp)
{
    m_display.Write(ramp.red, ramp.green, ramp.blue, ramp.size);
}

void CRandrGamma::Restore(const GammaRampView& linear)
{
    m_display.Write(linear.red, linear.green, linear.blue, linear.size);
}
