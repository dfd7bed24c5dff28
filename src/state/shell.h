#pragma once

#include <string>

namespace tolvane {

// The buttons a message box can offer and return.
enum class MessageStyle {
    Ok,            // OK only, no icon
    OkExclamation, // OK with the exclamation icon
    YesNoCancel,   // Yes, No and Cancel, no icon
    YesNo,         // Yes and No, no icon
};

enum class Button { Ok, Yes, No, Cancel };

enum class EndKind {
    Orderly,   // the main window is unloaded by the program: icon removed, nothing asked
    Immediate, // the process stops at once, without unloading anything
};

enum class EndCause {
    Requested, // the user asked for it, or a first start created the data file
    Failure,   // a failure ended the program
};

// Why the main window is being unloaded.
enum class UnloadMode {
    CloseBox,   // the user closed the window
    ByProgram,  // the program's own orderly end
    SessionEnd, // the session ends, or the process was asked to terminate
};

// Everything the core needs from the user interface. The core never shows
// anything itself; the Qt front end, the headless runner and the tests each
// implement this.
class Shell {
  public:
    virtual ~Shell() = default;

    // Shows a modal message box titled "Tolvane" and returns the chosen button.
    virtual Button message(const std::string& text, MessageStyle style = MessageStyle::Ok) = 0;

    // The one message at the end of a run about the items it could not back
    // up. It must not hold up later runs: a front end that can shows it
    // without waiting, and a later report replaces one still open.
    virtual void reportRunFailures(const std::string& text) { message(text, MessageStyle::Ok); }

    // Lets pending window events run once.
    virtual void serveEvents() = 0;

    // Ends the program. Never returns.
    [[noreturn]] virtual void endApplication(EndKind kind, EndCause cause) = 0;

    // Called before each file of a run: when the session is ending or the
    // process was asked to terminate, ends the program as at a session end
    // (icon removed, nothing asked, nothing saved) and does not return.
    virtual void endIfSessionEnding() {}
};

} // namespace tolvane
