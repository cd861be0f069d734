#pragma once

#include <array>

#include "pages/page_control.h"

// Identifiers of the range calibration page's controls (layout 136).
namespace tandrin::calibration_ids {

constexpr int kSetLower = 1025;  // "Calibration to 4mA"
constexpr int kSetUpper = 1027;  // "Calibration to 20mA"

constexpr std::array<PageControl, 2> kControls{{
    {kSetLower, "IDC_CALI4MA"},
    {kSetUpper, "IDC_CALI20MA"},
}};

}  // namespace tandrin::calibration_ids
