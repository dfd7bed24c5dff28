#pragma once

#include "platform/paths.h"

#include <string>

namespace tolvane::platform {

// The full path of the running program's executable. Throws Failure.
std::string executablePath();

// The folder of the running program's executable, without a trailing
// separator (except for the root). Throws Failure.
std::string executableFolder();

// The executable's file name without its extension. Throws Failure.
std::string executableBaseName();

// The name part of an executable path without its extension; exposed for
// the runner and tests.
std::string baseNameOfPath(const std::string& path);

} // namespace tolvane::platform
