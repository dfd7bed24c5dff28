#include "monitor/monitor.h"
#include "state/form_state.h"
#include "support/fake_shell.h"
#include "support/scripted_file_dialog.h"
#include "window/target_editing.h"
#include "window/tooltips.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tolvane::window {
namespace {

using ::testing::ElementsAre;

// The editing handlers wired as the program wires them, monitoring running.
class TargetEditingTest : public ::testing::Test {
  protected:
    TargetEditingTest() {
        state.onTextSaveAtChange = [this] { editing.destinationChanged(); };
        monitor.resume();
        state.configChanged = false;
    }

    bool paused() const { return state.stopTimerChecked() && !state.timerEnabled(); }

    FormState state;
    testing::FakeShell shell;
    monitor::Monitor monitor{state, [] {}};
    testing::ScriptedFileDialog dialog;
    TargetEditing editing{state, shell, [this] { monitor.pause(); }, dialog};
};

TEST_F(TargetEditingTest, AddingAppendsTheStagedPathAndPauses) {
    editing.addStagedTarget();
    EXPECT_TRUE(state.listTargets().empty());
    EXPECT_FALSE(paused()) << "an empty box must not pause monitoring";
    EXPECT_FALSE(state.configChanged);

    state.setTextTargetFolder("/home/u/docs");
    editing.addStagedTarget();
    editing.addOnEnter(kEnterKeyCode);
    editing.addOnEnter('a');
    state.setTextTargetFolder("  ");
    editing.addStagedTarget();

    EXPECT_THAT(state.listTargets(), ElementsAre("/home/u/docs", "/home/u/docs", "  "));
    EXPECT_EQ(state.textTargetFolder(), "  ") << "the box keeps its text";
    EXPECT_TRUE(paused());
    EXPECT_TRUE(state.configChanged);
}

TEST_F(TargetEditingTest, TypingInTheStagingBoxChangesNothingElse) {
    state.setTextTargetFolder("/a");
    EXPECT_FALSE(paused());
    EXPECT_FALSE(state.configChanged);
}

TEST_F(TargetEditingTest, RemovingMovesTheSelectedEntryBackIntoTheBox) {
    for (const char* p : {"/a", "/b", "/c"}) {
        state.addListTarget(p);
    }
    state.setTextTargetFolder("typed");
    editing.editSelectedTarget();
    EXPECT_EQ(state.listTargets().size(), 3u) << "no selection: nothing happens";
    EXPECT_EQ(state.textTargetFolder(), "typed");
    EXPECT_FALSE(paused());

    state.setListIndex(1);
    editing.editSelectedTarget();
    EXPECT_THAT(state.listTargets(), ElementsAre("/a", "/c"));
    EXPECT_EQ(state.textTargetFolder(), "/b");
    EXPECT_EQ(state.listIndex(), -1);
    EXPECT_TRUE(paused());
    EXPECT_TRUE(state.configChanged);

    state.setListIndex(0);
    editing.editSelectedTarget();
    EXPECT_THAT(state.listTargets(), ElementsAre("/c"));
    EXPECT_EQ(state.textTargetFolder(), "/a");
}

TEST_F(TargetEditingTest, BrowsingFillsTheBoxOrLeavesItOnCancel) {
    state.setTextTargetFolder("/home/u");
    dialog.answers = {"", "/home/u/file.txt"};
    editing.browseForTarget();
    EXPECT_EQ(state.textTargetFolder(), "/home/u");
    editing.browseForTarget();
    EXPECT_EQ(state.textTargetFolder(), "/home/u/file.txt");
    EXPECT_TRUE(state.listTargets().empty()) << "browsing only stages the path";
    EXPECT_FALSE(paused());

    state.setTextSaveAt("/backup");
    monitor.resume();
    state.configChanged = false;
    dialog.answers = {"", "/mnt/usb/x"};
    editing.browseForDestination();
    EXPECT_EQ(state.textSaveAt(), "/backup");
    EXPECT_FALSE(paused());
    editing.browseForDestination();
    EXPECT_EQ(state.textSaveAt(), "/mnt/usb/x");
    EXPECT_TRUE(paused());
    EXPECT_TRUE(state.configChanged);

    ASSERT_EQ(dialog.calls.size(), 4u);
    EXPECT_FALSE(dialog.calls[0].save);
    EXPECT_TRUE(dialog.calls[2].save);
    EXPECT_EQ(dialog.calls[0].filter, "すべてのファイル|*.*");
    EXPECT_EQ(dialog.calls[0].initialFolder, "/home/u");
    EXPECT_EQ(dialog.calls[2].initialFolder, "/backup");
}

TEST_F(TargetEditingTest, DropsOfFileListsAndOfAnythingElse) {
    const DroppedFiles three = std::vector<std::string>{"/x/one", "/x/two", "/x/three"};

    editing.addDroppedTargets(std::nullopt);
    editing.stageDroppedPath(std::nullopt);
    editing.setDroppedDestination(std::nullopt);
    EXPECT_TRUE(state.listTargets().empty());
    EXPECT_EQ(state.textTargetFolder(), "");
    EXPECT_EQ(state.textSaveAt(), "");
    EXPECT_FALSE(paused());

    editing.stageDroppedPath(three);
    EXPECT_EQ(state.textTargetFolder(), "/x/three");
    EXPECT_TRUE(state.listTargets().empty());
    EXPECT_FALSE(paused());

    editing.setDroppedDestination(three);
    EXPECT_EQ(state.textSaveAt(), "/x/three");
    EXPECT_TRUE(paused());

    monitor.resume();
    state.setTextTargetFolder("");
    editing.addDroppedTargets(three);
    EXPECT_THAT(state.listTargets(), ElementsAre("/x/one", "/x/two", "/x/three"));
    EXPECT_EQ(state.textTargetFolder(), "/x/three");
    EXPECT_TRUE(paused());
}

TEST_F(TargetEditingTest, LeavingABoxDropsTrailingSeparatorsButNotTheRoot) {
    state.setTextSaveAt("/backup///");
    monitor.resume();
    state.configChanged = false;
    editing.trimDestination();
    EXPECT_EQ(state.textSaveAt(), "/backup");
    EXPECT_TRUE(paused());
    EXPECT_TRUE(state.configChanged);

    state.setTextSaveAt("/");
    monitor.resume();
    state.configChanged = false;
    editing.trimDestination();
    EXPECT_EQ(state.textSaveAt(), "/");
    EXPECT_FALSE(paused()) << "an unchanged text raises no change";
    EXPECT_FALSE(state.configChanged);

    for (auto [before, after] : std::vector<std::pair<std::string, std::string>>{
             {"/data/", "/data"}, {"//", "/"}, {"rel/dir//", "rel/dir"}, {"a b ", "a b "}}) {
        state.setTextTargetFolder(before);
        editing.trimStagedPath();
        EXPECT_EQ(state.textTargetFolder(), after) << before;
    }
}

TEST_F(TargetEditingTest, AFullListRefusesMoreAndKeepsTheStagedPath) {
    for (std::size_t i = 0; i < kMaxListEntries; ++i) {
        ASSERT_TRUE(state.addListTarget("/p"));
    }
    state.configChanged = false;
    state.setTextTargetFolder("/one/more");
    editing.addStagedTarget();
    EXPECT_EQ(state.listTargets().size(), kMaxListEntries);
    EXPECT_EQ(state.textTargetFolder(), "/one/more");
    EXPECT_FALSE(state.configChanged);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, kListFullMessage);

    editing.addDroppedTargets(std::vector<std::string>{"/d1", "/d2"});
    EXPECT_EQ(shell.messages.size(), 2u) << "one message per drop";
    EXPECT_EQ(state.textTargetFolder(), "/d1");
}

// Two entries with the same last name copy into one place below the
// destination, so adding such an entry asks first, naming both paths.
TEST_F(TargetEditingTest, AnEntryWhoseCopyWouldShareItsNameIsAddedOnlyOnYes) {
    state.addListTarget("/x/docs");
    state.addListTarget("/x/music");
    state.configChanged = false;

    state.setTextTargetFolder("/y/docs");
    shell.answers = {Button::No};
    editing.addStagedTarget();
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].style, MessageStyle::YesNo);
    EXPECT_EQ(shell.messages[0].text, sameCopyNameQuestion("/x/docs", "/y/docs"));
    EXPECT_NE(shell.messages[0].text.find("/x/docs"), std::string::npos);
    EXPECT_NE(shell.messages[0].text.find("/y/docs"), std::string::npos);
    EXPECT_THAT(state.listTargets(), ElementsAre("/x/docs", "/x/music")) << "No adds nothing";
    EXPECT_EQ(state.textTargetFolder(), "/y/docs");
    EXPECT_FALSE(state.configChanged);
    EXPECT_FALSE(paused());

    shell.answers = {Button::Yes};
    editing.addOnEnter(kEnterKeyCode);
    EXPECT_THAT(state.listTargets(), ElementsAre("/x/docs", "/x/music", "/y/docs"));
    EXPECT_TRUE(state.configChanged);
    EXPECT_TRUE(paused());
    EXPECT_EQ(shell.messages.size(), 2u);

    // The same path again shares its copy with itself only; other names and
    // an empty box ask nothing.
    for (const char* path : {"/x/music", "/x/music/", "/z/photos", ""}) {
        state.setTextTargetFolder(path);
        editing.addStagedTarget();
    }
    EXPECT_EQ(shell.messages.size(), 2u);
    EXPECT_EQ(state.listTargets().size(), 6u);
}

TEST_F(TargetEditingTest, EachDroppedPathSharingANameIsAskedAbout) {
    state.addListTarget("/x/docs");
    // The root's copy is called "root".
    state.addListTarget("/");
    shell.answers = {Button::No, Button::Yes};
    editing.addDroppedTargets(std::vector<std::string>{"/a/docs", "/b/new", "/c/root"});
    ASSERT_EQ(shell.messages.size(), 2u);
    EXPECT_EQ(shell.messages[0].text, sameCopyNameQuestion("/x/docs", "/a/docs"));
    EXPECT_EQ(shell.messages[1].text, sameCopyNameQuestion("/", "/c/root"));
    EXPECT_THAT(state.listTargets(), ElementsAre("/x/docs", "/", "/b/new", "/c/root"));
}

TEST(Tooltips, FollowTheTextsAndTheSelection) {
    FormState state;
    EXPECT_EQ(textTargetFolderTip(state), kTipTextTargetFolder);
    EXPECT_EQ(textSaveAtTip(state), kTipTextSaveAt);
    EXPECT_EQ(listTargetsTip(state), kTipListTargets);

    state.setTextTargetFolder("/a/very/long/path/that/does/not/fit");
    state.setTextSaveAt("/mnt/backup");
    state.addListTarget("/first");
    state.addListTarget("/second");
    EXPECT_EQ(textTargetFolderTip(state), "/a/very/long/path/that/does/not/fit");
    EXPECT_EQ(textSaveAtTip(state), "/mnt/backup");
    EXPECT_EQ(listTargetsTip(state), kTipListTargets) << "no selection yet";
    state.setListIndex(1);
    EXPECT_EQ(listTargetsTip(state), "/second");
}

} // namespace
} // namespace tolvane::window
