#include "cli/cli_monitor.h"

#include <ostream>

#include "cli/cli_session.h"
#include "cli/terminal_text.h"
#include "device/degree_text.h"
#include "link/hart_master.h"
#include "pages/memory_monitor_views.h"
#include "pages/monitor_page.h"
#include "pages/monitor_page_ids.h"
#include "pages/trend_record_csv.h"
#include "platform/stop_signals.h"
#include "platform/text_codec.h"
#include "shell/atomic_file.h"
#include "shell/lang_text.h"
#include "shell/main_dialog_ids.h"

namespace tandrin::cli {

namespace {

const char* SeriesName(Quantity quantity) {
    switch (quantity) {
        case Quantity::kCurrent:
            return "current";
        case Quantity::kPercent:
            return "percent";
        default:
            return "pv";
    }
}

int ModeCommand(const std::string& mode) {
    if (mode == "pv") {
        return main_ids::kMonitorPv;
    }
    if (mode == "current") {
        return main_ids::kMonitorCurrent;
    }
    if (mode == "percent") {
        return main_ids::kMonitorPercent;
    }
    return main_ids::kMonitorAll;
}

// The series a mode records; the last of them completes a sample.
Quantity LastSeries(int mode) {
    switch (mode) {
        case main_ids::kMonitorPv:
            return Quantity::kPv;
        case main_ids::kMonitorCurrent:
            return Quantity::kCurrent;
        default:
            return Quantity::kPercent;
    }
}

bool Gbk() {
    return chineseUi.load() == 1;
}

// A stop signal ends the recording, which is then written.
bool Stopped() {
    return StopSignals::Caught() != 0;
}

class MonitorCommand {
  public:
    explicit MonitorCommand(CliSession& session) : m_session(session), m_output(session.Output()) {
        for (const int radio :
             {monitor_ids::kRadioPv, monitor_ids::kRadioMa, monitor_ids::kRadioPercent}) {
            m_pageForm.Add(radio);
        }
        // The window tells its pages when the port goes away.
        m_session.Dialog().SetPage(MainDialog::kMonitorPage, &m_page);
    }
    ~MonitorCommand() {
        m_session.Dialog().SetPage(MainDialog::kMonitorPage, nullptr);
        m_page.EndRecording();
    }
    MonitorCommand(const MonitorCommand&) = delete;
    MonitorCommand& operator=(const MonitorCommand&) = delete;

    int Monitor();
    int PrintRecord();

  private:
    int Fail(const std::string& message) { return m_output.Fail(Utf8(message)); }
    void PrintSample(Quantity quantity, const Sample& sample, const std::string& unit);
    bool WriteRecord();

    CliSession& m_session;
    CliOutput& m_output;
    const MonitorOptions& m_options = m_session.Options().monitor;
    MemoryForm m_pageForm;
    MemoryMonitorViews m_views;
    MonitorPage m_page{m_pageForm, m_session.Shell(), m_views.Views()};
};

void MonitorCommand::PrintSample(Quantity quantity, const Sample& sample, const std::string& unit) {
    const std::string time = IsoLocalTime(sample.time);
    std::ostream& out = m_output.Out();
    if (m_output.Json()) {
        out << JsonObject()
                   .Add("series", std::string_view(SeriesName(quantity)))
                   .Add("time", time)
                   .Add("value", sample.value)
                   .Add("unit", unit)
                   .Text()
            << '\n';
    } else {
        // The unit may come from a record file.
        out << SeriesName(quantity) << " " << time << " " << ShortestNumber(sample.value) << " "
            << Printable(unit) << '\n';
    }
}

bool MonitorCommand::WriteRecord() {
    if (m_options.record.empty()) {
        return true;
    }
    ConsoleShell& shell = m_session.Shell();
    shell.messages.clear();
    if (!m_page.SaveRecordFile(m_options.record)) {
        Fail(shell.messages.empty() ? LangText("strFileError") : shell.messages.back().text);
        return false;
    }
    return true;
}

int MonitorCommand::Monitor() {
    const int mode = ModeCommand(m_options.mode);
    const Quantity last = LastSeries(mode);
    m_page.Initialise();
    m_page.Show(true);
    m_page.SetSamplingPeriod(m_options.period);
    m_page.SetSampleHook([this](Quantity quantity, const Sample& sample) {
        const std::string unit = quantity == Quantity::kPv
                                     ? UnitUtf8(hartMaster.m_strPVUnit, Gbk())
                                     : (quantity == Quantity::kCurrent ? "mA" : "%");
        PrintSample(quantity, sample, unit);
        m_output.Out().flush();  // as it comes
    });

    // A long unattended run must not be recorded only to be lost at its end.
    if (!m_options.record.empty() && !CanWriteFileAtomically(m_options.record)) {
        return Fail(m_options.record + "can't create!");
    }
    ConsoleShell& shell = m_session.Shell();
    shell.messages.clear();
    m_page.OnCommand(mode);
    if (!m_page.Recording()) {
        return Fail(shell.messages.empty() ? LangText("strOpFail") : shell.messages.back().text);
    }
    const auto finished = [&] {
        const bool enough = m_options.count > 0 && m_page.Samples(last).size() >=
                                                       static_cast<std::size_t>(m_options.count);
        return Stopped() || enough || !m_page.Recording();
    };
    while (!m_session.Loop().RunUntil(finished, 60'000)) {
    }
    const bool failed = !m_page.Recording() && !Stopped();
    // Taken before the record is written, which has messages of its own.
    const std::string failure =
        shell.messages.empty() ? LangText("strCommFail") : shell.messages.front().text;
    m_page.EndRecording();
    hartMaster.CloseLink();
    const bool written = WriteRecord();
    if (failed) {
        return Fail(failure);
    }
    if (!written) {
        return kExitFailed;
    }
    // main turns a stop by signal into 128 + the signal.
    return m_output.Done();
}

int MonitorCommand::PrintRecord() {
    const std::string& path = m_options.file;
    TrendRecord record;
    switch (LoadTrendRecord(path, record)) {
        case RecordIo::kCannotOpen:
            return Fail(path + "can't Open!");
        case RecordIo::kBadFile:
            return Fail(LangText("strFileError"));
        case RecordIo::kOk:
            break;
    }
    std::ostream& out = m_output.Out();
    if (m_options.csv) {
        out << TrendRecordCsv(record, Gbk());
        return m_output.Done();
    }
    if (Stopped()) {
        return m_output.Done();
    }
    const std::string unit = UnitUtf8(record.m_PVUnit, Gbk());
    if (m_output.Json()) {
        out << JsonObject()
                   .Add("pv_min", record.m_PVMin)
                   .Add("pv_max", record.m_PVMax)
                   .Add("unit", unit)
                   .Add("pv", static_cast<int>(record.pv.size()))
                   .Add("current", static_cast<int>(record.current.size()))
                   .Add("percent", static_cast<int>(record.percent.size()))
                   .Text()
            << "\n";
    } else {
        out << "PV range " << ShortestNumber(record.m_PVMin) << " to "
            << ShortestNumber(record.m_PVMax) << " " << Printable(unit) << "\n";
    }
    const std::pair<Quantity, const SampleList*> series[] = {{Quantity::kPv, &record.pv},
                                                             {Quantity::kCurrent, &record.current},
                                                             {Quantity::kPercent, &record.percent}};
    for (const auto& [quantity, samples] : series) {
        const std::string seriesUnit =
            quantity == Quantity::kPv ? unit : (quantity == Quantity::kCurrent ? "mA" : "%");
        for (const Sample& sample : *samples) {
            // A stop signal ends a long listing at once.
            if (Stopped()) {
                return m_output.Done();
            }
            PrintSample(quantity, sample, seriesUnit);
        }
    }
    return m_output.Done();
}

}  // namespace

int RunMonitor(CliSession& session) {
    return MonitorCommand(session).Monitor();
}

int RunRecord(CliSession& session) {
    return MonitorCommand(session).PrintRecord();
}

}  // namespace tandrin::cli
