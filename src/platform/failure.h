#pragma once

#include <stdexcept>
#include <string>

namespace tolvane::platform {

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

  private:
    int number_;
    std::string description_;
};

} // namespace tolvane::platform
