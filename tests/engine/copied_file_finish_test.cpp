#include "engine_fixture.h"
#include "platform/clock.h"
#include "support/system.h"
#include "support/time_zone.h"

#include <array>
#include <cstdint>
#include <string>

namespace tolvane::engine {
namespace {

// Central European time, +1 in winter and +2 in summer, for the whole test.
class CopiedFileFinish : public EngineTest {
  protected:
    CopiedFileFinish() {
        write("src.txt", "content");
        setModified("src.txt", 1700000000);
    }

    void stamp(const std::array<std::string, 6>& fields) {
        state.setKeepCopyDates(false);
        for (int i = 0; i < 6; ++i) {
            state.setTextDate(i, fields[static_cast<std::size_t>(i)]);
        }
    }

    static std::int64_t utc(int y, int mo, int d, int h, int mi, int s) {
        return testing::utcSeconds(y, mo, d, h, mi, s);
    }

#ifndef _WIN32
  private:
    testing::ZoneScope zone_{testing::kCentralEurope};
#endif
};

TEST_F(CopiedFileFinish, WithTheBoxTickedTheCopyStaysAsCopied) {
    chmod("src.txt", 0640);
    engine.copyFileIfChanged(path("src.txt"), path("copy.txt"));
    EXPECT_EQ(modified("copy.txt"), 1700000000);
    EXPECT_EQ(mode("copy.txt"), mode("src.txt"));
}

TEST_F(CopiedFileFinish, TheStampUsesTheOffsetOfItsOwnDate) {
    stamp({"2026", "12", "8", "9", "30", "0"});
    engine.copyFileIfChanged(path("src.txt"), path("winter.txt"));
    EXPECT_EQ(modified("winter.txt"), utc(2026, 12, 8, 8, 30, 0));

    stamp({"2026", "7", "1", "12", "0", "0"});
    engine.copyFileIfChanged(path("src.txt"), path("summer.txt"));
    EXPECT_EQ(modified("summer.txt"), utc(2026, 7, 1, 10, 0, 0));
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(CopiedFileFinish, AReadOnlySourceIsDatedAndStaysReadOnly) {
    chmod("src.txt", 0444);
    stamp({"2026", "12", "8", "9", "30", "0"});
    engine.copyFileIfChanged(path("src.txt"), path("copy.txt"));
    EXPECT_EQ(modified("copy.txt"), utc(2026, 12, 8, 8, 30, 0));
    EXPECT_EQ(mode("copy.txt"), 0444u);
}

TEST_F(CopiedFileFinish, ReadOnlyMarkingRemovesEveryWriteBit) {
    chmod("src.txt", 0666);
    state.setCopyAtReadOnlyChecked(true);
    engine.copyFileIfChanged(path("src.txt"), path("copy.txt"));
    EXPECT_EQ(mode("copy.txt"), 0444u);
}

TEST_F(CopiedFileFinish, AStampedCopyIsCopiedAgainOnEveryRun) {
    stamp({"2026", "12", "8", "9", "30", "0"});
    engine.copyFileIfChanged(path("src.txt"), path("copy.txt"));
    write("copy.txt", "CONTENT");
    setModified("copy.txt", utc(2026, 12, 8, 8, 30, 0));
    engine.copyFileIfChanged(path("src.txt"), path("copy.txt"));
    EXPECT_EQ(read("copy.txt"), "content");
}

TEST_F(CopiedFileFinish, AnEmptyFieldReportsEachFileLeavesItWritableAndTheRunGoesOn) {
    write("data/a.txt", "a");
    write("data/b.txt", "b");
    chmod("data/a.txt", 0444);
    chmod("data/b.txt", 0444);
    stamp({"2026", "12", "", "9", "30", "0"});
    state.setCopyAtReadOnlyChecked(true);

    EXPECT_TRUE(engine.walkFolder(path("data"), path("copy")));

    EXPECT_TRUE(shell.messages.empty());
    const auto reported = failures();
    ASSERT_EQ(reported.size(), 2u);
    for (const std::string name : {"a.txt", "b.txt"}) {
        SCOPED_TRACE(name);
        const std::vector<std::string> lines = {"ファイルの属性変更に失敗しました。",
                                                "ファイル名：" + path("copy/" + name),
                                                "原因：コピー先：Type mismatch: \"\""};
        EXPECT_TRUE(reported[0] == lines || reported[1] == lines);
        EXPECT_EQ(mode("copy/" + name), 0644u);
    }
    EXPECT_EQ(engine.report().copied, 2u);
}

TEST_F(CopiedFileFinish, AnImpossibleDateIsAFailedDateUpdateAndTheRestStillRuns) {
    chmod("src.txt", 0444);
    stamp({"2026", "2", "30", "9", "30", "0"});
    state.setCopyAtReadOnlyChecked(true);
    engine.copyFileIfChanged(path("src.txt"), path("copy.txt"));
    EXPECT_TRUE(shell.messages.empty());
    // The invalid-argument number, in hex.
#ifdef _WIN32
    const std::string code = "57";
#else
    const std::string code = "16";
#endif
    EXPECT_EQ(failures(),
              (std::vector<std::vector<std::string>>{
                  {"ファイル日付更新エラー：code=" + code, "ファイル名：" + path("copy.txt"),
                   "原因：コピー先：" +
                       platform::Failure::about(testing::kInvalidArgument, path("copy.txt"))
                           .description()}}));
    EXPECT_EQ(modified("copy.txt"), 1700000000);
    EXPECT_EQ(mode("copy.txt"), 0444u);
}

TEST_F(CopiedFileFinish, FieldsAreRoundedSixteenBitNumbers) {
    write("f", "x");
    stamp({" 2026 ", "12", "7.5", "9", "30", "0.4"});
    engine.setCopiedFileDate(path("f"));
    EXPECT_EQ(modified("f"), utc(2026, 12, 8, 8, 30, 0));

    for (const std::string bad : {"40000", "abc", "12x", "0x0C"}) {
        stamp({"2026", bad, "8", "9", "30", "0"});
        EXPECT_ANY_THROW(engine.setCopiedFileDate(path("f"))) << bad;
    }
}

TEST_F(CopiedFileFinish, AFileThatCannotBeOpenedIsLeftAlone) {
    stamp({"2026", "12", "8", "9", "30", "0"});
    EXPECT_NO_THROW(engine.setCopiedFileDate(path("missing")));
    EXPECT_TRUE(shell.messages.empty());
}

} // namespace
} // namespace tolvane::engine
