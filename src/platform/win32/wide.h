#pragma once

#include <string>
#include <string_view>

namespace tolvane::platform {

// UTF-8 inside the program, UTF-16 at every system call.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// The form a path takes at a system call: absolute, backslashes only, with
// the \\?\ prefix so no length limit applies (\\?\UNC\ for a share).
std::wstring systemPath(const std::string& path);

} // namespace tolvane::platform
