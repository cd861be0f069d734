#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "link/command_flags.h"
#include "link/hart_master.h"
#include "platform/poll_event_loop.h"
#include "sim/sim_thread.h"

namespace tandrin::test {

// The real master on the test thread, in real time, over a pty to a
// simulator on a thread of its own.
class LinkOverPty : public ::testing::Test {
  protected:
    struct Outcome {
        bool done = false;
        std::int32_t success = -1;
        std::uint8_t command = 0;
        double ms = 0;  // from SendCommand to the completion
    };

    void SetUp() override {
        cancelFlag = 0;
        master.SetEventLoop(&loop);
    }

    // Starts the simulator and opens the master's link to it.
    void Serve(sim::SimSetup setup) {
        std::string error;
        ASSERT_TRUE(simulator.Start(std::move(setup), error)) << error;
        ASSERT_EQ(master.OpenLink(simulator.Path()), 1);
    }
    static sim::SimSetup Fast() {
        sim::SimSetup setup;
        setup.options.pacing.paced = false;
        return setup;
    }

    Outcome Run(std::uint8_t command, std::uint32_t limitMs = 10000) {
        Outcome outcome;
        m_start = std::chrono::steady_clock::now();
        m_pOutcome = &outcome;
        master.SendCommand(this, &Record, command);
        loop.RunUntil([&] { return outcome.done; }, limitMs);
        m_pOutcome = nullptr;
        return outcome;
    }

    // The two periods of one try.
    double Sum(std::uint8_t command) const {
        const CommandTiming& t = master.Timing();
        return t.TransmitPeriod(command, 21) + t.ReceivePeriod(command);
    }

    sim::SimulatorThread simulator;  // destroyed last: the master closes first
    PollEventLoop loop;
    HartMaster master;

  private:
    static void Record(void* user, std::int32_t success, std::uint8_t command) {
        auto* self = static_cast<LinkOverPty*>(user);
        if (self->m_pOutcome == nullptr) {
            return;
        }
        self->m_pOutcome->done = true;
        self->m_pOutcome->success = success;
        self->m_pOutcome->command = command;
        self->m_pOutcome->ms = std::chrono::duration<double, std::milli>(
                                   std::chrono::steady_clock::now() - self->m_start)
                                   .count();
    }

    std::chrono::steady_clock::time_point m_start;
    Outcome* m_pOutcome = nullptr;
};

}  // namespace tandrin::test
