// The trend chart's repaint plan: what is drawn, where and in which colour.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "controls/trend_chart_model.h"
#include "device/degree_text.h"

namespace tandrin {

namespace {

constexpr Rgb kMainGrid{150, 150, 0};
constexpr Rgb kFineGrid{155, 155, 155};
constexpr Rgb kCentreLine{255, 255, 0};

FontChoice TitleFont() {
    return {chineseUi.load() == 1 ? kSongFace : kCalibriFace, 20, 400};
}
FontChoice LabelFont() {
    return {kSongFace, 12, 400};
}
FontChoice ReadoutFont() {
    return {kSongFace, 16, 900};
}

}  // namespace

ChartFrame TrendChartModel::Paint(int width, int height, const MeasureText& measure) {
    m_strUnit = NormaliseDegreeUnit(m_strUnit);
    m_view.width = width;
    m_view.height = height;
    FollowLatest();

    ChartFrame frame;
    frame.width = width;
    frame.height = height;
    PlanBackground(frame);
    PlanGrid(frame);
    PlanCurve(frame);
    PlanTexts(frame, measure);
    PlanCursor(frame);
    return frame;
}

// Row by row from the top colour towards the bottom one, the steps summed
// in single precision.
void TrendChartModel::PlanBackground(ChartFrame& frame) const {
    if (m_backTop == m_backBottom) {
        frame.solidBackground = m_backTop;
        return;
    }
    const int height = frame.height;
    if (height <= 0) {
        return;
    }
    float red = m_backTop.r;
    float green = m_backTop.g;
    float blue = m_backTop.b;
    const float stepRed = static_cast<float>(m_backBottom.r - m_backTop.r) / height;
    const float stepGreen = static_cast<float>(m_backBottom.g - m_backTop.g) / height;
    const float stepBlue = static_cast<float>(m_backBottom.b - m_backTop.b) / height;
    frame.backgroundRows.reserve(static_cast<std::size_t>(std::max(height, 0)));
    for (int y = 0; y < height; ++y) {
        frame.backgroundRows.push_back(Rgb{static_cast<std::uint8_t>(red),
                                           static_cast<std::uint8_t>(green),
                                           static_cast<std::uint8_t>(blue)});
        red += stepRed;
        green += stepGreen;
        blue += stepBlue;
    }
}

void TrendChartModel::PlanGrid(ChartFrame& frame) const {
    const int width = frame.width;
    const int height = frame.height;
    auto vertical = [&](int x, Rgb colour) { frame.grid.push_back({{x, 0}, {x, height}, colour}); };
    auto horizontal = [&](int y, Rgb colour) {
        frame.grid.push_back({{0, y}, {width, y}, colour});
    };
    for (int j = 1; j < kColumns; ++j) {
        vertical(j * width / kColumns, kMainGrid);
    }
    for (int j = 1; j < kRows; ++j) {
        horizontal(j * height / kRows, kMainGrid);
    }
    if (m_Detailed) {
        const double band = static_cast<double>(height) / kRows;
        for (int r = 0; r < kRows; ++r) {
            for (int k = 1; k <= 3; ++k) {
                horizontal(ToPixel(k * band * 0.25 + r * band), kFineGrid);
            }
        }
        const double column = static_cast<double>(width) / kColumns;
        for (int c = 0; c < kColumns; ++c) {
            for (int k = 1; k <= 3; ++k) {
                vertical(ToPixel(k * column * 0.25 + c * column), kFineGrid);
            }
        }
    }
    horizontal(height / 2, kCentreLine);
}

// Only the samples in view are walked, so the cost follows the view, not
// the length of the list. A view beyond the list draws no curve.
void TrendChartModel::PlanCurve(ChartFrame& frame) const {
    frame.curveColour = m_curveColour;
    const int count = SampleCount();
    if (count < 2) {
        return;
    }
    const int first = std::max(m_view.m_First, 0);
    const int last = std::min(m_view.m_Last, count - 1);
    std::vector<Point>* line = nullptr;
    for (int i = first; i <= last; ++i) {
        const double value = (*m_pSamples)[static_cast<std::size_t>(i)].value;
        if (std::isnan(value)) {
            line = nullptr;
            continue;
        }
        if (line == nullptr) {
            line = &frame.curve.emplace_back();
        }
        line->push_back({m_view.XOfPosition(i), m_view.YOfValue(value)});
    }
}

void TrendChartModel::PlanTexts(ChartFrame& frame, const MeasureText& measure) const {
    const FontChoice titleFont = TitleFont();
    const int titleWidth = measure(m_strTitle, titleFont).width;
    frame.texts.push_back(
        {m_strTitle, titleFont, {(frame.width - titleWidth) / 2, 0}, m_titleColour});

    const FontChoice labelFont = LabelFont();
    frame.texts.push_back({m_strUnit, labelFont, {2, 0}, m_unitColour});
    const int oneHeight = measure("1", labelFont).height;
    for (int i = 1; i < kRows; ++i) {
        const double value = m_view.m_YMin + (m_view.m_YMax - m_view.m_YMin) * i * (1.0 / kRows);
        char label[64];
        std::snprintf(label, sizeof label, "%.*f", 3, value);
        frame.texts.push_back(
            {label, labelFont, {2, m_view.YOfValue(value) - oneHeight}, m_unitColour});
    }
    PlanReadout(frame, measure);
}

// The newest sample's value and the count, or the marked sample's.
void TrendChartModel::PlanReadout(ChartFrame& frame, const MeasureText& measure) const {
    const int count = SampleCount();
    if (count == 0) {
        return;
    }
    std::string left;
    std::string right;
    const auto valueText = [this](int index) {
        char text[96];
        std::snprintf(text, sizeof text, "%.5f ",
                      (*m_pSamples)[static_cast<std::size_t>(index)].value);
        return std::string(text) + m_strUnit;
    };
    if (m_Cursor < 0) {
        left = std::to_string(count);
        right = valueText(count - 1);
    } else if (m_Cursor < count) {
        left = std::to_string(m_Cursor);
        right = valueText(m_Cursor);
    }
    const FontChoice font = ReadoutFont();
    const TextSize leftSize = measure(left, font);
    const TextSize rightSize = measure(right, font);
    frame.texts.push_back({left, font, {2, frame.height - leftSize.height}, m_unitColour});
    frame.texts.push_back({right,
                           font,
                           {frame.width - rightSize.width, frame.height - rightSize.height},
                           m_unitColour});
}

void TrendChartModel::PlanCursor(ChartFrame& frame) const {
    if (m_pSamples == nullptr || m_Cursor < m_view.m_First || m_Cursor >= SampleCount()) {
        return;
    }
    const int x = m_view.XOfPosition(m_Cursor);
    const int y = m_view.YOfValue((*m_pSamples)[static_cast<std::size_t>(m_Cursor)].value);
    frame.cursorHorizontal = Line{{0, y}, {frame.width, y}, ChartFrame::kCursorPen};
    frame.cursorVertical = Line{{x, 0}, {x, frame.height}, ChartFrame::kCursorPen};
    frame.cursorDot = Point{x, y};
}

}  // namespace tandrin
