#include "platform/text_encoding.h"
#include "settings_fixture.h"
#include "state/number_text.h"
#include "support/system.h"

#include <filesystem>

namespace tolvane::settings::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
#ifndef _WIN32
using tolvane::testing::setPermissions;
#endif
using namespace std::string_literals;

const std::string kFullIni = "[Tolvane]\r\n"
                             "TargetFolder=/home/me/staging\r\n"
                             "Interval=60000\r\n"
                             "SaveAt=/backup\r\n"
                             "DateCopy=True\r\n"
                             "DateCopyNomal=False\r\n"
                             "DateCopyCompress=True\r\n"
                             "CopyAtReadOnly=True\r\n";

// --- loading ---------------------------------------------------------------

TEST_F(SettingsTest, LoadFillsTheWindowFromBothFiles) {
    writeFile(p.iniPath(), kFullIni);
    writeFile(p.dataPath(), "/home/me/docs\r\n\r\n  /with blanks  \r\n\r\n/last line without end");
    p.state.addListTarget("/stale entry");
    p.monitor.resume();

    p.settings.load();

    EXPECT_EQ(p.state.listTargets(),
              (Lines{"/home/me/docs", "  /with blanks  ", "/last line without end"}));
    EXPECT_EQ(p.state.textTargetFolder(), "/home/me/staging");
    EXPECT_EQ(p.state.textInterval(), "60000");
    EXPECT_EQ(p.state.textSaveAt(), "/backup");
    EXPECT_EQ(p.state.dateCopyTag(), "●");
    EXPECT_EQ(p.state.dateCopyCaption(), "●日付履歴コピーモード");
    EXPECT_FALSE(p.state.plainDateCopyChecked());
    EXPECT_TRUE(p.state.dateCopyCompressChecked());
    EXPECT_TRUE(p.state.copyAtReadOnlyChecked());
    // The fields' change handlers ran: paused, interval taken, marked changed.
    EXPECT_TRUE(p.state.stopTimerChecked());
    EXPECT_EQ(p.state.monitorInterval, 60000);
    EXPECT_TRUE(p.state.configChanged);
    EXPECT_TRUE(p.shell.messages.empty());
    EXPECT_FALSE(p.shell.ended);
}

TEST_F(SettingsTest, ALoadReadsEachIniFileOnceAndTheNextLoadReadsThemAgain) {
    // DateCopy=True: all seven keys are read.
    writeFile(p.iniPath(), kFullIni);
    writeFile(p.dataPath(), "");
    p.settings.load();
    const std::string common = platform::joinPath(p.folder, "Tolvane.ini");
#ifdef _WIN32
    // One file under both names.
    const Lines once{common};
#else
    const Lines once{common, p.iniPath()};
#endif
    EXPECT_EQ(p.iniReads, once);
    EXPECT_EQ(p.state.textSaveAt(), "/backup");

    writeFile(p.iniPath(), "[Tolvane]\r\nSaveAt=/edited\r\n");
    p.settings.load();
    EXPECT_EQ(p.iniReads.size(), 2 * once.size());
    EXPECT_EQ(p.state.textSaveAt(), "/edited");
    EXPECT_FALSE(p.state.dateHistoryMode());
}

TEST_F(SettingsTest, SwitchesAreOnOnlyForExactlyTrue) {
    writeFile(p.dataPath(), "");
    writeFile(p.iniPath(),
              "[Tolvane]\r\nDateCopy=true\r\nDateCopyNomal=True\r\nCopyAtReadOnly=TRUE\r\n");
    p.state.setCopyAtReadOnlyChecked(true);
    p.settings.load();
    EXPECT_FALSE(p.state.dateHistoryMode());
    EXPECT_FALSE(p.state.plainDateCopyChecked());
    EXPECT_FALSE(p.state.copyAtReadOnlyChecked());

    // Mode off: the variants keep the checks they had.
    p.dateMenu.toggleCompressedDateCopy();
    ASSERT_TRUE(p.state.dateHistoryMode());
    writeFile(p.iniPath(), "[Tolvane]\r\nDateCopy=False\r\nDateCopyCompress=False\r\n");
    p.settings.load();
    EXPECT_FALSE(p.state.dateHistoryMode());
    EXPECT_EQ(p.state.dateCopyCaption(), "日付履歴コピーモード");
    EXPECT_TRUE(p.state.dateCopyCompressChecked());

    // Loading the mode twice leaves one mark.
    writeFile(p.iniPath(), "[Tolvane]\r\nDateCopy=True\r\nDateCopyNomal=True\r\n");
    p.settings.load();
    p.settings.load();
    EXPECT_EQ(p.state.dateCopyCaption(), "●日付履歴コピーモード");
    EXPECT_TRUE(p.state.plainDateCopyChecked());
    EXPECT_FALSE(p.state.dateCopyCompressChecked());
}

TEST_F(SettingsTest, MissingIniLeavesFieldsEmptyAndAnIntervalTextIsTakenAsItStands) {
    writeFile(p.dataPath(), "/a\r\n");
    p.state.setTextSaveAt("/before");
    p.settings.load();
    EXPECT_EQ(p.state.textSaveAt(), "");
    EXPECT_EQ(p.state.textInterval(), "");
    EXPECT_EQ(p.state.listTargets(), Lines{"/a"});

    writeFile(p.iniPath(), "[Tolvane]\r\nInterval=abc\r\n");
    p.settings.load();
    EXPECT_EQ(p.state.textInterval(), "abc");
}

TEST_F(SettingsTest, LoadsFilesWrittenInShiftJis) {
    // "D:\バックアップ" and a list entry "C:\表\データ".
    writeFile(p.iniPath(),
              "[Tolvane]\r\nSaveAt=D:\\\x83\x6F\x83\x62\x83\x4E\x83\x41\x83\x62\x83\x76\r\n");
    writeFile(p.dataPath(), "C:\\\x95\x5C\\\x83\x66\x81\x5B\x83\x5E\r\n");
    p.settings.load();
    EXPECT_EQ(p.state.textSaveAt(), "D:\\バックアップ");
    EXPECT_EQ(p.state.listTargets(), Lines{"C:\\表\\データ"});
}

TEST_F(SettingsTest, JunkFilesLoadWhatTheyCan) {
    std::string junk = "\x00\xFF\xFE binary \x01\x02\r\n"s;
    junk += std::string(200000, '#') + "\r\n";
    junk += "[Tolvane\r\nSaveAt = /still here \r\nno equals sign\r\n";
    junk += "Interval=15\x00"
            "0\r\n"s;
    junk += "[Broken]]]\r\n\x80\x81\x82=\x83\r\n";
    writeFile(p.iniPath(), junk);
    writeFile(p.dataPath(), std::string("/a\0b\r\n\xFF\xFF\r\n", 10) + std::string(100000, 'x'));

    p.settings.load();

    EXPECT_EQ(p.state.textSaveAt(), "/still here");
    EXPECT_EQ(p.state.textInterval(), "15");
    ASSERT_EQ(p.state.listTargets().size(), 3u);
    EXPECT_EQ(p.state.listTargets()[0], std::string("/a\0b", 4));
    EXPECT_TRUE(platform::isValidUtf8(p.state.listTargets()[1]));
    EXPECT_EQ(p.state.listTargets()[2].size(), 100000u);
}

TEST_F(SettingsTest, QuotedValuesLoseOnePairOfQuotes) {
    writeFile(p.dataPath(), "");
    writeFile(p.iniPath(), "[Tolvane]\r\nSaveAt=\"D:\\Backup\"\r\nInterval='60000'\r\n"
                           "DateCopy=\"True\"\r\nDateCopyNomal=True\r\n");
    p.settings.load();
    EXPECT_EQ(p.state.textSaveAt(), "D:\\Backup");
    EXPECT_EQ(p.state.textInterval(), "60000");
    EXPECT_TRUE(p.state.dateHistoryMode());
}

#ifndef _WIN32
TEST_F(SettingsTest, AnIniThatCannotBeReadLoadsAsDefaultsAndTheLoadGoesOn) {
    writeFile(p.dataPath(), "/a\r\n");
    fs::create_directory(p.iniPath());
    p.state.setTextSaveAt("/before");
    p.state.setCopyAtReadOnlyChecked(true);
    p.settings.load();
    EXPECT_EQ(p.state.textSaveAt(), "");
    EXPECT_FALSE(p.state.copyAtReadOnlyChecked());
    EXPECT_EQ(p.state.listTargets(), Lines{"/a"});

    // A pipe of that name neither hangs the load nor stops it.
    fs::remove(p.iniPath());
    tolvane::testing::makeFifo(p.iniPath());
    p.settings.load();
    EXPECT_EQ(p.state.listTargets(), Lines{"/a"});
    EXPECT_TRUE(p.shell.messages.empty());
    EXPECT_FALSE(p.shell.ended);
}
#endif

#ifndef _WIN32
TEST_F(SettingsTest, ADataFileThatIsNoRegularFileOfASaneSizeStopsTheLoad) {
    // A pipe would hang start-up, /dev/zero would exhaust memory.
    tolvane::testing::makeFifo(p.dataPath());
    try {
        p.settings.load();
        FAIL() << "a pipe loaded";
    } catch (const platform::Failure& failure) {
        EXPECT_NE(failure.description().find(p.dataPath()), std::string::npos);
    }
    fs::remove(p.dataPath());
    fs::create_symlink("/dev/zero", p.dataPath());
    EXPECT_THROW(p.settings.load(), platform::Failure);
    fs::remove(p.dataPath());
    writeFile(p.dataPath(), "");
    fs::resize_file(p.dataPath(), platform::kMaxTextFileBytes + 1);
    EXPECT_THROW(p.settings.load(), platform::Failure);
    EXPECT_TRUE(p.state.listTargets().empty());
    EXPECT_TRUE(p.shell.messages.empty());
}
#endif

TEST_F(SettingsTest, TooManyEntriesStopTheLoadWithoutTouchingTheFile) {
    std::string many;
    for (std::size_t i = 0; i <= kMaxListEntries; ++i) {
        many += "/t" + std::to_string(i) + "\r\n";
    }
    writeFile(p.dataPath(), many);
    EXPECT_THROW(p.settings.load(), platform::Failure);
    EXPECT_EQ(readFile(p.dataPath()), many);
}

TEST_F(SettingsTest, FirstStartCreatesAnEmptyDataFileAndEndsAtOnce) {
    try {
        p.settings.load();
        FAIL() << "the load went on without a data file";
    } catch (const ApplicationEnded& end) {
        EXPECT_EQ(end.kind, EndKind::Immediate);
        EXPECT_EQ(end.cause, EndCause::Requested);
    }
    EXPECT_EQ(p.shell.texts(), Lines{missingDataFileText(p.dataPath())});
    EXPECT_EQ(p.shell.messages[0].style, MessageStyle::Ok);
    EXPECT_EQ(readFile(p.dataPath()), "");
    EXPECT_FALSE(fs::exists(p.iniPath()));
}

TEST(SettingsFolder, ADataFileThatCannotBeCreatedIsReportedWithItsReason) {
    TempDir dir;
    Program p(dir / "no-such-folder");
    try {
        p.settings.load();
        FAIL() << "the load went on";
    } catch (const ApplicationEnded& end) {
        EXPECT_EQ(end.kind, EndKind::Immediate);
        EXPECT_EQ(end.cause, EndCause::Failure);
    }
    const std::string data = p.dataPath();
    EXPECT_EQ(
        p.shell.texts(),
        (Lines{
            missingDataFileText(data),
            "データファイルを作成できません\r\nDataFile=" + data + "\r\n" +
                std::to_string(tolvane::testing::kFolderNotFound) + ":" +
                platform::Failure::about(tolvane::testing::kFolderNotFound, data).description()}));
}

// --- saving ------------------------------------------------------------------

TEST_F(SettingsTest, SaveWritesSevenKeysInOrderAndTheListWithCrLf) {
    writeFile(p.dataPath(), "/old\r\n");
    p.monitor.resume();
    p.state.setTextTargetFolder(" /staging ");
    p.state.setTextInterval("abc");
    p.state.setTextSaveAt("/backup");
    p.dateMenu.togglePlainDateCopy();
    p.state.addListTarget("/one");
    p.state.addListTarget("  /two with blanks ");
    p.state.addListTarget("/データ");
    p.monitor.resume();
    ASSERT_TRUE(p.state.configChanged);

    p.settings.save();

    EXPECT_EQ(readFile(p.iniPath()), "[Tolvane]\r\n"
                                     "TargetFolder= /staging \r\n"
                                     "Interval=abc\r\n"
                                     "SaveAt=/backup\r\n"
                                     "DateCopy=True\r\n"
                                     "DateCopyNomal=True\r\n"
                                     "DateCopyCompress=False\r\n"
                                     "CopyAtReadOnly=False\r\n");
    EXPECT_EQ(readFile(p.dataPath()), "/one\r\n  /two with blanks \r\n/データ\r\n");
    EXPECT_EQ(p.shell.texts(), Lines{kSaved});
    EXPECT_FALSE(p.state.configChanged);
    // Saving leaves monitoring alone.
    EXPECT_FALSE(p.state.stopTimerChecked());
    EXPECT_TRUE(p.state.timerEnabled());
    EXPECT_EQ(namesIn(p.folder), (Lines{"Tolvane.Ini", "Tolvane.dat"}));

    // And it all comes back.
    Program again(p.folder);
    again.settings.load();
    EXPECT_EQ(again.state.listTargets(), p.state.listTargets());
    EXPECT_EQ(again.state.textInterval(), "abc");
    EXPECT_EQ(again.state.textSaveAt(), "/backup");
    EXPECT_TRUE(again.state.plainDateCopyChecked());
    EXPECT_TRUE(again.state.dateHistoryMode());
    // Blanks around an INI value do not survive; in the list they do.
    EXPECT_EQ(again.state.textTargetFolder(), "/staging");
}

TEST_F(SettingsTest, SaveKeepsTheRestOfTheIniAndRewritesShiftJisAsUtf8) {
    writeFile(
        p.iniPath(),
        "; \x90\xdd\x92\xe8\r\n[Tolvane]\r\nsaveat=/old\r\nCustom=kept\r\n\r\n[Other]\r\nA=1\r\n");
    writeFile(p.dataPath(), "/old\r\n");
    p.settings.save();
    EXPECT_EQ(readFile(p.iniPath()), "; 設定\r\n[Tolvane]\r\nsaveat=\r\nCustom=kept\r\n"
                                     "TargetFolder=\r\nInterval=\r\nDateCopy=False\r\n"
                                     "DateCopyNomal=False\r\nDateCopyCompress=False\r\n"
                                     "CopyAtReadOnly=False\r\n\r\n[Other]\r\nA=1\r\n");
    // An empty list leaves an empty file.
    EXPECT_EQ(readFile(p.dataPath()), "");
}

TEST_F(SettingsTest, SaveWithTheDataFileDeletedWritesTheKeysCreatesTheFileAndEnds) {
    writeFile(p.dataPath(), "/old\r\n");
    p.state.setTextSaveAt("/backup");
    p.state.addListTarget("/lost");
    fs::remove(p.dataPath());
    try {
        p.settings.save();
        FAIL() << "the save went on";
    } catch (const ApplicationEnded& end) {
        EXPECT_EQ(end.kind, EndKind::Immediate);
        EXPECT_EQ(end.cause, EndCause::Requested);
    }
    EXPECT_NE(readFile(p.iniPath()).find("SaveAt=/backup\r\n"), std::string::npos);
    EXPECT_EQ(readFile(p.dataPath()), "");
    EXPECT_EQ(p.shell.texts(), Lines{missingDataFileText(p.dataPath())});
    EXPECT_TRUE(p.state.configChanged);
}

#ifndef _WIN32
TEST_F(SettingsTest, SaveInAFolderThatTakesNoNewFilesWritesBothFilesInPlace) {
    writeFile(p.iniPath(), "[Tolvane]\r\nSaveAt=/old\r\n");
    writeFile(p.dataPath(), "/old\r\n");
    setPermissions(p.dataPath(), 0640);
    tolvane::testing::ClosedFolder closed(p.folder);
    if (!closed.closed()) {
        GTEST_SKIP() << "this file system cannot close a folder to new entries";
    }
    p.state.setTextSaveAt("/a destination longer than before");
    p.state.addListTarget("/one");
    p.state.addListTarget("/two");
    p.settings.save();
    EXPECT_EQ(p.shell.texts(), Lines{kSaved});
    EXPECT_EQ(readFile(p.iniPath()), "[Tolvane]\r\n"
                                     "SaveAt=/a destination longer than before\r\n"
                                     "TargetFolder=\r\n"
                                     "Interval=\r\n"
                                     "DateCopy=False\r\n"
                                     "DateCopyNomal=False\r\n"
                                     "DateCopyCompress=False\r\n"
                                     "CopyAtReadOnly=False\r\n");
    EXPECT_EQ(readFile(p.dataPath()), "/one\r\n/two\r\n");

    // Shorter content cuts the files to their new length.
    p.state.setTextSaveAt("/s");
    p.state.removeListTarget(0);
    p.settings.save();
    EXPECT_EQ(readFile(p.dataPath()), "/two\r\n");
    EXPECT_TRUE(readFile(p.iniPath()).starts_with("[Tolvane]\r\nSaveAt=/s\r\nTargetFolder=\r\n"));
    EXPECT_TRUE(readFile(p.iniPath()).ends_with("CopyAtReadOnly=False\r\n"));
    EXPECT_EQ(tolvane::testing::permissionsOf(p.dataPath()), 0640u);
    EXPECT_EQ(namesIn(p.folder), (Lines{"Tolvane.Ini", "Tolvane.dat"}));
}
#endif

#ifndef _WIN32
TEST_F(SettingsTest, SaveRemovesOnlyTheStaleTemporariesOfKilledSaves) {
    writeFile(p.dataPath(), "");
    const std::string ended = ".tolvane-" + std::to_string(tolvane::testing::endedProcessId());
    const std::string live = ".tolvane-" + std::to_string(::getppid()) + "-7.tmp";
    writeFile(p.folder + "/" + ended + "-0.tmp", "[Tolvane]\r\nSaveAt=/half");
    writeFile(p.folder + "/" + ended + "-1.tmp", "/half\r\n");
    writeFile(p.folder + "/" + live, "a live writer's");
    writeFile(p.folder + "/notes.tmp", "the user's");
    p.settings.save();
    EXPECT_EQ(p.shell.texts(), Lines{kSaved});
    EXPECT_EQ(namesIn(p.folder), (Lines{live, "Tolvane.Ini", "Tolvane.dat", "notes.tmp"}));
}
#endif

// Every refused save: the message with number and reason, monitoring paused,
// configChanged kept, and both files exactly as they were.
class RefusedSave : public SettingsTest {
  protected:
    void SetUp() override {
        writeFile(p.iniPath(), kFullIni);
        writeFile(p.dataPath(), "/old\r\n");
        p.settings.load();
        p.monitor.resume();
        p.state.setTextSaveAt("/changed");
        p.state.addListTarget("/new");
        p.monitor.resume();
    }

    void expectRefused(int number) {
        p.settings.save();
        ASSERT_EQ(p.shell.messages.size(), 1u);
        EXPECT_TRUE(
            p.shell.messages[0].text.starts_with(kSaveFailed + std::to_string(number) + ":"))
            << p.shell.messages[0].text;
        EXPECT_TRUE(p.state.stopTimerChecked());
        EXPECT_FALSE(p.state.timerEnabled());
        EXPECT_EQ(p.state.statusCaption, kStatusPaused);
        EXPECT_TRUE(p.state.configChanged);
        EXPECT_FALSE(p.shell.ended);
    }

    void expectFilesUntouched() {
        EXPECT_EQ(readFile(p.iniPath()), kFullIni);
        EXPECT_EQ(readFile(p.dataPath()), "/old\r\n");
        EXPECT_EQ(namesIn(p.folder), (Lines{"Tolvane.Ini", "Tolvane.dat"}));
    }
};

TEST_F(RefusedSave, AReadOnlyIniFileIsReportedNotPassedOffAsSaved) {
    fs::permissions(p.iniPath(), fs::perms::owner_read | fs::perms::group_read);
    expectRefused(tolvane::testing::kAccessDenied);
    expectFilesUntouched();
}

TEST_F(RefusedSave, AnIniPathThatIsAFolder) {
    fs::remove(p.iniPath());
    fs::create_directory(p.iniPath());
    expectRefused(tolvane::testing::kIsAFolder);
    EXPECT_TRUE(fs::is_directory(p.iniPath()));
    EXPECT_EQ(readFile(p.dataPath()), "/old\r\n");
}

TEST_F(RefusedSave, ADataFileThatCannotBeReplacedLeavesTheIniAsItWas) {
    fs::remove(p.dataPath());
    fs::create_directory(p.dataPath());
    expectRefused(tolvane::testing::kIsAFolder);
    EXPECT_EQ(readFile(p.iniPath()), kFullIni);
    EXPECT_EQ(namesIn(p.folder), (Lines{"Tolvane.Ini", "Tolvane.dat"}));
}

#ifndef _WIN32
TEST_F(RefusedSave, NoRoomInAFolderThatTakesNoNewFilesLeavesBothFilesAsTheyWere) {
    tolvane::testing::ClosedFolder closed(p.folder);
    if (!closed.closed()) {
        GTEST_SKIP() << "this file system cannot close a folder to new entries";
    }
    // The keys fit in place, the list does not.
    p.state.addListTarget("/" + std::string(4000, 'x'));
    tolvane::testing::FileSizeLimit limit(1000);
    expectRefused(EFBIG);
    expectFilesUntouched();
}
#endif

#ifndef _WIN32
TEST_F(RefusedSave, WhatALinkNamesIsReplacedOnlyWhenItIsARegularFile) {
    // Through a link to a device, a save would replace the device itself.
    fs::remove(p.dataPath());
    tolvane::testing::makeFifo(p.folder + "/pipe");
    fs::create_symlink(p.folder + "/pipe", p.dataPath());
    expectRefused(EINVAL);
    EXPECT_TRUE(fs::is_fifo(p.folder + "/pipe"));
    EXPECT_EQ(readFile(p.iniPath()), kFullIni);
    EXPECT_EQ(namesIn(p.folder), (Lines{"Tolvane.Ini", "Tolvane.dat", "pipe"}));
}
#endif

TEST_F(RefusedSave, AnEntryWithALineBreakWouldComeBackAsTwo) {
    p.state.addListTarget("/odd\nname");
    expectRefused(tolvane::testing::kInvalidArgument);
    expectFilesUntouched();
}

TEST_F(RefusedSave, AValueTheNextLoadWouldCutIsNotWritten) {
    // Read back cut at 255 characters, this destination would send the next
    // runs to another folder.
    p.state.setTextSaveAt("/" + std::string(255, 'd'));
    expectRefused(platform::Failure::valueTooLarge({}).number());
    EXPECT_NE(p.shell.messages[0].text.find("SaveAt, " + p.iniPath()), std::string::npos);
    expectFilesUntouched();

    // What the reader drops anyway does not count; 255 characters (not
    // bytes) come back whole.
    std::string longest = "/";
    for (int i = 0; i < 254; ++i) {
        longest += "フ";
    }
    p.shell.messages.clear();
    p.state.setTextSaveAt(longest);
    p.state.setTextTargetFolder("\"" + std::string(255, 't') + "\"");
    p.settings.save();
    EXPECT_EQ(p.shell.texts(), Lines{kSaved});
    Program again(p.folder);
    again.settings.load();
    EXPECT_EQ(again.state.textSaveAt(), longest);
    EXPECT_EQ(again.state.textTargetFolder(), std::string(255, 't'));
}

TEST_F(RefusedSave, AValueWithALineBreakWouldPlantAKey) {
    p.state.setTextTargetFolder("/x\r\n[Tolvane]\r\nSaveAt=/elsewhere");
    expectRefused(tolvane::testing::kInvalidArgument);
    expectFilesUntouched();
}

} // namespace
} // namespace tolvane::settings::testing
