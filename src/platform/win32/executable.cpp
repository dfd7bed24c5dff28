#include "platform/executable.h"

#include "platform/win32/system_failure.h"
#include "platform/win32/wide.h"

#include <windows.h>

namespace tolvane::platform {

std::string executablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            throwLastFailure("GetModuleFileNameW");
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            std::string path = narrow(buffer);
            // A long path may come back in its \\?\ form.
            if (path.starts_with("\\\\?\\UNC\\")) {
                return "\\\\" + path.substr(8);
            }
            if (path.starts_with("\\\\?\\")) {
                return path.substr(4);
            }
            return path;
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace tolvane::platform
