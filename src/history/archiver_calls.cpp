#include "history/archiver_calls.h"

#include "lha/unlha.h"

#include <array>

namespace tolvane::history {

int callUnlha(const std::string& commandLine, lha::PackProgress& progress,
              lha::PackFailure& failure) {
    std::array<char, 1024> output{};
    return lha::UnlhaWithProgress(commandLine, output.data(),
                                  static_cast<std::uint32_t>(output.size()), progress, &failure);
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
