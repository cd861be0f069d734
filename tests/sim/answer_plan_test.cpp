#include <gtest/gtest.h>

#include <numeric>

#include "device/command_requests.h"
#include "link/command_timing.h"
#include "link/hart_frame.h"
#include "sim/answer_plan.h"
#include "sim/fault_plan.h"

namespace tandrin {
namespace {

using sim::FaultKind;
using sim::FaultRule;

FaultRule Fault(const char* text) {
    FaultRule fault;
    std::string error;
    EXPECT_TRUE(sim::ParseFaultRule(text, fault, error)) << text << ": " << error;
    return fault;
}

std::vector<std::uint8_t> Joined(const sim::AnswerPlan& plan) {
    std::vector<std::uint8_t> bytes;
    for (const auto& write : plan.writes) {
        bytes.insert(bytes.end(), write.bytes.begin(), write.bytes.end());
    }
    return bytes;
}

class AnswerFrames : public ::testing::Test {
  protected:
    sim::SimDevice device{sim::DeviceConfig{}};
    sim::SimRequest request = [] {
        sim::SimRequest r;
        r.isLong = true;
        r.address = {0xE0, 0x5A, 0x0A, 0x00, 0x00};
        r.command = 1;
        return r;
    }();
    sim::SimReply reply{0, 0x40, {32, 0x41, 0xAC, 0x00, 0x00}};
};

TEST_F(AnswerFrames, TheFrameIsAStandardLongAnswer) {
    const auto frame = sim::BuildAnswerFrame(device, request, reply, {});
    ASSERT_EQ(frame.size(), 5u + 9 + 7);
    const auto header = FindFrameHeader(frame.data(), frame.size(), kResponseShort, 10, 40);
    ASSERT_TRUE(header);
    EXPECT_TRUE(header->isLong);
    EXPECT_EQ(header->command, 1);
    EXPECT_EQ(header->byteCount, 7);
    EXPECT_EQ(frame[6], 0xA0) << "the request's address, burst bit clear";
    EXPECT_EQ(XorChecksum(&frame[header->delimiter], header->frameLength), 0);
}

TEST_F(AnswerFrames, FaultsThatChangeBytes) {
    auto frame = sim::BuildAnswerFrame(device, request, reply, {Fault("checksum")});
    EXPECT_NE(XorChecksum(&frame[5], frame.size() - 5), 0);

    frame = sim::BuildAnswerFrame(device, request, reply, {Fault("command")});
    EXPECT_EQ(frame[5 + 6], 2);
    EXPECT_EQ(XorChecksum(&frame[5], frame.size() - 5), 0) << "a sound frame for the wrong command";

    frame = sim::BuildAnswerFrame(device, request, reply, {Fault("code=16")});
    EXPECT_EQ(frame[5 + 7], 2) << "an error answer carries the status bytes only";
    EXPECT_EQ(frame[5 + 8], 16);
}

TEST_F(AnswerFrames, PacedAnswersGoByteByByteAfterTheTurnAround) {
    const auto frame = sim::BuildAnswerFrame(device, request, reply, {});
    std::mt19937 random(1);
    const auto plan = sim::PlanAnswer(frame, {}, sim::LinePacing{}, random);
    EXPECT_DOUBLE_EQ(plan.startDelayMs, 20);
    ASSERT_EQ(plan.writes.size(), frame.size());
    EXPECT_DOUBLE_EQ(plan.writes[1].atMs, sim::LinePacing::kByteMs);
    EXPECT_NEAR(plan.lineMs, frame.size() * 9.1667, 0.01);
    EXPECT_EQ(Joined(plan), frame);
}

TEST_F(AnswerFrames, FaultsThatChangeTheShape) {
    const auto frame = sim::BuildAnswerFrame(device, request, reply, {});
    std::mt19937 random(1);
    sim::LinePacing fast;
    fast.paced = false;

    auto plan = sim::PlanAnswer(frame, {Fault("split=3"), Fault("late=250")}, fast, random);
    ASSERT_EQ(plan.writes.size(), 3u);
    EXPECT_DOUBLE_EQ(plan.writes[2].atMs, 2 * sim::LinePacing::kBurstGapMs);
    EXPECT_DOUBLE_EQ(plan.startDelayMs, 250);
    EXPECT_EQ(Joined(plan), frame);

    plan = sim::PlanAnswer(frame, {Fault("noise=6")}, fast, random);
    const auto bytes = Joined(plan);
    ASSERT_EQ(bytes.size(), frame.size() + 6);
    EXPECT_EQ(std::count(bytes.begin(), bytes.begin() + 6, kPreambleByte), 0);

    plan = sim::PlanAnswer(frame, {Fault("hangup=9")}, sim::LinePacing{}, random);
    EXPECT_TRUE(plan.hangUp);
    EXPECT_EQ(Joined(plan), std::vector<std::uint8_t>(frame.begin(), frame.begin() + 9));

    EXPECT_TRUE(sim::PlanAnswer(frame, {Fault("silence")}, fast, random).silent);
}

// At line pace with five preambles, the last byte of every answer must
// reach the tool's scanner before the receive phase ends, with room for a
// busy machine.
TEST(AnswerTiming, PacedAnswersFitTheToolsPeriods) {
    sim::SimDevice device{sim::DeviceConfig{}};
    const CommandTiming timing;
    std::mt19937 random(1);
    double tightest = 1e9;
    for (int command = 0; command < 256; ++command) {
        DeviceData data;
        data.m_strPVUnit = "\xB0\x43";
        data.m_fUpperRange = 100;
        data.m_bySensor1Type = 10;
        data.m_fTrimZeroCurrent = 4;
        data.m_fTrimGainCurrent = 20;
        sim::SimRequest request;
        request.isLong = command != 0;
        request.address =
            command == 0 ? std::array<std::uint8_t, 5>{0x80} : device.ToolLongAddress();
        request.command = static_cast<std::uint8_t>(command);
        request.data.resize(kMaxRequestData);
        const int n =
            command == 0 ? 0 : BuildRequestData(request.command, data, request.data.data());
        if (n < 0 || command == 42) {
            continue;  // nothing the tool sends; a reset is not timed
        }
        request.data.resize(static_cast<std::size_t>(n));
        const int requestBytes = command == 0 ? 17 : 21 + n;
        const auto reply = device.Handle(request, 100.0 * command);
        ASSERT_TRUE(reply) << command;
        const auto frame = sim::BuildAnswerFrame(device, request, *reply, {});
        const auto plan = sim::PlanAnswer(frame, {}, sim::LinePacing{}, random);
        const double handedOver =
            requestBytes * sim::LinePacing::kByteMs + plan.startDelayMs + plan.lineMs;
        const double due = timing.TransmitPeriod(request.command, requestBytes) +
                           timing.ReceivePeriod(request.command);
        EXPECT_LT(handedOver + 30, due) << "command " << command;
        tightest = std::min(tightest, due - handedOver);
    }
    RecordProperty("tightest_margin_ms", static_cast<int>(tightest));
}

TEST(FaultRules, ParseKindsValuesAndSelectors) {
    FaultRule fault = Fault("late=900,cmd=1,skip=2,count=3");
    EXPECT_EQ(fault.kind, FaultKind::kLate);
    EXPECT_EQ(fault.value, 900u);
    EXPECT_EQ(fault.command, 1);
    EXPECT_EQ(fault.skip, 2u);
    EXPECT_EQ(fault.count, 3u);
    EXPECT_EQ(Fault("code").value, 32u);
    EXPECT_EQ(Fault("split").value, 3u);

    std::string error;
    for (const char* bad : {"", "jam", "noise=0", "checksum=3", "split=1", "late=x",
                            "silence,cmd=256", "silence,when=1", "code=300"}) {
        EXPECT_FALSE(sim::ParseFaultRule(bad, fault, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
}

TEST(FaultRules, SkipAndCountPickTheAnswersToSpoil) {
    sim::FaultPlan plan;
    plan.Add(Fault("checksum,cmd=1,skip=1,count=2"));
    std::vector<bool> struck;
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(plan.ForAnswer(0).empty()) << "other commands pass";
        struck.push_back(!plan.ForAnswer(1).empty());
    }
    EXPECT_EQ(struck, (std::vector<bool>{false, true, true, false, false}));
}

}  // namespace
}  // namespace tandrin
