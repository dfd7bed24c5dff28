#pragma once

#include <stdexcept>
#include <string>

namespace tolvane::platform {

// A failure reported by the operating system layer: a number (errno here,
// GetLastError on Windows) and a readable description.
class Failure : public std::runtime_error {
  public:
    Failure(int number, std::string description)
        : std::runtime_error(description), number_(number), description_(std::move(description)) {}

    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }

  private:
    int number_;
    std::string description_;
};

} // namespace tolvane::platform
