#pragma once

#include "platform/failure.h"

#include <string>

namespace tolvane::platform {

// The failure for errno-style `number` on `path`, as every POSIX call here
// reports one.
[[noreturn]] void throwFailure(int number, const std::string& path);

} // namespace tolvane::platform
