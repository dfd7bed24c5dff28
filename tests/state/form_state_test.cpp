#include "state/form_state.h"

#include <gtest/gtest.h>
#include <vector>

namespace tolvane {
namespace {

TEST(FormState, TextChangeHandlersRunOnlyForRealChanges) {
    FormState state;
    int saveAtChanges = 0;
    int intervalChanges = 0;
    std::vector<int> dateChanges;
    state.onTextSaveAtChange = [&] { ++saveAtChanges; };
    state.onTextIntervalChange = [&] { ++intervalChanges; };
    state.onTextDateChange = [&](int index) { dateChanges.push_back(index); };

    state.setTextSaveAt("/backup");
    state.setTextSaveAt("/backup");
    state.setTextSaveAt("");
    state.setTextInterval("60000");
    state.setTextInterval("60000");
    state.setTextDate(3, "9");
    state.setTextDate(3, "9");
    state.setTextTargetFolder("/data");

    EXPECT_EQ(saveAtChanges, 2);
    EXPECT_EQ(intervalChanges, 1);
    EXPECT_EQ(dateChanges, std::vector<int>{3});
}

TEST(FormState, ListSelectionFollowsRemovals) {
    FormState state;
    for (const char* entry : {"a", "b", "c"}) {
        ASSERT_TRUE(state.addListTarget(entry));
    }
    state.setListIndex(2);
    EXPECT_EQ(state.listText(), "c");
    state.removeListTarget(0);
    EXPECT_EQ(state.listIndex(), 1);
    EXPECT_EQ(state.listText(), "c");
    state.removeListTarget(1);
    EXPECT_EQ(state.listIndex(), -1);
    EXPECT_EQ(state.listText(), "");
    state.setListIndex(7);
    EXPECT_EQ(state.listIndex(), -1);
}

TEST(FormState, ListHoldsAtMost32767Entries) {
    FormState state;
    for (std::size_t i = 0; i < kMaxListEntries; ++i) {
        ASSERT_TRUE(state.addListTarget("x"));
    }
    EXPECT_FALSE(state.addListTarget("one too many"));
    EXPECT_EQ(state.listTargets().size(), kMaxListEntries);
}

TEST(FormState, ListenersHearEachChangedGroup) {
    FormState state;
    std::vector<StateField> heard;
    state.subscribe([&](StateField f) { heard.push_back(f); });
    state.setCaption("x");
    state.setCaption("x");
    state.setStopTimerChecked(false);
    state.setTimerEnabled(true);
    state.resetFormDate();
    EXPECT_EQ(heard, (std::vector<StateField>{StateField::Caption, StateField::Menus,
                                              StateField::Timer, StateField::FormDate}));
}

TEST(FormState, ResetFormDateRestoresTheFreshDialog) {
    FormState state;
    int changes = 0;
    state.onTextDateChange = [&](int) { ++changes; };
    state.setKeepCopyDates(false);
    state.setTextDate(0, "2026");
    state.setDateFieldsEnabled(true);
    state.setFormDateVisible(true);
    changes = 0;
    state.resetFormDate();
    EXPECT_TRUE(state.keepCopyDates());
    EXPECT_EQ(state.textDate(0), "");
    EXPECT_FALSE(state.dateFieldsEnabled());
    EXPECT_FALSE(state.formDateVisible());
    EXPECT_EQ(changes, 0);
}

} // namespace
} // namespace tolvane
