#pragma once

#include <QObject>

class CInstanceChannel;
class CScreenTint;

// The process-wide hub: panels ask the main frame for a page through its signals, and the
// program-wide chores (one running copy, the style sheet, restart, the day change, the screen
// colour) live here.
class CCommon : public QObject
{
    Q_OBJECT
public:
    static constexpr int RestartExitCode = 8880;

    static CCommon* Instance();
    static void Destroy();

    // True when no other copy runs. Otherwise the running copy has been told to come to the
    // front and this one should end.
    bool IsFirstInstance();
    // Lets the next copy become the first one.
    void ReleaseInstance();
    // Carries the wake-up and hide-tray commands of later starts; null before IsFirstInstance.
    CInstanceChannel* InstanceChannel() const;

    void LoadStyleSheet(const QString& path);
    // Puts the screen back and ends the event loop with RestartExitCode. Asked for before the loop runs (a display change
    // while the start-with-system prompt waits for its answer), the request is kept and the loop
    // then ends at once: the prompt is left to the user, not cut short.
    void RestartApplication();
    // Runs the application's event loop and returns its exit code; returns RestartExitCode at
    // once when a restart was asked for before.
    int RunEventLoop();
    // Resets the day's drink counters when the local date has changed since boot/timestamp.
    void CheckNewDay();

    // Lists the monitors whose colour the program sets, once: later calls keep the list.
    void CollectMonitors();
    int MonitorCount() const;
    // Tints every listed monitor to a colour temperature in kelvin at once; 6600 leaves all three
    // channels full, lower values take blue and then green away.
    void SetColorTemperature(int kelvin);
    // Puts back at once what the monitors showed before the tint; a ramp outlives the program,
    // so this runs before it ends.
    void ResetGammaRamp();
    // The tint itself, for fades and for writing it again.
    CScreenTint* ScreenTint() const;

    // A pseudo-random number in [0, n), seeded from the clock's seconds and milliseconds.
    static int Random(int n);
    // "hh:mm:ss" for a number of seconds.
    static QString FormatDuration(int seconds);

signals:
    void SwitchDrinksSettings_PanelSignal();
    void SwitchDrinksRecord_PanelSignal();
    void SwitchEyeshieldWindow_PanelSignal();
    void SwitchRelaxSettings_PanelSignal();
    void SwitchDrinkNow_PanelSignal();
    void SwitchMain_PanelSignal();

private:
    CCommon();
    ~CCommon() override;

    CInstanceChannel* m_instanceChannel = nullptr;
    CScreenTint* m_screenTint = nullptr;
    bool m_loopRunning = false;
    bool m_restartRequested = false;
};
