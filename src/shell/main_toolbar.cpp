#include "shell/main_toolbar.h"

#include "shell/main_dialog_ids.h"

namespace tandrin {

using namespace main_ids;

const std::array<ToolbarPosition, kToolbarPositions> kToolbar{{
    {kOnLine, "online"},
    {kSearch, "search"},
    {kReset, "reset"},
    {kProductInfo, "product_info"},
    {kContact, "contact"},
    {kStop, "stop"},
    {0, nullptr},
    {kMonitorOpen, "open"},
    {kMonitorSave, "save"},
    {kMonitorHistory, "history"},
    {kMonitorAll, "all_curves"},
    {kMonitorPv, "pv_curve"},
    {kMonitorCurrent, "current_curve"},
    {kMonitorPercent, "percent_curve"},
}};

const std::array<PeriodEntry, kPeriodEntries> kPeriods{{
    {"2   sec", 2},
    {"4   sec", 4},
    {"8   sec", 8},
    {"30  sec", 30},
    {"1   min", 60},
    {"2   min", 120},
    {"5   min", 300},
    {"10  min", 600},
    {"30  min", 1800},
}};

bool IsMonitorTool(int command) {
    return command >= kMonitorAll && command <= kMonitorSave;
}

int PeriodOfSelection(int index) {
    if (index < 0 || index >= kPeriodEntries) {
        return 2;
    }
    return kPeriods[static_cast<std::size_t>(index)].seconds;
}

}  // namespace tandrin
