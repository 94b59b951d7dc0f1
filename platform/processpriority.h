#pragma once

namespace ProcessPriority {
// Asks the system to schedule this process ahead of ordinary ones, so that sound does not
// stutter when the desktop is busy. Quietly does nothing when the user may not do that.
void RaiseBestEffort();
}
