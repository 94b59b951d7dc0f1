#pragma once

#include "gammabackend.h"

// A desktop that tints its screens itself (its own night light): the program only asks it for a
// colour temperature, and writes no ramps of its own.
class CDesktopNightLight : public CGammaBackend
{
public:
    bool CanTint() const override { return true; }
    void Collect() override { }
    int MonitorCount() const override { return 0; }
};
