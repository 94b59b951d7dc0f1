#pragma once

#include <QString>

#include "gamma_desktop.h"

// GNOME on Wayland: the desktop's own Night Light, set through GSettings to a temperature that
// holds at every hour. The user's own values of each key are saved in a file before the first
// change and put back by Restore, on every end of the program, and by the next start after a run
// that died before it could.
class CGnomeNightLight : public CDesktopNightLight
{
public:
    // The schema that holds Night Light.
    static const char* const Schema;

    explicit CGnomeNightLight(const QString& dataFolder);
    ~CGnomeNightLight() override;

    // Whether the schema is installed.
    static bool Available();
    // Puts back what a run that died left saved in `dataFolder`.
    static void RestoreLeftover(const QString& dataFolder);

    void SetTemperature(int kelvin, const GammaRampView& ramp) override;
    void Restore(const GammaRampView& linear) override;
};
