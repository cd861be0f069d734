#pragma once

#include "controls/draw_types.h"

namespace tandrin {

// The balloon tooltip's shape and place: a rounded rectangle around the
// text with a triangle below its right end whose tip lands on the anchor.
struct BalloonLayout {
    static constexpr int kPadX = 12;
    static constexpr int kPadY = 10;
    static constexpr int kCornerW = 12;  // corner ellipse
    static constexpr int kCornerH = 10;
    static constexpr int kTail = 25;  // window height below the body
    static constexpr int kIconGap = 5;
    static constexpr int kShowMs = 3000;

    int bodyW = 0;  // the rounded rectangle (0,0)-(bodyW,bodyH)
    int bodyH = 0;
    Polygon triangle;
    int windowW = 0;
    int windowH = 0;
    Point windowAt;  // top-left, in the anchor's coordinates
    Point textAt;    // inside the window
    Point tip;       // the triangle's tip, inside the window

    // A text block of textW x textH, an optional icon, and the anchor.
    static BalloonLayout For(TextSize text, Point anchor, TextSize icon = {});
};

}  // namespace tandrin
