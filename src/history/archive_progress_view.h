#pragma once

#include "lha/pack_progress.h"

namespace tolvane::history {

// Shows an archive being written while the archiving step waits for it. The
// view reads the counters and names of `progress` by itself as often as it
// likes and asks to stop by setting progress.cancel; it never blocks.
class ArchiveProgressView {
  public:
    virtual ~ArchiveProgressView() = default;

    virtual void open(lha::PackProgress& progress) = 0;
    // The step ended, however: the view lets go of the progress.
    virtual void close() = 0;
};

} // namespace tolvane::history
