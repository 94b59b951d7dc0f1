#include "CCaptureOutput.h"

#include <sys/resource.h>

bool CCaptureOutput::Available()
{
    return m_openResult != EOpenResult::NoDevice;
}

CAudioOutput::EOpenResult CCaptureOutput::Open(int rate, int channels)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_rate = rate;
    m_channels = channels;
    return m_openResult;
}

bool CCaptureOutput::Write(const int16_t* samples, size_t frames)
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_released.wait(lock, [this] { return !m_held; });
    m_samples.insert(m_samples.end(), samples, samples + frames * static_cast<size_t>(m_channels));
    ++m_writes;
    // On Linux this is the writing thread's own value.
    m_writerNice = getpriority(PRIO_PROCESS, 0);
    return true;
}

void CCaptureOutput::Drain()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_drained = true;
}

void CCaptureOutput::SetOpenResult(EOpenResult result)
{
    m_openResult = result;
}

void CCaptureOutput::Hold()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_held = true;
}

void CCaptureOutput::Release()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_held = false;
    m_released.notify_all();
}

std::vector<int16_t> CCaptureOutput::Samples() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_samples;
}

int CCaptureOutput::Rate() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_rate;
}

int CCaptureOutput::Channels() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_channels;
}

int CCaptureOutput::Writes() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_writes;
}

bool CCaptureOutput::Drained() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_drained;
}

int CCaptureOutput::WriterNice() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_writerNice;
}
