#include "cli/cli_session.h"

#include <algorithm>
#include <ostream>

#include "cli/cli_signals.h"
#include "cli/terminal_text.h"
#include "device/degree_text.h"
#include "device/response_codes.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "platform/text_codec.h"
#include "shell/frame_trace.h"
#include "shell/lang_text.h"
#include "shell/main_dialog_ids.h"
#include "shell/reply_text.h"
#include "shell/settings_store.h"

namespace tandrin::cli {

namespace {

// A search tries sixteen addresses, each up to 3.8 s when nobody answers.
constexpr std::uint32_t kSequenceTimeoutMs = 120'000;

}  // namespace

std::string Utf8(const std::string& text) {
    return ToUtf8(text, chineseUi.load() == 1);
}

CliSession::CliSession(const CliOptions& options, std::ostream& out, std::ostream& err)
    : m_options(options), m_output(out, err, options.json), m_dialog(m_form, m_menu, m_shell) {
    m_form.Add(main_ids::kPvReadout, "0.0  " + DegreeText());
    m_form.Add(main_ids::kCurrentReadout, "0.0");
    m_form.Add(main_ids::kPercentReadout, "0.0");
    m_form.Add(main_ids::kShortAddressBox);
    hartMaster.SetEventLoop(&m_loop);
    mainWindow = &m_dialog;
    StopOnSignals(m_loop, m_dialog, m_shell);
}

CliSession::~CliSession() {
    hartMaster.CloseLink();
    hartMaster.SetTrace(nullptr);
    hartMaster.SetHeaderTrace(nullptr);
    mainWindow = nullptr;
    hartMaster.SetEventLoop(nullptr);
}

bool CliSession::ChooseLanguage() {
    if (const std::string problem = SettingsFileProblem(); !problem.empty()) {
        m_output.Err() << "tandrin-cli: " << Printable(problem)
                       << "; the stored settings are ignored\n";
    }
    m_dialog.InitLanguages();
    const auto& names = m_dialog.languageNames;
    if (std::find(names.begin(), names.end(), m_options.language) == names.end()) {
        for (const std::string& problem : m_dialog.languageProblems) {
            m_output.Err() << "tandrin-cli: " << Printable(problem) << "\n";
        }
        std::string known;
        for (const std::string& name : names) {
            known += (known.empty() ? "" : ", ") + name;
        }
        m_output.UsageError("no language file for \"" + m_options.language + "\"" +
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
        m_output.Fail("cannot start the simulated transmitter: " + error);
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
        m_output.UsageError("no port given and none stored by Tandrin: use --port PATH");
        return false;
    }
    hartMaster.m_strPortName = port;
    hartMaster.m_byPollAddr = static_cast<std::uint8_t>(m_options.address);
    return true;
}

int CliSession::Run(int (*command)(CliSession&), bool needsPort) {
    if (!ChooseLanguage()) {
        return kExitUsage;
    }
    if (m_options.demo && !StartDemo()) {
        return kExitFailed;
    }
    if (m_options.trace) {
        std::ostream& err = m_output.Err();
        m_trace = std::make_unique<FrameTrace>([&err](const std::string& line) {
            err << line << '\n' << std::flush;
        });
        hartMaster.SetTrace(m_trace->Hook());
        hartMaster.SetHeaderTrace(m_trace->HeaderHook());
    }
    hartMaster.SetReplyTimeout(m_options.timeoutMs);
    if (needsPort && !ChoosePort()) {
        return kExitUsage;
    }
    return command(*this);
}

bool CliSession::RunSequence(const std::function<void()>& start, std::string& error, Then then) {
    m_shell.messages.clear();
    m_dialog.lastOutcome = MainDialog::Outcome::kNone;
    start();
    const bool finished =
        busyFlag == 0 || m_loop.RunUntil([] { return busyFlag == 0; }, kSequenceTimeoutMs);
    if (!finished) {
        m_dialog.StopSequence();
        error = Utf8(LangText("strCommFail"));
    } else if (m_dialog.lastOutcome != MainDialog::Outcome::kDone) {
        error = Utf8(m_shell.messages.empty() ? LangText("strOpFail") : LastMessage());
    }
    const bool done = finished && m_dialog.lastOutcome == MainDialog::Outcome::kDone;
    NoteDeviceStatus();
    if (!done || then == Then::kClose) {
        hartMaster.CloseLink();
    }
    return done;
}

void CliSession::NoteDeviceStatus() {
    if (hartMaster.LastOutcome().kind == ReplyKind::kNoAnswer) {
        return;  // nothing new heard from the transmitter
    }
    std::vector<std::string> texts;
    for (const std::string& text : DeviceStatusTexts(hartMaster.m_byDeviceStatus)) {
        texts.push_back(Utf8(text));
    }
    // A loop fixed by something else than the command just given: the
    // control system reads it as the process value.
    const bool fixed = (hartMaster.m_byDeviceStatus & kStatusCurrentFixed) != 0;
    if (fixed && !m_bWarnedFixed && m_options.command != "fix-current" &&
        hartMaster.m_byPollAddr == 0) {
        m_bWarnedFixed = true;
        m_output.Err() << "tandrin-cli: warning: the transmitter's loop current is fixed; release "
                          "it with: tandrin-cli fix-current exit\n";
    }
    std::string caption = LangText("strDeviceStatus");
    m_output.NoteDeviceStatus(hartMaster.m_byDeviceStatus,
                              caption.empty() ? "Device status" : Utf8(caption), std::move(texts));
}

std::string CliSession::LastMessage() const {
    return m_shell.messages.empty() ? std::string() : m_shell.messages.back().text;
}

}  // namespace tandrin::cli
