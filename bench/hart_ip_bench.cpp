// HART-IP against the simulator's server on loopback: how late a
// completion comes after its reply arrived, what tandrin-cli read costs
// against its own start-up and the round trips, and the CPU a monitor
// takes at the shortest period.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "bench_support.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "platform/inet_socket.h"
#include "platform/poll_event_loop.h"
#include "sim/sim_thread.h"

extern char** environ;

namespace {

using namespace tandrin;
using bench::Clock;
using bench::Completion;
using bench::OnComplete;
using bench::Percentile;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

sim::SimSetup FastServer() {
    sim::SimSetup setup;
    setup.options.pacing.paced = false;
    setup.hartIpPort = 0;
    return setup;
}

// From the reply's arrival on the receive thread to the completion on the
// loop's thread; and the whole transaction, a round trip through the server.
void BM_HartIpCompletionLateness(benchmark::State& state) {
    const auto command = static_cast<std::uint8_t>(state.range(0));
    bench::ServedMaster line;
    if (!line.Start(FastServer())) {
        state.SkipWithError(line.error.c_str());
        return;
    }
    std::atomic<std::int64_t> arrived{0};
    line.master.SetTrace([&arrived](bool sent, const std::uint8_t*, std::size_t) {
        if (!sent) {
            arrived.store(Clock::now().time_since_epoch().count());
        }
    });
    if (line.master.OpenLink(line.simulator.HartIpUrl()) == 0) {
        state.SkipWithError("cannot open the HART-IP link");
        return;
    }
    line.master.m_abyLongAddr = {0xE0, 0x5A, 0x0A, 0x00, 0x00};
    std::vector<double> lateness;
    std::vector<double> roundTrip;
    for (auto _ : state) {
        Completion completion;
        const auto start = Clock::now();
        line.master.SendCommand(&completion, &OnComplete, command);
        line.loop.RunUntil([&] { return completion.done; }, 10000);
        if (completion.success != 1) {
            state.SkipWithError("a transaction failed");
            break;
        }
        const Clock::time_point reply{Clock::duration(arrived.load())};
        lateness.push_back(
            std::chrono::duration<double, std::milli>(completion.at - reply).count());
        roundTrip.push_back(
            std::chrono::duration<double, std::milli>(completion.at - start).count());
        state.SetIterationTime(roundTrip.back() / 1000.0);
    }
    line.master.CloseLink();
    if (!lateness.empty()) {
        state.counters["late_median_ms"] = Percentile(lateness, 0.5);
        state.counters["late_p95_ms"] = Percentile(lateness, 0.95);
        state.counters["round_trip_median_ms"] = Percentile(roundTrip, 0.5);
    }
}
BENCHMARK(BM_HartIpCompletionLateness)
    ->Arg(0)
    ->Arg(1)
    ->Arg(3)
    ->Iterations(200)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A program run to its end: wall time and CPU time.
struct Run {
    int status = -1;
    double wallMs = 0;
    double cpuMs = 0;
};

Run RunProgram(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    Run run;
    const auto start = Clock::now();
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        ::wait4(pid, &status, 0, &usage);
        run.wallMs = MsSince(start);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
        run.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// tandrin-sim --fast --hart-ip 0 as its own program; its URL from stdout.
class SimProgram {
  public:
    explicit SimProgram(const std::vector<std::string>& extra = {}) {
        int out[2];
        if (::pipe(out) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        std::vector<std::string> args{TANDRIN_SIM_PROGRAM, "--fast", "--hart-ip", "0"};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (auto& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        std::string text;
        char buffer[256];
        while (std::count(text.begin(), text.end(), '\n') < 2 && WaitReadable(out[0], 5000)) {
            const ssize_t n = ::read(out[0], buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            text.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(out[0]);
        const auto first = text.find('\n');
        if (first != std::string::npos && text.find('\n', first + 1) != std::string::npos) {
            m_url = text.substr(first + 1, text.find('\n', first + 1) - first - 1);
        }
    }
    ~SimProgram() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    const std::string& Url() const { return m_url; }

  private:
    pid_t m_pid = -1;
    std::string m_url;
};

// tandrin-cli read over HART-IP, against the same program's start-up
// (a command that fails before any port) plus the round trips read makes.
void BM_CliReadOverHartIp(benchmark::State& state) {
    SimProgram sim;
    if (sim.Url().empty()) {
        state.SkipWithError("tandrin-sim --hart-ip did not start");
        return;
    }
    std::vector<double> read;
    std::vector<double> startup;
    for (auto _ : state) {
        const Run base = RunProgram({TANDRIN_CLI_PROGRAM, "record", "/nonexistent/x.tdd"});
        const Run run = RunProgram({TANDRIN_CLI_PROGRAM, "--port", sim.Url(), "read"});
        if (run.status != 0) {
            state.SkipWithError("tandrin-cli read failed");
            break;
        }
        startup.push_back(base.wallMs);
        read.push_back(run.wallMs);
        state.SetIterationTime(run.wallMs / 1000.0);
    }
    if (!read.empty()) {
        state.counters["read_median_ms"] = Percentile(read, 0.5);
        state.counters["startup_median_ms"] = Percentile(startup, 0.5);
    }
}
BENCHMARK(BM_CliReadOverHartIp)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);

// tandrin-cli survey of all 16 polling addresses over HART-IP, with
// transmitters at 0, 1 and 5: the 13 empty addresses cost the server's
// wait on its line and one "no device" answer each.
void BM_CliSurveyOverHartIp(benchmark::State& state) {
    SimProgram sim({"--device", "poll=0", "--device", "poll=1", "--device", "poll=5"});
    if (sim.Url().empty()) {
        state.SkipWithError("tandrin-sim --hart-ip did not start");
        return;
    }
    std::vector<double> survey;
    for (auto _ : state) {
        const Run run = RunProgram({TANDRIN_CLI_PROGRAM, "--port", sim.Url(), "survey"});
        if (run.status != 0) {
            state.SkipWithError("tandrin-cli survey failed");
            break;
        }
        survey.push_back(run.wallMs);
        state.SetIterationTime(run.wallMs / 1000.0);
    }
    if (!survey.empty()) {
        state.counters["survey_median_ms"] = Percentile(survey, 0.5);
        state.counters["survey_max_ms"] = Percentile(survey, 1.0);
    }
}
BENCHMARK(BM_CliSurveyOverHartIp)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// tandrin-cli monitor at the shortest period (1 s, all three values) over
// HART-IP: its CPU time against the wall time.
void BM_MonitorCpuOverHartIp(benchmark::State& state) {
    SimProgram sim;
    if (sim.Url().empty()) {
        state.SkipWithError("tandrin-sim --hart-ip did not start");
        return;
    }
    const std::string count = std::to_string(state.range(0));
    for (auto _ : state) {
        const Run run = RunProgram({TANDRIN_CLI_PROGRAM, "--port", sim.Url(), "monitor", "--period",
                                    "1", "--mode", "all", "--count", count});
        if (run.status != 0) {
            state.SkipWithError("tandrin-cli monitor failed");
            break;
        }
        state.SetIterationTime(run.wallMs / 1000.0);
        state.counters["cpu_percent_of_core"] = 100.0 * run.cpuMs / run.wallMs;
        state.counters["cpu_ms"] = run.cpuMs;
    }
}
BENCHMARK(BM_MonitorCpuOverHartIp)
    ->Arg(60)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
