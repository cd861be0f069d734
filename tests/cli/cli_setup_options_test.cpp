#include <gtest/gtest.h>

#include "cli/cli_options.h"

namespace tandrin::cli {
namespace {

TEST(CliSetupOptions, ReadsWhatSetSetupChanges) {
    CliOptions options;
    std::string error;
    ASSERT_TRUE(ParseCliOptions(
        {"--sensor1", "3", "--sensor2", "none", "--lower", "-50.5", "set-setup", "--wiring1", "4",
         "--unit", "F", "--mode", "independent", "--alarm", "low", "--decimals", "0"},
        options, error))
        << error;
    const SetupChanges& setup = options.setup;
    EXPECT_EQ(setup.sensor1, 3);
    EXPECT_EQ(setup.sensor2, -1);
    EXPECT_EQ(setup.lower, "-50.5") << "a negative number is a value, not an option";
    EXPECT_EQ(setup.wiring1, 4);
    EXPECT_EQ(setup.unit, "F");
    EXPECT_EQ(setup.workMode, 3);
    EXPECT_EQ(setup.alarm, 1);
    EXPECT_EQ(setup.decimals, 0);
    EXPECT_FALSE(setup.upper.has_value());
}

TEST(CliSetupOptions, RefusesBadValuesAndOptionsOutOfPlace) {
    const std::vector<std::vector<std::string>> bad{
        {"set-setup"},
        {"setup", "--damping", "1"},
        {"set-setup", "--sensor1", "23"},
        {"set-setup", "--sensor1", "29"},
        {"set-setup", "--sensor2", "-1"},
        {"set-setup", "--wiring2", "1"},
        {"set-setup", "--unit", "c"},
        {"set-setup", "--lower", "1,5"},
        {"set-setup", "--upper", "nan"},
        {"set-setup", "--damping", "1e999"},
        {"set-setup", "--upper"},
    };
    for (const auto& args : bad) {
        CliOptions options;
        std::string error;
        EXPECT_FALSE(ParseCliOptions(args, options, error)) << args.back();
        EXPECT_FALSE(error.empty()) << args.back();
    }
}

}  // namespace
}  // namespace tandrin::cli
