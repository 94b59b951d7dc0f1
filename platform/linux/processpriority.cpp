#include "processpriority.h"

#include <cstdlib>

#include <dirent.h>
#include <sys/resource.h>

namespace ProcessPriority {
namespace {
// Only a privileged user or one with a raised nice limit may go below 0; others keep 0.
void RaiseThread(id_t thread)
{
    constexpr int kWantedNice = -10;
    for (int nice = kWantedNice; nice < 0; ++nice) {
        if (setpriority(PRIO_PROCESS, thread, nice) == 0)
            return;
    }
}
}

void RaiseBestEffort()
{
    // Linux keeps a nice value for each thread and setpriority(PRIO_PROCESS, 0) changes only the
    // caller's, so every thread of the process is raised by its own id: above all the one that
    // hands the sound to the device. Threads started later take their creator's value.
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) {
        RaiseThread(0);
        return;
    }
    while (const dirent* entry = readdir(tasks)) {
        char* end = nullptr;
        const unsigned long thread = std::strtoul(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0')
            RaiseThread(static_cast<id_t>(thread));
    }
    closedir(tasks);
}
}
