#pragma once

#include <string>
#include <vector>

namespace tandrin {

// A font the interface asks for by face name, and the faces that stand in
// for it where that face is not installed (Linux rarely has the Windows
// faces). Face names are UTF-8, as font databases list them.
struct UiFontRequest {
    std::string face;
    // Windows gives these fonts by character cell height; `pixelSize` is the
    // em size that gives that cell on the face asked for (and on its
    // metric-compatible stand-ins).
    int cellHeight = 0;
    int pixelSize = 0;
    std::vector<std::string> substitutes;  // best first
};

// ChineseFont: "宋体", cell 14 pixels (SimSun's cell is its em).
const UiFontRequest& ChineseFontRequest();
// WesternFont: "Calibri", cell 16 pixels (Calibri's cell is 1.22 em);
// Carlito has Calibri's metrics.
const UiFontRequest& WesternFontRequest();
// The read-outs' "MS Serif", given in points, so pixel sizes are unused.
const UiFontRequest& ReadoutFontRequest();

// The face to use: the one asked for when installed, else the first
// installed substitute, else empty (the toolkit's default face). Names
// compare without regard to ASCII letter case.
std::string PickFace(const UiFontRequest& request, const std::vector<std::string>& installed);

}  // namespace tandrin
