#pragma once

#include <memory>

#include <QIcon>
#include <QObject>

class CGammaBackend;
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

    // True when no other copy runs. Otherwise the running copy has been handed `request` (by
    // default told to come to the front), its answer line is in `answer` when one is asked for,
    // and this one should end.
    bool IsFirstInstance(const QByteArray& request = QByteArrayLiteral("wake"), QByteArray* answer = nullptr);
    // Hands a request to the running copy without claiming its place, and puts its answer line
    // in `answer`; false when no copy takes it.
    bool SendToRunningCopy(const QByteArray& request, QByteArray* answer);
    // Lets the next copy become the first one.
    void ReleaseInstance();
    // Carries the wake-up, the hide-tray and the command words of later starts; null before
    // IsFirstInstance.
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
    int MonitorCount();
    // False while the program cannot change the screen's colour: on a session that offers no
    // way, while another program holds every output, or with no monitor that takes a ramp.
    bool CanTintScreen();
    // Why the screen cannot be tinted now, as the eye-protection views say it; empty when it can.
    QString UnsupportedTintText();
    // Tints the screen to a colour temperature in kelvin at once; 6600 leaves all three channels
    // full, lower values take blue and then green away.
    void SetColorTemperature(int kelvin);
    // Goes to a colour temperature in small steps where the program writes the ramps itself; a
    // desktop's own night light makes its own transition.
    void FadeToColorTemperature(int kelvin);
    // Takes the tint away in small steps, then puts the screen back as ResetGammaRamp does.
    void FadeOutTint();
    // Writes the tint in force again, for a screen that may have forgotten it.
    void ReapplyTint();
    // Puts back at once what the monitors showed before the tint, or the user's own night light
    // settings on a desktop that tints itself; either outlives the program, so this runs before
    // it ends.
    void ResetGammaRamp();
    // Leaves the tint on the screens for the copy that a restart starts, which takes it over.
    void HandOverTint();
    // The ramps of an X11 session's monitors; null on a Wayland session.
    CScreenTint* ScreenTint();

    // The program's icon, for its windows and the tray, in the sizes up to 64 px: window frames,
    // task bars and trays draw no larger, and the file's 128 and 256 px pictures would keep some
    // 320 KiB decoded for the whole run (docks and switchers take the installed desktop icon).
    // Read once and shared by all, so that no window keeps a copy of its own.
    QIcon ProgramIcon();

    // A pseudo-random number in [0, n), seeded from the clock's seconds and milliseconds.
    static int Random(int n);
    // "hh:mm:ss" for a number of seconds.
    static QString FormatDuration(int seconds);

signals:
    // CanTintScreen() or the reason it gives may have changed.
    void TintAbilityChanged();
    void SwitchDrinksSettings_PanelSignal();
    void SwitchDrinksRecord_PanelSignal();
    void SwitchEyeshieldWindow_PanelSignal();
    void SwitchRelaxSettings_PanelSignal();
    void SwitchDrinkNow_PanelSignal();
    void SwitchMain_PanelSignal();

private:
    CCommon();
    ~CCommon() override;

    CInstanceChannel* Channel();

    CInstanceChannel* m_instanceChannel = nullptr;
    // Made at first use: the way of tinting depends on the session, and a copy that is about to
    // end because another one runs must not touch the desktop's settings.
    void ChooseTint();
    void ResetCountersIfNewDay(qint64 last);

    // The ramps of an X11 session's monitors; null on a Wayland session.
    CScreenTint* m_screenTint = nullptr;
    // The compositor's or the desktop's way of tinting on a Wayland session.
    std::unique_ptr<CGammaBackend> m_gamma;
    // The local day CheckNewDay last found boot/timestamp in, as seconds [start, end), and the
    // stamp it found there: working out local dates every few seconds was most of a quiet tick.
    qint64 m_checkedStamp = 0;
    qint64 m_checkedDayStart = 0;
    qint64 m_checkedDayEnd = 0;
    bool m_loopRunning = false;
    bool m_restartRequested = false;
    QIcon m_programIcon;
};
