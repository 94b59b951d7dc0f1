#pragma once

#include <QString>

#include "gamma_desktop.h"

// KDE Plasma on Wayland: KWin's own Night Light, configured with KDE's configuration tool and
// applied at once through KWin's D-Bus interface. The user's own values of each key are saved in
// a file before the first change and put back by Restore, also by the next start after a run that
// died before it could.
class CKdeNightColor : public CDesktopNightLight
{
public:
    explicit CKdeNightColor(const QString& dataFolder);

    // Whether KWin offers Night Light on the session bus and KDE's configuration tool is installed.
    static bool Available();
    // Puts back what a run that died left saved in `dataFolder`.
    static void RestoreLeftover(const QString& dataFolder);

    void SetTemperature(int kelvin, const GammaRampView& ramp) override;
    void Restore(const GammaRampView& linear) override;

private:
    QString m_savedPath;
};
