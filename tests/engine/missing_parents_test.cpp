#include "engine_fixture.h"

namespace tolvane::engine {
namespace {

using MissingParents = EngineTest;

TEST_F(MissingParents, CreatesEveryMissingLevelAboveTheLastName) {
    engine.createMissingParents(path("Backup/20261208/Work"));
    EXPECT_TRUE(platform::folderExists(path("Backup/20261208")));
    EXPECT_FALSE(exists("Backup/20261208/Work"));

    engine.createMissingParents(path("Backup/20261208/Work"));
    engine.createMissingParents(path("Trail/ing/"));
    EXPECT_TRUE(platform::folderExists(path("Trail/ing")));
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(MissingParents, APathWithoutASeparatorIsAnUnexpectedFailureThatStopsTheRun) {
    EXPECT_THROW(engine.createMissingParents("nowhere"), MirrorEngine::RunStop);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text.rfind("makeLongDir:予期しないエラーが発生しました。\r\n", 0),
              0u);
    EXPECT_FALSE(shell.ended);
}

TEST_F(MissingParents, AMissingDriveIsReportedAndNothingIsMade) {
    EXPECT_THROW(engine.createMissingParents("Q:/Backup/Work"), MirrorEngine::RunStop);
    EXPECT_EQ(shell.texts(),
              std::vector<std::string>{"makeLongDir:指定されたドライブがありません。\r\nDrive=Q:"});
    EXPECT_FALSE(platform::folderExists("Q:"));
}

} // namespace
} // namespace tolvane::engine
