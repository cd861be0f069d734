#pragma once

#include <array>

#include "pages/setup_page_ids.h"
#include "shell/main_window_layout.h"

// Where the setup page puts its controls (layout 131), with their resource
// names and built-in captions. The page is 350 x 220 dialog units (700 x 440
// pixels): a "Sensors" group above an "Output" group, Read and Update below.
namespace tandrin::setup_layout {

enum class Kind { kLabel, kGroup, kRadio, kList, kEditableList, kEdit, kButton };

struct Control {
    int id;
    const char* name;  // resource name: the widget's objectName
    Kind kind;
    const char* caption;
    layout::PixelRect rect;
    bool hidden = false;
};

using namespace setup_ids;
using layout::DuRect;

// Columns of the two groups: label, control; left half and right half.
constexpr int kLeftLabel = 14;
constexpr int kLeftField = 82;
constexpr int kRightLabel = 184;
constexpr int kRightField = 252;
constexpr int kLabelWidth = 66;
constexpr int kRowHeight = 12;

constexpr layout::PixelRect Label(int x, int y) {
    return DuRect(x, y + 2, kLabelWidth, 8);
}
constexpr layout::PixelRect Field(int x, int y, int width) {
    return DuRect(x, y, width, kRowHeight);
}

constexpr std::array<Control, 45> kControls{{
    // Sensors
    {1029, "IDC_STA13", Kind::kGroup, "Sensors", DuRect(5, 4, 340, 100)},
    {kSingleSensor, "IDC_RAO_SINGLESENSE", Kind::kRadio, "Single sensor", DuRect(14, 16, 80, 10)},
    {kDoubleSensor, "IDC_RAO_DOUBLESENSE", Kind::kRadio, "double sensor", DuRect(100, 16, 80, 10)},
    {kModeBackup, "IDC_RAO_MODE1", Kind::kRadio, "Backup", DuRect(14, 30, 76, 10)},
    {kModeAverage, "IDC_RAO_MODE2", Kind::kRadio, "Average", DuRect(100, 30, 76, 10)},
    {kModeDifference, "IDC_RAO_MODE3", Kind::kRadio, "Difference", DuRect(184, 30, 76, 10)},
    {kModeIndependent, "IDC_RAO_MODE4", Kind::kRadio, "independent", DuRect(266, 30, 76, 10)},
    {1102, "IDC_STA1", Kind::kLabel, "Sensor 1 type", Label(kLeftLabel, 46)},
    {kSensor1Type, "IDC_CBO_SENSORTYPE1", Kind::kList, "", Field(kLeftField, 46, 92)},
    {1103, "IDC_STA2", Kind::kLabel, "Sensor 1 wiring", Label(kLeftLabel, 64)},
    {kSensor1Wiring, "IDC_CBO_WIRE1", Kind::kList, "", Field(kLeftField, 64, 60)},
    {1105, "IDC_STA3", Kind::kLabel, "Sensor 1 offset", Label(kLeftLabel, 82)},
    {kSensor1Offset, "IDC_EDIT_OFFSET1", Kind::kEdit, "0", Field(kLeftField, 82, 60)},
    {kSensor1OffsetUnit, "IDC_STA_UNIT1", Kind::kLabel, "", DuRect(146, 84, 28, 8)},
    {kSensor1Pv, "IDC_RAO_PV1", Kind::kRadio, "PV", DuRect(146, 94, 14, 8), true},
    {kSensor1Current, "IDC_RAO_I1", Kind::kRadio, "I", DuRect(160, 94, 14, 8), true},
    {1106, "IDC_STA4", Kind::kLabel, "Sensor 2 type", Label(kRightLabel, 46)},
    {kSensor2Type, "IDC_CBO_SENSORTYPE2", Kind::kList, "", Field(kRightField, 46, 92)},
    {1107, "IDC_STA5", Kind::kLabel, "Sensor 2 wiring", Label(kRightLabel, 64)},
    {kSensor2Wiring, "IDC_CBO_WIRE2", Kind::kList, "", Field(kRightField, 64, 60)},
    {1108, "IDC_STA6", Kind::kLabel, "Sensor 2 offset", Label(kRightLabel, 82)},
    {kSensor2Offset, "IDC_EDIT_OFFSET2", Kind::kEdit, "0", Field(kRightField, 82, 60)},
    {kSensor2OffsetUnit, "IDC_STA_UNIT2", Kind::kLabel, "", DuRect(316, 84, 28, 8)},
    {kSensor2Pv, "IDC_RAO_PV2", Kind::kRadio, "PV", DuRect(316, 94, 14, 8), true},
    {kSensor2Current, "IDC_RAO_I2", Kind::kRadio, "I", DuRect(330, 94, 14, 8), true},

    // Output
    {1033, "IDC_STA14", Kind::kGroup, "Output", DuRect(5, 108, 340, 84)},
    {1109, "IDC_STA7", Kind::kLabel, "Output sensor", Label(kLeftLabel, 120)},
    {kOutputSensor, "IDC_CBO_OUTSENSE", Kind::kList, "", Field(kLeftField, 120, 92)},
    {1111, "IDC_STA10", Kind::kLabel, "Unit", Label(kRightLabel, 120)},
    {kUnit, "IDC_CBO_UNIT", Kind::kEditableList, "", Field(kRightField, 120, 60)},
    {1110, "IDC_STA8", Kind::kLabel, "Zero", Label(kLeftLabel, 138)},
    {kZero, "IDC_EDIT_ZERO", Kind::kEdit, "", Field(kLeftField, 138, 60)},
    {1104, "IDC_STA9", Kind::kLabel, "Span", Label(kRightLabel, 138)},
    {kSpan, "IDC_EDIT_SPAN", Kind::kEdit, "", Field(kRightField, 138, 60)},
    {1112, "IDC_STA11", Kind::kLabel, "Display Mode", Label(kLeftLabel, 156)},
    {kDisplayMode, "IDC_CBO_DISMODE", Kind::kList, "", Field(kLeftField, 156, 92)},
    {1113, "IDC_STA12", Kind::kLabel, "Decimal", Label(kRightLabel, 156)},
    {kDecimals, "IDC_CBO_DISREO", Kind::kList, "", Field(kRightField, 156, 92)},
    {1114, "IDC_STA15", Kind::kLabel, "Alarm", Label(kLeftLabel, 174)},
    {kAlarm, "IDC_CBO_ALARM", Kind::kList, "", Field(kLeftField, 174, 60)},
    {1115, "IDC_STA16", Kind::kLabel, "Damping", Label(kRightLabel, 174)},
    {kDamping, "IDC_EDIT_DAMPING", Kind::kEdit, "", Field(kRightField, 174, 40)},
    {1116, "IDC_STA17", Kind::kLabel, "s", DuRect(296, 176, 20, 8)},

    {kRead, "IDC_cmdRead2", Kind::kButton, "Read", DuRect(206, 198, 64, 16)},
    {kUpdate, "IDC_cmdWrite2", Kind::kButton, "Update", DuRect(280, 198, 64, 16)},
}};

// The alarm list keeps the two entries of the layout.
constexpr std::array<const char*, 2> kAlarmEntries{">=22mA", "<=3.6mA"};

constexpr int kWidth = 350;
constexpr int kHeight = 220;

}  // namespace tandrin::setup_layout
