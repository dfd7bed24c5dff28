#include "history/archive_step.h"

#include "engine/messages.h"
#include "engine/run_report.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <chrono>
#include <utility>
#include <vector>

namespace tolvane::history {

namespace {

std::string joinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : engine::text::kLineBreak) + line;
    }
    return text;
}

// The two fixed lines; where the system refused something, the folder, the
// archive, the path the failure is about and the cause follow on lines of
// their own, as in the run's failure messages.
std::string archiverErrorText(int code, const lha::PackFailure& failure, const std::string& folder,
                              const std::string& archive) {
    engine::ItemFailure item;
    item.heading = {"LHA ディリクトリ付圧縮エラー",
                    "Unlha32.dllエラーコード：" + std::to_string(code)};
    if (!failure.system) {
        return joinLines(item.heading);
    }
    item.paths = {engine::text::kFolderLine + folder, engine::text::kFileNameLine + archive};
    const std::string& path = failure.path;
    if (code == lha::kErrorCannotReadSource) {
        item.side = engine::FailedSide::Source;
        if (!path.empty() && !platform::samePath(path, folder)) {
            item.paths.push_back(engine::text::kSourceLine + path);
        }
    } else {
        item.side = engine::sideOf(path, folder, archive);
    }
    item.cause = failure.system->cause();
    item.systemText = failure.system->description();
    return joinLines(engine::itemLines(item));
}

// The archive is complete, so the folder stays until the user removes it; the
// archive's existence keeps later runs from packing what is left over it.
std::string removalFailureText(const std::string& folder, const std::string& reason) {
    return "圧縮後のフォルダの削除に失敗しました。\r\nフォルダ名：" + folder + "\r\n" + reason;
}

// The archiver takes a double quote as a grouping mark and drops it, so such
// a path would reach it as a different path.
std::string quoteInPathText(const std::string& folder) {
    return "パスに「\"」が含まれているため圧縮できません。\r\nフォルダ名：" + folder;
}

std::string missingArchiveText(const std::string& archive) {
    return "圧縮ファイルが作成されていないため、フォルダを削除しませんでした。\r\n"
           "ファイル名：" +
           archive;
}

// How long the wait for the packing thread sleeps between serving events.
constexpr std::chrono::milliseconds kPollInterval{10};

} // namespace

ArchiveStep::Calls ArchiveStep::realCalls() {
    return Calls{unlhaRunning, callUnlha, platform::removeTree};
}

ArchiveStep::ArchiveStep(FormState& state, Shell& shell, DateCopyMenu& menu,
                         std::function<void(const std::string&)> finishCopiedFile,
                         std::function<platform::LocalDate()> today)
    : state_(state), shell_(shell), menu_(menu), finishCopiedFile_(std::move(finishCopiedFile)),
      today_(std::move(today)), calls_(realCalls()) {}

void ArchiveStep::compressPastDateFolders() {
    // A run started while events are served during packing: the folder is
    // the running step's, and so is the temporary archive beside it.
    if (packing_ != nullptr) {
        outcome_ = "別の実行が圧縮中です";
        return;
    }
    outcome_ = "圧縮ライブラリがありません";
    menu_.warnIfArchiverMissing();
    // Without an archiver there is nothing to wait for or call; the folder
    // stays for a later run.
    if (!menu_.archiverAvailable()) {
        return;
    }

    const platform::LocalDate yesterday = platform::addDays(today_(), -1);
    const std::string folder = platform::joinPath(platform::readTypedPath(state_.textSaveAt()),
                                                  platform::dayFolderName(yesterday));
    if (!platform::folderExists(folder)) {
        outcome_ = "圧縮する前日のフォルダはありません：" + folder;
        return;
    }
    const std::string archive = folder + ".lzh";
    if (platform::fileExists(archive)) {
        outcome_ = "圧縮済みです：" + archive;
        return;
    }
    // Every message below is also the step's outcome.
    const auto report = [this](const std::string& text) {
        outcome_ = text;
        shell_.message(text, MessageStyle::Ok);
    };

    if (folder.find('"') != std::string::npos) {
        report(quoteInPathText(folder));
        return;
    }

    while (calls_.archiverBusy()) {
        shell_.serveEvents();
    }

    const std::string commandLine =
        "a -x1 -r2 " + quoteLhaPath(archive) + " " + quoteLhaPath(folder);
    lha::PackFailure failure;
    const int result = archiveServingEvents(commandLine, failure);
    if (result != 0) {
        report(archiverErrorText(result, failure, folder, archive));
        return;
    }

    // The folder goes only when its archive really stands where it belongs; a
    // success without one would otherwise lose the day's copies.
    if (!platform::fileExists(archive)) {
        report(missingArchiveText(archive));
        return;
    }

    finishCopiedFile_(archive);
    outcome_ = "圧縮しました：" + archive;
    try {
        calls_.removeFolder(folder);
    } catch (const platform::Failure& failure) {
        report(removalFailureText(folder, failure.description()));
    }
}

int ArchiveStep::archiveServingEvents(const std::string& commandLine, lha::PackFailure& failure) {
    lha::PackProgress progress;
    std::future<int> packing =
        std::async(std::launch::async, [this, &commandLine, &progress, &failure] {
            return calls_.archive(commandLine, progress, failure);
        });

    // However this frame is left (an end of the program served meanwhile
    // may throw through it), the packing is stopped and waited for first:
    // it uses `progress` and removes its own temporary file.
    struct Leave {
        ArchiveStep& step;
        ~Leave() {
            step.stopArchiving();
            step.progress_ = nullptr;
            step.packing_ = nullptr;
            if (step.progressView_ != nullptr) {
                step.progressView_->close();
            }
        }
    };
    progress_ = &progress;
    packing_ = &packing;
    const Leave leave{*this};
    if (progressView_ != nullptr) {
        progressView_->open(progress);
    }
    while (packing.wait_for(kPollInterval) != std::future_status::ready) {
        shell_.endIfSessionEnding();
        shell_.serveEvents();
    }
    return packing.get();
}

void ArchiveStep::stopArchiving() {
    if (packing_ == nullptr || !packing_->valid()) {
        return;
    }
    progress_->cancel = true;
    packing_->wait();
}

} // namespace tolvane::history
