#include "cli/cli_monitor.h"

#include <signal.h>

#include <algorithm>
#include <csignal>
#include <ostream>

#include "cli/console_shell.h"
#include "cli/json_writer.h"
#include "device/degree_text.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "pages/memory_monitor_views.h"
#include "pages/monitor_page.h"
#include "pages/monitor_page_ids.h"
#include "pages/trend_record_csv.h"
#include "platform/poll_event_loop.h"
#include "platform/text_codec.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/main_dialog_ids.h"
#include "shell/memory_form.h"
#include "shell/memory_menu_bar.h"
#include "shell/settings_store.h"
#include "sim/sim_thread.h"

namespace tandrin::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
    interrupted = 1;
}

// Ctrl-C ends the recording, which is then written; only while monitoring.
class InterruptGuard {
  public:
    InterruptGuard() {
        interrupted = 0;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_old);
    }
    ~InterruptGuard() { sigaction(SIGINT, &m_old, nullptr); }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

  private:
    struct sigaction m_old {};
};

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

class MonitorSession {
  public:
    MonitorSession(const CliOptions& options, std::ostream& out, std::ostream& err)
        : m_options(options), m_out(out), m_err(err), m_dialog(m_form, m_menu, m_shell) {
        m_form.Add(main_ids::kPvReadout, "0.0  " + DegreeText());
        m_form.Add(main_ids::kCurrentReadout, "0.0");
        m_form.Add(main_ids::kPercentReadout, "0.0");
        m_form.Add(main_ids::kShortAddressBox);
        for (const int radio :
             {monitor_ids::kRadioPv, monitor_ids::kRadioMa, monitor_ids::kRadioPercent}) {
            m_pageForm.Add(radio);
        }
        hartMaster.SetEventLoop(&m_loop);
        mainWindow = &m_dialog;
    }
    ~MonitorSession() {
        m_page.EndRecording();
        hartMaster.CloseLink();
        mainWindow = nullptr;
        hartMaster.SetEventLoop(nullptr);
    }
    MonitorSession(const MonitorSession&) = delete;
    MonitorSession& operator=(const MonitorSession&) = delete;

    int Monitor();
    int PrintRecord();

  private:
    bool ChooseLanguage();
    bool ChoosePort();
    int Fail(const std::string& message);
    std::string Utf8(const std::string& text) const { return ToUtf8(text, Gbk()); }
    bool Gbk() const { return chineseUi.load() == 1; }
    void PrintSample(Quantity quantity, const Sample& sample, const std::string& unit);
    bool WriteRecord();

    const CliOptions& m_options;
    std::ostream& m_out;
    std::ostream& m_err;
    PollEventLoop m_loop;
    MemoryForm m_form;
    MemoryForm m_pageForm;
    MemoryMenuBar m_menu;
    ConsoleShell m_shell;
    MainDialog m_dialog;
    MemoryMonitorViews m_views;
    MonitorPage m_page{m_pageForm, m_shell, m_views.Views()};
    sim::SimulatorThread m_demo;
};

int MonitorSession::Fail(const std::string& message) {
    const std::string text = Utf8(message);
    if (m_options.json) {
        m_out << JsonObject().Add("error", text).Text() << "\n";
    } else {
        m_err << "tandrin-cli: " << text << "\n";
    }
    return 1;
}

bool MonitorSession::ChooseLanguage() {
    m_dialog.InitLanguages();
    const auto& names = m_dialog.languageNames;
    if (std::find(names.begin(), names.end(), m_options.language) == names.end()) {
        Fail("no language file for \"" + m_options.language + "\"");
        return false;
    }
    m_dialog.SelectLanguage(m_options.language);
    m_shell.messages.clear();
    return true;
}

bool MonitorSession::ChoosePort() {
    std::string port;
    if (m_options.demo) {
        std::string error;
        if (!m_demo.Start(sim::SimSetup{}, error)) {
            Fail("cannot start the simulated transmitter: " + error);
            return false;
        }
    }
    if (m_options.port) {
        port = *m_options.port;
    } else if (m_options.demo) {
        port = m_demo.Path();
    } else if (RegReadString(kSettingsKey, "Port", port) == 0 || port.empty()) {
        Fail(LangText("strPortFail") + " (no port given and none stored: use --port)");
        return false;
    }
    hartMaster.m_strPortName = port;
    hartMaster.m_byPollAddr = static_cast<std::uint8_t>(m_options.address);
    return true;
}

void MonitorSession::PrintSample(Quantity quantity, const Sample& sample, const std::string& unit) {
    const std::string time = IsoLocalTime(sample.time);
    if (m_options.json) {
        m_out << JsonObject()
                     .Add("series", std::string_view(SeriesName(quantity)))
                     .Add("time", time)
                     .Add("value", sample.value)
                     .Add("unit", unit)
                     .Text()
              << std::endl;
    } else {
        m_out << SeriesName(quantity) << " " << time << " " << ShortestNumber(sample.value) << " "
              << unit << std::endl;
    }
}

bool MonitorSession::WriteRecord() {
    if (m_options.monitor.record.empty()) {
        return true;
    }
    m_shell.messages.clear();
    if (!m_page.SaveRecordFile(m_options.monitor.record)) {
        Fail(m_shell.messages.empty() ? LangText("strFileError") : m_shell.messages.back().text);
        return false;
    }
    return true;
}

int MonitorSession::Monitor() {
    if (!ChooseLanguage() || !ChoosePort()) {
        return 1;
    }
    const MonitorOptions& options = m_options.monitor;
    const int mode = ModeCommand(options.mode);
    const Quantity last = LastSeries(mode);
    m_page.Initialise();
    m_page.Show(true);
    m_page.SetSamplingPeriod(options.period);
    m_page.SetSampleHook([this](Quantity quantity, const Sample& sample) {
        const std::string unit = quantity == Quantity::kPv
                                     ? UnitUtf8(hartMaster.m_strPVUnit, Gbk())
                                     : (quantity == Quantity::kCurrent ? "mA" : "%");
        PrintSample(quantity, sample, unit);
    });

    InterruptGuard guard;
    m_shell.messages.clear();
    m_page.OnCommand(mode);
    if (!m_page.Recording()) {
        return Fail(m_shell.messages.empty() ? LangText("strOpFail")
                                             : m_shell.messages.back().text);
    }
    const auto finished = [&] {
        const bool enough = options.count > 0 &&
                            m_page.Samples(last).size() >= static_cast<std::size_t>(options.count);
        return interrupted != 0 || enough || !m_page.Recording();
    };
    while (!m_loop.RunUntil(finished, 60'000)) {
    }
    const bool failed = !m_page.Recording() && interrupted == 0;
    m_page.EndRecording();
    const bool written = WriteRecord();
    if (failed) {
        return Fail(m_shell.messages.empty() ? LangText("strCommFail")
                                             : m_shell.messages.front().text);
    }
    if (!written) {
        return 1;
    }
    return interrupted != 0 ? 130 : 0;
}

int MonitorSession::PrintRecord() {
    if (!ChooseLanguage()) {
        return 1;
    }
    const std::string& path = m_options.monitor.file;
    TrendRecord record;
    switch (LoadTrendRecord(path, record)) {
        case RecordIo::kCannotOpen:
            return Fail(path + "can't Open!");
        case RecordIo::kBadFile:
            return Fail(LangText("strFileError"));
        case RecordIo::kOk:
            break;
    }
    if (m_options.monitor.csv) {
        m_out << TrendRecordCsv(record, Gbk());
        return 0;
    }
    const std::string unit = UnitUtf8(record.m_PVUnit, Gbk());
    if (m_options.json) {
        m_out << JsonObject()
                     .Add("pv_min", record.m_PVMin)
                     .Add("pv_max", record.m_PVMax)
                     .Add("unit", unit)
                     .Add("pv", static_cast<int>(record.pv.size()))
                     .Add("current", static_cast<int>(record.current.size()))
                     .Add("percent", static_cast<int>(record.percent.size()))
                     .Text()
              << "\n";
    } else {
        m_out << "PV range " << ShortestNumber(record.m_PVMin) << " to "
              << ShortestNumber(record.m_PVMax) << " " << unit << "\n";
    }
    const std::pair<Quantity, const SampleList*> series[] = {{Quantity::kPv, &record.pv},
                                                             {Quantity::kCurrent, &record.current},
                                                             {Quantity::kPercent, &record.percent}};
    for (const auto& [quantity, samples] : series) {
        const std::string seriesUnit =
            quantity == Quantity::kPv ? unit : (quantity == Quantity::kCurrent ? "mA" : "%");
        for (const Sample& sample : *samples) {
            PrintSample(quantity, sample, seriesUnit);
        }
    }
    return 0;
}

}  // namespace

int RunMonitorCli(const CliOptions& options, std::ostream& out, std::ostream& err) {
    MonitorSession session(options, out, err);
    return options.command == "record" ? session.PrintRecord() : session.Monitor();
}

}  // namespace tandrin::cli
