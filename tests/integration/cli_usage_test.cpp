// tandrin-cli's command line as the README and --help show it: the README's
// examples run against tandrin-sim, each command explains itself, and each
// refuses a bad option by name with exit 2.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "integration/child_program.h"
#include "integration/cli_run.h"
#include "support/flat_json.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

using namespace std::chrono_literals;
using test::ChildProgram;

using test::Has;
using test::Slurp;

class CliUsage : public ::testing::Test {
  protected:
    using Result = test::CliResult;
    Result Cli(std::vector<std::string> args) {
        args.insert(args.begin(), TANDRIN_CLI_PROGRAM);
        return test::RunProgram(args, dir.Path() + "stderr.txt", 60s);
    }

    test::TempDir dir;
    test::ScopedEnv xdg{"XDG_CONFIG_HOME", dir.Path()};
};

// Every `tandrin-cli …` in the README, words split on blanks.
std::vector<std::vector<std::string>> ReadmeExamples() {
    const std::string readme = Slurp(TANDRIN_SOURCE_DIR "/README.md");
    const std::regex example("`tandrin-cli ([^`]*)`");
    std::vector<std::vector<std::string>> examples;
    for (auto it = std::sregex_iterator(readme.begin(), readme.end(), example);
         it != std::sregex_iterator(); ++it) {
        std::istringstream words((*it)[1].str());
        std::vector<std::string> args;
        for (std::string word; words >> word;) {
            args.push_back(word);
        }
        examples.push_back(args);
    }
    return examples;
}

TEST_F(CliUsage, TheReadmeExamplesRunAsWritten) {
    ChildProgram sim{{TANDRIN_SIM_PROGRAM, "--fast"}};
    ASSERT_TRUE(sim.Started());
    const std::string port = sim.ReadLine();
    const auto examples = ReadmeExamples();
    ASSERT_GE(examples.size(), 5u) << "the README lost its examples";
    int ran = 0;
    for (auto args : examples) {
        SCOPED_TRACE(::testing::PrintToString(args));
        if (args.size() < 2 || std::find(args.begin(), args.end(), "\xE2\x80\xA6") != args.end()) {
            continue;  // names a command ("loop-check", "--trace …"), not a whole line
        }
        if (Has(args[0], "hart-ip") || (args.size() > 1 && Has(args[1], "hart-ip"))) {
            continue;  // hart_ip_test runs the server example on a free port
        }
        for (std::string& arg : args) {
            arg = arg == "/tmp/hart" ? port : arg == "x.tdd" ? dir.Path() + "x.tdd" : arg;
            arg = arg == "10" ? "2" : arg;  // samples: the syntax, not the wait
        }
        const Result result = Cli(args);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_FALSE(result.out.empty());
        ++ran;
    }
    EXPECT_GE(ran, 4);
}

TEST_F(CliUsage, EveryCommandsHelpListsItsOwnOptions) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> owned{
        {"set-setup", {"--sensor2 CODE|none", "--wiring1", "--alarm", "--damping NUMBER"}},
        {"monitor", {"--mode", "--period", "--count", "--record"}},
        {"record", {"FILE", "--csv"}},
        {"set-info", {"--tag", "--descriptor", "--message", "--date YYYY-MM-DD"}},
        {"snapshot", {"ACTION", "FILE", "--dry-run", "--with-address", "--yes"}},
        {"loop-check", {"--points", "--tolerance", "--settle", "--readings", "--meter"}},
        {"trim", {"CURRENTS"}},
    };
    for (const cli::CliCommand& command : cli::CliCommands()) {
        const std::string name(command.name);
        SCOPED_TRACE(name);
        for (const auto& help : {Cli({name, "--help"}), Cli({"--help", name}), Cli({name, "-h"})}) {
            EXPECT_EQ(help.status, 0) << help.err;
            EXPECT_TRUE(Has(help.out, "Usage: tandrin-cli " + name)) << help.out;
            EXPECT_TRUE(Has(help.out, command.about)) << help.out;
            EXPECT_EQ(Has(help.out, "--sensor1"), name == "set-setup") << "only its own options";
        }
        const Result help = Cli({name, "--help"});
        for (const auto& [owner, options] : owned) {
            for (const std::string& option : options) {
                EXPECT_TRUE(owner != name || Has(help.out, option)) << option;
            }
        }
    }
    const Result whole = Cli({"--help"});
    EXPECT_EQ(whole.status, 0);
    EXPECT_TRUE(Has(whole.out, "Exit status:")) << "the whole help is the overview";
}

TEST_F(CliUsage, EqualsAndBlankBothGiveAValue) {
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"--demo", "--address=0", "online", "--json"},
                                               {"online", "--address", "0", "--json", "--demo"}}) {
        const Result result = Cli(args);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(Has(result.out, "\"address\":0")) << result.out;
    }
}

TEST_F(CliUsage, EachCommandsUsageErrorNamesTheOptionAndExitsTwo) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad{
        {{"ports", "--bogus"}, "unknown option --bogus"},
        {{"search", "--address", "16"}, "--address takes a polling address"},
        {{"online", "--timeout=5"}, "--timeout takes milliseconds"},
        {{"read", "--port"}, "--port needs a value"},
        {{"version", "--demo", "--port", "/dev/null"}, "either --demo or --port"},
        {{"reset", "--address=1x"}, "--address"},
        {{"setup", "--damping", "1"}, "unknown option --damping"},
        {{"set-setup", "--unit", "c"}, "--unit takes C, K or F"},
        {{"set-setup", "--lower", "1,5"}, "--lower takes a decimal number"},
        {{"monitor", "--period=0"}, "--period takes whole seconds"},
        {{"monitor", "--mode", "volts"}, "--mode takes all, pv, current or percent"},
        {{"record"}, "record needs the record file"},
        {{"info", "--tag", "T1"}, "unknown option --tag"},
        {{"set-info", "--date", "2024-02-30"}, "--date takes a day"},
        {{"set-info"}, "set-info needs at least one of --tag"},
        {{"set-address", "16"}, "set-address takes one polling address"},
        {{"set-final-assembly", "XYZ"}, "set-final-assembly takes one to six hexadecimal"},
        {{"fix-current", "25"}, "fix-current takes a current"},
        {{"trim", "4.0"}, "trim takes the two measured currents"},
        {{"set-lower-range", "--count", "3"}, "unknown option --count"},
        {{"set-upper-range", "now"}, "set-upper-range takes no operand (now)"},
        {{"snapshot", "take", "f.json", "--dry-run"}, "--dry-run and --yes belong to"},
        {{"snapshot", "fly", "f.json"}, "ACTION takes take, diff or restore"},
        {{"loop-check", "--tolerance", "0"}, "--tolerance takes a number greater than 0"},
        {{"loop-check", "--points", "50,200"}, "--points takes up to 21 numbers"},
        {{"read", "reset"}, "one command at a time (read, reset)"},
        {{"fly"}, "unknown command fly"},
    };
    for (const auto& [args, part] : bad) {
        test::ExpectCliFailure([this](const auto& a) { return Cli(a); }, args, 2, part);
    }
}

}  // namespace
}  // namespace tandrin
