#pragma once

#include <optional>
#include <string>

namespace tolvane::platform {

// The rule behind userConfigFolder() here, given what it reads: the
// configured folder ($XDG_CONFIG_HOME) when it is an absolute path, else
// "<home>/.config".
std::string userConfigFolderOf(const std::optional<std::string>& configured,
                               const std::string& home);

} // namespace tolvane::platform
