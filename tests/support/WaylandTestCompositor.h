#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QVector>

struct wl_display;
struct wl_global;

// A compositor of the test's own, on a socket in XDG_RUNTIME_DIR, running on a thread of its own.
// It offers outputs and, if asked, the wlroots gamma control, and records every table a client
// sends. Outputs can be announced, removed and have their control fail while a client is connected,
// and every control can be refused as when another program holds them. If asked it offers a seat
// and an idle protocol too, and tells every idle notification that the seat went idle or was used
// again whenever the test says so.
class CWaylandTestCompositor
{
public:
    enum class Idle
    {
        None,
        // ext-idle-notify-v1.
        Notifier,
        // KDE's older org_kde_kwin_idle alone, as KDE Plasma 5 and sway 1.7 offer it.
        KdeIdle,
    };

    struct Output
    {
        int gammaSize = 0;
        bool present = true;
        bool controlled = false;
        // Each table received: red, green and blue of gammaSize entries.
        QVector<QVector<quint16>> tables;
    };

    // `gammaSizes`: one output per entry, each with that many entries per channel.
    CWaylandTestCompositor(bool offersGammaControl, const std::vector<int>& gammaSizes, Idle idle = Idle::None);
    ~CWaylandTestCompositor();
    CWaylandTestCompositor(const CWaylandTestCompositor&) = delete;
    CWaylandTestCompositor& operator=(const CWaylandTestCompositor&) = delete;

    // The socket's name for WAYLAND_DISPLAY; empty when the compositor could not start.
    QByteArray SocketName() const;

    std::vector<Output> Outputs() const;
    int DisconnectedClients() const;

    // Index of the new output.
    int AddOutput(int gammaSize);
    void RemoveOutput(int index);
    void FailControl(int index);
    // While on, every new control fails at once, as when another program holds them all.
    void RefuseControls(bool refuse);

    // The timeout of each idle notification a client holds, in milliseconds.
    std::vector<uint32_t> IdleTimeoutsMs();
    void SendIdled();
    void SendResumed();

    // Internal state reached from the protocol's callbacks.
    struct OutputState;
    struct ControlState;

private:
    int AddOutputNow(int gammaSize);
    void Run();
    // Runs `job` on the compositor's thread and waits for it.
    void OnThread(const std::function<void()>& job);
    void Pump();

    wl_display* m_display = nullptr;
    wl_global* m_gammaGlobal = nullptr;
    // Touched on the compositor's thread only.
    bool m_refusing = false;
    // Each idle notification, its timeout and whether it is KDE's; touched on the compositor's
    // thread only.
    struct IdleNotification
    {
        struct wl_resource* resource;
        uint32_t timeoutMs;
        bool kde;
    };
    std::vector<IdleNotification> m_idleNotifications;
    QByteArray m_socket;
    std::thread m_thread;
    std::atomic<bool> m_stop {false};
    mutable std::mutex m_mutex;
    std::vector<std::function<void()>> m_jobs;
    std::vector<OutputState*> m_outputs;
    std::vector<Output> m_records;
    int m_disconnected = 0;
    void* m_createdWatch = nullptr;

    friend struct WaylandTestCallbacks;
};
