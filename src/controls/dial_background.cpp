// The dial's cached background: rim, zones, inner arc, ticks and numbers.
#include <cmath>
#include <numbers>

#include "controls/dial_gauge_model.h"

namespace tandrin {

namespace {

constexpr Rgb kInnerArc{255, 255, 0};

struct Polar {
    double x;
    double y;
};

Polar At(const DialGeometry& g, double degrees, double radius) {
    const double a = degrees * std::numbers::pi / 180.0;
    return {g.cx + radius * std::cos(a), g.cy - radius * std::sin(a)};
}

Point Truncated(Polar p) {
    return {ToPixel(p.x), ToPixel(p.y)};
}

Point Rounded(Polar p) {
    return {RoundPixel(p.x), RoundPixel(p.y)};
}

struct NumberPlace {
    HAlign h;
    VAlign v;
    int dx;
    int dy;
};

// Where a scale number sits beside the inner end of its tick, by angle.
NumberPlace PlaceNumber(double a, int R) {
    if (a > 190)
        return {HAlign::kLeft, VAlign::kBottom, 0, R / 12};
    if (a > 170)
        return {HAlign::kLeft, VAlign::kBaseline, 0, R / 18};
    if (a > 135)
        return {HAlign::kLeft, VAlign::kBaseline, 0, R / 12};
    if (a > 100)
        return {HAlign::kLeft, VAlign::kTop, -R / 24, -R / 48};
    if (a > 80)
        return {HAlign::kCentre, VAlign::kTop, 0, 0};
    if (a > 45)
        return {HAlign::kRight, VAlign::kBottom, R / 18, R / 6};
    if (a > 10)
        return {HAlign::kRight, VAlign::kBaseline, 0, R / 12};
    if (a > -10)
        return {HAlign::kRight, VAlign::kBaseline, 0, R / 18};
    return {HAlign::kRight, VAlign::kBottom, 0, R / 12};
}

int Band(const DialGeometry& g) {
    return g.R / 18;
}

int InnerRadius(const DialGeometry& g) {
    return static_cast<int>(0.8 * g.R);
}

}  // namespace

DialBackground DialGaugeModel::Background(int width, int height) const {
    const DialGeometry g = DialGeometry::For(0, 0, width, height);
    DialBackground plan;
    plan.face = m_system.face;
    PlanRim(plan, g);
    if (m_bZones) {
        PlanZones(plan, g);
    }
    plan.innerArc = {InnerRadius(g), -45.0, 270.0, 1, kInnerArc};
    PlanTicks(plan, g);
    PlanNumbers(plan, g);
    return plan;
}

// Arcs over the top, wide and dark blue first, each narrower and lighter.
void DialGaugeModel::PlanRim(DialBackground& plan, const DialGeometry& g) const {
    const int w = Band(g);
    for (int k = w; k >= 1; --k) {
        const auto x = static_cast<std::uint8_t>(255.0f - static_cast<float>(k) * 159.0f / w);
        plan.rim.push_back({g.R, -45.0, 270.0, 2 * k, Rgb{x, x, 255}});
    }
}

void DialGaugeModel::PlanZones(DialBackground& plan, const DialGeometry& g) const {
    const double outer = g.R - Band(g);
    const double inner = 0.8 * g.R;
    std::vector<Point> outerPoints;
    std::vector<Point> innerPoints;
    for (int i = 0; i < kZoneAngles; ++i) {
        const double a = m_nStartAngle - i * (270 * 0.004);
        outerPoints.push_back(Truncated(At(g, a, outer)));
        innerPoints.push_back(Truncated(At(g, a, inner)));
    }
    const int perZone = (kZoneAngles - 1) / static_cast<int>(m_zoneColours.size());
    for (std::size_t j = 0; j < m_zoneColours.size(); ++j) {
        const auto from = static_cast<std::ptrdiff_t>(j) * perZone;
        DialZone zone{{outerPoints.begin() + from, outerPoints.begin() + from + perZone + 1},
                      m_zoneColours[j]};
        for (auto i = from + perZone; i >= from; --i) {
            zone.outline.push_back(innerPoints[static_cast<std::size_t>(i)]);
        }
        plan.zones.push_back(std::move(zone));
    }
}

void DialGaugeModel::PlanTicks(DialBackground& plan, const DialGeometry& g) const {
    const int w = Band(g);
    const int s = InnerRadius(g);
    const int m = s + ((g.R - 2 * w) - s) / 2;
    for (int i = 0; i < kTicks; ++i) {
        const double a = (m_nStartAngle * 100 - i * 540) / 100.0;
        const Point outer = Rounded(At(g, a, g.R - 2 * w));
        const bool major = m_nMinorPerMajor > 0 && i % m_nMinorPerMajor == 0;
        const int innerRadius = major ? s : m;
        plan.ticks.push_back({outer, Rounded(At(g, a, innerRadius)), m_system.text});
        plan.needleClip.push_back(outer);
    }
}

void DialGaugeModel::PlanNumbers(DialBackground& plan, const DialGeometry& g) const {
    const FontChoice font{kArialFace, g.R / 6, 400};
    for (int i = 0; i <= m_nMajor; ++i) {
        const double a = m_nStartAngle - i * m_nMinorPerMajor * 5.4;
        const Point q = Rounded(At(g, a, InnerRadius(g)));
        const NumberPlace place = PlaceNumber(a, g.R);
        plan.numbers.push_back({ScaleNumber(i),
                                font,
                                {q.x + place.dx, q.y + place.dy},
                                m_system.text,
                                place.h,
                                place.v});
    }
}

}  // namespace tandrin
