#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <string>
#include <vector>

#include "integration/link_fixture.h"
#include "link/scan_ports.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

using test::LinkOverPty;

const std::array<std::uint8_t, 5> kDefaultLongAddress{0xE0, 0x5A, 0x0A, 0x00, 0x00};

// How late a completion may come on a loaded machine. A retry costs a
// whole try (550 ms or more), so one still shows.
constexpr double kLateness = 300;

sim::FaultPlan Faults(std::initializer_list<const char*> rules) {
    sim::FaultPlan plan;
    for (const char* text : rules) {
        sim::FaultRule fault;
        std::string error;
        EXPECT_TRUE(sim::ParseFaultRule(text, fault, error)) << error;
        plan.Add(fault);
    }
    return plan;
}

TEST_F(LinkOverPty, Command0AtLinePaceCompletesAfterItsPeriodsAndFillsTheLongAddress) {
    Serve(sim::SimSetup{});  // paced like a real 1200 baud line
    const auto outcome = Run(0);
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(outcome.success, 1);
    EXPECT_EQ(outcome.command, 0);
    EXPECT_GE(outcome.ms, Sum(0));
    EXPECT_LT(outcome.ms, Sum(0) + kLateness);
    EXPECT_EQ(master.m_abyLongAddr, kDefaultLongAddress);
    EXPECT_EQ(simulator.Stats().framesHeard.load(), 1u) << "answered at the first try";
}

TEST_F(LinkOverPty, AnUnansweredCommandFailsAfterSixWrites) {
    auto setup = Fast();
    setup.faults = Faults({"silence,cmd=1"});
    Serve(std::move(setup));
    master.m_abyLongAddr = kDefaultLongAddress;
    const auto outcome = Run(1);
    ASSERT_TRUE(outcome.done);
    EXPECT_EQ(outcome.success, 0);
    EXPECT_GE(outcome.ms, 6 * Sum(1));
    EXPECT_LT(outcome.ms, 6 * Sum(1) + kLateness);
    EXPECT_EQ(simulator.Stats().framesHeard.load(), 6u);
}

TEST_F(LinkOverPty, AnAnswerInBurstsIsAccepted) {
    auto setup = Fast();
    setup.faults = Faults({"split=3"});
    Serve(std::move(setup));
    const auto outcome = Run(0);
    EXPECT_EQ(outcome.success, 1);
    EXPECT_LT(outcome.ms, Sum(0) + kLateness) << "accepted at the first try";
    EXPECT_EQ(simulator.Stats().framesHeard.load(), 1u);
    EXPECT_EQ(master.m_abyLongAddr, kDefaultLongAddress);
}

TEST_F(LinkOverPty, AHangUpMidTransactionClosesTheLinkAndFailsAtOnce) {
    auto setup = Fast();
    setup.faults = Faults({"hangup=9,cmd=1"});
    Serve(std::move(setup));
    ASSERT_EQ(Run(0).success, 1);
    int reported = 0;
    master.SetLinkLostHandler([&] { ++reported; });
    const auto outcome = Run(1);
    ASSERT_TRUE(outcome.done) << "the engine hung";
    EXPECT_EQ(outcome.success, 0);
    EXPECT_LT(outcome.ms, Sum(1) + kLateness) << "it waited out the retries";
    EXPECT_TRUE(simulator.Stats().lineLost.load());
    EXPECT_EQ(reported, 1);
    EXPECT_TRUE(master.PortLost());
    EXPECT_FALSE(master.IsLinkOpen());
    EXPECT_EQ(master.Port(), nullptr);
}

TEST_F(LinkOverPty, WritesReachTheTransmitterAndReadBack) {
    Serve(Fast());
    ASSERT_EQ(Run(0).success, 1);
    master.m_strTag = "tt-7";
    master.m_strDescriptor = "boiler inlet";
    master.m_byDateDay = 3;
    master.m_byDateMonth = 4;
    master.m_wDateYear = 2025;
    ASSERT_EQ(Run(18).success, 1);
    master.m_strTag.clear();
    master.m_strDescriptor.clear();
    master.m_wDateYear = 0;
    ASSERT_EQ(Run(13).success, 1);
    EXPECT_EQ(master.m_strTag, "TT-7");
    EXPECT_EQ(master.m_strDescriptor, "BOILER INLET");
    EXPECT_EQ(master.m_wDateYear, 2025);
}

TEST_F(LinkOverPty, EachTransmitterOnTheLineAnswersAtItsOwnAddress) {
    auto setup = Fast();
    sim::DeviceConfig second;
    second.m_byPollAddr = 3;
    setup.devices.push_back(second);
    Serve(std::move(setup));
    master.m_byPollAddr = 3;
    ASSERT_EQ(Run(0).success, 1);
    EXPECT_EQ(master.m_abyLongAddr, (std::array<std::uint8_t, 5>{0xE0, 0x5A, 0x0A, 0x00, 0x03}));
    ASSERT_EQ(Run(2).success, 1);
    EXPECT_FLOAT_EQ(master.m_fLoopCurrent, 4.0f) << "a multidrop transmitter parks its loop";
}

// Stop while a reply is on its way, then what a page does next: write the
// values it will send. The reply must not land in them (and under
// ThreadSanitizer the parse must not race the writes).
TEST_F(LinkOverPty, AReplyArrivingAfterAStopNeverReachesTheDeviceModel) {
    sim::SimSetup setup;  // paced, so the reply comes well inside the window
    setup.faults = Faults({"late=100,cmd=13"});
    Serve(std::move(setup));
    ASSERT_EQ(Run(0).success, 1);
    const std::size_t answered = simulator.Stats().answersSent.load();
    bool completed = false;
    master.SendCommand(
        &completed,
        [](void* user, std::int32_t, std::uint8_t) { *static_cast<bool*>(user) = true; }, 13);
    ASSERT_TRUE(loop.RunUntil([&] { return master.m_nPhase == 2; }, 2000));
    cancelFlag = 1;
    master.CancelTransaction();
    master.m_strTag = "LOCAL";
    master.m_byPollAddr = 0;
    for (int i = 0; i < 300 && simulator.Stats().answersSent.load() == answered; ++i) {
        loop.RunFor(10);
    }
    ASSERT_GT(simulator.Stats().answersSent.load(), answered);
    loop.RunFor(100);  // the receive thread has read the reply by now
    EXPECT_EQ(master.m_strTag, "LOCAL");
    EXPECT_FALSE(completed);

    cancelFlag = 0;
    const auto next = Run(0);
    EXPECT_EQ(next.success, 1);
    EXPECT_LT(next.ms, Sum(0) + kLateness);
    EXPECT_EQ(master.m_strTag, "LOCAL");
}

// One spoiled answer costs one retry; the second try succeeds.
class SpoiledFirstAnswer : public LinkOverPty, public ::testing::WithParamInterface<const char*> {};

TEST_P(SpoiledFirstAnswer, IsRejectedAndTheRetryCompletes) {
    auto setup = Fast();
    setup.faults = Faults({GetParam()});
    Serve(std::move(setup));
    master.m_abyLongAddr = kDefaultLongAddress;
    const auto outcome = Run(1);
    EXPECT_EQ(outcome.success, 1);
    EXPECT_GE(outcome.ms, 2 * Sum(1));
    EXPECT_LT(outcome.ms, 2 * Sum(1) + kLateness);
}

INSTANTIATE_TEST_SUITE_P(Faults, SpoiledFirstAnswer,
                         ::testing::Values("checksum,count=1", "command,count=1", "code,count=1",
                                           "noise=11,count=1", "late=600,count=1"));

TEST_F(LinkOverPty, NoiseTheToolSkipsCostsNothing) {
    auto setup = Fast();
    setup.faults = Faults({"noise=9"});
    Serve(std::move(setup));
    master.m_abyLongAddr = kDefaultLongAddress;
    const auto outcome = Run(1);
    EXPECT_EQ(outcome.success, 1);
    EXPECT_LT(outcome.ms, Sum(1) + kLateness);
    EXPECT_EQ(simulator.Stats().framesHeard.load(), 1u);
}

// At real line pace, answers that end late in the receive phase (after
// noise, in two bursts, or starting late) are taken at the first try.
class PacedFault : public LinkOverPty, public ::testing::WithParamInterface<const char*> {};

TEST_P(PacedFault, EveryCommandOfAReadingSucceedsAtTheFirstTry) {
    sim::SimSetup setup;
    setup.faults = Faults({GetParam()});
    Serve(std::move(setup));
    for (std::uint8_t command : {0, 1, 2}) {
        const auto outcome = Run(command);
        EXPECT_EQ(outcome.success, 1) << "command " << int(command);
        EXPECT_EQ(simulator.Stats().framesHeard.load(), command + 1u) << "command " << int(command);
        EXPECT_LT(outcome.ms, Sum(command) + kLateness) << "command " << int(command);
    }
    EXPECT_FLOAT_EQ(master.m_fLoopCurrent, 4.0f + 16.0f * master.m_fPercentRange / 100.0f);
}

INSTANTIATE_TEST_SUITE_P(Faults, PacedFault,
                         ::testing::Values("noise=9", "noise=10", "split=2", "late=100"));

TEST_F(LinkOverPty, ScanPortsFindsTheSimulatorsPtyAndLeavesTheLinkClosed) {
    Serve(Fast());
    test::TempDir noDevices;
    std::vector<std::string> ports{"stale"};
    ScanPorts(master, ports, {"/dev/tandrin-no-such-port", simulator.Path()}, noDevices.Path());
    EXPECT_EQ(ports, std::vector<std::string>{simulator.Path()});
    EXPECT_FALSE(master.IsLinkOpen());
    EXPECT_EQ(master.Port(), nullptr);
    // The probe closed what it opened: the link opens again at once.
    ASSERT_EQ(master.OpenLink(simulator.Path()), 1);
    EXPECT_EQ(Run(0).success, 1);
}

}  // namespace
}  // namespace tandrin
