#include "lha/command_line.h"

namespace tolvane::lha {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::vector<std::string> splitCommandLine(const std::string& line) {
    std::vector<std::string> parts;
    std::string part;
    bool inPart = false;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inPart = true; // "" is an empty part, not nothing
        } else if (!quoted && isBlank(c)) {
            if (inPart) {
                parts.push_back(part);
                part.clear();
                inPart = false;
            }
        } else {
            part += c;
            inPart = true;
        }
    }
    if (inPart) {
        parts.push_back(part);
    }
    return parts;
}

std::optional<PackCommand> parsePackCommand(const std::string& line) {
    const std::vector<std::string> parts = splitCommandLine(line);
    if (parts.empty() || (parts[0] != "a" && parts[0] != "A")) {
        return std::nullopt;
    }
    bool keepFolders = false;
    bool recurse = false;
    std::vector<std::string> paths;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::string& p = parts[i];
        if (paths.empty() && p.size() > 1 && p[0] == '-') {
            if (p == "-x1") {
                keepFolders = true;
            } else if (p == "-r2") {
                recurse = true;
            } else {
                return std::nullopt;
            }
        } else {
            paths.push_back(p);
        }
    }
    // Only the folder-keeping recursive form is implemented; anything else
    // would silently archive something other than what was asked for.
    if (!keepFolders || !recurse || paths.size() != 2 || paths[0].empty() || paths[1].empty()) {
        return std::nullopt;
    }
    return PackCommand{paths[0], paths[1]};
}

} // namespace tolvane::lha
