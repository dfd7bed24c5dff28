#include "platform/file_io.h"
#include "platform/files.h"
#include "platform/win32/entry_info.h"
#include "platform/win32/file_time.h"
#include "platform/win32/handle.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/temporary_file.h"
#include "platform/win32/wide.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace tolvane::platform {

struct OpenFile::Handle {
    // A constructor, not aggregate initialisation in parentheses, which
    // clang before 16 cannot compile.
    explicit Handle(platform::Handle opened) : file(std::move(opened)) {}
    platform::Handle file;
};

std::optional<OpenFile> OpenFile::openExisting(const std::string& path) {
    platform::Handle file(::CreateFileW(systemPath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return std::nullopt;
    }
    return OpenFile(std::make_unique<Handle>(std::move(file)));
}

OpenFile::OpenFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
OpenFile::OpenFile(OpenFile&& other) noexcept = default;
OpenFile& OpenFile::operator=(OpenFile&& other) noexcept = default;
OpenFile::~OpenFile() = default;

int OpenFile::setModificationTime(const LocalDateTime& when) {
    const auto time = fileTimeOfLocal(when);
    if (!time) {
        return Failure::invalidArgument({}).number();
    }
    return ::SetFileTime(handle_->file.get(), nullptr, nullptr, &*time)
               ? 0
               : static_cast<int>(::GetLastError());
}

struct InputFile::Handle {
    explicit Handle(platform::Handle opened) : file(std::move(opened)) {}
    platform::Handle file;
};

InputFile::InputFile(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

InputFile::InputFile(const std::string& path) : path_(path) {
    auto file = openIfPresent(path);
    if (!file) {
        throwFailure(ERROR_FILE_NOT_FOUND, path);
    }
    handle_ = std::move(file->handle_);
}

std::optional<InputFile> InputFile::openIfPresent(const std::string& path) {
    platform::Handle file(::CreateFileW(systemPath(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                                        nullptr));
    if (!file.valid()) {
        const unsigned long error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return std::nullopt;
        }
        throwFailure(error, path);
    }
    InputFile opened(std::make_unique<Handle>(std::move(file)));
    opened.path_ = path;
    return opened;
}

InputFile::InputFile(InputFile&& other) noexcept = default;
InputFile& InputFile::operator=(InputFile&& other) noexcept = default;
InputFile::~InputFile() = default;

std::size_t InputFile::read(void* buffer, std::size_t size) {
    DWORD got = 0;
    const auto want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::ReadFile(handle_->file.get(), buffer, want, &got, nullptr)) {
        const unsigned long error = ::GetLastError();
        if (error == ERROR_HANDLE_EOF) {
            return 0;
        }
        throwFailure(error, path_);
    }
    return got;
}

void InputFile::seek(std::uint64_t offset) {
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max())) {
        throwFailure(ERROR_INVALID_PARAMETER, path_);
    }
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(handle_->file.get(), at, nullptr, FILE_BEGIN)) {
        throwLastFailure(path_);
    }
}

struct NewFile::Handle {
    explicit Handle(platform::Handle opened) : file(std::move(opened)) {}
    platform::Handle file;
};

NewFile::NewFile(const std::string& path) : path_(path) {
    platform::Handle file(::CreateFileW(systemPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        throwLastFailure(path);
    }
    handle_ = std::make_unique<Handle>(std::move(file));
}

NewFile::NewFile(std::unique_ptr<Handle> handle, std::string path)
    : handle_(std::move(handle)), path_(std::move(path)) {}

NewFile NewFile::temporaryBeside(const std::string& target) {
    TemporaryFile file = createTemporaryBeside(target);
    return NewFile(std::make_unique<Handle>(std::move(file.handle)), std::move(file.path));
}

NewFile::NewFile(NewFile&& other) noexcept = default;
NewFile& NewFile::operator=(NewFile&& other) noexcept = default;
NewFile::~NewFile() = default;

void NewFile::writeAt(std::uint64_t offset, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const auto want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(handle_->file.get(), bytes, want, &written, &at)) {
            throwLastFailure(path_);
        }
        bytes += written;
        size -= written;
        offset += written;
    }
}

void NewFile::resize(std::uint64_t size) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFileInformationByHandle(handle_->file.get(), FileEndOfFileInfo, &end, sizeof end)) {
        throwLastFailure(path_);
    }
}

void NewFile::sync() {
    if (!::FlushFileBuffers(handle_->file.get())) {
        throwLastFailure(path_);
    }
}

void NewFile::close() {
    if (const unsigned long error = handle_->file.close(); error != 0) {
        throwFailure(error, path_);
    }
}

} // namespace tolvane::platform
