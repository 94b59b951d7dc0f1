#pragma once

namespace ProcessPriority {
// Asks the system to schedule this process, every thread already running and those they start
// later, ahead of ordinary ones, so that sound does not stutter when the desktop is busy.
// Quietly does nothing when the user may not do that.
void RaiseBestEffort();
}
