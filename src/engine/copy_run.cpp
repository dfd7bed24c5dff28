#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/failure.h"
#include "platform/paths.h"
#include "state/number_text.h"

#include <cstdlib>
#include <utility>

namespace tolvane::engine {

namespace {

// Keeps the run depth right however the run is left.
class RunDepth {
  public:
    explicit RunDepth(int& depth) : depth_(depth) { ++depth_; }
    ~RunDepth() { --depth_; }
    RunDepth(const RunDepth&) = delete;
    RunDepth& operator=(const RunDepth&) = delete;

  private:
    int& depth_;
};

} // namespace

MirrorEngine::MirrorEngine(FormState& state, Shell& shell,
                           std::function<platform::LocalDate()> today)
    : state_(state), shell_(shell), today_(std::move(today)) {}

void MirrorEngine::CopyExec() {
    RunDepth depth(state_.runDepth);

    const std::string saveAt = state_.textSaveAt();
    if (platform::destinationNotSpecified(saveAt)) {
        shell_.message(text::kNoDestination, MessageStyle::Ok);
        return;
    }
    const std::string trimmed = platform::trimOneTrailingSeparator(saveAt);
    if (trimmed != saveAt) {
        // Raises the field's change handling, which pauses monitoring.
        state_.setTextSaveAt(trimmed);
    }

    ItemEnable(false);
    state_.statusCaption = kStatusProcessing;
    state_.setCaption(state_.statusCaption);

    const std::size_t count = state_.listTargets().size();
    for (std::size_t index = 0; index < count; ++index) {
        // The list may have shrunk while events were served; a missing item
        // reads as an empty text.
        const auto& targets = state_.listTargets();
        const std::string target = index < targets.size() ? targets[index] : std::string();
        CopyFolderMain(target);
        shell_.serveEvents();
    }

    if (state_.dateCopyCompressChecked() && compressPastDateFolders) {
        compressPastDateFolders();
    }

    state_.statusCaption = state_.stopTimerChecked() ? kStatusPaused : kStatusWaiting;
    state_.setCaption(countdownCaption(state_.statusCaption, state_.remainingTime));
    ItemEnable(true);
}

void MirrorEngine::M_Exec_Click() {
    CopyExec();
}

void MirrorEngine::ItemEnable(bool state) {
    state_.setTimerEnabled(state);
    state_.setInputsEnabled(state);
}

void MirrorEngine::endAfterFailure(const std::string& procedure, const std::exception& failure) {
    const auto* platformFailure = dynamic_cast<const platform::Failure*>(&failure);
    const std::string description =
        platformFailure != nullptr ? platformFailure->description() : std::string(failure.what());
    shell_.message(procedure + text::kUnexpectedError + text::kLineBreak + description,
                   MessageStyle::Ok);
    shell_.endApplication(EndKind::Orderly, EndCause::Failure);
    std::abort(); // not reached: ending never returns
}

} // namespace tolvane::engine
