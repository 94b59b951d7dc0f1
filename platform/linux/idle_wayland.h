#pragma once

#include <functional>
#include <memory>

#include <QtGlobal>

class QSocketNotifier;
struct wl_display;
struct wl_registry;
struct wl_seat;
struct ext_idle_notifier_v1;
struct ext_idle_notification_v1;
struct org_kde_kwin_idle;
struct org_kde_kwin_idle_timeout;

// Idle time from a Wayland compositor, on a connection of the program's own: its idle notifier
// (ext-idle-notify-v1: KDE Plasma 6, sway 1.8 and later, Hyprland …) where it offers one, else
// KDE's older idle timeout (KDE Plasma 5, sway 1.7). The compositor tells when the seat has had no
// input for the threshold and when input comes again; nothing else wakes the program.
class CWaylandIdle
{
public:
    // `changed` gets true when the user went idle, false when input came back.
    explicit CWaylandIdle(std::function<void(bool idle)> changed);
    ~CWaylandIdle();
    CWaylandIdle(const CWaylandIdle&) = delete;
    CWaylandIdle& operator=(const CWaylandIdle&) = delete;

    // Whether WAYLAND_DISPLAY names a compositor that accepted the connection.
    bool IsConnected() const;
    // False when the compositor offers neither protocol, or no seat.
    bool Start(int thresholdSecs);
    // `seen` runs once at the next input after a second without any.
    void WatchNextInput(std::function<void()> seen);

    // One watch of the seat, through whichever protocol the compositor offers.
    class Watch;

private:
    void Dispatch();
    std::unique_ptr<Watch> MakeWatch(int timeoutMs, std::function<void(bool idle)> changed);
    static void Global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    static void GlobalRemoved(void* data, wl_registry* registry, uint32_t name);

    std::function<void(bool)> m_changed;
    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    ext_idle_notifier_v1* m_notifier = nullptr;
    org_kde_kwin_idle* m_kdeIdle = nullptr;
    std::unique_ptr<Watch> m_idleWatch;
    // Ends itself once it reported the input.
    std::unique_ptr<Watch> m_inputWatch;
    std::unique_ptr<QSocketNotifier> m_readable;
    bool m_idle = false;
};
