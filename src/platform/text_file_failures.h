#pragma once

#include "platform/failure.h"

#include <string>

namespace tolvane::platform {

// The refusals every system's text-file reader and writer word alike.
Failure textFileTooLarge(const std::string& path);
Failure notARegularFile(const std::string& path);

} // namespace tolvane::platform
