#include "platform/text_file.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/win32/entry_info.h"
#include "platform/win32/handle.h"
#include "platform/win32/system_failure.h"
#include "platform/win32/temporary_file.h"
#include "platform/win32/wide.h"

#include <algorithm>

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

} // namespace

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
        if (old) {
            ::SetFileAttributesW(systemPath(temporary_).c_str(), old->attributes);
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
        removeFile(temporary_);
        temporary_.clear();
    }
}

void PendingFile::commit() {
    if (temporary_.empty()) {
        throwFailure(ERROR_FILE_NOT_FOUND, target_);
    }
    try {
        renameReplacing(temporary_, target_);
    } catch (const Failure&) {
        discard();
        throw;
    }
    temporary_.clear();
}

} // namespace tolvane::platform
