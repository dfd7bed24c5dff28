#pragma once

#include <optional>
#include <string>

namespace tolvane::platform {

// The one naming rule of the program's temporaries, ".tolvane-<process>-<n>.tmp",
// shared by each system's writer and cleaner.

// A fresh temporary name for a file in `folder`, written by `process`.
std::string temporaryNameIn(const std::string& folder, unsigned long process);

// The writer's process number a temporary's name carries; nothing for a name
// that is not one of ours.
std::optional<unsigned long> temporaryWriterOf(const std::string& name);

} // namespace tolvane::platform
