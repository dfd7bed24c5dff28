#include "engine/messages.h"
#include "engine_fixture.h"

#include <string>

namespace tolvane::engine {
namespace {

using CopyAttributes = EngineTest;

TEST_F(CopyAttributes, AFailedReplaceKeepsTheOldCopysReadOnlyMark) {
    write("src", std::string(256 * 1024, 's'));
    write("out/copy", "previous");
    chmod("out/copy", 0444);
    {
        const testing::FileSizeLimit limit(64 * 1024);
        engine.copyFileIfChanged(path("src"), path("out/copy"));
    }

    EXPECT_EQ(engine.report().failures.size(), 1u);
    EXPECT_EQ(read("out/copy"), "previous");
    EXPECT_EQ(mode("out/copy"), 0444u);
}

TEST_F(CopyAttributes, ADestinationWithoutPermissionBitsTakesTheCopyButNotTheReadOnlyMark) {
    write("src", "content");
    setModified("src", 1765000000);
    state.setCopyAtReadOnlyChecked(true);

    // Exit codes of the child: 0 as expected, else the first thing that was not.
    const int result = testing::runWithModeChangesRefused([&] {
        if (ends([&] { engine.copyFileIfChanged(path("src"), path("copy")); })) {
            return 1;
        }
        if (!shell.messages.empty() || engine.report().failures.size() != 1) {
            return 2;
        }
        const auto lines = itemLines(engine.report().failures[0]);
        const bool named = lines.size() == 3 && lines[0] == text::kAttributeError &&
                           lines[1] == text::kFileNameLine + path("copy");
        return named && engine.report().copied == 1 ? 0 : 3;
    });
    if (result == -1) {
        GTEST_SKIP() << "permission changes cannot be refused here";
    }

    EXPECT_EQ(result, 0);
    EXPECT_EQ(read("copy"), "content");
    EXPECT_EQ(modified("copy"), 1765000000);
}

} // namespace
} // namespace tolvane::engine
