#include "platform/text_file.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/temporaries.h"
#include "platform/text_file_failures.h"
#include "platform/win32/entry_info.h"
#include "platform/win32/handle.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/temporary_file.h"
#include "platform/win32/wide.h"

#include <algorithm>
#include <cstdint>

namespace tolvane::platform {

namespace {

void writeAll(HANDLE file, std::string_view content, const std::string& path) {
    while (!content.empty()) {
        const auto want = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, content.data(), want, &written, nullptr)) {
            throwLastFailure(path);
        }
        content.remove_prefix(written);
    }
}

void writeAllAt(HANDLE file, std::string_view content, std::uint64_t offset,
                const std::string& path) {
    while (!content.empty()) {
        const auto want = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1u << 30));
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD written = 0;
        if (!::WriteFile(file, content.data(), want, &written, &at)) {
            throwLastFailure(path);
        }
        content.remove_prefix(written);
        offset += written;
    }
}

void cutAt(HANDLE file, std::uint64_t length) {
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(length);
    if (!::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) || !::SetEndOfFile(file)) {
        throw Failure(static_cast<int>(::GetLastError()), {});
    }
}

// Failures of a temporary file beside the target that writing over the old
// file may not meet: a folder that takes no new entries, a full disk.
bool inPlaceMayWork(int number) {
    return number == ERROR_ACCESS_DENIED || number == ERROR_DISK_FULL ||
           number == ERROR_HANDLE_DISK_FULL || number == ERROR_WRITE_PROTECT;
}

} // namespace

std::optional<std::string> readFileIfPresent(const std::string& path) {
    const auto info = entryInfo(path);
    if (!info) {
        return std::nullopt;
    }
    if (info->attributes & FILE_ATTRIBUTE_DIRECTORY) {
        throwFailure(ERROR_ACCESS_DENIED, path); // as the system says of a folder
    }
    Handle file(::CreateFileW(systemPath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) {
        const unsigned long error = ::GetLastError();
        if (meansMissing(error)) {
            return std::nullopt;
        }
        throwFailure(error, path);
    }
    // A pipe or a device (CON, a COM port) may never end.
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
        throw notARegularFile(path);
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) {
        throwLastFailure(path);
    }
    if (static_cast<std::uint64_t>(size.QuadPart) > kMaxTextFileBytes) {
        throw textFileTooLarge(path);
    }
    std::string content;
    content.reserve(static_cast<std::size_t>(size.QuadPart));
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            throwLastFailure(path);
        }
        if (got == 0) {
            return content;
        }
        content.append(buffer, got);
        // It may grow while it is read.
        if (content.size() > kMaxTextFileBytes) {
            throw textFileTooLarge(path);
        }
    }
}

bool existsAt(const std::string& path) {
    return entryInfo(path).has_value();
}

void createEmptyFile(const std::string& path) {
    Handle file(::CreateFileW(systemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        throwLastFailure(path);
    }
    if (const unsigned long error = file.close(); error != 0) {
        throwFailure(error, path);
    }
}

void appendToFile(const std::string& path, std::string_view bytes) {
    Handle file(::CreateFileW(systemPath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        throwLastFailure(path);
    }
    while (!bytes.empty()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes.data(), want, &written, nullptr)) {
            throwLastFailure(path);
        }
        bytes.remove_prefix(written);
    }
    if (const unsigned long error = file.close(); error != 0) {
        throwFailure(error, path);
    }
}

struct PendingFile::InPlace {
    Handle file;
    std::uint64_t oldSize = 0;
    std::string content;
};

PendingFile::PendingFile(const std::string& path, std::string_view content) : target_(path) {
    const auto old = entryInfo(target_);
    if (old && (old->attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throwFailure(ERROR_ACCESS_DENIED,
                     target_); // as the system says of a folder opened as a file
    }
    if (old && (old->attributes & FILE_ATTRIBUTE_READONLY)) {
        // Read-only is a promise kept, as everywhere else.
        throwFailure(ERROR_ACCESS_DENIED, target_);
    }
    // Leftovers of saves that were killed; never one a live writer holds.
    removeStaleTemporaries(folderOfPath(target_));

    try {
        writeTemporary(content, old ? std::optional<unsigned>(old->attributes) : std::nullopt);
    } catch (const Failure& failure) {
        if (!old || !inPlaceMayWork(failure.number())) {
            throw;
        }
        prepareInPlace(content);
    }
}

void PendingFile::writeTemporary(std::string_view content, std::optional<unsigned> attributes) {
    TemporaryFile temporary = createTemporaryBeside(target_);
    temporary_ = std::move(temporary.path);
    try {
        writeAll(temporary.handle.get(), content, temporary_);
        if (!::FlushFileBuffers(temporary.handle.get())) {
            throwLastFailure(temporary_);
        }
        if (const unsigned long error = temporary.handle.close(); error != 0) {
            throwFailure(error, temporary_);
        }
        // The new file keeps the old one's attributes (hidden, say).
        if (attributes) {
            ::SetFileAttributesW(systemPath(temporary_).c_str(), *attributes);
        }
    } catch (...) {
        if (temporary.handle.valid()) {
            temporary.handle.close();
        }
        discard();
        throw;
    }
}

void PendingFile::prepareInPlace(std::string_view content) {
    auto inPlace = std::make_unique<InPlace>();
    inPlace->file = Handle(::CreateFileW(systemPath(target_).c_str(), GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    const HANDLE file = inPlace->file.get();
    if (!inPlace->file.valid()) {
        throwLastFailure(target_);
    }
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        throw notARegularFile(target_);
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) {
        throwLastFailure(target_);
    }
    inPlace->oldSize = static_cast<std::uint64_t>(size.QuadPart);
    inPlace->content = content;
    // What lies beyond the old end goes first: a full disk shows here, while
    // the old bytes are untouched and a cut brings the old file back whole.
    if (content.size() > inPlace->oldSize) {
        try {
            writeAllAt(file, content.substr(inPlace->oldSize), inPlace->oldSize, target_);
            if (!::FlushFileBuffers(file)) {
                throwLastFailure(target_);
            }
        } catch (...) {
            try {
                cutAt(file, inPlace->oldSize);
            } catch (const Failure&) {
            }
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
        try {
            cutAt(inPlace_->file.get(), inPlace_->oldSize);
        } catch (const Failure&) {
        }
    }
    inPlace_.reset();
}

// The replacing move writes through to the disk itself.
void PendingFile::settleReplaced() noexcept {}

void PendingFile::commitInPlace() {
    InPlace& place = *inPlace_;
    const HANDLE file = place.file.get();
    const std::string_view content = place.content;
    const auto head = std::min<std::uint64_t>(content.size(), place.oldSize);
    writeAllAt(file, content.substr(0, head), 0, target_);
    if (content.size() < place.oldSize) {
        try {
            cutAt(file, content.size());
        } catch (const Failure& failure) {
            throwFailure(static_cast<unsigned long>(failure.number()), target_);
        }
    }
    if (!::FlushFileBuffers(file)) {
        throwLastFailure(target_);
    }
    const unsigned long error = place.file.close();
    inPlace_.reset();
    if (error != 0) {
        throwFailure(error, target_);
    }
}

} // namespace tolvane::platform
