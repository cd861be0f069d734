#include "procedures/loop_check_record.h"

#include <algorithm>

namespace tandrin {

bool LoopCheckPass::Passed() const {
    return complete &&
           std::all_of(rows.begin(), rows.end(), [](const LoopCheckRow& row) { return row.pass; });
}

const LoopCheckRow* LoopCheckPass::RowAt(double percent) const {
    const auto found = std::find_if(rows.begin(), rows.end(), [percent](const LoopCheckRow& row) {
        return row.percent == percent;
    });
    return found == rows.end() ? nullptr : &*found;
}

LoopCheckRow JudgeReading(double percent, double readingMa, double tolerance) {
    LoopCheckRow row;
    row.percent = percent;
    row.expectedMa = ExpectedCurrent(percent);
    row.readingMa = readingMa;
    row.errorPercent = ErrorPercent(row.expectedMa, readingMa);
    row.pass = WithinTolerance(row.errorPercent, tolerance);
    return row;
}

}  // namespace tandrin
