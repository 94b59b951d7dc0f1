#include "idle_wayland.h"

#include <cstring>

#include <QSocketNotifier>
#include <QTimer>

#include <wayland-client.h>

#include "ext-idle-notify-client-header.h"
#include "kde-idle-client-header.h"
#include "waylandwait.h"

namespace {
constexpr int kAnswerTimeoutMs = 2000;
// The quiet time after which the next input counts as the user's return.
constexpr int kInputQuietMs = 1000;
}

// Both protocols tell the same two things; each watch owns its object of one of them.
class CWaylandIdle::Watch
{
public:
    Watch(ext_idle_notifier_v1* notifier, org_kde_kwin_idle* kdeIdle, wl_seat* seat, int timeoutMs,
        std::function<void(bool)> changed)
        : m_changed(std::move(changed))
    {
        if (notifier) {
            static const ext_idle_notification_v1_listener kListener = {Idled, Resumed};
            m_notification = ext_idle_notifier_v1_get_idle_notification(notifier, uint32_t(timeoutMs), seat);
            ext_idle_notification_v1_add_listener(m_notification, &kListener, this);
        } else {
            static const org_kde_kwin_idle_timeout_listener kListener = {KdeIdle, KdeResumed};
            m_timeout = org_kde_kwin_idle_get_idle_timeout(kdeIdle, seat, uint32_t(timeoutMs));
            org_kde_kwin_idle_timeout_add_listener(m_timeout, &kListener, this);
        }
    }
    ~Watch()
    {
        if (m_notification)
            ext_idle_notification_v1_destroy(m_notification);
        if (m_timeout)
            org_kde_kwin_idle_timeout_release(m_timeout);
    }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

private:
    static void Idled(void* data, ext_idle_notification_v1*) { static_cast<Watch*>(data)->m_changed(true); }
    static void Resumed(void* data, ext_idle_notification_v1*) { static_cast<Watch*>(data)->m_changed(false); }
    static void KdeIdle(void* data, org_kde_kwin_idle_timeout*) { static_cast<Watch*>(data)->m_changed(true); }
    static void KdeResumed(void* data, org_kde_kwin_idle_timeout*) { static_cast<Watch*>(data)->m_changed(false); }

    std::function<void(bool)> m_changed;
    ext_idle_notification_v1* m_notification = nullptr;
    org_kde_kwin_idle_timeout* m_timeout = nullptr;
};

CWaylandIdle::CWaylandIdle(std::function<void(bool idle)> changed)
    : m_changed(std::move(changed))
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return;
    m_display = wl_display_connect(nullptr);
}

CWaylandIdle::~CWaylandIdle()
{
    m_readable.reset();
    m_inputWatch.reset();
    m_idleWatch.reset();
    if (m_notifier)
        ext_idle_notifier_v1_destroy(m_notifier);
    if (m_kdeIdle)
        org_kde_kwin_idle_destroy(m_kdeIdle);
    if (m_seat && wl_seat_get_version(m_seat) >= WL_SEAT_RELEASE_SINCE_VERSION)
        wl_seat_release(m_seat);
    else if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
    if (m_display)
        wl_display_disconnect(m_display);
}

bool CWaylandIdle::IsConnected() const
{
    return m_display != nullptr;
}

bool CWaylandIdle::Start(int thresholdSecs)
{
    if (!m_display || m_registry)
        return false;
    static const wl_registry_listener kRegistryListener = {Global, GlobalRemoved};
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &kRegistryListener, this);
    if (!WaylandWait::Roundtrip(m_display, kAnswerTimeoutMs) || !(m_notifier || m_kdeIdle) || !m_seat)
        return false;
    m_idleWatch = MakeWatch(thresholdSecs * 1000, [this](bool idle) {
        m_idle = idle;
        m_changed(idle);
    });
    wl_display_flush(m_display);
    m_readable = std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    QObject::connect(m_readable.get(), &QSocketNotifier::activated, [this] { Dispatch(); });
    return true;
}

void CWaylandIdle::WatchNextInput(std::function<void()> seen)
{
    if (!m_idleWatch)
        return;
    m_inputWatch = MakeWatch(kInputQuietMs, [this, seen](bool idle) {
        if (idle)
            return;
        // After the watch's own event: it cannot be destroyed from inside it.
        QTimer::singleShot(0, m_readable.get(), [this, seen] {
            m_inputWatch.reset();
            seen();
        });
    });
    wl_display_flush(m_display);
}

std::unique_ptr<CWaylandIdle::Watch> CWaylandIdle::MakeWatch(int timeoutMs, std::function<void(bool idle)> changed)
{
    return std::make_unique<Watch>(m_notifier, m_kdeIdle, m_seat, timeoutMs, std::move(changed));
}

void CWaylandIdle::Global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    auto* self = static_cast<CWaylandIdle*>(data);
    // The first seat is the user's; a notification watches one seat only.
    if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0 && !self->m_notifier) {
        self->m_notifier = static_cast<ext_idle_notifier_v1*>(
            wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
    } else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0 && !self->m_kdeIdle) {
        self->m_kdeIdle
            = static_cast<org_kde_kwin_idle*>(wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->m_seat) {
        self->m_seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    }
}

void CWaylandIdle::GlobalRemoved(void*, wl_registry*, uint32_t)
{
    // A seat or notifier that goes away sends nothing more; the session ends with it.
}

void CWaylandIdle::Dispatch()
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
