#pragma once

#include <array>
#include <string>
#include <vector>

#include "controls/sample.h"

namespace tandrin {

// A rectangle in the page's client pixels, right and bottom exclusive.
struct PageRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PageRect&) const = default;
};

// What the monitor page asks of the controls it drives. The Qt layer
// implements them over the real controls; the command line and the tests
// keep them in memory. Texts are bytes in the interface code page.
class TrendChartView {
  public:
    virtual ~TrendChartView() = default;
    // An empty unit or title leaves the one held.
    virtual void SetRange(double min, double max, const std::string& name, const std::string& unit,
                          const std::string& title) = 0;
    virtual void SetRangeAndUnit(double min, double max, const std::string& unit) = 0;
    // The chart reads the list at each repaint; the page owns it.
    virtual void SetSamples(const SampleList* samples, bool follow) = 0;
    virtual void SetFollowLatest(bool follow) = 0;
    virtual void SetDetailed(bool on) = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void Place(const PageRect& rect) = 0;
    virtual void Show(bool visible) = 0;
    virtual void Repaint() = 0;
};

class DialGaugeView {
  public:
    virtual ~DialGaugeView() = default;
    virtual void SetScale(double min, double max, const std::string& unit, int decimals) = 0;
    virtual void SetLabelDecimals(int decimals) = 0;
    virtual void SetValue(double value) = 0;
    virtual void Place(const PageRect& rect) = 0;
    virtual void Show(bool visible) = 0;
};

using ListRow = std::array<std::string, 3>;  // time, value, unit

class SampleListView {
  public:
    virtual ~SampleListView() = default;
    // "name,width;name,width;..."
    virtual void SetColumns(const std::string& layout) = 0;
    virtual void SetColumnTitle(int column, const std::string& title) = 0;
    // Each row goes to the top, in order: the last one ends up first.
    virtual void AddRows(const std::vector<ListRow>& rows) = 0;
    virtual void DeleteAllRows() = 0;
    virtual void SortByColumn(int column, bool ascending) = 0;
    // Every text of `column` equal to `from` becomes `to`.
    virtual void ReplaceTexts(int column, const std::string& from, const std::string& to) = 0;
    virtual void Place(const PageRect& rect) = 0;
};

// The controls of one monitor page.
struct MonitorViews {
    TrendChartView& pvChart;
    TrendChartView& currentChart;
    TrendChartView& percentChart;
    DialGaugeView& gauge;
    SampleListView& list;
};

}  // namespace tandrin
