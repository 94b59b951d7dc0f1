#include "CPromptPlayer.h"

#include <memory>

#include "processpriority.h"

CPromptPlayer::CPromptPlayer(CAudioOutput& output, std::FILE* diagnostics)
    : m_queue(output)
    , m_diagnostics(diagnostics)
{
}

void CPromptPlayer::Play(const std::string& path)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (file) {
        CSpeexOggDecoder decoder(*this);
        decoder.Decode(file.get());
    }
    m_queue.Drain();
}

void CPromptPlayer::Abort(int waitMs)
{
    m_aborted = true;
    m_queue.Abort(waitMs);
}

void CPromptPlayer::OnFormat(const CSpeexOggDecoder::SFormat& format)
{
    std::fputs(CSpeexOggDecoder::Describe(format).c_str(), m_diagnostics);
    std::fflush(m_diagnostics);
    switch (m_queue.Open(format.rate, format.channels)) {
    case CAudioOutput::EOpenResult::Opened:
        ProcessPriority::RaiseBestEffort();
        break;
    case CAudioOutput::EOpenResult::NoDevice:
        std::fputs("No audio device present.\n", m_diagnostics);
        std::fflush(m_diagnostics);
        break;
    case CAudioOutput::EOpenResult::Failed:
        break;
    }
}

bool CPromptPlayer::OnSamples(const int16_t* samples, size_t count)
{
    return !m_aborted && m_queue.Push(samples, count);
}
