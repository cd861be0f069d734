#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "controls/trend_chart_model.h"
#include "device/degree_text.h"

namespace tandrin {
namespace {

// Every text is 8 pixels a character and 10 high.
TextSize Measure(const std::string& text, const FontChoice& /*font*/) {
    return {static_cast<int>(text.size()) * 8, 10};
}

SampleList Ramp(int count, double from = 0.0, double step = 1.0) {
    SampleList list;
    for (int i = 0; i < count; ++i) {
        list.push_back({from + step * i, 1000 * i});
    }
    return list;
}

class Chart : public TrendChartModel {
  public:
    int invalidations = 0;
    int barChanges = 0;

  protected:
    void Invalidate() override { ++invalidations; }
    void ScrollBarsChanged() override { ++barChanges; }
};

TEST(ChartView, MappingsTruncateMultiplyingFirstAndRoundPositionsHalfAway) {
    ChartView view{24.0, 0.0, 0, 50, 333, 240};
    EXPECT_EQ(view.XOfPosition(1), 6);  // 333 / 50 = 6.66
    EXPECT_EQ(view.XOfPosition(50), 333);
    EXPECT_EQ(view.YOfValue(24.0), 0);
    EXPECT_EQ(view.YOfValue(0.0), 240);
    EXPECT_EQ(view.YOfValue(23.99), 0);    // 0.1 truncates
    EXPECT_EQ(view.YOfValue(12.05), 119);  // 119.5 truncates
    EXPECT_EQ(view.YOfValue(-1.0), 250);
    EXPECT_DOUBLE_EQ(view.ValueOfY(120), 12.0);

    view.width = 100;
    EXPECT_EQ(view.PositionOfX(1), 1);  // 0.5 rounds up
    EXPECT_EQ(view.PositionOfX(3), 2);  // 1.5
    EXPECT_EQ(view.PositionOfX(2), 1);
    view.m_First = 10;
    view.m_Last = 60;
    EXPECT_EQ(view.PositionOfX(3), 12);
    EXPECT_EQ(view.XOfPosition(10), 0);
    EXPECT_EQ(view.XOfPosition(9), -2);
}

TEST(ChartView, DegenerateViewsAndOddValuesStayDefined) {
    ChartView view{5.0, 5.0, 0, 50, 0, 200};
    EXPECT_EQ(view.YOfValue(5.0), 100);
    EXPECT_EQ(view.PositionOfX(30), 0);
    view.m_YMin = 0.0;
    view.height = 0;
    EXPECT_DOUBLE_EQ(view.ValueOfY(10), 5.0);
    view.height = 200;
    EXPECT_EQ(view.YOfValue(std::nan("")), 0);
    EXPECT_GT(view.YOfValue(-1e300), 200);
}

TEST(TrendChart, SetRangeAddsAQuarterEachSideAndKeepsAbsentTexts) {
    Chart chart;
    chart.SetRange(0, 100, "PV", std::string("mA"), std::string("Loop"));
    EXPECT_DOUBLE_EQ(chart.FullMin(), -25.0);
    EXPECT_DOUBLE_EQ(chart.FullMax(), 125.0);

    chart.SetRange(4, 20, "I");
    EXPECT_DOUBLE_EQ(chart.FullMin(), 0.0);
    EXPECT_DOUBLE_EQ(chart.FullMax(), 24.0);
    EXPECT_DOUBLE_EQ(chart.View().m_YMin, 0.0);
    EXPECT_DOUBLE_EQ(chart.View().m_YMax, 24.0);
    EXPECT_EQ(chart.SeriesName(), "I");
    EXPECT_EQ(chart.Unit(), "mA");
    EXPECT_EQ(chart.Title(), "Loop");

    chart.SetRangeAndUnit(-200, 1800, "K");
    EXPECT_DOUBLE_EQ(chart.FullMin(), -700.0);
    EXPECT_DOUBLE_EQ(chart.FullMax(), 2300.0);
    EXPECT_EQ(chart.Unit(), "K");
    EXPECT_EQ(chart.SeriesName(), "I");
    EXPECT_EQ(chart.invalidations, 0);
}

// An empty range gets a span of 2 around its value before the margins, so
// the chart still draws a flat curve on a defined row.
TEST(TrendChart, EqualMinimumAndMaximumDrawAStableFlatCurve) {
    Chart chart;
    chart.SetRange(7, 7, "PV");
    EXPECT_DOUBLE_EQ(chart.FullMin(), 5.5);
    EXPECT_DOUBLE_EQ(chart.FullMax(), 8.5);
    const SampleList list(10, Sample{7.0, 0});
    chart.SetSamples(&list, true);
    const ChartFrame frame = chart.Paint(300, 200, Measure);
    ASSERT_EQ(frame.curve.size(), 1U);
    for (const Point& p : frame.curve[0]) {
        EXPECT_EQ(p.y, 100);
    }
}

TEST(TrendChart, FollowingShowsWindowMinusOneSamplesNewestShortOfTheEdge) {
    Chart chart;
    const SampleList list = Ramp(200);
    chart.SetSamples(&list, true);
    ChartFrame frame = chart.Paint(490, 300, Measure);
    EXPECT_EQ(chart.View().m_First, 151);
    EXPECT_EQ(chart.View().m_Last, 200);
    ASSERT_EQ(frame.curve.size(), 1U);
    EXPECT_EQ(frame.curve[0].size(), 49U);
    EXPECT_EQ(frame.curve[0].back().x, 48 * 490 / 49);
    EXPECT_EQ(chart.HorizontalBar(), (ScrollBarState{150, 150}));  // the thumb at the newest

    chart.SetDetailed(true);
    frame = chart.Paint(490, 300, Measure);
    EXPECT_EQ(chart.View().m_First, 101);
    EXPECT_EQ(frame.curve[0].size(), 99U);

    const SampleList shortList = Ramp(20);
    chart.SetDetailed(false);
    chart.SetSamples(&shortList, true);
    frame = chart.Paint(490, 300, Measure);
    EXPECT_EQ(chart.View().m_First, 0);
    EXPECT_EQ(chart.View().m_Last, 50);
    ASSERT_EQ(frame.curve[0].size(), 20U);
    EXPECT_EQ(frame.curve[0][7].x, 7 * 490 / 50);
}

// The walk follows the view: a day's worth of samples plans no more points
// than a hundred.
TEST(TrendChart, AMillionSamplesPlanOnlyTheSamplesInView) {
    Chart chart;
    const SampleList list = Ramp(1'000'000, 0.0, 0.0001);
    chart.SetSamples(&list, true);
    const ChartFrame frame = chart.Paint(400, 300, Measure);
    ASSERT_EQ(frame.curve.size(), 1U);
    EXPECT_EQ(frame.curve[0].size(), 49U);
}

TEST(TrendChart, NoCurveBelowTwoSamplesAndTheReadoutOfOne) {
    Chart chart;
    chart.SetRange(0, 100, "PV", std::string("%"));
    SampleList list;
    chart.SetSamples(&list, true);
    ChartFrame frame = chart.Paint(400, 300, Measure);
    EXPECT_TRUE(frame.curve.empty());
    // Title, unit and five labels; no read-out for an empty list.
    EXPECT_EQ(frame.texts.size(), 7U);

    list.push_back({12.5, 0});
    frame = chart.Paint(400, 300, Measure);
    EXPECT_TRUE(frame.curve.empty());
    ASSERT_EQ(frame.texts.size(), 9U);
    EXPECT_EQ(frame.texts[7].text, "1");
    EXPECT_EQ(frame.texts[7].at, (Point{2, 290}));
    EXPECT_EQ(frame.texts[8].text, "12.50000 %");
    EXPECT_EQ(frame.texts[8].at, (Point{400 - 10 * 8, 290}));
}

TEST(TrendChart, LabelsSitJustAboveTheRowLinesAndTheCentreLineIsYellow) {
    Chart chart;
    chart.SetRange(4, 20, "I", std::string("mA"), std::string("Current"));
    const ChartFrame frame = chart.Paint(500, 300, Measure);
    EXPECT_EQ(frame.texts[0].at, (Point{(500 - 7 * 8) / 2, 0}));  // title centred
    EXPECT_EQ(frame.texts[1].text, "mA");
    for (int i = 1; i <= 5; ++i) {
        const TextItem& label = frame.texts[static_cast<std::size_t>(1 + i)];
        EXPECT_NEAR(label.at.y, 300 - 50 * i - 10, 1) << label.text;
    }
    EXPECT_EQ(frame.texts[2].text, "4.000");  // 1/6 of 0..24, from the bottom
    EXPECT_EQ(frame.texts[6].text, "20.000");
    EXPECT_EQ(frame.grid.back(), (Line{{0, 150}, {500, 150}, Rgb{255, 255, 0}}));
    EXPECT_EQ(frame.grid.size(), 9U + 5U + 1U);
}

TEST(TrendChart, GradientAccumulatesRowByRowAndEqualColoursFillSolid) {
    Chart chart;
    ChartFrame frame = chart.Paint(10, 3, Measure);
    ASSERT_EQ(frame.backgroundRows.size(), 3U);
    EXPECT_EQ(frame.backgroundRows[0], (Rgb{255, 255, 255}));
    EXPECT_EQ(frame.backgroundRows[1], (Rgb{229, 244, 234}));  // 255 - 77/3, 255 - 32/3, ...
    EXPECT_EQ(frame.backgroundRows[2], (Rgb{203, 233, 213}));
    chart.m_backBottom = chart.m_backTop;
    frame = chart.Paint(10, 3, Measure);
    EXPECT_TRUE(frame.backgroundRows.empty());
    EXPECT_EQ(frame.solidBackground, chart.m_backTop);
}

TEST(TrendChart, DragGatesZoomOnlyTheValueAxis) {
    Chart chart;
    chart.SetRange(0, 100, "PV");  // -25 .. 125, 150 per 300 rows
    const SampleList list = Ramp(100);
    chart.SetSamples(&list, false);
    chart.OnSizeChanged(500, 300);  // 10 pixels per position

    const auto drag = [&chart](Point from, Point to) {
        chart.OnLButtonDown(from);
        chart.OnMouseMove(to);
        return chart.OnLButtonUp(to);
    };
    drag({100, 100}, {104, 200});  // 4 pixels across: a click
    EXPECT_DOUBLE_EQ(chart.View().m_YMax, 125.0);
    EXPECT_EQ(chart.Cursor(), 10);
    drag({100, 100}, {130, 200});  // 3 sample positions apart
    EXPECT_DOUBLE_EQ(chart.View().m_YMax, 125.0);
    drag({100, 100}, {200, 106});  // 3 of 150 is exactly 2 %
    EXPECT_DOUBLE_EQ(chart.View().m_YMax, 125.0);
    EXPECT_FALSE(chart.Dragging());

    const int invalidations = chart.invalidations;
    drag({100, 200}, {200, 100});
    EXPECT_DOUBLE_EQ(chart.View().m_YMax, 75.0);
    EXPECT_DOUBLE_EQ(chart.View().m_YMin, 25.0);
    EXPECT_EQ(chart.View().m_First, 0);
    EXPECT_EQ(chart.View().m_Last, 50);
    EXPECT_EQ(chart.invalidations, invalidations + 1);
    EXPECT_EQ(chart.VerticalBar().maximum, 600);  // 900 rows in all, 300 shown

    chart.SetDetailed(true);
    chart.OnDoubleClick();
    EXPECT_DOUBLE_EQ(chart.View().m_YMax, 125.0);
    EXPECT_DOUBLE_EQ(chart.View().m_YMin, -25.0);
    EXPECT_EQ(chart.Window(), 50);
    // The second release of a double click is no click.
    EXPECT_FALSE(chart.OnLButtonUp({100, 100}));
}

TEST(TrendChart, HorizontalScrollClampsAndThumbTrackingDoesNotScroll) {
    Chart chart;
    EXPECT_FALSE(chart.HorizontalScroll(ScrollRequest::kLineForward));  // no list yet
    EXPECT_FALSE(chart.VerticalScroll(ScrollRequest::kLineForward));
    const SampleList list = Ramp(100);
    chart.SetSamples(&list, false);
    EXPECT_EQ(chart.HorizontalBar(), (ScrollBarState{50, 0}));
    EXPECT_FALSE(chart.HorizontalScroll(ScrollRequest::kLineBack));
    EXPECT_TRUE(chart.HorizontalScroll(ScrollRequest::kLineForward));
    EXPECT_EQ(chart.View().m_First, 2);
    EXPECT_EQ(chart.View().m_Last, 52);
    EXPECT_FALSE(chart.HorizontalScroll(ScrollRequest::kThumbTrack, 30));
    EXPECT_EQ(chart.View().m_First, 2);
    EXPECT_TRUE(chart.HorizontalScroll(ScrollRequest::kThumbRelease, 30));
    EXPECT_EQ(chart.View().m_First, 30);
    for (int i = 0; i < 5; ++i) {
        chart.HorizontalScroll(ScrollRequest::kPageForward);
    }
    EXPECT_EQ(chart.HorizontalBar().position, 50);
    EXPECT_EQ(chart.View().m_First, 50);
    EXPECT_EQ(chart.View().m_Last, 100);
    EXPECT_FALSE(chart.HorizontalScroll(ScrollRequest::kPageForward));
}

TEST(TrendChart, VerticalScrollStepsATwentiethAndWalksTheFullRange) {
    Chart chart;
    chart.SetRange(0, 100, "PV");
    const SampleList list = Ramp(100);
    chart.SetSamples(&list, false);
    chart.OnSizeChanged(500, 300);
    chart.OnLButtonDown({100, 200});
    chart.OnMouseMove({200, 100});
    chart.OnLButtonUp({200, 100});  // view 25 .. 75, bar 0 .. 600
    EXPECT_EQ(chart.VerticalBar().position, 300);
    EXPECT_EQ(chart.VerticalStep(), 30);

    EXPECT_TRUE(chart.VerticalScroll(ScrollRequest::kLineForward));
    EXPECT_EQ(chart.VerticalBar().position, 330);
    EXPECT_NEAR(chart.View().m_YMax, 75.0 - 5.0, 1e-9);  // 100 of slack over 600 rows
    EXPECT_TRUE(chart.VerticalScroll(ScrollRequest::kThumbRelease, 0));
    EXPECT_NEAR(chart.View().m_YMax, 125.0, 1e-9);
    EXPECT_FALSE(chart.VerticalScroll(ScrollRequest::kPageBack));
    EXPECT_TRUE(chart.VerticalScroll(ScrollRequest::kThumbRelease, 10'000));
    EXPECT_EQ(chart.VerticalBar().position, 600);
    EXPECT_NEAR(chart.View().m_YMin, -25.0, 1e-9);
    EXPECT_FALSE(chart.VerticalScroll(ScrollRequest::kThumbTrack, 0));
}

// A shorter record loaded while the view was scrolled past its end: the
// view moves back to end at its newest samples.
TEST(TrendChart, AViewBeyondAShorterListMovesBackToIt) {
    Chart chart;
    const SampleList longList = Ramp(1000);
    chart.SetSamples(&longList, false);
    chart.HorizontalScroll(ScrollRequest::kThumbRelease, 900);
    EXPECT_EQ(chart.View().m_First, 900);

    const SampleList shortList = Ramp(80);
    chart.SetSamples(&shortList, false);
    EXPECT_EQ(chart.View().m_First, 30);
    EXPECT_EQ(chart.View().m_Last, 80);
    const ChartFrame frame = chart.Paint(500, 300, Measure);
    ASSERT_EQ(frame.curve.size(), 1U);
    EXPECT_EQ(frame.curve[0].size(), 50U);
}

class LocalTime : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        m_saved = tz == nullptr ? "" : tz;
        m_had = tz != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (m_had) {
            setenv("TZ", m_saved.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
        chineseUi = 0;
    }

  private:
    std::string m_saved;
    bool m_had = false;
};

TEST_F(LocalTime, ClickBuildsTheThreeLineTipAnchoredOnTheSample) {
    Chart chart;
    chart.SetRange(0, 100, "PV",
                   std::string("\xB0"
                               "C"));
    SampleList list = Ramp(45);
    list[12] = {50.0, 1'700'000'000};  // 2023-11-14 22:13:20 UTC
    chart.SetSamples(&list, false);
    chart.OnSizeChanged(500, 300);

    const std::optional<PointTip> tip = chart.PointTooltip({120, 10});
    ASSERT_TRUE(tip);
    EXPECT_EQ(chart.Cursor(), 12);
    EXPECT_EQ(tip->anchor, (Point{120, 150}));
    EXPECT_EQ(tip->text,
              "PV\xEF\xBC\x9A"
              "50.00000 \xC2\xB0"
              "C\n\n"
              "\xE6\x97\xB6  \xE9\x97\xB4\xEF\xBC\x9A"
              "2023-11-14  22:13:20\n\n"
              "\xE4\xBD\x8D  \xE7\xBD\xAE\xEF\xBC\x9A"
              "12");

    const ChartFrame frame = chart.Paint(500, 300, Measure);
    ASSERT_TRUE(frame.cursorDot);
    EXPECT_EQ(*frame.cursorDot, (Point{120, 150}));
    EXPECT_EQ(frame.cursorHorizontal->to, (Point{500, 150}));
    EXPECT_EQ(frame.cursorVertical->to, (Point{120, 300}));
    EXPECT_EQ(frame.texts[7].text, "12");  // the read-out names the marked sample

    EXPECT_FALSE(chart.PointTooltip({499, 10}));  // position 50, past the list of 45
    EXPECT_EQ(chart.Cursor(), -1);
    chart.SetFollowLatest(true);
    chart.PointTooltip({120, 10});
    EXPECT_FALSE(chart.PointTooltip({120, 10}));
    EXPECT_EQ(chart.Cursor(), -1);
}

TEST_F(LocalTime, DegreeUnitFollowsTheInterfaceLanguage) {
    const std::string gbk = "\xA1\xE6";
    const std::string western =
        "\xB0"
        "C";
    chineseUi = 0;
    EXPECT_EQ(NormaliseDegreeUnit(gbk), western);
    EXPECT_EQ(NormaliseDegreeUnit(western), western);
    EXPECT_EQ(NormaliseDegreeUnit("mA"), "mA");
    chineseUi = 1;
    EXPECT_EQ(NormaliseDegreeUnit(western), gbk);

    Chart chart;
    chart.SetRange(0, 100, "PV", western);
    chart.Paint(100, 100, Measure);
    EXPECT_EQ(chart.Unit(), gbk);
}

}  // namespace
}  // namespace tandrin
