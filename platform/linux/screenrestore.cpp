#include "screenrestore.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {
const char kRandr[] = "randr";

void WriteChannel(std::ostream& out, const std::vector<std::uint16_t>& channel)
{
    for (size_t i = 0; i < channel.size(); ++i)
        out << (i ? " " : "") << channel[i];
    out << '\n';
}

bool ReadChannel(std::istream& in, int size, std::vector<std::uint16_t>& channel)
{
    channel.resize(size_t(size));
    for (std::uint16_t& entry : channel) {
        unsigned long value = 0;
        if (!(in >> value) || value > 0xffff)
            return false;
        entry = std::uint16_t(value);
    }
    return true;
}

// A record of RandR monitors: each one's CRTC, ramp length and three channels.
bool RestoreRandr(std::istream& in)
{
    std::string displayName;
    if (!(in >> displayName))
        return false;
    CGammaDisplay display;
    display.Collect(displayName);
    std::string word;
    unsigned long crtc = 0;
    int size = 0;
    stGammaRamps ramps;
    while (in >> word >> crtc >> size) {
        if (word != "monitor" || size <= 0 || size > 65536 || !ReadChannel(in, size, ramps.red)
            || !ReadChannel(in, size, ramps.green) || !ReadChannel(in, size, ramps.blue))
            break;
        for (int monitor = 0; monitor < display.MonitorCount(); ++monitor) {
            if (display.MonitorId(monitor) == crtc)
                display.WriteMonitor(monitor, ramps.red.data(), ramps.green.data(), ramps.blue.data(), size);
        }
    }
    display.Flush();
    return true;
}
}

namespace ScreenRestore {
bool Save(const std::string& path, const CGammaDisplay& display, const std::vector<stGammaRamps>& ramps)
{
    std::ostringstream record;
    record << kRandr << ' ' << display.DisplayName() << '\n';
    for (int monitor = 0; monitor < display.MonitorCount() && size_t(monitor) < ramps.size(); ++monitor) {
        const stGammaRamps& saved = ramps[size_t(monitor)];
        record << "monitor " << display.MonitorId(monitor) << ' ' << saved.red.size() << '\n';
        WriteChannel(record, saved.red);
        WriteChannel(record, saved.green);
        WriteChannel(record, saved.blue);
    }
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << record.str();
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

bool Restore(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        return false;
    std::string kind;
    in >> kind;
    if (kind != kRandr)
        return false;
    RestoreRandr(in);
    Remove(path);
    return true;
}

void Remove(const std::string& path)
{
    std::remove(path.c_str());
}
}
