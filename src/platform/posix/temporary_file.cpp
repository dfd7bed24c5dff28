#include "platform/posix/temporary_file.h"

#include "platform/paths.h"
#include "platform/posix/system_failure.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tolvane::platform {

std::string temporaryNameBeside(const std::string& target) {
    static const std::string process = std::to_string(::getpid());
    static std::atomic<unsigned> counter{0};
    return joinPath(folderOfPath(target),
                    ".tolvane-" + process + "-" + std::to_string(counter.fetch_add(1)) + ".tmp");
}

TemporaryFile createTemporaryBeside(const std::string& target, mode_t mode) {
    // A name left by an earlier process of the same number is stepped over.
    for (int attempt = 0;; ++attempt) {
        std::string path = temporaryNameBeside(target);
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            return {Descriptor(fd), std::move(path)};
        }
        if (errno != EEXIST || attempt >= 100) {
            throwFailure(errno, target);
        }
    }
}

} // namespace tolvane::platform
