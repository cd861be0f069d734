// tandrin-cli given unlucky or hostile files: a settings file that is a
// device or a FIFO, a record whose unit is an escape sequence, a record
// too long to print before the user gives up.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "integration/child_program.h"
#include "integration/cli_run.h"
#include "pages/trend_record.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

using namespace std::chrono_literals;
using test::ChildProgram;
using Clock = std::chrono::steady_clock;

class CliHostileInput : public ::testing::Test {
  protected:
    using Result = test::CliResult;
    Result Cli(std::vector<std::string> args, std::chrono::seconds limit = 10s) {
        args.insert(args.begin(), TANDRIN_CLI_PROGRAM);
        return test::RunProgram(args, dir.Path() + "stderr.txt", limit);
    }

    test::TempDir dir;
    test::TempDir config;
    test::ScopedEnv xdg{"XDG_CONFIG_HOME", config.Path()};
    const std::string settings = config.Path() + "tandrin/settings.ini";
};

TEST_F(CliHostileInput, ASettingsFileThatIsADeviceOrAFifoIsIgnoredAtOnceWithAReason) {
    std::filesystem::create_directories(config.Path() + "tandrin");
    for (const bool fifo : {false, true}) {
        std::filesystem::remove(settings);
        if (fifo) {
            ASSERT_EQ(::mkfifo(settings.c_str(), 0600), 0);
        } else {
            std::filesystem::create_symlink("/dev/zero", settings);
        }
        const auto start = Clock::now();
        const Result result = Cli({"read"});
        EXPECT_EQ(result.status, 2) << "no port given and none stored";
        EXPECT_NE(result.err.find("tandrin/settings.ini is not a regular file; the stored settings "
                                  "are ignored"),
                  std::string::npos)
            << result.err;
        EXPECT_LT(Clock::now() - start, 5s) << "it waited on the file";
    }
}

TEST_F(CliHostileInput, AnEscapeSequenceInARecordsUnitIsPrintedEscaped) {
    TrendRecord record;
    record.m_PVUnit = "\x1B]0;owned\x07\x1B[2J\x7F";
    record.pv = {{21.5, 1'700'000'000}};
    const std::string path = dir.Path() + "unit.tdd";
    ASSERT_EQ(SaveTrendRecord(path, record), RecordIo::kOk);
    const Result result = Cli({"record", path});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.find('\x1B'), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find('\x07'), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\\x1B]0;owned\\x07\\x1B[2J\\x7F"), std::string::npos) << result.out;
}

TEST_F(CliHostileInput, ALongRecordStopsPrintingOnASignal) {
    TrendRecord record;
    record.m_PVUnit = "mV";
    for (std::int32_t i = 0; i < 1'000'000; ++i) {
        record.pv.push_back({i * 0.001, 1'700'000'000 + i});
    }
    record.current = record.pv;
    record.percent = record.pv;
    const std::string path = dir.Path() + "long.tdd";
    ASSERT_EQ(SaveTrendRecord(path, record), RecordIo::kOk);
    for (const int signal : {SIGINT, SIGTERM}) {
        const std::string out = dir.Path() + "out.txt";
        ChildProgram cli({TANDRIN_CLI_PROGRAM, "record", path},
                         {.stdoutFile = out, .stderrFile = ""});
        // Once it prints, the file has been read.
        for (int i = 0; i < 2000 && std::filesystem::file_size(out) == 0; ++i) {
            std::this_thread::sleep_for(10ms);
        }
        ASSERT_GT(std::filesystem::file_size(out), 0u);
        cli.Signal(signal);
        EXPECT_EQ(cli.Wait(2s), 128 + signal) << "still printing";
        EXPECT_LT(std::filesystem::file_size(out), 3'000'000u * 40) << "it printed it all";
    }
}

}  // namespace
}  // namespace tandrin
