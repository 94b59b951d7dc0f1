#pragma once

#include <functional>

#include <QtGlobal>

// The three channels of one ramp, red first, each of `size` entries.
struct GammaRampView
{
    const quint16* red = nullptr;
    const quint16* green = nullptr;
    const quint16* blue = nullptr;
    int size = 0;
};

// Whether the program can change the screen's colour now, and if not, why.
enum class TintAbility
{
    Can,
    // The session offers no way at all (a Wayland desktop without gamma control or night light).
    DesktopCannot,
    // Every output's colour is held by another program (a night-light tool of the user's).
    HeldByAnotherProgram,
    // No monitor takes a ramp (an X server without RandR gamma, or no display reached).
    NoMonitor,
};

// Whatever sets the screen's colour on this session: gamma ramps written straight to the monitors,
// or the desktop's own night light asked for a colour temperature. Every call comes with both the
// temperature and its ramp, so each kind takes what it understands.
class CGammaBackend
{
public:
    virtual ~CGammaBackend() = default;

    // Whether the screen's colour can be changed now; learned by Collect and kept up to date as
    // outputs come and go or their control is refused or given back.
    virtual TintAbility Ability() const = 0;
    bool CanTint() const { return Ability() == TintAbility::Can; }
    // Finds what the colour is set on; later calls keep what was found.
    virtual void Collect() = 0;
    // Monitors that take the program's own ramps; a desktop that tints its screens itself has none.
    virtual int MonitorCount() const = 0;
    // Tints the screen to `kelvin`, of which `ramp` holds the channel ramps.
    virtual void SetTemperature(int kelvin, const GammaRampView& ramp) = 0;
    // Gives the screen back as it was before the program tinted it; `linear` is the untinted ramp.
    virtual void Restore(const GammaRampView& linear) = 0;
    // Leaves the tint in force for the copy of the program that starts next, which takes it over:
    // neither the destructor nor the end of the process restores it any more.
    virtual void HandOver() = 0;

    // `changed` runs, on the thread of the event loop, whenever Ability() may have changed.
    void OnAbilityChanged(std::function<void()> changed) { m_abilityChanged = std::move(changed); }

protected:
    void AbilityMayHaveChanged() const
    {
        if (m_abilityChanged)
            m_abilityChanged();
    }

private:
    std::function<void()> m_abilityChanged;
};
