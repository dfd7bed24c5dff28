#pragma once

#include "platform/failure.h"

#include <string>

namespace tolvane::platform {

// The failure for GetLastError-style `number` on `path`.
[[noreturn]] void throwFailure(unsigned long number, const std::string& path);

// The failure GetLastError holds now, on `path`.
[[noreturn]] void throwLastFailure(const std::string& path);

} // namespace tolvane::platform
