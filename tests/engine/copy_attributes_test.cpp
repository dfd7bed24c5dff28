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
    bool ended = false;
    {
        const testing::FileSizeLimit limit(64 * 1024);
        ended = ends([&] { engine.copyFileIfChanged(path("src"), path("out/copy")); });
    }

    EXPECT_TRUE(ended);
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
        if (shell.messages.size() != 1) {
            return 2;
        }
        const std::string expected =
            std::string(text::kAttributeError) + "\r\n" + text::kFileNameLine + path("copy");
        return shell.messages[0].text.rfind(expected, 0) == 0 ? 0 : 3;
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
