#include <gtest/gtest.h>

#include <vector>

#include "link/hart_ip_message.h"

namespace tandrin {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Seen {
    HartIpHeader header;
    Bytes body;
};

std::vector<Seen> FeedAll(HartIpReader& reader, const Bytes& bytes, std::size_t chunk,
                          bool* ok = nullptr) {
    std::vector<Seen> seen;
    bool all = true;
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        const std::size_t n = std::min(chunk, bytes.size() - at);
        all = reader.Feed(bytes.data() + at, n,
                          [&](const HartIpHeader& h, const std::uint8_t* b, std::size_t length) {
                              seen.push_back({h, Bytes(b, b + length)});
                          }) &&
              all;
    }
    if (ok != nullptr) {
        *ok = all;
    }
    return seen;
}

TEST(HartIpHeader, EncodesAndDecodesBytesWorkedOutByHand) {
    HartIpHeader header;
    header.type = HartIpType::kRequest;
    header.id = HartIpId::kTokenPassingPdu;
    header.sequence = 0x1234;
    header.byteCount = 21;
    std::uint8_t out[8];
    EncodeHartIpHeader(header, out);
    EXPECT_EQ(Bytes(out, out + 8), (Bytes{0x01, 0x00, 0x03, 0x00, 0x12, 0x34, 0x00, 0x15}));

    // A NAK to a keep-alive, status 7, sequence 0xFFFE, byte count 0x0108.
    const Bytes nak{0x01, 0x0F, 0x02, 0x07, 0xFF, 0xFE, 0x01, 0x08};
    const auto decoded = DecodeHartIpHeader(nak.data(), nak.size());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->type, HartIpType::kNak);
    EXPECT_EQ(decoded->id, HartIpId::kKeepAlive);
    EXPECT_EQ(decoded->status, 7);
    EXPECT_EQ(decoded->sequence, 0xFFFE);
    EXPECT_EQ(decoded->byteCount, 0x0108);

    // Session initiate as primary master with a 60 s close time: 60000 = 0xEA60.
    const Bytes initiate =
        HartIpMessage(HartIpHeader{1, HartIpType::kRequest, HartIpId::kSessionInitiate, 0, 0, 0},
                      SessionInitiateBody(kHartIpPrimaryMaster, 60000).data(), 5);
    EXPECT_EQ(initiate, (Bytes{0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0D, 0x01, 0x00, 0x00,
                               0xEA, 0x60}));
    EXPECT_EQ(DescribeHartIpHeader(*DecodeHartIpHeader(initiate.data(), initiate.size())),
              "HART-IP v1 request session initiate seq 0 status 0, 13 bytes");
}

TEST(HartIpHeader, RefusesWhatCannotBeAHeader) {
    const Bytes shortHeader{0x01, 0x01, 0x03, 0x00, 0x00, 0x01, 0x00};
    EXPECT_FALSE(DecodeHartIpHeader(shortHeader.data(), shortHeader.size()));
    const Bytes version2{0x02, 0x01, 0x03, 0x00, 0x00, 0x01, 0x00, 0x08};
    EXPECT_FALSE(DecodeHartIpHeader(version2.data(), version2.size()));
    const Bytes countBelowHeader{0x01, 0x01, 0x03, 0x00, 0x00, 0x01, 0x00, 0x07};
    EXPECT_FALSE(DecodeHartIpHeader(countBelowHeader.data(), countBelowHeader.size()));
    const Bytes oversized{0x01, 0x01, 0x03, 0x00, 0x00, 0x01, 0xFF, 0xFF};
    EXPECT_FALSE(DecodeHartIpHeader(oversized.data(), oversized.size()));
}

TEST(HartIpReader, ReassemblesAStreamCutAnywhere) {
    // Two replies back to back: a 3-byte body, then a bare keep-alive answer.
    const Bytes stream{0x01, 0x01, 0x03, 0x00, 0x00, 0x05, 0x00, 0x0B, 0xAA, 0xBB,
                       0xCC, 0x01, 0x01, 0x02, 0x00, 0x00, 0x06, 0x00, 0x08};
    for (std::size_t chunk = 1; chunk <= stream.size(); ++chunk) {
        HartIpReader reader(true);
        const auto seen = FeedAll(reader, stream, chunk);
        ASSERT_EQ(seen.size(), 2u) << "chunk " << chunk;
        EXPECT_EQ(seen[0].header.sequence, 5);
        EXPECT_EQ(seen[0].body, (Bytes{0xAA, 0xBB, 0xCC}));
        EXPECT_EQ(seen[1].header.id, HartIpId::kKeepAlive);
        EXPECT_TRUE(seen[1].body.empty());
    }
}

TEST(HartIpReader, DropsBadDatagramsAndGivesUpOnABadStream) {
    HartIpReader datagrams(false);
    bool ok = true;
    // Byte count larger than the datagram: truncated.
    EXPECT_TRUE(FeedAll(datagrams, {0x01, 0x01, 0x03, 0x00, 0x00, 0x01, 0x00, 0x0A, 0x06}, 64, &ok)
                    .empty());
    EXPECT_FALSE(ok);
    // Bytes past the byte count are not part of the message.
    const auto seen =
        FeedAll(datagrams, {0x01, 0x01, 0x03, 0x00, 0x00, 0x02, 0x00, 0x09, 0x06, 0xEE}, 64, &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].body, Bytes{0x06});

    HartIpReader stream(true);
    FeedAll(stream, {0x07, 0x01, 0x03, 0x00, 0x00, 0x01, 0x00, 0x08}, 3, &ok);
    EXPECT_FALSE(ok) << "a stream that is not HART-IP cannot be read in step";
}

TEST(HartIpName, ReadsTheFormsATechnicianTypes) {
    HartIpAddress address;
    ASSERT_TRUE(ParseHartIpName("hart-ip://192.168.1.20", address));
    EXPECT_EQ(address.host, "192.168.1.20");
    EXPECT_EQ(address.port, 5094);
    EXPECT_FALSE(address.tcp);
    ASSERT_TRUE(ParseHartIpName("hart-ip+tcp://gw-3.plant.local:20004/", address));
    EXPECT_EQ(address.host, "gw-3.plant.local");
    EXPECT_EQ(address.port, 20004);
    EXPECT_TRUE(address.tcp);
    ASSERT_TRUE(ParseHartIpName("hart-ip://[fe80::1]:5095", address));
    EXPECT_EQ(address.host, "fe80::1");
    EXPECT_EQ(HartIpName(address), "hart-ip://[fe80::1]:5095");

    for (const char* bad :
         {"hart-ip://", "hart-ip://host:", "hart-ip://host:0", "hart-ip://host:65536",
          "hart-ip://host:5x", "/dev/ttyUSB0", "hart-ip://[::1", "hart-ip://user@host"}) {
        EXPECT_FALSE(ParseHartIpName(bad, address)) << bad;
    }
    EXPECT_TRUE(IsHartIpName("hart-ip+tcp://x"));
    EXPECT_FALSE(IsHartIpName("/dev/hart-ip://x"));
}

}  // namespace
}  // namespace tandrin
