#pragma once

#include <string>
#include <vector>

#include "controls/rgb.h"

namespace tandrin {

// The vocabulary of the drawing plans the drawn controls hand to the
// toolkit: integer pixels, as the controls decide them.
struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Line {
    Point from;
    Point to;
    Rgb colour;
    friend bool operator==(const Line&, const Line&) = default;
};

// A font asked for by face (UTF-8), cell height in pixels and weight
// (400 normal, 900 heavy). The toolkit takes the nearest installed face.
struct FontChoice {
    std::string face;
    int height = 0;
    int weight = 400;
    friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

inline const char* const kSongFace = "\xE5\xAE\x8B\xE4\xBD\x93";  // 宋体
inline const char* const kCalibriFace = "Calibri";
inline const char* const kArialFace = "Arial";

struct TextSize {
    int width = 0;
    int height = 0;
};

// Which point of the text's box the anchor names.
enum class HAlign { kLeft, kCentre, kRight };
enum class VAlign { kTop, kBaseline, kBottom };

// Text in the interface code page, drawn at `at` with the given alignment.
struct TextItem {
    std::string text;
    FontChoice font;
    Point at;
    Rgb colour;
    HAlign hAlign = HAlign::kLeft;
    VAlign vAlign = VAlign::kTop;
};

using Polygon = std::vector<Point>;

// Truncates towards zero like a C cast, but keeps NaN and values far
// beyond the screen inside int: the plans never hold undefined conversions.
int ToPixel(double value);
// Rounds to the nearest integer, halves away from zero, within the same bounds.
int RoundPixel(double value);

}  // namespace tandrin
