#pragma once

#include <memory>
#include <vector>

#include <QtGlobal>

#include "gammabackend.h"

class QSocketNotifier;
class QTimer;
struct wl_display;
struct wl_registry;
struct zwlr_gamma_control_manager_v1;

// A wlroots compositor (sway, Hyprland, labwc …): each output's gamma tables through the
// compositor's gamma control, on a Wayland connection of the program's own. The compositor gives
// every output its own tables back when that connection closes, however the program ends.
// Outputs that come and go are followed while the event loop runs. An output whose control the
// compositor refuses (another program, such as gammastep, holds it) is asked again at the next
// news of any output, and every few seconds while one is refused, so the tint comes in as soon
// as that program lets go.
class CWlrootsGamma : public CGammaBackend
{
public:
    CWlrootsGamma();
    ~CWlrootsGamma() override;
    CWlrootsGamma(const CWlrootsGamma&) = delete;
    CWlrootsGamma& operator=(const CWlrootsGamma&) = delete;

    // How often a refused output is asked again.
    static constexpr int RetryMs = 10000;

    TintAbility Ability() const override;
    // Waits for the compositor to announce its outputs and asks for each one's control, to learn
    // whether it would be given; a control is kept only while a tint is in force.
    void Collect() override;
    // Outputs the compositor has not refused.
    int MonitorCount() const override;
    void SetTemperature(int kelvin, const GammaRampView& ramp) override;
    // Gives up every output's control, so the compositor puts its own tables back.
    void Restore(const GammaRampView& linear) override;
    // Nothing to hand over: the compositor takes the tables back with the connection.
    void HandOver() override;

    struct Output;

private:
    void Dispatch();
    // Asks for the control of every output that has none, those refused before included; without
    // a tint in force, only of those not known to be given. True when a control was asked for.
    bool RequestControls();
    void UpdateRetry();
    void WriteTo(Output& output);
    static void Global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    static void GlobalRemoved(void* data, wl_registry* registry, uint32_t name);
    static void GammaSize(void* data, struct zwlr_gamma_control_v1* control, uint32_t size);
    static void Failed(void* data, struct zwlr_gamma_control_v1* control);
    static void OutputDone(void* data, struct wl_output* output);

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    zwlr_gamma_control_manager_v1* m_manager = nullptr;
    std::vector<std::unique_ptr<Output>> m_outputs;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::unique_ptr<QTimer> m_retry;
    // The tint in force, red, green and blue, for outputs that appear later; empty while none is.
    std::vector<quint16> m_ramp;
    int m_rampSize = 0;
    bool m_collected = false;
};
