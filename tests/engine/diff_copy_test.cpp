#include "engine_fixture.h"
#include "support/system.h"

namespace tolvane::engine {
namespace {

using DiffCopy = EngineTest;

const std::string kCopyFailed = "CopyDiffFile:CopyFileに失敗しました。\r\nreturn_code=0\r\n"
                                "コピー先に上書きできないファイルが存在します";

// The one message of a failed copy: the fixed text, then the two paths and
// the platform's cause on lines of their own.
void expectCopyFailed(const testing::FakeShell& shell, const std::string& from,
                      const std::string& to, const std::string& cause) {
    ASSERT_EQ(shell.messages.size(), 1u);
    const std::string& text = shell.messages[0].text;
    const std::string lines =
        kCopyFailed + "\r\nコピー元：" + from + "\r\nコピー先：" + to + "\r\n";
    EXPECT_EQ(text.rfind(lines, 0), 0u) << text;
    EXPECT_NE(text.find(cause, lines.size()), std::string::npos) << text;
    EXPECT_EQ(text.find("\r\n", lines.size()), std::string::npos) << text;
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

TEST_F(DiffCopy, AFolderInTheCopysPlaceEndsTheProgramWithTheCopyMessage) {
    write("src", "s");
    write("copy/inside.txt", "kept");
    EXPECT_TRUE(ends([&] { engine.copyFileIfChanged(path("src"), path("copy")); }));
    expectCopyFailed(shell, path("src"), path("copy"),
                     platform::Failure::about(testing::kIsAFolder, path("copy")).description());
    EXPECT_EQ(shell.endKind, EndKind::Orderly);
    EXPECT_EQ(read("copy/inside.txt"), "kept");
}

#ifndef _WIN32
// A name too long for one folder entry: Wine answers it as a missing file.
TEST_F(DiffCopy, ANameTheFileSystemRefusesEndsWithTheCopyMessage) {
    write("src", "s");
    EXPECT_TRUE(ends([&] { engine.copyFileIfChanged(path("src"), path(std::string(300, 'n'))); }));
    expectCopyFailed(shell, path("src"), path(std::string(300, 'n')), "File name too long");
    EXPECT_EQ(names(""), std::vector<std::string>{"src"});
}
#endif

#ifndef _WIN32
// A full disk is made with a file-size limit, which only POSIX has.
TEST_F(DiffCopy, AFullDiskKeepsThePreviousCopy) {
    write("src", std::string(256 * 1024, 's'));
    write("out/copy", "previous");
    bool ended = false;
    {
        const testing::FileSizeLimit limit(64 * 1024);
        ended = ends([&] { engine.copyFileIfChanged(path("src"), path("out/copy")); });
    }

    EXPECT_TRUE(ended);
    expectCopyFailed(shell, path("src"), path("out/copy"), "File too large");
    EXPECT_EQ(read("out/copy"), "previous");
    EXPECT_EQ(names("out"), std::vector<std::string>{"copy"});
}
#endif

TEST_F(DiffCopy, ASourceGoneBeforeTheComparisonIsAnUnexpectedFailure) {
    write("copy", "kept");
    EXPECT_TRUE(ends([&] { engine.copyFileIfChanged(path("gone"), path("copy")); }));
    EXPECT_EQ(shell.texts(),
              std::vector<std::string>{
                  "CopyDiffFile:予期しないエラーが発生しました。\r\nコピー元：" + path("gone") +
                  "\r\nコピー先：" + path("copy") + "\r\n" +
                  platform::Failure::about(testing::kFileNotFound, path("gone")).description()});
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
