#include "engine_fixture.h"
#include "support/system.h"

namespace tolvane::engine {
namespace {

using DiffCopy = EngineTest;

// A failed copy is one item of the run's report, and nothing is shown yet:
// the fixed text (with the lines that blame the copy where it is to blame),
// then the two paths and the cause on lines of their own.
void expectCopyFailed(const MirrorEngine& engine, const testing::FakeShell& shell,
                      const std::string& from, const std::string& to, FailedSide side,
                      const std::string& cause) {
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_FALSE(shell.ended);
    ASSERT_EQ(engine.report().failures.size(), 1u);
    const ItemFailure& failure = engine.report().failures[0];
    std::vector<std::string> heading = {"CopyDiffFile:CopyFileに失敗しました。"};
    if (side == FailedSide::Copy) {
        heading.push_back("return_code=0");
        heading.push_back("コピー先に上書きできないファイルが存在します");
    }
    EXPECT_EQ(failure.heading, heading);
    EXPECT_EQ(failure.paths, (std::vector<std::string>{"コピー元：" + from, "コピー先：" + to}));
    EXPECT_EQ(failure.side, side);
    EXPECT_NE(causeLine(failure).find(cause), std::string::npos) << causeLine(failure);
}

TEST_F(DiffCopy, CopiesOnlyWhenTimeOrLengthDiffers) {
    write("src", "source");
    setModified("src", 1765000000);

    engine.copyFileIfChanged(path("src"), path("copy"));
    EXPECT_EQ(read("copy"), "source");
    EXPECT_EQ(modified("copy"), 1765000000);

    // Equal: left alone.
    write("copy", "SOURCE");
    setModified("copy", 1765000000);
    engine.copyFileIfChanged(path("src"), path("copy"));
    EXPECT_EQ(read("copy"), "SOURCE");

    // One second apart.
    setModified("copy", 1765000001);
    engine.copyFileIfChanged(path("src"), path("copy"));
    EXPECT_EQ(read("copy"), "source");

    // Same time, other length.
    write("copy", "longer copy");
    setModified("copy", 1765000000);
    engine.copyFileIfChanged(path("src"), path("copy"));
    EXPECT_EQ(read("copy"), "source");

    // A newer copy is overwritten by the older source just the same.
    write("copy", "newer!");
    setModified("copy", 1800000000);
    engine.copyFileIfChanged(path("src"), path("copy"));
    EXPECT_EQ(read("copy"), "source");
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(DiffCopy, AnUnchangedCopyIsNotFinishedAgain) {
    write("src", "s");
    engine.copyFileIfChanged(path("src"), path("copy"));
    state.setCopyAtReadOnlyChecked(true);
    engine.copyFileIfChanged(path("src"), path("copy"));
    EXPECT_NE(mode("copy") & 0200, 0u);
}

TEST_F(DiffCopy, AReadOnlyCopyThatDiffersIsOverwritten) {
    write("src", "new");
    write("copy", "old copy");
    chmod("copy", 0444);
    engine.copyFileIfChanged(path("src"), path("copy"));
    EXPECT_EQ(read("copy"), "new");
}

#ifndef _WIN32
// The copy keeps the file's holes only here; elsewhere it would write 4 GiB.
TEST_F(DiffCopy, LengthsBeyondFourGibibytesCompare) {
    // Lengths 1 and 4 GiB + 1 agree in their low 32 bits.
    write("big", "");
    ASSERT_EQ(::truncate(path("big").c_str(), (std::int64_t{4} << 30) + 1), 0);
    write("copy", "x");
    setModified("big", 1765000000);
    setModified("copy", 1765000000);

    engine.copyFileIfChanged(path("big"), path("copy"));

    EXPECT_EQ(platform::fileStatus(path("copy")).size, (std::int64_t{4} << 30) + 1);
}
#endif

TEST_F(DiffCopy, AFolderInTheCopysPlaceIsReportedAndLeftAlone) {
    write("src", "s");
    write("copy/inside.txt", "kept");
    engine.copyFileIfChanged(path("src"), path("copy"));
    expectCopyFailed(engine, shell, path("src"), path("copy"), FailedSide::Copy,
                     platform::Failure::about(testing::kIsAFolder, path("copy")).description());
    EXPECT_EQ(read("copy/inside.txt"), "kept");
}

#ifndef _WIN32
// A name too long for one folder entry: Wine answers it as a missing file.
TEST_F(DiffCopy, ANameTheFileSystemRefusesIsReportedWithItsCause) {
    write("src", "s");
    engine.copyFileIfChanged(path("src"), path(std::string(300, 'n')));
    expectCopyFailed(engine, shell, path("src"), path(std::string(300, 'n')), FailedSide::Copy,
                     "パスが長すぎます（File name too long");
    EXPECT_EQ(names(""), std::vector<std::string>{"src"});
}
#endif

#ifndef _WIN32
// A full disk is made with a file-size limit, which only POSIX has.
TEST_F(DiffCopy, AFullDiskKeepsThePreviousCopy) {
    write("src", std::string(256 * 1024, 's'));
    write("out/copy", "previous");
    {
        const testing::FileSizeLimit limit(64 * 1024);
        engine.copyFileIfChanged(path("src"), path("out/copy"));
    }

    expectCopyFailed(engine, shell, path("src"), path("out/copy"), FailedSide::Copy,
                     "この大きさのファイルを置けません（File too large");
    EXPECT_EQ(read("out/copy"), "previous");
    EXPECT_EQ(names("out"), std::vector<std::string>{"copy"});
}
#endif

TEST_F(DiffCopy, ASourceGoneBeforeTheComparisonIsAnUnexpectedFailureOfTheSource) {
    write("copy", "kept");
    engine.copyFileIfChanged(path("gone"), path("copy"));
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(
        failures(),
        (std::vector<std::vector<std::string>>{
            {"CopyDiffFile:予期しないエラーが発生しました。", "コピー元：" + path("gone"),
             "コピー先：" + path("copy"),
             "原因：コピー元：実行中になくなりました（" +
                 platform::Failure::about(testing::kFileNotFound, path("gone")).description() +
                 "）"}}));
    EXPECT_EQ(read("copy"), "kept");
}

TEST_F(DiffCopy, ALinkInTheCopysPlaceIsReplacedNotWrittenThrough) {
    SKIP_WITHOUT_SYMLINKS(dir.path());
    write("src", "s");
    write("target", "t");
    setModified("src", 1765000000);
    setModified("target", 1765000000);
    std::filesystem::create_symlink(path("target"), path("copy"));
    write("src", "s"); // same length as the link's target
    setModified("src", 1765000000);

    engine.copyFileIfChanged(path("src"), path("copy"));

    EXPECT_EQ(platform::linkStatus(path("copy"))->kind, platform::FileKind::File);
    EXPECT_EQ(read("copy"), "s");
    EXPECT_EQ(read("target"), "t");
}

} // namespace
} // namespace tolvane::engine
