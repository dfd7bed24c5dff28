#include "platform/win32/system_failure.h"

#include "platform/win32/wide.h"

#include <windows.h>

namespace tolvane::platform {

namespace {

// The system's own words for a number, in the user's language, without the
// line end and closing full stop the messages carry.
std::string systemText(unsigned long number) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, number, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) {
        return "Error " + std::to_string(number);
    }
    std::wstring text(buffer, length);
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                             text.back() == L'.' || text.back() == L'\x3002')) {
        text.pop_back();
    }
    return narrow(text);
}

} // namespace

Failure Failure::invalidArgument(std::string description) {
    return Failure(ERROR_INVALID_PARAMETER, std::move(description));
}

Failure Failure::valueTooLarge(std::string description) {
    return Failure(ERROR_ARITHMETIC_OVERFLOW, std::move(description));
}

Failure Failure::notFound(std::string description) {
    return Failure(ERROR_FILE_NOT_FOUND, std::move(description));
}

Failure Failure::outOfMemory(std::string description) {
    return Failure(ERROR_NOT_ENOUGH_MEMORY, std::move(description));
}

Failure Failure::tooLargeFor(const std::string& subject) {
    return about(static_cast<int>(ERROR_FILE_TOO_LARGE), subject);
}

Failure Failure::about(int number, const std::string& subject) {
    Failure failure(number, systemText(static_cast<unsigned long>(number)) + ": " + subject);
    failure.subject_ = subject;
    return failure;
}

FailureCause Failure::causeOf(int number) noexcept {
    switch (static_cast<unsigned long>(number)) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return FailureCause::HeldOpen;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_PRIVILEGE_NOT_HELD:
        return FailureCause::NoPermission;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case 1295: // ERROR_DISK_QUOTA_EXCEEDED, missing from the MinGW headers
        return FailureCause::NoRoom;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
        return FailureCause::NameRefused;
    case ERROR_FILE_TOO_LARGE:
        return FailureCause::TooLarge;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
        return FailureCause::PathTooLong;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return FailureCause::Vanished;
    default:
        return FailureCause::Other;
    }
}

void throwFailure(unsigned long number, const std::string& path) {
    throw Failure::about(static_cast<int>(number), path);
}

void throwLastFailure(const std::string& path) {
    throwFailure(::GetLastError(), path);
}

} // namespace tolvane::platform
