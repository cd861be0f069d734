#pragma once

#include <optional>
#include <vector>

#include "link/command_flags.h"
#include "link/hart_master.h"
#include "sim/answer_plan.h"
#include "sim/request_reader.h"
#include "sim/sim_device.h"
#include "support/fake_port.h"

namespace tandrin::test {

// The real master, request builders and response parsers against one
// simulated transmitter, over a fake line in virtual time: every frame the
// master writes is read by the simulator's reader and answered by the
// device after `answerDelayMs`.
class SimHarness {
  public:
    explicit SimHarness(const sim::DeviceConfig& config = {}) : device(config) {
        cancelFlag = 0;
        master.SetEventLoop(&loop);
        master.SetPortFactory(FakePortFactory(line, loop));
        master.m_strPortName = "/dev/ttyFAKE";
        master.EnsureOpen();
        line.onWrite = [this](const std::vector<std::uint8_t>& bytes) { Hear(bytes); };
    }

    // Runs one transaction to its completion; the success flag.
    int Run(std::uint8_t command) {
        m_result.reset();
        master.SendCommand(this, &Record, command);
        loop.RunUntilIdle();
        return m_result.value_or(-1);
    }
    // Command 0, then the others in order; false at the first failure.
    bool Sequence(std::initializer_list<std::uint8_t> commands) {
        for (std::uint8_t command : commands) {
            if (Run(command) != 1) {
                return false;
            }
        }
        return true;
    }
    double Seconds() const { return static_cast<double>(loop.Now()) / 1000.0; }

    VirtualEventLoop loop;
    FakeLine line;
    HartMaster master;
    sim::SimDevice device;
    sim::RequestReader reader;
    std::uint32_t answerDelayMs = 300;
    int requestsHeard = 0;

  private:
    void Hear(const std::vector<std::uint8_t>& bytes) {
        reader.Reset();
        reader.Append(bytes.data(), bytes.size());
        while (const auto request = reader.Next()) {
            ++requestsHeard;
            if (!device.IsAddressedBy(*request)) {
                continue;
            }
            const auto reply = device.Handle(*request, Seconds());
            if (reply) {
                DeliverLater(loop, master, answerDelayMs,
                             sim::BuildAnswerFrame(device, *request, *reply, {}));
            }
        }
    }
    static void Record(void* user, std::int32_t success, std::uint8_t) {
        static_cast<SimHarness*>(user)->m_result = success;
    }

    std::optional<int> m_result;
};

}  // namespace tandrin::test
