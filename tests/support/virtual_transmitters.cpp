#include "support/virtual_transmitters.h"

#include <algorithm>

#include "sim/answer_plan.h"

namespace tandrin::test {

VirtualTransmitters::VirtualTransmitters(FakeLine& line, VirtualEventLoop& loop, HartMaster& master)
    : m_loop(loop), m_master(master) {
    m_devices.reserve(16);
    line.onWrite = [this](const std::vector<std::uint8_t>& bytes) { OnWrite(bytes); };
}

sim::SimDevice& VirtualTransmitters::Add(std::uint8_t pollAddress) {
    sim::DeviceConfig config;
    config.m_byPollAddr = pollAddress;
    return m_devices.emplace_back(config);
}

void VirtualTransmitters::OnWrite(const std::vector<std::uint8_t>& bytes) {
    m_reader.Append(bytes.data(), bytes.size());
    while (auto request = m_reader.Next()) {
        m_heard.push_back(*request);
        if (std::count(silentCommands.begin(), silentCommands.end(), request->command) != 0) {
            continue;
        }
        for (sim::SimDevice& device : m_devices) {
            if (!device.IsAddressedBy(*request)) {
                continue;
            }
            const double now = static_cast<double>(m_loop.Now()) / 1000.0;
            if (auto reply = device.Handle(*request, now)) {
                DeliverLater(m_loop, m_master, answerDelayMs,
                             sim::BuildAnswerFrame(device, *request, *reply, {}));
            }
        }
    }
}

}  // namespace tandrin::test
