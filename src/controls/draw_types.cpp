#include "controls/draw_types.h"

#include <cmath>

namespace tandrin {

namespace {

// Far enough off any screen that a clipped line keeps its direction, and
// small enough that sums of a few of them stay inside int.
constexpr double kFarPixel = 1.0e7;

double Bounded(double value) {
    if (std::isnan(value)) {
        return 0.0;
    }
    return std::fmax(-kFarPixel, std::fmin(kFarPixel, value));
}

}  // namespace

int ToPixel(double value) {
    return static_cast<int>(Bounded(value));
}

int RoundPixel(double value) {
    return static_cast<int>(std::round(Bounded(value)));
}

}  // namespace tandrin
