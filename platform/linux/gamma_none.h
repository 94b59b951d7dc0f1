#pragma once

#include "gammabackend.h"

// A session that lets no program change the screen's colour: every call does nothing, and says so.
class CNoGamma : public CGammaBackend
{
public:
    TintAbility Ability() const override;
    void Collect() override;
    int MonitorCount() const override;
    void SetTemperature(int kelvin, const GammaRampView& ramp) override;
    void Restore(const GammaRampView& linear) override;
    void HandOver() override;
};
