#pragma once

#include "state/shell.h"

#include <ostream>

namespace tolvane::run {

// Thrown when the program ends, so main can leave with the right status.
struct ProgramEnded {
    EndKind kind;
    bool terminated = false; // on a termination signal
};

// Writes every message to the output followed by a line "--" and answers it
// with its first button.
class ConsoleShell : public Shell {
  public:
    explicit ConsoleShell(std::ostream& out) : out_(out) {}

    Button message(const std::string& text, MessageStyle style) override;
    // Printed like every other message.
    void reportRunFailures(const std::string& text) override { message(text, MessageStyle::Ok); }
    void serveEvents() override {}
    [[noreturn]] void endApplication(EndKind kind, EndCause cause) override;
    // Ends the run before the next file once a termination signal came.
    void endIfSessionEnding() override;

  private:
    std::ostream& out_;
};

} // namespace tolvane::run
