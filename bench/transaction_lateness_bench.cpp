// How late a transaction's completion comes after the sum of its two
// periods, over real transactions against the simulator on a pty at line
// pace. The completion is due at the receive-phase timer; what is measured
// is the event loop, the receive thread and the scheduler on top of it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "link/command_flags.h"
#include "link/hart_master.h"
#include "platform/poll_event_loop.h"
#include "sim/sim_thread.h"

namespace {

using namespace tandrin;
using Clock = std::chrono::steady_clock;

struct Completion {
    bool done = false;
    std::int32_t success = 0;
};

void OnComplete(void* user, std::int32_t success, std::uint8_t) {
    auto* completion = static_cast<Completion*>(user);
    completion->done = true;
    completion->success = success;
}

double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[at];
}

void BM_CompletionLateness(benchmark::State& state) {
    const auto command = static_cast<std::uint8_t>(state.range(0));
    sim::SimulatorThread simulator;
    std::string error;
    if (!simulator.Start(sim::SimSetup{}, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    cancelFlag = 0;
    PollEventLoop loop;
    HartMaster master;
    master.SetEventLoop(&loop);
    if (master.OpenLink(simulator.Path()) == 0) {
        state.SkipWithError("cannot open the simulator's pty");
        return;
    }
    master.m_abyLongAddr = {0xE0, 0x5A, 0x0A, 0x00, 0x00};
    const double periods =
        master.Timing().TransmitPeriod(command, 21) + master.Timing().ReceivePeriod(command);

    std::vector<double> lateness;
    for (auto _ : state) {
        Completion completion;
        const auto start = Clock::now();
        master.SendCommand(&completion, &OnComplete, command);
        loop.RunUntil([&] { return completion.done; }, 10000);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        state.SetIterationTime(ms / 1000.0);
        if (completion.success != 1) {
            state.SkipWithError("a transaction failed");
            break;
        }
        lateness.push_back(ms - periods);
    }
    master.CloseLink();
    if (!lateness.empty()) {
        state.counters["periods_ms"] = periods;
        state.counters["late_median_ms"] = Percentile(lateness, 0.5);
        state.counters["late_p95_ms"] = Percentile(lateness, 0.95);
        state.counters["late_max_ms"] = *std::max_element(lateness.begin(), lateness.end());
    }
}

// Command 0 (short frame), 1 (the monitor's process value) and 3 (the
// longest common answer).
BENCHMARK(BM_CompletionLateness)
    ->Arg(0)
    ->Arg(1)
    ->Arg(3)
    ->Iterations(25)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
