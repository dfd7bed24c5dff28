// tolvane-run: one copy run without a window, for scripts and benchmarks.

#include "console_shell.h"
#include "platform/console.h"
#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/termination_signal.h"
#include "run_options.h"
#include "settings/lifecycle.h"
#include "state/form_state.h"
#include "window/file_dialog.h"
#include "window/form_tolvane.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kExitReturned = 0;
constexpr int kExitBadArguments = 2;
// Some items could not be backed up; the run went on with the rest.
constexpr int kExitRunWithFailures = 3;
// No run, or a run stopped: no destination, one that cannot be secured, or a
// copy onto its own source.
constexpr int kExitRunStopped = 4;
constexpr int kExitEnded = 10;
constexpr int kExitEndedImmediately = 11;
constexpr int kExitTerminated = 12;

// Nothing to browse without a display.
class NoFileDialog : public tolvane::window::FileDialog {
  public:
    std::string showOpen(const std::string&, const std::string&) override { return {}; }
    std::string showSave(const std::string&, const std::string&) override { return {}; }
};

// There is no window to hide and no icon to show.
class NoWindowHooks : public tolvane::settings::WindowHooks {
  public:
    void hideWindow() override {}
    void setTrayIcon(bool) override {}
};

// Puts the options where the window's controls would put them; options not
// given leave what the settings files said.
void applyOptions(const tolvane::run::RunOptions& options, tolvane::window::FormTolvane& form) {
    tolvane::FormState& state = form.state();
    if (!options.targets.empty()) {
        state.clearListTargets();
        for (const std::string& target : options.targets) {
            if (!state.addListTarget(target)) {
                break;
            }
        }
    }
    if (options.saveAtGiven) {
        state.setTextSaveAt(options.saveAt);
    }
    if (options.dateCopy) {
        form.dateCopyMenu().setDateCopyMark();
        if (!state.plainDateCopyChecked() && !state.dateCopyCompressChecked()) {
            state.setPlainDateCopyChecked(!options.compress);
        }
    }
    if (options.compress) {
        state.setDateCopyCompressChecked(true);
        state.setPlainDateCopyChecked(false);
    }
    if (options.readOnly) {
        state.setCopyAtReadOnlyChecked(true);
    }
    if (options.stamp) {
        state.setKeepCopyDates(false);
        form.copyDateDialog().applyKeepDatesBox();
        for (int index = 0; index < 6; ++index) {
            state.setTextDate(index, (*options.stamp)[static_cast<std::size_t>(index)]);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    tolvane::platform::useBinaryOutput();
    const std::vector<std::string> arguments = tolvane::platform::commandLineArguments(argc, argv);
    std::string error;
    const auto options = tolvane::run::parseArguments(arguments, error);
    if (!options) {
        std::cerr << "tolvane-run: " << error << "\n" << tolvane::run::kUsage;
        return kExitBadArguments;
    }

    tolvane::run::ConsoleShell shell(std::cout);
    NoWindowHooks hooks;
    NoFileDialog fileDialog;
    // With --settings, the files are read as if the executable were
    // <folder>/Tolvane.
    const std::string folder =
        options->settingsFolder
            ? tolvane::platform::removeTrailingSeparators(*options->settingsFolder)
            : std::string();
    tolvane::window::FormTolvane form(shell, hooks, fileDialog, folder, "Tolvane");

    try {
        // A termination signal ends the run before its next file; the pipe
        // the desktop program listens to is not needed here.
        tolvane::platform::watchTerminationSignals();
        if (options->settingsFolder) {
            form.settingsFile().load();
        }
        applyOptions(*options, form);
        // Monitoring runs, as in the program after start-up.
        form.state().configChanged = false;
        form.monitor().resume();
        form.engine().runCopy();
    } catch (const tolvane::run::ProgramEnded& ended) {
        if (ended.terminated) {
            return kExitTerminated;
        }
        return ended.kind == tolvane::EndKind::Immediate ? kExitEndedImmediately : kExitEnded;
    } catch (const tolvane::platform::Failure& failure) {
        // What the window does with a failure nobody caught: say it, then end.
        shell.message("Error " + std::to_string(failure.number()) + "\r\n" + failure.description(),
                      tolvane::MessageStyle::Ok);
        return kExitEnded;
    }
    std::cout << "CAPTION: " << form.state().caption() << "\n";
    using Outcome = tolvane::engine::MirrorEngine::RunOutcome;
    switch (form.engine().lastRunOutcome()) {
    case Outcome::Completed:
        return kExitReturned;
    case Outcome::WithFailures:
        return kExitRunWithFailures;
    case Outcome::NotStarted:
    case Outcome::Stopped:
        break;
    }
    return kExitRunStopped;
}
