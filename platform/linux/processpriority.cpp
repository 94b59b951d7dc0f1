#include "processpriority.h"

#include <sys/resource.h>

namespace ProcessPriority {
void RaiseBestEffort()
{
    // Only a privileged user or one with a raised nice limit may go below 0; others keep 0.
    constexpr int kWantedNice = -10;
    for (int nice = kWantedNice; nice < 0; ++nice) {
        if (setpriority(PRIO_PROCESS, 0, nice) == 0)
            return;
    }
}
}
