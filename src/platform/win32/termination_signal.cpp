#include "platform/termination_signal.h"

namespace tolvane::platform {

// Windows has no termination signals to route: a session end reaches the
// program as a window message, so there is nothing to watch.
int watchTerminationSignals() {
    return -1;
}

void drainTerminationPipe(int) {}

bool terminationRequested() {
    return false;
}

} // namespace tolvane::platform
