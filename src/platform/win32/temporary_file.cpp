#include "platform/win32/temporary_file.h"

#include "platform/paths.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/wide.h"

#include <atomic>

namespace tolvane::platform {

std::string temporaryNameBeside(const std::string& target) {
    static const std::string process = std::to_string(::GetCurrentProcessId());
    static std::atomic<unsigned> counter{0};
    return joinPath(folderOfPath(target),
                    ".tolvane-" + process + "-" + std::to_string(counter.fetch_add(1)) + ".tmp");
}

TemporaryFile createTemporaryBeside(const std::string& target) {
    // A name left by an earlier process of the same number is stepped over.
    for (int attempt = 0;; ++attempt) {
        std::string path = temporaryNameBeside(target);
        Handle file(::CreateFileW(systemPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.valid()) {
            return {std::move(file), std::move(path)};
        }
        const unsigned long error = ::GetLastError();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt >= 100) {
            throwFailure(error, target);
        }
    }
}

} // namespace tolvane::platform
