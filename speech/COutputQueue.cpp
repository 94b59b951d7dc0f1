#include "COutputQueue.h"

#include <chrono>

namespace {
// An idle writer is woken at once for the first block, then only once this many wait, and
// otherwise looks for blocks by itself this often: far less often than the device needs data,
// so that decoding ahead is not slowed down by a wake-up for every frame.
constexpr size_t kWakeBlocks = 8;
constexpr auto kWriterPoll = std::chrono::milliseconds(10);
}

COutputQueue::COutputQueue(CAudioOutput& output)
    : m_output(output)
{
}

COutputQueue::~COutputQueue()
{
    StopWriter();
}

CAudioOutput::EOpenResult COutputQueue::Open(int rate, int channels)
{
    StopWriter();
    std::lock_guard<std::timed_mutex> device(m_device);
    const CAudioOutput::EOpenResult result = m_output.Open(rate, channels);
    m_open = result == CAudioOutput::EOpenResult::Opened;
    m_channels = channels;
    if (m_open) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_closing = false;
        m_started = false;
        m_writer = std::thread(&COutputQueue::RunWriter, this);
    }
    return result;
}

bool COutputQueue::Push(const int16_t* samples, size_t count)
{
    std::unique_lock<std::mutex> lock(m_lock);
    if (!m_aborted && m_scheduled >= kMaxBlocks) {
        m_decoderWaiting = true;
        m_roomReady.wait(lock, [this] { return m_aborted || m_scheduled < kMaxBlocks; });
        m_decoderWaiting = false;
    }
    if (m_aborted)
        return false;
    if (!m_open || count == 0)
        return true;
    std::vector<int16_t> block;
    if (!m_spare.empty()) {
        block = std::move(m_spare.back());
        m_spare.pop_back();
    }
    block.assign(samples, samples + count);
    m_blocks.push_back(std::move(block));
    ++m_scheduled;
    if (m_writerWaiting && (!m_started || m_blocks.size() >= kWakeBlocks))
        m_blocksReady.notify_one();
    m_started = true;
    return true;
}

void COutputQueue::Drain()
{
    {
        std::unique_lock<std::mutex> lock(m_lock);
        m_blocksReady.notify_one();
        m_decoderWaiting = true;
        m_roomReady.wait(lock, [this] { return m_aborted || m_scheduled == 0; });
        m_decoderWaiting = false;
    }
    StopWriter();
    std::lock_guard<std::timed_mutex> device(m_device);
    if (m_open && !m_aborted)
        m_output.Drain();
    m_open = false;
}

void COutputQueue::Abort(int waitMs)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_aborted = true;
        m_blocks.clear();
        m_blocksReady.notify_all();
        m_roomReady.notify_all();
    }
    // Every device call checks the flag once it holds the device, so after this no call starts.
    if (m_device.try_lock_for(std::chrono::milliseconds(waitMs)))
        m_device.unlock();
}

int COutputQueue::Scheduled() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_scheduled;
}

void COutputQueue::RunWriter()
{
    std::deque<std::vector<int16_t>> batch;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_lock);
            for (std::vector<int16_t>& played : batch)
                m_spare.push_back(std::move(played));
            m_scheduled -= static_cast<int>(batch.size());
            batch.clear();
            if (m_decoderWaiting)
                m_roomReady.notify_one();
            while (!m_aborted && !m_closing && m_blocks.empty()) {
                m_writerWaiting = true;
                m_blocksReady.wait_for(lock, kWriterPoll);
                m_writerWaiting = false;
            }
            if (m_aborted || m_blocks.empty())
                return;
            // Everything waiting goes to the device in one go; the decoder can fill up again meanwhile.
            batch.swap(m_blocks);
        }
        for (const std::vector<int16_t>& block : batch) {
            std::lock_guard<std::timed_mutex> device(m_device);
            if (m_aborted)
                return;
            // A refused block is dropped; the next one may still play.
            m_output.Write(block.data(), block.size() / static_cast<size_t>(m_channels));
        }
    }
}

void COutputQueue::StopWriter()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_closing = true;
        m_blocksReady.notify_all();
    }
    if (m_writer.joinable())
        m_writer.join();
}
