#include "safefile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
void Report(const std::string& path, const char* what)
{
    std::fprintf(stderr, "QzHealthManager: ignored %s: %s\n", path.c_str(), what);
}

bool WriteAll(int fd, const std::string& content)
{
    size_t written = 0;
    while (written < content.size()) {
        const ssize_t step = ::write(fd, content.data() + written, content.size() - written);
        if (step < 0 && errno == EINTR)
            continue;
        if (step <= 0)
            return false;
        written += size_t(step);
    }
    return true;
}

// The descriptor of the regular file at `path`, or -1 with `result` saying what lies there instead.
int OpenRegular(const std::string& path, std::size_t cap, SafeFile::ReadResult& result)
{
    // Non-blocking, so that a FIFO without a writer (or a device) cannot hold the open; the
    // descriptor's type is checked before any read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        result = errno == ENOENT ? SafeFile::ReadResult::Missing : SafeFile::ReadResult::Failed;
        if (errno == ELOOP) {
            Report(path, "a symbolic link");
            result = SafeFile::ReadResult::NotRegular;
        }
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        Report(path, "not a regular file");
        result = SafeFile::ReadResult::NotRegular;
        return -1;
    }
    if (std::size_t(info.st_size) > cap) {
        ::close(fd);
        Report(path, "larger than such a file can be");
        result = SafeFile::ReadResult::TooLarge;
        return -1;
    }
    result = SafeFile::ReadResult::Read;
    return fd;
}
}

namespace SafeFile {
ReadResult Read(const std::string& path, std::size_t cap, std::string& content)
{
    content.clear();
    ReadResult result = ReadResult::Read;
    const int fd = OpenRegular(path, cap, result);
    if (fd < 0)
        return result;
    // The file may grow while it is read: the cap holds for what is read, not what was stated.
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result = ReadResult::Failed;
            break;
        }
        if (got == 0)
            break;
        if (content.size() + size_t(got) > cap) {
            Report(path, "larger than such a file can be");
            result = ReadResult::TooLarge;
            break;
        }
        content.append(buffer, size_t(got));
    }
    ::close(fd);
    if (result != ReadResult::Read)
        content.clear();
    return result;
}

ReadResult Inspect(const std::string& path, std::size_t cap)
{
    ReadResult result = ReadResult::Read;
    const int fd = OpenRegular(path, cap, result);
    if (fd >= 0)
        ::close(fd);
    return result;
}

bool Replace(const std::string& path, const std::string& content)
{
    std::string temporary = path + ".XXXXXX";
    // mkostemp creates the name with O_CREAT | O_EXCL: nothing planted there is ever opened.
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = WriteAll(fd, content);
    if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

void Remove(const std::string& path)
{
    if (::unlink(path.c_str()) != 0 && (errno == EISDIR || errno == EPERM))
        ::rmdir(path.c_str());
}
}
