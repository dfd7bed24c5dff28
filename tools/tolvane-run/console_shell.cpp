#include "console_shell.h"

#include "platform/termination_signal.h"

namespace tolvane::run {

Button ConsoleShell::message(const std::string& text, MessageStyle style) {
    out_ << text << "\n--\n";
    out_.flush();
    const bool question = style == MessageStyle::YesNoCancel || style == MessageStyle::YesNo;
    return question ? Button::Yes : Button::Ok;
}

void ConsoleShell::endApplication(EndKind kind, EndCause) {
    throw ProgramEnded{kind};
}

void ConsoleShell::endIfSessionEnding() {
    if (platform::terminationRequested()) {
        throw ProgramEnded{EndKind::Orderly, true};
    }
}

} // namespace tolvane::run
