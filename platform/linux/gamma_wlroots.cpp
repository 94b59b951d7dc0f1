#include "gamma_wlroots.h"

#include <cstring>

#include <sys/mman.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <wayland-client.h>

#include "gammadisplay.h"
#include "waylandwait.h"
#include "wlr-gamma-control-client-header.h"

namespace {
constexpr int kAnswerTimeoutMs = 2000;
constexpr uint32_t kOutputVersion = 3;
}

struct CWlrootsGamma::Output
{
    CWlrootsGamma* owner = nullptr;
    uint32_t name = 0;
    wl_output* output = nullptr;
    zwlr_gamma_control_v1* control = nullptr;
    uint32_t gammaSize = 0;
    // The compositor refused the output's control: it takes no tables from this run.
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
}

CWlrootsGamma::~CWlrootsGamma()
{
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
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        auto output = std::make_unique<Output>();
        output->owner = self;
        output->name = name;
        output->output = static_cast<wl_output*>(
            wl_registry_bind(registry, name, &wl_output_interface, qMin(version, kOutputVersion)));
        self->m_outputs.push_back(std::move(output));
        // A tint in force reaches the new output as soon as its gamma size is known.
        if (!self->m_ramp.empty())
            self->RequestControls();
    }
}

void CWlrootsGamma::GlobalRemoved(void* data, wl_registry*, uint32_t name)
{
    auto* self = static_cast<CWlrootsGamma*>(data);
    auto& outputs = self->m_outputs;
    for (auto it = outputs.begin(); it != outputs.end(); ++it) {
        if ((*it)->name == name) {
            outputs.erase(it);
            return;
        }
    }
}

void CWlrootsGamma::GammaSize(void* data, zwlr_gamma_control_v1*, uint32_t size)
{
    auto* output = static_cast<Output*>(data);
    output->gammaSize = size;
    if (!output->owner->m_ramp.empty())
        output->owner->WriteTo(*output);
}

void CWlrootsGamma::Failed(void* data, zwlr_gamma_control_v1*)
{
    auto* output = static_cast<Output*>(data);
    output->DropControl();
    output->failed = true;
}

bool CWlrootsGamma::RequestControls()
{
    static const zwlr_gamma_control_v1_listener kControlListener = {GammaSize, Failed};
    if (!m_manager)
        return false;
    bool requested = false;
    for (const auto& output : m_outputs) {
        if (output->control || output->failed)
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
    }
}

bool CWlrootsGamma::CanTint() const
{
    return true;
}

void CWlrootsGamma::Collect()
{
    // Once is enough: later changes arrive as events.
    if (!m_display || m_collected)
        return;
    m_collected = true;
    WaylandWait::Roundtrip(m_display, kAnswerTimeoutMs);
}

int CWlrootsGamma::MonitorCount() const
{
    int count = 0;
    for (const auto& output : m_outputs) {
        if (!output->failed)
            ++count;
    }
    return count;
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

void CWlrootsGamma::Restore(const GammaRampView&)
{
    m_ramp.clear();
    for (const auto& output : m_outputs)
        output->DropControl();
    if (m_display)
        wl_display_flush(m_display);
}
