#include "cli/cli_app.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

#include "cli/cli_loop_check.h"
#include "cli/cli_pages.h"
#include "cli/cli_setup.h"
#include "cli/cli_signals.h"
#include "cli/cli_monitor.h"
#include "cli/console_shell.h"
#include "cli/json_writer.h"
#include "device/degree_text.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "link/scan_ports.h"
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

// A search tries sixteen addresses, each up to 3.8 s when nobody answers.
constexpr std::uint32_t kSequenceTimeoutMs = 120'000;

std::string Utf8(const std::string& text) {
    return ToUtf8(text, chineseUi.load() == 1);
}

std::string TrimEnd(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
        text.pop_back();
    }
    return text;
}

std::string HexAddress(const std::array<std::uint8_t, 5>& address) {
    std::string text;
    for (const std::uint8_t byte : address) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", byte);
        text += pair;
    }
    return text;
}

// One command's run: the main window's logic over in-memory controls.
class CliSession {
  public:
    CliSession(const CliOptions& options, std::ostream& out, std::ostream& err)
        : m_options(options), m_out(out), m_err(err), m_dialog(m_form, m_menu, m_shell) {
        m_form.Add(main_ids::kPvReadout, "0.0  " + DegreeText());
        m_form.Add(main_ids::kCurrentReadout, "0.0");
        m_form.Add(main_ids::kPercentReadout, "0.0");
        m_form.Add(main_ids::kShortAddressBox);
        hartMaster.SetEventLoop(&m_loop);
        mainWindow = &m_dialog;
        StopOnSignals(m_loop, m_dialog, m_shell);
    }
    ~CliSession() {
        hartMaster.CloseLink();
        mainWindow = nullptr;
        hartMaster.SetEventLoop(nullptr);
    }
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    int Run();

  private:
    bool ChooseLanguage();
    bool StartDemo();
    bool ChoosePort();
    bool RunSequence(void (MainDialog::*start)());
    int Fail(const std::string& message);
    int Succeed(const JsonObject& json, const std::string& text);
    int Ports();
    int Search();
    int OnLine();
    int Read();
    int Version();
    int Reset();

    const CliOptions& m_options;
    std::ostream& m_out;
    std::ostream& m_err;
    PollEventLoop m_loop;
    MemoryForm m_form;
    MemoryMenuBar m_menu;
    ConsoleShell m_shell;
    MainDialog m_dialog;
    sim::SimulatorThread m_demo;
    std::vector<std::string> m_extraPorts;
};

int CliSession::Fail(const std::string& message) {
    const std::string text = Utf8(message);
    if (m_options.json) {
        m_out << JsonObject().Add("error", text).Text() << "\n";
    } else {
        m_err << "tandrin-cli: " << text << "\n";
    }
    return 1;
}

int CliSession::Succeed(const JsonObject& json, const std::string& text) {
    m_out << (m_options.json ? json.Text() : text) << "\n";
    return 0;
}

bool CliSession::ChooseLanguage() {
    m_dialog.InitLanguages();
    const auto& names = m_dialog.languageNames;
    if (std::find(names.begin(), names.end(), m_options.language) == names.end()) {
        std::string known;
        for (const std::string& name : names) {
            known += (known.empty() ? "" : ", ") + name;
        }
        Fail("no language file for \"" + m_options.language + "\"" +
             (known.empty() ? "" : " (found: " + known + ")"));
        return false;
    }
    m_dialog.SelectLanguage(m_options.language);
    m_shell.messages.clear();
    return true;
}

bool CliSession::StartDemo() {
    std::string error;
    if (!m_demo.Start(sim::SimSetup{}, error)) {
        Fail("cannot start the simulated transmitter: " + error);
        return false;
    }
    m_extraPorts.push_back(m_demo.Path());
    return true;
}

bool CliSession::ChoosePort() {
    std::string port;
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

// Starts a main-window sequence and waits until it is over. False when it
// was refused or failed; the message it showed is then printed.
bool CliSession::RunSequence(void (MainDialog::*start)()) {
    m_shell.messages.clear();
    (m_dialog.*start)();
    if (busyFlag != 0 && !m_loop.RunUntil([] { return busyFlag == 0; }, kSequenceTimeoutMs)) {
        m_dialog.StopSequence();
        Fail(LangText("strCommFail"));
        return false;
    }
    if (m_dialog.lastOutcome != MainDialog::Outcome::kDone) {
        Fail(m_shell.messages.empty() ? LangText("strOpFail") : m_shell.messages.back().text);
        return false;
    }
    return true;
}

int CliSession::Ports() {
    std::vector<std::string> ports;
    ScanPorts(ports, m_extraPorts);
    std::string text;
    for (const std::string& port : ports) {
        text += (text.empty() ? "" : "\n") + port;
    }
    return Succeed(JsonObject().Add("ports", ports), text);
}

int CliSession::Search() {
    if (!RunSequence(&MainDialog::Search)) {
        return 1;
    }
    std::vector<int> addresses;
    for (int i = 0; i < m_form.EntryCount(main_ids::kShortAddressBox); ++i) {
        addresses.push_back(std::stoi(m_form.Entry(main_ids::kShortAddressBox, i)));
    }
    const std::string message = m_shell.messages.empty() ? "" : m_shell.messages.back().text;
    return Succeed(JsonObject().Add("addresses", addresses), Utf8(message));
}

int CliSession::OnLine() {
    if (!RunSequence(&MainDialog::OnLine)) {
        return 1;
    }
    const std::string address = HexAddress(hartMaster.m_abyLongAddr);
    return Succeed(JsonObject().Add("address", m_options.address).Add("long_address", address),
                   address);
}

int CliSession::Read() {
    if (!RunSequence(&MainDialog::ReadValues)) {
        return 1;
    }
    const std::string unit = Utf8(hartMaster.m_strPVUnit);
    JsonObject json;
    json.Add("pv", hartMaster.m_fPV)
        .Add("unit", unit)
        .Add("current_ma", hartMaster.m_fLoopCurrent)
        .Add("percent", hartMaster.m_fPercentRange);
    const std::string text = Utf8(m_form.Text(main_ids::kPvReadout)) + "\n" +
                             m_form.Text(main_ids::kCurrentReadout) + " mA\n" +
                             m_form.Text(main_ids::kPercentReadout) + " %";
    return Succeed(json, text);
}

int CliSession::Version() {
    if (!RunSequence(&MainDialog::ProductInformation)) {
        return 1;
    }
    const std::string message = m_shell.messages.empty() ? "" : m_shell.messages.back().text;
    return Succeed(JsonObject().Add("version", Utf8(hartMaster.m_strSoftwareVersion)),
                   Utf8(TrimEnd(message)));
}

int CliSession::Reset() {
    if (!RunSequence(&MainDialog::Reset)) {
        return 1;
    }
    return Succeed(JsonObject().Add("ok", true), Utf8(m_shell.status[0]));
}

int CliSession::Run() {
    if (!ChooseLanguage() || (m_options.demo && !StartDemo())) {
        return 1;
    }
    if (m_options.command == "ports") {
        return Ports();
    }
    if (!ChoosePort()) {
        return 1;
    }
    if (IsPageCommand(m_options.command)) {
        PageCommandContext context{m_options, m_dialog, m_shell, m_loop, m_out, m_err};
        return RunPageCommand(context);
    }
    if (m_options.command == "search") {
        return Search();
    }
    if (m_options.command == "online") {
        return OnLine();
    }
    if (m_options.command == "read") {
        return Read();
    }
    if (m_options.command == "version") {
        return Version();
    }
    if (m_options.command == "loop-check") {
        LoopCheckContext context{m_options.loopCheck, m_options.json, m_dialog, m_shell,
                                 m_loop,               m_out,          m_err};
        return RunLoopCheck(context);
    }
    if (IsSetupCommand(m_options.command)) {
        return RunSetupCommand({m_options, m_loop, m_shell, m_dialog, m_out, m_err});
    }
    return Reset();
}

}  // namespace

int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err) {
    if (options.command == "monitor" || options.command == "record") {
        return RunMonitorCli(options, out, err);
    }
    CliSession session(options, out, err);
    return session.Run();
}

}  // namespace tandrin::cli
