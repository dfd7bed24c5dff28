#pragma once

#include "lha/header.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tolvane::lha {

struct PackSummary {
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
    std::uint64_t links = 0;   // symbolic links inside the folder
    std::uint64_t bytesIn = 0; // file data read
    std::uint64_t archiveSize = 0;
};

// Packs `source` into a new archive at `archive`. Entry names start with the
// source's own name (a folder's contents follow it, folders before their
// contents, names in byte order). A single file becomes one top-level entry.
//
// Symbolic links inside the folder are stored as links (their target text
// as it is) and never followed; a link that cannot be stored that way throws
// kErrorLinkNotStorable. A socket, pipe or device inside the folder throws
// kErrorSpecialFile. A source that is itself a link is followed. The
// program's own temporaries inside the folder are left out when their writer
// is gone; one that a live run may still be writing throws kErrorFolderInUse.
//
// The archive is written under a temporary name beside the target, read back
// and checked against the source, and only then renamed over the target.
// Any failure throws LhaError and leaves neither file behind. Stale
// temporaries beside the target are removed first.
PackSummary packArchive(const std::string& archive, const std::string& source);

} // namespace tolvane::lha
