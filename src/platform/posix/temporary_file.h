#pragma once

#include "platform/posix/descriptor.h"

#include <string>
#include <sys/types.h>

namespace tolvane::platform {

// A name for a temporary entry in the folder of `target`, new in this
// process and short whatever length the target's name has.
std::string temporaryNameBeside(const std::string& target);

struct TemporaryFile {
    Descriptor fd;
    std::string path;
};

// Creates a new file with `mode` under a temporary name beside `target`.
// Throws the Failure on `target` when none can be made.
TemporaryFile createTemporaryBeside(const std::string& target, mode_t mode);

} // namespace tolvane::platform
