#pragma once

#include "platform/win32/handle.h"

#include <string>

namespace tolvane::platform {

// A name for a temporary entry in the folder of `target`, new in this
// process and short whatever length the target's name has.
std::string temporaryNameBeside(const std::string& target);

struct TemporaryFile {
    Handle handle;
    std::string path;
};

// Creates a new file opened for reading and writing under a temporary name
// beside `target`. Throws the Failure on `target` when none can be made.
TemporaryFile createTemporaryBeside(const std::string& target);

} // namespace tolvane::platform
