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
            dialog.normaliseDateField(index);
        };
    }

    void setBox(bool keep) {
        state.setKeepCopyDates(keep);
        dialog.applyKeepDatesBox();
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
        SCOPED_TRACE(std::string("typed ") + c.typed);
        Rig rig;
        rig.state.setTextDate(1, c.typed);
        EXPECT_EQ(rig.state.textDate(1), c.shown);
        // The replacement raises one more change at most, then it settles.
        EXPECT_LE(rig.changeEvents, 2);
    }

    Rig rig;
    rig.state.setTextDate(0, "2024");
    rig.state.setTextDate(0, "");
    EXPECT_EQ(rig.state.textDate(0), "0");
}

TEST(CopyDateFields, OutOfRangeIndexIsIgnored) {
    Rig rig;
    rig.dialog.normaliseDateField(6);
    rig.dialog.normaliseDateField(-1);
    EXPECT_EQ(rig.changeEvents, 0);
}

TEST(CopyDateBox, SwitchesTheFieldsAndLeavesTheirTexts) {
    Rig rig;
    EXPECT_TRUE(rig.state.keepCopyDates());
    EXPECT_FALSE(rig.state.dateFieldsEnabled());

    rig.setBox(false);
    EXPECT_TRUE(rig.state.dateFieldsEnabled());
    EXPECT_EQ(rig.state.textDate(), (std::array<std::string, 6>{}));

    const std::array<const char*, 6> typed{"2024", "13", "1", "0", "0", "0"};
    for (int i = 0; i < 6; ++i) {
        rig.state.setTextDate(i, typed[static_cast<std::size_t>(i)]);
    }
    rig.setBox(true);
    EXPECT_FALSE(rig.state.dateFieldsEnabled());
    EXPECT_EQ(rig.state.textDate(), (std::array<std::string, 6>{"2024", "13", "1", "0", "0", "0"}));

    rig.dialog.setFieldsEnabled(true);
    EXPECT_TRUE(rig.state.dateFieldsEnabled());
    EXPECT_TRUE(rig.state.keepCopyDates());
}

TEST(CopyDateDialogLifetime, OkHidesAndKeepsCloseBoxResets) {
    Rig rig;
    rig.menu.showCopyDateDialog();
    ASSERT_TRUE(rig.state.formDateVisible());
    rig.setBox(false);
    rig.state.setTextDate(0, "2026");
    rig.state.setTextDate(1, "12");

    rig.dialog.accept();
    EXPECT_FALSE(rig.state.formDateVisible());
    rig.menu.showCopyDateDialog();
    EXPECT_TRUE(rig.state.formDateVisible());
    EXPECT_FALSE(rig.state.keepCopyDates());
    EXPECT_TRUE(rig.state.dateFieldsEnabled());
    EXPECT_EQ(rig.state.textDate(0), "2026");
    EXPECT_EQ(rig.state.textDate(1), "12");

    const int eventsBefore = rig.changeEvents;
    rig.dialog.discardEntries();
    EXPECT_FALSE(rig.state.formDateVisible());
    EXPECT_EQ(rig.changeEvents, eventsBefore);
    rig.menu.showCopyDateDialog();
    EXPECT_TRUE(rig.state.keepCopyDates());
    EXPECT_FALSE(rig.state.dateFieldsEnabled());
    EXPECT_EQ(rig.state.textDate(), (std::array<std::string, 6>{}));
}

} // namespace
} // namespace tolvane::history
