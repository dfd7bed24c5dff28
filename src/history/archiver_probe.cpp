#include "history/archiver_probe.h"

#include "lha/unlha.h"

namespace tolvane::history {

bool defaultArchiverProbe() {
    // Only whether the call can be made matters, not the version it gives.
    try {
        static_cast<void>(lha::UnlhaGetVersion());
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace tolvane::history
