#include "platform/text_file.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/system_failure.h"
#include "platform/posix/temporary_file.h"
#include "platform/temporaries.h"
#include "platform/text_file_failures.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvane::platform {

namespace {

// A link is replaced by the file it points to, so writing keeps the link.
std::string resolveLink(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        // A dangling link: write the link's target name as given.
        char target[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target - 1);
        if (length <= 0) {
            return path;
        }
        std::string name(target, static_cast<std::size_t>(length));
        return !rootOf(name).empty() ? name : joinPath(folderOfPath(path), name);
    }
    return resolved;
}

void writeAll(int fd, std::string_view content, const std::string& path) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwFailure(errno, path);
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace

std::optional<std::string> readFileIfPresent(const std::string& path) {
    // A pipe, a device or a folder is refused before it is opened: reading a
    // pipe waits for a writer, a device may never end.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return std::nullopt;
        }
        throwFailure(errno, path);
    }
    if (S_ISDIR(info.st_mode)) {
        throwFailure(EISDIR, path);
    }
    if (!S_ISREG(info.st_mode)) {
        throw notARegularFile(path);
    }
    // Without waiting, should something else have taken the name meanwhile.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return std::nullopt;
        }
        throwFailure(errno, path);
    }
    if (::fstat(fd.get(), &info) != 0) {
        throwFailure(errno, path);
    }
    if (!S_ISREG(info.st_mode)) {
        throw notARegularFile(path);
    }
    if (static_cast<std::uint64_t>(info.st_size) > kMaxTextFileBytes) {
        throw textFileTooLarge(path);
    }
    std::string content;
    content.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwFailure(errno, path);
        }
        if (got == 0) {
            return content;
        }
        content.append(buffer, static_cast<std::size_t>(got));
        // It may grow while it is read.
        if (content.size() > kMaxTextFileBytes) {
            throw textFileTooLarge(path);
        }
    }
}

bool existsAt(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

void createEmptyFile(const std::string& path) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        throwFailure(errno, path);
    }
    if (const int error = fd.close(); error != 0) {
        throwFailure(error, path);
    }
}

void appendToFile(const std::string& path, std::string_view bytes) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644));
    if (fd.get() < 0) {
        throwFailure(errno, path);
    }
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd.get(), bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwFailure(errno, path);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    if (const int error = fd.close(); error != 0) {
        throwFailure(error, path);
    }
}

struct PendingFile::InPlace {
    Descriptor fd{-1};
    std::uint64_t oldSize = 0;
    std::string content;
};

namespace {

// Failures of a temporary file beside the target that writing over the old
// file may not meet: a folder that takes no new entries, no room for two
// versions at once.
bool inPlaceMayWork(int number) {
    return number == EACCES || number == EPERM || number == ENOSPC || number == EDQUOT ||
           number == EFBIG;
}

void writeAllAt(int fd, std::string_view content, std::uint64_t offset, const std::string& path) {
    while (!content.empty()) {
        const ssize_t written =
            ::pwrite(fd, content.data(), content.size(), static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwFailure(errno, path);
        }
        content.remove_prefix(static_cast<std::size_t>(written));
        offset += static_cast<std::uint64_t>(written);
    }
}

} // namespace

PendingFile::PendingFile(const std::string& path, std::string_view content)
    : target_(resolveLink(path)) {
    struct stat old {};
    const bool replacing = ::stat(target_.c_str(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode)) {
        throwFailure(EISDIR, target_);
    }
    if (replacing && !S_ISREG(old.st_mode)) {
        // A pipe or a device, often reached through a link: never replaced.
        throw notARegularFile(target_);
    }
    if (replacing && (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        // Read-only is a promise kept even for a user who could write anyway.
        throwFailure(EACCES, target_);
    }
    // Leftovers of saves that were killed; never one a live writer holds.
    removeStaleTemporaries(folderOfPath(target_));

    try {
        writeTemporary(content,
                       replacing ? std::optional<unsigned>(old.st_mode & 07777) : std::nullopt);
    } catch (const Failure& failure) {
        if (!replacing || !inPlaceMayWork(failure.number())) {
            throw;
        }
        prepareInPlace(content);
    }
}

void PendingFile::writeTemporary(std::string_view content, std::optional<unsigned> mode) {
    TemporaryFile temporary = createTemporaryBeside(target_, 0666);
    temporary_ = std::move(temporary.path);
    Descriptor& file = temporary.fd;
    const int fd = file.get();
    try {
        if (mode && ::fchmod(fd, static_cast<mode_t>(*mode)) != 0) {
            throwFailure(errno, temporary_);
        }
        writeAll(fd, content, temporary_);
        if (::fsync(fd) != 0) {
            throwFailure(errno, temporary_);
        }
        if (const int error = file.close(); error != 0) {
            throwFailure(error, temporary_);
        }
    } catch (...) {
        discard();
        throw;
    }
}

void PendingFile::prepareInPlace(std::string_view content) {
    auto inPlace = std::make_unique<InPlace>();
    // Not waiting, should a pipe have taken the name meanwhile.
    inPlace->fd = Descriptor(::open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    const int fd = inPlace->fd.get();
    if (fd < 0) {
        throwFailure(errno, target_);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        throwFailure(errno, target_);
    }
    if (!S_ISREG(info.st_mode)) {
        throwFailure(EINVAL, target_);
    }
    inPlace->oldSize = static_cast<std::uint64_t>(info.st_size);
    inPlace->content = content;
    // What lies beyond the old end goes first: a full disk shows here, while
    // the old bytes are untouched and a cut brings the old file back whole.
    if (content.size() > inPlace->oldSize) {
        try {
            writeAllAt(fd, content.substr(inPlace->oldSize), inPlace->oldSize, target_);
            if (::fsync(fd) != 0) {
                throwFailure(errno, target_);
            }
        } catch (...) {
            (void)::ftruncate(fd, static_cast<off_t>(inPlace->oldSize));
            throw;
        }
    }
    inPlace_ = std::move(inPlace);
}

PendingFile::~PendingFile() {
    discard();
}

void PendingFile::abandonInPlace() noexcept {
    if (inPlace_->content.size() > inPlace_->oldSize) {
        (void)::ftruncate(inPlace_->fd.get(), static_cast<off_t>(inPlace_->oldSize));
    }
    inPlace_.reset();
}

void PendingFile::settleReplaced() noexcept {
    // Best effort: the rename itself has already succeeded.
    syncFolder(folderOfPath(target_));
}

void PendingFile::commitInPlace() {
    InPlace& file = *inPlace_;
    const int fd = file.fd.get();
    const std::string_view content = file.content;
    const auto head = std::min<std::uint64_t>(content.size(), file.oldSize);
    writeAllAt(fd, content.substr(0, head), 0, target_);
    if (content.size() < file.oldSize && ::ftruncate(fd, static_cast<off_t>(content.size())) != 0) {
        throwFailure(errno, target_);
    }
    if (::fsync(fd) != 0) {
        throwFailure(errno, target_);
    }
    const int error = file.fd.close();
    inPlace_.reset();
    if (error != 0) {
        throwFailure(error, target_);
    }
}

} // namespace tolvane::platform
