#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "audiooutput.h"

// Decoded blocks on their way to the device. The decoder adds blocks and waits while the queue is
// full; a writer thread of its own hands them to the device one by one, so that decoding runs
// ahead of playback by a bounded amount and playback starts with the first block.
class COutputQueue
{
public:
    static constexpr int kMaxBlocks = 32;

    explicit COutputQueue(CAudioOutput& output);
    ~COutputQueue();
    COutputQueue(const COutputQueue&) = delete;
    COutputQueue& operator=(const COutputQueue&) = delete;

    // Opens the device and starts the writer. Without an open device every block is dropped.
    CAudioOutput::EOpenResult Open(int rate, int channels);
    // Copies one block in, waiting while kMaxBlocks blocks are ahead of the device.
    // False once the queue was aborted.
    bool Push(const int16_t* samples, size_t count);
    // Waits until every block has been played, then closes the device.
    void Drain();
    // Drops every waiting block and returns once nothing more can reach the device: a write in
    // progress is waited for, at most `waitMs`.
    void Abort(int waitMs);
    // Blocks taken in and not yet played through.
    int Scheduled() const;

private:
    void RunWriter();
    void StopWriter();

    CAudioOutput& m_output;
    int m_channels = 1;
    bool m_open = false;

    mutable std::mutex m_lock;
    // The writer waits on the first for blocks, the decoder on the second for room; each side
    // is woken only while the other one actually waits.
    std::condition_variable m_blocksReady;
    std::condition_variable m_roomReady;
    bool m_writerWaiting = false;
    bool m_started = false;
    bool m_decoderWaiting = false;
    std::deque<std::vector<int16_t>> m_blocks;
    // Played blocks keep their memory for the next ones.
    std::vector<std::vector<int16_t>> m_spare;
    int m_scheduled = 0;
    bool m_closing = false;
    std::atomic<bool> m_aborted{false};

    // Held for every device call, so that an abort knows when the last one is over.
    std::timed_mutex m_device;
    std::thread m_writer;
};
