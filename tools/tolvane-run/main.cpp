// tolvane-run: one copy run without a window, for scripts and benchmarks.

#include "console_shell.h"
#include "engine/mirror_engine.h"
#include "history/archive_step.h"
#include "history/date_copy_menu.h"
#include "monitor/monitor.h"
#include "platform/failure.h"
#include "run_options.h"
#include "settings/module_ini.h"
#include "settings/settings_file.h"
#include "state/form_state.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kExitReturned = 0;
constexpr int kExitBadArguments = 2;
constexpr int kExitEnded = 10;
constexpr int kExitEndedImmediately = 11;

void applyStamp(const tolvane::run::RunOptions& options, tolvane::FormState& state) {
    if (options.stamp) {
        state.setCheckKakunin(0);
        for (int index = 0; index < 6; ++index) {
            state.setTextDate(index, (*options.stamp)[static_cast<std::size_t>(index)]);
        }
    }
}

// Puts the options where the window would hold them.
void fillState(const tolvane::run::RunOptions& options, tolvane::FormState& state) {
    for (const std::string& target : options.targets) {
        if (!state.addListTarget(target)) {
            break;
        }
    }
    // Monitoring runs, as in the program after start-up; editing the
    // destination pauses it, as the window does.
    state.setStopTimerChecked(false);
    state.setTextSaveAt(options.saveAt);
    state.onTextSaveAtChange = [&state] {
        state.setStopTimerChecked(true);
        state.configChanged = true;
    };
    if (options.dateCopy) {
        state.setDateCopyTag(tolvane::kDateCopyMark);
        state.setDateCopyCaption(std::string(tolvane::kDateCopyMark) + tolvane::kDateCopyCaption);
        state.setDateCopyNomalChecked(!options.compress);
    }
    state.setDateCopyCompressChecked(options.compress);
    state.setCopyAtReadOnlyChecked(options.readOnly);
    applyStamp(options, state);
}

// Loads the settings files as start-up does, as if the executable were
// <folder>/Tolvane; then the options given override single values.
void loadSettings(const tolvane::run::RunOptions& options, tolvane::FormState& state,
                  tolvane::Shell& shell, tolvane::monitor::Monitor& monitor,
                  tolvane::history::DateCopyMenu& menu) {
    std::string folder = *options.settingsFolder;
    while (folder.size() > 1 && folder.ends_with('/')) {
        folder.pop_back();
    }
    tolvane::settings::ModuleINI ini(folder);
    tolvane::settings::SettingsFile settings(state, shell, monitor, menu, ini, folder, "Tolvane");
    state.onTextIntervalChange = [&monitor] { monitor.TextInterval_Change(); };
    state.onTextSaveAtChange = [&monitor, &state] {
        monitor.StopTimer_Click();
        state.configChanged = true;
    };
    settings.LoadConfig_Click();

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
        menu.setDateCopyMark();
        if (!state.dateCopyNomalChecked() && !state.dateCopyCompressChecked()) {
            state.setDateCopyNomalChecked(!options.compress);
        }
    }
    if (options.compress) {
        state.setDateCopyCompressChecked(true);
        state.setDateCopyNomalChecked(false);
    }
    if (options.readOnly) {
        state.setCopyAtReadOnlyChecked(true);
    }
    applyStamp(options, state);
    // Monitoring runs, as in the program after start-up.
    state.configChanged = false;
    monitor.ReleaseTimer_Click();
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    const auto options = tolvane::run::parseArguments(arguments, error);
    if (!options) {
        std::cerr << "tolvane-run: " << error << "\n" << tolvane::run::kUsage;
        return kExitBadArguments;
    }

    tolvane::FormState state;
    tolvane::run::ConsoleShell shell(std::cout);
    if (!options->settingsFolder) {
        fillState(*options, state);
    }
    tolvane::engine::MirrorEngine engine(state, shell);
    tolvane::history::DateCopyMenu menu(state, shell);
    tolvane::history::ArchiveStep archiveStep(
        state, shell, menu, [&engine](const std::string& path) { engine.finishCopiedFile(path); });
    engine.compressPastDateFolders = [&archiveStep] { archiveStep.compressPastDateFolders(); };
    tolvane::monitor::Monitor monitor(state, [&engine] { engine.CopyExec(); });

    try {
        if (options->settingsFolder) {
            loadSettings(*options, state, shell, monitor, menu);
        }
        engine.CopyExec();
    } catch (const tolvane::run::ProgramEnded& ended) {
        return ended.kind == tolvane::EndKind::Immediate ? kExitEndedImmediately : kExitEnded;
    } catch (const tolvane::platform::Failure& failure) {
        // What the window does with a failure nobody caught: say it, then end.
        shell.message("Error " + std::to_string(failure.number()) + "\r\n" + failure.description(),
                      tolvane::MessageStyle::Ok);
        return kExitEnded;
    }
    std::cout << "CAPTION: " << state.caption() << "\n";
    return kExitReturned;
}
