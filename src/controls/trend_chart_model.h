#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "controls/chart_view.h"
#include "controls/draw_types.h"
#include "controls/rgb.h"
#include "controls/sample.h"

namespace tandrin {

// A scroll-bar request, as the toolkit reports it.
enum class ScrollRequest {
    kLineBack,     // left or up
    kLineForward,  // right or down
    kPageBack,
    kPageForward,
    kThumbTrack,    // the thumb is being dragged: no scrolling yet
    kThumbRelease,  // the thumb was let go at the given position
    kOther,
};

struct ScrollBarState {
    int maximum = 1;  // the minimum is always 0
    int position = 0;
    friend bool operator==(const ScrollBarState&, const ScrollBarState&) = default;
};

// What a repaint draws, in order: background rows, grid, curve, texts,
// cursor. The toolkit paints exactly this into one off-screen image.
struct ChartFrame {
    int width = 0;
    int height = 0;
    std::optional<Rgb> solidBackground;  // else one colour per row
    std::vector<Rgb> backgroundRows;
    std::vector<Line> grid;  // main, fine, then the centre line
    Rgb curveColour;
    std::vector<std::vector<Point>> curve;  // polylines; a NaN sample breaks the line
    std::vector<TextItem> texts;
    std::optional<Line> cursorHorizontal;
    std::optional<Line> cursorVertical;
    std::optional<Point> cursorDot;  // 10 x 10 ellipse around it
    static constexpr Rgb kCursorPen{255, 0, 0};
    static constexpr Rgb kCursorFill{0, 255, 0};
    static constexpr int kCursorRadius = 5;
};

// Measures a text in a font; the toolkit supplies it.
using MeasureText = std::function<TextSize(const std::string& text, const FontChoice& font)>;

// A click that shows the balloon tooltip: its text (UTF-8) and the point
// its tip marks, in plot coordinates.
struct PointTip {
    std::string text;
    Point anchor;
};

// A trend chart's state and every decision it makes: view, ranges,
// following, scrolling, the rubber-band zoom, the point tooltip and the
// drawing plan. It draws a sample list it does not own. The toolkit widget
// holds one of these, forwards its events and paints the plan.
class TrendChartModel {
  public:
    static constexpr int kWindow = 50;
    static constexpr int kDetailedWindow = 100;
    static constexpr int kRows = 6;
    static constexpr int kColumns = 10;
    static constexpr int kClickSlop = 5;           // pixels
    static constexpr int kMinDragPositions = 3;    // sample positions
    static constexpr double kMinZoomShare = 0.02;  // of the full range

    TrendChartModel() = default;
    virtual ~TrendChartModel() = default;
    TrendChartModel(const TrendChartModel&) = delete;
    TrendChartModel& operator=(const TrendChartModel&) = delete;

    // Full range = min .. max widened by a quarter of the span on each side;
    // the view shows all of it. Nothing is redrawn. `name`, which only the
    // balloon shows, is UTF-8: the page's fixed Chinese series names read
    // the same in every interface language; unit and title are in the
    // interface code page.
    void SetRange(double min, double max, const std::string& name,
                  const std::optional<std::string>& unit = std::nullopt,
                  const std::optional<std::string>& title = std::nullopt);
    void SetRangeAndUnit(double min, double max, const std::string& unit);
    // The list stays the caller's and must outlive the chart or be replaced.
    void SetSamples(const SampleList* samples, bool follow);
    void SetFollowLatest(bool follow) { m_Follow = follow; }
    void SetDetailed(bool on);
    void SetTitle(const std::string& title) { m_strTitle = title; }

    // Scroll bars
    void UpdateScrollBars();
    bool HorizontalScroll(ScrollRequest request, int thumb = 0);
    bool VerticalScroll(ScrollRequest request, int thumb = 0);
    const ScrollBarState& HorizontalBar() const { return m_hBar; }
    const ScrollBarState& VerticalBar() const { return m_vBar; }
    int VerticalStep() const;

    // Mouse, in plot coordinates
    void OnLButtonDown(Point p);
    // False when no drag is running.
    bool OnMouseMove(Point p);
    // A click shows the tooltip; a drag may zoom the value axis.
    std::optional<PointTip> OnLButtonUp(Point p);
    void OnDoubleClick();
    // Shown, hidden or resized.
    void OnSizeChanged(int width, int height);

    // The repaint: follows the newest samples when asked, then plans the
    // frame at the given size.
    ChartFrame Paint(int width, int height, const MeasureText& measure);

    // The point tooltip for a click at p; none while following or off the list.
    std::optional<PointTip> PointTooltip(Point p);

    // State
    const ChartView& View() const { return m_view; }
    bool Dragging() const { return m_bDragging; }
    Point DragStart() const { return m_dragStart; }
    Point DragCurrent() const { return m_dragCurrent; }
    int Cursor() const { return m_Cursor; }
    bool Following() const { return m_Follow; }
    bool Detailed() const { return m_Detailed; }
    int Window() const { return m_Window; }
    double FullMin() const { return m_FullMin; }
    double FullMax() const { return m_FullMax; }
    const std::string& Title() const { return m_strTitle; }
    const std::string& Unit() const { return m_strUnit; }
    const std::string& SeriesName() const { return m_strName; }
    const SampleList* Samples() const { return m_pSamples; }

    Rgb m_backTop{255, 255, 255};
    Rgb m_backBottom{178, 223, 192};
    Rgb m_curveColour{0, 0, 255};
    Rgb m_unitColour{0, 0, 125};
    Rgb m_titleColour{0, 0, 125};

  protected:
    // The whole chart must be drawn again.
    virtual void Invalidate() {}
    // The scroll bars' range or position changed.
    virtual void ScrollBarsChanged() {}

  private:
    void SetFullRange(double min, double max);
    void FollowLatest();
    void BringViewToList();
    ScrollBarState VerticalBarState() const;
    double VerticalSlack() const;
    int SampleCount() const;

    void PlanBackground(ChartFrame& frame) const;
    void PlanGrid(ChartFrame& frame) const;
    void PlanCurve(ChartFrame& frame) const;
    void PlanTexts(ChartFrame& frame, const MeasureText& measure) const;
    void PlanReadout(ChartFrame& frame, const MeasureText& measure) const;
    void PlanCursor(ChartFrame& frame) const;

    const SampleList* m_pSamples = nullptr;
    ChartView m_view;
    int m_Window = kWindow;
    double m_FullMax = 100.0;
    double m_FullMin = 0.0;
    std::string m_strTitle;
    std::string m_strUnit;
    std::string m_strName;
    bool m_bDragging = false;
    Point m_dragStart;
    Point m_dragCurrent;
    ScrollBarState m_hBar;
    ScrollBarState m_vBar;
    bool m_Follow = false;
    int m_Cursor = -1;
    bool m_Detailed = false;
};

// "℃" (GBK) and "°C" (Windows-1252) both become the degree text of the
// current interface language; any other unit stays.
std::string NormaliseDegreeUnit(const std::string& unit);

}  // namespace tandrin
