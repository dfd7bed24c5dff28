#include "engine_fixture.h"

namespace tolvane::engine {
namespace {

using LongDir = EngineTest;

TEST_F(LongDir, CreatesEveryMissingLevelAboveTheLastName) {
    engine.makeLongDir(path("Backup/20261208/Work"));
    EXPECT_TRUE(platform::folderExists(path("Backup/20261208")));
    EXPECT_FALSE(exists("Backup/20261208/Work"));

    engine.makeLongDir(path("Backup/20261208/Work"));
    engine.makeLongDir(path("Trail/ing/"));
    EXPECT_TRUE(platform::folderExists(path("Trail/ing")));
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(LongDir, APathWithoutASeparatorIsAnUnexpectedFailure) {
    EXPECT_TRUE(ends([&] { engine.makeLongDir("nowhere"); }));
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text.rfind("makeLongDir:予期しないエラーが発生しました。\r\n", 0),
              0u);
    EXPECT_EQ(shell.endKind, EndKind::Orderly);
}

TEST_F(LongDir, AMissingDriveIsReportedAndNothingIsMade) {
    EXPECT_THROW(engine.makeLongDir("Q:/Backup/Work"), platform::Failure);
    EXPECT_EQ(shell.texts(),
              std::vector<std::string>{"makeLongDir:指定されたドライブがありません。\r\nDrive=Q:"});
    EXPECT_FALSE(platform::folderExists("Q:"));
}

} // namespace
} // namespace tolvane::engine
