#pragma once

#include <cstddef>
#include <string>

// Reads and writes of the program's own files in folders that other programs could reach (the
// runtime folder, the data folder), made so that nothing found there can hang, bloat or redirect
// them: a read opens only a regular file, never through a symbolic link at the name and never
// waiting on a FIFO or a device, and takes no more than a cap that fits the file's kind; a write
// goes to a new file of its own and is renamed into place, never through whatever lay at the
// name. Plain C++, so that the screen guard can read with it too.
namespace SafeFile {
enum class ReadResult
{
    Read,
    // Nothing at the name.
    Missing,
    // A link, a FIFO, a folder, a device: something the program never makes there.
    NotRegular,
    // Larger than the cap.
    TooLarge,
    // Present but not readable (permissions, I/O error).
    Failed,
};

// Reads the regular file at `path` whole into `content` when it holds at most `cap` bytes.
// Anything else found at the name is reported on standard error in one line.
ReadResult Read(const std::string& path, std::size_t cap, std::string& content);
// What Read would find, without reading: for files another library reads by name.
ReadResult Inspect(const std::string& path, std::size_t cap);

// Puts `content` at `path` whole or not at all: written to a new file beside it (created
// exclusively, readable by the user alone) and renamed over the name, which replaces a link
// there rather than writing through it.
bool Replace(const std::string& path, const std::string& content);

// Removes what lies at the name, when it is anything but a folder that holds something: a link
// goes, never what it points to.
void Remove(const std::string& path);
}
