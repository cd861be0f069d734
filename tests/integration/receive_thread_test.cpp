#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/posix_serial_port.h"
#include "link/receive_thread.h"
#include "platform/pty.h"

namespace tandrin {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A port on a pty with a receive thread collecting its chunks.
class ReceiveThreadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(pty.Open(error)) << error;
        ASSERT_EQ(port.Open(pty.SlavePath()), 1);
        ASSERT_TRUE(
            thread.StartThread(port.Descriptor(), [this](const std::uint8_t* b, std::size_t n) {
                std::lock_guard<std::mutex> lock(mutex);
                chunks.emplace_back(b, b + n);
            }));
    }
    void TearDown() override {
        thread.FinishThread();
        port.Close();
    }

    void Send(const std::string& bytes) {
        ASSERT_EQ(::write(pty.MasterFd(), bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
    }
    std::vector<std::size_t> ChunkSizes() {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<std::size_t> sizes;
        for (const auto& c : chunks) {
            sizes.push_back(c.size());
        }
        return sizes;
    }
    std::size_t Received() {
        std::size_t total = 0;
        for (std::size_t n : ChunkSizes()) {
            total += n;
        }
        return total;
    }
    bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 2000ms) {
        const auto end = Clock::now() + limit;
        while (!done() && Clock::now() < end) {
            std::this_thread::sleep_for(5ms);
        }
        return done();
    }

    PtyPair pty;
    CSerialPort port;
    ReceiveThread thread;
    std::mutex mutex;
    std::vector<std::vector<std::uint8_t>> chunks;
};

TEST_F(ReceiveThreadTest, BytesAreHandedOverWithoutWaitingForTheLineToFallQuiet) {
    // A byte every 10 ms, as a slow line delivers them: never 50 ms quiet.
    std::size_t seenMidStream = 0;
    for (int i = 0; i < 30; ++i) {
        Send("x");
        std::this_thread::sleep_for(10ms);
        if (i == 28) {
            seenMidStream = Received();
        }
    }
    EXPECT_GT(seenMidStream, 0u) << "bytes were held back until the line fell quiet";
    EXPECT_TRUE(WaitFor([&] { return Received() == 30; }));
}

TEST_F(ReceiveThreadTest, ChunksHoldAtMost2048Bytes) {
    const std::string big(3000, 'x');
    Send(big.substr(0, 1500));
    Send(big.substr(1500));
    ASSERT_TRUE(WaitFor([&] { return Received() == big.size(); }));
    for (std::size_t n : ChunkSizes()) {
        EXPECT_LE(n, ReceiveThread::kChunkLimit);
    }
}

TEST_F(ReceiveThreadTest, FinishingWakesAnIdleThreadAtOnce) {
    const auto start = Clock::now();
    thread.FinishThread();
    EXPECT_TRUE(thread.Finished());
    EXPECT_LT(Clock::now() - start, 500ms);
    thread.FinishThread();  // harmless twice
}

TEST_F(ReceiveThreadTest, AHangUpEndsTheThreadQuietlyWithoutSpinning) {
    Send("last");
    ASSERT_TRUE(WaitFor([&] { return Received() == 4; }));
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    pty.Close();  // the far end goes away
    ASSERT_TRUE(WaitFor([&] { return thread.Finished(); }));
    std::this_thread::sleep_for(300ms);
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    const auto cpuMs = [](const rusage& r) {
        return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000.0 +
               (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1000.0;
    };
    EXPECT_LT(cpuMs(after) - cpuMs(before), 150.0) << "the thread spun after the hang-up";
    EXPECT_EQ(ChunkSizes(), std::vector<std::size_t>{4});
}

}  // namespace
}  // namespace tandrin
