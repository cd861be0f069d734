// tandrin-cli's Setup page commands against tandrin-sim, both as separate
// programs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "integration/child_program.h"
#include "integration/trace_frames.h"
#include "support/flat_json.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

using namespace std::chrono_literals;
using test::ChildProgram;
using test::JsonValue;
using Json = std::map<std::string, JsonValue>;

class CliSetupOn : public ::testing::Test {
  protected:
    explicit CliSetupOn(const std::string& device)
        : sim({TANDRIN_SIM_PROGRAM, "--fast", "--device", device}) {}
    void SetUp() override {
        ASSERT_TRUE(sim.Started());
        path = sim.ReadLine();
        ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;
    }

    // With --trace when `trace` names the file for standard error.
    Json Cli(std::vector<std::string> args, int status = 0, const std::string& trace = {}) {
        args.insert(args.begin(), {TANDRIN_CLI_PROGRAM, "--port", path, "--json"});
        if (!trace.empty()) {
            args.insert(args.begin() + 1, "--trace");
        }
        ChildProgram cli(args, {{}, trace});
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
    ChildProgram sim;
    std::string path;
};

class CliSetup : public CliSetupOn {
  protected:
    CliSetup() : CliSetupOn("poll=0") {}
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

std::vector<std::uint8_t> FloatBytes(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return {static_cast<std::uint8_t>(bits >> 24), static_cast<std::uint8_t>(bits >> 16),
            static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)};
}

class CliSetupHeld : public CliSetupOn {
  protected:
    CliSetupHeld()
        : CliSetupOn("poll=0,sensor2=11,damping=0.25,lower=-12.3456789,upper=22.839394") {}
};

// A display change writes back every other value as the transmitter sent
// it: range, unit and damping (15 to 35 and 34) and the sensor
// configuration (146 to 186), byte for byte.
TEST_F(CliSetupHeld, ADisplayChangeRewritesNothingElse) {
    const std::string trace = config.Path() + "trace";
    Cli({"set-setup", "--display", "2"}, 0, trace);
    const std::string text = test::ReadTextFile(trace);
    const auto range = test::TracedData(text, 15, "reply");
    const auto rangeWritten = test::TracedData(text, 35, "request");
    const auto damping = test::TracedData(text, 34, "request");
    const auto sensors = test::TracedData(text, 146, "reply");
    const auto sensorsWritten = test::TracedData(text, 186, "request");
    ASSERT_FALSE(range.empty());
    ASSERT_EQ(range[0].size(), 17u);
    ASSERT_EQ(rangeWritten.size(), 1u);
    ASSERT_EQ(damping.size(), 1u);
    ASSERT_FALSE(sensors.empty());
    ASSERT_EQ(sensorsWritten.size(), 1u);
    std::vector<std::uint8_t> unitAndRange{range[0][2]};
    unitAndRange.insert(unitAndRange.end(), range[0].begin() + 3, range[0].begin() + 11);
    EXPECT_EQ(rangeWritten[0], unitAndRange);
    std::vector<std::uint8_t> expected{0x20};
    for (const float value : {22.839394f, -12.3456789f}) {
        const auto bytes = FloatBytes(value);
        expected.insert(expected.end(), bytes.begin(), bytes.end());
    }
    EXPECT_EQ(rangeWritten[0], expected);
    EXPECT_EQ(damping[0], FloatBytes(0.25f));
    EXPECT_EQ(sensorsWritten[0], sensors[0]);

    // What is printed is what is held, not the page's rounding.
    Json read = Cli({"setup"});
    EXPECT_EQ(static_cast<float>(read["upper_range"].number), 22.839394f);
    EXPECT_EQ(read["damping"].number, 0.25);
}

// Numbers no 4-byte float holds are bad values: nothing is opened or sent.
TEST_F(CliSetupHeld, ValuesNoFloatHoldsAreUsageErrors) {
    for (const char* option : {"--lower", "--upper", "--offset1", "--offset2", "--damping"}) {
        for (const char* value : {"1e39", "-1e39", "inf", "nan", "1e400"}) {
            const std::string trace = config.Path() + "refused";
            Json refused = Cli({"set-setup", option, value}, 2, trace);
            EXPECT_NE(refused["error"].text.find(option), std::string::npos) << option << value;
            EXPECT_TRUE(test::TracedData(test::ReadTextFile(trace), 0, "request").empty());
        }
    }
}

class CliSetupKept : public CliSetupOn {
  protected:
    CliSetupKept() : CliSetupOn("poll=0,sensor=23,unit=Ohm") {}
};

// A sensor type the list has no entry for is written back with its wiring.
TEST_F(CliSetupKept, ASensorWithoutListEntryKeepsItsWiring) {
    const std::string trace = config.Path() + "trace";
    Cli({"set-setup", "--display", "1"}, 0, trace);
    const std::string text = test::ReadTextFile(trace);
    const auto sensors = test::TracedData(text, 146, "reply");
    const auto written = test::TracedData(text, 186, "request");
    ASSERT_FALSE(sensors.empty());
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0], sensors[0]);
}

class CliSetupUnknownUnit : public CliSetupOn {
  protected:
    CliSetupUnknownUnit() : CliSetupOn("poll=0,unit=R") {}
};

// A unit this program has no code for would go out as 0: refused, unless
// a unit is given with the range in it.
TEST_F(CliSetupUnknownUnit, IsRefusedUntilAUnitIsGiven) {
    const std::string trace = config.Path() + "trace";
    Json refused = Cli({"set-setup", "--display", "1"}, 1, trace);
    EXPECT_NE(refused["error"].text.find("unit"), std::string::npos) << refused["error"].text;
    EXPECT_TRUE(test::TracedData(test::ReadTextFile(trace), 35, "request").empty());
    Json chosen = Cli({"set-setup", "--unit", "K", "--lower", "250", "--upper", "400"});
    EXPECT_EQ(chosen["unit"].text, "K");
    EXPECT_EQ(chosen["upper_range"].number, 400);
}

}  // namespace
}  // namespace tandrin
