#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tolvane::run {

// What the command line asks for.
struct RunOptions {
    // Load the settings as start-up does, as if the executable were
    // <settingsFolder>/Tolvane; the other options then override single values.
    std::optional<std::string> settingsFolder;
    std::string saveAt;
    bool saveAtGiven = false;
    bool dateCopy = false;
    bool compress = false;
    bool readOnly = false;
    // Year, month, day, hour, minute, second, as texts.
    std::optional<std::array<std::string, 6>> stamp;
    std::vector<std::string> targets;
};

// The options, or nothing with `error` set when the arguments are wrong.
std::optional<RunOptions> parseArguments(const std::vector<std::string>& arguments,
                                         std::string& error);

extern const char* const kUsage;

} // namespace tolvane::run
