#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include "gamma_desktop.h"

// KDE Plasma on Wayland: KWin's own Night Light. The program writes Night Light's keys into the
// user's kwinrc itself and sends KConfig's change notification for exactly those keys, upon which
// KWin applies them at once; nothing waits on another process. Quick changes (a dragged slider)
// are gathered, so KWin sees a few writes a second at most. The user's own values of each key
// are saved before the first change and put back by Restore, on every end of the program, and by
// the next start after a run that died before it could.
class CKdeNightColor : public CDesktopNightLight
{
public:
    // The least time between two writes of the configuration.
    static constexpr int WriteIntervalMs = 250;

    explicit CKdeNightColor(const QString& dataFolder);
    ~CKdeNightColor() override;

    // Whether KWin offers Night Light on the session bus.
    static bool Available();
    // Puts back what a run that died left saved in `dataFolder`.
    static void RestoreLeftover(const QString& dataFolder);

    void SetTemperature(int kelvin, const GammaRampView& ramp) override;
    void Restore(const GammaRampView& linear) override;

protected:
    void FlushRestore() override;

private:
    void WritePending();

    QTimer m_writeTimer;
    QElapsedTimer m_sinceWrite;
    int m_pendingKelvin = 0;
};
