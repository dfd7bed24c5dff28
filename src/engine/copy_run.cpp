#include "engine/messages.h"
#include "engine/mirror_engine.h"
#include "platform/paths.h"
#include "state/number_text.h"

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

} // namespace

MirrorEngine::MirrorEngine(FormState& state, Shell& shell,
                           std::function<platform::LocalDate()> today)
    : state_(state), shell_(shell), today_(std::move(today)) {}

void MirrorEngine::runCopy() {
    ScopedCount depth(state_.runDepth);

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

    setControlsEnabled(false);
    state_.statusCaption = kStatusProcessing;
    state_.setCaption(state_.statusCaption);

    const std::size_t count = state_.listTargets().size();
    for (std::size_t index = 0; index < count; ++index) {
        // The list may have shrunk while events were served; a missing item
        // reads as an empty text.
        const auto& targets = state_.listTargets();
        const std::string target = index < targets.size() ? targets[index] : std::string();
        shell_.endIfSessionEnding();
        copyEntry(target);
        shell_.serveEvents();
    }

    if (state_.dateCopyCompressChecked() && compressPastDateFolders) {
        compressPastDateFolders();
    }

    state_.statusCaption = state_.stopTimerChecked() ? kStatusPaused : kStatusWaiting;
    state_.setCaption(countdownCaption(state_.statusCaption, state_.remainingTime));
    setControlsEnabled(true);
}

void MirrorEngine::setControlsEnabled(bool enabled) {
    state_.setTimerEnabled(enabled);
    state_.setInputsEnabled(enabled);
}

} // namespace tolvane::engine
