#include "WaylandTestCompositor.h"

#include <algorithm>
#include <future>

#include <sys/stat.h>
#include <unistd.h>

#include <wayland-server.h>

#include "ext-idle-notify-server-header.h"
#include "kde-idle-server-header.h"
#include "wlr-gamma-control-server-header.h"

struct CWaylandTestCompositor::OutputState
{
    CWaylandTestCompositor* owner = nullptr;
    int index = 0;
    int gammaSize = 0;
    wl_global* global = nullptr;
    wl_resource* control = nullptr;
};

namespace {
struct ClientWatch
{
    wl_listener listener;
    CWaylandTestCompositor* owner;
    std::mutex* mutex;
    int* disconnected;
};

struct CreatedWatch
{
    wl_listener listener;
    CWaylandTestCompositor* owner;
    std::mutex* mutex;
    int* disconnected;
};
}

// The protocol's requests, handled on the compositor's thread.
struct WaylandTestCallbacks
{
    using OutputState = CWaylandTestCompositor::OutputState;

    static CWaylandTestCompositor::Output& Record(OutputState* state)
    {
        return state->owner->m_records[size_t(state->index)];
    }

    static void SetGamma(wl_client*, wl_resource* resource, int32_t fd)
    {
        auto* state = static_cast<OutputState*>(wl_resource_get_user_data(resource));
        // A table that crossed the failure on its way is dropped, as a compositor would.
        if (!state) {
            close(fd);
            return;
        }
        const size_t entries = size_t(state->gammaSize) * 3;
        struct stat info {};
        QVector<quint16> table(int(entries), 0);
        const bool whole = fstat(fd, &info) == 0 && size_t(info.st_size) == entries * 2
            && pread(fd, table.data(), entries * 2, 0) == ssize_t(entries * 2);
        close(fd);
        if (!whole) {
            wl_resource_post_error(resource, ZWLR_GAMMA_CONTROL_V1_ERROR_INVALID_GAMMA, "table of the wrong size");
            return;
        }
        std::lock_guard<std::mutex> lock(state->owner->m_mutex);
        Record(state).tables.push_back(table);
    }

    static void DestroyResource(wl_client*, wl_resource* resource)
    {
        wl_resource_destroy(resource);
    }

    static void ControlGone(wl_resource* resource)
    {
        auto* state = static_cast<OutputState*>(wl_resource_get_user_data(resource));
        if (!state || state->control != resource)
            return;
        state->control = nullptr;
        std::lock_guard<std::mutex> lock(state->owner->m_mutex);
        Record(state).controlled = false;
    }

    static void GetControl(wl_client* client, wl_resource* manager, uint32_t id, wl_resource* output)
    {
        static const struct zwlr_gamma_control_v1_interface kControl = {SetGamma, DestroyResource};
        wl_resource* control
            = wl_resource_create(client, &zwlr_gamma_control_v1_interface, wl_resource_get_version(manager), id);
        auto* state = static_cast<OutputState*>(wl_resource_get_user_data(output));
        // A second control of one output, one of an output already removed, or any while another
        // program holds them, fails at once.
        if (!state || state->control || !state->global || state->owner->m_refusing) {
            wl_resource_set_implementation(control, &kControl, nullptr, nullptr);
            zwlr_gamma_control_v1_send_failed(control);
            return;
        }
        wl_resource_set_implementation(control, &kControl, state, ControlGone);
        state->control = control;
        {
            std::lock_guard<std::mutex> lock(state->owner->m_mutex);
            Record(state).controlled = true;
        }
        zwlr_gamma_control_v1_send_gamma_size(control, uint32_t(state->gammaSize));
    }

    static void BindManager(wl_client* client, void*, uint32_t version, uint32_t id)
    {
        static const struct zwlr_gamma_control_manager_v1_interface kManager = {GetControl, DestroyResource};
        wl_resource* resource = wl_resource_create(client, &zwlr_gamma_control_manager_v1_interface, int(version), id);
        wl_resource_set_implementation(resource, &kManager, nullptr, nullptr);
    }

    static void BindOutput(wl_client* client, void* data, uint32_t version, uint32_t id)
    {
        static const struct wl_output_interface kOutput = {DestroyResource};
        wl_resource* resource = wl_resource_create(client, &wl_output_interface, int(version), id);
        wl_resource_set_implementation(resource, &kOutput, data, nullptr);
        wl_output_send_geometry(resource, 0, 0, 300, 200, WL_OUTPUT_SUBPIXEL_UNKNOWN, "test", "output",
            WL_OUTPUT_TRANSFORM_NORMAL);
        wl_output_send_mode(resource, WL_OUTPUT_MODE_CURRENT, 1024, 768, 60000);
        if (version >= 2)
            wl_output_send_done(resource);
    }

    static void BindSeat(wl_client* client, void*, uint32_t version, uint32_t id)
    {
        // A seat without pointer or keyboard: clients have nothing to ask of it but its release.
        static const struct wl_seat_interface kSeat = {nullptr, nullptr, nullptr, DestroyResource};
        wl_resource* resource = wl_resource_create(client, &wl_seat_interface, int(version), id);
        wl_resource_set_implementation(resource, &kSeat, nullptr, nullptr);
        wl_seat_send_capabilities(resource, 0);
    }

    static void NotificationGone(wl_resource* resource)
    {
        auto* owner = static_cast<CWaylandTestCompositor*>(wl_resource_get_user_data(resource));
        auto& notifications = owner->m_idleNotifications;
        notifications.erase(std::remove_if(notifications.begin(), notifications.end(),
                                [resource](const auto& held) { return held.resource == resource; }),
            notifications.end());
    }

    static void GetIdleNotification(
        wl_client* client, wl_resource* notifier, uint32_t id, uint32_t timeout, wl_resource*)
    {
        static const struct ext_idle_notification_v1_interface kNotification = {DestroyResource};
        wl_resource* resource = wl_resource_create(client, &ext_idle_notification_v1_interface, 1, id);
        auto* owner = static_cast<CWaylandTestCompositor*>(wl_resource_get_user_data(notifier));
        wl_resource_set_implementation(resource, &kNotification, owner, NotificationGone);
        owner->m_idleNotifications.push_back({resource, timeout, false});
    }

    static void BindIdleNotifier(wl_client* client, void* data, uint32_t version, uint32_t id)
    {
        static const struct ext_idle_notifier_v1_interface kNotifier = {DestroyResource, GetIdleNotification};
        wl_resource* resource = wl_resource_create(client, &ext_idle_notifier_v1_interface, int(version), id);
        wl_resource_set_implementation(resource, &kNotifier, data, nullptr);
    }

    static void SimulateActivity(wl_client*, wl_resource*)
    {
    }

    static void GetKdeIdleTimeout(wl_client* client, wl_resource* idle, uint32_t id, wl_resource*, uint32_t timeout)
    {
        static const struct org_kde_kwin_idle_timeout_interface kTimeout = {DestroyResource, SimulateActivity};
        wl_resource* resource = wl_resource_create(client, &org_kde_kwin_idle_timeout_interface, 1, id);
        auto* owner = static_cast<CWaylandTestCompositor*>(wl_resource_get_user_data(idle));
        wl_resource_set_implementation(resource, &kTimeout, owner, NotificationGone);
        owner->m_idleNotifications.push_back({resource, timeout, true});
    }

    static void BindKdeIdle(wl_client* client, void* data, uint32_t version, uint32_t id)
    {
        static const struct org_kde_kwin_idle_interface kIdle = {GetKdeIdleTimeout};
        wl_resource* resource = wl_resource_create(client, &org_kde_kwin_idle_interface, int(version), id);
        wl_resource_set_implementation(resource, &kIdle, data, nullptr);
    }

    static void ClientDestroyed(wl_listener* listener, void*)
    {
        auto* watch = reinterpret_cast<ClientWatch*>(listener);
        {
            std::lock_guard<std::mutex> lock(*watch->mutex);
            ++*watch->disconnected;
        }
        wl_list_remove(&listener->link);
        delete watch;
    }

    static void ClientCreated(wl_listener* listener, void* data)
    {
        auto* created = reinterpret_cast<CreatedWatch*>(listener);
        auto* watch = new ClientWatch {{}, created->owner, created->mutex, created->disconnected};
        watch->listener.notify = ClientDestroyed;
        wl_client_add_destroy_listener(static_cast<wl_client*>(data), &watch->listener);
    }
};

CWaylandTestCompositor::CWaylandTestCompositor(bool offersGammaControl, const std::vector<int>& gammaSizes, Idle idle)
{
    m_display = wl_display_create();
    const char* socket = m_display ? wl_display_add_socket_auto(m_display) : nullptr;
    if (!socket)
        return;
    m_socket = socket;
    auto* created = new CreatedWatch {{}, this, &m_mutex, &m_disconnected};
    created->listener.notify = WaylandTestCallbacks::ClientCreated;
    wl_display_add_client_created_listener(m_display, &created->listener);
    m_createdWatch = created;
    if (offersGammaControl)
        m_gammaGlobal = wl_global_create(m_display, &zwlr_gamma_control_manager_v1_interface, 1, nullptr,
            WaylandTestCallbacks::BindManager);
    if (idle != Idle::None)
        wl_global_create(m_display, &wl_seat_interface, 5, nullptr, WaylandTestCallbacks::BindSeat);
    if (idle == Idle::Notifier)
        wl_global_create(m_display, &ext_idle_notifier_v1_interface, 1, this, WaylandTestCallbacks::BindIdleNotifier);
    if (idle == Idle::KdeIdle)
        wl_global_create(m_display, &org_kde_kwin_idle_interface, 1, this, WaylandTestCallbacks::BindKdeIdle);
    for (int size : gammaSizes)
        AddOutputNow(size);
    m_thread = std::thread([this] { Run(); });
}

CWaylandTestCompositor::~CWaylandTestCompositor()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_display) {
        wl_display_destroy_clients(m_display);
        wl_display_destroy(m_display);
    }
    delete static_cast<CreatedWatch*>(m_createdWatch);
    for (OutputState* state : m_outputs)
        delete state;
}

QByteArray CWaylandTestCompositor::SocketName() const
{
    return m_socket;
}

std::vector<CWaylandTestCompositor::Output> CWaylandTestCompositor::Outputs() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_records;
}

int CWaylandTestCompositor::DisconnectedClients() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_disconnected;
}

int CWaylandTestCompositor::AddOutputNow(int gammaSize)
{
    auto* state = new OutputState;
    state->owner = this;
    state->gammaSize = gammaSize;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        state->index = int(m_records.size());
        Output record;
        record.gammaSize = gammaSize;
        m_records.push_back(record);
    }
    state->global = wl_global_create(m_display, &wl_output_interface, 3, state, WaylandTestCallbacks::BindOutput);
    m_outputs.push_back(state);
    return state->index;
}

int CWaylandTestCompositor::AddOutput(int gammaSize)
{
    int index = -1;
    OnThread([&] { index = AddOutputNow(gammaSize); });
    return index;
}

void CWaylandTestCompositor::RemoveOutput(int index)
{
    OnThread([&] {
        OutputState* state = m_outputs.at(size_t(index));
        if (!state->global)
            return;
        wl_global_destroy(state->global);
        state->global = nullptr;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_records[size_t(index)].present = false;
    });
}

void CWaylandTestCompositor::FailControl(int index)
{
    OnThread([&] {
        OutputState* state = m_outputs.at(size_t(index));
        if (!state->control)
            return;
        zwlr_gamma_control_v1_send_failed(state->control);
        // The control stays until the client destroys it, but no longer counts for the output.
        wl_resource_set_user_data(state->control, nullptr);
        state->control = nullptr;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_records[size_t(index)].controlled = false;
    });
}

void CWaylandTestCompositor::RefuseControls(bool refuse)
{
    OnThread([&] { m_refusing = refuse; });
}

std::vector<uint32_t> CWaylandTestCompositor::IdleTimeoutsMs()
{
    std::vector<uint32_t> timeouts;
    OnThread([&] {
        for (const auto& notification : m_idleNotifications)
            timeouts.push_back(notification.timeoutMs);
    });
    return timeouts;
}

void CWaylandTestCompositor::SendIdled()
{
    OnThread([&] {
        for (const auto& notification : m_idleNotifications) {
            if (notification.kde)
                org_kde_kwin_idle_timeout_send_idle(notification.resource);
            else
                ext_idle_notification_v1_send_idled(notification.resource);
        }
    });
}

void CWaylandTestCompositor::SendResumed()
{
    OnThread([&] {
        for (const auto& notification : m_idleNotifications) {
            if (notification.kde)
                org_kde_kwin_idle_timeout_send_resumed(notification.resource);
            else
                ext_idle_notification_v1_send_resumed(notification.resource);
        }
    });
}

void CWaylandTestCompositor::OnThread(const std::function<void()>& job)
{
    std::promise<void> done;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back([&] {
            job();
            done.set_value();
        });
    }
    done.get_future().wait();
}

void CWaylandTestCompositor::Pump()
{
    std::vector<std::function<void()>> jobs;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        jobs.swap(m_jobs);
    }
    for (const auto& job : jobs)
        job();
}

void CWaylandTestCompositor::Run()
{
    wl_event_loop* loop = wl_display_get_event_loop(m_display);
    while (!m_stop) {
        wl_event_loop_dispatch(loop, 10);
        Pump();
        wl_display_flush_clients(m_display);
    }
}
