#pragma once

#include "state/shell.h"

#include <ostream>

namespace tolvane::run {

// Thrown when the program ends, so main can leave with the right status.
struct ProgramEnded {
    EndKind kind;
};

// Writes every message to the output followed by a line "--" and answers it
// with its first button.
class ConsoleShell : public Shell {
  public:
    explicit ConsoleShell(std::ostream& out) : out_(out) {}

    Button message(const std::string& text, MessageStyle style) override;
    void serveEvents() override {}
    [[noreturn]] void endApplication(EndKind kind, EndCause cause) override;

  private:
    std::ostream& out_;
};

} // namespace tolvane::run
