#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "controls/dial_gauge_model.h"

namespace tandrin {
namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

class Gauge : public DialGaugeModel {
  public:
    int invalidations = 0;

  protected:
    void Invalidate() override { ++invalidations; }
};

bool HasAlarm(const DialNeedle& needle) {
    return needle.texts.size() == 3 && needle.texts[2].text == "Alarm!";
}

TEST(DialGauge, GeometryTakesTheLargerSide) {
    const DialGeometry square = DialGeometry::For(0, 0, 400, 400);
    EXPECT_EQ(square.R, 171);
    EXPECT_EQ(square.cx, 200);
    EXPECT_EQ(square.cy, 217);
    const DialGeometry wide = DialGeometry::For(0, 0, 600, 300);
    EXPECT_EQ(wide.R, 257);
    EXPECT_EQ(wide.cx, 300);
    EXPECT_EQ(wide.cy, 175);
}

TEST(DialGauge, NumbersAndTheirAnglesAlongTheScale) {
    Gauge gauge;
    const DialBackground plan = gauge.Background(400, 400);
    ASSERT_EQ(plan.numbers.size(), 11U);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(plan.numbers[static_cast<std::size_t>(i)].text, std::to_string(10 * i));
        EXPECT_DOUBLE_EQ(gauge.AngleOf(10.0 * i), 225.0 - 27.0 * i);
    }
    // 225 degrees: left-bottom aligned, R / 12 below the inner end of tick 0.
    EXPECT_EQ(plan.numbers[0].at, (Point{104, 313 + 171 / 12}));
    EXPECT_EQ(plan.numbers[0].hAlign, HAlign::kLeft);
    EXPECT_EQ(plan.numbers[0].vAlign, VAlign::kBottom);
    EXPECT_EQ(plan.numbers[5].hAlign, HAlign::kCentre);  // 90 degrees, at the top
    EXPECT_EQ(plan.numbers[10].hAlign, HAlign::kRight);

    gauge.SetScale(4, 20, "mA", 3);
    gauge.SetLabelDecimals(1);
    const DialBackground current = gauge.Background(400, 400);
    const char* expected[] = {"4.0",  "5.6",  "7.2",  "8.8",  "10.4", "12.0",
                              "13.6", "15.2", "16.8", "18.4", "20.0"};
    for (std::size_t i = 0; i < 11; ++i) {
        EXPECT_EQ(current.numbers[i].text, expected[i]);
    }
}

TEST(DialGauge, TicksZonesRimAndClipShape) {
    Gauge gauge;
    const DialBackground plan = gauge.Background(400, 400);
    ASSERT_EQ(plan.ticks.size(), 51U);
    EXPECT_EQ(plan.ticks[0].from, (Point{92, 325}));  // 225 degrees at R - 2w = 153
    EXPECT_EQ(plan.ticks[0].to, (Point{104, 313}));   // a major tick reaches 0.8 R
    EXPECT_EQ(plan.ticks[25].from, (Point{200, 64}));
    EXPECT_EQ(plan.ticks[1].to, (Point{89, 309}));  // a minor one stops halfway, at 144
    EXPECT_EQ(plan.needleClip.size(), 51U);
    EXPECT_EQ(plan.needleClip.front(), plan.ticks[0].from);
    EXPECT_EQ(plan.needleClip.back(), (Point{308, 325}));

    ASSERT_EQ(plan.zones.size(), 5U);
    for (const DialZone& zone : plan.zones) {
        EXPECT_EQ(zone.outline.size(), 102U);
    }
    EXPECT_EQ(plan.zones[4].colour, kRed);
    // Outer points at R - w, then inner ones at 0.8 R back to the start,
    // truncated; neighbouring zones share their edge.
    EXPECT_EQ(plan.zones[0].outline.front(), (Point{85, 331}));
    EXPECT_EQ(plan.zones[0].outline[50], (Point{39, 191}));
    EXPECT_EQ(plan.zones[0].outline.back(), (Point{103, 313}));
    EXPECT_EQ(plan.zones[1].outline.front(), plan.zones[0].outline[50]);

    ASSERT_EQ(plan.rim.size(), 9U);  // w = R / 18
    EXPECT_EQ(plan.rim.front().penWidth, 18);
    EXPECT_EQ(plan.rim.front().colour, (Rgb{96, 96, 255}));
    EXPECT_EQ(plan.rim.back().penWidth, 2);
    EXPECT_EQ(plan.rim.back().colour, (Rgb{237, 237, 255}));
}

TEST(DialGauge, NeedleAtMidScalePointsStraightUp) {
    Gauge gauge;
    const DialNeedle needle = gauge.Needle(400, 400);
    EXPECT_DOUBLE_EQ(needle.angle, 90.0);
    ASSERT_EQ(needle.polygon.size(), 4U);
    EXPECT_EQ(needle.polygon[0], (Point{190, 217}));
    EXPECT_EQ(needle.polygon[1], (Point{200, 55}));  // 0.95 R above the centre
    EXPECT_EQ(needle.polygon[2], (Point{210, 217}));
    EXPECT_EQ(needle.polygon[3], (Point{200, 246}));  // 28.5 rounds away from zero
    EXPECT_EQ(needle.shadowEdge[1], needle.polygon[2]);
    ASSERT_EQ(needle.hub.size(), 7U);
    EXPECT_EQ(needle.hub.front(), (std::pair<int, Rgb>{6, Rgb{0, 0, 0}}));
    EXPECT_EQ(needle.hub.back(), (std::pair<int, Rgb>{0, Rgb{255, 255, 255}}));
    ASSERT_EQ(needle.texts.size(), 2U);
    EXPECT_EQ(needle.texts[0].text, "%");
    EXPECT_EQ(needle.texts[0].at, (Point{200, 276}));
    EXPECT_EQ(needle.texts[1].text, "50.00");
    EXPECT_EQ(needle.texts[1].at, (Point{200, 310}));
}

TEST(DialGauge, OutOfRangePinsTheNeedleAndRaisesTheAlarm) {
    Gauge gauge;
    gauge.SetScale(4, 20, "mA", 2);
    gauge.SetValue(4.0);
    DialNeedle needle = gauge.Needle(400, 400);
    EXPECT_DOUBLE_EQ(needle.angle, 225.0);
    EXPECT_FALSE(HasAlarm(needle));
    EXPECT_EQ(needle.texts[1].colour, kBlue);
    gauge.SetValue(20.0);
    EXPECT_DOUBLE_EQ(gauge.Needle(400, 400).angle, -45.0);
    EXPECT_FALSE(HasAlarm(gauge.Needle(400, 400)));

    gauge.SetValue(3.99);
    needle = gauge.Needle(400, 400);
    EXPECT_DOUBLE_EQ(needle.angle, 225.0);
    ASSERT_TRUE(HasAlarm(needle));
    EXPECT_EQ(needle.texts[2].at, (Point{200, 276 - 4 * 34}));
    EXPECT_EQ(needle.texts[2].colour, kRed);
    EXPECT_EQ(needle.texts[1].text, "3.99");

    gauge.m_aboveColour = Rgb{1, 2, 3};
    gauge.SetValue(1e9);
    needle = gauge.Needle(400, 400);
    EXPECT_DOUBLE_EQ(needle.angle, -45.0);
    ASSERT_TRUE(HasAlarm(needle));
    EXPECT_EQ(needle.texts[1].colour, (Rgb{1, 2, 3}));

    gauge.SetValue(std::nan(""));
    EXPECT_DOUBLE_EQ(gauge.Needle(400, 400).angle, 225.0);
    EXPECT_TRUE(HasAlarm(gauge.Needle(400, 400)));
}

// Both ends of the scale are in range; the next double beyond each is not,
// in its own end's colour.
TEST(DialGauge, TheScaleEndsAreInRangeAndTheValuesJustBeyondThemAreNot) {
    Gauge gauge;
    gauge.m_aboveColour = Rgb{200, 0, 1};
    gauge.m_belowColour = Rgb{200, 0, 2};
    gauge.SetScale(-200, 850, "K", 2);
    const auto colours = [&](double value) {
        gauge.SetValue(value);
        const DialNeedle needle = gauge.Needle(400, 400);
        EXPECT_EQ(needle.texts[0].colour, needle.texts[1].colour);
        return std::make_pair(needle.texts[1].colour, HasAlarm(needle));
    };
    EXPECT_EQ(colours(-200.0), std::make_pair(kBlue, false));
    EXPECT_EQ(colours(850.0), std::make_pair(kBlue, false));
    EXPECT_EQ(colours(std::nextafter(850.0, 1e9)), std::make_pair((Rgb{200, 0, 1}), true));
    EXPECT_EQ(colours(std::nextafter(-200.0, -1e9)), std::make_pair((Rgb{200, 0, 2}), true));
}

TEST(DialGauge, EmptyScaleAndTinyDialsStayStable) {
    Gauge gauge;
    gauge.SetScale(5, 5, "K", 1);
    gauge.SetValue(5);
    EXPECT_DOUBLE_EQ(gauge.Needle(400, 400).angle, 225.0);
    EXPECT_FALSE(HasAlarm(gauge.Needle(400, 400)));
    for (int size : {0, 1, 10, 30}) {
        EXPECT_EQ(gauge.Background(size, size).ticks.size(), 51U);
        EXPECT_EQ(gauge.Needle(size, size).polygon.size(), 4U);
    }
}

TEST(DialGauge, OnlyScaleAndSizeChangesDropTheCachedBackground) {
    Gauge gauge;
    EXPECT_TRUE(gauge.NeedsBackground());
    gauge.BackgroundBuilt();
    gauge.SetValue(70);
    EXPECT_FALSE(gauge.NeedsBackground());
    EXPECT_EQ(gauge.invalidations, 1);
    gauge.SetScale(0, 50, "%", 2);
    EXPECT_TRUE(gauge.NeedsBackground());
    gauge.BackgroundBuilt();
    gauge.SetLabelDecimals(2);
    EXPECT_TRUE(gauge.NeedsBackground());
    gauge.BackgroundBuilt();
    gauge.OnResize();
    EXPECT_TRUE(gauge.NeedsBackground());
    EXPECT_EQ(gauge.invalidations, 4);
}

}  // namespace
}  // namespace tandrin
