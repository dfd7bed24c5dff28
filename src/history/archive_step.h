#pragma once

#include "history/archiver_calls.h"
#include "history/date_copy_menu.h"
#include "platform/clock.h"
#include "state/form_state.h"
#include "state/shell.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tolvane::history {

// The end of a copy run with compression chosen: yesterday's day folder in
// the destination is packed into "<folder>.lzh" beside it, the archive gets
// the finishing of a copied file, and the folder is deleted. The archive on
// disk is the only record that a day is done.
class ArchiveStep {
  public:
    // What the step calls outside itself. The defaults are the real archiver
    // and the real folder removal; tests swap in faults that cannot be made
    // for real.
    struct Calls {
        std::function<bool()> archiverBusy;
        std::function<int(std::uintptr_t windowHandle, const std::string& commandLine)> archive;
        std::function<void(const std::string& folder)> removeFolder;
    };
    static Calls realCalls();

    ArchiveStep(FormState& state, Shell& shell, DateCopyMenu& menu,
                std::function<void(const std::string&)> finishCopiedFile,
                std::function<platform::LocalDate()> today = platform::today);

    void compressPastDateFolders();

    // The main window's handle, passed on to the archiver.
    void setWindowHandle(std::uintptr_t handle) { windowHandle_ = handle; }
    void setCalls(Calls calls) { calls_ = std::move(calls); }

  private:
    FormState& state_;
    Shell& shell_;
    DateCopyMenu& menu_;
    std::function<void(const std::string&)> finishCopiedFile_;
    std::function<platform::LocalDate()> today_;
    std::uintptr_t windowHandle_ = 0;
    Calls calls_;
};

} // namespace tolvane::history
