#include "controls/balloon_layout.h"

#include <algorithm>

namespace tandrin {

BalloonLayout BalloonLayout::For(TextSize text, Point anchor, TextSize icon) {
    BalloonLayout layout;
    int w = text.width + 2 * kPadX;
    int h = text.height + 2 * kPadY;
    if (icon.width > 0) {
        w += icon.width + kIconGap;
        h = std::max(h, icon.height);
    }
    layout.bodyW = w;
    layout.bodyH = h;
    layout.triangle = {{w - 12, h - 10}, {w - 12, h + 15}, {w - 37, h - 10}};
    layout.windowW = w;
    layout.windowH = h + kTail;
    layout.tip = {w - 12, h + 15};
    layout.windowAt = {anchor.x - layout.tip.x, anchor.y - layout.tip.y};
    layout.textAt = {kPadX + (icon.width > 0 ? icon.width + kIconGap : 0), kPadY};
    return layout;
}

}  // namespace tandrin
