#include "platform/files.h"
#include "platform/paths.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/system_failure.h"
#include "platform/posix/temporary_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
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

    // With no old copy the file is written under its own name; one made here
    // and not finished is removed again, so nothing half-written stays.
    // Otherwise it goes to a temporary name and replaces the old copy only
    // when complete.
    const int created = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const bool replacing = created < 0 && errno == EEXIST;
    if (created < 0 && !replacing) {
        throwFailure(errno, to);
    }
    TemporaryFile written =
        replacing ? createTemporaryBeside(to, 0600) : TemporaryFile{Descriptor(created), to};
    Descriptor& out = written.fd;
    const std::string& temp = written.path;

    int error = copyContent(in.get(), out.get(), st);
    if (error == 0 && ::fchmod(out.get(), st.st_mode & 07777) != 0) {
        error = errno;
    }
    if (error == 0) {
        // Last, so no later write moves the time again.
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        if (::futimens(out.get(), times) != 0) {
            error = errno;
        }
    }
    if (const int closeError = out.close(); error == 0) {
        error = closeError;
    }
    if (error == 0 && replacing && ::rename(temp.c_str(), to.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        removeFile(temp);
        throwFailure(error, to);
    }
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
            throwFailure(error, to);
        }
        return;
    }
}

} // namespace tolvane::platform
