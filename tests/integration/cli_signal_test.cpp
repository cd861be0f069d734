#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <utility>

#include "integration/child_program.h"
#include "integration/trace_frames.h"
#include "platform/unique_fd.h"
#include "support/flat_json.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

using namespace std::chrono_literals;
using test::ChildProgram;

constexpr const char* kSetpriv = "/usr/bin/setpriv";

// Whether the device would let an unprivileged user open it. Root passes
// TIOCEXCL, so as root the open is tried as "nobody".
bool OpenableByOtherUsers(const std::string& path) {
    if (::geteuid() != 0) {
        return UniqueFd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)).Valid();
    }
    ChildProgram open({kSetpriv, "--reuid", "nobody", "--regid", "nogroup", "--clear-groups",
                       "/bin/sh", "-c", "exec 3<>\"$0\"", path});
    return open.Wait() == 0;
}

// While tandrin-cli has the port it holds the flock on it.
bool HeldByAnotherProgram(const std::string& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK));
    return fd.Valid() && ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0;
}

class CliStopSignal : public ::testing::TestWithParam<std::pair<int, int>> {};

// Interrupted during a search, which takes a minute when few transmitters
// answer, tandrin-cli ends at once and leaves the port open to everyone.
TEST_P(CliStopSignal, EndsASearchAtOnceAndLeavesThePortFreeForEveryone) {
    if (::geteuid() == 0 && ::access(kSetpriv, X_OK) != 0) {
        GTEST_SKIP() << "running as root without setpriv to try the port as another user";
    }
    const auto [signal, status] = GetParam();
    test::TempDir dir;
    const std::string link = dir.Path() + "modem";
    ChildProgram sim({TANDRIN_SIM_PROGRAM, "--fast", "--link", link});
    const std::string pty = sim.ReadLine();
    ASSERT_EQ(pty.rfind("/dev/pts/", 0), 0u) << pty;
    ASSERT_EQ(::chmod(pty.c_str(), 0666), 0);  // as a dialout group would allow
    ASSERT_TRUE(OpenableByOtherUsers(pty));

    ChildProgram cli({TANDRIN_CLI_PROGRAM, "--port", link, "search"});
    for (int i = 0; i < 500 && !HeldByAnotherProgram(pty); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(HeldByAnotherProgram(pty));
    std::this_thread::sleep_for(700ms);  // address 0 answered; the others are being tried
    EXPECT_FALSE(OpenableByOtherUsers(pty)) << "held exclusively while in use";

    cli.Signal(signal);
    EXPECT_EQ(cli.Wait(3s), status);
    EXPECT_TRUE(OpenableByOtherUsers(pty)) << "the port stayed locked";
}

INSTANTIATE_TEST_SUITE_P(Signals, CliStopSignal,
                         ::testing::Values(std::pair{SIGINT, 130}, std::pair{SIGTERM, 143},
                                           std::pair{SIGHUP, 129}));

class CliFixCurrentStopped : public ::testing::TestWithParam<std::pair<int, int>> {};

// Stopped after command 0 was answered, fix-current may have forced the
// loop: it sends the release once, says so, and the loop is back to the
// process value.
TEST_P(CliFixCurrentStopped, ReleasesTheLoopOnceBeforeItEnds) {
    const auto [signal, status] = GetParam();
    test::TempDir dir;
    const std::string link = dir.Path() + "modem";
    // The answer to the forcing 40 comes late: the stop lands while the
    // transmitter already holds 12 mA.
    ChildProgram sim({TANDRIN_SIM_PROGRAM, "--link", link, "--fault", "late=3000,cmd=40,count=1"});
    ASSERT_EQ(sim.ReadLine().rfind("/dev/pts/", 0), 0u);
    const std::string trace = dir.Path() + "trace";
    ChildProgram cli(
        {TANDRIN_CLI_PROGRAM, "--port", link, "--json", "--trace", "fix-current", "12"},
        {{}, trace});
    for (int i = 0; i < 500 && test::TracedData(test::ReadTextFile(trace), 40, "request").empty();
         ++i) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_FALSE(test::TracedData(test::ReadTextFile(trace), 40, "request").empty());
    std::this_thread::sleep_for(300ms);
    cli.Signal(signal);
    const std::string out = cli.ReadAll(20s);
    EXPECT_EQ(cli.Wait(20s), status);
    const auto json = test::ParseFlatJson(out);
    ASSERT_TRUE(json.has_value()) << out;
    EXPECT_TRUE(json->at("released").boolean) << out;

    const auto forced = test::TracedData(test::ReadTextFile(trace), 40, "request");
    ASSERT_EQ(forced.size(), 2u);
    EXPECT_EQ(forced[1], (std::vector<std::uint8_t>{0, 0, 0, 0})) << "40 with 0, once";
    ChildProgram read({TANDRIN_CLI_PROGRAM, "--port", link, "--json", "read"});
    const auto values = test::ParseFlatJson(read.ReadAll(20s));
    ASSERT_TRUE(values.has_value());
    EXPECT_LT(values->at("current_ma").number, 11.0) << "back to the process value";
}

// A forcing without answer, and a release without answer either: the
// user is told the loop may still be fixed and how to release it.
TEST(CliFixCurrent, AReleaseThatFailsSaysHowToReleaseAndExitsNonZero) {
    test::TempDir dir;
    const std::string link = dir.Path() + "modem";
    ChildProgram sim({TANDRIN_SIM_PROGRAM, "--fast", "--link", link, "--fault", "silence,cmd=40"});
    ASSERT_EQ(sim.ReadLine().rfind("/dev/pts/", 0), 0u);
    ChildProgram cli({TANDRIN_CLI_PROGRAM, "--port", link, "--json", "fix-current", "12"});
    const std::string out = cli.ReadAll(60s);
    EXPECT_EQ(cli.Wait(60s), 1);
    const auto json = test::ParseFlatJson(out);
    ASSERT_TRUE(json.has_value()) << out;
    EXPECT_FALSE(json->at("released").boolean);
    EXPECT_NE(json->at("error").text.find("fix-current exit"), std::string::npos) << out;
}

INSTANTIATE_TEST_SUITE_P(Signals, CliFixCurrentStopped,
                         ::testing::Values(std::pair{SIGINT, 130}, std::pair{SIGTERM, 143},
                                           std::pair{SIGHUP, 129}));

}  // namespace
}  // namespace tandrin
