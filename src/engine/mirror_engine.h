#pragma once

#include "engine/run_report.h"
#include "platform/clock.h"
#include "platform/destination_disk.h"
#include "platform/disk_flush.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "state/form_state.h"
#include "state/shell.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tolvane::engine {

// One copy run from the target list to the destination, and everything below
// it: the entry copy, the folder walk, the creation of destination folders,
// the copy of changed files and links and the finishing of copied files.
class MirrorEngine {
  public:
    // How the last run ended.
    enum class RunOutcome {
        NotStarted,   // no destination given
        Completed,    // every item was backed up
        WithFailures, // some items could not be; the run went on
        Stopped,      // the destination could not be secured, or the same-path guard
    };
    // Whether the entry's run may go on with the next entry.
    enum class EntryResult { Continue, StopRun };
    // Thrown below copyEntry to stop the run after its message: nothing
    // later in the run can succeed.
    struct RunStop {};

    MirrorEngine(FormState& state, Shell& shell,
                 std::function<platform::LocalDate()> today = platform::today);

    // One run over the whole list, with the controls locked meanwhile. One
    // item that cannot be backed up never stops it: its failure joins the
    // run's report, which ends the run as one message and a block of the
    // run record.
    void runCopy();
    RunOutcome lastRunOutcome() const { return lastOutcome_; }
    // The failures and counts gathered since the last run started.
    const RunReport& report() const { return report_; }
    // The folder of the run record "Tolvane.log"; empty: no record.
    void setRecordFolder(std::string folder) { recordFolder_ = std::move(folder); }
    // Unlocks (true) or locks (false) the timer and the input controls.
    void setControlsEnabled(bool enabled);

    // Copies one list entry into the destination (or today's day folder).
    EntryResult copyEntry(const std::string& target);
    // Brings the copy `to` of the folder `from` up to date, sub-folders
    // included; false when `from` cannot be opened.
    bool walkFolder(const std::string& from, const std::string& to);
    // Creates every missing folder above the last name of a path.
    void createMissingParents(const std::string& path);
    // Copies a file when its copy is missing or differs in time or length.
    void copyFileIfChanged(const std::string& from, const std::string& to);
    // Dates and marks a fresh copy as the copy-date dialog and menu say.
    void finishCopiedFile(const std::string& path);
    void setCopiedFileDate(const std::string& path);

    // The archiving of earlier day folders, plugged in by the wiring; called
    // after the entries when compression is chosen, it returns what it did
    // for the run record. Empty: nothing.
    std::function<std::string()> compressPastDateFolders;
    // Pushes what a run wrote out to the destination's disk before the run
    // is over; the platform's flush unless a test plugs in another.
    std::function<void(const std::string& folder)> flushFileSystem = platform::flushFileSystem;

  private:
    enum class WalkLevel { Top, Below };
    // The source folders of one walk from its top down to the folder being
    // walked; a folder met again below itself is not entered twice.
    using WalkPath = std::vector<platform::FileId>;

    void updateFolderCopy(const std::string& target, const std::string& copyPath);
    void copyNewFolder(const std::string& target, const std::string& copyPath);
    // Nothing when `from` was walked, else why it could not be opened.
    std::optional<std::string> walkLevel(const std::string& from, const std::string& to,
                                         WalkLevel level, WalkPath& walk);
    void prepareWalkFolder(const std::string& to, WalkLevel level, const WalkPath& walk);
    void copyLinkIfChanged(const std::string& from, const std::string& to);
    bool isExcluded(const platform::FileId& id) const;
    // Learns, once per run and file system, what the file system holding
    // `folder` keeps; the entry's copies then follow it.
    void useDiskOf(const std::string& folder);
    // Takes out of a folder's entries the names the destination cannot hold:
    // a name that differs from another only in case where case is ignored
    // (the first in byte order keeps the name) and, with `sizes`, files too
    // large for it. Each one taken out is reported.
    void sortOutEntries(const std::string& from, const std::string& to,
                        std::vector<platform::FolderEntry>& entries, bool sizes);
    // Whether the destination can hold a file of `size` bytes; reported when not.
    bool fitsDestination(const std::string& from, const std::string& to, std::int64_t size);
    // Says `notice` once in the run's report.
    void addNotice(const std::string& notice);
    // The destination as the system reads the text in its box.
    std::string destination() const;

    // Adds one item that could not be backed up to the run's report.
    void recordFailure(std::vector<std::string> heading, std::vector<std::string> paths,
                       const platform::Failure& failure, const std::string& from,
                       const std::string& to);
    // A file or link whose copy from `from` to `to` failed.
    void recordCopyFailure(const std::string& from, const std::string& to,
                           const platform::Failure& failure, bool link = false);
    // Shows `text` (the stopping message) and stops the run.
    [[noreturn]] void stopRun(const std::string& text);
    // The end of a run: its message, if any, and its block of the record.
    void deliverReport();

    FormState& state_;
    Shell& shell_;
    std::function<platform::LocalDate()> today_;

    // Folders the walk must not enter: the destination and the copy being
    // made, when they lie inside the source.
    std::vector<platform::FileId> excluded_;

    // What the file system the current entry is copied to keeps, and every
    // one met in this run by its volume.
    platform::DestinationDisk disk_;
    std::vector<std::pair<std::uint64_t, platform::DestinationDisk>> disks_;

    RunReport report_;
    RunOutcome lastOutcome_ = RunOutcome::NotStarted;
    std::string recordFolder_;
    // A record that could not be written is said once per cause, not at
    // every run.
    std::string lastRecordProblem_;
};

} // namespace tolvane::engine
