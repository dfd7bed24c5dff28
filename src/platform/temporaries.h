#pragma once

#include <cstddef>
#include <string>

namespace tolvane::platform {

// Every writer of the program (file copies, settings, archives) makes its
// new file under a temporary name beside the target and renames it when
// complete. A run that is killed leaves that name behind; these find such
// leftovers and remove them, never touching a name the program did not make
// or a temporary a live writer still holds.

// Whether a last name is one the program gives its temporaries.
bool isTemporaryName(const std::string& name);

// Whether `path` is one of the program's temporaries whose writer is gone.
// Never throws; anything in doubt counts as live.
bool isStaleTemporary(const std::string& path) noexcept;

// Removes the stale temporaries directly in `folder` (not below it) and
// returns how many went. Never throws: a folder that cannot be read removes
// nothing, and a temporary that cannot be removed stays.
std::size_t removeStaleTemporaries(const std::string& folder) noexcept;

// The same, once per folder and process, for writers that add files to a
// folder again and again: later leftovers can only come from runs killed
// meanwhile.
void removeStaleTemporariesOnce(const std::string& folder);

} // namespace tolvane::platform
