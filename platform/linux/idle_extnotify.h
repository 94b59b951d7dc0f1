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

// Idle time from a Wayland compositor that offers the idle notifier (KDE Plasma's KWin, sway,
// Hyprland …), on a connection of the program's own. The compositor tells when the seat has had no
// input for the threshold and when input comes again; nothing else wakes the program.
class CExtIdleNotify
{
public:
    // `changed` gets true when the user went idle, false when input came back.
    explicit CExtIdleNotify(std::function<void(bool idle)> changed);
    ~CExtIdleNotify();
    CExtIdleNotify(const CExtIdleNotify&) = delete;
    CExtIdleNotify& operator=(const CExtIdleNotify&) = delete;

    // Whether WAYLAND_DISPLAY names a compositor that accepted the connection.
    bool IsConnected() const;
    // False when the compositor offers no idle notifier or no seat.
    bool Start(int thresholdSecs);

private:
    void Dispatch();
    static void Global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    static void GlobalRemoved(void* data, wl_registry* registry, uint32_t name);
    static void Idled(void* data, ext_idle_notification_v1* notification);
    static void Resumed(void* data, ext_idle_notification_v1* notification);

    std::function<void(bool)> m_changed;
    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    ext_idle_notifier_v1* m_notifier = nullptr;
    ext_idle_notification_v1* m_notification = nullptr;
    std::unique_ptr<QSocketNotifier> m_readable;
    bool m_idle = false;
};
