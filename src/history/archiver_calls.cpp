#include "history/archiver_calls.h"

#include "lha/unlha.h"

#include <array>

namespace tolvane::history {

int callUnlha(std::uintptr_t windowHandle, const std::string& commandLine) {
    std::array<char, 1024> output{};
    return lha::Unlha(windowHandle, commandLine, output.data(),
                      static_cast<std::uint32_t>(output.size()));
}

bool unlhaRunning() {
    return lha::UnlhaGetRunning();
}

std::string quoteLhaPath(const std::string& path) {
    if (path.find_first_of(", ") == std::string::npos) {
        return path;
    }
    return "\"" + path + "\"";
}

} // namespace tolvane::history
