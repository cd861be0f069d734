#pragma once

#include "shell/main_dialog.h"

// Where the main window and the About box put their controls, in pixels.
//
// The layouts are given in dialog units. One unit is 2 pixels across and 2
// down: the logo's 11 x 11 units then hold the 22 x 22 pixel Logo.bmp
// exactly, and the 76-unit page buttons end at 152 pixels, just left of the
// monitor page at 155. The pages themselves are placed in pixels. At 2
// pixels a unit the 412-unit dialog would be 824 pixels wide, too narrow for
// pages reaching 880, so the client area is widened to 890 and the controls
// that reach the right edge (the progress bar) stretch with it.
namespace tandrin::layout {

struct PixelRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    constexpr int Right() const { return x + w; }
    constexpr int Bottom() const { return y + h; }
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

constexpr int kPixelsPerUnit = 2;
constexpr int Du(int units) {
    return units * kPixelsPerUnit;
}
constexpr PixelRect DuRect(int x, int y, int w, int h) {
    return {Du(x), Du(y), Du(w), Du(h)};
}

// Main window (412 x 271 units), client area below the menu bar and above
// the status bar.
constexpr PixelRect kPageRect{180, 50, 700, 440};
constexpr PixelRect kMonitorPageRect{155, 42, 725, 460};
constexpr int kClientWidth = kPageRect.Right() + 10;
constexpr int kClientHeight = Du(271);
constexpr int kToolBandHeight = 42;
constexpr PixelRect kLogoRect = DuRect(0, 21, 11, 11);
constexpr int kStripWidth = Du(76);
constexpr PixelRect kProgressRect{Du(78), Du(251), kClientWidth - Du(78), Du(10)};
constexpr int kPortPaneMinWidth = 40;
// Toolbar buttons are between 40 and 60 pixels wide; images 32 x 32.
constexpr int kToolButtonWidth = 40;
constexpr int kToolImageSize = 32;
// The sampling-period box: 5 pixels right of the last tool, 75 wide.
constexpr int kPeriodBoxGap = 5;
constexpr int kPeriodBoxWidth = 75;

// The page buttons by page index (setup, information, calibration,
// monitor, current adjustment): one column, 76 x 21 units each.
constexpr PixelRect PageButtonRect(int index) {
    constexpr int kTop[MainDialog::kPageCount] = {49, 71, 93, 115, 137};
    return DuRect(0, kTop[index >= 0 && index < MainDialog::kPageCount ? index : 0], 76, 21);
}
constexpr PixelRect PageRect(int index) {
    return index == MainDialog::kMonitorIndex ? kMonitorPageRect : kPageRect;
}

static_assert(kMonitorPageRect.Bottom() <= kProgressRect.y, "pages end above the progress bar");
static_assert(PageButtonRect(0).Right() <= kMonitorPageRect.x, "buttons end left of the pages");
static_assert(kMonitorPageRect.Right() <= kClientWidth, "pages fit the client area");
static_assert(kToolBandHeight <= kMonitorPageRect.y, "the toolbar band ends above the pages");

// About box (235 x 55 units)
constexpr int kAboutWidth = Du(235);
constexpr int kAboutHeight = Du(55);
constexpr PixelRect kAboutIcon{Du(11), Du(15), 32, 32};
constexpr PixelRect kAboutVersionLine = DuRect(40, 10, 150, 8);
constexpr PixelRect kAboutCompanyLine = DuRect(40, 25, 119, 8);
constexpr PixelRect kAboutOk = DuRect(196, 7, 32, 14);

}  // namespace tandrin::layout
