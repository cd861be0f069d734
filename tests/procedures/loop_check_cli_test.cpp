// tandrin-cli loop-check against tandrin-sim, both as separate programs,
// the readings from a file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "integration/child_program.h"
#include "link/hart_master.h"
#include "platform/unique_fd.h"
#include "support/flat_json.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

using namespace std::chrono_literals;
using test::ChildProgram;

// A command is sent once and repeated up to kMaxRetries times.
constexpr int kTriesPerCommand = HartMaster::kMaxRetries + 1;

class LoopCheckCli : public ::testing::Test {
  protected:
    void Simulate(std::vector<std::string> extra = {}) {
        std::vector<std::string> args{TANDRIN_SIM_PROGRAM, "--fast"};
        args.insert(args.end(), extra.begin(), extra.end());
        sim = std::make_unique<ChildProgram>(args);
        ASSERT_TRUE(sim->Started());
        path = sim->ReadLine();
        ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;
    }
    std::string Readings(const std::string& lines) {
        const std::string file = dir.Path() + "readings.txt";
        std::ofstream(file) << lines;
        return file;
    }
    struct Result {
        int status;
        std::string out;
    };
    Result Cli(std::vector<std::string> args) {
        args.insert(args.begin(), {TANDRIN_CLI_PROGRAM, "--port", path});
        ChildProgram cli(args);
        std::string out = cli.ReadAll(60s);
        return {cli.Wait(60s), out};
    }
    // The loop current the transmitter reports now.
    double LoopCurrent() {
        const Result read = Cli({"--json", "read"});
        const auto json = test::ParseFlatJson(read.out);
        EXPECT_TRUE(json.has_value()) << read.out;
        return json ? json->at("current_ma").number : -1;
    }
    static int Count(const std::string& text, const std::string& part) {
        int count = 0;
        for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
            ++count;
        }
        return count;
    }

    test::TempDir config;
    test::ScopedEnv xdg{"XDG_CONFIG_HOME", config.Path()};
    test::TempDir dir;
    std::unique_ptr<ChildProgram> sim;
    std::string path;
};

TEST_F(LoopCheckCli, APassingCheckExitsZeroAndWritesTheReportAndCsv) {
    Simulate();
    // Comments and blank lines are skipped; 12.016 is exactly on the edge.
    const std::string readings = Readings("4.001\n# at 25 %\n\n8.0\n12.016\n15.999\n20.0\n");
    const std::string report = dir.Path() + "r.html";
    const std::string csv = dir.Path() + "r.csv";
    const Result result = Cli({"--json", "loop-check", "--readings", readings, "--report", report,
                               "--csv", csv, "--technician", "J. Doe", "--meter", "Meter <7>"});
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(Count(result.out, "\"result\":\"pass\""), 5) << result.out;
    EXPECT_NE(result.out.find("\"passed\":true"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\"tag\":\"TT101\""), std::string::npos) << result.out;
    std::ifstream html(report);
    const std::string text((std::istreambuf_iterator<char>(html)), {});
    EXPECT_EQ(Count(text, "<tr class=\"point\">"), 5);
    EXPECT_EQ(Count(text, ">J. Doe<"), 1);
    EXPECT_EQ(Count(text, ">Meter &lt;7&gt;<"), 1);
    std::ifstream lines(csv);
    const std::string table((std::istreambuf_iterator<char>(lines)), {});
    EXPECT_EQ(Count(table, "\r\n"), 6);
    EXPECT_LT(LoopCurrent(), 19.0) << "the last point's 20 mA was released";
}

TEST_F(LoopCheckCli, APointOutsideTheToleranceExitsThree) {
    Simulate();
    const Result result = Cli({"loop-check", "--points", "0,50", "--tolerance", "0.1", "--readings",
                               Readings("4.0\n12.016016\n")});
    EXPECT_EQ(result.status, 3) << result.out;
    EXPECT_NE(result.out.find("0.1001  FAIL"), std::string::npos) << result.out;
}

TEST_F(LoopCheckCli, APortLostInTheMiddleIsSaidSo) {
    // Command 2 at the second point drops the line.
    Simulate({"--fault", "hangup,cmd=2,skip=1"});
    const Result result =
        Cli({"--json", "loop-check", "--points", "0,50", "--readings", Readings("4.0\n12.0\n")});
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_NE(result.out.find("serial port has gone away"), std::string::npos) << result.out;
}

TEST_F(LoopCheckCli, StopInTheMiddleLeavesFixedCurrentMode) {
    Simulate();
    const Result result = Cli({"--json", "loop-check", "--readings", Readings("4.0\n8.0\nstop\n")});
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_EQ(Count(result.out, "\"result\":\"pass\""), 2) << result.out;
    const double current = LoopCurrent();
    EXPECT_TRUE(current < 11.9 || current > 12.1) << current << ": still fixed at 50 %";
}

TEST_F(LoopCheckCli, ACommunicationFaultInTheMiddleExitsOneAndLeavesFixedCurrentMode) {
    // Command 2 goes unanswered at the third point, every try of it.
    Simulate({"--fault", "silence,cmd=2,skip=2,count=" + std::to_string(kTriesPerCommand)});
    const Result result =
        Cli({"--json", "loop-check", "--readings", Readings("4.0\n8.0\n12.0\n16.0\n20.0\n")});
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_NE(result.out.find("\"error\""), std::string::npos) << result.out;
    const double current = LoopCurrent();
    EXPECT_TRUE(current < 11.9 || current > 12.1) << current << ": still fixed at 50 %";
}

TEST_F(LoopCheckCli, CtrlCWhileWaitingForAReadingReleasesTheLoop) {
    Simulate();
    const std::string fifo = dir.Path() + "readings";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const UniqueFd writer(::open(fifo.c_str(), O_RDWR | O_NONBLOCK));
    ASSERT_TRUE(writer.Valid());
    ChildProgram cli({TANDRIN_CLI_PROGRAM, "--port", path, "loop-check", "--points", "50,100",
                      "--readings", fifo});
    ASSERT_EQ(::write(writer.Get(), "12.0\n", 5), 5);
    // Most likely waiting for the second reading with the loop at 20 mA by
    // then; wherever it is, the loop must come back.
    std::this_thread::sleep_for(3s);
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.Wait(30s), 130);
    EXPECT_LT(LoopCurrent(), 19.0);
}

TEST_F(LoopCheckCli, BadOptionsAndReadingsAreRefusedClearly) {
    Simulate();
    EXPECT_EQ(Cli({"loop-check", "--points", "0,150"}).status, 2);
    EXPECT_EQ(Cli({"loop-check", "--tolerance", "0"}).status, 2);
    const Result bad = Cli({"--json", "loop-check", "--readings", Readings("4.0\n8,0\n")});
    EXPECT_EQ(bad.status, 1) << bad.out;
    EXPECT_NE(bad.out.find("8,0"), std::string::npos) << bad.out;
    EXPECT_EQ(Cli({"loop-check", "--readings", dir.Path() + "missing"}).status, 1);
}

TEST_F(LoopCheckCli, ANameTypedOnALatin1TerminalGivesAWellFormedReport) {
    if (::access("/usr/bin/xmllint", X_OK) != 0) {
        GTEST_SKIP() << "xmllint (libxml2-utils) is not installed";
    }
    Simulate();
    const std::string report = dir.Path() + "r.xhtml";
    {
        const test::ScopedEnv latin1{"LC_ALL", "de_DE.ISO-8859-1"};
        const Result result =
            Cli({"loop-check", "--points", "50", "--readings", Readings("12.0\n"), "--report",
                 report, "--technician", "J\xF6rg M\xFCller\x01", "--meter", "Fluke \x1B[2J\xFF"});
        ASSERT_EQ(result.status, 0) << result.out;
    }
    std::ifstream html(report);
    const std::string text((std::istreambuf_iterator<char>(html)), {});
    EXPECT_NE(text.find(">J\xC3\xB6rg M\xC3\xBCller<"), std::string::npos) << "converted";
    EXPECT_NE(text.find(">Fluke [2J\xC3\xBF<"), std::string::npos) << "ESC dropped";
    ChildProgram lint({"/usr/bin/xmllint", "--noout", report});
    EXPECT_EQ(lint.Wait(30s), 0);

    // Not UTF-8 and no character set named: replaced, still well-formed.
    const test::ScopedEnv plain{"LC_ALL", "C"};
    ASSERT_EQ(Cli({"loop-check", "--points", "50", "--readings", Readings("12.0\n"), "--report",
                   report, "--technician", "J\xF6rg\xFE\xFF"})
                  .status,
              0);
    std::ifstream again(report);
    const std::string replaced((std::istreambuf_iterator<char>(again)), {});
    EXPECT_NE(replaced.find(">J\xEF\xBF\xBDrg\xEF\xBF\xBD\xEF\xBF\xBD<"), std::string::npos);
    ChildProgram relint({"/usr/bin/xmllint", "--noout", report});
    EXPECT_EQ(relint.Wait(30s), 0);
}

TEST_F(LoopCheckCli, ReadingsThatNeverEndOrAreHugeAreRefusedWithoutEcho) {
    Simulate();
    const auto start = std::chrono::steady_clock::now();
    const Result zero = Cli({"--json", "loop-check", "--readings", "/dev/zero"});
    EXPECT_EQ(zero.status, 1);
    EXPECT_NE(zero.out.find("/dev/zero is neither a file, a pipe nor a terminal"),
              std::string::npos)
        << zero.out;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);

    // Ten megabytes of digits in one line, from a pipe.
    ChildProgram piped({"/bin/sh", "-c",
                        "head -c 10000000 /dev/zero | tr '\\0' 7 | exec \"$0\" --port \"$1\" "
                        "--json loop-check --readings -",
                        TANDRIN_CLI_PROGRAM, path});
    const std::string out = piped.ReadAll(60s);
    EXPECT_EQ(piped.Wait(60s), 1) << out.substr(0, 300);
    EXPECT_NE(out.find("a line longer than 256 bytes (\\\"77777777777777777777...\\\")"),
              std::string::npos)
        << out.substr(0, 300);
    EXPECT_LT(out.size(), 2000u);
}

TEST_F(LoopCheckCli, BlankAndCommentLinesCostLittle) {
    Simulate();
    std::string lines;
    for (int i = 0; i < 200'000; ++i) {
        lines += "\n# comment\n";
    }
    const std::string readings = Readings(lines + "4.0\n8.0\n12.0\n16.0\n20.0\n");
    const auto start = std::chrono::steady_clock::now();
    const Result result = Cli({"--json", "loop-check", "--readings", readings});
    EXPECT_EQ(result.status, 0) << result.out;
    // Generous: it was a minute.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
}

}  // namespace
}  // namespace tandrin
