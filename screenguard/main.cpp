// The screen guard: started by the tray program with one end of a socket as its standard input
// and the path of the screen's restore record as its argument. The program first sends the
// record itself, ended by a zero byte; then the guard sleeps in read() until the program either
// says the screen is back (one byte "R") or ends without saying so (end of the stream), in which
// case it puts the ramps back: those it was sent, or those of the file when the program ended
// before it had sent them whole. Either way it then ends.
#include <cerrno>
#include <string>

#include <unistd.h>

#include "screenrestore.h"

namespace {
// One byte of standard input; false at its end.
bool ReadByte(char& byte)
{
    ssize_t got = 0;
    do {
        got = read(STDIN_FILENO, &byte, 1);
    } while (got < 0 && errno == EINTR);
    return got == 1;
}

// The record up to its zero byte, and whatever came after it in the same read; false when the
// stream ended first or the record grew too large.
bool ReadRecord(std::string& record, std::string& after)
{
    char buffer[16384];
    for (;;) {
        ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        const std::string part(buffer, size_t(got));
        const size_t end = part.find('\0');
        record += part.substr(0, end);
        if (end != std::string::npos) {
            after = part.substr(end + 1);
            return true;
        }
        if (record.size() > ScreenRestore::MaximumRecordBytes)
            return false;
    }
}
}

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    std::string record;
    std::string after;
    const bool handed = ReadRecord(record, after);
    char word = after.empty() ? 0 : after.front();
    if (handed && (!after.empty() || ReadByte(word)) && word == 'R')
        return 0;
    if (handed && ScreenRestore::RestoreRecord(record))
        ScreenRestore::Remove(argv[1]);
    else
        ScreenRestore::Restore(argv[1]);
    return 0;
}
