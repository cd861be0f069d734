#include <gtest/gtest.h>

#include "link/command_timing.h"
#include "link/hart_master.h"
#include "support/fake_port.h"

namespace tandrin {
namespace {

class LinkLifecycle : public ::testing::Test {
  protected:
    void SetUp() override {
        master.SetEventLoop(&loop);
        master.SetPortFactory(test::FakePortFactory(line, loop));
        master.m_strPortName = "/dev/ttyUSB3";
    }
    VirtualEventLoop loop;
    test::FakeLine line;
    HartMaster master;
};

TEST_F(LinkLifecycle, EnsureOpenOpensTheStoredPortOnce) {
    EXPECT_EQ(master.EnsureOpen(), 1);
    EXPECT_EQ(master.EnsureOpen(), 1);
    EXPECT_EQ(line.portsMade, 1);
    EXPECT_EQ(line.openedPath, "/dev/ttyUSB3");
    EXPECT_TRUE(master.IsLinkOpen());
    master.CloseLink();
    EXPECT_FALSE(master.IsLinkOpen());
    EXPECT_FALSE(line.open);
    master.CloseLink();  // harmless twice
    EXPECT_EQ(master.Port(), nullptr);
}

TEST_F(LinkLifecycle, AFailedOpenIsRetriedByTheNextEnsureOpen) {
    line.refuseOpen = true;
    EXPECT_EQ(master.EnsureOpen(), 0);
    EXPECT_FALSE(master.IsLinkOpen());
    ASSERT_NE(master.Port(), nullptr) << "the failed port stays until CloseLink";
    master.CloseLink();
    EXPECT_EQ(master.Port(), nullptr);

    line.refuseOpen = false;
    EXPECT_EQ(master.EnsureOpen(), 1);
    EXPECT_EQ(line.portsMade, 2);
}

TEST_F(LinkLifecycle, OpeningAnotherPortClosesTheFirst) {
    ASSERT_EQ(master.OpenLink("/dev/ttyUSB0"), 1);
    ASSERT_EQ(master.OpenLink("/dev/ttyUSB1"), 1);
    EXPECT_EQ(line.openedPath, "/dev/ttyUSB1");
    EXPECT_EQ(line.opens, 2);
    EXPECT_TRUE(master.IsLinkOpen());
}

TEST_F(LinkLifecycle, ClosingDuringATransactionNeverTouchesTheGonePort) {
    ASSERT_EQ(master.EnsureOpen(), 1);
    master.SendCommand(nullptr, nullptr, 1);
    master.CloseLink();
    EXPECT_TRUE(loop.RunUntilIdle());
}

TEST_F(LinkLifecycle, DestroyingTheMasterCancelsItsTimer) {
    {
        HartMaster other;
        other.SetEventLoop(&loop);
        other.SendCommand(nullptr, nullptr, 1);
        EXPECT_EQ(loop.PendingTimers(), 1u);
    }
    EXPECT_EQ(loop.PendingTimers(), 0u);
}

TEST(CommandTiming, PeriodsFollowTheTable) {
    const CommandTiming timing;
    struct Row {
        std::uint8_t command;
        std::uint32_t transmit;
        std::uint32_t receive;
    };
    for (const Row& row : {Row{0, 150, 400}, Row{17, 420, 650}, Row{141, 250, 750},
                           Row{192, 550, 650}, Row{42, 180, 300}}) {
        EXPECT_EQ(timing.TransmitPeriod(row.command, 21), row.transmit) << int(row.command);
        EXPECT_EQ(timing.ReceivePeriod(row.command), row.receive) << int(row.command);
    }
}

TEST(CommandTiming, OpenPhasesGetBoundedFallbacks) {
    const CommandTiming timing;
    // 169 has no transmit period: RTS stays up for the frame's line time.
    EXPECT_FALSE(timing.HasTransmitEntry(169));
    EXPECT_GE(timing.TransmitPeriod(169, 25), CommandTiming::LineTimeMs(25));
    EXPECT_LT(timing.TransmitPeriod(169, 25), 300u);
    for (int command = 0; command < 256; ++command) {
        const auto c = static_cast<std::uint8_t>(command);
        EXPECT_GT(timing.ReceivePeriod(c), 0u);
        EXPECT_LE(timing.ReceivePeriod(c), 750u);
    }
    EXPECT_EQ(timing.ReceivePeriod(149), CommandTiming::kFallbackReceivePeriod);
    EXPECT_EQ(CommandTiming::LineTimeMs(17), 156u);
}

}  // namespace
}  // namespace tandrin
