// tandrin-cli as a script sees it: exit codes, messages and JSON for every
// kind of failure, and the frame trace, against tandrin-sim.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "integration/child_program.h"
#include "integration/cli_run.h"
#include "link/posix_serial_port.h"
#include "platform/pty.h"
#include "support/flat_json.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

using namespace std::chrono_literals;
using test::ChildProgram;

using test::Has;
using test::Slurp;

class CliErrors : public ::testing::Test {
  protected:
    using Result = test::CliResult;
    Result Cli(std::vector<std::string> args, std::chrono::seconds limit = 30s) {
        args.insert(args.begin(), TANDRIN_CLI_PROGRAM);
        args.insert(args.begin(), runAs.begin(), runAs.end());
        return test::RunProgram(args, dir.Path() + "stderr.txt", limit);
    }
    void ExpectFailure(const std::vector<std::string>& args, int status, const std::string& part) {
        test::ExpectCliFailure([this](const auto& a) { return Cli(a); }, args, status, part);
    }

    std::vector<std::string> runAs;  // a command that runs the program as another user
    test::TempDir dir;
    test::TempDir config;
    test::ScopedEnv xdg{"XDG_CONFIG_HOME", config.Path()};
};

TEST_F(CliErrors, EachKindOfPortFailureSaysWhatIsWrongAndNamesThePort) {
    const std::string missing = dir.Path() + "ttyUSB7";
    ExpectFailure({"--port", missing, "online"}, 1,
                  "The serial port " + missing + " does not exist.");
    const std::string file = dir.Write("plain-file", "");
    for (const std::string& notTerminal : {std::string("/dev/null"), file, dir.Path()}) {
        ExpectFailure({"--port", notTerminal, "read"}, 1, notTerminal + " is not a serial port.");
    }

    PtyPair pty;
    std::string error;
    ASSERT_TRUE(pty.Open(error)) << error;
    {
        CSerialPort holder;  // another program has it
        ASSERT_EQ(holder.Open(pty.SlavePath()), 1);
        ExpectFailure({"--port", pty.SlavePath(), "online"}, 1,
                      "The serial port " + pty.SlavePath() + " is in use by another program.");
    }
}

TEST_F(CliErrors, APortItMayNotOpenSaysWhichGroupToJoinOnlyWhenThatHelps) {
    if (::geteuid() == 0) {
        // Root opens any device: run it as nobody instead.
        if (::access("/usr/bin/setpriv", X_OK) != 0) {
            GTEST_SKIP() << "running as root without setpriv";
        }
        runAs = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    PtyPair pty;
    std::string error;
    ASSERT_TRUE(pty.Open(error)) << error;
    if (const group* dialout = ::getgrnam("dialout"); dialout != nullptr && ::geteuid() == 0) {
        ASSERT_EQ(::chown(pty.SlavePath().c_str(), 0, dialout->gr_gid), 0);
        ASSERT_EQ(::chmod(pty.SlavePath().c_str(), 0660), 0);
        ExpectFailure({"--port", pty.SlavePath(), "online"}, 1,
                      "You may not open the serial port " + pty.SlavePath() +
                          ". Join the group that owns it (sudo usermod -aG dialout ");
        ASSERT_EQ(::chown(pty.SlavePath().c_str(), 0, 0), 0);
    }
    // Nobody but its owner may use it: no group would help.
    ASSERT_EQ(::chmod(pty.SlavePath().c_str(), ::geteuid() == 0 ? 0600 : 0), 0);
    ExpectFailure({"--port", pty.SlavePath(), "online"}, 1,
                  "may not use it either: ask an administrator for access.");
}

TEST_F(CliErrors, EveryUsageErrorExitsTwoAndAsJsonPrintsOneErrorObject) {
    ExpectFailure({"--bogus", "online"}, 2, "unknown option --bogus");
    ExpectFailure({"--lang", "Klingon", "--port", "/dev/null", "online"}, 2,
                  "no language file for \"Klingon\"");
    ExpectFailure({"--demo", "--port", "/dev/null", "online"}, 2, "either --demo or --port");
    ExpectFailure({"--address", "16", "online"}, 2, "--address takes a polling address");
    ExpectFailure({"fly"}, 2, "unknown command fly");
    const Result text = Cli({"--bogus", "online"});
    EXPECT_TRUE(Has(text.err, "Try tandrin-cli --help.")) << text.err;
}

TEST_F(CliErrors, AResultThatCannotBeWrittenIsAFailure) {
    const std::string errFile = dir.Path() + "stderr.txt";
    ChildProgram cli({TANDRIN_CLI_PROGRAM, "--demo", "version"},
                     {.stdoutFile = "/dev/full", .stderrFile = errFile});
    EXPECT_EQ(cli.Wait(30s), 1);
    EXPECT_TRUE(Has(Slurp(errFile), "cannot write the result")) << Slurp(errFile);
}

TEST_F(CliErrors, PortsAlwaysPrintsAListAndSaysWhenItIsEmpty) {
    const Result json = Cli({"ports", "--json"});
    EXPECT_EQ(json.status, 0);
    const auto object = test::ParseFlatJson(json.out);
    ASSERT_TRUE(object.has_value()) << json.out;
    ASSERT_EQ(object->count("ports"), 1u);
    if (object->at("ports").items.empty()) {
        EXPECT_TRUE(Has(json.err, "no serial port")) << json.err;
    }
}

// Sixteen addresses without an answer take a minute at the engine's pace.
TEST_F(CliErrors, ASearchNobodyAnswersExitsOne) {
    ChildProgram sim({TANDRIN_SIM_PROGRAM, "--fast", "--fault", "silence"});
    const std::string path = sim.ReadLine();
    const Result json = Cli({"--port", path, "--json", "search"}, 120s);
    EXPECT_EQ(json.status, 1);
    const auto object = test::ParseFlatJson(json.out);
    ASSERT_TRUE(object.has_value()) << json.out;
    EXPECT_TRUE(object->at("addresses").items.empty());
    EXPECT_TRUE(Has(object->at("error").text, "No transmitter answered")) << json.out;
}

TEST_F(CliErrors, TraceShowsTheRequestAndTheDecodedReplyOnStderr) {
    ChildProgram sim({TANDRIN_SIM_PROGRAM, "--fast"});
    const std::string path = sim.ReadLine();
    const Result result = Cli({"--port", path, "--trace", "online"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "E05A0A0000\n") << "the result alone on stdout";
    std::istringstream lines(result.err);
    int requests = 0;
    int replies = 0;
    for (std::string line; std::getline(lines, line);) {
        requests += Has(line, " TX FF FF") && Has(line, "| cmd 0 request, 0 data bytes") ? 1 : 0;
        replies += Has(line, " RX ") && Has(line, "| cmd 0 reply: response 0 success") ? 1 : 0;
    }
    EXPECT_EQ(requests, 1) << result.err;
    EXPECT_EQ(replies, 1) << result.err;
}

}  // namespace
}  // namespace tandrin
