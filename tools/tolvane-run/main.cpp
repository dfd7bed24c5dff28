// tolvane-run: one copy run without a window, for scripts and benchmarks.

#include "console_shell.h"
#include "engine/mirror_engine.h"
#include "history/archive_step.h"
#include "history/date_copy_menu.h"
#include "platform/failure.h"
#include "run_options.h"
#include "state/form_state.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kExitReturned = 0;
constexpr int kExitBadArguments = 2;
constexpr int kExitEnded = 10;
constexpr int kExitEndedImmediately = 11;

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
    if (options.stamp) {
        state.setCheckKakunin(0);
        for (int index = 0; index < 6; ++index) {
            state.setTextDate(index, (*options.stamp)[static_cast<std::size_t>(index)]);
        }
    }
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
    fillState(*options, state);
    tolvane::engine::MirrorEngine engine(state, shell);
    tolvane::history::DateCopyMenu menu(state, shell);
    tolvane::history::ArchiveStep archiveStep(
        state, shell, menu, [&engine](const std::string& path) { engine.finishCopiedFile(path); });
    engine.compressPastDateFolders = [&archiveStep] { archiveStep.compressPastDateFolders(); };

    try {
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
