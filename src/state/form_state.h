#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tolvane {

// Status texts that lead the window caption.
inline constexpr const char* kStatusWaiting = "Tolvane：待機中";
inline constexpr const char* kStatusPaused = "Tolvane：監視一時停止中";
inline constexpr const char* kStatusProcessing = "Tolvane：処理中";

inline constexpr const char* kDateCopyCaption = "日付履歴コピーモード";
inline constexpr const char* kDateCopyMark = "●";

// The list box addresses its entries with 16-bit indices.
inline constexpr std::size_t kMaxListEntries = 32767;

// Initial timer period, until the countdown sets one second.
inline constexpr int kInitialTimerPeriodMs = 64767;

// Groups of state the front end redraws when told they changed.
enum class StateField {
    Caption,
    ListTargets,
    TextTargetFolder,
    TextSaveAt,
    TextInterval,
    Menus,         // every check mark, the date-mode caption and tag
    Timer,         // enabled state and period
    InputsEnabled, // the controls locked during a copy run
    Visibility,    // the main window shown or hidden
    FormDate,      // the copy-date dialog: check box, fields, enabled, shown
};

// What the main window holds: the settings live in its controls and menus,
// plus a few window-level values. The core reads and writes this; the front end
// draws it and subscribes to changes.
//
// Text fields behave like text boxes: an assignment that really changes the
// text raises that field's change handler; an identical assignment raises
// nothing. The handlers are plugged in by whoever wires the program.
class FormState {
  public:
    using Listener = std::function<void(StateField)>;

    FormState() = default;
    FormState(const FormState&) = delete;
    FormState& operator=(const FormState&) = delete;

    // --- change notification ------------------------------------------------
    void subscribe(Listener listener);

    // --- target list ----------------------------------------------------------
    const std::vector<std::string>& listTargets() const { return listTargets_; }
    // Appends an entry; returns false when the list is full (32767 entries).
    bool addListTarget(std::string entry);
    void removeListTarget(int index);
    void clearListTargets();
    // -1 when no entry is selected.
    int listIndex() const { return listIndex_; }
    void setListIndex(int index);
    // The selected entry's text, or empty when none is selected.
    std::string listText() const;

    // --- text fields ----------------------------------------------------------
    const std::string& textTargetFolder() const { return textTargetFolder_; }
    void setTextTargetFolder(std::string text);

    const std::string& textSaveAt() const { return textSaveAt_; }
    void setTextSaveAt(std::string text);
    std::function<void()> onTextSaveAtChange;

    const std::string& textInterval() const { return textInterval_; }
    void setTextInterval(std::string text);
    std::function<void()> onTextIntervalChange;

    // --- countdown and caption ------------------------------------------------
    double monitorInterval = 0;
    double remainingTime = 0;
    std::string statusCaption;

    const std::string& caption() const { return caption_; }
    void setCaption(std::string text);

    // Settings edited since the last load or save.
    bool configChanged = false;

    // --- timer ------------------------------------------------------------------
    bool timerEnabled() const { return timerEnabled_; }
    void setTimerEnabled(bool enabled);
    int timerPeriodMs() const { return timerPeriodMs_; }
    void setTimerPeriodMs(int periodMs);

    // Depth of copy runs in progress; a tick that arrives while it is above
    // zero must not start a nested run.
    int runDepth = 0;

    // --- input controls, locked during a copy run ----------------------------
    bool inputsEnabled() const { return inputsEnabled_; }
    void setInputsEnabled(bool enabled);

    // --- menus --------------------------------------------------------------
    bool visibleTrueChecked() const { return visibleTrueChecked_; }
    bool visibleFalseChecked() const { return visibleFalseChecked_; }
    bool stopTimerChecked() const { return stopTimerChecked_; }
    bool plainDateCopyChecked() const { return plainDateCopyChecked_; }
    bool dateCopyCompressChecked() const { return dateCopyCompressChecked_; }
    bool copyAtReadOnlyChecked() const { return copyAtReadOnlyChecked_; }
    const std::string& dateCopyTag() const { return dateCopyTag_; }
    const std::string& dateCopyCaption() const { return dateCopyCaption_; }
    // Date-history mode is on exactly when the tag holds the mark.
    bool dateHistoryMode() const { return !dateCopyTag_.empty(); }

    void setVisibleTrueChecked(bool checked);
    void setVisibleFalseChecked(bool checked);
    void setStopTimerChecked(bool checked);
    void setPlainDateCopyChecked(bool checked);
    void setDateCopyCompressChecked(bool checked);
    void setCopyAtReadOnlyChecked(bool checked);
    void setDateCopyTag(std::string tag);
    void setDateCopyCaption(std::string caption);

    // --- main window visibility ---------------------------------------------
    bool windowVisible() const { return windowVisible_; }
    void setWindowVisible(bool visible);

    // --- copy-date dialog ---------------------------------------------------
    // "日付の変更を行わない" ticked: copies keep the dates they were copied with.
    bool keepCopyDates() const { return keepCopyDates_; }
    void setKeepCopyDates(bool keep);
    const std::array<std::string, 6>& textDate() const { return textDate_; }
    const std::string& textDate(int index) const { return textDate_.at(index); }
    void setTextDate(int index, std::string text);
    std::function<void(int index)> onTextDateChange;
    // Fields and their labels.
    bool dateFieldsEnabled() const { return dateFieldsEnabled_; }
    void setDateFieldsEnabled(bool enabled);
    bool formDateVisible() const { return formDateVisible_; }
    void setFormDateVisible(bool visible);
    // Back to the state of a freshly loaded dialog: box ticked, fields empty
    // and disabled, hidden. Raises no field change handler.
    void resetFormDate();

  private:
    void notify(StateField field);

    std::vector<Listener> listeners_;

    std::vector<std::string> listTargets_;
    int listIndex_ = -1;
    std::string textTargetFolder_;
    std::string textSaveAt_;
    std::string textInterval_;
    std::string caption_ = kStatusWaiting;

    bool timerEnabled_ = false;
    int timerPeriodMs_ = kInitialTimerPeriodMs;
    bool inputsEnabled_ = true;

    bool visibleTrueChecked_ = true;
    bool visibleFalseChecked_ = true;
    bool stopTimerChecked_ = true;
    bool plainDateCopyChecked_ = false;
    bool dateCopyCompressChecked_ = false;
    bool copyAtReadOnlyChecked_ = false;
    std::string dateCopyTag_;
    std::string dateCopyCaption_ = kDateCopyCaption;

    bool windowVisible_ = false;

    bool keepCopyDates_ = true;
    std::array<std::string, 6> textDate_{};
    bool dateFieldsEnabled_ = false;
    bool formDateVisible_ = false;
};

} // namespace tolvane
