#include "engine_fixture.h"

namespace tolvane::engine {
namespace {

using SessionEnd = EngineTest;

std::size_t fileCount(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        count += entry.is_regular_file() ? 1 : 0;
    }
    return count;
}

TEST_F(SessionEnd, EndsTheWalkBeforeItsNextFile) {
    for (const char* name : {"a", "b", "c", "d"}) {
        write(std::string("data/Work/") + name, name);
    }
    std::filesystem::create_directory(path("backup"));
    state.setTextSaveAt(path("backup"));
    state.addListTarget(path("data/Work"));
    // Asked to end once the first file is copied.
    shell.onServeEvents = [&] {
        shell.sessionEnding = exists("backup/Work") && fileCount(path("backup/Work")) > 0;
    };

    EXPECT_TRUE(ends([&] { engine.runCopy(); }));

    EXPECT_TRUE(shell.endedBySession);
    EXPECT_EQ(fileCount(path("backup/Work")), 1u);
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(SessionEnd, EndsAWholeFolderCopyBeforeItsNextFile) {
    write("data/Work/a", "a");
    write("data/Work/sub/b", "b");
    write("data/c.txt", "c");
    state.setTextSaveAt(path("new/backup"));
    state.addListTarget(path("data/c.txt"));
    state.addListTarget(path("data/Work"));
    shell.sessionEnding = true;

    EXPECT_TRUE(ends([&] { engine.copyEntry(path("data/Work")); }));
    EXPECT_TRUE(shell.endedBySession);
    EXPECT_EQ(fileCount(path("new/backup")), 0u);

    // Between the entries of a run as well.
    shell.endedBySession = false;
    EXPECT_TRUE(ends([&] { engine.runCopy(); }));
    EXPECT_TRUE(shell.endedBySession);
    EXPECT_EQ(fileCount(path("new/backup")), 0u);
}

} // namespace
} // namespace tolvane::engine
