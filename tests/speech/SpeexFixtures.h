#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CSpeexOggWriter.h"

// Sounds and files the speech tests are made of, generated on the spot.
namespace SpeexFixtures {
// A sine tone, interleaved when `channels` is 2 (the right channel at `rightLevel` of the left).
std::vector<int16_t> Tone(double hz, double seconds, int rate, int channels = 1, double level = 8000,
    double rightLevel = 1.0);
// Samples per channel that make the last packet end `excess` samples past the sound, so that
// the final page cuts exactly that much.
int64_t LengthWithExcess(const CSpeexOggWriter& writer, int framesPerPacket, int packets, int excess);
std::string Join(const std::vector<std::string>& pages);
bool WriteFile(const std::string& path, const std::string& bytes);

// Channel `channel` of interleaved samples.
std::vector<int16_t> Channel(const std::vector<int16_t>& samples, int channels, int channel);
// Frequency estimated from upward zero crossings, and root-mean-square level.
double Frequency(const std::vector<int16_t>& mono, int rate);
double Rms(const std::vector<int16_t>& mono);
}
