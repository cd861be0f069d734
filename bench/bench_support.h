#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "link/command_flags.h"
#include "link/hart_master.h"
#include "platform/poll_event_loop.h"
#include "sim/sim_thread.h"

namespace tandrin::bench {

using Clock = std::chrono::steady_clock;

// The value below which `share` of `values` lie (0.5: the median).
inline double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[at];
}

// One transaction's end, as the master reports it.
struct Completion {
    bool done = false;
    std::int32_t success = 0;
    Clock::time_point at;
};

inline void OnComplete(void* user, std::int32_t success, std::uint8_t) {
    auto* completion = static_cast<Completion*>(user);
    completion->at = Clock::now();
    completion->done = true;
    completion->success = success;
}

// A master on a poll loop in this thread and the simulator on its own.
struct ServedMaster {
    bool Start(sim::SimSetup setup) {
        cancelFlag = 0;
        master.SetEventLoop(&loop);
        return simulator.Start(std::move(setup), error);
    }

    sim::SimulatorThread simulator;  // destroyed last: the master closes first
    PollEventLoop loop;
    HartMaster master;
    std::string error;
};

}  // namespace tandrin::bench
