#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "cli/console_shell.h"
#include "platform/poll_event_loop.h"
#include "shell/main_dialog.h"
#include "shell/memory_form.h"
#include "shell/memory_menu_bar.h"
#include "sim/sim_thread.h"

namespace tandrin {
class FrameTrace;
}

namespace tandrin::cli {

// Interface text (GBK or Windows-1252, as the language) as UTF-8.
std::string Utf8(const std::string& text);

// One run of tandrin-cli: the main window's logic over in-memory controls
// on the global HartMaster, the language, the port (or the demo
// simulator), the frame trace, and the output. Commands get it to run
// their sequences and print their results.
class CliSession {
  public:
    CliSession(const CliOptions& options, std::ostream& out, std::ostream& err);
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Language, demo simulator, trace and (when the command needs one) the
    // port; then the command. The exit code.
    int Run(int (*command)(CliSession&), bool needsPort);

    const CliOptions& Options() const { return m_options; }
    CliOutput& Output() { return m_output; }
    MainDialog& Dialog() { return m_dialog; }
    MemoryForm& Controls() { return m_form; }
    ConsoleShell& Shell() { return m_shell; }
    PollEventLoop& Loop() { return m_loop; }
    // Probed before the serial devices (the demo simulator's pty).
    const std::vector<std::string>& ExtraPorts() const { return m_extraPorts; }

    // What follows a sequence that went well: the next step of the same
    // command keeps the link open; otherwise it closes, which joins the
    // receive thread, so no trace line lands amid the result.
    enum class Then { kClose, kKeepOpen };
    // Does what `start` does (a button's click) and waits until the
    // sequence it started is over. False with `error` (UTF-8) set when it
    // was refused or failed; the link is then closed.
    bool RunSequence(const std::function<void()>& start, std::string& error,
                     Then then = Then::kClose);
    bool RunSequence(void (MainDialog::*start)(), std::string& error) {
        return RunSequence([this, start] { (m_dialog.*start)(); }, error);
    }
    // The text of the last message the logic showed, empty for none.
    std::string LastMessage() const;

  private:
    void NoteDeviceStatus();
    bool ChooseLanguage();
    bool StartDemo();
    bool ChoosePort();

    const CliOptions& m_options;
    CliOutput m_output;
    PollEventLoop m_loop;
    MemoryForm m_form;
    MemoryMenuBar m_menu;
    ConsoleShell m_shell;
    MainDialog m_dialog;
    sim::SimulatorThread m_demo;
    std::vector<std::string> m_extraPorts;
    std::unique_ptr<FrameTrace> m_trace;
    bool m_bWarnedFixed = false;
};

}  // namespace tandrin::cli
