#include "platform/files.h"
#include "platform/paths.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/system_failure.h"
#include "platform/posix/temporary_file.h"
#include "platform/temporaries.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace tolvane::platform {

namespace {

// Copies [offset, end) with the kernel doing the work where it can.
int copyRange(int in, int out, off_t offset, off_t end) {
    static std::atomic<bool> rangeCopyWorks{true};
    while (offset < end) {
        const auto want = static_cast<size_t>(std::min<off_t>(end - offset, off_t{1} << 30));
        if (rangeCopyWorks.load(std::memory_order_relaxed)) {
            off_t inOffset = offset;
            off_t outOffset = offset;
            const ssize_t done = ::copy_file_range(in, &inOffset, out, &outOffset, want, 0);
            if (done > 0) {
                offset += done;
                continue;
            }
            if (done == 0) {
                return 0; // the source got shorter meanwhile
            }
            if (errno != ENOSYS && errno != EXDEV && errno != EINVAL && errno != EOPNOTSUPP) {
                return errno;
            }
            rangeCopyWorks.store(false, std::memory_order_relaxed);
        }
        std::vector<char> buffer(std::min<size_t>(want, 1 << 20));
        const ssize_t got = ::pread(in, buffer.data(), buffer.size(), offset);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (got == 0) {
            return 0;
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t n = ::pwrite(out, buffer.data() + written,
                                       static_cast<size_t>(got - written), offset + written);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            written += n;
        }
        offset += got;
    }
    return 0;
}

// Copies the content; a file with holes keeps them, so a large sparse file
// costs only its data.
int copyContent(int in, int out, const struct stat& st) {
    const off_t size = st.st_size;
    const bool sparse = static_cast<off_t>(st.st_blocks) * 512 < size;
    if (!sparse) {
        return copyRange(in, out, 0, size);
    }
    off_t offset = 0;
    while (offset < size) {
        const off_t data = ::lseek(in, offset, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO) {
                break; // only a hole remains
            }
            return copyRange(in, out, offset, size);
        }
        off_t hole = ::lseek(in, data, SEEK_HOLE);
        if (hole < 0 || hole > size) {
            hole = size;
        }
        if (const int error = copyRange(in, out, data, hole)) {
            return error;
        }
        offset = hole;
    }
    return ::ftruncate(out, size) == 0 ? 0 : errno;
}

bool sameVersion(const struct stat& a, const struct stat& b) {
    // The change time too: a writer that puts the old time back is still seen.
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
           a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// Writes the source's content, mode and time into `out` (empty or emptied
// here). A source that changes while it is read is read again; one that
// keeps changing leaves a copy whose time differs from the source's, so the
// next run takes it for out of date and copies it again.
int writeCopy(int in, int out, struct stat& source) {
    constexpr int attempts = 3;
    bool settled = false;
    struct stat after {};
    for (int attempt = 0; attempt < attempts && !settled; ++attempt) {
        if (attempt > 0) {
            source = after;
            if (::ftruncate(out, 0) != 0) {
                return errno;
            }
        }
        if (const int error = copyContent(in, out, source)) {
            return error;
        }
        if (::fstat(in, &after) != 0) {
            return errno;
        }
        settled = sameVersion(source, after);
    }
    // Best effort: a file system without permission bits refuses the change
    // and the copy is complete all the same.
    ::fchmod(out, source.st_mode & 07777);
    struct timespec times[2] = {source.st_atim, source.st_mtim};
    if (!settled) {
        times[0].tv_nsec = UTIME_OMIT;
        times[1] = after.st_mtim;
        times[1].tv_sec -= 1;
    }
    // Last, so no later write moves the time again.
    return ::futimens(out, times) == 0 ? 0 : errno;
}

bool noRoomFor(int error) {
    return error == ENOSPC || error == EDQUOT;
}

// File systems that write new blocks before they let the old ones go, so an
// overwrite in place needs as much room as a new copy.
bool copiesOnWrite(int fd) {
    constexpr std::uint64_t btrfs = 0x9123683e;
    constexpr std::uint64_t zfs = 0x2fc12fc1;
    constexpr std::uint64_t bcachefs = 0xca451a4e;
    struct statfs volume {};
    if (::fstatfs(fd, &volume) != 0) {
        return true; // unknown: count nothing as freed
    }
    const auto type = static_cast<std::uint64_t>(static_cast<std::uint32_t>(volume.f_type));
    return type == btrfs || type == zfs || type == bcachefs;
}

// The old copy overwritten in place, for when no new file can go beside it
// (a folder that refuses new files, or room for one version only). Before
// anything is truncated the file system must have room for the whole new
// content in what ordinary users may still write plus what the old copy
// frees; otherwise it fails with the old copy untouched. The blocks kept for
// the superuser do not count, even for the superuser: some file systems
// (btrfs) report blocks free that nobody can write into.
void overwriteInPlace(int in, struct stat& source, const std::string& to) {
    Descriptor out(::open(to.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (out.get() < 0) {
        throwFailure(errno, to);
    }
    struct stat old {};
    struct statvfs volume {};
    if (::fstat(out.get(), &old) != 0 || ::fstatvfs(out.get(), &volume) != 0) {
        throwFailure(errno, to);
    }
    if (!S_ISREG(old.st_mode)) {
        throwFailure(EEXIST, to);
    }
    // Only the owner (or the superuser) may set the copy's time and mode
    // afterwards; another user's copy would be rewritten on every run and
    // never match, so it stays whole and the copy fails.
    if (old.st_uid != ::geteuid() && ::geteuid() != 0) {
        throwFailure(EPERM, to);
    }
    const auto block = static_cast<std::uint64_t>(volume.f_frsize > 0 ? volume.f_frsize : 512);
    const auto length = static_cast<std::uint64_t>(source.st_size);
    const auto allocated = static_cast<std::uint64_t>(source.st_blocks) * 512;
    // A sparse source keeps its holes; some room more for the file's own
    // bookkeeping.
    const std::uint64_t data = allocated < length ? allocated : length;
    std::uint64_t needed = (data + block - 1) / block * block;
    needed += needed / 128 + 16 * block;
    const std::uint64_t freed = old.st_nlink == 1 && !copiesOnWrite(out.get())
                                    ? static_cast<std::uint64_t>(old.st_blocks) * 512
                                    : 0;
    if (needed > static_cast<std::uint64_t>(volume.f_bavail) * block + freed) {
        throwFailure(ENOSPC, to);
    }
    if (::ftruncate(out.get(), 0) != 0) {
        throwFailure(errno, to);
    }
    int error = writeCopy(in, out.get(), source);
    if (const int closeError = out.close(); error == 0) {
        error = closeError;
    }
    if (error != 0) {
        throwFailure(error, to);
    }
}

} // namespace

void copyFile(const std::string& from, const std::string& to) {
    // Non-blocking, so a pipe that took a file's place cannot hang the run.
    Descriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (in.get() < 0) {
        throwFailure(errno, from);
    }
    struct stat st {};
    if (::fstat(in.get(), &st) != 0) {
        throwFailure(errno, from);
    }
    if (!S_ISREG(st.st_mode)) {
        throw Failure::invalidArgument("Not a regular file: " + from);
    }
    removeStaleTemporariesOnce(folderOfPath(to));

    // New or not, the copy is written to a temporary name beside its place
    // and renamed there only when complete, so no kill leaves a half-written
    // file under the copy's name. Where that cannot work and an old copy
    // exists, the old copy is overwritten in place instead.
    struct stat old {};
    const bool oldIsFile = ::lstat(to.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    std::optional<TemporaryFile> written;
    try {
        written.emplace(createTemporaryBeside(to, 0600));
    } catch (const Failure&) {
        if (!oldIsFile) {
            throw;
        }
        overwriteInPlace(in.get(), st, to);
        return;
    }
    int error = writeCopy(in.get(), written->fd.get(), st);
    if (const int closeError = written->fd.close(); error == 0) {
        error = closeError;
    }
    if (error == 0 && ::rename(written->path.c_str(), to.c_str()) != 0) {
        error = errno;
    }
    if (error == 0) {
        return;
    }
    removeFile(written->path);
    if (!oldIsFile || !noRoomFor(error)) {
        throwNamingFailure(error, to);
    }
    overwriteInPlace(in.get(), st, to);
}

std::string readLink(const std::string& path) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (length < 0) {
            throwFailure(errno, path);
        }
        if (static_cast<size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<size_t>(length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

void copyLink(const std::string& from, const std::string& to) {
    const std::string target = readLink(from);
    for (int attempt = 0;; ++attempt) {
        const std::string temp = temporaryNameBeside(to);
        if (::symlink(target.c_str(), temp.c_str()) != 0) {
            if (errno == EEXIST && attempt < 100) {
                continue;
            }
            throwFailure(errno, to);
        }
        if (::rename(temp.c_str(), to.c_str()) != 0) {
            const int error = errno;
            ::unlink(temp.c_str());
            throwNamingFailure(error, to);
        }
        return;
    }
}

} // namespace tolvane::platform
