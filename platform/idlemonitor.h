#pragma once

#include <memory>

#include <QObject>

// Tells when the user has touched neither keyboard nor mouse for a while, and when the first
// input after that comes. The display server counts the idle time and wakes the program only at
// those two moments, never while the user types. On X11 that is the X server's idle counter; in
// a Wayland session the compositor's idle notifier where it offers one (ext-idle-notify-v1, else
// KDE's older idle timeout: KDE Plasma, wlroots desktops), else GNOME's idle monitor on the
// session bus. Without any of them the user never counts as idle.
class CIdleMonitor : public QObject
{
    Q_OBJECT
public:
    CIdleMonitor(int thresholdSecs, QObject* parent = nullptr);
    ~CIdleMonitor() override;

    bool IsAvailable() const;
    bool IsIdle() const;
    int ThresholdSecs() const;
    // Announces the next input with InputSeen, once; on a Wayland compositor, the next input after
    // a second without any.
    void WatchNextInput();

signals:
    // The last input was ThresholdSecs() ago.
    void IdleStarted();
    void IdleEnded();
    void InputSeen();

private slots:
    void OnDisplayReadable();
    void OnWatchFired(uint id);

private:
    void SetIdle(bool idle);
    bool StartXSync();
    bool StartMutter();

    struct Private;
    std::unique_ptr<Private> d;
};
