// How late a transaction's completion comes after the sum of its two
// periods, over real transactions against the simulator on a pty at line
// pace. The completion is due at the receive-phase timer; what is measured
// is the event loop, the receive thread and the scheduler on top of it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "bench_support.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "platform/poll_event_loop.h"
#include "sim/sim_thread.h"

namespace {

using namespace tandrin;
using bench::Clock;
using bench::Completion;
using bench::OnComplete;
using bench::Percentile;

void BM_CompletionLateness(benchmark::State& state) {
    const auto command = static_cast<std::uint8_t>(state.range(0));
    bench::ServedMaster line;
    if (!line.Start(sim::SimSetup{})) {
        state.SkipWithError(line.error.c_str());
        return;
    }
    if (line.master.OpenLink(line.simulator.Path()) == 0) {
        state.SkipWithError("cannot open the simulator's pty");
        return;
    }
    line.master.m_abyLongAddr = {0xE0, 0x5A, 0x0A, 0x00, 0x00};
    const double periods = line.master.Timing().TransmitPeriod(command, 21) +
                           line.master.Timing().ReceivePeriod(command);

    std::vector<double> lateness;
    for (auto _ : state) {
        Completion completion;
        const auto start = Clock::now();
        line.master.SendCommand(&completion, &OnComplete, command);
        line.loop.RunUntil([&] { return completion.done; }, 10000);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        state.SetIterationTime(ms / 1000.0);
        if (completion.success != 1) {
            state.SkipWithError("a transaction failed");
            break;
        }
        lateness.push_back(ms - periods);
    }
    line.master.CloseLink();
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
