#include "platform/posix/temporary_file.h"

#include "platform/paths.h"
#include "platform/posix/folder_reader.h"
#include "platform/posix/system_failure.h"
#include "platform/temporaries.h"
#include "platform/temporary_names.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvane::platform {

namespace {

// The writer's process id a temporary's name carries.
std::optional<pid_t> writerOf(const std::string& name) {
    const auto process = temporaryWriterOf(name);
    if (!process || *process > INT_MAX) {
        return std::nullopt;
    }
    return static_cast<pid_t>(*process);
}

bool processAlive(pid_t process) {
    // EPERM: it exists, it is only someone else's.
    return ::kill(process, 0) == 0 || errno != ESRCH;
}

} // namespace

std::string temporaryNameBeside(const std::string& target) {
    // Asked each time: a forked child writes under its own number.
    return temporaryNameIn(folderOfPath(target), static_cast<unsigned long>(::getpid()));
}

TemporaryFile createTemporaryBeside(const std::string& target, mode_t mode) {
    // A name left by an earlier process of the same number is stepped over.
    for (int attempt = 0;; ++attempt) {
        std::string path = temporaryNameBeside(target);
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            // Held until the descriptor closes, so no cleaner takes the file
            // for a leftover even if the process number says otherwise (a
            // writer on another machine sharing the folder). Where the file
            // system has no locks, the process number alone decides.
            ::flock(fd, LOCK_EX | LOCK_NB);
            return {Descriptor(fd), std::move(path)};
        }
        if (errno != EEXIST || attempt >= 100) {
            throwFailure(errno, target);
        }
    }
}

namespace {

bool staleTemporary(const std::string& path) {
    const auto writer = writerOf(lastName(path));
    // Our own number: either ours in the making or an earlier process's,
    // which a later run removes.
    if (!writer || *writer == ::getpid() || processAlive(*writer)) {
        return false;
    }
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return false;
    }
    if (S_ISLNK(status.st_mode)) {
        return true; // a link temporary holds no lock
    }
    if (!S_ISREG(status.st_mode)) {
        return false;
    }
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        return true; // unreadable to us: the dead writer's number decides
    }
    return ::flock(fd.get(), LOCK_SH | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

} // namespace

bool isStaleTemporary(const std::string& path) noexcept {
    try {
        return staleTemporary(path);
    } catch (...) {
        return false;
    }
}

std::size_t removeStaleTemporaries(const std::string& folder) noexcept {
    std::size_t removed = 0;
    try {
        FolderReader reader(folder);
        while (const dirent* entry = reader.next()) {
            const std::string name = entry->d_name;
            if (!isTemporaryName(name)) {
                continue;
            }
            const std::string path = joinPath(folder, name);
            if (isStaleTemporary(path) && ::unlink(path.c_str()) == 0) {
                ++removed;
            }
        }
    } catch (...) {
        // An unreadable folder keeps its leftovers for a later run.
    }
    return removed;
}

} // namespace tolvane::platform
