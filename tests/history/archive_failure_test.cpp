// Archiving failures the system causes, made for real: the message names the
// folder, the archive and why. Other users and small mounted disks are POSIX
// fixtures.
#ifndef _WIN32
#include "history/archive_step.h"
#include "support/child_process.h"
#include "support/fake_shell.h"
#include "support/fat_times_disk.h"
#include "support/files.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace tolvane::history {
namespace {

namespace fs = std::filesystem;
using testing::FakeShell;
using testing::TempDir;
using testing::writeFile;

const std::string kFixedLines = "LHA ディリクトリ付圧縮エラー\r\nUnlha32.dllエラーコード：4\r\n";

// Packs yesterday's folder below `destination` with the real archiver and
// returns the one message shown ("" when none, "n messages" when more).
std::string archiveMessage(const std::string& destination) {
    FormState state;
    FakeShell shell;
    DateCopyMenu menu{state, shell, [] { return true; }};
    ArchiveStep step{state, shell, menu, [](const std::string&) {},
                     [] {
                         return platform::LocalDate{2024, 3, 1};
                     }};
    state.setTextSaveAt(destination);
    step.compressPastDateFolders();
    const auto texts = shell.texts();
    if (texts.size() != 1) {
        return std::to_string(texts.size()) + " messages";
    }
    return texts[0];
}

// Bytes that do not compress.
std::string noiseOf(std::size_t size) {
    std::mt19937 random(7);
    std::string noise(size, '\0');
    for (char& byte : noise) {
        byte = static_cast<char>(random());
    }
    return noise;
}

TEST(ArchiveFailure, AFolderThatRefusesTheArchiveSaysSoWithThePaths) {
    TempDir dir;
    const fs::path dest = dir.path() / "dest";
    const fs::path folder = dest / "20240229";
    writeFile(folder / "a.txt", "a\n");
    fs::create_directories(dir.path() / "closed");
    fs::permissions(dir.path() / "closed", fs::perms::none);

    const auto result = testing::runInChild(
        [&] {
            const std::string reason =
                testing::becomeUnprivileged(dir.path(), dir.path() / "closed");
            fs::permissions(dest, fs::perms::owner_read | fs::perms::owner_exec);
            return reason;
        },
        [&] { return archiveMessage(dest.string()); });
    if (!result.ran) {
        GTEST_SKIP() << result.text;
    }

    const std::string expected = kFixedLines + "フォルダ：" + folder.string() + "\r\nファイル名：" +
                                 folder.string() + ".lzh\r\n原因：保存先のフォルダ：" +
                                 "アクセスが許可されていません（";
    EXPECT_EQ(result.text.substr(0, expected.size()), expected);
    EXPECT_NE(result.text.find(dest.string()), std::string::npos);
    EXPECT_TRUE(fs::exists(folder / "a.txt"));
}

TEST(ArchiveFailure, AFullDiskSaysThereIsNoRoomAndKeepsTheFolder) {
    TempDir dir;
    const testing::SmallFileSystem disk(dir.path() / "disk", 512 * 1024);
    if (!disk.available()) {
        GTEST_SKIP() << "no file system can be mounted here";
    }
    // Bytes that do not compress, more than the disk holds beside them.
    const std::string noise = noiseOf(300 * 1024);
    const fs::path folder = disk.path() / "20240229";
    writeFile(folder / "noise.bin", noise);

    const std::string message = archiveMessage(disk.path().string());

    const std::string archive = folder.string() + ".lzh";
    // The system's own words close the cause: its text and the file it wrote.
    const std::string expected = kFixedLines + "フォルダ：" + folder.string() + "\r\nファイル名：" +
                                 archive + "\r\n原因：コピー先：保存先の空き容量が足りません（" +
                                 "No space left on device: " + disk.path().string() + "/";
    EXPECT_EQ(message.substr(0, expected.size()), expected);
    EXPECT_EQ(message.substr(message.size() - 3), "）");
    EXPECT_TRUE(testing::readFile(folder / "noise.bin") == noise);
    EXPECT_FALSE(fs::exists(archive));
}

// A disk that refuses the archive's length, as FAT refuses one past its
// limit: the cause says the file system cannot hold a file that large.
TEST(ArchiveFailure, ALengthTheDiskRefusesSaysTheArchiveIsTooLarge) {
    TempDir dir;
    const testing::FatTimesDisk disk(dir.path(), "up", "--max-file-size 65536");
    if (!disk.available()) {
        GTEST_SKIP() << disk.reason();
    }
    // Two files the disk holds, whose archive it does not.
    const std::string noise = noiseOf(50 * 1024);
    const fs::path folder = disk.path() / "20240229";
    writeFile(folder / "noise.bin", noise);
    writeFile(folder / "more.bin", noise);

    const std::string message = archiveMessage(disk.path().string());

    const std::string expected = kFixedLines + "フォルダ：" + folder.string() + "\r\nファイル名：" +
                                 folder.string() + ".lzh\r\n原因：コピー先：" +
                                 "保存先のファイルシステムにはこの大きさのファイルを置けません（";
    EXPECT_EQ(message.substr(0, expected.size()), expected);
    EXPECT_TRUE(testing::readFile(folder / "noise.bin") == noise);
    EXPECT_EQ(testing::namesIn(disk.backing()), std::vector<std::string>{"20240229"});
}

} // namespace
} // namespace tolvane::history
#endif
