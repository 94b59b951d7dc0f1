#pragma once

#include <memory>

#include <QIcon>
#include <QObject>

class CGammaDisplay;
class CInstanceChannel;

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
    void RestartApplication();
    // Resets the day's drink counters when the local date has changed since boot/timestamp.
    void CheckNewDay();

    // Lists the monitors whose colour the program sets, once: later calls keep the list.
    void CollectMonitors();
    int MonitorCount() const;
    // Tints every listed monitor to a colour temperature in kelvin; 6600 leaves all three
    // channels full, lower values take blue and then green away.
    void SetColorTemperature(int kelvin);
    // Puts the untinted ramp back on every listed monitor; a ramp outlives the program, so this
    // runs before it ends.
    void ResetGammaRamp();

    // The program's icon, for its windows and the tray. Read once and shared by all: the icon
    // file holds every size up to 256 px, some 360 KiB once decoded, and each window that
    // read it afresh would keep a copy of its own for the rest of the run.
    QIcon ProgramIcon();

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
    std::unique_ptr<CGammaDisplay> m_monitors;
    QIcon m_programIcon;
};
