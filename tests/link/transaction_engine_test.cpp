#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "link/command_flags.h"
#include "link/hart_master.h"
#include "support/fake_port.h"

namespace tandrin {
namespace {

using test::Command0Response;
using test::DeliverLater;
using test::FakeLine;
using test::LongResponse;

const std::array<std::uint8_t, 5> kAddress{0xA6, 0x10, 0x00, 0x12, 0x34};

struct Completion {
    std::uint64_t at;
    std::int32_t success;
    std::uint8_t command;
};

// A master on a fake line in virtual time, recording its completions.
class TransactionEngine : public ::testing::Test {
  protected:
    void SetUp() override {
        cancelFlag = 0;
        master.SetEventLoop(&loop);
        master.SetPortFactory(test::FakePortFactory(line, loop));
        master.m_strPortName = "/dev/ttyFAKE0";
        ASSERT_EQ(master.EnsureOpen(), 1);
        master.m_abyLongAddr = kAddress;
    }

    static void Record(void* user, std::int32_t success, std::uint8_t command) {
        auto* self = static_cast<TransactionEngine*>(user);
        self->completions.push_back({self->loop.Now(), success, command});
    }

    void Send(std::uint8_t command) { master.SendCommand(this, &Record, command); }

    // Answers every write with `reply` after `delay` ms.
    void AnswerEveryWrite(std::vector<std::uint8_t> reply, std::uint32_t delay) {
        line.onWrite = [this, reply, delay](const std::vector<std::uint8_t>&) {
            DeliverLater(loop, master, delay, reply);
        };
    }

    static std::vector<std::uint8_t> Pv(float value) {
        std::uint8_t b[4];
        std::memcpy(b, &value, 4);
        return LongResponse(kAddress, 1, {32, b[3], b[2], b[1], b[0]});
    }

    VirtualEventLoop loop;
    FakeLine line;
    HartMaster master;
    std::vector<Completion> completions;
};

TEST_F(TransactionEngine, AnAnsweredCommandCompletesAfterBothPeriods) {
    AnswerEveryWrite(Pv(23.5f), 300);
    Send(1);
    EXPECT_TRUE(line.rts) << "RTS is raised for the transmit phase";
    loop.RunFor(199);
    EXPECT_TRUE(line.rts);
    loop.RunFor(1);
    EXPECT_FALSE(line.rts) << "RTS drops when the transmit phase ends";
    ASSERT_TRUE(loop.RunUntilIdle());

    ASSERT_EQ(line.writes.size(), 1u);
    EXPECT_EQ(line.writes[0].bytes.size(), 21u);
    ASSERT_EQ(completions.size(), 1u);
    EXPECT_EQ(completions[0].at, 200u + 350u);
    EXPECT_EQ(completions[0].success, 1);
    EXPECT_EQ(completions[0].command, 1);
    EXPECT_FLOAT_EQ(master.m_fPV, 23.5f);
    EXPECT_FALSE(master.Receiving());
}

TEST_F(TransactionEngine, AnUnansweredCommandIsSentSixTimesThenFails) {
    Send(1);
    ASSERT_TRUE(loop.RunUntilIdle());
    ASSERT_EQ(line.writes.size(), 6u);
    for (std::size_t i = 0; i < line.writes.size(); ++i) {
        EXPECT_EQ(line.writes[i].bytes, line.writes[0].bytes);
        EXPECT_EQ(line.writes[i].at, i * 550) << "retries go out at once for command 1";
    }
    ASSERT_EQ(completions.size(), 1u);
    EXPECT_EQ(completions[0].at, 6u * 550u);
    EXPECT_EQ(completions[0].success, 0);
    EXPECT_EQ(completions[0].command, 1);
}

TEST_F(TransactionEngine, Command0PausesBeforeEachRetry) {
    Send(0);
    ASSERT_TRUE(loop.RunUntilIdle());
    ASSERT_EQ(line.writes.size(), 6u);
    for (std::size_t i = 0; i < line.writes.size(); ++i) {
        EXPECT_EQ(line.writes[i].at, i * (550 + 100));
    }
    ASSERT_EQ(completions.size(), 1u);
    EXPECT_EQ(completions[0].at, 6u * 550u + 5u * 100u);
    EXPECT_EQ(completions[0].success, 0);
}

TEST_F(TransactionEngine, AnAnswerArrivingDuringTheRetryPauseCounts) {
    // The first request is answered 600 ms after it went out: after its
    // receive phase (550 ms), inside the 100 ms pause before the retry.
    bool answered = false;
    line.onWrite = [&](const std::vector<std::uint8_t>&) {
        if (!answered) {
            answered = true;
            DeliverLater(loop, master, 600, Command0Response(0, 0x26, 0x10, {0x00, 0x12, 0x34}));
        }
    };
    master.m_abyLongAddr = {};
    Send(0);
    ASSERT_TRUE(loop.RunUntilIdle());
    EXPECT_EQ(line.writes.size(), 2u);
    ASSERT_EQ(completions.size(), 1u);
    EXPECT_EQ(completions[0].success, 1);
    EXPECT_EQ(completions[0].at, 650u + 550u);
    EXPECT_EQ(master.m_abyLongAddr[0], 0xA6);
}

TEST_F(TransactionEngine, ALateAnswerDuringARetryStillCounts) {
    bool answered = false;
    line.onWrite = [&](const std::vector<std::uint8_t>&) {
        if (!answered) {
            answered = true;
            DeliverLater(loop, master, 700, Pv(5.0f));  // inside the retry's window
        }
    };
    Send(1);
    ASSERT_TRUE(loop.RunUntilIdle());
    EXPECT_EQ(line.writes.size(), 2u);
    ASSERT_EQ(completions.size(), 1u);
    EXPECT_EQ(completions[0].success, 1);
    EXPECT_EQ(completions[0].at, 2u * 550u);
}

TEST_F(TransactionEngine, CancellationEndsTheTransactionSilently) {
    for (std::uint64_t cancelAt : {50u, 300u}) {  // phase 1, phase 2
        SCOPED_TRACE(cancelAt);
        line.writes.clear();
        completions.clear();
        master.m_fPV = 1.0f;
        cancelFlag = 0;
        Send(1);
        loop.RunFor(cancelAt);
        cancelFlag = 1;
        ASSERT_TRUE(loop.RunUntilIdle());
        EXPECT_TRUE(completions.empty());
        EXPECT_EQ(line.writes.size(), 1u);
        EXPECT_FALSE(line.rts) << "a raised RTS would keep the modem on the loop";
        EXPECT_FALSE(master.Receiving());
        // A reply that straggles in afterwards stays out of the device model.
        master.AppendReceived(Pv(9.0f).data(), Pv(9.0f).size());
        EXPECT_FLOAT_EQ(master.m_fPV, 1.0f);
    }
}

TEST_F(TransactionEngine, ANewCommandAfterAStopIsNotDrivenByTheOldTimer) {
    AnswerEveryWrite(Pv(5.0f), 100);
    Send(1);
    loop.RunFor(100);
    cancelFlag = 1;  // Stop, then a new action at once
    loop.RunFor(50);
    cancelFlag = 0;
    Send(1);
    ASSERT_TRUE(loop.RunUntilIdle());
    ASSERT_EQ(completions.size(), 1u);
    EXPECT_EQ(completions[0].at, 150u + 550u);
    EXPECT_EQ(completions[0].success, 1);
}

TEST_F(TransactionEngine, AStopDuringTheRetryPauseSendsNothingMore) {
    Send(0);
    loop.RunFor(549);
    loop.StartTimer(50, [](TimerId) { cancelFlag = 1; });  // lands in the pause
    ASSERT_TRUE(loop.RunUntilIdle());
    EXPECT_EQ(line.writes.size(), 1u);
    EXPECT_TRUE(completions.empty());
    EXPECT_FALSE(line.rts);
}

TEST_F(TransactionEngine, ACommandWithoutARequestFailsAtOnceWithoutWriting) {
    Send(200);
    ASSERT_TRUE(loop.RunUntilIdle());
    EXPECT_TRUE(line.writes.empty());
    ASSERT_EQ(completions.size(), 1u);
    EXPECT_EQ(completions[0].success, 0);
    EXPECT_EQ(completions[0].command, 200);
    EXPECT_EQ(completions[0].at, 0u);
}

TEST_F(TransactionEngine, CommandsWithoutATableEntryStillEndInBoundedTime) {
    // 149 never gets a valid answer; 169 has no transmit period.
    for (std::uint8_t command : {149, 169}) {
        completions.clear();
        AnswerEveryWrite(LongResponse(kAddress, command, {0, 0, 0, 0}), 250);
        Send(command);
        ASSERT_TRUE(loop.RunUntilIdle(60'000));
        ASSERT_EQ(completions.size(), 1u) << int(command);
        EXPECT_EQ(completions[0].success, command == 169 ? 1 : 0) << int(command);
    }
}

TEST_F(TransactionEngine, TheResponseCodeDecidesBetweenAnswerAndRetry) {
    struct Case {
        const char* what;
        std::uint8_t code;
        std::size_t writes;
        std::int32_t success;
        ReplyKind kind;
    };
    const Case cases[] = {
        {"write protected: refused after one try", 7, 1, 0, ReplyKind::kRefused},
        {"not implemented: refused after one try", 64, 1, 0, ReplyKind::kRefused},
        {"warning: taken", 8, 1, 1, ReplyKind::kWarning},
        {"our request arrived garbled (parity)", 0x80 | 0x40, 6, 0, ReplyKind::kNoAnswer},
        {"busy", 32, 6, 0, ReplyKind::kNoAnswer},
        {"delayed response running", 34, 6, 0, ReplyKind::kNoAnswer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        line.writes.clear();
        completions.clear();
        master.m_fPV = 1.0f;
        master.m_byDeviceStatus = 0;
        std::uint8_t b[4];
        const float value = 42.25f;
        std::memcpy(b, &value, 4);
        AnswerEveryWrite(LongResponse(kAddress, 1, {32, b[3], b[2], b[1], b[0]}, c.code, 5, 0x48),
                         300);
        const std::uint64_t start = loop.Now();
        Send(1);
        ASSERT_TRUE(loop.RunUntilIdle());
        EXPECT_EQ(line.writes.size(), c.writes);
        ASSERT_EQ(completions.size(), 1u);
        EXPECT_EQ(completions[0].success, c.success);
        EXPECT_EQ(completions[0].at - start, c.writes * 550u);
        EXPECT_EQ(master.LastOutcome().kind, c.kind);
        if (c.kind != ReplyKind::kNoAnswer) {
            EXPECT_EQ(master.LastOutcome().code, c.code);
            EXPECT_EQ(master.LastOutcome().command, 1);
            EXPECT_EQ(master.m_byDeviceStatus, 0x48) << "device status comes with every answer";
        } else {
            EXPECT_EQ(master.m_byDeviceStatus, 0) << "no device status in a garbled or busy reply";
        }
        // Only a reply that was carried out brings values.
        EXPECT_FLOAT_EQ(master.m_fPV, c.success == 1 ? value : 1.0f);
    }
}

// A two-command sequence driven from inside the completion, as pages do.
struct Sequence {
    HartMaster* master = nullptr;
    std::vector<std::uint8_t> commands{0, 1};
    std::size_t index = 0;
    std::vector<std::int32_t> results;

    static void Next(void* user, std::int32_t success, std::uint8_t) {
        auto* self = static_cast<Sequence*>(user);
        self->results.push_back(success);
        if (success == 1 && ++self->index < self->commands.size()) {
            self->master->SendCommand(self, &Next, self->commands[self->index]);
        }
    }
};

TEST_F(TransactionEngine, ACompletionCanStartTheNextCommand) {
    line.onWrite = [this](const std::vector<std::uint8_t>& frame) {
        if (frame[10] == 0x02) {
            DeliverLater(loop, master, 250, Command0Response(0, 0x26, 0x10, {0x00, 0x12, 0x34}));
        } else {
            DeliverLater(loop, master, 250, Pv(12.0f));
        }
    };
    master.m_abyLongAddr = {};
    Sequence sequence;
    sequence.master = &master;
    master.SendCommand(&sequence, &Sequence::Next, 0);
    ASSERT_TRUE(loop.RunUntilIdle());
    EXPECT_EQ(sequence.results, (std::vector<std::int32_t>{1, 1}));
    ASSERT_EQ(line.writes.size(), 2u);
    EXPECT_EQ(line.writes[1].bytes[11], 0xA6) << "command 1 goes to the address command 0 found";
    EXPECT_FLOAT_EQ(master.m_fPV, 12.0f);
}

}  // namespace
}  // namespace tandrin
