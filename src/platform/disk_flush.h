#pragma once

#include <string>

namespace tolvane::platform {

// Pushes everything written to the file system that holds `folder` out to
// its disk, so a disk removed once this returns holds it. Throws Failure
// when the system says the writes did not all reach the disk.
void flushFileSystem(const std::string& folder);

} // namespace tolvane::platform
