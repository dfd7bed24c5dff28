#pragma once

namespace tolvane::window {

// The main window is designed in twips; the screen counts 15 to a pixel.
inline constexpr int kTwipsPerPixel = 15;

inline constexpr int kMinOuterWidth = 4815;
inline constexpr int kOuterHeight = 6000;
// What the window frame, caption and menu bar add around the client area.
inline constexpr int kChromeWidth = 90;
inline constexpr int kChromeHeight = 690;

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

// Places of the main window's controls, in twips. Controls inside the frame
// are relative to it.
struct MainLayout {
    TwipRect frame;
    TwipRect textInterval;
    TwipRect textTargetFolder;
    TwipRect labelInterval;
    TwipRect labelTargetFolder;
    TwipRect textSaveAt;
    TwipRect labelSaveAt;
    TwipRect commandSelect;
    TwipRect commandSelectSaveAt;
    TwipRect listTargets;
    TwipRect commandAddTarget;
    TwipRect commandRemoveTarget;
};

// The places the window is designed with.
MainLayout creationLayout();

// Fits the controls that follow the width to an outer width of `outerWidth`;
// nothing else moves.
void layoutControls(MainLayout& layout, int outerWidth);

struct OuterSize {
    int width = 0;
    int height = 0;
};

// The resize rule: the window can be widened freely, never narrowed below
// 4815, and is always 6000 high. Lays the controls out for the size the
// window ends at and returns that size.
OuterSize resizeLayout(MainLayout& layout, int outerWidth);

int pixelsOfTwips(int twips);
int outerWidthOfClientPixels(int clientWidthPixels);
int clientPixelsOfOuterWidth(int outerWidth);
int clientPixelsOfOuterHeight(int outerHeight);

} // namespace tolvane::window
