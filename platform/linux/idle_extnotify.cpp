#include "idle_extnotify.h"

#include <cstring>

#include <QSocketNotifier>

#include <wayland-client.h>

#include "ext-idle-notify-client-header.h"
#include "waylandwait.h"

namespace {
constexpr int kAnswerTimeoutMs = 2000;
}

CExtIdleNotify::CExtIdleNotify(std::function<void(bool idle)> changed)
    : m_changed(std::move(changed))
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return;
    m_display = wl_display_connect(nullptr);
}

CExtIdleNotify::~CExtIdleNotify()
{
    m_readable.reset();
    if (m_notification)
        ext_idle_notification_v1_destroy(m_notification);
    if (m_notifier)
        ext_idle_notifier_v1_destroy(m_notifier);
    if (m_seat && wl_seat_get_version(m_seat) >= WL_SEAT_RELEASE_SINCE_VERSION)
        wl_seat_release(m_seat);
    else if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
    if (m_display)
        wl_display_disconnect(m_display);
}

bool CExtIdleNotify::IsConnected() const
{
    return m_display != nullptr;
}

bool CExtIdleNotify::Start(int thresholdSecs)
{
    if (!m_display || m_registry)
        return false;
    static const wl_registry_listener kRegistryListener = {Global, GlobalRemoved};
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &kRegistryListener, this);
    if (!WaylandWait::Roundtrip(m_display, kAnswerTimeoutMs) || !m_notifier || !m_seat)
        return false;
    static const ext_idle_notification_v1_listener kNotificationListener = {Idled, Resumed};
    m_notification = ext_idle_notifier_v1_get_idle_notification(m_notifier, uint32_t(thresholdSecs) * 1000, m_seat);
    ext_idle_notification_v1_add_listener(m_notification, &kNotificationListener, this);
    wl_display_flush(m_display);
    m_readable = std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    QObject::connect(m_readable.get(), &QSocketNotifier::activated, [this] { Dispatch(); });
    return true;
}

void CExtIdleNotify::Global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    auto* self = static_cast<CExtIdleNotify*>(data);
    // The first seat is the user's; a notification watches one seat only.
    if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0 && !self->m_notifier) {
        self->m_notifier = static_cast<ext_idle_notifier_v1*>(
            wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->m_seat) {
        self->m_seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    }
}

void CExtIdleNotify::GlobalRemoved(void*, wl_registry*, uint32_t)
{
    // A seat or notifier that goes away sends nothing more; the session ends with it.
}

void CExtIdleNotify::Idled(void* data, ext_idle_notification_v1*)
{
    auto* self = static_cast<CExtIdleNotify*>(data);
    self->m_idle = true;
    self->m_changed(true);
}

void CExtIdleNotify::Resumed(void* data, ext_idle_notification_v1*)
{
    auto* self = static_cast<CExtIdleNotify*>(data);
    self->m_idle = false;
    self->m_changed(false);
}

void CExtIdleNotify::Dispatch()
{
    if (WaylandWait::DispatchPending(m_display))
        return;
    // The compositor is gone and no input will be reported again: a user held as away would hold
    // every reminder for good.
    m_readable.release()->deleteLater();
    if (m_idle) {
        m_idle = false;
        m_changed(false);
    }
}
