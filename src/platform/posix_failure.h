#pragma once

#include "platform/failure.h"

#include <string>

namespace tolvane::platform {

// "<strerror(number)>: <path>"
std::string describeError(int number, const std::string& path);

// Throws the Failure for errno-style `number` on `path`.
[[noreturn]] void throwFailure(int number, const std::string& path);

} // namespace tolvane::platform
