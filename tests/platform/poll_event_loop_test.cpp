#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/poll_event_loop.h"
#include "platform/wake_pipe.h"

namespace tandrin {
namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

TEST(PollEventLoop, TimersFireInDueOrderNeverEarly) {
    PollEventLoop loop;
    const auto start = Clock::now();
    std::vector<std::pair<int, double>> fired;
    for (int ms : {30, 10, 20}) {
        loop.StartTimer(ms, [&, ms](TimerId) { fired.emplace_back(ms, MsSince(start)); });
    }
    const TimerId killed = loop.StartTimer(15, [&](TimerId) { fired.emplace_back(15, 0); });
    loop.KillTimer(killed);
    loop.KillTimer(killed);  // harmless twice
    ASSERT_TRUE(loop.RunUntil([&] { return fired.size() == 3; }, 2000));
    ASSERT_EQ(fired.size(), 3u);
    for (std::size_t i = 0; i < fired.size(); ++i) {
        EXPECT_EQ(fired[i].first, 10 * static_cast<int>(i + 1));
        EXPECT_GE(fired[i].second, fired[i].first);
    }
    loop.RunFor(30);
    EXPECT_EQ(fired.size(), 3u) << "the killed timer fired";
}

TEST(PollEventLoop, PumpingDelayRunsTimersAndDescriptorsMeanwhile) {
    PollEventLoop loop;
    WakePipe pipe;
    bool timerRan = false;
    bool pipeSeen = false;
    double delayed = 0;
    loop.WatchFd(pipe.ReadFd(), POLLIN, [&](short) {
        pipe.Drain();
        pipeSeen = true;
    });
    loop.StartTimer(0, [&](TimerId) {
        const auto start = Clock::now();
        loop.StartTimer(10, [&](TimerId) { timerRan = true; });
        pipe.Signal();
        loop.PumpingDelay(60);
        delayed = MsSince(start);
    });
    loop.RunUntil([&] { return delayed > 0; }, 2000);
    EXPECT_TRUE(timerRan);
    EXPECT_TRUE(pipeSeen);
    EXPECT_GE(delayed, 60);
}

TEST(PollEventLoop, QuitFromAnotherThreadEndsRun) {
    PollEventLoop loop;
    const auto start = Clock::now();
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        loop.Quit();
    });
    loop.Run();  // no timers, no descriptors: only Quit wakes it
    stopper.join();
    EXPECT_LT(MsSince(start), 1000);

    loop.Quit();  // before Run: the next Run returns at once
    loop.Run();
}

TEST(PollEventLoop, APostFromAnotherThreadRunsOnTheLoopsThreadAtOnce) {
    PollEventLoop loop;
    std::thread::id ranOn;
    const auto start = Clock::now();
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        loop.Post([&] { ranOn = std::this_thread::get_id(); });
    });
    // Nothing else would wake the loop before the limit.
    EXPECT_TRUE(loop.RunUntil([&] { return ranOn != std::thread::id(); }, 5000));
    poster.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_LT(MsSince(start), 1000);
}

TEST(PollEventLoop, CallbacksMayUnwatchDescriptors) {
    PollEventLoop loop;
    WakePipe first;
    WakePipe second;
    int calls = 0;
    // Whichever is dispatched first removes both watches; the other must
    // not be called in the same pass.
    auto both = [&](short) {
        ++calls;
        loop.UnwatchFd(first.ReadFd());
        loop.UnwatchFd(second.ReadFd());
    };
    loop.WatchFd(first.ReadFd(), POLLIN, both);
    loop.WatchFd(second.ReadFd(), POLLIN, both);
    first.Signal();
    second.Signal();
    loop.RunFor(20);
    EXPECT_EQ(calls, 1);
}

TEST(PollEventLoop, ARestartingZeroTimerDoesNotStarveDescriptors) {
    PollEventLoop loop;
    WakePipe pipe;
    bool seen = false;
    loop.WatchFd(pipe.ReadFd(), POLLIN, [&](short) {
        pipe.Drain();
        seen = true;
    });
    std::function<void(TimerId)> again = [&](TimerId) { loop.StartTimer(0, again); };
    loop.StartTimer(0, again);
    pipe.Signal();
    EXPECT_TRUE(loop.RunUntil([&] { return seen; }, 1000));
}

}  // namespace
}  // namespace tandrin
