// tandrin-cli monitor and record, run as a user runs them against the
// built-in simulated transmitter, in real time.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_options.h"
#include "integration/child_program.h"
#include "integration/cli_run.h"
#include "pages/trend_record.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

using namespace std::chrono_literals;
using test::ChildProgram;

using test::Lines;

// "pv 2026-...+00:00 21.5 °C" -> "pv,2026-...+00:00,21.5,°C"
std::string AsCsvRow(std::string line) {
    for (int field = 0; field < 3; ++field) {
        line[line.find(' ')] = ',';
    }
    return line;
}

TEST(CliMonitor, RecordsTheSamplesItPrintsAndPrintsThemBackAsCsv) {
    test::TempDir dir;
    const std::string record = dir.Path() + "x.tdd";
    ChildProgram monitor(
        {TANDRIN_CLI_PROGRAM, "monitor", "--demo", "--count", "3", "--record", record});
    const std::vector<std::string> printed = Lines(monitor.ReadAll(60s));
    ASSERT_EQ(monitor.Wait(10s), 0);
    ASSERT_EQ(printed.size(), 9u);
    EXPECT_EQ(printed[0].rfind("pv ", 0), 0u);
    EXPECT_EQ(printed[1].rfind("current ", 0), 0u);
    EXPECT_EQ(printed[2].rfind("percent ", 0), 0u);

    ChildProgram dump({TANDRIN_CLI_PROGRAM, "record", record, "--csv"});
    const std::vector<std::string> csv = Lines(dump.ReadAll(20s));
    ASSERT_EQ(dump.Wait(10s), 0);
    ASSERT_EQ(csv.size(), 10u);
    EXPECT_EQ(csv[0], "series,time,value,unit");
    // The file lists each series in turn, in the order it was taken.
    for (int sample = 0; sample < 3; ++sample) {
        for (int series = 0; series < 3; ++series) {
            EXPECT_EQ(csv[static_cast<std::size_t>(1 + series * 3 + sample)],
                      AsCsvRow(printed[static_cast<std::size_t>(sample * 3 + series)]));
        }
    }
}

class CliMonitorStop : public ::testing::TestWithParam<std::pair<int, int>> {};

// Ctrl-C, a logout (SIGHUP) or a service stop (SIGTERM) ends the recording
// and still writes it.
TEST_P(CliMonitorStop, StillWritesTheRecord) {
    const auto [signal, status] = GetParam();
    test::TempDir dir;
    const std::string record = dir.Path() + "stopped.tdd";
    ChildProgram monitor(
        {TANDRIN_CLI_PROGRAM, "monitor", "--demo", "--mode", "current", "--record", record});
    const std::string first = monitor.ReadLine(30s);
    ASSERT_EQ(first.rfind("current ", 0), 0u) << first;
    monitor.Signal(signal);
    EXPECT_EQ(monitor.Wait(20s), status);
    TrendRecord back;
    ASSERT_EQ(LoadTrendRecord(record, back), RecordIo::kOk);
    EXPECT_GE(back.current.size(), 1u);
    EXPECT_TRUE(back.pv.empty());
}

INSTANTIATE_TEST_SUITE_P(Signals, CliMonitorStop,
                         ::testing::Values(std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}));

TEST(CliMonitor, RefusesBadValuesAndAMissingFile) {
    const auto parse = [](std::vector<std::string> args, std::string& error) {
        cli::CliOptions options;
        return cli::ParseCliOptions(args, options, error);
    };
    std::string error;
    EXPECT_FALSE(parse({"monitor", "--mode", "volts"}, error));
    EXPECT_FALSE(parse({"monitor", "--period", "0"}, error));
    EXPECT_FALSE(parse({"monitor", "--count", "3x"}, error));
    EXPECT_FALSE(parse({"record"}, error));
    EXPECT_EQ(error, "record needs the record file to print");
    EXPECT_TRUE(parse({"record", "a.tdd", "--csv"}, error));

    test::TempDir dir;
    ChildProgram dump({TANDRIN_CLI_PROGRAM, "record",
                       dir.Write("bad.tdd",
                                 "\x05"
                                 "Curv")});
    dump.ReadAll(10s);
    EXPECT_EQ(dump.Wait(10s), 1);

    // A FIFO is refused at once instead of waiting for a writer.
    const std::string fifo = dir.Path() + "fifo.tdd";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ChildProgram fromFifo({TANDRIN_CLI_PROGRAM, "record", fifo});
    fromFifo.ReadAll(10s);
    EXPECT_EQ(fromFifo.Wait(10s), 1);

    // A record that could not be written is refused before recording starts.
    ChildProgram monitor({TANDRIN_CLI_PROGRAM, "monitor", "--demo", "--count", "1", "--record",
                          dir.Path() + "no/such/x.tdd"});
    EXPECT_EQ(monitor.ReadAll(20s), "");
    EXPECT_EQ(monitor.Wait(10s), 1);
}

}  // namespace
}  // namespace tandrin
