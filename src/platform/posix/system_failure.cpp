#include "platform/posix/system_failure.h"

#include "platform/files.h"
#include "platform/paths.h"

#include <cerrno>
#include <cstring>

namespace tolvane::platform {

Failure Failure::invalidArgument(std::string description) {
    return Failure(EINVAL, std::move(description));
}

Failure Failure::valueTooLarge(std::string description) {
    return Failure(EOVERFLOW, std::move(description));
}

Failure Failure::notFound(std::string description) {
    return Failure(ENOENT, std::move(description));
}

Failure Failure::outOfMemory(std::string description) {
    return Failure(ENOMEM, std::move(description));
}

Failure Failure::tooLargeFor(const std::string& subject) {
    return about(EFBIG, subject);
}

Failure Failure::about(int number, const std::string& subject) {
    char buffer[256];
    // The GNU variant returns its text; it need not be in the buffer.
    const char* text = strerror_r(number, buffer, sizeof buffer);
    Failure failure(number, std::string(text) + ": " + subject);
    failure.subject_ = subject;
    return failure;
}

FailureCause Failure::causeOf(int number) noexcept {
    switch (number) {
    case ETXTBSY:
    case EBUSY:
        return FailureCause::HeldOpen;
    case EACCES:
    case EPERM:
    case EROFS:
        return FailureCause::NoPermission;
    case ENOSPC:
    case EDQUOT:
        return FailureCause::NoRoom;
    case EILSEQ:
        return FailureCause::NameRefused;
    case EFBIG:
        return FailureCause::TooLarge;
    case ENAMETOOLONG:
        return FailureCause::PathTooLong;
    case ENOENT:
        return FailureCause::Vanished;
    default:
        return FailureCause::Other;
    }
}

void throwFailure(int number, const std::string& path) {
    throw Failure::about(number, path);
}

void throwNamingFailure(int number, const std::string& path) {
    if ((number == ENOENT || number == EINVAL) && folderExists(folderOfPath(path))) {
        throw Failure::about(number, path).because(FailureCause::NameRefused);
    }
    throwFailure(number, path);
}

} // namespace tolvane::platform
