// Benchmarks of the sound player, printed as a report (CI does not run them):
//  1. decode speed of the player's own loop (decoder, queue and writer thread, onto a device
//     that takes samples at once) beside a bare libspeex loop over the same 60-second file;
//  2. the time from starting QzHealthSpeek to its first samples reaching the device;
//  3. the player's peak resident memory while it plays the 60-second file.
//   bench_speech PATH-TO-QzHealthSpeek
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <ogg/ogg.h>
#include <spawn.h>
#include <speex/speex.h>
#include <speex/speex_header.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "CPromptPlayer.h"
#include "CSpeexOggWriter.h"

extern char** environ;

namespace {
using Clock = std::chrono::steady_clock;
constexpr int kSeconds = 60;
constexpr int kRate = 16000;
constexpr int kRounds = 9;

class CDiscardOutput : public CAudioOutput
{
public:
    bool Available() override { return true; }
    EOpenResult Open(int, int) override { return EOpenResult::Opened; }
    bool Write(const int16_t* samples, size_t frames) override
    {
        m_sum += samples[frames - 1];
        return true;
    }
    void Drain() override {}

private:
    volatile long long m_sum = 0;
};

std::vector<int16_t> Speechlike()
{
    // A gliding tone with noise, so that the encoder has something other than silence to code.
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 600);
    std::vector<int16_t> samples(static_cast<size_t>(kSeconds) * kRate);
    double phase = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        phase += 2 * M_PI * (300 + 200 * std::sin(2 * M_PI * 0.7 * t)) / kRate;
        samples[i] = static_cast<int16_t>(std::lround(6000 * std::sin(phase) + noise(random)));
    }
    return samples;
}

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double PlayerLoop(const std::string& path)
{
    CDiscardOutput output;
    std::FILE* quiet = std::fopen("/dev/null", "w");
    const Clock::time_point start = Clock::now();
    {
        CPromptPlayer player(output, quiet);
        player.Play(path);
    }
    const double elapsed = Seconds(start);
    std::fclose(quiet);
    return elapsed;
}

double BareLoop(const std::string& path)
{
    const Clock::time_point start = Clock::now();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ogg_sync_state sync;
    ogg_stream_state stream;
    ogg_sync_init(&sync);
    bool started = false;
    void* decoder = nullptr;
    SpeexBits bits;
    speex_bits_init(&bits);
    std::vector<int16_t> frame(2000);
    int perPacket = 1;
    long long packets = 0;
    volatile long long sum = 0;
    for (;;) {
        char* buffer = ogg_sync_buffer(&sync, 200);
        const size_t got = std::fread(buffer, 1, 200, file);
        ogg_sync_wrote(&sync, static_cast<long>(got));
        ogg_page page;
        while (ogg_sync_pageout(&sync, &page) == 1) {
            if (!started) {
                ogg_stream_init(&stream, ogg_page_serialno(&page));
                started = true;
            }
            ogg_stream_pagein(&stream, &page);
            ogg_packet packet;
            while (ogg_stream_packetout(&stream, &packet) == 1) {
                if (packets++ == 0) {
                    SpeexHeader* header = speex_packet_to_header(reinterpret_cast<char*>(packet.packet), static_cast<int>(packet.bytes));
                    decoder = speex_decoder_init(speex_lib_get_mode(header->mode));
                    perPacket = std::max(1, header->frames_per_packet);
                    speex_header_free(header);
                    int enhancement = 1;
                    speex_decoder_ctl(decoder, SPEEX_SET_ENH, &enhancement);
                } else if (packets > 2) {
                    speex_bits_read_from(&bits, reinterpret_cast<char*>(packet.packet), static_cast<int>(packet.bytes));
                    for (int j = 0; j < perPacket; ++j) {
                        if (speex_decode_int(decoder, &bits, frame.data()) < 0)
                            break;
                        sum += frame[0];
                    }
                }
            }
        }
        if (got == 0)
            break;
    }
    speex_decoder_destroy(decoder);
    speex_bits_destroy(&bits);
    ogg_stream_clear(&stream);
    ogg_sync_clear(&sync);
    std::fclose(file);
    return Seconds(start);
}

long FileSize(const std::string& path)
{
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

// Starts the player in `home`, whose ALSA configuration writes the samples to `output`.
pid_t StartPlayer(const std::string& program, const std::string& sound, const std::string& home)
{
    std::vector<std::string> variables = {"HOME=" + home, "XDG_RUNTIME_DIR=" + home};
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        if (variable.rfind("HOME=", 0) != 0 && variable.rfind("XDG_RUNTIME_DIR=", 0) != 0)
            variables.push_back(variable);
    }
    std::vector<char*> environment;
    for (std::string& variable : variables)
        environment.push_back(variable.data());
    environment.push_back(nullptr);
    std::string programCopy = program;
    std::string soundCopy = sound;
    char* arguments[] = {programCopy.data(), soundCopy.data(), nullptr};
    // The player's diagnostic line would only clutter the report.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int started = posix_spawn(&pid, program.c_str(), &actions, nullptr, arguments, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    return started == 0 ? pid : -1;
}

int Report(const char* what, double value, const char* unit, bool pass, const char* target)
{
    std::printf("%-44s %10.2f %-4s %s (target %s)\n", what, value, unit, pass ? "PASS" : "FAIL", target);
    return pass ? 0 : 1;
}
}

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-QzHealthSpeek\n", argv[0]);
        return 2;
    }
    const std::string program = argv[1];
    char folderTemplate[] = "/tmp/bench-speech-XXXXXX";
    if (!mkdtemp(folderTemplate))
        return 1;
    const std::string home = folderTemplate;
    const std::string sound = home + "/minute.spx";
    const std::string played = home + "/played.raw";

    CSpeexOggWriter::SOptions options;
    options.mode = 1;
    const std::string bytes = CSpeexOggWriter(options).Encode(Speechlike());
    std::FILE* file = std::fopen(sound.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    std::FILE* config = std::fopen((home + "/.asoundrc").c_str(), "w");
    std::fprintf(config, "pcm.!default {\n type file\n slave.pcm \"null\"\n file \"%s\"\n format \"raw\"\n}\n", played.c_str());
    std::fclose(config);

    double player = 1e9;
    double bare = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        player = std::min(player, PlayerLoop(sound));
        bare = std::min(bare, BareLoop(sound));
    }
    std::printf("60-second wideband file, best of %d rounds\n", kRounds);
    std::printf("%-44s %10.1f x real time\n", "bare libspeex loop", kSeconds / bare);
    std::printf("%-44s %10.1f x real time\n", "player's decode loop", kSeconds / player);
    int failures = Report("player speed / bare speed", bare / player, "", bare / player >= 0.9, ">= 0.90");

    std::vector<double> firstBlock;
    long peakKiB = 0;
    for (int round = 0; round < kRounds; ++round) {
        unlink(played.c_str());
        const Clock::time_point start = Clock::now();
        const pid_t pid = StartPlayer(program, sound, home);
        if (pid < 0)
            return 1;
        double seen = -1;
        while (seen < 0 && Seconds(start) < 10) {
            if (FileSize(played) > 0)
                seen = Seconds(start);
            else
                usleep(200);
        }
        int status = 0;
        rusage usage = {};
        wait4(pid, &status, 0, &usage);
        if (seen < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "the player wrote nothing or failed (status %d)\n", status);
            return 1;
        }
        firstBlock.push_back(seen * 1000);
        peakKiB = std::max(peakKiB, usage.ru_maxrss);
    }
    std::sort(firstBlock.begin(), firstBlock.end());
    const double median = firstBlock[firstBlock.size() / 2];
    failures += Report("start to first block on the device, median", median, "ms", median < 100, "< 100 ms");
    std::printf("%-44s %10ld KiB\n", "player's peak RSS (60-second file)", peakKiB);

    unlink(played.c_str());
    unlink(sound.c_str());
    unlink((home + "/.asoundrc").c_str());
    rmdir(home.c_str());
    return failures == 0 ? 0 : 3;
}
