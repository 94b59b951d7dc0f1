#include "SpeexFixtures.h"

#include <cmath>
#include <cstdio>

namespace SpeexFixtures {
std::vector<int16_t> Tone(double hz, double seconds, int rate, int channels, double level, double rightLevel)
{
    const size_t frames = static_cast<size_t>(seconds * rate);
    std::vector<int16_t> samples;
    samples.reserve(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i) {
        const double value = level * std::sin(2 * M_PI * hz * static_cast<double>(i) / rate);
        samples.push_back(static_cast<int16_t>(std::lround(value)));
        if (channels == 2)
            samples.push_back(static_cast<int16_t>(std::lround(value * rightLevel)));
    }
    return samples;
}

int64_t LengthWithExcess(const CSpeexOggWriter& writer, int framesPerPacket, int packets, int excess)
{
    return static_cast<int64_t>(packets) * framesPerPacket * writer.FrameSize() - writer.Lookahead() - excess;
}

std::string Join(const std::vector<std::string>& pages)
{
    std::string bytes;
    for (const std::string& page : pages)
        bytes += page;
    return bytes;
}

bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::vector<int16_t> Channel(const std::vector<int16_t>& samples, int channels, int channel)
{
    std::vector<int16_t> mono;
    for (size_t i = static_cast<size_t>(channel); i < samples.size(); i += static_cast<size_t>(channels))
        mono.push_back(samples[i]);
    return mono;
}

double Frequency(const std::vector<int16_t>& mono, int rate)
{
    size_t first = 0;
    size_t last = 0;
    int crossings = 0;
    for (size_t i = 1; i < mono.size(); ++i) {
        if (mono[i - 1] < 0 && mono[i] >= 0) {
            if (crossings == 0)
                first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0;
    return (crossings - 1) * static_cast<double>(rate) / static_cast<double>(last - first);
}

double Rms(const std::vector<int16_t>& mono)
{
    if (mono.empty())
        return 0;
    double sum = 0;
    for (int16_t sample : mono)
        sum += static_cast<double>(sample) * sample;
    return std::sqrt(sum / static_cast<double>(mono.size()));
}
}
