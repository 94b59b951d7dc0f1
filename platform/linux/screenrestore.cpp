#include "screenrestore.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "safefile.h"

// Plain C input and output: the record is only numbers and words, and C++ streams would page in
// most of the standard library's locale and number formatting code for the life of the program.
namespace {
const char kRandr[] = "randr";
constexpr unsigned long kLargestRamp = 65536;

void AppendNumber(std::string& out, unsigned long number)
{
    char digits[24];
    const int length = std::snprintf(digits, sizeof digits, "%lu", number);
    out.append(digits, size_t(length));
}

void AppendChannel(std::string& out, const std::vector<std::uint16_t>& channel)
{
    for (size_t i = 0; i < channel.size(); ++i) {
        if (i)
            out += ' ';
        AppendNumber(out, channel[i]);
    }
    out += '\n';
}

// Reads the words of a record one by one; a word is whatever lies between white space.
class CRecordReader
{
public:
    explicit CRecordReader(const std::string& text)
        : m_text(text)
    {
    }

    bool Word(std::string& word)
    {
        const size_t start = m_text.find_first_not_of(" \t\r\n", m_position);
        if (start == std::string::npos)
            return false;
        const size_t end = m_text.find_first_of(" \t\r\n", start);
        m_position = end == std::string::npos ? m_text.size() : end;
        word.assign(m_text, start, m_position - start);
        return true;
    }

    bool Number(unsigned long& number)
    {
        std::string word;
        if (!Word(word) || word.find_first_not_of("0123456789") != std::string::npos)
            return false;
        errno = 0;
        number = std::strtoul(word.c_str(), nullptr, 10);
        return errno == 0;
    }

    bool Channel(int size, std::vector<std::uint16_t>& channel)
    {
        channel.resize(size_t(size));
        for (std::uint16_t& entry : channel) {
            unsigned long value = 0;
            if (!Number(value) || value > 0xffff)
                return false;
            entry = std::uint16_t(value);
        }
        return true;
    }

private:
    const std::string& m_text;
    size_t m_position = 0;
};
}

namespace ScreenRestore {
std::string Record(const CGammaDisplay& display, const std::vector<stGammaRamps>& ramps)
{
    std::string record = kRandr;
    record += ' ';
    record += display.DisplayName();
    record += '\n';
    for (int monitor = 0; monitor < display.MonitorCount() && size_t(monitor) < ramps.size(); ++monitor) {
        const stGammaRamps& saved = ramps[size_t(monitor)];
        record += "monitor ";
        AppendNumber(record, display.MonitorId(monitor));
        record += ' ';
        AppendNumber(record, saved.red.size());
        record += '\n';
        AppendChannel(record, saved.red);
        AppendChannel(record, saved.green);
        AppendChannel(record, saved.blue);
    }
    return record;
}

bool Save(const std::string& path, const std::string& record)
{
    return SafeFile::Replace(path, record);
}

bool Parse(const std::string& record, std::string& displayName, std::map<unsigned long, stGammaRamps>& ramps)
{
    ramps.clear();
    CRecordReader in(record);
    std::string word;
    if (!in.Word(word) || word != kRandr || !in.Word(displayName))
        return false;
    unsigned long crtc = 0;
    unsigned long size = 0;
    while (in.Word(word)) {
        stGammaRamps monitor;
        if (word != "monitor" || !in.Number(crtc) || !in.Number(size) || size == 0 || size > kLargestRamp
            || !in.Channel(int(size), monitor.red) || !in.Channel(int(size), monitor.green)
            || !in.Channel(int(size), monitor.blue))
            return false;
        ramps[crtc] = std::move(monitor);
    }
    return true;
}

bool Load(const std::string& path, std::string& record)
{
    const SafeFile::ReadResult read = SafeFile::Read(path, MaximumRecordBytes, record);
    // Only the program makes this name: anything else there is in the way of the next record.
    if (read == SafeFile::ReadResult::NotRegular || read == SafeFile::ReadResult::TooLarge)
        SafeFile::Remove(path);
    return read == SafeFile::ReadResult::Read;
}

bool RestoreRecord(const std::string& record)
{
    std::string displayName;
    std::map<unsigned long, stGammaRamps> ramps;
    if (!Parse(record, displayName, ramps))
        return false;
    CGammaDisplay display;
    display.Collect(displayName);
    for (int monitor = 0; monitor < display.MonitorCount(); ++monitor) {
        const auto kept = ramps.find(display.MonitorId(monitor));
        if (kept == ramps.end())
            continue;
        const stGammaRamps& saved = kept->second;
        display.WriteMonitor(monitor, saved.red.data(), saved.green.data(), saved.blue.data(), int(saved.red.size()));
    }
    display.Flush();
    return true;
}

bool Restore(const std::string& path)
{
    std::string record;
    if (!Load(path, record))
        return false;
    RestoreRecord(record);
    Remove(path);
    return true;
}

void Remove(const std::string& path)
{
    SafeFile::Remove(path);
}
}
