#pragma once

namespace tolvane::history {

// Whether the archiver can be called at all: true when its version call
// returns, false when it fails in any way.
bool defaultArchiverProbe();

} // namespace tolvane::history
