#pragma once

#include <array>

namespace tandrin {

// One position of the main window's toolbar: its command and the name of
// its image (resources/icons/<image>.svg). Command 0 is the separator.
struct ToolbarPosition {
    int command;
    const char* image;
};

constexpr int kToolbarPositions = 14;
constexpr int kFirstMonitorPosition = 7;
extern const std::array<ToolbarPosition, kToolbarPositions> kToolbar;

// True for the commands of positions 7..13, shown only with the monitor page.
bool IsMonitorTool(int command);

// The sampling-period box: entry text and period in seconds.
struct PeriodEntry {
    const char* text;
    int seconds;
};

constexpr int kPeriodEntries = 9;
extern const std::array<PeriodEntry, kPeriodEntries> kPeriods;
// The period of a selection index; none selected (or anything else) gives 2.
int PeriodOfSelection(int index);

}  // namespace tandrin
