#include "gamma_wlroots.h"

#include <algorithm>
#include <cstring>

#include <sys/mman.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>

#include <wayland-client.h>

#include "gammadisplay.h"
#include "waylandwait.h"
#include "wlr-gamma-control-client-header.h"

namespace {
constexpr int kAnswerTimeoutMs = 2000;
constexpr uint32_t kOutputVersion = 3;

void IgnoreGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*, int32_t)
{
}

void IgnoreMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t)
{
}

void IgnoreScale(void*, wl_output*, int32_t)
{
}
}

struct CWlrootsGamma::Output
{
    CWlrootsGamma* owner = nullptr;
    uint32_t name = 0;
    wl_output* output = nullptr;
    zwlr_gamma_control_v1* control = nullptr;
    uint32_t gammaSize = 0;
    // The compositor gave the output's control the last time it was asked.
    bool granted = false;
    // The compositor refused the output's control the last time it was asked.
    bool failed = false;

    void DropControl()
    {
        if (control)
            zwlr_gamma_control_v1_destroy(control);
        control = nullptr;
        gammaSize = 0;
    }

    ~Output()
    {
        DropControl();
        if (output && wl_output_get_version(output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
            wl_output_release(output);
        else if (output)
            wl_output_destroy(output);
    }
};

CWlrootsGamma::CWlrootsGamma()
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return;
    m_display = wl_display_connect(nullptr);
    if (!m_display)
        return;
    static const wl_registry_listener kRegistryListener = {Global, GlobalRemoved};
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &kRegistryListener, this);
    m_notifier = std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { Dispatch(); });
    m_retry = std::make_unique<QTimer>();
    m_retry->setInterval(RetryMs);
    QObject::connect(m_retry.get(), &QTimer::timeout, [this] { RequestControls(); });
}

CWlrootsGamma::~CWlrootsGamma()
{
    m_retry.reset();
    m_notifier.reset();
    m_outputs.clear();
    if (m_manager)
        zwlr_gamma_control_manager_v1_destroy(m_manager);
    if (m_registry)
        wl_registry_destroy(m_registry);
    if (m_display)
        wl_display_disconnect(m_display);
}

void CWlrootsGamma::Global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    auto* self = static_cast<CWlrootsGamma*>(data);
    if (std::strcmp(interface, zwlr_gamma_control_manager_v1_interface.name) == 0 && !self->m_manager) {
        self->m_manager = static_cast<zwlr_gamma_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_gamma_control_manager_v1_interface, 1));
        if (self->m_collected || !self->m_ramp.empty())
            self->RequestControls();
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        auto output = std::make_unique<Output>();
        output->owner = self;
        output->name = name;
        output->output = static_cast<wl_output*>(
            wl_registry_bind(registry, name, &wl_output_interface, qMin(version, kOutputVersion)));
        // Bound at version 3 at most, so the later events (name, description) never come; the
        // listener is built field by field because their slots exist only in newer headers.
        static const wl_output_listener kOutputListener = [] {
            wl_output_listener listener{};
            listener.geometry = IgnoreGeometry;
            listener.mode = IgnoreMode;
            listener.done = OutputDone;
            listener.scale = IgnoreScale;
            return listener;
        }();
        wl_output_add_listener(output->output, &kOutputListener, output.get());
        self->m_outputs.push_back(std::move(output));
        // The new output is asked at once, and so are those refused before: a tint in force
        // reaches them as soon as their gamma size is known.
        if (self->m_collected || !self->m_ramp.empty())
            self->RequestControls();
        self->AbilityMayHaveChanged();
    }
}

void CWlrootsGamma::GlobalRemoved(void* data, wl_registry*, uint32_t name)
{
    auto* self = static_cast<CWlrootsGamma*>(data);
    auto& outputs = self->m_outputs;
    for (auto it = outputs.begin(); it != outputs.end(); ++it) {
        if ((*it)->name == name) {
            outputs.erase(it);
            self->UpdateRetry();
            self->AbilityMayHaveChanged();
            return;
        }
    }
}

void CWlrootsGamma::GammaSize(void* data, zwlr_gamma_control_v1*, uint32_t size)
{
    auto* output = static_cast<Output*>(data);
    CWlrootsGamma* self = output->owner;
    output->gammaSize = size;
    output->granted = true;
    output->failed = false;
    // Asked only to learn that it would be given: others may have it until a tint needs it.
    if (self->m_ramp.empty())
        output->DropControl();
    else
        self->WriteTo(*output);
    self->UpdateRetry();
    self->AbilityMayHaveChanged();
}

void CWlrootsGamma::Failed(void* data, zwlr_gamma_control_v1*)
{
    auto* output = static_cast<Output*>(data);
    output->DropControl();
    output->granted = false;
    output->failed = true;
    output->owner->UpdateRetry();
    output->owner->AbilityMayHaveChanged();
}

void CWlrootsGamma::OutputDone(void* data, wl_output*)
{
    auto* output = static_cast<Output*>(data);
    if (output->owner->m_collected)
        output->owner->RequestControls();
}

void CWlrootsGamma::UpdateRetry()
{
    if (!m_retry)
        return;
    const bool refused
        = std::any_of(m_outputs.begin(), m_outputs.end(), [](const auto& output) { return output->failed; });
    if (refused && !m_retry->isActive())
        m_retry->start();
    else if (!refused)
        m_retry->stop();
}

bool CWlrootsGamma::RequestControls()
{
    static const zwlr_gamma_control_v1_listener kControlListener = {GammaSize, Failed};
    if (!m_manager)
        return false;
    bool requested = false;
    for (const auto& output : m_outputs) {
        // Without a tint to write, only what is not known yet is worth asking.
        if (output->control || (m_ramp.empty() && output->granted))
            continue;
        output->control = zwlr_gamma_control_manager_v1_get_gamma_control(m_manager, output->output);
        zwlr_gamma_control_v1_add_listener(output->control, &kControlListener, output.get());
        requested = true;
    }
    wl_display_flush(m_display);
    return requested;
}

void CWlrootsGamma::Dispatch()
{
    if (!m_display)
        return;
    if (!WaylandWait::DispatchPending(m_display)) {
        // The compositor is gone, and with it every output this connection tinted.
        m_notifier.reset();
        m_outputs.clear();
        UpdateRetry();
        AbilityMayHaveChanged();
        return;
    }
    // What the answers made us send (a control given up, a table written).
    wl_display_flush(m_display);
}

TintAbility CWlrootsGamma::Ability() const
{
    if (!m_manager || !m_notifier)
        return TintAbility::DesktopCannot;
    if (m_outputs.empty())
        return TintAbility::NoMonitor;
    return MonitorCount() > 0 ? TintAbility::Can : TintAbility::HeldByAnotherProgram;
}

void CWlrootsGamma::Collect()
{
    // Once is enough: later changes arrive as events.
    if (!m_display || m_collected)
        return;
    WaylandWait::Roundtrip(m_display, kAnswerTimeoutMs);
    m_collected = true;
    if (RequestControls())
        WaylandWait::Roundtrip(m_display, kAnswerTimeoutMs);
    wl_display_flush(m_display);
    AbilityMayHaveChanged();
}

int CWlrootsGamma::MonitorCount() const
{
    return int(std::count_if(m_outputs.begin(), m_outputs.end(), [](const auto& output) { return !output->failed; }));
}

void CWlrootsGamma::WriteTo(Output& output)
{
    if (!output.control || output.gammaSize == 0 || m_rampSize <= 0)
        return;
    const size_t entries = output.gammaSize;
    const size_t bytes = entries * 3 * sizeof(quint16);
    // A file of its own for every table: the compositor may read the last one after this returns.
    const int fd = memfd_create("gamma-ramp", MFD_CLOEXEC);
    if (fd < 0)
        return;
    void* mapped = ftruncate(fd, off_t(bytes)) == 0 ? mmap(nullptr, bytes, PROT_WRITE, MAP_SHARED, fd, 0) : MAP_FAILED;
    if (mapped != MAP_FAILED) {
        auto* table = static_cast<quint16*>(mapped);
        const quint16* ramp = m_ramp.data();
        for (int channel = 0; channel < 3; ++channel)
            CGammaDisplay::Resample(ramp + channel * m_rampSize, m_rampSize, table + channel * entries, int(entries));
        munmap(mapped, bytes);
        zwlr_gamma_control_v1_set_gamma(output.control, fd);
    }
    close(fd);
}

void CWlrootsGamma::SetTemperature(int, const GammaRampView& ramp)
{
    if (!m_display || ramp.size <= 0)
        return;
    Dispatch();
    m_rampSize = ramp.size;
    m_ramp.assign(ramp.red, ramp.red + ramp.size);
    m_ramp.insert(m_ramp.end(), ramp.green, ramp.green + ramp.size);
    m_ramp.insert(m_ramp.end(), ramp.blue, ramp.blue + ramp.size);
    // Controls are held only while a tint is in force, so that other programs may have them
    // meanwhile. A new control's size comes with the compositor's answer, which writes the tint.
    for (const auto& output : m_outputs)
        WriteTo(*output);
    if (RequestControls())
        WaylandWait::Roundtrip(m_display, kAnswerTimeoutMs);
    wl_display_flush(m_display);
}

void CWlrootsGamma::HandOver()
{
}

void CWlrootsGamma::Restore(const GammaRampView&)
{
    m_ramp.clear();
    for (const auto& output : m_outputs)
        output->DropControl();
    if (m_display)
        wl_display_flush(m_display);
}
