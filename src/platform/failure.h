#pragma once

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

    // Failure `number` worded as the platform words its own:
    // "<the platform's text for the number>: <subject>".
    static Failure about(int number, const std::string& subject);

    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    // The path the failure is about, when about() made it; else empty.
    const std::string& subject() const noexcept { return subject_; }
    // What the platform's number means for the user.
    FailureCause cause() const noexcept;

  private:
    int number_;
    std::string description_;
    std::string subject_;
};

} // namespace tolvane::platform
