#pragma once

// Identifiers of the monitor page (dialog 133, language section "KvView4").
namespace tandrin::monitor_ids {

constexpr int kTemplate = 133;
constexpr const char* kSection = "KvView4";

// Controls
constexpr int kPvChart = 1074;
constexpr int kCurrentChart = 1075;
constexpr int kPercentChart = 1076;
constexpr int kGauge = 1077;
constexpr int kRadioPv = 1078;  // starts the group
constexpr int kRadioMa = 1079;
constexpr int kRadioPercent = 1080;
constexpr int kSampleList = 1081;

// The period timer
constexpr int kPeriodTimer = 1;

// Page size in dialog units
constexpr int kWidthDu = 359;
constexpr int kHeightDu = 224;

// Radio buttons' template positions, dialog units
constexpr int kRadioLeftDu = 314;
constexpr int kRadioPvTopDu = 121;
constexpr int kRadioMaTopDu = 136;
constexpr int kRadioPercentTopDu = 151;

}  // namespace tandrin::monitor_ids
