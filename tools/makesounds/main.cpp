// Build-time helper: synthesises the two prompt sounds and writes them as Speex-in-Ogg files,
// so that the repository holds how they sound, not opaque recordings.
//   makesounds OUTDIR  ->  OUTDIR/drinkwater.spx, OUTDIR/drinkprompt.spx
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "CSpeexOggWriter.h"

namespace {
constexpr int kRate = 16000;
constexpr double kPi = 3.14159265358979323846;

std::vector<double> Silence(double seconds)
{
    return std::vector<double>(static_cast<size_t>(seconds * kRate), 0.0);
}

// A drop falling into water: a short tone whose pitch rises quickly as the bubble closes,
// dying away within a few tens of milliseconds.
void AddDrop(std::vector<double>& sound, double start, double fromHz, double toHz, double level)
{
    double phase = 0;
    const size_t first = static_cast<size_t>(start * kRate);
    for (size_t i = first; i < sound.size(); ++i) {
        const double t = static_cast<double>(i - first) / kRate;
        const double hz = toHz - (toHz - fromHz) * std::exp(-t / 0.012);
        phase += 2 * kPi * hz / kRate;
        const double attack = std::min(1.0, t / 0.002);
        sound[i] += level * attack * std::exp(-t / 0.045) * std::sin(phase);
    }
}

// A soft bell: a fundamental with two weaker overtones, each ringing out at its own pace.
void AddBell(std::vector<double>& sound, double start, double hz, double level)
{
    const size_t first = static_cast<size_t>(start * kRate);
    const double partials[][3] = {{1.0, 1.0, 0.45}, {2.0, 0.28, 0.25}, {3.0, 0.08, 0.15}};
    for (size_t i = first; i < sound.size(); ++i) {
        const double t = static_cast<double>(i - first) / kRate;
        const double attack = std::min(1.0, t / 0.006);
        double value = 0;
        for (const auto& p : partials)
            value += p[1] * std::exp(-t / p[2]) * std::sin(2 * kPi * hz * p[0] * t);
        sound[i] += level * attack * value;
    }
}

std::vector<int16_t> ToSamples(const std::vector<double>& sound)
{
    std::vector<int16_t> samples;
    samples.reserve(sound.size());
    for (size_t i = 0; i < sound.size(); ++i) {
        // Fade the last 20 ms so the sound never ends on a click.
        const double left = static_cast<double>(sound.size() - i) / kRate;
        const double fade = std::min(1.0, left / 0.02);
        const double value = std::max(-1.0, std::min(1.0, sound[i] * fade));
        samples.push_back(static_cast<int16_t>(std::lround(value * 32767)));
    }
    return samples;
}

bool Write(const std::string& path, const std::vector<double>& sound)
{
    CSpeexOggWriter::SOptions options;
    options.mode = 1;
    options.quality = 8;
    const std::string bytes = CSpeexOggWriter(options).Encode(ToSamples(sound));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
}

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];

    std::vector<double> water = Silence(0.5);
    AddDrop(water, 0.01, 450, 1400, 0.55);
    AddDrop(water, 0.19, 600, 1700, 0.18);

    std::vector<double> chime = Silence(1.5);
    AddBell(chime, 0.01, 1318.5, 0.32);
    AddBell(chime, 0.40, 1046.5, 0.32);

    if (!Write(folder + "/drinkwater.spx", water) || !Write(folder + "/drinkprompt.spx", chime)) {
        std::fprintf(stderr, "makesounds: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
