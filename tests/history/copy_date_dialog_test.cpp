#include "history/copy_date_dialog.h"
#include "history/date_copy_menu.h"
#include "support/fake_shell.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

namespace tolvane::history {
namespace {

struct Rig {
    FormState state;
    testing::FakeShell shell;
    CopyDateDialog dialog{state};
    DateCopyMenu menu{state, shell, [] { return true; }};
    int changeEvents = 0;

    Rig() {
        state.onTextDateChange = [this](int index) {
            ++changeEvents;
            dialog.TextDate_Change(index);
        };
    }

    void setBox(int value) {
        state.setCheckKakunin(value);
        dialog.CheckKakunin_Click();
    }
};

TEST(CopyDateFields, KeepOnlyAPlainNumber) {
    struct Case {
        const char* typed;
        const char* shown;
    };
    for (const Case& c :
         {Case{"09", "9"}, Case{"1.", "1"}, Case{"12abc", "12"}, Case{"2024", "2024"},
          Case{"13", "13"}, Case{"abc", "0"}, Case{"-3", "-3"}, Case{"1.5", "1.5"}}) {
        Rig rig;
        rig.state.setTextDate(1, c.typed);
        EXPECT_EQ(rig.state.textDate(1), c.shown) << "typed " << c.typed;
        // The replacement raises one more change at most, then it settles.
        EXPECT_LE(rig.changeEvents, 2) << "typed " << c.typed;
    }

    Rig rig;
    rig.state.setTextDate(0, "2024");
    rig.state.setTextDate(0, "");
    EXPECT_EQ(rig.state.textDate(0), "0");
}

TEST(CopyDateFields, OutOfRangeIndexIsIgnored) {
    Rig rig;
    rig.dialog.TextDate_Change(6);
    rig.dialog.TextDate_Change(-1);
    EXPECT_EQ(rig.changeEvents, 0);
}

TEST(CopyDateBox, SwitchesTheFieldsAndLeavesTheirTexts) {
    Rig rig;
    EXPECT_EQ(rig.state.checkKakunin(), 1);
    EXPECT_FALSE(rig.state.dateFieldsEnabled());

    rig.setBox(0);
    EXPECT_TRUE(rig.state.dateFieldsEnabled());
    EXPECT_EQ(rig.state.textDate(), (std::array<std::string, 6>{}));

    const std::array<const char*, 6> typed{"2024", "13", "1", "0", "0", "0"};
    for (int i = 0; i < 6; ++i) {
        rig.state.setTextDate(i, typed[static_cast<std::size_t>(i)]);
    }
    rig.setBox(1);
    EXPECT_FALSE(rig.state.dateFieldsEnabled());
    EXPECT_EQ(rig.state.textDate(), (std::array<std::string, 6>{"2024", "13", "1", "0", "0", "0"}));

    rig.dialog.setEnable(true);
    EXPECT_TRUE(rig.state.dateFieldsEnabled());
    EXPECT_EQ(rig.state.checkKakunin(), 1);
}

TEST(CopyDateDialogLifetime, OkHidesAndKeepsCloseBoxResets) {
    Rig rig;
    rig.menu.setCopyDate_Click();
    ASSERT_TRUE(rig.state.formDateVisible());
    rig.setBox(0);
    rig.state.setTextDate(0, "2026");
    rig.state.setTextDate(1, "12");

    rig.dialog.CommandOK_Click();
    EXPECT_FALSE(rig.state.formDateVisible());
    rig.menu.setCopyDate_Click();
    EXPECT_TRUE(rig.state.formDateVisible());
    EXPECT_EQ(rig.state.checkKakunin(), 0);
    EXPECT_TRUE(rig.state.dateFieldsEnabled());
    EXPECT_EQ(rig.state.textDate(0), "2026");
    EXPECT_EQ(rig.state.textDate(1), "12");

    const int eventsBefore = rig.changeEvents;
    rig.dialog.closedByCloseBox();
    EXPECT_FALSE(rig.state.formDateVisible());
    EXPECT_EQ(rig.changeEvents, eventsBefore);
    rig.menu.setCopyDate_Click();
    EXPECT_EQ(rig.state.checkKakunin(), 1);
    EXPECT_FALSE(rig.state.dateFieldsEnabled());
    EXPECT_EQ(rig.state.textDate(), (std::array<std::string, 6>{}));
}

} // namespace
} // namespace tolvane::history
