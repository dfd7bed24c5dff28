#pragma once

#include "history/archive_progress_view.h"
#include "history/archiver_calls.h"
#include "history/date_copy_menu.h"
#include "platform/clock.h"
#include "state/form_state.h"
#include "state/shell.h"

#include <functional>
#include <future>
#include <string>

namespace tolvane::history {

// The end of a copy run with compression chosen: yesterday's day folder in
// the destination is packed into "<folder>.lzh" beside it, the archive gets
// the finishing of a copied file, and the folder is deleted. The archive on
// disk is the only record that a day is done.
//
// The packing runs on a thread of its own while this thread serves window
// events, as the rest of a run does; a run started meanwhile (from the menu)
// leaves the archiving to the step already at work.
class ArchiveStep {
  public:
    // What the step calls outside itself. The defaults are the real archiver
    // and the real folder removal; tests swap in faults that cannot be made
    // for real.
    struct Calls {
        std::function<bool()> archiverBusy;
        // Called on the packing thread; a failure's path and system failure
        // go to `failure`.
        std::function<int(const std::string& commandLine, lha::PackProgress& progress,
                          lha::PackFailure& failure)>
            archive;
        std::function<void(const std::string& folder)> removeFolder;
    };
    static Calls realCalls();

    ArchiveStep(FormState& state, Shell& shell, DateCopyMenu& menu,
                std::function<void(const std::string&)> finishCopiedFile,
                std::function<platform::LocalDate()> today = platform::today);

    void compressPastDateFolders();
    // What the last call did, in a line or a few for the run record.
    const std::string& lastOutcome() const { return outcome_; }

    void setCalls(Calls calls) { calls_ = std::move(calls); }
    // Shown while an archive is written; none by default.
    void setProgressView(ArchiveProgressView* view) { progressView_ = view; }

    // The program is about to end: a packing under way is cancelled and
    // waited for, so its temporary file goes and the folder stays.
    void stopArchiving();

  private:
    // Runs the archiver off this thread and serves events until it is done.
    int archiveServingEvents(const std::string& commandLine, lha::PackFailure& failure);

    FormState& state_;
    Shell& shell_;
    DateCopyMenu& menu_;
    std::function<void(const std::string&)> finishCopiedFile_;
    std::function<platform::LocalDate()> today_;
    Calls calls_;
    ArchiveProgressView* progressView_ = nullptr;
    // Set while a packing runs.
    lha::PackProgress* progress_ = nullptr;
    std::string outcome_;
    std::future<int>* packing_ = nullptr;
};

} // namespace tolvane::history
