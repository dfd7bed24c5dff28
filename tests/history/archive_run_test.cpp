#include "engine/mirror_engine.h"
#include "history/archive_step.h"
#include "history/copy_date_dialog.h"
#include "history/date_copy_menu.h"
#include "support/fake_shell.h"
#include "support/files.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace tolvane::history {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
// A whole run in date-history mode with compression: today's copy is made and
// yesterday's folder ends up as an archive finished like a copied file.
TEST(ArchiveRun, RunArchivesYesterdayAndFinishesTheArchiveLikeACopy) {
    testing::TempDir source;
    testing::TempDir dest;
    testing::writeFile(source / "note.txt", "today\n");
    testing::writeFile(dest.path() / "20240229" / "note.txt", "yesterday\n");

    FormState state;
    testing::FakeShell shell;
    const platform::LocalDate today{2024, 3, 1};
    engine::MirrorEngine engine(state, shell, [&] { return today; });
    DateCopyMenu menu(state, shell, [] { return true; });
    CopyDateDialog dialog(state);
    state.onTextDateChange = [&](int index) { dialog.normaliseDateField(index); };
    ArchiveStep step(
        state, shell, menu, [&](const std::string& path) { engine.finishCopiedFile(path); },
        [&] { return today; });
    engine.compressPastDateFolders = [&] {
        step.compressPastDateFolders();
        return step.lastOutcome();
    };

    state.addListTarget(source / "note.txt");
    state.setTextSaveAt(dest.str());
    menu.toggleCompressedDateCopy();
    menu.toggleReadOnlyCopies();
    state.setKeepCopyDates(false);
    dialog.applyKeepDatesBox();
    const char* when[] = {"2026", "12", "8", "9", "30", "0"};
    for (int i = 0; i < 6; ++i) {
        state.setTextDate(i, when[i]);
    }

    engine.runCopy();

    EXPECT_TRUE(shell.messages.empty()) << ::testing::PrintToString(shell.texts());
    EXPECT_TRUE(fs::is_regular_file(dest.path() / "20240301" / "note.txt"));
    EXPECT_FALSE(fs::exists(dest.path() / "20240229"));
    const std::string archive = dest / "20240229.lzh";
    ASSERT_TRUE(fs::is_regular_file(archive));
    EXPECT_EQ(testing::permissionsOf(archive) & 0222, 0u);
    const auto expected = platform::epochOfLocal({2026, 12, 8, 9, 30, 0});
    ASSERT_TRUE(expected.has_value());
    EXPECT_EQ(testing::modifiedOf(archive), *expected);
}
#endif

} // namespace
} // namespace tolvane::history
