#include "platform/text_file.h"

#include "platform/descriptor.h"
#include "platform/paths.h"
#include "platform/posix_failure.h"
#include "platform/text_encoding.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvane::platform {

namespace {

std::string nameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

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
        return name.front() == '/' ? name : folderOfPath(path) + "/" + name;
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

void syncFolder(const std::string& folder) {
    // Best effort: the rename itself has already succeeded.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool existsAt(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::optional<std::string> readFileIfPresent(const std::string& path) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return std::nullopt;
        }
        throwFailure(errno, path);
    }
    std::string content;
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
            break;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
    return content;
}

std::string readFileBytes(const std::string& path) {
    auto content = readFileIfPresent(path);
    if (!content) {
        throwFailure(ENOENT, path);
    }
    return std::move(*content);
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\r' && text[at] != '\n') {
            continue;
        }
        lines.emplace_back(text.substr(start, at - start));
        if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') {
            ++at;
        }
        start = at + 1;
    }
    if (start < text.size()) {
        lines.emplace_back(text.substr(start));
    }
    return lines;
}

std::vector<std::string> readTextLines(const std::string& path) {
    return splitLines(decodeFileText(readFileBytes(path)));
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

PendingFile::PendingFile(const std::string& path, std::string_view content)
    : target_(resolveLink(path)) {
    struct stat old {};
    const bool replacing = ::stat(target_.c_str(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode)) {
        throwFailure(EISDIR, target_);
    }
    if (replacing && (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        // Read-only is a promise kept even for a user who could write anyway.
        throwFailure(EACCES, target_);
    }

    const std::string folder = folderOfPath(target_);
    const std::string stem = folder + "/." + nameOf(target_) + ".tmp";
    std::random_device device;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary_ = stem + std::to_string(device() % 1000000);
        fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            const int error = errno;
            temporary_.clear();
            throwFailure(error, target_);
        }
    }
    if (fd < 0) {
        temporary_.clear();
        throwFailure(EEXIST, target_);
    }
    Descriptor file(fd);
    try {
        if (replacing && ::fchmod(fd, old.st_mode & 07777) != 0) {
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

PendingFile::~PendingFile() {
    discard();
}

void PendingFile::discard() noexcept {
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

void PendingFile::commit() {
    if (temporary_.empty()) {
        throwFailure(ENOENT, target_);
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        discard();
        throwFailure(error, target_);
    }
    temporary_.clear();
    syncFolder(folderOfPath(target_));
}

void writeFileAtomically(const std::string& path, std::string_view content) {
    PendingFile file(path, content);
    file.commit();
}

} // namespace tolvane::platform
