#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace tolvane::platform {

// What a failure comes down to, as far as the user can do something about it.
enum class FailureCause {
    Other,
    HeldOpen,     // another program has the file open or locked
    NoPermission, // the system refuses access
    NoRoom,       // the disk or the user's quota is full
    NameRefused,  // the file system does not accept the name
    TooLarge,     // the file is larger than the file system can hold
    PathTooLong,  // the path or one of its names is too long
    Vanished,     // nothing is there (any more)
    CaseTwin,     // the name is one the destination already holds in other case
};

// A failure reported by the operating system layer: the platform's number
// (errno here, GetLastError on Windows) and a readable description.
class Failure : public std::runtime_error {
  public:
    Failure(int number, std::string description)
        : std::runtime_error(description), number_(number), description_(std::move(description)) {}

    // Failures the program finds itself, numbered as the platform numbers the
    // same cause, so the user sees the number the system would show. The
    // description is the caller's, as given.
    static Failure invalidArgument(std::string description);
    static Failure valueTooLarge(std::string description);
    static Failure notFound(std::string description);
    static Failure outOfMemory(std::string description);
    // A file the destination's file system cannot hold, found before writing.
    static Failure tooLargeFor(const std::string& subject);

    // Failure `number` worded as the platform words its own:
    // "<the platform's text for the number>: <subject>".
    static Failure about(int number, const std::string& subject);

    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    // The path the failure is about, when about() made it; else empty.
    const std::string& subject() const noexcept { return subject_; }
    // What the failure means for the user: what the failing step found, or
    // else what the platform's number means.
    FailureCause cause() const noexcept { return knownCause_ ? *knownCause_ : causeOf(number_); }
    // The same failure, with a cause the failing step knows better than its
    // number tells (a name refused reads as "not found" on some disks).
    Failure because(FailureCause cause) const {
        Failure failure(*this);
        failure.knownCause_ = cause;
        return failure;
    }

  private:
    static FailureCause causeOf(int number) noexcept;

    int number_;
    std::string description_;
    std::string subject_;
    std::optional<FailureCause> knownCause_;
};

} // namespace tolvane::platform
