// The monitor page: initialisation, the recording sequences, samples and
// the period timer.
#include "pages/monitor_page.h"

#include <cstdio>

#include "device/degree_text.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "pages/decimal_text.h"
#include "pages/monitor_page_ids.h"
#include "shell/command_issue.h"
#include "shell/lang_text.h"
#include "shell/main_dialog_ids.h"

namespace tandrin {

namespace {

using namespace monitor_ids;

// Series names of the charts' tooltips, GBK: "PV  值", "电流值", "百分比".
// The balloon's series names, fixed in every language, in UTF-8.
const char* const kPvName = "PV  \xE5\x80\xBC";                           // PV  值
const char* const kCurrentName = "\xE7\x94\xB5\xE6\xB5\x81\xE5\x80\xBC";  // 电流值
const char* const kPercentName = "\xE7\x99\xBE\xE5\x88\x86\xE6\xAF\x94";  // 百分比

struct ModeSequence {
    int command;
    std::initializer_list<std::uint8_t> commands;
    std::uint8_t resumeIndex;  // first command after a period: 1 or 2
};

const ModeSequence kModes[] = {
    {main_ids::kMonitorAll, {0, 15, 1, 2}, 2},
    {main_ids::kMonitorPv, {0, 15, 1}, 2},
    {main_ids::kMonitorCurrent, {0, 2}, 1},
    {main_ids::kMonitorPercent, {0, 2}, 1},
};

const ModeSequence* ModeOf(int command) {
    for (const ModeSequence& mode : kModes) {
        if (mode.command == command) {
            return &mode;
        }
    }
    return nullptr;
}

std::int32_t WallClock() {
    return static_cast<std::int32_t>(std::time(nullptr));
}

}  // namespace

std::string ClockText(std::int32_t time) {
    // Local time changes only at whole minutes of UTC in every zone, so one
    // conversion serves a whole minute of samples.
    thread_local std::int64_t cachedMinute = INT64_MIN;
    thread_local int hour = 0;
    thread_local int minute = 0;
    const std::int64_t utcMinute = (std::int64_t{time} - ((time % 60 + 60) % 60)) / 60;
    if (utcMinute != cachedMinute) {
        const std::time_t at = static_cast<std::time_t>(time);
        std::tm local{};
        localtime_r(&at, &local);
        hour = local.tm_hour;
        minute = local.tm_min;
        cachedMinute = utcMinute;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, (time % 60 + 60) % 60);
    return text;
}

std::string ValueText(double value) {
    return FixedText(value, 3);
}

MonitorPage::MonitorPage(Form& form, ShellServices& shell, MonitorViews views)
    : m_form(form), m_shell(shell), m_views(views), m_clock(WallClock) {}

MonitorPage::~MonitorPage() {
    KillPeriodTimer();
    CancelRefill();
}

EventLoop* MonitorPage::Loop() const {
    return hartMaster.Loop();
}

void MonitorPage::Initialise() {
    m_PVMin = -200.0;
    m_PVMax = 1800.0;
    m_PVUnit = DegreeText();
    m_views.pvChart.SetRange(m_PVMin, m_PVMax, kPvName, m_PVUnit, LangText("strPVCurve"));
    m_views.currentChart.SetRange(4.0, 20.0, kCurrentName, "mA", LangText("strCurrentCurve"));
    m_views.percentChart.SetRange(0.0, 100.0, kPercentName, "%", LangText("strPercentCurve"));
    m_Recording = false;
    m_ListVisible = false;
    m_Enlarged = nullptr;
    m_views.gauge.SetValue(0.0);
    m_form.SetChecked(kRadioPv, false);
    m_form.SetChecked(kRadioMa, false);
    m_form.SetChecked(kRadioPercent, true);
    m_Selection = 2;
    char columns[1024];
    std::snprintf(columns, sizeof columns, "%s,60;%s,60;%s,50", LangText("strTime").c_str(),
                  LangText("strData").c_str(), LangText("strUnit").c_str());
    m_views.list.SetColumns(columns);
    m_bInitialised = true;
    if (m_nClientWidth > 0) {
        LayoutPage();
    }
}

void MonitorPage::Retranslate() {
    m_views.list.SetColumnTitle(0, LangText(kSection, "strTime"));
    m_views.list.SetColumnTitle(1, LangText(kSection, "strData"));
    m_views.list.SetColumnTitle(2, LangText(kSection, "strUnit"));
    m_views.pvChart.SetTitle(LangText(kSection, "strPVCurve"));
    m_views.currentChart.SetTitle(LangText(kSection, "strCurrentCurve"));
    m_views.percentChart.SetTitle(LangText(kSection, "strPercentCurve"));
}

void MonitorPage::Show(bool visible) {
    // Only a real change: a click on the button of the page already shown
    // keeps its samples.
    if (visible == m_bShown) {
        return;
    }
    m_bShown = visible;
    if (!visible) {
        EndRecording();
    }
    EmptySamples();
}

bool MonitorPage::OnCommand(int id) {
    switch (id) {
        case main_ids::kMonitorAll:
        case main_ids::kMonitorPv:
        case main_ids::kMonitorCurrent:
        case main_ids::kMonitorPercent:
            StartRecording(id);
            return true;
        case main_ids::kMonitorHistory:
            ToggleList();
            return true;
        case main_ids::kMonitorOpen:
            OpenRecord();
            return true;
        case main_ids::kMonitorSave:
            SaveRecord();
            return true;
        default:
            return false;
    }
}

void MonitorPage::StartRecording(int command) {
    const ModeSequence* mode = ModeOf(command);
    if (mode == nullptr || CheckLinkReady() == 0) {
        return;
    }
    KillPeriodTimer();
    switch (command) {
        case main_ids::kMonitorPv:
            ShowSingle(&m_views.pvChart);
            break;
        case main_ids::kMonitorCurrent:
            ShowSingle(&m_views.currentChart);
            break;
        case main_ids::kMonitorPercent:
            ShowSingle(&m_views.percentChart);
            break;
        default:
            ShowSingle(nullptr);
            break;
    }
    CommandSequence.Set(mode->commands);
    m_Mode = command;
    m_Recording = true;
    StartCommand(this, &MonitorPage::OnSampleDone);
}

void MonitorPage::OnSampleDone(void* user, std::int32_t success, std::uint8_t command) {
    static_cast<MonitorPage*>(user)->StepDone(success, command);
}

void MonitorPage::StepDone(std::int32_t success, std::uint8_t command) {
    if (!m_Recording) {
        return;
    }
    if (success != 1) {
        ReportFailed();
        m_Recording = false;
        return;
    }
    if (++CommandSequence.index < CommandSequence.count) {
        if (command == 15) {
            m_PVMin = static_cast<double>(hartMaster.m_fLowerRange);
            m_PVMax = static_cast<double>(hartMaster.m_fUpperRange);
            m_PVUnit = hartMaster.m_strPVUnit;
            m_views.pvChart.SetRangeAndUnit(m_PVMin, m_PVMax, m_PVUnit);
            if (m_Selection == 0) {
                m_views.gauge.SetScale(m_PVMin, m_PVMax, ShownUnit(m_PVUnit), 3);
                m_views.gauge.SetValue(m_PVMin);
            }
        } else if (command == 1 && m_Mode == main_ids::kMonitorAll) {
            TakeSample(Quantity::kPv, m_clock());
        }
        StartCommand(this, &MonitorPage::OnSampleDone);
        return;
    }
    SequenceComplete(command);
}

void MonitorPage::SequenceComplete(std::uint8_t command) {
    if (mainWindow != nullptr) {
        mainWindow->ShowProgress(true);
    }
    switch (m_Mode) {
        case main_ids::kMonitorPv:
            TakeSample(Quantity::kPv, m_clock());
            StartPeriodTimer();
            ShowValue(0);
            break;
        case main_ids::kMonitorCurrent:
            TakeSample(Quantity::kCurrent, m_clock());
            StartPeriodTimer();
            ShowValue(1);
            break;
        case main_ids::kMonitorPercent:
            TakeSample(Quantity::kPercent, m_clock());
            StartPeriodTimer();
            ShowValue(1);
            break;
        case main_ids::kMonitorAll:
            if (command == 2) {
                // One clock read stamps both.
                const std::int32_t time = m_clock();
                TakeSample(Quantity::kCurrent, time);
                TakeSample(Quantity::kPercent, time);
                StartPeriodTimer();
                const float values[] = {hartMaster.m_fPV, hartMaster.m_fLoopCurrent,
                                        hartMaster.m_fPercentRange};
                m_views.gauge.SetValue(static_cast<double>(values[m_Selection]));
                ShowValue(0);
                ShowValue(1);
            }
            break;
        default:
            break;
    }
}

void MonitorPage::TakeSample(Quantity quantity, std::int32_t time) {
    float value = hartMaster.m_fPV;
    if (quantity == Quantity::kCurrent) {
        value = hartMaster.m_fLoopCurrent;
    } else if (quantity == Quantity::kPercent) {
        value = hartMaster.m_fPercentRange;
    }
    const Sample sample{static_cast<double>(value), time};
    SampleList& samples = ListOf(quantity);
    // A refill still to reach this series lists the sample itself.
    const bool refillWillList = RefillPending() && m_refill.series <= static_cast<int>(quantity);
    if (m_ListVisible && !refillWillList) {
        ListRow row = RowOf(quantity, sample);
        if (quantity == Quantity::kPv) {
            row[2] = ShownUnit(hartMaster.m_strPVUnit);
        }
        m_views.list.AddRows({row});
    }
    samples.push_back(sample);
    m_bUnsaved = true;
    ChartOf(quantity).SetSamples(&samples, true);
    if (m_onSample) {
        m_onSample(quantity, sample);
    }
}

void MonitorPage::ShowValue(long lParam) {
    if (mainWindow != nullptr) {
        mainWindow->ShowValue(lParam);  // WM_SHOWVALUE
    }
}

void MonitorPage::StartPeriodTimer() {
    KillPeriodTimer();
    m_Seconds = 0;
    if (EventLoop* loop = Loop()) {
        m_nTimer = loop->StartTimer(1000, [this](TimerId) {
            m_nTimer = 0;
            OnTimer();
        });
    }
}

void MonitorPage::KillPeriodTimer() {
    if (m_nTimer != 0) {
        if (EventLoop* loop = Loop()) {
            loop->KillTimer(m_nTimer);
        }
        m_nTimer = 0;
    }
}

// While waiting, the line is ours when our sequence is still the one set
// and nobody stopped it: after Stop another window may have started its
// own sequence, which the next period must not overrun.
bool MonitorPage::LineStillOurs() const {
    const ModeSequence* mode = ModeOf(m_Mode);
    if (mode == nullptr || busyFlag == 0 || cancelFlag != 0 ||
        CommandSequence.count != mode->commands.size()) {
        return false;
    }
    std::size_t i = 0;
    for (const std::uint8_t command : mode->commands) {
        if (CommandSequence.commands[i++] != command) {
            return false;
        }
    }
    return true;
}

void MonitorPage::OnTimer() {
    if (!m_Recording || cancelFlag != 0) {
        m_Recording = false;
        busyFlag = 0;
        return;
    }
    if (!LineStillOurs()) {
        // Another sequence holds the line: leave its flag alone.
        m_Recording = false;
        return;
    }
    if (++m_Seconds < m_Period) {
        m_nTimer = Loop()->StartTimer(1000, [this](TimerId) {
            m_nTimer = 0;
            OnTimer();
        });
        return;
    }
    CommandSequence.index = ModeOf(m_Mode)->resumeIndex;
    StartCommand(this, &MonitorPage::OnSampleDone);
}

void MonitorPage::EndRecording() {
    const bool ours = m_Recording && LineStillOurs();
    KillPeriodTimer();
    if (ours) {
        // A command in flight is dropped at its next timer.
        cancelFlag = 1;
        busyFlag = 0;
        CommandSequence.index = CommandSequence.count;
    }
    m_Recording = false;
}

void MonitorPage::LinkLost() {
    // The command in flight was cancelled with the link, so its completion
    // never comes: the recording ends here, its samples kept.
    KillPeriodTimer();
    m_Recording = false;
}

bool MonitorPage::HasSamples() const {
    return !m_PVSamples.empty() || !m_CurrentSamples.empty() || !m_PercentSamples.empty();
}

void MonitorPage::EmptySamples() {
    CancelRefill();
    m_PVSamples.clear();
    m_CurrentSamples.clear();
    m_PercentSamples.clear();
    // Rows of the samples gone must not mix with the next recording's.
    m_views.list.DeleteAllRows();
    m_bUnsaved = false;
    m_views.pvChart.Repaint();
    m_views.currentChart.Repaint();
    m_views.percentChart.Repaint();
}

const SampleList& MonitorPage::Samples(Quantity quantity) const {
    switch (quantity) {
        case Quantity::kCurrent:
            return m_CurrentSamples;
        case Quantity::kPercent:
            return m_PercentSamples;
        default:
            return m_PVSamples;
    }
}

SampleList& MonitorPage::ListOf(Quantity quantity) {
    return const_cast<SampleList&>(Samples(quantity));
}

TrendChartView& MonitorPage::ChartOf(Quantity quantity) {
    switch (quantity) {
        case Quantity::kCurrent:
            return m_views.currentChart;
        case Quantity::kPercent:
            return m_views.percentChart;
        default:
            return m_views.pvChart;
    }
}

}  // namespace tandrin
