#include "screenrestore.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

// Plain C input and output: the record is only numbers and words, and C++ streams would page in
// most of the standard library's locale and number formatting code for the life of the program.
namespace {
const char kRandr[] = "randr";

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
    explicit CRecordReader(std::string text)
        : m_text(std::move(text))
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
    std::string m_text;
    size_t m_position = 0;
};

bool ReadWhole(const std::string& path, std::string& text)
{
    std::FILE* file = std::fopen(path.c_str(), "re");
    if (!file)
        return false;
    char buffer[16384];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, read);
    const bool complete = !std::ferror(file);
    std::fclose(file);
    return complete;
}

bool WriteWhole(const std::string& path, const std::string& text)
{
    std::FILE* file = std::fopen(path.c_str(), "we");
    if (!file)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

// A record of RandR monitors: each one's CRTC, ramp length and three channels.
void RestoreRandr(CRecordReader& in)
{
    std::string displayName;
    if (!in.Word(displayName))
        return;
    CGammaDisplay display;
    display.Collect(displayName);
    std::string word;
    unsigned long crtc = 0;
    unsigned long size = 0;
    stGammaRamps ramps;
    while (in.Word(word) && word == "monitor" && in.Number(crtc) && in.Number(size)) {
        if (size == 0 || size > 65536 || !in.Channel(int(size), ramps.red) || !in.Channel(int(size), ramps.green)
            || !in.Channel(int(size), ramps.blue))
            break;
        for (int monitor = 0; monitor < display.MonitorCount(); ++monitor) {
            if (display.MonitorId(monitor) == crtc)
                display.WriteMonitor(monitor, ramps.red.data(), ramps.green.data(), ramps.blue.data(), int(size));
        }
    }
    display.Flush();
}
}

namespace ScreenRestore {
bool Save(const std::string& path, const CGammaDisplay& display, const std::vector<stGammaRamps>& ramps)
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
    const std::string temporary = path + ".new";
    if (!WriteWhole(temporary, record)) {
        std::remove(temporary.c_str());
        return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

bool Restore(const std::string& path)
{
    std::string text;
    if (!ReadWhole(path, text))
        return false;
    CRecordReader in(std::move(text));
    std::string kind;
    if (!in.Word(kind) || kind != kRandr)
        return false;
    RestoreRandr(in);
    Remove(path);
    return true;
}

void Remove(const std::string& path)
{
    std::remove(path.c_str());
}
}
