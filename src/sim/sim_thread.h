#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/poll_event_loop.h"
#include "sim/device_config.h"
#include "sim/fault_plan.h"
#include "sim/simulator.h"

namespace tandrin::sim {

struct SimSetup {
    std::vector<DeviceConfig> devices{DeviceConfig{}};
    FaultPlan faults;
    SimOptions options;
};

// A simulator on a fresh pty, served on a thread of its own: the in-process
// transmitter of the demo mode, the integration tests and the benchmarks.
class SimulatorThread {
  public:
    SimulatorThread() = default;
    ~SimulatorThread() { Stop(); }
    SimulatorThread(const SimulatorThread&) = delete;
    SimulatorThread& operator=(const SimulatorThread&) = delete;

    // False with `error` set when no pty could be made.
    bool Start(SimSetup setup, std::string& error);
    // The pty's slave path for the tool to open.
    const std::string& Path() const { return m_path; }
    // Readable while the simulator runs.
    const SimStats& Stats() const { return *m_stats; }
    // Stops serving and closes the pty. Harmless when not started.
    void Stop();

  private:
    std::unique_ptr<PollEventLoop> m_loop;
    std::unique_ptr<Simulator> m_simulator;
    std::shared_ptr<const SimStats> m_stats;
    std::string m_path;
    std::thread m_thread;
};

}  // namespace tandrin::sim
