#include "settings/settings_file.h"

#include "platform/failure.h"
#include "platform/paths.h"
#include "platform/private_profile.h"
#include "platform/text_file.h"

#include <utility>

namespace tolvane::settings {

namespace {

constexpr const char* kSection = "Tolvane";

constexpr const char* kTrue = "True";
constexpr const char* kFalse = "False";

const char* switchText(bool on) {
    return on ? kTrue : kFalse;
}

std::string missingDataFileMessage(const std::string& path) {
    return "データファイルがありません\r\nDataFile=" + path + "\r\n新規に作成します";
}

// A value the next load would read cut would send the next runs elsewhere
// without a word: such a save is refused as a whole. (Blanks and quotes
// around a value go as they always have.)
void checkNotCutOnReading(const platform::PrivateProfile& profile, const std::string& key) {
    const std::string stored = profile.value(kSection, key).value_or("");
    if (ModuleINI::valueReadBack(profile, kSection, key) != stored) {
        throw platform::Failure::valueTooLarge("値が長すぎます (上限 " +
                                               std::to_string(ModuleINI::kValueCharacters) +
                                               " 文字): " + key + ", " + profile.path());
    }
}

std::string failureText(const platform::Failure& failure) {
    return std::to_string(failure.number()) + ":" + failure.description();
}

} // namespace

SettingsFile::SettingsFile(FormState& state, Shell& shell, monitor::Monitor& monitor,
                           history::DateCopyMenu& dateMenu, ModuleINI& ini,
                           std::string settingsFolder, std::string executableBaseName)
    : state_(state), shell_(shell), monitor_(monitor), dateMenu_(dateMenu), ini_(ini),
      settingsFolder_(std::move(settingsFolder)),
      executableBaseName_(std::move(executableBaseName)) {}

std::string iniFileName(const std::string& executableBaseName) {
    return executableBaseName + ".Ini";
}

std::string dataFileName() {
    return std::string(kApplicationTitle) + ".dat";
}

std::string SettingsFile::iniFilePath() const {
    return platform::joinPath(settingsFolder_, iniFileName(executableBaseName_));
}

std::string SettingsFile::dataFilePath() const {
    return platform::joinPath(settingsFolder_, dataFileName());
}

void SettingsFile::clearConfig() {
    state_.clearListTargets();
    state_.setTextTargetFolder("");
    state_.setTextSaveAt("");
    state_.setTextInterval("");
}

void SettingsFile::load() {
    clearConfig();
    // The keys below come from one reading of each file, however large.
    ModuleINI::ReadOnce readOnce(ini_);
    ini_.getCommonIniFileName();
    ini_.setIniFileName(iniFilePath());

    auto isOn = [this](const char* key) { return ini_.readIniValue(kSection, key) == kTrue; };
    // These assignments raise the fields' change handlers: monitoring pauses
    // and the new interval is taken.
    state_.setTextTargetFolder(ini_.readIniValue(kSection, "TargetFolder"));
    state_.setTextInterval(ini_.readIniValue(kSection, "Interval"));
    state_.setTextSaveAt(ini_.readIniValue(kSection, "SaveAt"));
    if (isOn("DateCopy")) {
        dateMenu_.setDateCopyMark();
        state_.setPlainDateCopyChecked(isOn("DateCopyNomal"));
        state_.setDateCopyCompressChecked(isOn("DateCopyCompress"));
    } else {
        // The two variants keep their checks.
        dateMenu_.clearDateCopyMark();
    }
    state_.setCopyAtReadOnlyChecked(isOn("CopyAtReadOnly"));

    const std::string data = dataFilePath();
    if (!platform::existsAt(data)) {
        shell_.message(missingDataFileMessage(data), MessageStyle::Ok);
        createMissingDataFile(data);
        return;
    }
    for (auto& line : platform::readTextLines(data)) {
        if (line.empty()) {
            continue;
        }
        // Loading part of the list would lose the rest at the next save.
        if (!state_.addListTarget(std::move(line))) {
            throw platform::Failure::valueTooLarge("more than " + std::to_string(kMaxListEntries) +
                                                   " targets: " + data);
        }
    }
}

void SettingsFile::createMissingDataFile(const std::string& path) {
    EndCause cause = EndCause::Requested;
    try {
        platform::createEmptyFile(path);
    } catch (const platform::Failure& failure) {
        // A folder the program may not write to: say why, then end as the
        // first start does.
        shell_.message("データファイルを作成できません\r\nDataFile=" + path + "\r\n" +
                           failureText(failure),
                       MessageStyle::Ok);
        cause = EndCause::Failure;
    }
    shell_.endApplication(EndKind::Immediate, cause);
}

void SettingsFile::save() {
    const std::string data = dataFilePath();
    bool dataFileMissing = false;
    try {
        ini_.setIniFileName(iniFilePath());
        // All seven keys go into the file in one write.
        auto profile = platform::PrivateProfile::load(ini_.iniFileName());
        const std::pair<const char*, std::string> keys[] = {
            {"TargetFolder", state_.textTargetFolder()},
            {"Interval", state_.textInterval()},
            {"SaveAt", state_.textSaveAt()},
            {"DateCopy", switchText(state_.dateCopyTag() == kDateCopyMark)},
            {"DateCopyNomal", switchText(state_.plainDateCopyChecked())},
            {"DateCopyCompress", switchText(state_.dateCopyCompressChecked())},
            {"CopyAtReadOnly", switchText(state_.copyAtReadOnlyChecked())},
        };
        for (const auto& [key, value] : keys) {
            profile.set(kSection, key, value);
            checkNotCutOnReading(profile, key);
        }
        platform::PendingFile iniFile(profile.path(), profile.text());

        if (!platform::existsAt(data)) {
            // The keys are written, the list is not.
            iniFile.commit();
            dataFileMissing = true;
        } else {
            std::string lines;
            for (const auto& entry : state_.listTargets()) {
                if (entry.find_first_of("\r\n") != std::string::npos) {
                    // It would come back as two entries.
                    throw platform::Failure::invalidArgument("a line break in the target " + entry);
                }
                lines += entry;
                lines += "\r\n";
            }
            // Both files are complete on disk before either replaces its old
            // version.
            platform::PendingFile dataFile(data, lines);
            dataFile.commit();
            iniFile.commit();
        }
    } catch (const platform::Failure& failure) {
        shell_.message("[設定の保存]：対象の監視を中止します\r\n" + failureText(failure),
                       MessageStyle::Ok);
        monitor_.pause();
        return;
    }
    if (dataFileMissing) {
        shell_.message(missingDataFileMessage(data), MessageStyle::Ok);
        createMissingDataFile(data);
        return;
    }
    state_.configChanged = false;
    shell_.message("設定を保存しました。", MessageStyle::Ok);
}

} // namespace tolvane::settings
