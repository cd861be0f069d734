#include <gtest/gtest.h>

#include <vector>

#include "link/hart_ip_message.h"
#include "link/hart_ip_port.h"

namespace tandrin {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kReplyFrame{0x86, 0xA0, 0x5A, 0x0A, 0x00, 0x00, 0x01, 0x02, 0x00, 0x00, 0x77};

Bytes Message(HartIpType type, HartIpId id, std::uint16_t sequence, const Bytes& body = {},
              std::uint8_t status = 0) {
    return HartIpMessage(HartIpHeader{1, type, id, status, sequence, 0}, body.data(), body.size());
}

// What the master is handed for the PDU out, as the receive thread would
// hand it over.
class ReplyMatching : public ::testing::Test {
  protected:
    void Unwrap(const Bytes& bytes) {
        port.Unwrap(bytes.data(), bytes.size(), [this](const std::uint8_t* b, std::size_t n) {
            handed.push_back(Bytes(b, b + n));
        });
    }
    HartIpPort port;
    std::vector<Bytes> handed;
};

TEST_F(ReplyMatching, OnlyTheFirstReplyToTheRequestOutReachesTheMaster) {
    port.ExpectReplyForTesting(false, 41);
    Unwrap(Message(HartIpType::kResponse, HartIpId::kTokenPassingPdu, 40, kReplyFrame));  // late
    Unwrap(Message(HartIpType::kResponse, HartIpId::kKeepAlive, 41));
    Unwrap(Message(HartIpType::kRequest, HartIpId::kTokenPassingPdu, 41, kReplyFrame));
    Unwrap(Message(HartIpType::kPublish, HartIpId::kTokenPassingPdu, 41, kReplyFrame));
    EXPECT_TRUE(handed.empty());

    Unwrap(Message(HartIpType::kResponse, HartIpId::kTokenPassingPdu, 41, kReplyFrame));
    Unwrap(Message(HartIpType::kResponse, HartIpId::kTokenPassingPdu, 41, kReplyFrame));  // again
    ASSERT_EQ(handed.size(), 1u);
    // Preambles, as a modem delivers a frame: this one has only its status
    // bytes, so as many as bring it to the 16 bytes the master scans.
    Bytes expected(HartIpPort::kReplyMinBytes - kReplyFrame.size(), 0xFF);
    expected.insert(expected.end(), kReplyFrame.begin(), kReplyFrame.end());
    EXPECT_EQ(handed[0], expected);

    port.ExpectReplyForTesting(false, 42);
    Bytes longer = kReplyFrame;
    longer[7] = 6;  // byte count: four data bytes more
    longer.insert(longer.end() - 1, {1, 2, 3, 4});
    Unwrap(Message(HartIpType::kResponse, HartIpId::kTokenPassingPdu, 42, longer));
    ASSERT_EQ(handed.size(), 2u);
    EXPECT_EQ(handed[1].size(), longer.size() + HartIpPort::kReplyPreambles);
    EXPECT_EQ(port.LineProblem(), PortOpenError::kNone);
}

TEST_F(ReplyMatching, ANakOrAnErrorIsKeptAsTheLinesProblemAndHandsNothingOver) {
    port.ExpectReplyForTesting(true, 7);
    Unwrap(Message(HartIpType::kNak, HartIpId::kTokenPassingPdu, 7));
    EXPECT_EQ(port.LineProblem(), PortOpenError::kServerNak);

    port.ExpectReplyForTesting(true, 8);
    Unwrap(Message(HartIpType::kResponse, HartIpId::kTokenPassingPdu, 8, kReplyFrame, 2));
    EXPECT_EQ(port.LineProblem(), PortOpenError::kServerError);
    EXPECT_TRUE(handed.empty());
}

}  // namespace
}  // namespace tandrin
