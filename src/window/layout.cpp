#include "window/layout.h"

#include <cmath>

namespace tolvane::window {

MainLayout creationLayout() {
    MainLayout l;
    l.frame = {120, 0, 4455, 5175};
    l.textInterval = {120, 4680, 4215, 270};
    l.textTargetFolder = {480, 480, 3855, 270};
    l.labelInterval = {120, 4440, 3615, 255};
    l.labelTargetFolder = {120, 240, 1215, 255};
    l.textSaveAt = {480, 3960, 3855, 270};
    l.labelSaveAt = {120, 3720, 1215, 255};
    l.commandSelect = {120, 480, 375, 255};
    l.commandSelectSaveAt = {120, 3960, 375, 255};
    l.listTargets = {120, 1200, 4215, 2400};
    l.commandAddTarget = {1200, 840, 735, 255};
    l.commandRemoveTarget = {2520, 840, 735, 255};
    return l;
}

void layoutControls(MainLayout& layout, int outerWidth) {
    layout.textTargetFolder.width = outerWidth - 930;
    layout.listTargets.width = outerWidth - 570;
    layout.textSaveAt.width = outerWidth - 930;
    layout.textInterval.width = outerWidth - 570;
    layout.frame.width = outerWidth - 330;
    layout.commandRemoveTarget.left = outerWidth - 2265;
}

OuterSize resizeLayout(MainLayout& layout, int outerWidth) {
    // Setting the width back raises the resize once more, which lays out for
    // the minimum; clamping first gives that final layout directly and never
    // passes a negative width on.
    const int width = outerWidth > kMinOuterWidth ? outerWidth : kMinOuterWidth;
    layoutControls(layout, width);
    return {width, kOuterHeight};
}

int pixelsOfTwips(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

int outerWidthOfClientPixels(int clientWidthPixels) {
    return clientWidthPixels * kTwipsPerPixel + kChromeWidth;
}

int clientPixelsOfOuterWidth(int outerWidth) {
    return pixelsOfTwips(outerWidth - kChromeWidth);
}

int clientPixelsOfOuterHeight(int outerHeight) {
    return pixelsOfTwips(outerHeight - kChromeHeight);
}

} // namespace tolvane::window
