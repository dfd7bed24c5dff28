#pragma once

#include "platform/failure.h"

#include <string>

namespace tolvane::platform {

// The failure for errno-style `number` on `path`, as every POSIX call here
// reports one.
[[noreturn]] void throwFailure(int number, const std::string& path);

// The same for a step that gives `path` its name in a folder that exists:
// "not found" or "invalid argument" can then only mean the file system does
// not accept the name (exFAT says the one, NTFS and FAT the other).
[[noreturn]] void throwNamingFailure(int number, const std::string& path);

} // namespace tolvane::platform
