// The loop check's outside input: a --points list and the readings of a
// --readings file, one a line, cut into lines as a pipe delivers them.
// Parsing must accept only what it promises.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "procedures/loop_check_points.h"
#include "procedures/reading_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const auto points = tandrin::ParsePoints(text)) {
        if (points->empty() || points->size() > tandrin::kMostPoints) {
            std::abort();
        }
        for (const double point : *points) {
            if (!(point >= tandrin::kLowestPoint && point <= tandrin::kHighestPoint)) {
                std::abort();
            }
        }
    }
    if (const auto reading = tandrin::ParseDecimal(text)) {
        if (!std::isfinite(*reading)) {
            std::abort();
        }
        tandrin::ErrorText(tandrin::ErrorPercent(12.0, *reading));
    }
    // The same bytes in uneven pieces, as reads from a pipe return them:
    // every line bounded, and the same lines whatever the pieces.
    tandrin::ReadingLines whole(16);
    tandrin::ReadingLines pieces(16);
    whole.Append(text);
    whole.Finish();
    std::size_t at = 0;
    for (std::size_t piece = 1; at < text.size(); piece = piece * 3 % 17 + 1) {
        pieces.Append(std::string_view(text).substr(at, piece));
        at += piece;
        while (auto line = pieces.Take()) {
            const auto expected = whole.Take();
            if (!expected || line->text != expected->text || line->tooLong != expected->tooLong ||
                line->text.size() > 16) {
                std::abort();
            }
        }
    }
    pieces.Finish();
    while (auto line = pieces.Take()) {
        const auto expected = whole.Take();
        if (!expected || line->text != expected->text || line->tooLong != expected->tooLong) {
            std::abort();
        }
    }
    if (whole.Take() || !whole.Exhausted() || !pieces.Exhausted()) {
        std::abort();
    }
    return 0;
}
