#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/sim_options.h"

namespace tandrin {
namespace {

using sim::SimCommandLine;

bool Parse(std::vector<std::string> args, SimCommandLine& out, std::string& error) {
    return sim::ParseSimCommandLine(args, out, error);
}

TEST(SimCommandLine, DefaultsToOneTransmitterOnAPacedPty) {
    SimCommandLine line;
    std::string error;
    ASSERT_TRUE(Parse({}, line, error)) << error;
    ASSERT_EQ(line.devices.size(), 1u);
    EXPECT_EQ(line.devices[0].m_byPollAddr, 0);
    EXPECT_EQ(line.devices[0].DeviceId(), 0x0A0000u);
    EXPECT_FALSE(line.fast);
    EXPECT_FALSE(line.linkPath);
    EXPECT_FALSE(line.portDevice);
}

TEST(SimCommandLine, DeviceKeysSetEveryOne) {
    SimCommandLine line;
    std::string error;
    ASSERT_TRUE(Parse({"--device",
                       "poll=4,id=0x0B0C0D,mfr=0x26,type=7,tag=tt-1,descriptor=Inlet,message=hello,"
                       "date=2024-02-29,final=00A1B2,version=2.05,sensor=3,sensor2=none,unit=F,"
                       "lower=32,upper=1000,pv=300,damping=1.5,preambles=7",
                       "--fast", "--trace", "--seed", "9", "--link", "/tmp/x"},
                      line, error))
        << error;
    const sim::DeviceConfig& d = line.devices.at(0);
    EXPECT_EQ(d.m_byPollAddr, 4);
    EXPECT_EQ(d.DeviceId(), 0x0B0C0Du);
    EXPECT_EQ(d.m_byManufacturer, 0x26);
    EXPECT_EQ(d.m_byDeviceType, 7);
    EXPECT_EQ(d.m_strTag, "TT-1");
    EXPECT_EQ(d.m_strDescriptor, "INLET");
    EXPECT_EQ(d.m_strMessage, "HELLO");
    EXPECT_EQ(d.m_wDateYear, 2024);
    EXPECT_EQ(d.m_byDateMonth, 2);
    EXPECT_EQ(d.m_byDateDay, 29);
    EXPECT_EQ(d.m_dwFinalAssembly, 0x00A1B2u);
    EXPECT_EQ(d.m_abySoftwareVersion, (std::array<std::uint8_t, 3>{2, 0, 5}));
    EXPECT_EQ(d.m_bySensor1Type, 3);
    EXPECT_EQ(d.m_bySensor2Type, 0xFF);
    EXPECT_EQ(d.m_byUnit, 33);
    EXPECT_FLOAT_EQ(d.m_fLowerRange.value(), 32);
    EXPECT_FLOAT_EQ(d.m_fUpperRange.value(), 1000);
    EXPECT_DOUBLE_EQ(d.m_dProcessCentre.value(), 300);
    EXPECT_FLOAT_EQ(d.m_fDamping, 1.5f);
    EXPECT_EQ(d.m_byPreambles, 7);
    EXPECT_TRUE(line.fast);
    EXPECT_TRUE(line.trace);
    EXPECT_EQ(line.seed, 9u);
    EXPECT_EQ(line.linkPath, "/tmp/x");
}

TEST(SimCommandLine, DevicesWithoutPollTakeTheLowestFreeAddress) {
    SimCommandLine line;
    std::string error;
    ASSERT_TRUE(
        Parse({"--device", "tag=A", "--device", "poll=0,id=1", "--device", "id=2"}, line, error))
        << error;
    ASSERT_EQ(line.devices.size(), 3u);
    EXPECT_EQ(line.devices[0].m_byPollAddr, 1);
    EXPECT_EQ(line.devices[1].m_byPollAddr, 0);
    EXPECT_EQ(line.devices[2].m_byPollAddr, 2);
}

TEST(SimCommandLine, RefusesWhatCannotWork) {
    const std::vector<std::vector<std::string>> bad{
        {"--device", "poll=16"},
        {"--device", "poll=1", "--device", "poll=1,id=5"},
        {"--device", "id=1", "--device", "poll=3,id=1"},  // one long address twice
        {"--device", "tag=TOO-LONG-TAG"},
        {"--device", "tag=tt{1}"},  // not packable
        {"--device", "sensor=29"},
        {"--device", "preambles=4"},
        {"--device", "damping=-1"},
        {"--device", "date=2024-13-01"},
        {"--device", "version=1.2"},
        {"--device", "unit=psi"},
        {"--device", "colour=red"},
        {"--device", "poll"},
        {"--fault", "jam"},
        {"--link", "/tmp/a", "--port", "/dev/ttyS0"},
        {"--link"},
        {"--seed", "x"},
        {"--frobnicate"},
    };
    for (const auto& args : bad) {
        SimCommandLine line;
        std::string error;
        EXPECT_FALSE(Parse(args, line, error)) << args.back();
        EXPECT_FALSE(error.empty()) << args.back();
    }
}

}  // namespace
}  // namespace tandrin
