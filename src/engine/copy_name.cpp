#include "engine/copy_name.h"

#include "platform/files.h"

namespace tolvane::engine {

std::string copyNameOf(const std::string& target) {
    std::string name = platform::entryName(target);
    return name.empty() ? std::string("root") : name;
}

} // namespace tolvane::engine
