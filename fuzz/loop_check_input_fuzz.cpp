// The loop check's outside input: a --points list and the readings of a
// --readings file, one a line. Parsing must accept only what it promises.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "procedures/loop_check_points.h"

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
    return 0;
}
