#pragma once

#include <string>
#include <vector>

namespace tolvane::platform {

// The program's arguments after its name, as UTF-8 whatever code page the
// console uses (Windows hands them over as UTF-16, so argv is not used there).
std::vector<std::string> commandLineArguments(int argc, char** argv);

// Makes standard output and error pass bytes through unchanged, so a CR LF
// in a message stays CR LF.
void useBinaryOutput();

} // namespace tolvane::platform
