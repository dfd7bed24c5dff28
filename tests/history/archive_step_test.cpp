#include "history/archive_step.h"
#include "lha/errors.h"
#include "platform/failure.h"
#include "platform/paths.h"
#include "support/fake_shell.h"
#include "support/files.h"
#include "support/temp_dir.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace tolvane::history {
namespace {

namespace fs = std::filesystem;
using testing::FakeShell;
using testing::namesIn;
using testing::readFile;
#ifndef _WIN32
using testing::shellQuoted;
#endif
using testing::TempDir;
using testing::writeFile;

const std::string kErrorPrefix = "LHA ディリクトリ付圧縮エラー\r\nUnlha32.dllエラーコード：";

// The step wired to the real archiver and folder removal, recording what it
// passes on.
struct Rig {
    FormState state;
    FakeShell shell;
    bool archiverPresent = true;
    DateCopyMenu menu{state, shell, [this] { return archiverPresent; }};
    platform::LocalDate today{2024, 3, 1};
    std::vector<std::string> finished;
    std::vector<std::string> commandLines;
    ArchiveStep step{state, shell, menu, [this](const std::string& p) { finished.push_back(p); },
                     [this] { return today; }};

    explicit Rig(const std::string& destination) {
        state.setTextSaveAt(destination);
        ArchiveStep::Calls calls = ArchiveStep::realCalls();
        calls.archive = [this](const std::string& line, lha::PackProgress& progress,
                               lha::PackFailure& failure) {
            commandLines.push_back(line);
            return callUnlha(line, progress, failure);
        };
        step.setCalls(calls);
    }

    void setArchive(std::function<int(const std::string&)> archive) {
        ArchiveStep::Calls calls = ArchiveStep::realCalls();
        calls.archive = [this, archive](const std::string& line, lha::PackProgress&,
                                        lha::PackFailure&) {
            commandLines.push_back(line);
            return archive(line);
        };
        step.setCalls(calls);
    }
};

TEST(QuoteLhaPath, QuotesOnlyForBlankOrComma) {
    EXPECT_EQ(quoteLhaPath("/data/My Backup"), "\"/data/My Backup\"");
    EXPECT_EQ(quoteLhaPath("/data/a,b"), "\"/data/a,b\"");
    EXPECT_EQ(quoteLhaPath("/data/backup"), "/data/backup");
    EXPECT_EQ(quoteLhaPath(""), "");
    EXPECT_EQ(quoteLhaPath("/data/a\tb"), "/data/a\tb");
    EXPECT_EQ(quoteLhaPath("/data/日本語"), "/data/日本語");
}

TEST(ArchiveStep, PacksYesterdaysFolderAcrossMonthYearAndLeapDay) {
    struct Case {
        platform::LocalDate today;
        const char* yesterday;
    };
    for (const Case& c : {Case{{2024, 3, 1}, "20240229"}, Case{{2023, 3, 1}, "20230228"},
                          Case{{2025, 1, 1}, "20241231"}, Case{{2024, 5, 1}, "20240430"}}) {
        SCOPED_TRACE(c.yesterday);
        TempDir dest;
        Rig rig(dest.str());
        rig.today = c.today;
        const fs::path folder = dest.path() / c.yesterday;
        writeFile(folder / "doc.txt", "day copy\n");
        // Today's folder and an older one are no business of this step.
        writeFile(dest.path() / platform::dayFolderName(c.today) / "x.txt", "today\n");
        writeFile(dest.path() / "20000101" / "x.txt", "old\n");

        rig.step.compressPastDateFolders();

        const std::string archive = folder.string() + ".lzh";
        EXPECT_EQ(rig.commandLines,
                  std::vector<std::string>{"a -x1 -r2 " + archive + " " + folder.string()});
        EXPECT_TRUE(fs::is_regular_file(archive));
        EXPECT_FALSE(fs::exists(folder));
        EXPECT_EQ(rig.finished, std::vector<std::string>{archive});
        EXPECT_TRUE(fs::exists(dest.path() / platform::dayFolderName(c.today) / "x.txt"));
        EXPECT_TRUE(fs::exists(dest.path() / "20000101" / "x.txt"));
        EXPECT_FALSE(fs::exists(dest.path() / "20000101.lzh"));
        EXPECT_TRUE(rig.shell.messages.empty());
    }
}

TEST(ArchiveStep, ArchiveHoldsTheFolderAndTheFolderGoesReadOnlyEntriesIncluded) {
    TempDir dest;
    Rig rig(dest.str());
    const fs::path folder = dest.path() / "20240229";
    std::string big;
    for (int i = 0; i < 20000; ++i) {
        big += "line " + std::to_string(i % 97) + "\n";
    }
    writeFile(folder / "big.txt", big);
    writeFile(folder / "sub dir" / "locked.txt", "read only\n");
    writeFile(folder / "empty.bin", "");
    fs::create_directories(folder / "nothing");
    fs::permissions(folder / "sub dir" / "locked.txt",
                    fs::perms::owner_read | fs::perms::group_read);
    fs::permissions(folder / "sub dir", fs::perms::owner_read | fs::perms::owner_exec);

    rig.step.compressPastDateFolders();

    const fs::path archive = dest.path() / "20240229.lzh";
    ASSERT_TRUE(fs::is_regular_file(archive)) << ::testing::PrintToString(rig.shell.texts());
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(rig.shell.messages.empty());

#ifndef _WIN32
    // Another reader must take the archive and give back every file.
    if (std::system("command -v lhasa >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "lhasa is not installed";
    }
    EXPECT_EQ(std::system(("lhasa t " + shellQuoted(archive.string()) + " >/dev/null").c_str()), 0);
    TempDir out;
    ASSERT_EQ(std::system(("cd " + shellQuoted(out.str()) + " && lhasa xq " +
                           shellQuoted(archive.string()) + " >/dev/null")
                              .c_str()),
              0);
    EXPECT_EQ(readFile(out.path() / "20240229" / "big.txt"), big);
    EXPECT_EQ(readFile(out.path() / "20240229" / "sub dir" / "locked.txt"), "read only\n");
    EXPECT_TRUE(fs::is_regular_file(out.path() / "20240229" / "empty.bin"));
    EXPECT_TRUE(fs::is_directory(out.path() / "20240229" / "nothing"));
#endif
}

TEST(ArchiveStep, BlankAndCommaAreQuotedForTheArchiverOnly) {
    TempDir base;
    const std::string dest = base / "My Backup,1";
    Rig rig(dest);
    writeFile(fs::path(dest) / "20240229" / "a.txt", "a\n");

    rig.step.compressPastDateFolders();

    const std::string folder = platform::joinPath(dest, "20240229");
    EXPECT_EQ(rig.commandLines,
              std::vector<std::string>{"a -x1 -r2 \"" + folder + ".lzh\" \"" + folder + "\""});
    EXPECT_EQ(rig.finished, std::vector<std::string>{folder + ".lzh"});
    EXPECT_TRUE(fs::is_regular_file(folder + ".lzh"));
    EXPECT_FALSE(fs::exists(folder));
}

TEST(ArchiveStep, TrailingSeparatorIsNotDoubled) {
    TempDir dest;
    Rig rig(dest.str() + "/");
    writeFile(dest.path() / "20240229" / "a.txt", "a\n");
    rig.step.compressPastDateFolders();
    // The destination as the system reads it ("/" counts as "\\" on Windows).
    const std::string folder = platform::readTypedPath(dest.str() + "/20240229");
    EXPECT_EQ(rig.commandLines, std::vector<std::string>{"a -x1 -r2 " + folder + ".lzh " + folder});
}

TEST(ArchiveStep, NothingHappensWithoutAFolderOrWithAnArchiveAlready) {
    TempDir dest;
    Rig rig(dest.str());
    rig.step.compressPastDateFolders();
    EXPECT_TRUE(rig.commandLines.empty());

    writeFile(dest.path() / "20240229" / "a.txt", "a\n");
    writeFile(dest.path() / "20240229.lzh", "earlier archive");
    rig.step.compressPastDateFolders();
    rig.step.compressPastDateFolders();
    EXPECT_TRUE(rig.commandLines.empty());
    EXPECT_TRUE(rig.shell.messages.empty());
    EXPECT_TRUE(rig.finished.empty());
    EXPECT_TRUE(fs::exists(dest.path() / "20240229" / "a.txt"));
    EXPECT_EQ(readFile(dest.path() / "20240229.lzh"), "earlier archive");
}

TEST(ArchiveStep, ArchiverErrorIsShownWithItsCodeAndTheFolderStays) {
    TempDir dest;
    Rig rig(dest.str());
    writeFile(dest.path() / "20240229" / "a.txt", "a\n");
    rig.setArchive([](const std::string&) { return 2; });
    rig.step.compressPastDateFolders();
    EXPECT_EQ(rig.shell.texts(), std::vector<std::string>{kErrorPrefix + "2"});
    EXPECT_EQ(rig.shell.messages[0].style, MessageStyle::Ok);
    EXPECT_TRUE(rig.finished.empty());
    EXPECT_TRUE(fs::exists(dest.path() / "20240229" / "a.txt"));

    // A real failure of the writer: a folder stands where the archive goes.
    Rig real(dest.str());
    fs::create_directories(dest.path() / "20240229.lzh");
    real.step.compressPastDateFolders();
    ASSERT_EQ(real.shell.messages.size(), 1u);
    EXPECT_EQ(real.shell.messages[0].text.rfind(kErrorPrefix, 0), 0u);
    EXPECT_NE(real.shell.messages[0].text, kErrorPrefix + "0");
    EXPECT_TRUE(fs::exists(dest.path() / "20240229" / "a.txt"));
    EXPECT_TRUE(real.finished.empty());
}

#ifndef _WIN32
// Windows names are UTF-16 throughout: every name there converts.
TEST(ArchiveStep, ANameThatIsNotUtf8KeepsTheFolderWithTheNamesCode) {
    TempDir dest;
    Rig rig(dest.str());
    writeFile(dest.path() / "20240229" / "a.txt", "a\n");
    writeFile(dest.path() / "20240229" / "caf\xe9.txt", "latin-1 name\n");
    rig.step.compressPastDateFolders();
    EXPECT_EQ(rig.shell.texts(), std::vector<std::string>{kErrorPrefix + "6"});
    EXPECT_TRUE(rig.finished.empty());
    EXPECT_EQ(testing::namesIn(dest.path()), std::vector<std::string>{"20240229"});
    EXPECT_EQ(readFile(dest.path() / "20240229" / "caf\xe9.txt"), "latin-1 name\n");
}
#endif

TEST(ArchiveStep, MissingArchiverWarnsAndLeavesEverything) {
    TempDir dest;
    Rig rig(dest.str());
    rig.archiverPresent = false;
    writeFile(dest.path() / "20240229" / "a.txt", "a\n");
    rig.step.compressPastDateFolders();
    rig.step.compressPastDateFolders();
    ASSERT_EQ(rig.shell.messages.size(), 2u);
    EXPECT_EQ(rig.shell.messages[0].text.rfind("unlha32.dllがインストールされていません。", 0), 0u);
    EXPECT_TRUE(rig.commandLines.empty());
    EXPECT_TRUE(fs::exists(dest.path() / "20240229" / "a.txt"));
}

TEST(ArchiveStep, WaitsServingEventsWhileTheArchiverIsBusy) {
    TempDir dest;
    Rig rig(dest.str());
    writeFile(dest.path() / "20240229" / "a.txt", "a\n");
    int busyAnswers = 3;
    ArchiveStep::Calls calls = ArchiveStep::realCalls();
    int servedBeforeArchive = -1;
    calls.archiverBusy = [&] {
        if (busyAnswers-- > 0) {
            return true;
        }
        servedBeforeArchive = rig.shell.servedEvents;
        return false;
    };
    rig.step.setCalls(calls);
    rig.step.compressPastDateFolders();
    EXPECT_EQ(servedBeforeArchive, 3);
    EXPECT_TRUE(fs::is_regular_file(dest.path() / "20240229.lzh"));
}

TEST(ArchiveStep, FailedDeletionIsReportedAndNeverLeadsToASecondArchive) {
    TempDir dest;
    Rig rig(dest.str());
    const fs::path folder = dest.path() / "20240229";
    writeFile(folder / "a.txt", "a\n");
    writeFile(folder / "b.txt", "b\n");
    ArchiveStep::Calls calls = ArchiveStep::realCalls();
    int archives = 0;
    calls.archive = [&](const std::string& line, lha::PackProgress& progress,
                        lha::PackFailure& failure) {
        ++archives;
        return callUnlha(line, progress, failure);
    };
    // Part of the folder goes, then the removal breaks off.
    calls.removeFolder = [](const std::string& path) {
        fs::remove(fs::path(path) / "a.txt");
        throw platform::Failure(EBUSY, "Device or resource busy: " + path + "/b.txt");
    };
    rig.step.setCalls(calls);
    rig.step.compressPastDateFolders();

    ASSERT_EQ(rig.shell.texts(),
              std::vector<std::string>{
                  "圧縮後のフォルダの削除に失敗しました。\r\nフォルダ名：" + folder.string() +
                  "\r\nDevice or resource busy: " + folder.string() + "/b.txt"});
    EXPECT_EQ(rig.finished.size(), 1u);
    const std::string archiveBytes = readFile(folder.string() + ".lzh");
    EXPECT_FALSE(archiveBytes.empty());

    rig.step.compressPastDateFolders();
    EXPECT_EQ(archives, 1);
    EXPECT_EQ(rig.shell.messages.size(), 1u);
    EXPECT_EQ(readFile(folder.string() + ".lzh"), archiveBytes);
}

TEST(ArchiveStep, FolderStaysWhenSuccessLeavesNoArchive) {
    TempDir dest;
    Rig rig(dest.str());
    writeFile(dest.path() / "20240229" / "a.txt", "a\n");
    rig.setArchive([](const std::string&) { return 0; });
    rig.step.compressPastDateFolders();
    ASSERT_EQ(rig.shell.messages.size(), 1u);
    EXPECT_NE(rig.shell.messages[0].text.find(platform::joinPath(dest.str(), "20240229.lzh")),
              std::string::npos);
    EXPECT_TRUE(rig.finished.empty());
    EXPECT_TRUE(fs::exists(dest.path() / "20240229" / "a.txt"));
}

// Records what the step shows while it packs.
struct ProgressViewSpy : ArchiveProgressView {
    void open(lha::PackProgress& p) override {
        ++opened;
        progress = &p;
    }
    void close() override {
        ++closed;
        progress = nullptr;
    }
    lha::PackProgress* progress = nullptr;
    int opened = 0;
    int closed = 0;
};

// Files of text big enough that the packing is still under way when the
// step first serves events. The stopping tests take files about ten times
// larger: they stop the packing at its first progress, however fast the
// build packs, and never wait for the end.
std::map<std::string, std::string> writeLargeDay(const fs::path& folder,
                                                 std::size_t bytesPerFile = 300000) {
    std::string lines;
    for (int i = 0; lines.size() < 300000; ++i) {
        lines += "entry " + std::to_string((i * 7919) % 100003) + " of day copy\n";
    }
    std::map<std::string, std::string> files;
    for (int f = 0; f < 5; ++f) {
        std::string text = "part " + std::to_string(f) + "\n";
        while (text.size() < bytesPerFile) {
            text += lines;
        }
        const std::string name = "part" + std::to_string(f) + ".txt";
        writeFile(folder / name, text);
        files[name] = text;
    }
    return files;
}

// The destination holds the day folder only (no archive, no temporary), with
// every file as it was written.
void expectTheFolderAlone(const fs::path& dest, const fs::path& folder,
                          const std::map<std::string, std::string>& files) {
    EXPECT_EQ(namesIn(dest), std::vector<std::string>{folder.filename().string()});
    std::map<std::string, std::string> left;
    for (const auto& entry : fs::directory_iterator(folder)) {
        left[entry.path().filename().string()] = readFile(entry.path());
    }
    EXPECT_TRUE(left == files);
}

// Just under the size above which a file is packed by the writer itself.
constexpr std::size_t kStoppedDayFileBytes = 4000000;

// Stopped part way, by the window's cancel or by the end of the program: the
// folder stays as it was, nothing is left beside it and the archiving error
// shows the code for a cancel.
TEST(ArchiveStep, StoppedPartWayLeavesTheFolderAndNoArchive) {
    for (const bool byProgramEnd : {false, true}) {
        SCOPED_TRACE(byProgramEnd ? "program ends" : "cancel button");
        TempDir dest;
        Rig rig(dest.str());
        ProgressViewSpy view;
        rig.step.setProgressView(&view);
        const fs::path folder = dest.path() / "20240229";
        const auto files = writeLargeDay(folder, kStoppedDayFileBytes);
        bool sawProgress = false;
        rig.shell.onServeEvents = [&] {
            lha::PackProgress* p = view.progress;
            if (p == nullptr || p->phase != lha::PackPhase::Writing || p->bytesDone == 0) {
                return;
            }
            sawProgress = true;
            EXPECT_LT(p->bytesDone, p->bytesTotal);
            EXPECT_EQ(p->folder(), folder.string());
            EXPECT_EQ(p->currentFile().rfind("20240229/part", 0), 0u) << p->currentFile();
            if (byProgramEnd) {
                rig.step.stopArchiving();
            } else {
                p->cancel = true;
            }
        };

        rig.step.compressPastDateFolders();

        EXPECT_TRUE(sawProgress);
        EXPECT_EQ(rig.shell.texts(),
                  std::vector<std::string>{kErrorPrefix + std::to_string(lha::kErrorCancelled)});
        EXPECT_EQ(view.opened, 1);
        EXPECT_EQ(view.closed, 1);
        EXPECT_TRUE(rig.finished.empty());
        expectTheFolderAlone(dest.path(), folder, files);
    }
}

// A termination request while packing: the program ends at once, the packing
// stopped first, leaving only the folder.
TEST(ArchiveStep, SessionEndWhilePackingLeavesTheFolderAndNoArchive) {
    TempDir dest;
    Rig rig(dest.str());
    ProgressViewSpy view;
    rig.step.setProgressView(&view);
    const fs::path folder = dest.path() / "20240229";
    const auto files = writeLargeDay(folder, kStoppedDayFileBytes);
    rig.shell.onServeEvents = [&] {
        if (view.progress != nullptr && view.progress->bytesDone > 0) {
            rig.shell.sessionEnding = true;
        }
    };

    EXPECT_THROW(rig.step.compressPastDateFolders(), testing::ApplicationEnded);

    EXPECT_TRUE(rig.shell.endedBySession);
    EXPECT_TRUE(rig.shell.messages.empty());
    EXPECT_EQ(view.closed, 1);
    expectTheFolderAlone(dest.path(), folder, files);
}

// A run started from the menu while the events are served during packing
// reaches the step again: it must neither pack the folder a second time nor
// touch the temporary archive.
TEST(ArchiveStep, SecondRunWhilePackingArchivesOnce) {
    TempDir dest;
    Rig rig(dest.str());
    const fs::path folder = dest.path() / "20240229";
    const auto files = writeLargeDay(folder);
    int nested = 0;
    // The packing thread's own temporary archive, and the archive it renames
    // into place, may appear meanwhile; only what the second call might add
    // or remove counts (a second archiving shows in the command lines).
    const auto lasting = [&] {
        auto names = namesIn(dest.path());
        std::erase_if(names, [](const std::string& name) {
            return name.starts_with(".tolvane-") || name == "20240229.lzh";
        });
        return names;
    };
    rig.shell.onServeEvents = [&] {
        if (nested++ == 0) {
            const auto before = lasting();
            rig.step.compressPastDateFolders();
            EXPECT_EQ(lasting(), before);
            EXPECT_TRUE(fs::exists(folder));
        }
    };

    rig.step.compressPastDateFolders();

    EXPECT_GE(nested, 1);
    EXPECT_EQ(rig.commandLines.size(), 1u);
    EXPECT_TRUE(rig.shell.messages.empty()) << ::testing::PrintToString(rig.shell.texts());
    EXPECT_EQ(namesIn(dest.path()), std::vector<std::string>{"20240229.lzh"});
    EXPECT_EQ(rig.finished, std::vector<std::string>{folder.string() + ".lzh"});
}

#ifndef _WIN32
// Windows names cannot hold a double quote at all.
TEST(ArchiveStep, DoubleQuoteInThePathIsRefusedBeforeTheArchiver) {
    TempDir base;
    const std::string dest = base / "say \"hi\"";
    Rig rig(dest);
    writeFile(fs::path(dest) / "20240229" / "a.txt", "a\n");
    rig.step.compressPastDateFolders();
    EXPECT_TRUE(rig.commandLines.empty());
    ASSERT_EQ(rig.shell.messages.size(), 1u);
    EXPECT_NE(rig.shell.messages[0].text.find(dest + "/20240229"), std::string::npos);
    EXPECT_TRUE(fs::exists(fs::path(dest) / "20240229" / "a.txt"));
    // No archive was written anywhere.
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(base.path()),
                            fs::recursive_directory_iterator()),
              3);
}
#endif

} // namespace
} // namespace tolvane::history
