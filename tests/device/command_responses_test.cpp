#include "device/command_responses.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "device/command_requests.h"
#include "device/encodings.h"
#include "device_test_support.h"

namespace tandrin {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::ChineseUiScope;
using test::IdentityResponse;
using test::LongResponse;
using test::Parse;

Bytes Float(float value) {
    Bytes bytes(4);
    EncodeFloat(value, bytes.data());
    return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// Command 0 data: manufacturer code at 1, device type at 2, device id at 9..11.
Bytes Identity(std::uint8_t manufacturer) {
    return {254, manufacturer, 0x05, 5, 5, 1, 1, 0x10, 0x00, 0x12, 0x34, 0x56};
}

TEST(DeviceCommand0, AcceptsOnlyThePolledAddress) {
    DeviceData device;
    device.m_byPollAddr = 3;
    EXPECT_TRUE(Parse(0, IdentityResponse(0x83, Identity(0x26)), device));
    EXPECT_EQ(device.m_abyLongAddr, (std::array<std::uint8_t, 5>{0xA6, 0x05, 0x12, 0x34, 0x56}));

    const DeviceData before = device;
    EXPECT_FALSE(Parse(0, IdentityResponse(0x84, Identity(0x11)), device));
    EXPECT_EQ(device, before);
}

TEST(DeviceCommand0, ManufacturerCodeGetsTopBit) {
    DeviceData device;
    ASSERT_TRUE(Parse(0, IdentityResponse(0x80, Identity(0xE0)), device));
    EXPECT_EQ(device.m_abyLongAddr[0], 0xE0);
}

TEST(DeviceCommand0, RejectsReplyTooShortForTheDeviceId) {
    DeviceData device;
    Bytes shortIdentity = Identity(0x26);
    shortIdentity.pop_back();
    EXPECT_FALSE(Parse(0, IdentityResponse(0x80, shortIdentity), device));
    EXPECT_EQ(device, DeviceData{});
}

TEST(DeviceCommand1, StoresUnitAndValueOnlyWithExactCount) {
    ChineseUiScope scope(0);
    DeviceData device;
    device.m_fPV = 7.0f;
    EXPECT_FALSE(Parse(1, LongResponse(1, Join({{32}, Float(100.0f), {0}})), device));
    EXPECT_EQ(device.m_fPV, 7.0f);

    ASSERT_TRUE(Parse(1, LongResponse(1, Join({{32}, Float(100.0f)})), device));
    EXPECT_EQ(device.m_fPV, 100.0f);
    EXPECT_EQ(device.m_strPVUnit, "\xB0\x43");

    chineseUi = 1;
    ASSERT_TRUE(Parse(1, LongResponse(1, Join({{32}, Float(1.0f)})), device));
    EXPECT_EQ(device.m_strPVUnit, "\xA1\xE6");
    ASSERT_TRUE(Parse(1, LongResponse(1, Join({{34}, Float(1.0f)})), device));
    EXPECT_EQ(device.m_strPVUnit, "?");
}

TEST(DeviceProcessValues, CurrentPercentAndDynamicVariables) {
    DeviceData device;
    ASSERT_TRUE(Parse(2, LongResponse(2, Join({Float(12.0f), Float(50.0f)})), device));
    EXPECT_EQ(device.m_fLoopCurrent, 12.0f);
    EXPECT_EQ(device.m_fPercentRange, 50.0f);

    const Bytes dynamic =
        Join({Float(4.0f), {32}, Float(1.0f), {32}, Float(2.0f), {32}, Float(3.0f)});
    ASSERT_TRUE(Parse(3, LongResponse(3, dynamic), device));
    EXPECT_EQ(device.m_fDynPV, 1.0f);
    EXPECT_EQ(device.m_fDynSV, 2.0f);
    EXPECT_EQ(device.m_fDynTV, 3.0f);
}

TEST(DeviceTextsAndDate, MessageTagDescriptorDate) {
    DeviceData device;
    Bytes message(24);
    PackText("HELLO", 32, false, message.data());
    ASSERT_TRUE(Parse(12, LongResponse(12, message), device));
    EXPECT_EQ(device.m_strMessage, "HELLO");

    Bytes data(21);
    PackText("SENSOR", 8, false, data.data());
    PackText("BOILER ROOM", 16, false, data.data() + 6);
    data[18] = 15;
    data[19] = 6;
    data[20] = 108;
    ASSERT_TRUE(Parse(13, LongResponse(13, data), device));
    EXPECT_EQ(device.m_strTag, "SENSOR");
    EXPECT_EQ(device.m_strDescriptor, "BOILER ROOM");
    EXPECT_EQ(device.m_byDateDay, 15);
    EXPECT_EQ(device.m_byDateMonth, 6);
    EXPECT_EQ(device.m_wDateYear, 2008);
}

TEST(DeviceTextsAndDate, DateRoundTripsThroughWriteAndRead) {
    DeviceData device;
    device.m_byDateDay = 31;
    device.m_byDateMonth = 12;
    device.m_wDateYear = 2008;
    Bytes request(kMaxRequestData);
    ASSERT_EQ(BuildRequestData(18, device, request.data()), 21);
    request.resize(21);

    DeviceData readBack;
    ASSERT_TRUE(Parse(13, LongResponse(13, request), readBack));
    EXPECT_EQ(readBack.m_wDateYear, 2008);
    EXPECT_EQ(readBack.m_byDateDay, 31);
    EXPECT_EQ(readBack.m_byDateMonth, 12);
}

TEST(DeviceRange, SensorLimitsAndFinalAssembly) {
    DeviceData device;
    const Bytes limits = Join({{1, 2, 3, 37}, Float(400.0f), Float(-1.0f), Float(10.0f)});
    ASSERT_TRUE(Parse(14, LongResponse(14, limits), device));
    EXPECT_EQ(device.m_strSensorLimitUnit, "Ohm");
    EXPECT_EQ(device.m_fSensorUpperLimit, 400.0f);
    EXPECT_EQ(device.m_fSensorLowerLimit, -1.0f);

    ASSERT_TRUE(Parse(16, LongResponse(16, {0x0A, 0x1B, 0x2C}), device));
    EXPECT_EQ(device.m_strFinalAssembly, "0A1B2C");
}

// Standard command 15 layout: 17 data bytes.
Bytes OutputInfo() {
    return Join({{0, 0, 35}, Float(100.0f), Float(-50.0f), Float(2.5f), {0, 0}});
}

TEST(DeviceRange, Command15NeedsEveryFieldItReads) {
    DeviceData device;
    const Bytes full = OutputInfo();
    EXPECT_FALSE(Parse(15, LongResponse(15, Bytes(full.begin(), full.begin() + 14)), device));
    EXPECT_EQ(device, DeviceData{});

    ASSERT_TRUE(Parse(15, LongResponse(15, Bytes(full.begin(), full.begin() + 15)), device));
    ASSERT_TRUE(Parse(15, LongResponse(15, full), device));
    EXPECT_EQ(device.m_strPVUnit, "K");
    EXPECT_EQ(device.m_fUpperRange, 100.0f);
    EXPECT_EQ(device.m_fLowerRange, -50.0f);
    EXPECT_EQ(device.m_fDamping, 2.5f);
}

TEST(DeviceSensorAndDisplay, ConfigurationAndDisplaySettings) {
    DeviceData device;
    const Bytes config = Join({{10, 0xFF, 0x01, 0x03}, Float(-2.5f), Float(1.0f)});
    ASSERT_TRUE(Parse(146, LongResponse(146, config), device));
    EXPECT_EQ(device.m_bySensor1Type, 10);
    EXPECT_EQ(device.m_bySensor2Type, 0xFF);
    EXPECT_EQ(device.m_byWiring, 0x01);
    EXPECT_EQ(device.m_byWorkMode, 0x03);
    EXPECT_EQ(device.m_fSensor1Offset, -2.5f);
    EXPECT_EQ(device.m_fSensor2Offset, 1.0f);

    ASSERT_TRUE(Parse(147, LongResponse(147, {4, 2, 1}), device));
    EXPECT_EQ(device.m_byDisplayMode, 4);
    EXPECT_EQ(device.m_byDecimals, 2);
    EXPECT_EQ(device.m_byAlarmMode, 1);
}

TEST(DeviceSpecific, Command143WordsAndFiveByteNumbers) {
    DeviceData device;
    const Bytes data = {9,    0x11, 0x22, 0x33, 0x44, 0x34, 0x12, 0xCD, 0xAB, 0x00,
                        0x00, 0x00, 0x02, 0x81, 0x00, 0x00, 0x80, 0x01, 0x00};
    ASSERT_TRUE(Parse(143, LongResponse(143, data), device));
    EXPECT_EQ(device.m_byCmd143Index, 9);
    EXPECT_EQ(device.m_abyCmd143, (std::array<std::uint8_t, 4>{0x11, 0x22, 0x33, 0x44}));
    EXPECT_EQ(device.m_wCmd143A, 0x1234);
    EXPECT_EQ(device.m_wCmd143B, 0xABCD);
    EXPECT_EQ(device.m_dCmd143A, -512.0);
    EXPECT_EQ(device.m_dCmd143B, 1.5);

    // What was read goes back unchanged by command 183.
    Bytes request(kMaxRequestData);
    ASSERT_EQ(BuildRequestData(183, device, request.data()), 19);
    request.resize(19);
    EXPECT_EQ(request, data);
}

TEST(DeviceSpecific, StepsAreKeptDividedByThree) {
    DeviceData device;
    ASSERT_TRUE(Parse(150, LongResponse(150, Join({Float(1.0f), {10}})), device));
    EXPECT_EQ(device.m_fCmd150, 1.0f);
    EXPECT_EQ(device.m_byCmd150Steps, 3);
    Bytes request(kMaxRequestData);
    ASSERT_EQ(BuildRequestData(190, device, request.data()), 5);
    EXPECT_EQ(request[4], 9);
}

TEST(DeviceSpecific, BlockReadLeavesLastByte) {
    DeviceData device;
    device.m_abyBlock.fill(0x55);
    Bytes data(34);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i);
    }
    for (std::uint8_t command : {152, 153}) {
        ASSERT_TRUE(Parse(command, LongResponse(command, data), device));
        EXPECT_TRUE(std::equal(data.begin(), data.end(), device.m_abyBlock.begin()));
        EXPECT_EQ(device.m_abyBlock[34], 0x55);
    }
}

TEST(DeviceSpecific, SmallReads) {
    DeviceData device;
    ASSERT_TRUE(Parse(141, LongResponse(141, {1, 2, 3, 4, 5}), device));
    EXPECT_EQ(device.m_abyCmd141, (std::array<std::uint8_t, 5>{1, 2, 3, 4, 5}));
    ASSERT_TRUE(Parse(144, LongResponse(144, Join({Float(1), Float(2), Float(3)})), device));
    EXPECT_EQ(device.m_afCmd144, (std::array<float, 3>{1, 2, 3}));
    ASSERT_TRUE(Parse(161, LongResponse(161, {0x01, 0x02, 0x03, 0x04}), device));
    EXPECT_EQ(device.m_abyCmd161, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    ASSERT_TRUE(Parse(162, LongResponse(162, {1, 2, 3, 0, 0, 0, 0}), device));
    EXPECT_EQ(device.m_strSoftwareVersion, "V1.23");
    ASSERT_TRUE(Parse(162, LongResponse(162, {10, 0, 255, 0, 0, 0, 0}), device));
    EXPECT_EQ(device.m_strSoftwareVersion, "V10.0255");
}

// Every parser that checks an exact byte count: the count is accepted,
// one more or one less is rejected without touching the device model.
TEST(DeviceByteCounts, ExactCountAcceptedNeighboursRejected) {
    const struct {
        std::uint8_t command;
        std::uint8_t count;
    } cases[] = {
        {1, 7},    {2, 10},   {3, 21},   {12, 26},  {13, 23},  {14, 18},  {16, 5},   {140, 10},
        {141, 7},  {142, 6},  {143, 21}, {144, 14}, {145, 6},  {146, 14}, {147, 5},  {148, 4},
        {150, 7},  {152, 36}, {153, 36}, {161, 6},  {162, 9},  {36, 2},   {37, 2},   {42, 2},
        {163, 2},  {164, 2},  {6, 3},    {160, 3},  {188, 4},  {19, 5},   {187, 5},  {34, 6},
        {40, 6},   {45, 6},   {46, 6},   {137, 6},  {139, 6},  {169, 6},  {182, 6},  {185, 6},
        {194, 6},  {181, 7},  {184, 7},  {190, 7},  {138, 8},  {189, 9},  {180, 10}, {35, 11},
        {186, 14}, {183, 21}, {18, 23},  {17, 26},  {192, 37},
    };
    for (const auto& c : cases) {
        const Bytes data(c.count - 2u, 0x41);
        for (int delta : {-1, 1}) {
            DeviceData device;
            const DeviceData before = device;
            auto record = LongResponse(c.command, data);
            record.byteCount = static_cast<std::uint8_t>(c.count + delta);
            EXPECT_FALSE(Parse(c.command, record, device)) << int{c.command} << " " << delta;
            EXPECT_EQ(device, before) << int{c.command};
        }
        DeviceData device;
        EXPECT_TRUE(Parse(c.command, LongResponse(c.command, data), device)) << int{c.command};
    }
}

TEST(DeviceRejected, UnknownCommandsAndCommand149) {
    DeviceData device;
    for (int count = 0; count < 256; ++count) {
        auto record = LongResponse(149, Bytes(20));
        record.byteCount = static_cast<std::uint8_t>(count);
        EXPECT_FALSE(Parse(149, record, device)) << count;
    }
    for (int command : {4, 151, 154, 165, 179, 191, 193, 195, 200, 255}) {
        EXPECT_FALSE(Parse(static_cast<std::uint8_t>(command), LongResponse(0, Bytes(10)), device))
            << command;
    }
    EXPECT_EQ(device, DeviceData{});
}

}  // namespace
}  // namespace tandrin
