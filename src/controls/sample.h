#pragma once

#include <cstdint>
#include <vector>

namespace tandrin {

// One recorded point of a series: the value in the series' unit and when it
// was taken (seconds since 1970-01-01 UTC, shown in local time).
struct Sample {
    double value = 0.0;
    std::int32_t time = 0;

    friend bool operator==(const Sample&, const Sample&) = default;
};

// A series, oldest first. Contiguous, so the chart reaches any sample in
// constant time and a day of samples at 2 s stays cheap to walk and to append.
using SampleList = std::vector<Sample>;

}  // namespace tandrin
