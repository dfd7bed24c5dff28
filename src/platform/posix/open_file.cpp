#include "platform/file_io.h"
#include "platform/files.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/system_failure.h"
#include "platform/posix/temporary_file.h"

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tolvane::platform {

struct OpenFile::Handle {
    // A constructor, not aggregate initialisation in parentheses, which
    // clang before 16 cannot compile.
    explicit Handle(Descriptor opened) : fd(std::move(opened)) {}
    Descriptor fd;
};

std::optional<OpenFile> OpenFile::openExisting(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return std::nullopt;
    }
    return OpenFile(std::make_unique<Handle>(Descriptor(fd)));
}

OpenFile::OpenFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
OpenFile::OpenFile(OpenFile&& other) noexcept = default;
OpenFile& OpenFile::operator=(OpenFile&& other) noexcept = default;
OpenFile::~OpenFile() = default;

int OpenFile::setModificationTime(const LocalDateTime& when) {
    const auto epoch = epochOfLocal(when);
    if (!epoch) {
        return Failure::invalidArgument({}).number();
    }
    // The access time is given as it is: some drivers (exFAT, FAT through
    // FUSE) accept a modification time set alone and drop it.
    struct stat st {};
    if (::fstat(handle_->fd.get(), &st) != 0) {
        return errno;
    }
    struct timespec times[2]{};
    times[0] = st.st_atim;
    times[1].tv_sec = static_cast<time_t>(*epoch);
    return ::futimens(handle_->fd.get(), times) == 0 ? 0 : errno;
}

struct InputFile::Handle {
    explicit Handle(Descriptor opened) : fd(std::move(opened)) {}
    Descriptor fd;
};

InputFile::InputFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

InputFile::InputFile(const std::string& path) : path_(path) {
    auto file = openIfPresent(path);
    if (!file) {
        throwFailure(ENOENT, path);
    }
    handle_ = std::move(file->handle_);
}

std::optional<InputFile> InputFile::openIfPresent(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return std::nullopt;
        }
        throwFailure(errno, path);
    }
    InputFile file(std::make_unique<Handle>(Descriptor(fd)));
    file.path_ = path;
    return file;
}

InputFile::InputFile(InputFile&& other) noexcept = default;
InputFile& InputFile::operator=(InputFile&& other) noexcept = default;
InputFile::~InputFile() = default;

std::size_t InputFile::read(void* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(handle_->fd.get(), buffer, size);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            throwFailure(errno, path_);
        }
    }
}

void InputFile::seek(std::uint64_t offset) {
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
        throwFailure(EINVAL, path_);
    }
    if (::lseek(handle_->fd.get(), static_cast<off_t>(offset), SEEK_SET) < 0) {
        throwFailure(errno, path_);
    }
}

struct NewFile::Handle {
    explicit Handle(Descriptor opened) : fd(std::move(opened)) {}
    Descriptor fd;
};

NewFile::NewFile(const std::string& path) : path_(path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        throwFailure(errno, path);
    }
    handle_ = std::make_unique<Handle>(Descriptor(fd));
}

NewFile::NewFile(std::unique_ptr<Handle> handle, std::string path)
    : handle_(std::move(handle)), path_(std::move(path)) {}

NewFile NewFile::temporaryBeside(const std::string& target) {
    TemporaryFile file = createTemporaryBeside(target, 0666);
    return NewFile(std::make_unique<Handle>(std::move(file.fd)), std::move(file.path));
}

NewFile::NewFile(NewFile&& other) noexcept = default;
NewFile& NewFile::operator=(NewFile&& other) noexcept = default;
NewFile::~NewFile() = default;

void NewFile::writeAt(std::uint64_t offset, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written =
            ::pwrite(handle_->fd.get(), bytes, size, static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwFailure(errno, path_);
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
        offset += static_cast<std::uint64_t>(written);
    }
}

void NewFile::resize(std::uint64_t size) {
    if (::ftruncate(handle_->fd.get(), static_cast<off_t>(size)) != 0) {
        throwFailure(errno, path_);
    }
}

void NewFile::sync() {
    if (::fsync(handle_->fd.get()) != 0) {
        throwFailure(errno, path_);
    }
}

void NewFile::close() {
    if (const int error = handle_->fd.close(); error != 0) {
        throwFailure(error, path_);
    }
}

} // namespace tolvane::platform
