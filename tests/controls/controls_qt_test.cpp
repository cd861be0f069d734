// The Qt layer of the drawn controls, offscreen: what it adds over the
// models (painting, events, scroll bars, the balloon window, the model/view
// list).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include "controls/qt/control_painting.h"
#include "controls/qt/dial_gauge.h"
#include "controls/qt/sortable_list.h"
#include "controls/qt/trend_chart.h"

namespace tandrin {
namespace {

class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "controls_qt_tests";
        static char* argv[] = {name, nullptr};
        m_app = new QApplication(argc, argv);
    }
    void TearDown() override { delete m_app; }

  private:
    QApplication* m_app = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

QRgb Pixel(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

SampleList Wave(int count) {
    SampleList list;
    for (int i = 0; i < count; ++i) {
        list.push_back({50.0 + 30.0 * ((i % 20) - 10) / 10.0, 1'700'000'000 + 2 * i});
    }
    return list;
}

// A chart of the given viewport size, shown and painted.
struct ShownChart {
    QWidget parent;
    TrendChart* chart = new TrendChart(&parent);
    SampleList list;

    explicit ShownChart(QSize plot) {
        chart->resize(plot + QSize(2, 2) +
                      QSize(chart->verticalScrollBar()->sizeHint().width(),
                            chart->horizontalScrollBar()->sizeHint().height()));
        parent.resize(chart->size() + QSize(20, 20));
        parent.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&parent));
        chart->SetRange(0, 100, "PV", std::string("%"), std::string("Trend"));
    }
    QWidget* Plot() const { return chart->viewport(); }
    void Paint() { chart->viewport()->repaint(); }
};

TEST(TrendChartWidget, PaintsAtManySizesWithTheCentreLineOnItsRow) {
    for (QSize size : {QSize(1, 1), QSize(40, 30), QSize(301, 203), QSize(900, 400)}) {
        ShownChart shown(size);
        shown.list = Wave(500);
        shown.chart->SetSamples(&shown.list, true);
        shown.Paint();
        const QImage& frame = shown.chart->FrameImage();
        ASSERT_EQ(frame.size(), shown.Plot()->size());
        if (size.width() > 100) {
            const int plotHeight = frame.height();
            // Just right of the first vertical grid line, away from the texts.
            const int x = frame.width() / 10 + 3;
            EXPECT_EQ(Pixel(frame, x, plotHeight / 2), 0xFFFF00u) << size.width();
            EXPECT_NE(Pixel(frame, x, plotHeight / 2 + 1), 0xFFFF00u);
        }
    }
}

TEST(TrendChartWidget, AClickMarksTheSampleAndTheBalloonTipLandsOnIt) {
    ShownChart shown(QSize(500, 300));
    shown.list = Wave(45);
    shown.chart->SetSamples(&shown.list, false);
    QTest::mouseClick(shown.Plot(), Qt::LeftButton, {}, QPoint(120, 40));
    ASSERT_EQ(shown.chart->Cursor(), 12);

    const QImage& frame = shown.chart->FrameImage();
    const int x = 120;
    const int y = shown.chart->View().YOfValue(shown.list[12].value);
    EXPECT_EQ(Pixel(frame, x, y), 0x00FF00u);       // the dot's fill
    EXPECT_EQ(Pixel(frame, x, y + 20), 0xFF0000u);  // the vertical hair
    EXPECT_EQ(Pixel(frame, x + 40, y), 0xFF0000u);  // the horizontal hair

    BalloonTip& tip = shown.chart->Tip();
    ASSERT_TRUE(tip.isVisible());
    EXPECT_FALSE(tip.isActiveWindow());
    const QPoint anchor = shown.Plot()->mapToGlobal(QPoint(x, y));
    const BalloonLayout& layout = tip.Layout();
    EXPECT_EQ(tip.pos() + ToQPoint(layout.tip), anchor);
    EXPECT_EQ(tip.size(), QSize(layout.bodyW, layout.bodyH + BalloonLayout::kTail));
    EXPECT_TRUE(tip.mask().contains(ToQPoint(layout.tip) - QPoint(1, 3)));
    EXPECT_FALSE(tip.mask().contains(QPoint(2, layout.bodyH + 5)));
    EXPECT_GT(layout.bodyH, 3 * tip.fontMetrics().height());

    // A second tip while one shows is ignored; hiding clears the way.
    tip.ShowTip("other", QPoint(0, 0));
    EXPECT_EQ(tip.pos() + ToQPoint(layout.tip), anchor);
    tip.HideTip();
    EXPECT_FALSE(tip.isVisible());
}

TEST(BalloonTipWindow, HidesItselfAfterThreeSeconds) {
    BalloonTip tip;
    QElapsedTimer clock;
    clock.start();
    tip.ShowTip("PV\n\nline", QPoint(300, 300));
    ASSERT_TRUE(tip.isVisible());
    EXPECT_EQ(tip.focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(tip.testAttribute(Qt::WA_ShowWithoutActivating));
    QTest::qWait(2500);
    EXPECT_TRUE(tip.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&tip] { return !tip.isVisible(); }, 10'000));
    EXPECT_GE(clock.elapsed(), 3000);
}

TEST(TrendChartWidget, DragShowsAnInvertedBandThenZoomsAndDoubleClickRestores) {
    ShownChart shown(QSize(500, 300));
    shown.list = Wave(100);
    shown.chart->SetSamples(&shown.list, false);
    shown.Paint();
    const QImage before = shown.chart->FrameImage().copy();

    QTest::mousePress(shown.Plot(), Qt::LeftButton, {}, QPoint(100, 250));
    QTest::mouseMove(shown.Plot(), QPoint(260, 50));
    QMouseEvent move(QEvent::MouseMove, QPointF(260, 50),
                     shown.Plot()->mapToGlobal(QPointF(260, 50)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(shown.Plot(), &move);
    ASSERT_TRUE(shown.chart->Dragging());
    ASSERT_EQ(shown.chart->DragCurrent(), (Point{260, 50}));
    const QImage during = shown.Plot()->grab().toImage();
    for (QPoint edge : {QPoint(180, 50), QPoint(180, 250), QPoint(100, 120), QPoint(260, 120)}) {
        EXPECT_EQ(Pixel(during, edge.x(), edge.y()),
                  ~Pixel(before, edge.x(), edge.y()) & 0xFFFFFFu);
    }
    EXPECT_EQ(Pixel(during, 180, 120), Pixel(before, 180, 120));
    EXPECT_EQ(Pixel(during, 180, 49), Pixel(before, 180, 49));
    EXPECT_EQ(Pixel(during, 261, 120), Pixel(before, 261, 120));

    QTest::mouseRelease(shown.Plot(), Qt::LeftButton, {}, QPoint(260, 50));
    EXPECT_NEAR(shown.chart->View().m_YMax, 125 - 150 * 50 / 300.0, 1e-9);
    EXPECT_NEAR(shown.chart->View().m_YMin, 125 - 150 * 250 / 300.0, 1e-9);
    EXPECT_EQ(shown.chart->verticalScrollBar()->maximum(), 150);  // 450 rows in all, 300 shown
    EXPECT_FALSE(shown.chart->Tip().isVisible());

    QTest::mouseDClick(shown.Plot(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_DOUBLE_EQ(shown.chart->View().m_YMax, 125.0);
    EXPECT_EQ(shown.chart->verticalScrollBar()->maximum(), 1);
    shown.chart->Tip().HideTip();
}

TEST(TrendChartWidget, ScrollBarsFollowTheModelAndOnlyAReleasedThumbScrolls) {
    ShownChart shown(QSize(500, 300));
    shown.list = Wave(300);
    shown.chart->SetSamples(&shown.list, false);
    QScrollBar* bar = shown.chart->horizontalScrollBar();
    EXPECT_EQ(bar->maximum(), 250);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(shown.chart->View().m_First, 2);
    EXPECT_EQ(bar->value(), 2);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(shown.chart->View().m_First, 12);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(shown.chart->View().m_First, 12);
    EXPECT_EQ(bar->value(), 12);
    bar->setSliderDown(true);
    bar->setSliderPosition(200);
    bar->triggerAction(QAbstractSlider::SliderMove);
    EXPECT_EQ(shown.chart->View().m_First, 12);
    bar->setSliderDown(false);  // the release
    EXPECT_EQ(shown.chart->View().m_First, 200);
    EXPECT_EQ(bar->value(), 200);
}

TEST(TrendChartWidget, CreateInPlaceTakesThePlaceholdersGeometryAndName) {
    QWidget page;
    auto* placeholder = new QWidget(&page);
    placeholder->setObjectName("IDC_CHART_PV");
    placeholder->setGeometry(15, 25, 320, 180);
    auto* chart = new TrendChart;
    EXPECT_FALSE(chart->CreateInPlace("IDC_MISSING", &page));
    EXPECT_EQ(chart->parent(), nullptr);
    ASSERT_TRUE(chart->CreateInPlace("IDC_CHART_PV", &page));
    EXPECT_EQ(chart->parentWidget(), &page);
    EXPECT_EQ(chart->geometry(), QRect(15, 25, 320, 180));
    EXPECT_EQ(page.findChildren<QWidget*>("IDC_CHART_PV", Qt::FindDirectChildrenOnly).size(), 1);
    EXPECT_EQ(page.findChild<QWidget*>("IDC_CHART_PV"), chart);
}

TEST(DialGaugeWidget, PaintsAtManySizesAndAValueChangeKeepsTheBackground) {
    for (QSize size : {QSize(1, 1), QSize(30, 30), QSize(400, 400), QSize(600, 300)}) {
        DialGauge gauge;
        gauge.resize(size);
        gauge.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&gauge));
        gauge.repaint();
        EXPECT_EQ(gauge.BackgroundBuilds(), 1);
        gauge.SetValue(75.0);
        gauge.repaint();
        EXPECT_EQ(gauge.BackgroundBuilds(), 1) << size.width();
        gauge.SetScale(4, 20, "mA", 3);
        gauge.repaint();
        EXPECT_EQ(gauge.BackgroundBuilds(), 2);
    }
    DialGauge gauge;
    gauge.resize(200, 200);
    gauge.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&gauge));
    gauge.repaint();
    gauge.resize(300, 300);
    gauge.repaint();
    EXPECT_EQ(gauge.BackgroundBuilds(), 2);
}

// Along the needle's axis, inside the ticks' ring, the needle colour shows;
// at mid-scale the needle points straight up.
TEST(DialGaugeWidget, TheNeedleLiesWhereTheModelPointsIt) {
    DialGauge gauge;
    gauge.resize(400, 400);
    gauge.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&gauge));
    gauge.repaint();
    const QImage up = gauge.FrameImage().toImage();
    EXPECT_EQ(Pixel(up, 200, 120), 0x0000FFu);
    EXPECT_NE(Pixel(up, 120, 217 - 50), 0x0000FFu);
    const DialNeedle needle = gauge.Needle(400, 400);
    const QPoint tip = ToQPoint(needle.polygon[1]);
    EXPECT_EQ(tip, QPoint(200, 55));
    EXPECT_NE(Pixel(up, tip.x(), tip.y() + 2), Pixel(up, tip.x() - 15, tip.y() + 2));

    gauge.SetValue(-1.0);  // pinned at 225 degrees, bottom left
    gauge.repaint();
    const QImage pinned = gauge.FrameImage().toImage();
    EXPECT_EQ(Pixel(pinned, 200 - 60, 217 + 60), 0x0000FFu);
    EXPECT_NE(Pixel(pinned, 200, 120), 0x0000FFu);
}

void ClickHeader(SortableList& list, int column) {
    QHeaderView* header = list.horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

bool SortSettles(SortableList& list) {
    return QTest::qWaitFor([&] { return !list.Model().SortUnderWay(); }, 10'000);
}

std::vector<std::string> ShownColumn(const SortableList& list, int column) {
    std::vector<std::string> texts;
    for (int r = 0; r < list.RowCount(); ++r) {
        texts.push_back(list.Rows().Text(r, column));
    }
    return texts;
}

TEST(SortableListWidget, HeaderClicksSortAndRowsArriveInBatches) {
    SortableList list;
    list.resize(400, 300);
    ASSERT_TRUE(list.SetColumns("Time,80;Value,70;Unit,50"));
    EXPECT_EQ(list.columnWidth(1), 70);
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 300; ++i) {
        char time[16];
        std::snprintf(time, sizeof time, "10:%02d:%02d", i / 60, i % 60);
        rows.push_back({time, std::to_string((i * 37) % 101 - 50) + ".000", "mA"});
    }
    int inserts = 0;
    QObject::connect(&list.Model(), &QAbstractItemModel::rowsInserted, [&inserts] { ++inserts; });
    list.AddRows(rows);
    list.AddRow({"11:00:00", "0.500", "mA"});
    EXPECT_EQ(inserts, 2);
    EXPECT_EQ(list.model()->rowCount(), 301);
    EXPECT_EQ(list.model()->index(0, 0).data().toString(), "11:00:00");
    EXPECT_EQ(list.model()->index(0, 1).data(Qt::BackgroundRole).value<QColor>(),
              QColor(247, 247, 255));
    EXPECT_EQ(list.model()->index(0, 1).data(Qt::ForegroundRole).value<QColor>(),
              QColor(0, 0, 255));
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));

    QHeaderView* header = list.horizontalHeader();
    ClickHeader(list, 1);
    ASSERT_TRUE(SortSettles(list));
    EXPECT_EQ(list.model()->index(0, 1).data().toString(), "-50.000");
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    ClickHeader(list, 1);
    ASSERT_TRUE(SortSettles(list));
    EXPECT_EQ(list.model()->index(0, 1).data().toString(), "50.000");
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);

    list.DeleteAllRows();
    EXPECT_EQ(list.model()->rowCount(), 0);
    list.repaint();
}

// The sorted rows come in from a worker through the event loop, so until
// it runs the list is as it was: rows arriving meanwhile wait, then go to
// their place in the new order; the arrow moves with the rows.
TEST(SortableListWidget, ASortBesideTheWindowHoldsArrivingRowsAndTellsItsOrder) {
    SortableList list;
    ASSERT_TRUE(list.SetColumns("Time,80;Value,70;Unit,50"));
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 2000; ++i) {
        rows.push_back({"10:00:00", std::to_string((i * 7919) % 2000) + ".5", i % 2 ? "mA" : "V"});
    }
    list.AddRows(rows);
    QHeaderView* header = list.horizontalHeader();

    list.Model().OnHeaderClick(1);
    list.Model().OnHeaderClick(1);  // a second click before the first is in
    ASSERT_TRUE(list.Model().SortUnderWay());
    list.AddRow({"10:00:01", "1000.25", "mA"});
    list.AddRow({"10:00:02", "-3", "mA"});
    EXPECT_EQ(list.RowCount(), 2000) << "held until the sorted rows are in";
    EXPECT_FALSE(header->isSortIndicatorShown());
    ASSERT_TRUE(SortSettles(list));
    ASSERT_EQ(list.RowCount(), 2002);
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    const std::vector<std::string> values = ShownColumn(list, 1);
    EXPECT_EQ(values.front(), "1999.5");
    EXPECT_EQ(values.back(), "-3");
    EXPECT_EQ(std::count(values.begin(), values.end(), "1000.25"), 1);
    EXPECT_TRUE(std::is_sorted(values.rbegin(), values.rend(),
                               [](auto& a, auto& b) { return std::stod(a) < std::stod(b); }));

    // Texts of the sorted column changed during the sort: the order is
    // worked out again from the new ones ("mA" came after "V", "A" before).
    list.Model().OnHeaderClick(2);
    list.ReplaceTexts(2, "mA", "A");
    ASSERT_TRUE(SortSettles(list));
    const std::vector<std::string> units = ShownColumn(list, 2);
    EXPECT_EQ(units.front(), "A");
    EXPECT_EQ(units.back(), "V");
    EXPECT_TRUE(std::is_sorted(units.begin(), units.end()));

    // Cleared during a sort: the held rows go too, and nothing comes back.
    list.Model().OnHeaderClick(0);
    list.AddRow({"10:00:03", "1", "mA"});
    list.DeleteAllRows();
    EXPECT_FALSE(list.Model().SortUnderWay());
    QTest::qWait(50);
    EXPECT_EQ(list.RowCount(), 0);
}

TEST(SortableListWidget, AFittedColumnWidensWithItsFontButNeverBelowItsLayout) {
    SortableList list;
    QFont small = list.font();
    small.setPixelSize(6);
    list.setFont(small);
    ASSERT_TRUE(list.SetColumns("Time,60;Value,60"));
    list.FitColumnTo(0, QStringLiteral("00:00:00"));
    EXPECT_EQ(list.columnWidth(0), 60) << "the layout's width holds it";
    QFont large = list.font();
    large.setPixelSize(30);
    list.setFont(large);
    EXPECT_GT(list.columnWidth(0), QFontMetrics(large).horizontalAdvance("00:00:00"));
    EXPECT_EQ(list.columnWidth(1), 60);
}

}  // namespace
}  // namespace tandrin
