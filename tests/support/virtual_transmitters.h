#pragma once

#include <cstdint>
#include <vector>

#include "link/hart_master.h"
#include "link/virtual_event_loop.h"
#include "sim/request_reader.h"
#include "sim/sim_device.h"
#include "support/fake_port.h"

namespace tandrin::test {

// Simulated transmitters behind a fake line, in virtual time: every frame
// the master writes is read by the simulator's own request reader, and the
// addressed device's answer comes back `answerDelayMs` later. Silent
// devices (or none addressed) leave the master to its retries.
class VirtualTransmitters {
  public:
    VirtualTransmitters(FakeLine& line, VirtualEventLoop& loop, HartMaster& master);

    sim::SimDevice& Add(std::uint8_t pollAddress);
    std::vector<sim::SimDevice>& Devices() { return m_devices; }
    const std::vector<sim::SimRequest>& Heard() const { return m_heard; }
    // Commands that go unanswered, whoever is addressed.
    std::vector<std::uint8_t> silentCommands;
    std::uint32_t answerDelayMs = 250;

  private:
    void OnWrite(const std::vector<std::uint8_t>& bytes);

    VirtualEventLoop& m_loop;
    HartMaster& m_master;
    sim::RequestReader m_reader;
    std::vector<sim::SimDevice> m_devices;
    std::vector<sim::SimRequest> m_heard;
};

}  // namespace tandrin::test
