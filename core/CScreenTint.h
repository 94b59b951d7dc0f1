#pragma once

#include <map>
#include <string>

#include <QObject>

#include "core/CGammaRamp.h"
#include "gammadisplay.h"
#include "screenguard.h"

class QSocketNotifier;

// The tint on the screens. The ramps the monitors show when the tint is first written are kept:
// a calibration (increasing, not the identity) gets the tint on top of it, each entry scaled by
// its channel's multiplier, and comes back exactly when the tint ends; anything else gets the
// plain tint ramp and the linear ramp i × 256 at the end. While the tint is on, a record of
// those ramps lies in the runtime folder and the screen guard watches this process, so the
// screen comes back even when the process is killed.
class CScreenTint : public QObject
{
    Q_OBJECT
public:
    // A fade: this many steps, this far apart, about a second and a half in all.
    static constexpr int FadeSteps = 30;
    static constexpr int FadeStepMs = 50;

    explicit CScreenTint(QObject* parent = nullptr);
    // Puts the screen back, whatever path ends the program.
    ~CScreenTint() override;

    // Lists the monitors once. A record left by a run that ended tinted is taken over: its ramps
    // become the ones this run keeps, so the next tint or Restore starts from them.
    void Collect();
    int MonitorCount() const;

    // Tints at once to a colour temperature in kelvin, ending any fade.
    void SetColorTemperature(int kelvin);
    // Fades from what the screen shows now to the colour temperature; the last step is exactly
    // what SetColorTemperature writes. A fade to where the screen already is writes it again.
    void FadeToColorTemperature(int kelvin);
    // Fades the tint away, then restores.
    void FadeOut();
    // Puts back the ramps kept from before the tint, at once.
    void Restore();
    // Writes the tint in force again, for a screen that may have forgotten it.
    void Reapply();
    // Leaves the screens as they are and the record in place for the copy that starts next,
    // which takes them over; the guard ends without restoring.
    void HandOver();
    // The running fade's timer; 0 between fades.
    int FadeTimerId() const;

signals:
    // The monitors that take a ramp came or went.
    void MonitorsChanged();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    struct stKept
    {
        stGammaRamps ramps;
        bool calibrated = false;
    };

    void Keep(int monitor);
    void TakeOver();
    bool Capture();
    void Guard();
    void Show(const CGammaRamp::Multipliers& multipliers);
    void StartFade(const CGammaRamp::Multipliers& target, bool restoreAfter);
    void StopFade();
    void OnDisplayEvents();
    void ApplyNewConfiguration();

    CGammaDisplay m_display;
    CScreenGuard m_guard;
    QSocketNotifier* m_notifier = nullptr;
    std::string m_recordPath;
    // The ramps kept from before the tint, by CRTC; empty while the screen is not tinted.
    std::map<unsigned long, stKept> m_kept;
    stGammaRamps m_scaled;
    CGammaRamp::Multipliers m_shown = CGammaRamp::Untinted();
    CGammaRamp::Multipliers m_from;
    CGammaRamp::Multipliers m_to;
    int m_step = 0;
    int m_fadeTimerId = 0;
    bool m_restoreAfterFade = false;
};
