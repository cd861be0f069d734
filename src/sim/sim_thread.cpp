#include "sim/sim_thread.h"

#include "sim/sim_line.h"

namespace tandrin::sim {

bool SimulatorThread::Start(SimSetup setup, std::string& error) {
    Stop();
    auto line = OpenPtyLine(error);
    if (!line) {
        return false;
    }
    m_path = line->Path();
    m_loop = std::make_unique<PollEventLoop>();
    // Built here and only then handed to the thread, which is the sole
    // user of both until Stop has joined it.
    m_simulator = std::make_unique<Simulator>(*m_loop, std::move(line), setup.devices,
                                              std::move(setup.faults), setup.options);
    m_stats = m_simulator->Stats();
    if (setup.hartIpPort && !StartServer(setup, error)) {
        m_simulator.reset();
        m_loop.reset();
        return false;
    }
    m_thread = std::thread([loop = m_loop.get()] { loop->Run(); });
    return true;
}

bool SimulatorThread::StartServer(const SimSetup& setup, std::string& error) {
    const std::uint32_t lineTimeout = setup.options.pacing.paced ? HartIpServer::kPacedLineTimeoutMs
                                                                 : HartIpServer::kFastLineTimeoutMs;
    m_server = std::make_unique<HartIpServer>(*m_loop, setup.hartIpFaults, lineTimeout,
                                              setup.options.trace);
    if (!m_server->Listen("", *setup.hartIpPort, error) || !m_server->AttachLine(m_path, error)) {
        m_server.reset();
        return false;
    }
    HartIpAddress address;
    address.host = "127.0.0.1";
    address.port = m_server->Port();
    m_hartIpUrl = HartIpName(address);
    return true;
}

void SimulatorThread::Stop() {
    if (m_thread.joinable()) {
        m_loop->Quit();
        m_thread.join();
    }
    m_server.reset();
    m_hartIpUrl.clear();
    m_simulator.reset();
    m_loop.reset();
}

}  // namespace tandrin::sim
