#include "procedures/loop_check.h"

#include <algorithm>

#include "pages/page_fixture.h"

namespace tandrin {
namespace {

using State = LoopCheck::State;

class LoopCheckRun : public test::PageFixture {
  protected:
    void SetUp() override {
        PageFixture::SetUp();
        device = &transmitters.Add(0);
        check.SetOnChange([this] { states.push_back(check.CurrentState()); });
    }
    void TearDown() override {
        check.Stop();
        loop.RunUntilIdle(120'000);
        PageFixture::TearDown();
    }

    void StartAndRun(const LoopCheckSettings& settings = {}) {
        ASSERT_TRUE(check.Start(settings));
        Run();
    }
    // Enters readings at successive points, each `offset` mA from expected.
    void EnterReadings(std::initializer_list<double> offsets) {
        for (const double offset : offsets) {
            ASSERT_EQ(check.CurrentState(), State::kAwaitingReading);
            ASSERT_TRUE(check.EnterReading(check.Current() + offset));
            Run();
        }
    }
    std::vector<std::uint8_t> LastCommands(std::size_t count) const {
        const auto all = CommandsHeard();
        return {all.end() - static_cast<std::ptrdiff_t>(std::min(count, all.size())), all.end()};
    }
    float DeviceFixed() const { return device->m_fFixedCurrent; }

    sim::SimDevice* device = nullptr;
    LoopCheck check;
    std::vector<State> states;
};

TEST_F(LoopCheckRun, APassingCheckForcesEveryPointAndReleasesTheLoopAtTheEnd) {
    StartAndRun();
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0, 13, 15, 162, 0, 40, 2}));
    EXPECT_FLOAT_EQ(DeviceFixed(), 4.0f);
    EXPECT_TRUE(fixedCurrentGuard.Forced());
    EXPECT_DOUBLE_EQ(check.TransmitterReading(), 4.0);

    EnterReadings({0.001, -0.002, 0, 0.016, -0.016});
    EXPECT_EQ(check.CurrentState(), State::kAsFoundDone);
    EXPECT_EQ(LastCommands(5), (std::vector<std::uint8_t>{0, 40, 2, 0, 40}));
    EXPECT_FLOAT_EQ(DeviceFixed(), 0.0f);
    EXPECT_FALSE(fixedCurrentGuard.Forced());

    const LoopCheckRecord& record = check.Record();
    EXPECT_TRUE(record.asFound.Passed());
    ASSERT_EQ(record.asFound.rows.size(), 5u);
    EXPECT_DOUBLE_EQ(record.asFound.rows[3].expectedMa, 16.0);
    EXPECT_DOUBLE_EQ(record.asFound.rows[3].transmitterMa, 16.0);
    EXPECT_FALSE(record.asLeft.Run());
    EXPECT_EQ(record.device.tag, "TT101");
    EXPECT_EQ(record.device.longAddress.size(), 10u);
    EXPECT_EQ(record.device.softwareVersion, "V1.23");
    EXPECT_FLOAT_EQ(static_cast<float>(record.device.upperRange), 100.0f);
    check.Finish();
    EXPECT_TRUE(check.Over());
    EXPECT_FALSE(check.CommunicationFailed());
}

TEST_F(LoopCheckRun, AFailedAsFoundPassIsTrimmedAtFourAndTwentyThenCheckedAsLeft) {
    StartAndRun();
    EnterReadings({0, 0.02, 0, 0, 0});
    ASSERT_EQ(check.CurrentState(), State::kAsFoundDone);
    EXPECT_FALSE(check.Record().asFound.Passed());
    EXPECT_FALSE(check.Record().asFound.rows[1].pass);
    ASSERT_TRUE(check.StartTrim());
    Run();
    ASSERT_EQ(check.CurrentState(), State::kAwaitingTrimReading);
    EXPECT_FLOAT_EQ(DeviceFixed(), 4.0f);
    EXPECT_FALSE(check.EnterReading(2.9));  // the page's bounds: 3..6 mA
    ASSERT_TRUE(check.EnterReading(4.01));
    Run();
    EXPECT_EQ(check.TrimStep(), 1);
    EXPECT_FLOAT_EQ(DeviceFixed(), 20.0f);
    EXPECT_FALSE(check.EnterReading(22.5));
    ASSERT_TRUE(check.EnterReading(19.98));
    Run();
    EXPECT_FLOAT_EQ(device->m_fTrimZero, 4.01f);
    EXPECT_FLOAT_EQ(device->m_fTrimGain, 19.98f);
    EXPECT_EQ(check.CurrentPass(), LoopCheck::Pass::kAsLeft);

    EnterReadings({0, 0, 0.001, 0, 0});
    EXPECT_EQ(check.CurrentState(), State::kFinished);
    EXPECT_TRUE(check.Record().trimmed);
    EXPECT_TRUE(check.Record().asLeft.Passed());
    EXPECT_FALSE(check.Record().asFound.Passed());
    EXPECT_FLOAT_EQ(DeviceFixed(), 0.0f);
    EXPECT_FALSE(fixedCurrentGuard.Forced());
}

TEST_F(LoopCheckRun, StopWhileWaitingForAReadingOrWhileForcingReleasesTheLoop) {
    StartAndRun();
    EnterReadings({0, 0});
    ASSERT_FLOAT_EQ(DeviceFixed(), 12.0f);
    check.Stop();
    Run();
    EXPECT_EQ(check.CurrentState(), State::kStopped);
    EXPECT_EQ(LastCommands(2), (std::vector<std::uint8_t>{0, 40}));
    EXPECT_FLOAT_EQ(DeviceFixed(), 0.0f);
    EXPECT_FALSE(fixedCurrentGuard.Forced());
    EXPECT_FALSE(check.Record().asFound.complete);

    // Stop with the 40 of the next point on the line: it may have arrived.
    StartAndRun();
    ASSERT_TRUE(check.EnterReading(4.0));
    while (CommandsHeard().back() != 40) {
        loop.RunFor(10);
    }
    check.Stop();
    Run();
    EXPECT_EQ(check.CurrentState(), State::kStopped);
    EXPECT_FLOAT_EQ(DeviceFixed(), 0.0f);
    EXPECT_FALSE(fixedCurrentGuard.Forced());
    EXPECT_FALSE(check.CommunicationFailed());
}

TEST_F(LoopCheckRun, StopDuringTheReleaseLetsItFinishAndSendsOneCutShortAgain) {
    LoopCheckSettings settings;
    settings.points = {50};
    StartAndRun(settings);
    const std::size_t heard = CommandsHeard().size();
    ASSERT_TRUE(check.EnterReading(12.0));
    ASSERT_EQ(check.CurrentState(), State::kReleasing);
    check.Stop();
    Run();
    EXPECT_EQ(check.CurrentState(), State::kStopped);
    EXPECT_EQ(CommandsHeard().size(), heard + 2) << "one release, not cut and sent again";
    EXPECT_FLOAT_EQ(DeviceFixed(), 0.0f);

    // Someone else's Stop (the main window's, a signal) cuts the release.
    StartAndRun(settings);
    ASSERT_TRUE(check.EnterReading(12.0));
    dialog.StopSequence();
    Run();
    EXPECT_EQ(check.CurrentState(), State::kReleasing);
    EXPECT_TRUE(fixedCurrentGuard.Forced());
    check.Stop();
    Run();
    EXPECT_EQ(check.CurrentState(), State::kStopped);
    EXPECT_FLOAT_EQ(DeviceFixed(), 0.0f);
    EXPECT_FALSE(fixedCurrentGuard.Forced());
}

TEST_F(LoopCheckRun, AFailedCommandInTheMiddleReleasesTheLoopOrLeavesTheGuardNoted) {
    StartAndRun();
    EnterReadings({0});
    transmitters.silentCommands = {2};
    ASSERT_TRUE(check.EnterReading(check.Current()));
    Run();
    EXPECT_EQ(check.CurrentState(), State::kFailed);
    EXPECT_TRUE(check.CommunicationFailed());
    EXPECT_EQ(LastCommands(2), (std::vector<std::uint8_t>{0, 40}));
    EXPECT_FLOAT_EQ(DeviceFixed(), 0.0f);
    EXPECT_FALSE(fixedCurrentGuard.Forced());
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{LangText("strCommFail")}));

    // When the release cannot get through either, the guard still knows.
    transmitters.silentCommands = {};
    StartAndRun();
    transmitters.silentCommands = {2, 40};
    ASSERT_TRUE(check.EnterReading(4.0));
    Run();
    EXPECT_EQ(check.CurrentState(), State::kFailed);
    EXPECT_TRUE(fixedCurrentGuard.Forced());
    EXPECT_TRUE(check.Forced());
}

TEST_F(LoopCheckRun, TheSettlingTimeRunsBeforeEachReadingIsAsked) {
    LoopCheckSettings settings;
    settings.points = {50};
    settings.settleSeconds = 2.5;
    settings.readTransmitter = false;
    ASSERT_TRUE(check.Start(settings));
    while (check.CurrentState() != State::kSettling) {
        loop.RunFor(5);
    }
    const std::uint32_t settling = loop.TickCount();
    Run();
    EXPECT_EQ(check.CurrentState(), State::kAwaitingReading);
    EXPECT_GE(loop.TickCount() - settling, 2500u);
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0, 13, 15, 162, 0, 40}));
    EXPECT_TRUE(std::isnan(check.TransmitterReading()));

    // Stop during the settling kills the timer and releases.
    check.Stop();
    Run();
    ASSERT_TRUE(check.Start(settings));
    while (check.CurrentState() != State::kSettling) {
        loop.RunFor(5);
    }
    check.Stop();
    Run();
    EXPECT_EQ(check.CurrentState(), State::kStopped);
    EXPECT_FLOAT_EQ(DeviceFixed(), 0.0f);
}

TEST_F(LoopCheckRun, InvalidSettingsAndReadingsAreRefusedWithoutACommand) {
    LoopCheckSettings settings;
    settings.tolerance = 0;
    EXPECT_FALSE(check.Start(settings));
    settings = {};
    settings.points.clear();
    EXPECT_FALSE(check.Start(settings));
    EXPECT_FALSE(check.EnterReading(4.0));
    EXPECT_TRUE(CommandsHeard().empty());

    StartAndRun();
    EXPECT_FALSE(check.EnterReading(-0.1));
    EXPECT_FALSE(check.EnterReading(NAN));
    EXPECT_FALSE(check.StartTrim());
    EXPECT_FALSE(check.Start({}));
    EXPECT_EQ(check.CurrentState(), State::kAwaitingReading);
}

}  // namespace
}  // namespace tandrin
