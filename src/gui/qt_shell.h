#pragma once

#include "state/shell.h"

#include <QMessageBox>
#include <QPointer>
#include <chrono>
#include <functional>

namespace tolvane::gui {

// The Shell of the desktop program: message boxes titled "Tolvane", a
// rate-limited look at pending events, and the ends of the process.
class QtShell : public Shell {
  public:
    // Events are served at most this often; a run calls serveEvents after
    // every file.
    static constexpr std::chrono::milliseconds kServeInterval{5};

    Button message(const std::string& text, MessageStyle style = MessageStyle::Ok) override;
    // A box that does not wait: the countdown and later runs go on while it
    // is open, and a later report takes over the open box.
    void reportRunFailures(const std::string& text) override;
    // The open report's box, if any.
    QMessageBox* runReportBox() const { return runReport_; }
    void serveEvents() override;
    [[noreturn]] void endApplication(EndKind kind, EndCause cause) override;
    // A termination signal seen between files ends the program at once; the
    // event loop may not get to it before the run is over.
    void endIfSessionEnding() override;

    // The program's own unload of the main window in the given mode (it
    // removes the icon). Set once the window exists.
    void setUnload(std::function<void(UnloadMode mode)> unload) { unload_ = std::move(unload); }

    // A session end or a termination signal: the window is unloaded as at a
    // session end (icon removed, nothing asked, nothing saved) and the process
    // ends.
    [[noreturn]] void endSession();

  private:
    [[noreturn]] void unloadAndExit(UnloadMode mode, int status);

    std::function<void(UnloadMode)> unload_;
    QPointer<QMessageBox> runReport_;
    std::chrono::steady_clock::time_point lastServed_{};
    bool ending_ = false;
};

} // namespace tolvane::gui
