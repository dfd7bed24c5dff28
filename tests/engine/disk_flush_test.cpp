// A run's end pushes what it wrote out to the destination's disk.
#include "engine/messages.h"
#include "engine_fixture.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <random>

#ifndef _WIN32
#include "support/mounted_disk.h"
#endif

namespace tolvane::engine {
namespace {

using DiskFlush = EngineTest;

#ifndef _WIN32
TEST_F(DiskFlush, WhatTheRunCopiedIsOnTheDiskWhenTheRunEnds) {
    const testing::MountedDisk disk(dir.path(), "ext4", 32);
    if (!disk.available()) {
        GTEST_SKIP() << disk.reason();
    }
    // Text found nowhere else on the disk, so the disk's image shows whether
    // the copy's bytes reached it.
    const std::string marker = "flushed copy " + std::to_string(std::random_device{}()) + ";";
    std::string content;
    while (content.size() < 8192) {
        content += marker;
    }
    write("src/new.txt", content);
    state.setTextSaveAt(disk.path().string());
    state.addListTarget(path("src/new.txt"));

    engine.runCopy();

    ASSERT_EQ(testing::readFile(disk.path() / "new.txt"), content);
    // The image file, read beside the mount: only what the file system wrote
    // out to its device is there.
    std::ifstream image(dir.path() / "ext4.img", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(image)),
                            std::istreambuf_iterator<char>());
    EXPECT_NE(bytes.find(content), std::string::npos);
    EXPECT_TRUE(engine.report().failures.empty());
}
#endif

TEST_F(DiskFlush, AFailedFlushIsReportedAndARunThatWroteNothingFlushesNothing) {
    std::vector<std::string> flushed;
    engine.flushFileSystem = [&](const std::string& folder) {
        flushed.push_back(folder);
        throw platform::Failure::about(EIO, folder);
    };
    write("src/a.txt", "a");
    state.setTextSaveAt(path("dst"));
    state.addListTarget(path("src/a.txt"));

    engine.runCopy();

    EXPECT_EQ(flushed, std::vector<std::string>{path("dst")});
    EXPECT_EQ(read("dst/a.txt"), "a");
    EXPECT_EQ(engine.lastRunOutcome(), MirrorEngine::RunOutcome::WithFailures);
    ASSERT_EQ(engine.report().failures.size(), 1u);
    const ItemFailure& failure = engine.report().failures[0];
    EXPECT_EQ(itemLines(failure),
              (std::vector<std::string>{text::kFlushFailed, text::kFolderLine + path("dst"),
                                        causeLine(failure)}));
    EXPECT_EQ(failure.side, FailedSide::DestinationFolder);
    EXPECT_EQ(failure.systemText, platform::Failure::about(EIO, path("dst")).description());
    ASSERT_EQ(shell.runReports.size(), 1u);
    EXPECT_NE(shell.runReports[0].find(text::kFlushFailed), std::string::npos);

    // Nothing changed: nothing to flush, nothing to say.
    engine.runCopy();
    EXPECT_EQ(flushed.size(), 1u);
    EXPECT_EQ(engine.lastRunOutcome(), MirrorEngine::RunOutcome::Completed);
    EXPECT_EQ(shell.runReports.size(), 1u);
}

} // namespace
} // namespace tolvane::engine
