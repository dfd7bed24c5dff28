#include "platform/posix_failure.h"

#include <cstring>

namespace tolvane::platform {

std::string describeError(int number, const std::string& path) {
    char buffer[256];
    // The GNU variant returns its text; it need not be in the buffer.
    const char* text = strerror_r(number, buffer, sizeof buffer);
    return std::string(text) + ": " + path;
}

void throwFailure(int number, const std::string& path) {
    throw Failure(number, describeError(number, path));
}

} // namespace tolvane::platform
