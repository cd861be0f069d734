#pragma once

#include <string>
#include <string_view>

namespace tandrin::cli {

// `text` (UTF-8) made safe for a terminal: control characters (C0, DEL,
// C1) and bytes that are not UTF-8 are shown as \xNN, so a name or line
// read from a file cannot move the cursor, retitle the window or clear the
// screen. `keepLineEnds` lets "\n" through for messages of several lines.
std::string Printable(std::string_view text, bool keepLineEnds = false);

}  // namespace tandrin::cli
