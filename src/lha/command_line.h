#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tolvane::lha {

// Splits a command line at blanks; double quotes group a part with blanks
// and are dropped (there is no escape for a quote inside).
std::vector<std::string> splitCommandLine(const std::string& line);

struct PackCommand {
    std::string archive;
    std::string source;
};

// The one command this library runs: "a -x1 -r2 ARCHIVE FOLDER" (switches
// in any order, before the paths). Anything else gives nothing.
std::optional<PackCommand> parsePackCommand(const std::string& line);

} // namespace tolvane::lha
