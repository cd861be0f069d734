#include "device/command_requests.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/encodings.h"
#include "device_test_support.h"

namespace tandrin {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::ChineseUiScope;

// Builds into a buffer pre-filled with a marker, so bytes a builder forgot
// to write show up.
Bytes Build(std::uint8_t command, DeviceData& device) {
    Bytes data(kMaxRequestData, 0xEE);
    const int n = BuildRequestData(command, device, data.data());
    data.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return data;
}

Bytes Slice(const Bytes& data, std::size_t from, std::size_t count) {
    return Bytes(data.begin() + from, data.begin() + from + count);
}

Bytes FloatBytes(float value) {
    Bytes bytes(4);
    EncodeFloat(value, bytes.data());
    return bytes;
}

TEST(DeviceRequest, CommandsWithoutDataOrWithoutRequest) {
    DeviceData device;
    std::uint8_t data[kMaxRequestData] = {};
    for (int command : {0,   1,   2,   3,   12,  13,  14,  15,  16,  36,  37,  42,  140,
                        141, 142, 144, 145, 146, 147, 148, 149, 150, 161, 162, 163, 164}) {
        EXPECT_EQ(BuildRequestData(static_cast<std::uint8_t>(command), device, data), 0) << command;
    }
    for (int command : {4, 5, 7, 139, 151, 154, 189, 191, 193, 195, 200, 255}) {
        EXPECT_EQ(BuildRequestData(static_cast<std::uint8_t>(command), device, data), -1)
            << command;
    }
}

TEST(DeviceRequest, DataLengthsAndNoSideEffects) {
    const struct {
        std::uint8_t command;
        int length;
    } cases[] = {
        {6, 1},   {19, 3},  {34, 4},   {35, 9},  {40, 4},  {45, 4},  {46, 4},   {137, 4}, {138, 6},
        {143, 1}, {152, 3}, {153, 3},  {160, 1}, {169, 4}, {180, 8}, {181, 5},  {182, 4}, {183, 19},
        {184, 5}, {185, 4}, {186, 12}, {187, 3}, {188, 2}, {190, 5}, {192, 35}, {194, 4},
    };
    DeviceData device;
    device.m_strTag = "lower";
    device.m_strPVUnit = "mV";
    device.m_strFinalAssembly = "abc";
    const DeviceData before = device;
    for (const auto& c : cases) {
        std::uint8_t data[kMaxRequestData];
        EXPECT_EQ(BuildRequestData(c.command, device, data), c.length) << int{c.command};
    }
    EXPECT_EQ(device, before);
}

TEST(DeviceRequest, MessageIsUpperCasedPaddedAndCut) {
    DeviceData device;
    device.m_strMessage = "abc";
    Bytes data = Build(17, device);
    ASSERT_EQ(data.size(), 24u);
    EXPECT_EQ(device.m_strMessage, "ABC");
    Bytes padded(24);
    PackText("ABC" + std::string(29, ' '), 32, false, padded.data());
    EXPECT_EQ(data, padded);

    device.m_strMessage = std::string(32, 'x') + "overflow";
    data = Build(17, device);
    EXPECT_EQ(UnpackText(data.data(), 32), std::string(32, 'X'));
}

TEST(DeviceRequest, TagDescriptorAndDate) {
    DeviceData device;
    device.m_strTag = "ab";
    device.m_strDescriptor = "tank 3 inlet";
    device.m_byDateDay = 15;
    device.m_byDateMonth = 6;
    device.m_wDateYear = 2008;
    const Bytes data = Build(18, device);
    ASSERT_EQ(data.size(), 21u);
    EXPECT_EQ(Slice(data, 0, 6), (Bytes{0x04, 0x28, 0x20, 0x82, 0x08, 0x20}));
    EXPECT_EQ(UnpackText(&data[6], 16), "TANK 3 INLET");
    EXPECT_EQ(Slice(data, 18, 3), (Bytes{15, 6, 108}));
    EXPECT_EQ(device.m_strTag, "AB");
    EXPECT_EQ(device.m_strDescriptor, "TANK 3 INLET");
}

TEST(DeviceRequest, GbkTagKeepsItsCharactersInChineseInterface) {
    ChineseUiScope scope(1);
    DeviceData device;
    device.m_strTag = "\xB0\x61t1";
    const Bytes data = Build(18, device);
    EXPECT_EQ(device.m_strTag, "\xB0\x61T1");
    EXPECT_EQ(UnpackText(data.data(), 8), "?T1");
}

TEST(DeviceRequest, FinalAssemblyNumber) {
    DeviceData device;
    device.m_strFinalAssembly = "0A1B2C";
    EXPECT_EQ(Build(19, device), (Bytes{0x0A, 0x1B, 0x2C}));
    device.m_strFinalAssembly = "";
    EXPECT_EQ(Build(19, device), (Bytes{0x00, 0x00, 0x00}));
}

TEST(DeviceRequest, RangeValuesSendUnitCode) {
    DeviceData device;
    device.m_strPVUnit = "\xA1\xE6";
    device.m_fUpperRange = 100.0f;
    device.m_fLowerRange = 1.0f;
    EXPECT_EQ(Build(35, device), (Bytes{32, 0x42, 0xC8, 0x00, 0x00, 0x3F, 0x80, 0x00, 0x00}));
    device.m_strPVUnit = "degC";
    EXPECT_EQ(Build(35, device)[0], 0);
}

TEST(DeviceRequest, DeviceSpecificLayouts) {
    DeviceData device;
    device.m_byCmd138A = 0xA0;
    device.m_byCmd138B = 0xB0;
    device.m_abyCmd141 = {1, 2, 3, 4, 5};
    device.m_byBlockSelA = 7;
    device.m_byBlockSelB = 8;
    device.m_fCmd140A = 1.0f;
    device.m_fCmd140B = 100.0f;
    EXPECT_EQ(Build(138, device), (Bytes{0xA0, 1, 2, 3, 4, 0xB0}));
    EXPECT_EQ(Build(169, device), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(Build(181, device), (Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(Build(153, device), (Bytes{7, 8, 0x20}));
    EXPECT_EQ(Build(180, device), (Bytes{0x3F, 0x80, 0, 0, 0x42, 0xC8, 0, 0}));

    EXPECT_EQ(Build(160, device), (Bytes{2}));
    device.m_bCmd160 = 5;
    EXPECT_EQ(Build(160, device), (Bytes{1}));
}

TEST(DeviceRequest, Command183WordsAndFiveByteNumbers) {
    DeviceData device;
    device.m_byCmd143Index = 9;
    device.m_abyCmd143 = {0x11, 0x22, 0x33, 0x44};
    device.m_wCmd143A = 0x1234;
    device.m_wCmd143B = 0xABCD;
    device.m_dCmd143A = -512.0;
    device.m_dCmd143B = 1.0;
    EXPECT_EQ(Build(183, device), (Bytes{9, 0x11, 0x22, 0x33, 0x44, 0x34, 0x12, 0xCD, 0xAB, 0x00,
                                         0x00, 0x00, 0x02, 0x81, 0x00, 0x00, 0x00, 0x01, 0x00}));
}

TEST(DeviceRequest, Command184SelectsFloat) {
    DeviceData device;
    device.m_afCmd144 = {1.0f, 2.0f, 3.0f};
    const struct {
        std::uint8_t select;
        float sent;
    } cases[] = {{0, 1.0f}, {1, 2.0f}, {2, 3.0f}, {7, 3.0f}, {255, 3.0f}};
    for (const auto& c : cases) {
        device.m_byCmd184Select = c.select;
        Bytes expected = FloatBytes(c.sent);
        expected.push_back(c.select);
        EXPECT_EQ(Build(184, device), expected) << int{c.select};
    }
}

TEST(DeviceRequest, SensorDisplayAndBlock) {
    DeviceData device;
    device.m_bySensor1Type = 10;
    device.m_bySensor2Type = 0xFF;
    device.m_byWiring = 0x21;
    device.m_byWorkMode = 0x13;
    device.m_fSensor1Offset = -2.5f;
    device.m_fSensor2Offset = 1.0f;
    EXPECT_EQ(Build(186, device),
              (Bytes{10, 0xFF, 0x21, 0x13, 0xC0, 0x20, 0, 0, 0x3F, 0x80, 0, 0}));

    device.m_byDisplayMode = 2;
    device.m_byDecimals = 3;
    device.m_byAlarmMode = 1;
    EXPECT_EQ(Build(187, device), (Bytes{2, 3, 1}));

    for (std::size_t i = 0; i < device.m_abyBlock.size(); ++i) {
        device.m_abyBlock[i] = static_cast<std::uint8_t>(i + 1);
    }
    const Bytes block = Build(192, device);
    EXPECT_EQ(block, Bytes(device.m_abyBlock.begin(), device.m_abyBlock.end()));
}

// Every member these requests could take set to a value of its own, and
// the bytes worked out by hand (IEEE 754 single, most significant first),
// so a request that sends a neighbouring member fails.
TEST(DeviceRequest, SingleValueRequestsSendTheirOwnMember) {
    DeviceData device;
    device.m_byPollAddr = 3;
    device.m_byNewPollAddr = 12;
    device.m_fFixedCurrent = 12.5f;     // 41 48 00 00
    device.m_fTrimZeroCurrent = 4.0f;   // 40 80 00 00
    device.m_fTrimGainCurrent = 20.0f;  // 41 A0 00 00
    device.m_fCmd137 = -2.0f;           // C0 00 00 00
    device.m_fCmd142 = 0.5f;            // 3F 00 00 00
    device.m_fCmd145 = 250.0f;          // 43 7A 00 00
    device.m_fDamping = 1.5f;           // decoys
    device.m_fCmd150 = 3.0f;
    device.m_fUpperRange = 10.0f;
    device.m_fSensor1Offset = 8.0f;
    device.m_byCmd143Index = 0x2A;
    device.m_byCmd148A = 0x11;
    device.m_byCmd148B = 0x22;
    device.m_byCmd138A = 0x33;
    device.m_byCmd138B = 0x44;

    EXPECT_EQ(Build(6, device), (Bytes{0x0C}));
    EXPECT_EQ(Build(40, device), (Bytes{0x41, 0x48, 0x00, 0x00}));
    EXPECT_EQ(Build(45, device), (Bytes{0x40, 0x80, 0x00, 0x00}));
    EXPECT_EQ(Build(46, device), (Bytes{0x41, 0xA0, 0x00, 0x00}));
    EXPECT_EQ(Build(137, device), (Bytes{0xC0, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Build(143, device), (Bytes{0x2A}));
    EXPECT_EQ(Build(182, device), (Bytes{0x3F, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Build(185, device), (Bytes{0x43, 0x7A, 0x00, 0x00}));
    EXPECT_EQ(Build(188, device), (Bytes{0x11, 0x22}));
    EXPECT_EQ(Build(194, device), (Bytes{0xC0, 0x00, 0x00, 0x00}));
}

}  // namespace
}  // namespace tandrin
