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
    m_thread = std::thread([loop = m_loop.get()] { loop->Run(); });
    return true;
}

void SimulatorThread::Stop() {
    if (m_thread.joinable()) {
        m_loop->Quit();
        m_thread.join();
    }
    m_simulator.reset();
    m_loop.reset();
}

}  // namespace tandrin::sim
