#include "console_shell.h"

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

} // namespace tolvane::run
