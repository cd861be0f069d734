#include <gtest/gtest.h>

#include "cli/cli_options.h"

namespace tandrin::cli {
namespace {

bool Parse(std::vector<std::string> args, CliOptions& options, std::string& error) {
    return ParseCliOptions(args, options, error);
}

TEST(CliOptions, ReadsEveryOption) {
    CliOptions options;
    std::string error;
    ASSERT_TRUE(Parse(
        {"--port", "/dev/ttyUSB1", "--address", "15", "--lang", "Simple Chinese", "--json", "read"},
        options, error))
        << error;
    EXPECT_EQ(options.command, "read");
    EXPECT_EQ(options.port, "/dev/ttyUSB1");
    EXPECT_EQ(options.address, 15);
    EXPECT_EQ(options.language, "Simple Chinese");
    EXPECT_TRUE(options.json);
    EXPECT_FALSE(options.demo);
}

TEST(CliOptions, ReadsAHartIpServerAndItsTimeout) {
    CliOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--port", "hart-ip+tcp://10.1.4.20:5094", "--timeout", "250", "read"},
                      options, error))
        << error;
    EXPECT_EQ(options.port, "hart-ip+tcp://10.1.4.20:5094");
    EXPECT_EQ(options.timeoutMs, 250u);
    CliOptions defaults;
    ASSERT_TRUE(Parse({"read"}, defaults, error));
    EXPECT_EQ(defaults.timeoutMs, 0u) << "the line's own default";
}

TEST(CliOptions, OptionsStandAnywhereWithEitherFormOfValue) {
    CliOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--lang", "read", "--mode=pv", "monitor", "--period", "5", "--address=3"},
                      options, error))
        << error;
    EXPECT_EQ(options.command, "monitor");
    EXPECT_EQ(options.language, "read") << "a value that looks like a command stays a value";
    EXPECT_EQ(options.monitor.mode, "pv");
    EXPECT_EQ(options.monitor.period, 5);
    EXPECT_EQ(options.address, 3);

    CliOptions help;
    ASSERT_TRUE(Parse({"set-setup", "--help"}, help, error)) << error;
    EXPECT_TRUE(help.help);
    EXPECT_NE(help.commandHelp.find("--sensor1"), std::string::npos) << help.commandHelp;
    CliOptions whole;
    ASSERT_TRUE(Parse({"--help"}, whole, error)) << error;
    EXPECT_TRUE(whole.commandHelp.empty()) << "the overview, not one command";
}

TEST(CliOptions, DefaultsToEnglishAddressZeroAndTheStoredPort) {
    CliOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"online"}, options, error));
    EXPECT_EQ(options.language, "English");
    EXPECT_EQ(options.address, 0);
    EXPECT_FALSE(options.port.has_value());
}

TEST(CliOptions, RefusesBadUsageWithAReason) {
    const std::vector<std::vector<std::string>> bad{
        {},
        {"--json"},
        {"fly"},
        {"read", "reset"},
        {"--address", "16", "online"},
        {"--address", "-1", "online"},
        {"--address", "3x", "online"},
        {"online", "--port"},
        {"--verbose", "online"},
        {"--demo", "--port", "/dev/ttyUSB0", "online"},
        {"--timeout", "9", "read"},
        {"--timeout", "600001", "read"},
        {"--timeout", "1.5", "read"},
        {"read", "--timeout"},
    };
    for (const auto& args : bad) {
        CliOptions options;
        std::string error;
        EXPECT_FALSE(Parse(args, options, error)) << ::testing::PrintToString(args);
        EXPECT_FALSE(error.empty());
    }
    CliOptions options;
    std::string error;
    EXPECT_TRUE(Parse({"--help"}, options, error)) << "help needs no command";
    EXPECT_TRUE(options.help);

    CliOptions json;
    EXPECT_FALSE(Parse({"--bogus", "--json", "--trace", "online"}, json, error));
    EXPECT_TRUE(json.json) << "a usage error is printed as JSON too";
}

}  // namespace
}  // namespace tandrin::cli
