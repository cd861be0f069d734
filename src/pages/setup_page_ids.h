#pragma once

// Identifiers of the setup page's controls (layout 131).
namespace tandrin::setup_ids {

// Sensors
constexpr int kSingleSensor = 1140;
constexpr int kDoubleSensor = 1141;
constexpr int kModeBackup = 1142;
constexpr int kModeAverage = 1143;
constexpr int kModeDifference = 1144;
constexpr int kModeIndependent = 1145;
constexpr int kSensor1Type = 1165;
constexpr int kSensor1Wiring = 1167;
constexpr int kSensor1Offset = 1002;
constexpr int kSensor1OffsetUnit = 1156;
constexpr int kSensor2Type = 1186;
constexpr int kSensor2Wiring = 1188;
constexpr int kSensor2Offset = 1003;
constexpr int kSensor2OffsetUnit = 1157;

// Output
constexpr int kOutputSensor = 1032;
constexpr int kZero = 1001;
constexpr int kSpan = 1031;
constexpr int kUnit = 1030;
constexpr int kDisplayMode = 1223;
constexpr int kDecimals = 1024;
constexpr int kAlarm = 1027;
constexpr int kDamping = 1161;

// Buttons
constexpr int kRead = 1049;
constexpr int kUpdate = 1168;

// Hidden "PV" / "I" radio pairs of the two offset unit labels.
constexpr int kSensor1Pv = 1152;
constexpr int kSensor1Current = 1153;
constexpr int kSensor2Pv = 1154;
constexpr int kSensor2Current = 1155;

// Labels and group boxes, captioned "IDC_STA1" .. "IDC_STA17" in this order.
constexpr int kLabels[17] = {1102, 1103, 1105, 1106, 1107, 1108, 1109, 1110, 1104,
                             1111, 1112, 1113, 1029, 1033, 1114, 1115, 1116};

constexpr int kWorkModes[4] = {kModeBackup, kModeAverage, kModeDifference, kModeIndependent};

}  // namespace tandrin::setup_ids
