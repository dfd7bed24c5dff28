#include "history/date_copy_menu.h"
#include "support/fake_shell.h"

#include <gtest/gtest.h>
#include <ostream>
#include <stdexcept>
#include <string>

namespace tolvane::history {
namespace {

using testing::FakeShell;

constexpr const char* kWarning = "unlha32.dllがインストールされていません。\r\n"
                                 "圧縮機能を利用するにはunlha32.dllが必要です。";
const std::string kMarkedCaption = std::string("●") + "日付履歴コピーモード";

enum class Mode { Off, Normal, Compress };
enum class Click { Plain, Compress, Release };

struct Rig {
    FormState state;
    FakeShell shell;
    bool archiverPresent = true;
    int probes = 0;
    DateCopyMenu menu{state, shell, [this] {
                          ++probes;
                          return archiverPresent;
                      }};

    void enter(Mode mode) {
        if (mode == Mode::Normal) {
            menu.togglePlainDateCopy();
        } else if (mode == Mode::Compress) {
            menu.togglePlainDateCopy();
            menu.togglePlainDateCopy();
        }
        probes = 0;
    }

    void click(Click click) {
        switch (click) {
        case Click::Plain:
            menu.togglePlainDateCopy();
            break;
        case Click::Compress:
            menu.toggleCompressedDateCopy();
            break;
        case Click::Release:
            menu.turnDateCopyOff();
            break;
        }
    }

    Mode mode() const {
        const bool marked = state.dateCopyTag() == "●";
        EXPECT_EQ(state.dateCopyCaption(), marked ? kMarkedCaption : "日付履歴コピーモード");
        if (!marked) {
            EXPECT_FALSE(state.plainDateCopyChecked());
            EXPECT_FALSE(state.dateCopyCompressChecked());
            return Mode::Off;
        }
        EXPECT_NE(state.plainDateCopyChecked(), state.dateCopyCompressChecked());
        return state.dateCopyCompressChecked() ? Mode::Compress : Mode::Normal;
    }
};

struct Transition {
    Mode from;
    Click click;
    Mode to;
    bool libraryCheck;
};

std::string describe(const Transition& t) {
    static const char* const modes[] = {"Off", "Normal", "Compress"};
    static const char* const clicks[] = {"Plain", "Compress", "Release"};
    return std::string(modes[static_cast<int>(t.from)]) + "_" + clicks[static_cast<int>(t.click)];
}

void PrintTo(const Transition& t, std::ostream* os) {
    *os << describe(t);
}

std::string transitionName(const ::testing::TestParamInfo<Transition>& info) {
    return describe(info.param);
}

class DateModeTransitions : public ::testing::TestWithParam<Transition> {};

TEST_P(DateModeTransitions, FollowTheTable) {
    const Transition& t = GetParam();
    Rig rig;
    rig.enter(t.from);
    ASSERT_EQ(rig.mode(), t.from);
    rig.click(t.click);
    EXPECT_EQ(rig.mode(), t.to);
    EXPECT_EQ(rig.probes, t.libraryCheck ? 1 : 0);
    EXPECT_FALSE(rig.state.configChanged);
}

INSTANTIATE_TEST_SUITE_P(
    AllRows, DateModeTransitions,
    ::testing::Values(Transition{Mode::Off, Click::Plain, Mode::Normal, false},
                      Transition{Mode::Off, Click::Compress, Mode::Compress, true},
                      Transition{Mode::Normal, Click::Plain, Mode::Compress, false},
                      Transition{Mode::Normal, Click::Compress, Mode::Compress, true},
                      Transition{Mode::Compress, Click::Compress, Mode::Normal, true},
                      Transition{Mode::Compress, Click::Plain, Mode::Normal, false},
                      Transition{Mode::Off, Click::Release, Mode::Off, false},
                      Transition{Mode::Normal, Click::Release, Mode::Off, false},
                      Transition{Mode::Compress, Click::Release, Mode::Off, false}),
    transitionName);

// Combinations only a settings file can bring: the handlers apply their rules
// to whatever they find.
TEST(DateModeFromSettings, HandlersApplyTheirRulesToAnyCombination) {
    {
        // Mode on, neither item checked.
        Rig rig;
        rig.menu.setDateCopyMark();
        rig.menu.togglePlainDateCopy();
        EXPECT_EQ(rig.mode(), Mode::Normal);
    }
    {
        Rig rig;
        rig.menu.setDateCopyMark();
        rig.menu.toggleCompressedDateCopy();
        EXPECT_EQ(rig.mode(), Mode::Compress);
    }
    {
        // Both checked: the clicked item goes off, the other stays on.
        Rig rig;
        rig.menu.setDateCopyMark();
        rig.state.setPlainDateCopyChecked(true);
        rig.state.setDateCopyCompressChecked(true);
        rig.menu.togglePlainDateCopy();
        EXPECT_EQ(rig.mode(), Mode::Compress);
    }
    {
        Rig rig;
        rig.menu.setDateCopyMark();
        rig.state.setPlainDateCopyChecked(true);
        rig.state.setDateCopyCompressChecked(true);
        rig.menu.toggleCompressedDateCopy();
        EXPECT_EQ(rig.mode(), Mode::Normal);
    }
    {
        // An item checked while the mode is off: the click turns the mode on.
        Rig rig;
        rig.state.setPlainDateCopyChecked(true);
        rig.menu.togglePlainDateCopy();
        EXPECT_EQ(rig.mode(), Mode::Compress);
    }
}

TEST(DateModeMark, IsSetAndClearedOnceWhateverTheRepeats) {
    Rig rig;
    rig.menu.setDateCopyMark();
    rig.menu.setDateCopyMark();
    EXPECT_EQ(rig.state.dateCopyCaption(), kMarkedCaption);
    EXPECT_EQ(rig.state.dateCopyTag(), "●");
    EXPECT_TRUE(rig.state.dateHistoryMode());

    rig.menu.clearDateCopyMark();
    rig.menu.clearDateCopyMark();
    EXPECT_EQ(rig.state.dateCopyCaption(), "日付履歴コピーモード");
    EXPECT_EQ(rig.state.dateCopyTag(), "");
    EXPECT_FALSE(rig.state.dateHistoryMode());

    // Releasing when already off changes nothing at all.
    int changes = 0;
    rig.state.subscribe([&](StateField) { ++changes; });
    rig.menu.turnDateCopyOff();
    EXPECT_EQ(changes, 0);
}

TEST(ArchiverCheck, WarnsWhenMissingAndStillSwitches) {
    Rig rig;
    rig.archiverPresent = false;
    rig.menu.toggleCompressedDateCopy();
    ASSERT_EQ(rig.shell.texts(), std::vector<std::string>{kWarning});
    EXPECT_EQ(rig.shell.messages[0].style, MessageStyle::Ok);
    EXPECT_EQ(rig.mode(), Mode::Compress);

    // Also on the click that switches compression off; never for "通常".
    rig.menu.toggleCompressedDateCopy();
    EXPECT_EQ(rig.shell.messages.size(), 2u);
    rig.menu.togglePlainDateCopy();
    EXPECT_EQ(rig.shell.messages.size(), 2u);
    EXPECT_EQ(rig.mode(), Mode::Compress);
}

TEST(ArchiverCheck, AFailingProbeCountsAsMissing) {
    FormState state;
    FakeShell shell;
    DateCopyMenu menu(state, shell, []() -> bool { throw std::runtime_error("no entry point"); });
    EXPECT_FALSE(menu.archiverAvailable());
    menu.warnIfArchiverMissing();
    EXPECT_EQ(shell.texts(), std::vector<std::string>{kWarning});

    DateCopyMenu present(state, shell, [] { return true; });
    EXPECT_TRUE(present.archiverAvailable());
    present.warnIfArchiverMissing();
    EXPECT_EQ(shell.messages.size(), 1u);
}

TEST(OtherSwitches, ReadOnlyTogglesAndTheDialogOpens) {
    Rig rig;
    rig.menu.toggleReadOnlyCopies();
    EXPECT_TRUE(rig.state.copyAtReadOnlyChecked());
    rig.menu.toggleReadOnlyCopies();
    EXPECT_FALSE(rig.state.copyAtReadOnlyChecked());

    rig.menu.showCopyDateDialog();
    EXPECT_TRUE(rig.state.formDateVisible());
    rig.menu.showCopyDateDialog();
    EXPECT_TRUE(rig.state.formDateVisible());
    EXPECT_FALSE(rig.state.configChanged);
    EXPECT_TRUE(rig.shell.messages.empty());
}

} // namespace
} // namespace tolvane::history
