// The monitor page's layout, the chart shown alone, the gauge's radio
// buttons and the sample list.
#include "device/degree_text.h"
#include "link/hart_master.h"
#include "pages/monitor_page.h"
#include "pages/monitor_page_ids.h"
#include "shell/main_dialog_ids.h"

namespace tandrin {

namespace {

using namespace monitor_ids;

// The strip on the right that keeps the radio buttons at their places.
constexpr int kRadioStrip = 58;
constexpr int kListWidth = 160;
const std::string kGbkDegree = "\xA1\xE6";      // ℃
const std::string kWesternDegree = "\xB0\x43";  // °C

int ListWidth(bool listVisible) {
    return listVisible ? kListWidth : 0;
}

}  // namespace

MonitorLayout ComputeMonitorLayout(int clientWidth, int clientHeight, bool listVisible) {
    const int W = clientWidth - kRadioStrip;
    const int H = clientHeight;
    const int lw = ListWidth(listVisible);
    const int w2 = (W - lw - 3) / 2;
    const int h2 = (H - 3) / 2;
    MonitorLayout layout;
    layout.list = {0, 0, lw, H};
    layout.pvChart = {lw + 1, 1, lw + 1 + w2, h2 + 1};
    layout.currentChart = {lw + w2 + 2, 1, lw + 2 * w2 + 2, h2 + 1};
    layout.percentChart = {lw + 1, h2 + 2, lw + w2 + 1, 2 * h2 + 2};
    if (w2 < h2) {
        const int left = lw + 2 + w2 - lw / 5;
        const int top = h2 + 2 + (h2 - w2) / 2;
        layout.gauge = {left, top, left + w2, top + w2};
    } else {
        const int left = lw + 9 + w2 + (w2 - h2) / 2 - lw / 5;
        const int top = h2 + 2;
        layout.gauge = {left, top, left + h2, top + h2};
    }
    return layout;
}

PageRect EnlargedChartRect(int clientWidth, int clientHeight, bool listVisible) {
    const int x = ListWidth(listVisible) + 2;
    const int width = clientWidth - kRadioStrip - x;
    return {x, 0, x + width, clientHeight};
}

void MonitorPage::Resize(int clientWidth, int clientHeight) {
    m_nClientWidth = clientWidth;
    m_nClientHeight = clientHeight;
    if (m_bInitialised) {
        LayoutPage();
    }
}

void MonitorPage::LayoutPage() {
    m_layout = ComputeMonitorLayout(m_nClientWidth, m_nClientHeight, m_ListVisible);
    m_views.list.Place(m_layout.list);
    if (m_Enlarged != nullptr) {
        m_Enlarged->Place(EnlargedChartRect(m_nClientWidth, m_nClientHeight, m_ListVisible));
        return;
    }
    m_views.pvChart.Place(m_layout.pvChart);
    m_views.currentChart.Place(m_layout.currentChart);
    m_views.percentChart.Place(m_layout.percentChart);
    m_views.gauge.Place(m_layout.gauge);
}

void MonitorPage::ShowSingle(TrendChartView* chart) {
    m_Enlarged = chart;
    TrendChartView* charts[] = {&m_views.pvChart, &m_views.currentChart, &m_views.percentChart};
    const PageRect places[] = {m_layout.pvChart, m_layout.currentChart, m_layout.percentChart};
    if (chart != nullptr) {
        for (TrendChartView* each : charts) {
            each->Show(false);
        }
        m_views.gauge.Show(false);
        for (const int radio : {kRadioPv, kRadioMa, kRadioPercent}) {
            m_form.SetVisible(radio, false);
        }
        chart->Place(EnlargedChartRect(m_nClientWidth, m_nClientHeight, m_ListVisible));
        chart->SetDetailed(true);
        chart->Show(true);
        return;
    }
    for (int i = 0; i < 3; ++i) {
        charts[i]->Place(places[i]);
        charts[i]->SetDetailed(false);
    }
    for (TrendChartView* each : charts) {
        each->Show(true);
    }
    m_views.gauge.Place(m_layout.gauge);
    m_views.gauge.Show(true);
    for (const int radio : {kRadioPv, kRadioMa, kRadioPercent}) {
        m_form.SetVisible(radio, true);
    }
}

void MonitorPage::OnRadio(int id) {
    DialGaugeView& gauge = m_views.gauge;
    switch (id) {
        case kRadioPv:
            m_Selection = 0;
            gauge.SetScale(m_PVMin, m_PVMax, ShownUnit(m_PVUnit), 3);
            if (m_PVMax < 10.0) {
                gauge.SetLabelDecimals(1);
            }
            gauge.SetValue(m_PVSamples.empty() ? m_PVMin : m_PVSamples.back().value);
            break;
        case kRadioMa:
            m_Selection = 1;
            gauge.SetScale(4.0, 20.0, "mA", 3);
            gauge.SetLabelDecimals(1);
            gauge.SetValue(m_CurrentSamples.empty() ? 4.0 : m_CurrentSamples.back().value);
            break;
        case kRadioPercent:
            m_Selection = 2;
            gauge.SetScale(0.0, 100.0, "%", 2);
            gauge.SetValue(m_PercentSamples.empty() ? 0.0 : m_PercentSamples.back().value);
            break;
        default:
            return;
    }
    for (const int radio : {kRadioPv, kRadioMa, kRadioPercent}) {
        m_form.SetChecked(radio, radio == id);
    }
}

void MonitorPage::ToggleList() {
    m_ListVisible = !m_ListVisible;
    LayoutPage();
    ShowSingle(m_Enlarged);
    if (m_ListVisible) {
        RefillList();
    } else {
        CancelRefill();
    }
    UpdateHistoryCheck();
}

// The toolbar shows 31004 checked while the list is shown.
void MonitorPage::UpdateHistoryCheck() {
    if (mainWindow != nullptr) {
        mainWindow->Controls().SetChecked(main_ids::kMonitorHistory, m_ListVisible);
    }
}

// A degree text in either code page reads in the interface's own, as the
// charts show it: a record saved in one language is listed in the other.
std::string ShownUnit(const std::string& unit) {
    return unit == kGbkDegree || unit == kWesternDegree ? DegreeText() : unit;
}

// After a language switch the degree texts already shown are bytes of the
// other code page, which would read as other characters.
void MonitorPage::RefreshDegreeTexts() {
    const std::string shown = DegreeText();
    const std::string other = shown == kGbkDegree ? kWesternDegree : kGbkDegree;
    m_views.list.ReplaceTexts(2, other, shown);
    if (m_Selection == 0) {
        OnRadio(kRadioPv);
    }
}

ListRow MonitorPage::RowOf(Quantity quantity, const Sample& sample) const {
    const char* unit = quantity == Quantity::kCurrent ? "mA" : "%";
    return {ClockText(sample.time), ValueText(sample.value),
            quantity == Quantity::kPv ? ShownUnit(m_PVUnit) : std::string(unit)};
}

// Rows go to the list a batch per turn of the event loop, so the window
// keeps answering while a long recording is listed. Samples taken
// meanwhile are picked up when the refill reaches their series.
void MonitorPage::RefillList() {
    StartRefill(false);
}

void MonitorPage::StartRefill(bool sortWhenDone) {
    CancelRefill();
    m_views.list.DeleteAllRows();
    m_refill.active = true;
    m_refill.sortWhenDone = sortWhenDone;
    RefillBatch();
}

void MonitorPage::RefillBatch() {
    m_refill.timer = 0;
    std::vector<ListRow> rows;
    rows.reserve(kRefillBatch);
    const Quantity order[] = {Quantity::kPv, Quantity::kCurrent, Quantity::kPercent};
    while (m_refill.series < 3 && rows.size() < kRefillBatch) {
        const Quantity quantity = order[m_refill.series];
        const SampleList& samples = Samples(quantity);
        if (m_refill.index >= samples.size()) {
            ++m_refill.series;
            m_refill.index = 0;
            continue;
        }
        rows.push_back(RowOf(quantity, samples[m_refill.index++]));
    }
    m_views.list.AddRows(rows);
    if (m_refill.series < 3) {
        EventLoop* loop = Loop();
        if (loop != nullptr) {
            m_refill.timer = loop->StartTimer(0, [this](TimerId) { RefillBatch(); });
            return;
        }
        RefillBatch();
        return;
    }
    const bool sort = m_refill.sortWhenDone;
    m_refill = Refill{};
    if (sort) {
        // Time of day, newest first.
        m_views.list.SortByColumn(0, false);
    }
}

void MonitorPage::CancelRefill() {
    if (m_refill.timer != 0) {
        if (EventLoop* loop = Loop()) {
            loop->KillTimer(m_refill.timer);
        }
    }
    m_refill = Refill{};
}

}  // namespace tandrin
