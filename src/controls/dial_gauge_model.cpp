#include "controls/dial_gauge_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace tandrin {

namespace {

double Radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

}  // namespace

DialGeometry DialGeometry::For(int left, int top, int right, int bottom) {
    DialGeometry g;
    g.R = std::max(right - left, bottom - top) * 9 / 21;
    g.cx = (left + right) / 2;
    g.cy = (top + bottom) / 2 + g.R / 10;
    return g;
}

void DialGaugeModel::DropBackground() {
    m_bBackgroundValid = false;
    Invalidate();
}

void DialGaugeModel::SetScale(double minimum, double maximum, const std::string& unit,
                              int valueDecimals) {
    m_dMin = minimum;
    m_dMax = maximum;
    m_strUnit = unit;
    m_nValueDecimals = std::clamp(valueDecimals, 0, 15);
    DropBackground();
}

void DialGaugeModel::SetLabelDecimals(int decimals) {
    m_nLabelDecimals = std::clamp(decimals, 0, 15);
    DropBackground();
}

void DialGaugeModel::SetValue(double value) {
    m_dValue = value;
    Invalidate();
}

void DialGaugeModel::OnResize() {
    DropBackground();
}

void DialGaugeModel::SetSystemColours(const SystemColours& system) {
    m_system = system;
    DropBackground();
}

double DialGaugeModel::AngleOf(double value) const {
    const double start = m_nStartAngle;
    const double end = m_nEndAngle - 360.0;
    if (std::isnan(value) || m_dMax == m_dMin) {
        return start;
    }
    const double angle = start - 270.0 * (value - m_dMin) / (m_dMax - m_dMin);
    return std::clamp(angle, end, start);
}

std::string DialGaugeModel::ScaleNumber(int i) const {
    const double number = m_dMin + (m_dMax - m_dMin) * i / m_nMajor;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", m_nLabelDecimals, number);
    return text;
}

DialNeedle DialGaugeModel::Needle(int width, int height) const {
    const DialGeometry g = DialGeometry::For(0, 0, width, height);
    DialNeedle plan;
    plan.angle = AngleOf(m_dValue);
    const double a = Radians(plan.angle);
    const int o = 10 * (g.R / 20);
    const int sideX = ToPixel(o * std::sin(a) / 8);
    const int sideY = ToPixel(o * std::cos(a) / 8);
    const Point p1{g.cx - sideX, g.cy - sideY};
    const Point tip{RoundPixel(g.cx + 0.95 * g.R * std::cos(a)),
                    RoundPixel(g.cy - 0.95 * g.R * std::sin(a))};
    const Point p3{g.cx + sideX, g.cy + sideY};
    const Point tail{RoundPixel(g.cx - g.R * std::cos(a) / 6),
                     RoundPixel(g.cy + g.R * std::sin(a) / 6)};
    plan.polygon = {p1, tip, p3, tail};
    plan.colour = m_needleColour;
    // The shadow falls on the side away from the light at the top left.
    const bool leftHalf = plan.angle > 90;
    plan.shadowEdge = {tip, leftHalf ? p1 : p3, tail};
    plan.lightEdge = {tip, leftHalf ? p3 : p1, tail};
    plan.shadow = m_system.shadow;
    plan.light = m_system.highlight;
    PlanHub(plan, g);
    PlanTexts(plan, g);
    return plan;
}

// Grey circles from black at the rim to white at the centre.
void DialGaugeModel::PlanHub(DialNeedle& plan, const DialGeometry& g) const {
    const int unit = g.R / 20;
    if (unit == 0) {
        return;  // too small a dial for a hub
    }
    for (int n = unit * 3 / 4; n >= 0; --n) {
        const int grey = std::clamp(255 - n * 1020 / (3 * unit), 0, 255);
        const auto g8 = static_cast<std::uint8_t>(grey);
        plan.hub.emplace_back(n, Rgb{g8, g8, g8});
    }
}

void DialGaugeModel::PlanTexts(DialNeedle& plan, const DialGeometry& g) const {
    Rgb colour = m_inRangeColour;
    if (m_dValue > m_dMax) {
        colour = m_aboveColour;
    } else if (!InRange()) {
        colour = m_belowColour;
    }
    plan.textBackground = m_system.face;
    const FontChoice font{kArialFace, g.R / 5, 400};
    // The centre of the value text box.
    const int x = ((g.cx - g.R / 2) + (g.cx + g.R / 2)) / 2;
    const int y = ((g.cy + g.R / 5) + (g.cy + g.R / 2)) / 2;
    char value[64];
    std::snprintf(value, sizeof value, "%.*f", m_nValueDecimals, m_dValue);
    const auto centredTop = [&](std::string text, int at) {
        plan.texts.push_back(
            {std::move(text), font, {x, at}, colour, HAlign::kCentre, VAlign::kTop});
    };
    centredTop(m_strUnit, y);
    centredTop(value, y + g.R / 5);
    if (!InRange()) {
        centredTop("Alarm!", y - 4 * (g.R / 5));
    }
}

}  // namespace tandrin
