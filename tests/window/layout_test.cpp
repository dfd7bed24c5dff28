#include "state/form_state.h"
#include "window/layout.h"
#include "window/visibility.h"

#include <gtest/gtest.h>

namespace tolvane::window {
namespace {

TEST(Layout, AtTheDesignWidthTheControlsKeepTheirPlaces) {
    MainLayout l = creationLayout();
    const MainLayout designed = l;
    layoutControls(l, 4785);
    EXPECT_EQ(l.textTargetFolder, designed.textTargetFolder);
    EXPECT_EQ(l.listTargets, designed.listTargets);
    EXPECT_EQ(l.textSaveAt, designed.textSaveAt);
    EXPECT_EQ(l.textInterval, designed.textInterval);
    EXPECT_EQ(l.frame, designed.frame);
    EXPECT_EQ(l.commandRemoveTarget, designed.commandRemoveTarget);
}

TEST(Layout, WideningStretchesTheBoxesAndMovesOnlyTheRemoveButton) {
    MainLayout l = creationLayout();
    const MainLayout designed = l;
    const OuterSize size = resizeLayout(l, 4785 + 1500);
    EXPECT_EQ(size.width, 6285);
    EXPECT_EQ(size.height, 6000);
    EXPECT_EQ(l.textTargetFolder.width, designed.textTargetFolder.width + 1500);
    EXPECT_EQ(l.listTargets.width, designed.listTargets.width + 1500);
    EXPECT_EQ(l.textSaveAt.width, designed.textSaveAt.width + 1500);
    EXPECT_EQ(l.textInterval.width, designed.textInterval.width + 1500);
    EXPECT_EQ(l.frame.width, designed.frame.width + 1500);
    EXPECT_EQ(l.commandRemoveTarget.left, designed.commandRemoveTarget.left + 1500);
    EXPECT_EQ(l.commandAddTarget, designed.commandAddTarget);
    EXPECT_EQ(l.commandSelect, designed.commandSelect);
    EXPECT_EQ(l.labelInterval, designed.labelInterval);
    EXPECT_EQ(l.listTargets.height, designed.listTargets.height);
}

TEST(Layout, NarrowingStopsAtTheMinimumAndTheHeightIsFixed) {
    for (int width : {4815, 4000, 900, 0, -50}) {
        MainLayout l = creationLayout();
        const OuterSize size = resizeLayout(l, width);
        EXPECT_EQ(size.width, kMinOuterWidth) << width;
        EXPECT_EQ(size.height, kOuterHeight) << width;
        EXPECT_EQ(l.frame.width, kMinOuterWidth - 330) << width;
        EXPECT_GT(l.textSaveAt.width, 0) << width;
    }
}

TEST(Layout, PixelConversions) {
    EXPECT_EQ(pixelsOfTwips(4215), 281);
    EXPECT_EQ(pixelsOfTwips(255), 17);
    EXPECT_EQ(outerWidthOfClientPixels(313), 4785);
    EXPECT_EQ(clientPixelsOfOuterWidth(kMinOuterWidth), 315);
    EXPECT_EQ(clientPixelsOfOuterHeight(kOuterHeight), 354);
}

TEST(Visibility, ShowAndHideMoveTheCheckMarks) {
    FormState state;
    WindowVisibility v(state);
    v.show();
    EXPECT_TRUE(state.windowVisible());
    EXPECT_TRUE(state.visibleTrueChecked());
    EXPECT_FALSE(state.visibleFalseChecked());
    v.hide();
    v.hide();
    EXPECT_FALSE(state.windowVisible());
    EXPECT_FALSE(state.visibleTrueChecked());
    EXPECT_TRUE(state.visibleFalseChecked());
}

TEST(Visibility, OnlyARightButtonPressOpensTheMenu) {
    for (int code = kTrayMouseMove; code <= kTrayMiddleDoubleClick; ++code) {
        EXPECT_EQ(trayNotificationOpensMenu(code), code == kTrayRightDown) << code;
    }
}

} // namespace
} // namespace tolvane::window
