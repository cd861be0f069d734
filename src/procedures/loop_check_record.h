#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "procedures/loop_check_points.h"

namespace tandrin {

// One tested point of one pass.
struct LoopCheckRow {
    double percent = 0;
    double expectedMa = 0;
    double readingMa = 0;
    double transmitterMa = NAN;  // NaN when not read
    double errorPercent = 0;
    bool pass = false;
};

// The rows of an as-found or an as-left pass, in the order tested.
struct LoopCheckPass {
    std::vector<LoopCheckRow> rows;
    bool complete = false;  // every point has its row

    bool Run() const { return !rows.empty(); }
    bool Passed() const;
    const LoopCheckRow* RowAt(double percent) const;
};

// Who was tested, as the transmitter reported it (texts UTF-8).
struct LoopCheckDevice {
    std::string tag;
    std::string longAddress;  // ten hexadecimal digits
    std::string softwareVersion;
    double lowerRange = 0;
    double upperRange = 0;
    std::string unit;
};

// Everything the report and the CSV show.
struct LoopCheckRecord {
    LoopCheckDevice device;
    LoopCheckSettings settings;
    std::string dateTime;  // local, "YYYY-MM-DD HH:MM"
    std::string technician;
    std::string referenceMeter;
    bool trimmed = false;
    LoopCheckPass asFound;
    LoopCheckPass asLeft;
};

// Judges one reading at one point.
LoopCheckRow JudgeReading(double percent, double readingMa, double tolerance);

}  // namespace tandrin
