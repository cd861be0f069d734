#include <gtest/gtest.h>

#include <vector>

#include "link/hart_master.h"

namespace tandrin {
namespace {

std::vector<std::uint8_t> TxBytes(const HartMaster& master) {
    return {master.m_abyTxFrame.begin(), master.m_abyTxFrame.begin() + master.m_nTxLength};
}

// Ten preamble bytes followed by `rest`.
std::vector<std::uint8_t> Framed(std::initializer_list<std::uint8_t> rest) {
    std::vector<std::uint8_t> frame(10, 0xFF);
    for (const std::uint8_t byte : rest) {
        frame.push_back(byte);
    }
    return frame;
}

TEST(RequestFrame, Command0IsAShortFrameToThePollingAddress) {
    HartMaster master;
    master.BuildRequest(0);
    EXPECT_EQ(TxBytes(master), Framed({0x02, 0x80, 0x00, 0x00, 0x82, 0xFF, 0xFF}));

    master.m_byPollAddr = 15;
    master.BuildRequest(0);
    EXPECT_EQ(master.m_nTxLength, 17);
    EXPECT_EQ(master.m_abyTxFrame[11], 0x8F);
    EXPECT_EQ(master.m_abyTxFrame[14], 0x02 ^ 0x8F);
}

TEST(RequestFrame, Command1IsALongFrameToTheLongAddress) {
    HartMaster master;
    master.m_abyLongAddr = {0x9A, 0x05, 0x00, 0x00, 0x01};
    master.BuildRequest(1);
    EXPECT_EQ(TxBytes(master),
              Framed({0x82, 0x9A, 0x05, 0x00, 0x00, 0x01, 0x01, 0x00, 0x1D, 0xFF, 0xFF}));
}

TEST(RequestFrame, DataFollowsTheByteCountAndTheChecksumCoversIt) {
    HartMaster master;
    master.m_abyLongAddr = {0xA6, 0x10, 0x01, 0x02, 0x03};
    master.m_fDamping = 1.0f;
    master.BuildRequest(34);
    ASSERT_EQ(master.m_nTxLength, 25);
    EXPECT_EQ(master.m_abyTxFrame[16], 34);
    EXPECT_EQ(master.m_abyTxFrame[17], 4);
    EXPECT_EQ(std::vector<std::uint8_t>(&master.m_abyTxFrame[18], &master.m_abyTxFrame[22]),
              (std::vector<std::uint8_t>{0x3F, 0x80, 0x00, 0x00}));
    std::uint8_t sum = 0;
    for (int i = 10; i <= 22; ++i) {
        sum ^= master.m_abyTxFrame[i];
    }
    EXPECT_EQ(sum, 0) << "checksum must cancel the delimiter through the data";
    EXPECT_EQ(master.m_abyTxFrame[23], 0xFF);
    EXPECT_EQ(master.m_abyTxFrame[24], 0xFF);
}

TEST(RequestFrame, CommandsWithoutARequestYieldNothingToSend) {
    HartMaster master;
    master.BuildRequest(1);
    ASSERT_EQ(master.m_nTxLength, 21);
    // 139 and 189 have no layout: refusing them beats resending the
    // previous request under their number.
    for (int command : {4, 139, 154, 189, 195, 200, 255}) {
        master.BuildRequest(static_cast<std::uint8_t>(command));
        EXPECT_EQ(master.m_nTxLength, 0) << "command " << command;
    }
}

TEST(RequestFrame, TheLargestRequestFitsTheTransmitBuffer) {
    HartMaster master;
    master.BuildRequest(192);  // 35 data bytes
    EXPECT_EQ(master.m_nTxLength, 56);
    EXPECT_LE(static_cast<std::size_t>(master.m_nTxLength), master.m_abyTxFrame.size());
}

}  // namespace
}  // namespace tandrin
