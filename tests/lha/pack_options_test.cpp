#include "lha/archive_writer.h"
#include "lha/errors.h"
#include "lha/unlha.h"
#include "lha_test_support.h"
#include "support/temp_dir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace tolvane::lha {
namespace {

namespace fs = std::filesystem;
using testing::randomBytes;
using testing::readBytes;
using testing::textBytes;
using testing::writeBytes;
using Bytes = std::vector<std::uint8_t>;

// Every path below the folder with its content (empty for folders and links).
std::map<std::string, Bytes> contents(const fs::path& folder) {
    std::map<std::string, Bytes> out;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(e.path(), folder).generic_string();
        out[name] = e.is_regular_file() && !e.is_symlink() ? readBytes(e.path()) : Bytes{};
    }
    return out;
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) {
        out.push_back(e.path().filename().string());
    }
    return out;
}

class PackOptionsTest : public ::testing::Test {
  protected:
    tolvane::testing::TempDir tmp;
    fs::path root() const { return tmp.path(); }

    // Many small files of every kind, one past the in-memory limit (written
    // by the writer's own encoder) and one that does not shrink.
    fs::path mixedFolder() {
        const fs::path day = root() / "20261209";
        fs::create_directories(day / "sub" / "deeper");
        for (unsigned i = 0; i < 40; ++i) {
            const fs::path where = i % 3 == 0 ? day / "sub" : day;
            writeBytes(where / ("t" + std::to_string(i) + ".txt"), textBytes(i * 997, i));
        }
        writeBytes(day / "sub" / "deeper" / "empty", {});
        writeBytes(day / "noise.bin", randomBytes(600000, 3));
        writeBytes(day / "big.txt", textBytes(4200 * 1000, 4));
#ifndef _WIN32
        // Wine makes no symbolic links; the Linux run covers a link member.
        fs::create_symlink("big.txt", day / "link");
#endif
        return day;
    }

    // Text in files of 400 kB: long enough to stop half way.
    fs::path largeFolder() {
        const fs::path day = root() / "20261210";
        fs::create_directories(day);
        for (unsigned i = 0; i < 10; ++i) {
            writeBytes(day / ("part" + std::to_string(i) + ".txt"), textBytes(400 * 1000, 50 + i));
        }
        return day;
    }
};

TEST_F(PackOptionsTest, ThreadCountDoesNotChangeTheArchive) {
    const fs::path day = mixedFolder();
    std::vector<Bytes> archives;
    for (unsigned threads : {1u, 4u}) {
        const fs::path archive = root() / ("out" + std::to_string(threads) + ".lzh");
        PackOptions options;
        options.threads = threads;
        const PackSummary summary = packArchive(archive.string(), day.string(), options);
        EXPECT_EQ(summary.files, 43u);
        archives.push_back(readBytes(archive));
    }
    ASSERT_FALSE(archives[0].empty());
    EXPECT_EQ(archives[1], archives[0]);
}

TEST_F(PackOptionsTest, ProgressNamesTheWorkAndEndsComplete) {
    const fs::path day = largeFolder();
    PackProgress progress;
    std::atomic<bool> finished{false};
    std::vector<PackPhase> phases;
    std::uint64_t writingTotal = 0;
    bool doneWithinTotal = true;
    std::thread watcher([&] {
        while (!finished) {
            const PackPhase phase = progress.phase;
            if (phases.empty() || phases.back() != phase) {
                phases.push_back(phase);
            }
            if (phase == PackPhase::Writing) {
                writingTotal = progress.bytesTotal;
            }
            doneWithinTotal = doneWithinTotal && progress.bytesDone <= progress.bytesTotal;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    PackOptions options;
    options.progress = &progress;
    const PackSummary summary = packArchive((root() / "day.lzh").string(), day.string(), options);
    finished = true;
    watcher.join();

    EXPECT_EQ(progress.folder(), day.string());
    EXPECT_EQ(progress.currentFile(), "20261210/part9.txt"); // the last one checked
    EXPECT_EQ(progress.phase, PackPhase::Done);
    EXPECT_EQ(progress.bytesDone, summary.bytesIn);
    EXPECT_EQ(writingTotal, 10u * 400 * 1000);
    EXPECT_TRUE(doneWithinTotal);
    // Writing comes before verifying, and both were seen.
    const auto writing = std::find(phases.begin(), phases.end(), PackPhase::Writing);
    const auto verifying = std::find(phases.begin(), phases.end(), PackPhase::Verifying);
    EXPECT_NE(writing, phases.end());
    EXPECT_NE(verifying, phases.end());
    EXPECT_LT(writing, verifying);
}

// Cancels once the given phase has got half way, through the command
// front, and checks that only the source is left, exactly as it was.
void cancelHalfWay(const fs::path& root, const fs::path& day, PackPhase when) {
    const auto before = contents(day);
    PackProgress progress;
    std::atomic<bool> finished{false};
    std::thread watcher([&] {
        while (!finished) {
            if (progress.phase == when && progress.bytesTotal != 0 &&
                progress.bytesDone >= progress.bytesTotal / 2) {
                progress.cancel = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    char out[256];
    const std::string line = "a -x1 -r2 " + (root / "day.lzh").string() + " " + day.string();
    const int code = UnlhaWithProgress(line, out, sizeof out, progress);
    finished = true;
    watcher.join();

    EXPECT_EQ(code, kErrorCancelled) << out;
    EXPECT_STREQ(out, "cancelled by the user");
    EXPECT_FALSE(UnlhaGetRunning());
    EXPECT_EQ(namesIn(root), std::vector<std::string>{day.filename().string()})
        << "no archive and no temporary file";
    EXPECT_EQ(contents(day), before);
}

TEST_F(PackOptionsTest, CancelWhileWritingLeavesOnlyTheFolder) {
    cancelHalfWay(root(), largeFolder(), PackPhase::Writing);
}

TEST_F(PackOptionsTest, CancelWhileVerifyingLeavesOnlyTheFolder) {
    cancelHalfWay(root(), largeFolder(), PackPhase::Verifying);
}

TEST_F(PackOptionsTest, CancelBeforeStartWritesNothing) {
    const fs::path day = largeFolder();
    PackProgress progress;
    progress.cancel = true;
    PackOptions options;
    options.progress = &progress;
    try {
        packArchive((root() / "day.lzh").string(), day.string(), options);
        ADD_FAILURE() << "packed although cancelled";
    } catch (const LhaError& e) {
        EXPECT_EQ(e.code(), kErrorCancelled);
    }
    EXPECT_EQ(namesIn(root()), std::vector<std::string>{"20261210"});
}

} // namespace
} // namespace tolvane::lha
