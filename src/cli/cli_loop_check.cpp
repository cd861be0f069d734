#include "cli/cli_loop_check.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "cli/cli_loop_check_options.h"
#include "cli/cli_output.h"
#include "cli/cli_session.h"
#include "cli/json_writer.h"
#include "cli/terminal_text.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "pages/decimal_text.h"
#include "platform/poll_event_loop.h"
#include "platform/stop_signals.h"
#include "platform/text_codec.h"
#include "platform/unique_fd.h"
#include "procedures/loop_check.h"
#include "procedures/loop_check_report.h"
#include "procedures/loop_check_text.h"
#include "procedures/reading_lines.h"
#include "shell/atomic_file.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/private_profile.h"

namespace tandrin::cli {

namespace {

using State = LoopCheck::State;

// Four commands with all their retries end well within this.
constexpr std::uint32_t kSequenceTimeoutMs = 60'000;
// A terminal's user may take any time; the wait is renewed each hour.
constexpr std::uint32_t kHourMs = 3'600'000;

// Stops sent before giving up on releasing the loop.
constexpr int kMostStops = 3;

bool StopRequested() {
    return StopSignals::Caught() != 0;
}

// Lines from a descriptor, read as the event loop finds it readable, so a
// stop signal is seen while a terminal waits for its user.
class LineSource {
  public:
    LineSource(PollEventLoop& loop, int fd) : m_loop(loop), m_fd(fd) {
        m_loop.WatchFd(m_fd, POLLIN, [this](short) { ReadSome(); });
    }
    ~LineSource() { m_loop.UnwatchFd(m_fd); }
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    // The next line; nullopt at the end of the input or on a stop signal.
    std::optional<ReadingLines::Line> Next() {
        while (true) {
            if (StopRequested()) {
                return std::nullopt;
            }
            // Lines already read cost no turn of the loop.
            if (auto line = m_lines.Take()) {
                return line;
            }
            if (m_lines.Exhausted()) {
                return std::nullopt;
            }
            m_bReadable = false;
            while (!m_loop.RunUntil([this] { return m_bReadable || StopRequested(); }, kHourMs)) {
            }
        }
    }

  private:
    void ReadSome() {
        char bytes[4096];
        const ssize_t count = ::read(m_fd, bytes, sizeof bytes);
        if (count > 0) {
            m_lines.Append(std::string_view(bytes, static_cast<std::size_t>(count)));
        } else if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
            m_lines.Finish();
            m_loop.UnwatchFd(m_fd);
        }
        m_bReadable = true;
    }

    PollEventLoop& m_loop;
    int m_fd;
    ReadingLines m_lines;
    bool m_bReadable = false;
};

class LoopCheckRunner {
  public:
    explicit LoopCheckRunner(CliSession& session)
        : m_session(session), m_options(session.Options().loopCheck) {}
    int Run();

  private:
    bool OpenReadings();
    bool WaitWhileRunning();
    bool TakeReading();
    void SetProblem(const std::string& problem);
    void WriteFiles();
    int PrintResult();

    CliSession& m_session;
    const LoopCheckOptions& m_options;
    LoopCheck m_check;
    UniqueFd m_file;
    std::unique_ptr<LineSource> m_lines;
    bool m_bTerminal = false;
    bool m_bSignalSeen = false;
    std::string m_problem;  // why the check did not complete
};

// Readings come from a regular file of at most the ceiling, a pipe or FIFO
// (another program writing them as it measures), or a terminal. Anything
// else (/dev/zero, a directory, a disk) would never end or is no text.
std::string ReadingsSourceProblem(int fd, const std::string& name) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return "cannot read " + name + ": " + std::strerror(errno);
    }
    if (S_ISREG(info.st_mode)) {
        return static_cast<std::uint64_t>(info.st_size) > kTextFileCeiling
                   ? name + " is larger than " + std::to_string(kTextFileCeiling >> 20) + " MB"
                   : std::string();
    }
    if (S_ISFIFO(info.st_mode) || ::isatty(fd) == 1) {
        return {};
    }
    return name + " is neither a file, a pipe nor a terminal";
}

bool LoopCheckRunner::OpenReadings() {
    const auto& readings = m_options.readings;
    int fd = STDIN_FILENO;
    if (readings && *readings != "-") {
        // O_NONBLOCK: a FIFO is opened without waiting for its writer.
        m_file = UniqueFd(::open(readings->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
        if (!m_file.Valid()) {
            m_session.Output().Fail("cannot read " + *readings + ": " + std::strerror(errno));
            return false;
        }
        fd = m_file.Get();
    } else if (!readings) {
        m_bTerminal = ::isatty(STDIN_FILENO) == 1;
        if (!m_bTerminal) {
            m_session.Output().UsageError(
                "no terminal to ask the readings on: give them with --readings FILE or -");
            return false;
        }
    }
    const std::string problem = ReadingsSourceProblem(fd, readings ? *readings : "the terminal");
    if (!problem.empty()) {
        m_session.Output().Fail(problem);
        return false;
    }
    m_lines = std::make_unique<LineSource>(m_session.Loop(), fd);
    return true;
}

void LoopCheckRunner::SetProblem(const std::string& problem) {
    if (m_problem.empty()) {
        m_problem = problem;
    }
}

// Until the check waits for a reading or is over, or something calls for a
// Stop: a stop signal not yet acted on, a sequence abandoned (someone
// else's Stop, a lost port) or one that does not end in time.
bool LoopCheckRunner::WaitWhileRunning() {
    const auto abandoned = [this] {
        return busyFlag == 0 && m_check.Running() && m_check.CurrentState() != State::kSettling;
    };
    const auto signalled = [this] { return StopRequested() && !m_bSignalSeen; };
    const std::uint32_t limit =
        kSequenceTimeoutMs +
        static_cast<std::uint32_t>(m_check.Record().settings.settleSeconds * 1000);
    const bool ended = m_session.Loop().RunUntil(
        [&] { return !m_check.Running() || abandoned() || signalled(); }, limit);
    if (signalled()) {
        m_bSignalSeen = true;
        SetProblem(Utf8(LangText("strBreak")));
        return false;
    }
    if (!ended || abandoned()) {
        SetProblem(Utf8(LangText(hartMaster.PortLost() ? "strPortLost" : "strCommFail")));
        return false;
    }
    return true;
}

// One line for the awaited point: false when the check is to stop.
bool LoopCheckRunner::TakeReading() {
    std::ostream& err = m_session.Output().Err();
    while (true) {
        if (m_bTerminal) {
            err << Utf8(WithValue(LoopCheckText("PromptReading"), FixedText(m_check.Current(), 3)))
                << "\n> " << std::flush;
        }
        const auto next = m_lines->Next();
        if (!next) {
            m_bSignalSeen = StopRequested();
            SetProblem(m_bSignalSeen ? Utf8(LangText("strBreak")) : "the readings ran out");
            return false;
        }
        const std::string* line = &next->text;
        if (next->tooLong) {
            // Named by its start only: it may be megabytes of anything.
            const std::string what = "a line longer than " + std::to_string(kLongestReadingLine) +
                                     " bytes (\"" + line->substr(0, 20) + "...\")";
            if (!m_bTerminal) {
                SetProblem(what + ": " + Utf8(LoopCheckText("BadReading")));
                return false;
            }
            err << Printable(what, false) << "\n";
            continue;
        }
        const auto first = line->find_first_not_of(" \t");
        if (!m_bTerminal && (first == std::string::npos || (*line)[first] == '#')) {
            continue;
        }
        if (first != std::string::npos && line->compare(first, 4, "stop") == 0) {
            SetProblem(Utf8(LangText("strBreak")));
            return false;
        }
        const auto reading = ParseDecimal(*line);
        if (reading && m_check.EnterReading(*reading)) {
            return true;
        }
        const std::string bad = Utf8(LoopCheckText("BadReading"));
        if (!m_bTerminal) {
            SetProblem("\"" + *line + "\": " + bad);
            return false;
        }
        err << Printable(bad) << "\n";
    }
}

void LoopCheckRunner::WriteFiles() {
    const LoopCheckRecord& record = m_check.Record();
    const std::pair<const std::optional<std::string>*, std::string> files[] = {
        {&m_options.report, LoopCheckReportHtml(record)}, {&m_options.csv, LoopCheckCsv(record)}};
    for (const auto& [path, content] : files) {
        errno = 0;
        if (*path && !WriteFileAtomically(**path, content)) {
            SetProblem(FileWriteProblem(**path, errno));
        }
    }
}

int LoopCheckRunner::PrintResult() {
    const LoopCheckRecord& record = m_check.Record();
    const LoopCheckPass& pass = record.asFound;
    const auto text = [](const char* key) { return Utf8(LoopCheckText(key)); };
    std::string table = text("Tag") + ": " + record.device.tag + "  " + text("LongAddress") + ": " +
                        record.device.longAddress + "  " + text("Tolerance") + ": " +
                        FixedText(record.settings.tolerance, 4) + "\n" + text("Point") + "  " +
                        text("Expected") + "  " + text("Measured") + "  " + text("Transmitter") +
                        "  " + text("Error") + "  " + text("Result");
    std::vector<JsonObject> rows;
    for (const LoopCheckRow& row : pass.rows) {
        JsonObject json;
        json.Add("pass", std::string_view("as_found"))
            .Add("point_percent", row.percent)
            .Add("expected_ma", row.expectedMa)
            .Add("reading_ma", row.readingMa);
        if (!std::isnan(row.transmitterMa)) {
            json.Add("transmitter_ma", row.transmitterMa);
        }
        json.Add("error_percent", row.errorPercent)
            .Add("result", std::string_view(row.pass ? "pass" : "fail"));
        rows.push_back(json);
        table += "\n" + FixedText(row.percent, 2) + "  " + FixedText(row.expectedMa, 3) + "  " +
                 FixedText(row.readingMa, 3) + "  " +
                 (std::isnan(row.transmitterMa) ? "-" : FixedText(row.transmitterMa, 3)) + "  " +
                 ErrorText(row.errorPercent) + "  " + text(row.pass ? "Passed" : "Failed");
    }
    JsonObject json;
    json.Add("tag", record.device.tag)
        .Add("long_address", record.device.longAddress)
        .Add("software_version", record.device.softwareVersion)
        .Add("tolerance_percent", record.settings.tolerance)
        .Add("passed", pass.Passed())
        .Add("rows", rows);
    CliOutput& output = m_session.Output();
    if (!m_problem.empty() || !pass.complete) {
        // What was measured before it ended still goes out.
        if (!output.Json()) {
            output.Out() << table << "\n";
        }
        return output.Fail(m_problem.empty() ? Utf8(LangText("strOpFail")) : m_problem, json);
    }
    const int code = output.Succeed(
        json, table + "\n" + text("AsFound") + ": " + text(pass.Passed() ? "Passed" : "Failed"));
    return code == kExitOk && !pass.Passed() ? kExitOutOfTolerance : code;
}

int LoopCheckRunner::Run() {
    if (!OpenReadings()) {
        return m_options.readings ? kExitFailed : kExitUsage;
    }
    m_session.Shell().messages.clear();
    // Start keeps the names a check had.
    // Typed on a terminal that may not be UTF-8; the report is.
    m_check.Record().technician = UserTextToUtf8(m_options.technician);
    m_check.Record().referenceMeter = UserTextToUtf8(m_options.meter);
    if (!m_check.Start(m_options.settings)) {
        const std::string message = Utf8(m_session.LastMessage());
        return m_session.Output().Fail(message.empty() ? Utf8(LangText("strOpFail")) : message);
    }
    // A Stop releases the loop; one cut short is sent again, a few times.
    int stops = 0;
    while (!m_check.Over() && stops <= kMostStops) {
        if (!WaitWhileRunning()) {
            ++stops;
            m_check.Stop();
            continue;
        }
        const State state = m_check.CurrentState();
        if (state == State::kAsFoundDone) {
            m_check.Finish();
        } else if (state == State::kAwaitingReading && !TakeReading()) {
            ++stops;
            m_check.Stop();
        }
    }
    if (m_check.CommunicationFailed()) {
        SetProblem(Utf8(LangText("strCommFail")));
    }
    if (m_check.Forced()) {
        m_problem += " " + Utf8(LoopCheckText("StillForced"));
    }
    WriteFiles();
    return PrintResult();
}

}  // namespace

int RunLoopCheck(CliSession& session) {
    LoopCheckRunner runner(session);
    return runner.Run();
}

}  // namespace tandrin::cli
