#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "link/hart_frame.h"
#include "sim/request_reader.h"

namespace tandrin {
namespace {

using sim::RequestReader;

std::vector<std::uint8_t> Request(std::size_t preambles, std::uint8_t command = 1,
                                  std::vector<std::uint8_t> data = {}) {
    const std::uint8_t address[5] = {0xE0, 0x5A, 0x0A, 0x00, 0x00};
    std::vector<std::uint8_t> out;
    AppendFrame(out, preambles, kRequestLong, address, 5, command, data.data(), data.size());
    out.insert(out.end(), {0xFF, 0xFF});  // the master's trailing bytes
    return out;
}

TEST(RequestReader, HearsTwoToTwentyPreambleBytesOnly) {
    for (std::size_t preambles : {1, 2, 10, 20, 21, 30}) {
        RequestReader reader;
        const auto bytes = Request(preambles);
        reader.Append(bytes.data(), bytes.size());
        const auto request = reader.Next();
        EXPECT_EQ(request.has_value(), preambles >= 2 && preambles <= 20) << preambles;
        if (request) {
            EXPECT_EQ(request->preambles, preambles);
        }
    }
}

TEST(RequestReader, ReadsTheFrameAcrossPiecesAndPastNoise) {
    RequestReader reader;
    std::vector<std::uint8_t> bytes{0x00, 0x13, 0x82, 0x06};  // noise, even delimiter-like
    const auto frame = Request(5, 35, {32, 0x42, 0xC8, 0, 0, 0, 0, 0, 0});
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    std::optional<sim::SimRequest> request;
    std::size_t completedAt = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        reader.Append(&bytes[i], 1);
        if (auto next = reader.Next()) {
            ASSERT_FALSE(request) << "heard twice";
            request = next;
            completedAt = i;
        }
    }
    ASSERT_TRUE(request);
    EXPECT_EQ(completedAt, bytes.size() - 3) << "complete with its checksum, not before";
    EXPECT_TRUE(request->isLong);
    EXPECT_EQ(request->address[0], 0xE0);
    EXPECT_EQ(request->command, 35);
    ASSERT_EQ(request->data.size(), 9u);
    EXPECT_EQ(request->data[1], 0x42);
}

TEST(RequestReader, ABadChecksumCostsOnlyThatFrame) {
    RequestReader reader;
    auto bad = Request(5, 1);
    bad[bad.size() - 3] ^= 0x01;  // the checksum, before the trailing 0xFF 0xFF
    const auto good = Request(5, 2);
    reader.Append(bad.data(), bad.size());
    reader.Append(good.data(), good.size());
    const auto request = reader.Next();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->command, 2);
    EXPECT_FALSE(reader.Next());
}

TEST(RequestReader, AnswersOnTheLineAreNoRequests) {
    RequestReader reader;
    std::vector<std::uint8_t> answer;
    const std::uint8_t address = 0x80;
    const std::uint8_t body[2] = {0, 0};
    AppendFrame(answer, 5, kResponseShort, &address, 1, 0, body, 2);
    reader.Append(answer.data(), answer.size());
    EXPECT_FALSE(reader.Next());
}

TEST(RequestReader, AHugeByteCountCannotSwallowTheLineForever) {
    RequestReader reader;
    const std::vector<std::uint8_t> start{0xFF, 0xFF, 0xFF, 0x82, 0xE0, 0x5A,
                                          0x0A, 0x00, 0x00, 1,    255};
    reader.Append(start.data(), start.size());
    EXPECT_FALSE(reader.Next());
    reader.Reset();  // the line went quiet
    const auto frame = Request(5, 3);
    reader.Append(frame.data(), frame.size());
    const auto request = reader.Next();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->command, 3);
    EXPECT_LE(reader.Pending(), RequestReader::kCapacity);
}

}  // namespace
}  // namespace tandrin
