#pragma once

#include <string>
#include <vector>

#include "procedures/survey.h"

namespace tandrin {

// The survey's rows as CSV (a header line, then one line a device) and as
// one JSON object {"devices": [...]}, with the keys tandrin-cli survey
// uses. Texts in UTF-8; `toUtf8` converts the device and interface texts.
std::string SurveyCsv(const std::vector<SurveyDevice>& devices,
                      std::string (*toUtf8)(const std::string&));
std::string SurveyJson(const std::vector<SurveyDevice>& devices,
                       std::string (*toUtf8)(const std::string&));

// The most serious device status bit in words (interface text), "OK"
// when none is set; and every set bit, one a line.
std::string SurveyStatusWords(std::uint8_t status);
std::string SurveyStatusDetail(std::uint8_t status);

}  // namespace tandrin
