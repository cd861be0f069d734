#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "link/command_flags.h"
#include "link/hart_frame.h"
#include "link/hart_master.h"
#include "support/fake_port.h"

namespace tandrin {
namespace {

using test::Command0Response;
using test::LongResponse;

const std::array<std::uint8_t, 5> kAddress{0x9A, 0x05, 0x00, 0x00, 0x01};

// A master waiting for the answer to `command`, with no port behind it.
class ResponseScanner : public ::testing::Test {
  protected:
    void SetUp() override {
        cancelFlag = 0;
        master.SetEventLoop(&loop);
        master.m_abyLongAddr = kAddress;
    }
    void Expect(std::uint8_t command) { master.SendCommand(nullptr, nullptr, command); }
    void Feed(const std::vector<std::uint8_t>& bytes) {
        master.AppendReceived(bytes.data(), bytes.size());
    }
    static std::vector<std::uint8_t> Cmd1Data(float pv) {
        std::uint8_t b[4];
        std::memcpy(b, &pv, 4);
        return {32, b[3], b[2], b[1], b[0]};
    }

    VirtualEventLoop loop;
    HartMaster master;
};

TEST_F(ResponseScanner, AcceptsAtMostTenNoiseBytesBeforeThePreamble) {
    const auto frame = LongResponse(kAddress, 1, Cmd1Data(21.5f), 0, 3);
    for (std::size_t noise : {0, 1, 9, 10, 11, 20}) {
        Expect(1);
        std::vector<std::uint8_t> bytes(noise, 0x5A);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
        Feed(bytes);
        EXPECT_EQ(master.ResponseComplete(), noise <= 10) << noise << " noise bytes";
    }
}

TEST_F(ResponseScanner, AReplyInTheOtherAddressFormIsRejected) {
    // Read at the wrong offsets, either would pass for values.
    const std::uint8_t pollAddress = 0x80;
    auto body = Cmd1Data(99.0f);
    body.insert(body.begin(), {0x00, 0x00});  // status bytes
    std::vector<std::uint8_t> shortReplyTo1;
    AppendFrame(shortReplyTo1, 5, kResponseShort, &pollAddress, 1, 1, body.data(), body.size());
    Expect(1);
    Feed(shortReplyTo1);
    EXPECT_FALSE(master.ResponseComplete()) << "short reply to command 1";
    EXPECT_FLOAT_EQ(master.m_fPV, 0.0f);

    const std::vector<std::uint8_t> identity{254, 0x1A, 0x2B, 5, 5, 1, 1, 0x10, 0x00, 1, 2, 3};
    Expect(0);
    Feed(LongResponse(kAddress, 0, identity));
    EXPECT_FALSE(master.ResponseComplete()) << "long reply to command 0";
    EXPECT_EQ(master.m_abyLongAddr, kAddress);

    Expect(0);
    Feed(Command0Response(0, 0x1A, 0x2B, {1, 2, 3}));
    EXPECT_TRUE(master.ResponseComplete()) << "the short reply it expects";
}

TEST_F(ResponseScanner, NoiseBetweenPreambleAndDelimiterIsPassedOver) {
    Expect(1);
    auto bytes = std::vector<std::uint8_t>{0xFF, 0x00, 0x13, 0x42};
    const auto frame = LongResponse(kAddress, 1, Cmd1Data(21.5f), 0, 0);
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    Feed(bytes);
    EXPECT_TRUE(master.ResponseComplete());
    EXPECT_FLOAT_EQ(master.m_fPV, 21.5f);
}

TEST_F(ResponseScanner, ADelimiterAtIndexFortyOrLaterIsNotFound) {
    const auto frame = LongResponse(kAddress, 42, {}, 0, 0);
    for (std::size_t preambles : {39, 40}) {
        Expect(42);
        std::vector<std::uint8_t> bytes(preambles, 0xFF);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
        Feed(bytes);
        EXPECT_EQ(master.ResponseComplete(), preambles == 39) << preambles << " preambles";
    }
}

TEST_F(ResponseScanner, ChunkedArrivalIsAcceptedOnTheCompletingChunk) {
    Expect(1);
    const auto frame = LongResponse(kAddress, 1, Cmd1Data(-3.25f));
    for (std::size_t i = 0; i + 1 < frame.size(); ++i) {
        Feed({frame[i]});
        ASSERT_FALSE(master.ResponseComplete()) << "accepted after " << i + 1 << " bytes";
    }
    Feed({frame.back()});
    EXPECT_TRUE(master.ResponseComplete());
    EXPECT_FLOAT_EQ(master.m_fPV, -3.25f);
}

TEST_F(ResponseScanner, NothingIsJudgedBeforeSixteenBytesAreHeld) {
    Expect(42);
    // Two preamble bytes and an 11-byte frame: whole, but only 13 bytes.
    const auto frame = LongResponse(kAddress, 42, {}, 0, 2);
    ASSERT_EQ(frame.size(), 13u);
    Feed(frame);
    EXPECT_FALSE(master.ResponseComplete());
    Feed({0xFF, 0xFF});
    EXPECT_FALSE(master.ResponseComplete());
    Feed({0xFF});
    EXPECT_TRUE(master.ResponseComplete());
}

TEST_F(ResponseScanner, RejectedFramesLeaveTheDeviceModelAlone) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        bool stillReceiving;
    };
    auto badChecksum = LongResponse(kAddress, 1, Cmd1Data(99.0f));
    badChecksum.back() ^= 0x01;
    const Case cases[] = {
        {"communication error flags", LongResponse(kAddress, 1, Cmd1Data(99.0f), 0x88), true},
        {"busy", LongResponse(kAddress, 1, Cmd1Data(99.0f), 32), true},
        {"bad checksum", badChecksum, true},
        {"answer to another command", LongResponse(kAddress, 2, Cmd1Data(99.0f)), false},
        {"byte count the parser refuses", LongResponse(kAddress, 1, {32, 0, 0, 0, 0, 0}), false},
    };
    for (const Case& c : cases) {
        master.m_fPV = 1.0f;
        Expect(1);
        Feed(c.bytes);
        EXPECT_FALSE(master.ResponseComplete()) << c.what;
        EXPECT_EQ(master.Receiving(), c.stillReceiving) << c.what;
        EXPECT_FLOAT_EQ(master.m_fPV, 1.0f) << c.what;
    }
}

TEST_F(ResponseScanner, BytesAfterAFrameHandedToTheDispatchAreIgnored) {
    Expect(1);
    Feed(LongResponse(kAddress, 1, {32, 0, 0, 0, 0, 0}));  // refused by the parser
    Feed(LongResponse(kAddress, 1, Cmd1Data(7.0f)));
    EXPECT_FALSE(master.ResponseComplete());
    EXPECT_FLOAT_EQ(master.m_fPV, 0.0f);

    Expect(1);
    Feed(LongResponse(kAddress, 1, Cmd1Data(7.0f)));
    Feed(LongResponse(kAddress, 1, Cmd1Data(8.0f)));
    EXPECT_TRUE(master.ResponseComplete());
    EXPECT_FLOAT_EQ(master.m_fPV, 7.0f);
}

TEST_F(ResponseScanner, BytesPastTheBufferAreDropped) {
    Expect(1);
    std::vector<std::uint8_t> flood(200, 0xFF);
    Feed(flood);
    Feed(LongResponse(kAddress, 1, Cmd1Data(7.0f)));
    EXPECT_EQ(master.m_byRxCount, HartMaster::kRxLimit);
    EXPECT_FALSE(master.ResponseComplete());
}

TEST_F(ResponseScanner, ShortAndLongResponsesAreBothRead) {
    master.m_byPollAddr = 3;
    Expect(0);
    Feed(Command0Response(3, 0x26, 0x10, {0x00, 0x12, 0x34}));
    EXPECT_TRUE(master.ResponseComplete());
    EXPECT_EQ(master.m_abyLongAddr, (std::array<std::uint8_t, 5>{0xA6, 0x10, 0x00, 0x12, 0x34}));

    Expect(0);
    Feed(Command0Response(4, 0x26, 0x10, {0x00, 0x12, 0x34}));
    EXPECT_FALSE(master.ResponseComplete()) << "another polling address answered";
}

TEST_F(ResponseScanner, NothingIsTakenWhileNotReceiving) {
    Feed(LongResponse(kAddress, 1, Cmd1Data(7.0f)));
    EXPECT_EQ(master.m_byRxCount, 0);
    EXPECT_FALSE(master.ResponseComplete());
}

}  // namespace
}  // namespace tandrin
