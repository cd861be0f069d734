#pragma once

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/poll_event_loop.h"
#include "sim/device_config.h"
#include "sim/fault_plan.h"
#include "sim/hart_ip_server.h"
#include "sim/simulator.h"

namespace tandrin::sim {

struct SimSetup {
    std::vector<DeviceConfig> devices{DeviceConfig{}};
    FaultPlan faults;
    SimOptions options;
    // Also serve HART-IP on this loopback port (0: any free one).
    std::optional<std::uint16_t> hartIpPort;
    HartIpFaults hartIpFaults;
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
    // hart-ip://127.0.0.1:PORT when serving HART-IP, else empty.
    const std::string& HartIpUrl() const { return m_hartIpUrl; }
    // Readable while the simulator runs.
    const SimStats& Stats() const { return *m_stats; }
    // Stops serving and closes the pty. Harmless when not started.
    void Stop();

  private:
    bool StartServer(const SimSetup& setup, std::string& error);

    std::unique_ptr<PollEventLoop> m_loop;
    std::unique_ptr<Simulator> m_simulator;
    std::unique_ptr<HartIpServer> m_server;
    std::string m_hartIpUrl;
    std::shared_ptr<const SimStats> m_stats;
    std::string m_path;
    std::thread m_thread;
};

}  // namespace tandrin::sim
