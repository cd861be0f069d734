#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "device/command_requests.h"
#include "device/degree_text.h"
#include "device/encodings.h"
#include "sim/sim_device.h"
#include "sim/sim_harness.h"

namespace tandrin {
namespace {

using sim::DeviceConfig;
using sim::SimDevice;
using sim::SimRequest;
using test::SimHarness;

SimRequest Short(std::uint8_t address, std::uint8_t command = 0) {
    SimRequest request;
    request.address[0] = address;
    request.command = command;
    return request;
}

SimRequest Long(std::array<std::uint8_t, 5> address, std::uint8_t command,
                std::vector<std::uint8_t> data = {}) {
    SimRequest request;
    request.isLong = true;
    request.address = address;
    request.command = command;
    request.data = std::move(data);
    return request;
}

// Values a page would have put in place before its writes.
void PrepareWrites(HartMaster& m) {
    m.m_strPVUnit = "\xB0\x43";  // degrees Celsius
    m.m_fLowerRange = 0;
    m.m_fUpperRange = 150;
    m.m_fDamping = 2;
    m.m_fFixedCurrent = 12;
    m.m_fTrimZeroCurrent = 4.02f;
    m.m_fTrimGainCurrent = 19.97f;
    m.m_bySensor1Type = 10;
    m.m_bySensor2Type = 0xFF;
    m.m_byWiring = 0xF1;
    m.m_strTag = "tt-1";
    m.m_strFinalAssembly = "0A1B2C";
    m.m_wDateYear = 2025;
    m.m_byDateMonth = 5;
    m.m_byDateDay = 6;
}

// The simulator must satisfy the tool's own parsers: every command the
// tool can build completes, with the exact byte count each parser wants.
TEST(SimDevice, EveryCommandTheToolSendsCompletes) {
    SimHarness h;
    ASSERT_EQ(h.Run(0), 1);
    PrepareWrites(h.master);
    int tried = 0;
    for (int command = 1; command < 256; ++command) {
        DeviceData copy = h.master;
        std::uint8_t data[kMaxRequestData];
        if (BuildRequestData(static_cast<std::uint8_t>(command), copy, data) < 0) {
            continue;
        }
        ++tried;
        const int expected = command == 149 ? 0 : 1;  // 149 never completes
        EXPECT_EQ(h.Run(static_cast<std::uint8_t>(command)), expected) << "command " << command;
    }
    EXPECT_GE(tried, 50);
}

TEST(SimDevice, ShortFramesAddressThePollingAddressLongFramesThe38BitAddress) {
    DeviceConfig config;
    config.m_byPollAddr = 2;
    const SimDevice device(config);
    EXPECT_TRUE(device.IsAddressedBy(Short(0x82)));
    EXPECT_TRUE(device.IsAddressedBy(Short(0xC2))) << "burst bit ignored";
    EXPECT_TRUE(device.IsAddressedBy(Short(0x02))) << "master bit ignored";
    EXPECT_FALSE(device.IsAddressedBy(Short(0x80)));
    EXPECT_FALSE(device.IsAddressedBy(Short(0x92)));

    // Manufacturer 0x60: the tool sends 0xE0; only its low six bits count.
    EXPECT_TRUE(device.IsAddressedBy(Long({0xE0, 0x5A, 0x0A, 0x00, 0x02}, 1)));
    EXPECT_TRUE(device.IsAddressedBy(Long({0x20, 0x5A, 0x0A, 0x00, 0x02}, 1)));
    EXPECT_FALSE(device.IsAddressedBy(Long({0xE1, 0x5A, 0x0A, 0x00, 0x02}, 1)));
    EXPECT_FALSE(device.IsAddressedBy(Long({0xE0, 0x5B, 0x0A, 0x00, 0x02}, 1)));
    EXPECT_FALSE(device.IsAddressedBy(Long({0xE0, 0x5A, 0x0A, 0x00, 0x03}, 1)));
    EXPECT_EQ(device.ToolLongAddress(),
              (std::array<std::uint8_t, 5>{0xE0, 0x5A, 0x0A, 0x00, 0x02}));
}

TEST(SimDevice, AnswersOnlyCommandZeroInAShortFrameAndRefusesWhatItLacks) {
    SimDevice device{DeviceConfig{}};
    EXPECT_FALSE(device.Handle(Short(0x80, 1), 0));
    const auto address = device.ToolLongAddress();
    const auto unknown = device.Handle(Long(address, 200), 0);
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->responseCode, sim::kCodeNotImplemented);
    EXPECT_TRUE(unknown->data.empty());
    const auto tooShort = device.Handle(Long(address, 34, {0x40}), 0);
    ASSERT_TRUE(tooShort);
    EXPECT_EQ(tooShort->responseCode, sim::kCodeTooFewBytes);
}

TEST(SimDevice, ANewPollingAddressTakesEffectAtOnce) {
    SimHarness h;
    ASSERT_EQ(h.Run(0), 1);
    h.master.m_byNewPollAddr = 16;
    EXPECT_EQ(h.Run(6), 0) << "addresses stop at 15";
    h.master.m_byNewPollAddr = 5;
    ASSERT_EQ(h.Run(6), 1);
    EXPECT_EQ(h.Run(0), 0) << "still answering at 0";
    h.master.m_byPollAddr = 5;
    ASSERT_EQ(h.Run(0), 1);
    ASSERT_EQ(h.Run(2), 1);
    EXPECT_FLOAT_EQ(h.master.m_fLoopCurrent, 4.0f) << "multidrop parks the loop at 4 mA";
    h.master.m_fFixedCurrent = 12;
    EXPECT_EQ(h.Run(40), 0) << "no fixed current in multidrop";
}

TEST(SimDevice, RangeUnitDampingAndTextsAreKept) {
    SimHarness h;
    ASSERT_EQ(h.Run(0), 1);
    h.master.m_strPVUnit = "F";
    h.master.m_fLowerRange = 32;
    h.master.m_fUpperRange = 212;
    h.master.m_fDamping = 3;
    h.master.m_strMessage = "calibrated 2025";
    ASSERT_TRUE(h.Sequence({35, 34, 17}));
    h.master.m_strPVUnit.clear();
    ASSERT_TRUE(h.Sequence({15, 1, 12}));
    EXPECT_EQ(h.master.m_strPVUnit, "F");
    EXPECT_FLOAT_EQ(h.master.m_fUpperRange, 212);
    EXPECT_FLOAT_EQ(h.master.m_fLowerRange, 32);
    EXPECT_FLOAT_EQ(h.master.m_fDamping, 3);
    EXPECT_NEAR(h.master.m_fPV, 21.5 * 1.8 + 32, 4) << "the process shown in the new unit";
    EXPECT_EQ(h.master.m_strMessage, "CALIBRATED 2025");

    // A range the sensor cannot reach is refused and changes nothing.
    h.master.m_strPVUnit = "\xB0\x43";
    h.master.m_fLowerRange = -300;
    h.master.m_fUpperRange = 100;
    EXPECT_EQ(h.Run(35), 0);
    ASSERT_EQ(h.Run(15), 1);
    EXPECT_EQ(h.master.m_strPVUnit, "F");
}

TEST(SimDevice, TheSetupPagesSequenceRoundTrips) {
    SimHarness h;
    h.master.m_strPVUnit = "mV";
    h.master.m_fLowerRange = -10;
    h.master.m_fUpperRange = 75;
    h.master.m_bySensor1Type = 24;
    h.master.m_bySensor2Type = 0xFF;
    h.master.m_byWiring = 0xFF;
    h.master.m_byWorkMode = 0xF0;
    h.master.m_fSensor1Offset = 0.25f;
    h.master.m_byDisplayMode = 2;
    h.master.m_byDecimals = 3;
    h.master.m_byAlarmMode = 1;
    h.master.m_fDamping = 1;
    // The page writes the range before the sensor that makes it fit.
    ASSERT_TRUE(h.Sequence({0, 35, 186, 187, 34, 42}));
    h.loop.RunFor(1000);  // let it restart
    ASSERT_TRUE(h.Sequence({0, 15, 146, 147, 1}));
    EXPECT_EQ(h.master.m_bySensor1Type, 24);
    EXPECT_EQ(h.master.m_bySensor2Type, 0xFF);
    EXPECT_EQ(h.master.m_byWorkMode, 0xF0);
    EXPECT_FLOAT_EQ(h.master.m_fSensor1Offset, 0.25f);
    EXPECT_EQ(h.master.m_byDisplayMode, 2);
    EXPECT_EQ(h.master.m_byDecimals, 3);
    EXPECT_EQ(h.master.m_byAlarmMode, 1);
    EXPECT_EQ(h.master.m_strPVUnit, "mV");
    EXPECT_GT(h.master.m_fPV, -10);
    EXPECT_LT(h.master.m_fPV, 75) << "a millivolt input sits within its own range";
}

TEST(SimDevice, TheLiveValueDriftsWithinItsRangeAndTheOutputFollowsIt) {
    SimDevice device{DeviceConfig{}};
    std::set<float> seen;
    for (double t = 0; t < 1800; t += 7) {
        const sim::OutputSnapshot out = device.Output(t);
        EXPECT_GT(out.pv, 21.5 - 2) << t;
        EXPECT_LT(out.pv, 21.5 + 2) << t;
        EXPECT_NEAR(out.percent, out.pv, 1e-9) << "range 0..100";
        EXPECT_NEAR(out.current, 4 + 0.16 * out.percent, 1e-9);
        EXPECT_EQ(out.status, 0);
        seen.insert(static_cast<float>(out.pv));
    }
    EXPECT_GT(seen.size(), 200u) << "a live value changes";
}

TEST(SimDevice, TheOutputSaturatesBeyondTheRangeAndAlarmsBeyondTheSensor) {
    DeviceConfig config;
    config.m_fLowerRange = 0;
    config.m_fUpperRange = 10;
    SimDevice narrow(config);
    auto out = narrow.Output(5);
    EXPECT_DOUBLE_EQ(out.current, 20.5);
    EXPECT_EQ(out.status, sim::kStatusOutputSaturated);
    EXPECT_GT(out.percent, 150) << "percent of range is not clamped";

    config = DeviceConfig{};
    config.m_dProcessCentre = 900;  // a PT100 stops at 850
    SimDevice broken(config);
    out = broken.Output(5);
    EXPECT_DOUBLE_EQ(out.current, 22.0);
    EXPECT_EQ(out.status, sim::kStatusPvOutOfLimits);
    broken.m_byAlarmMode = 1;
    EXPECT_DOUBLE_EQ(broken.Output(6).current, 3.6);
}

TEST(SimDevice, FixedCurrentTrimsAndReset) {
    SimHarness h;
    ASSERT_EQ(h.Run(0), 1);
    h.master.m_fFixedCurrent = 20.5f;
    ASSERT_TRUE(h.Sequence({40, 2}));
    EXPECT_FLOAT_EQ(h.master.m_fLoopCurrent, 20.5f);
    h.master.m_fFixedCurrent = 2.0f;
    EXPECT_EQ(h.Run(40), 0) << "below what the output can drive";
    h.master.m_fTrimZeroCurrent = 4.03f;
    h.master.m_fTrimGainCurrent = 20.02f;
    ASSERT_TRUE(h.Sequence({45, 46}));
    EXPECT_FLOAT_EQ(h.device.m_fTrimZero, 4.03f);
    EXPECT_FLOAT_EQ(h.device.m_fTrimGain, 20.02f);
    h.master.m_fFixedCurrent = 0;
    ASSERT_TRUE(h.Sequence({40, 2}));
    EXPECT_NEAR(h.master.m_fLoopCurrent, 4 + 0.16 * 21.5, 0.4) << "following the process again";

    // A reset answers, then the transmitter is silent while it restarts
    // and comes back reporting a cold start, out of the fixed mode.
    h.master.m_fFixedCurrent = 8;
    ASSERT_TRUE(h.Sequence({40, 42}));
    const double t = h.device.RestartUntil() - SimDevice::kRestartSeconds;
    EXPECT_FALSE(h.device.Handle(Short(0x80), t + 0.1));
    const auto back = h.device.Handle(Short(0x80), t + 0.5);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->deviceStatus & sim::kStatusColdStart, sim::kStatusColdStart);
    EXPECT_EQ(back->deviceStatus & sim::kStatusOutputFixed, 0);
}

TEST(SimDevice, SettingTheRangeFromThePresentValue) {
    SimHarness h;
    ASSERT_EQ(h.Run(0), 1);
    ASSERT_TRUE(h.Sequence({36, 15}));  // 20 mA at the present value
    EXPECT_NEAR(h.master.m_fUpperRange, 21.5, 2);
    EXPECT_FLOAT_EQ(h.master.m_fLowerRange, 0);
    const float span = h.master.m_fUpperRange;
    ASSERT_TRUE(h.Sequence({37, 15}));  // 4 mA there, span kept
    EXPECT_NEAR(h.master.m_fLowerRange, 21.5, 2);
    EXPECT_NEAR(h.master.m_fUpperRange - h.master.m_fLowerRange, span, 1e-3);
}

TEST(SimDevice, RefusalsStatusBitsAndAdditionalStatus) {
    DeviceConfig config;
    std::string error;
    ASSERT_TRUE(sim::ParseDeviceKeys("protect=1,status=80,fixed=12", config, error)) << error;
    SimHarness h(config);
    DeviceConfig other;
    EXPECT_FALSE(sim::ParseDeviceKeys("fixed=2", other, error)) << "below what the loop drives";
    ASSERT_EQ(h.Run(0), 1);
    EXPECT_EQ(h.master.m_byDeviceStatus & 0x88, 0x88) << "malfunction kept, loop fixed at power-up";
    ASSERT_EQ(h.Run(2), 1);
    EXPECT_FLOAT_EQ(h.master.m_fLoopCurrent, 12.0f);
    PrepareWrites(h.master);
    for (std::uint8_t write : {6, 17, 18, 19, 34, 35, 40, 45, 186, 187}) {
        EXPECT_EQ(h.Run(write), 0) << int(write);
        EXPECT_EQ(h.master.LastOutcome().kind, ReplyKind::kRefused) << int(write);
        EXPECT_EQ(h.master.LastOutcome().code, 7) << int(write);
    }
    EXPECT_EQ(h.Run(12), 1) << "reads still answered";
    EXPECT_EQ(h.Run(48), 1);
    EXPECT_EQ(h.master.m_byAdditionalStatusLength, 14);
    EXPECT_EQ(h.master.m_abyAdditionalStatus[13], 0x01) << "analog channel fixed";

    SimHarness open;
    ASSERT_EQ(open.Run(0), 1);
    PrepareWrites(open.master);
    open.device.m_fLowerRange = 80;
    EXPECT_EQ(open.Run(36), 0) << "a 20 mA point below the 4 mA point";
    EXPECT_EQ(open.master.LastOutcome().code, 10);
    EXPECT_FLOAT_EQ(open.device.m_fUpperRange, 100);
}

TEST(SimDevice, DeviceSpecificValuesReadBackWhatWasWritten) {
    SimHarness h;
    ASSERT_EQ(h.Run(0), 1);
    DeviceData& m = h.master;
    m.m_byCmd143Index = 7;
    m.m_abyCmd143 = {1, 2, 3, 4};
    m.m_wCmd143A = 0x1234;
    m.m_dCmd143A = -512.0;
    m.m_afCmd144 = {1.5f, 2.5f, 3.5f};
    m.m_byCmd184Select = 1;
    m.m_fCmd150 = 0.75f;
    m.m_byCmd150Steps = 9;
    m.m_abyCmd141 = {9, 8, 7, 6, 5};
    m.m_fCmd140A = 11;
    m.m_fCmd140B = 12;
    m.m_byCmd148A = 0x33;
    for (std::size_t i = 0; i < m.m_abyBlock.size(); ++i) {
        m.m_abyBlock[i] = static_cast<std::uint8_t>(i + 1);
    }
    ASSERT_TRUE(h.Sequence({183, 184, 190, 181, 180, 188, 192}));
    DeviceData written = m;
    m.m_abyCmd143 = {};
    m.m_wCmd143A = 0;
    m.m_dCmd143A = 0;
    m.m_afCmd144 = {};
    m.m_fCmd150 = 0;
    m.m_byCmd150Steps = 0;
    m.m_abyCmd141 = {};
    m.m_fCmd140A = m.m_fCmd140B = 0;
    m.m_byCmd148A = 0;
    m.m_abyBlock = {};
    ASSERT_TRUE(h.Sequence({143, 144, 150, 141, 140, 148, 152, 162}));
    EXPECT_EQ(m.m_abyCmd143, written.m_abyCmd143);
    EXPECT_EQ(m.m_wCmd143A, 0x1234);
    EXPECT_DOUBLE_EQ(m.m_dCmd143A, -512.0);
    EXPECT_FLOAT_EQ(m.m_afCmd144[1], 2.5f) << "184 replaced the selected float only";
    EXPECT_FLOAT_EQ(m.m_afCmd144[0], 1.0f);
    EXPECT_FLOAT_EQ(m.m_fCmd150, 0.75f);
    EXPECT_EQ(m.m_byCmd150Steps, 9);
    EXPECT_EQ(m.m_abyCmd141, written.m_abyCmd141);
    EXPECT_FLOAT_EQ(m.m_fCmd140B, 12);
    EXPECT_EQ(m.m_byCmd148A, 0x33);
    EXPECT_EQ(m.m_abyBlock[33], 34);
    EXPECT_EQ(m.m_abyBlock[34], 0) << "the block's last byte is write-only";
    EXPECT_EQ(m.m_strSoftwareVersion, "V1.23");
}

TEST(DampingFilter, FollowsAStepWithItsTimeConstant) {
    sim::DampingFilter filter;
    EXPECT_DOUBLE_EQ(filter.Apply(0, 0, 2), 0);
    EXPECT_NEAR(filter.Apply(100, 2, 2), 100 * (1 - std::exp(-1.0)), 1e-9);
    EXPECT_DOUBLE_EQ(filter.Apply(50, 3, 0), 50) << "no damping, no lag";
}

}  // namespace
}  // namespace tandrin
