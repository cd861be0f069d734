// tandrin-cli's Setup page commands against tandrin-sim, both as separate
// programs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "integration/child_program.h"
#include "support/flat_json.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

using namespace std::chrono_literals;
using test::ChildProgram;
using test::JsonValue;
using Json = std::map<std::string, JsonValue>;

class CliSetup : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Started());
        path = sim.ReadLine();
        ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;
    }

    Json Cli(std::vector<std::string> args, int status = 0) {
        args.insert(args.begin(), {TANDRIN_CLI_PROGRAM, "--port", path, "--json"});
        ChildProgram cli(args);
        const std::string out = cli.ReadAll(60s);
        EXPECT_EQ(cli.Wait(60s), status) << out;
        auto json = test::ParseFlatJson(out);
        EXPECT_TRUE(json.has_value()) << "not one JSON object: " << out;
        return json.value_or(Json{});
    }
    static std::map<std::string, std::string> Flat(const Json& json) {
        std::map<std::string, std::string> flat;
        for (const auto& [key, value] : json) {
            flat[key] =
                value.kind == JsonValue::Kind::kNumber ? std::to_string(value.number) : value.text;
        }
        return flat;
    }

    test::TempDir config;
    test::ScopedEnv xdg{"XDG_CONFIG_HOME", config.Path()};
    ChildProgram sim{{TANDRIN_SIM_PROGRAM, "--fast", "--device", "poll=0"}};
    std::string path;
};

TEST_F(CliSetup, WhatSetSetupWritesReadsBackTheSame) {
    Json written = Cli({"set-setup", "--sensor2",  "12",  "--mode",    "average", "--wiring2",
                        "2",         "--unit",     "F",   "--lower",   "-4",      "--upper",
                        "392",       "--offset1",  "0.9", "--damping", "2.5",     "--display",
                        "2",         "--decimals", "0",   "--alarm",   "low"});
    EXPECT_EQ(written["sensors"].number, 2);
    EXPECT_EQ(written["work_mode"].text, "average");
    EXPECT_EQ(written["sensor2_type"].number, 12);
    EXPECT_EQ(written["sensor2_name"].text, "Pt1000");
    EXPECT_EQ(written["sensor2_wiring"].number, 2);
    EXPECT_EQ(written["unit"].text, "F");
    EXPECT_EQ(written["lower_range"].number, -4);
    EXPECT_EQ(written["upper_range"].number, 392);
    EXPECT_NEAR(written["sensor1_offset"].number, 0.9, 1e-6);
    EXPECT_EQ(written["damping"].number, 2.5);
    EXPECT_EQ(written["display_mode"].number, 2);
    EXPECT_EQ(written["decimals"].number, 0);
    EXPECT_EQ(written["alarm"].text, "low");
    EXPECT_EQ(written.count("output_sensor"), 0u);

    EXPECT_EQ(Flat(Cli({"setup"})), Flat(written));
}

TEST_F(CliSetup, ThePagesChecksRefuseAndNothingIsWritten) {
    const auto before = Flat(Cli({"setup"}));
    Json span = Cli({"set-setup", "--lower", "0", "--upper", "5"}, 1);
    EXPECT_EQ(span["error"].text, "The upper and lower range values must be at least 10 apart.");
    Json wiring = Cli({"set-setup", "--sensor1", "0", "--wiring1", "4"}, 1);
    EXPECT_NE(wiring["error"].text.find("no wiring"), std::string::npos);
    EXPECT_EQ(Flat(Cli({"setup"})), before);
}

}  // namespace
}  // namespace tandrin
