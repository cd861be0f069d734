#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "controls/sample.h"
#include "pages/monitor_views.h"
#include "pages/trend_record.h"
#include "platform/event_loop.h"
#include "shell/form.h"
#include "shell/main_dialog.h"
#include "shell/shell_services.h"

namespace tandrin {

// The quantities the page records.
enum class Quantity { kPv, kCurrent, kPercent };

// Where the page's controls go for a client size (LayoutPage).
struct MonitorLayout {
    PageRect pvChart;
    PageRect currentChart;
    PageRect percentChart;
    PageRect gauge;
    PageRect list;
};
MonitorLayout ComputeMonitorLayout(int clientWidth, int clientHeight, bool listVisible);
// The rectangle of a chart shown alone.
PageRect EnlargedChartRect(int clientWidth, int clientHeight, bool listVisible);

// The monitor page: records PV, loop current and percent of range at a
// period, shows them in three charts, a gauge and a sample list, and saves
// and loads them as trend records. Written against its controls (the
// radio buttons in a Form, the charts, gauge and list as views) and the
// shell services, so it runs in the GUI, on the command line and headless.
class MonitorPage : public DevicePage {
  public:
    using Clock = std::function<std::int32_t()>;
    using SampleHook = std::function<void(Quantity, const Sample&)>;

    MonitorPage(Form& form, ShellServices& shell, MonitorViews views);
    ~MonitorPage() override;
    MonitorPage(const MonitorPage&) = delete;
    MonitorPage& operator=(const MonitorPage&) = delete;

    // Dialog creation.
    void Initialise();

    // DevicePage
    void Translate() override { Retranslate(); }
    void Show(bool visible) override;
    bool OnCommand(int id) override;
    void SetSamplingPeriod(int seconds) override { m_Period = seconds; }
    bool MayDiscard() override;
    void LinkLost() override;
    void RefreshDegreeTexts() override;

    // Handlers
    void Retranslate();
    void Resize(int clientWidth, int clientHeight);
    void LayoutPage();
    void ShowSingle(TrendChartView* chart);
    void OnRadio(int id);
    void ToggleList();
    void RefillList();
    bool RefillPending() const { return m_refill.active; }
    static void OnSampleDone(void* user, std::int32_t success, std::uint8_t command);
    void OnTimer();

    // Record files
    void OpenRecord();
    void SaveRecord();
    // Loads without a dialog or question; false (with the message shown)
    // when the file was not read, the samples then untouched.
    bool LoadRecordFile(const std::string& path);
    bool SaveRecordFile(const std::string& path);
    TrendRecord Record() const;

    // Ends the recording now: the timer stops and the line is free.
    void EndRecording();
    bool Recording() const { return m_Recording; }
    bool HasUnsavedSamples() const { return m_bUnsaved && HasSamples(); }
    bool HasSamples() const;

    // For the command line and the tests: the wall clock, and a look at each
    // sample as it is taken.
    void SetClock(Clock clock) { m_clock = std::move(clock); }
    void SetSampleHook(SampleHook hook) { m_onSample = std::move(hook); }

    const SampleList& Samples(Quantity quantity) const;
    int Period() const { return m_Period; }
    int Mode() const { return m_Mode; }
    int Selection() const { return m_Selection; }
    bool ListVisible() const { return m_ListVisible; }
    double PvMin() const { return m_PVMin; }
    double PvMax() const { return m_PVMax; }
    const std::string& PvUnit() const { return m_PVUnit; }
    const TrendChartView* Enlarged() const { return m_Enlarged; }
    const MonitorLayout& Layout() const { return m_layout; }
    // Rows the list gets in one turn of the loop while it is refilled.
    static constexpr std::size_t kRefillBatch = 4096;

  private:
    void StartRecording(int command);
    void StepDone(std::int32_t success, std::uint8_t command);
    void SequenceComplete(std::uint8_t command);
    void TakeSample(Quantity quantity, std::int32_t time);
    void StartPeriodTimer();
    void KillPeriodTimer();
    bool LineStillOurs() const;
    void ShowValue(long lParam);
    void EmptySamples();
    void SetGaugeFromNewest();
    ListRow RowOf(Quantity quantity, const Sample& sample) const;
    void StartRefill(bool sortWhenDone);
    void RefillBatch();
    void CancelRefill();
    void UpdateHistoryCheck();
    void ApplyRecord(TrendRecord&& record);
    bool AskDiscard();
    TrendChartView& ChartOf(Quantity quantity);
    SampleList& ListOf(Quantity quantity);
    EventLoop* Loop() const;

    Form& m_form;
    ShellServices& m_shell;
    MonitorViews m_views;
    Clock m_clock;
    SampleHook m_onSample;

    int m_Period = 2;
    TrendChartView* m_Enlarged = nullptr;
    SampleList m_PVSamples;
    SampleList m_CurrentSamples;
    SampleList m_PercentSamples;
    bool m_Recording = false;
    MonitorLayout m_layout;
    int m_Seconds = 0;
    double m_PVMin = -200.0;
    double m_PVMax = 1800.0;
    std::string m_PVUnit;
    int m_Mode = 0;
    int m_Selection = 2;
    bool m_ListVisible = false;

    int m_nClientWidth = 0;
    int m_nClientHeight = 0;
    bool m_bInitialised = false;
    bool m_bShown = false;
    bool m_bUnsaved = false;
    TimerId m_nTimer = 0;

    // A refill in progress: the next (series, index) to add.
    struct Refill {
        bool active = false;
        TimerId timer = 0;  // the next batch's turn
        int series = 0;
        std::size_t index = 0;
        bool sortWhenDone = false;
    };
    Refill m_refill;
};

// "%02d:%02d:%02d" in local time.
std::string ClockText(std::int32_t time);
// Three decimals, a point in every locale.
std::string ValueText(double value);
// The PV unit as the list shows it: either code page's degree text becomes
// the interface's own.
std::string ShownUnit(const std::string& unit);

}  // namespace tandrin
