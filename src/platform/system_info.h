#pragma once

#include <string>
#include <vector>

namespace tolvane::platform {

// Programs that show what the machine is and does, most informative first.
const std::vector<std::string>& systemInfoCandidates();

// The full path of the first executable called `name` in the folders of
// `searchPath` (a colon-separated list), or empty. An empty entry stands for
// the current folder, as the shell treats it.
std::string findOnSearchPath(const std::string& name, const std::string& searchPath);

// The first system-information program found on the PATH, or empty.
std::string findSystemInfoProgram();

} // namespace tolvane::platform
