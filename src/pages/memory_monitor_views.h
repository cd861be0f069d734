#pragma once

#include <string>
#include <vector>

#include "pages/monitor_views.h"

namespace tandrin {

// The monitor page's controls in memory (the command line and the tests):
// they keep what they were last told.
class MemoryTrendChart : public TrendChartView {
  public:
    void SetRange(double min, double max, const std::string& seriesName,
                  const std::string& unitText, const std::string& titleText) override {
        fullMin = min - (max - min) * 0.25;
        fullMax = max + (max - min) * 0.25;
        name = seriesName;
        if (!unitText.empty()) {
            unit = unitText;
        }
        if (!titleText.empty()) {
            title = titleText;
        }
    }
    void SetRangeAndUnit(double min, double max, const std::string& unitText) override {
        fullMin = min - (max - min) * 0.25;
        fullMax = max + (max - min) * 0.25;
        unit = unitText;
    }
    void SetSamples(const SampleList* list, bool followLatest) override {
        samples = list;
        follow = followLatest;
        ++sampleCalls;
    }
    void SetFollowLatest(bool followLatest) override { follow = followLatest; }
    void SetDetailed(bool on) override { detailed = on; }
    void SetTitle(const std::string& text) override { title = text; }
    void Place(const PageRect& where) override { rect = where; }
    void Show(bool shown) override { visible = shown; }
    void Repaint() override { ++repaints; }

    double fullMin = 0.0;
    double fullMax = 100.0;
    std::string name;
    std::string unit;
    std::string title;
    const SampleList* samples = nullptr;
    bool follow = false;
    bool detailed = false;
    bool visible = true;
    PageRect rect;
    int sampleCalls = 0;
    int repaints = 0;
};

class MemoryDialGauge : public DialGaugeView {
  public:
    void SetScale(double min, double max, const std::string& unitText, int decimals) override {
        minimum = min;
        maximum = max;
        unit = unitText;
        valueDecimals = decimals;
    }
    void SetLabelDecimals(int decimals) override { labelDecimals = decimals; }
    void SetValue(double v) override { value = v; }
    void Place(const PageRect& where) override { rect = where; }
    void Show(bool shown) override { visible = shown; }

    double minimum = 0.0;
    double maximum = 100.0;
    std::string unit = "%";
    int valueDecimals = 2;
    int labelDecimals = 0;
    double value = 50.0;
    bool visible = true;
    PageRect rect;
};

class MemorySampleList : public SampleListView {
  public:
    void SetColumns(const std::string& text) override { columns = text; }
    void SetColumnTitle(int column, const std::string& title) override {
        if (column >= 0 && column < 3) {
            titles[static_cast<std::size_t>(column)] = title;
        }
    }
    // rows[0] is the top row.
    void AddRows(const std::vector<ListRow>& added) override {
        rows.insert(rows.begin(), added.rbegin(), added.rend());
        ++batches;
    }
    void DeleteAllRows() override { rows.clear(); }
    void SortByColumn(int column, bool ascending) override {
        sortColumn = column;
        sortAscending = ascending;
    }
    void ReplaceTexts(int column, const std::string& from, const std::string& to) override {
        for (ListRow& row : rows) {
            std::string& text = row[static_cast<std::size_t>(column)];
            text = text == from ? to : text;
        }
    }
    void Place(const PageRect& where) override { rect = where; }

    std::string columns;
    ListRow titles;
    std::vector<ListRow> rows;
    int batches = 0;
    int sortColumn = -1;
    bool sortAscending = true;
    PageRect rect;
};

// One page's worth.
struct MemoryMonitorViews {
    MemoryTrendChart pvChart;
    MemoryTrendChart currentChart;
    MemoryTrendChart percentChart;
    MemoryDialGauge gauge;
    MemorySampleList list;

    MonitorViews Views() { return {pvChart, currentChart, percentChart, gauge, list}; }
};

}  // namespace tandrin
