#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "engine/run_record.h"
#include "platform/paths.h"
#include "state/number_text.h"

#include <exception>
#include <functional>
#include <utility>

namespace tolvane::engine {

namespace {

// Counts one level for as long as it lives, however the scope is left.
class ScopedCount {
  public:
    explicit ScopedCount(int& count) : count_(count) { ++count_; }
    ~ScopedCount() { --count_; }
    ScopedCount(const ScopedCount&) = delete;
    ScopedCount& operator=(const ScopedCount&) = delete;

  private:
    int& count_;
};

// Flushes the destination's disk once the run wrote there, so a disk pulled
// out after the run holds the backup. A failure joins the run's report.
void flushWrittenDisk(RunReport& report, const std::string& destination,
                      const std::function<void(const std::string&)>& flush) {
    if ((report.copied == 0 && !report.archiving) || !flush) {
        return;
    }
    try {
        flush(destination);
    } catch (const std::exception& error) {
        const platform::Failure failure = failureOf(error);
        ItemFailure item;
        item.heading = {text::kFlushFailed};
        item.paths = {text::kFolderLine + destination};
        item.side = FailedSide::DestinationFolder;
        item.cause = failure.cause();
        item.systemText = failure.description();
        report.failures.push_back(std::move(item));
    }
}

} // namespace

MirrorEngine::MirrorEngine(FormState& state, Shell& shell,
                           std::function<platform::LocalDate()> today)
    : state_(state), shell_(shell), today_(std::move(today)) {}

void MirrorEngine::runCopy() {
    ScopedCount depth(state_.runDepth);

    const std::string saveAt = state_.textSaveAt();
    if (platform::destinationNotSpecified(saveAt)) {
        shell_.message(text::kNoDestination, MessageStyle::Ok);
        lastOutcome_ = RunOutcome::NotStarted;
        return;
    }
    const std::string trimmed = platform::trimOneTrailingSeparator(saveAt);
    if (trimmed != saveAt) {
        // Raises the field's change handling, which pauses monitoring.
        state_.setTextSaveAt(trimmed);
    }

    setControlsEnabled(false);
    state_.statusCaption = kStatusProcessing;
    state_.setCaption(state_.statusCaption);

    // A run started from the menu while this one serves events keeps its own
    // report; this one's comes back when it is done.
    RunReport outer = std::exchange(report_, RunReport{});
    // Each run learns its destinations afresh: a stick may have been changed.
    auto outerDisks = std::exchange(disks_, {});
    report_.started = platform::now();
    bool stopped = false;
    try {
        const std::size_t count = state_.listTargets().size();
        for (std::size_t index = 0; index < count; ++index) {
            // The list may have shrunk while events were served; a missing
            // item reads as an empty text.
            const auto& targets = state_.listTargets();
            const std::string target = index < targets.size() ? targets[index] : std::string();
            shell_.endIfSessionEnding();
            report_.entries.push_back(target);
            if (copyEntry(target) == EntryResult::StopRun) {
                stopped = true;
                break;
            }
            shell_.serveEvents();
        }

        if (!stopped && state_.dateCopyCompressChecked() && compressPastDateFolders) {
            report_.archiving = compressPastDateFolders();
        }
        flushWrittenDisk(report_, destination(), flushFileSystem);
        deliverReport();
    } catch (...) {
        report_ = std::move(outer);
        disks_ = std::move(outerDisks);
        throw;
    }
    lastOutcome_ = stopped                    ? RunOutcome::Stopped
                   : report_.failures.empty() ? RunOutcome::Completed
                                              : RunOutcome::WithFailures;
    // The report stays readable until the next run; an outer run gets its own.
    if (state_.runDepth > 1) {
        report_ = std::move(outer);
        disks_ = std::move(outerDisks);
    }

    state_.statusCaption = state_.stopTimerChecked() ? kStatusPaused : kStatusWaiting;
    state_.setCaption(countdownCaption(state_.statusCaption, state_.remainingTime));
    setControlsEnabled(true);
}

void MirrorEngine::deliverReport() {
    std::string recordPath;
    std::string problem;
    if (!recordFolder_.empty()) {
        recordPath = platform::joinPath(recordFolder_, kRecordFileName);
        try {
            appendToRecord(recordFolder_,
                           recordBlock(report_, platform::now(), state_.textSaveAt()));
        } catch (const platform::Failure& failure) {
            problem = failure.description();
            recordPath.clear();
        }
    }
    // A record that cannot be written is said with the run's failures, or
    // alone the first time it happens; a backup that worked stays quiet.
    const bool newProblem = !problem.empty() && problem != lastRecordProblem_;
    lastRecordProblem_ = problem;
    if (report_.failures.empty() && report_.notices.empty() && !newProblem) {
        return;
    }
    shell_.reportRunFailures(failureMessage(report_, recordPath, problem));
}

void MirrorEngine::setControlsEnabled(bool enabled) {
    state_.setTimerEnabled(enabled);
    state_.setInputsEnabled(enabled);
}

} // namespace tolvane::engine
