#pragma once

#include <string>

namespace tolvane::engine {

// The name a list entry's copy takes directly below the destination (or
// today's folder in it): the entry's own name, or "root" for the root, which
// has none. Entries with the same copy name copy into the same place.
std::string copyNameOf(const std::string& target);

} // namespace tolvane::engine
