#pragma once

#include "gammabackend.h"
#include "gammadisplay.h"

// An X11 session: the ramps go to every monitor through RandR.
class CRandrGamma : public CGammaBackend
{
public:
    bool CanTint() const override;
    void Collect() override;
    int MonitorCount() const override;
    void SetTemperature(int kelvin, const GammaRampView& ramp) override;
    void Restore(const GammaRampView& linear) override;

private:
    CGammaDisplay m_display;
};
