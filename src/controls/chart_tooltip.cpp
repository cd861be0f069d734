// The trend chart's point tooltip and its degree unit.
#include <cstdio>
#include <ctime>

#include "controls/trend_chart_model.h"
#include "device/degree_text.h"
#include "platform/text_codec.h"

namespace tandrin {

namespace {

const char* const kGbkCelsius = "\xA1\xE6";  // ℃
const char* const kWesternCelsius =
    "\xB0"
    "C";  // °C

// The balloon is a Unicode window: its fixed labels and the series name are
// UTF-8 whatever the interface language; the unit is converted from the
// interface code page.
std::string InterfaceToUtf8(const std::string& text) {
    return ToUtf8(text, chineseUi.load() == 1);
}

std::string LocalTimeText(std::int32_t seconds) {
    const std::time_t time = seconds;
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) {
        return {};
    }
    char text[64];
    std::snprintf(text, sizeof text, "%d-%02d-%02d  %02d:%02d:%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

}  // namespace

std::string NormaliseDegreeUnit(const std::string& unit) {
    if (unit == kGbkCelsius || unit == kWesternCelsius) {
        return DegreeText();
    }
    return unit;
}

std::optional<PointTip> TrendChartModel::PointTooltip(Point p) {
    if (m_pSamples == nullptr) {
        return std::nullopt;
    }
    if (m_Follow) {
        m_Cursor = -1;
        return std::nullopt;
    }
    const int index = m_view.PositionOfX(p.x);
    m_Cursor = index;
    if (index < m_view.m_First || index >= SampleCount()) {
        m_Cursor = -1;
        return std::nullopt;
    }
    const Sample& sample = (*m_pSamples)[static_cast<std::size_t>(index)];
    m_strUnit = NormaliseDegreeUnit(m_strUnit);
    char value[64];
    std::snprintf(value, sizeof value, "%.5f", sample.value);
    const std::string name = m_strName + "\xEF\xBC\x9A";  // ：
    const std::string line1 = name + value + " " + InterfaceToUtf8(m_strUnit);
    const std::string line2 = "\xE6\x97\xB6  \xE9\x97\xB4\xEF\xBC\x9A" + LocalTimeText(sample.time);
    const std::string line3 = "\xE4\xBD\x8D  \xE7\xBD\xAE\xEF\xBC\x9A" + std::to_string(index);
    return PointTip{line1 + "\n\n" + line2 + "\n\n" + line3,
                    {m_view.XOfPosition(index), m_view.YOfValue(sample.value)}};
}

}  // namespace tandrin
