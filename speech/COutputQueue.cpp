#include "COutputQueue.h"

#include <chrono>

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
        m_writer = std::thread(&COutputQueue::RunWriter, this);
    }
    return result;
}

bool COutputQueue::Push(const int16_t* samples, size_t count)
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_changed.wait(lock, [this] { return m_aborted || m_scheduled < kMaxBlocks; });
    if (m_aborted)
        return false;
    if (!m_open || count == 0)
        return true;
    m_blocks.emplace_back(samples, samples + count);
    ++m_scheduled;
    m_changed.notify_all();
    return true;
}

void COutputQueue::Drain()
{
    {
        std::unique_lock<std::mutex> lock(m_lock);
        m_changed.wait(lock, [this] { return m_aborted || m_scheduled == 0; });
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
        m_changed.notify_all();
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
    for (;;) {
        std::vector<int16_t> block;
        {
            std::unique_lock<std::mutex> lock(m_lock);
            m_changed.wait(lock, [this] { return m_aborted || m_closing || !m_blocks.empty(); });
            if (m_aborted || m_blocks.empty())
                return;
            block = std::move(m_blocks.front());
            m_blocks.pop_front();
        }
        {
            std::lock_guard<std::timed_mutex> device(m_device);
            if (m_aborted)
                return;
            // A refused block is dropped; the next one may still play.
            m_output.Write(block.data(), block.size() / static_cast<size_t>(m_channels));
        }
        std::lock_guard<std::mutex> lock(m_lock);
        --m_scheduled;
        m_changed.notify_all();
    }
}

void COutputQueue::StopWriter()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_closing = true;
        m_changed.notify_all();
    }
    if (m_writer.joinable())
        m_writer.join();
}
