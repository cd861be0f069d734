#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
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

// tandrin-cli run against tandrin-sim, both as separate programs.
class CliProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Started());
        path = sim.ReadLine();
        ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;
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
    std::map<std::string, JsonValue> Json(const std::vector<std::string>& args, int status = 0) {
        auto args2 = args;
        args2.push_back("--json");
        const Result result = Cli(args2);
        EXPECT_EQ(result.status, status) << result.out;
        auto json = test::ParseFlatJson(result.out);
        EXPECT_TRUE(json.has_value()) << "not one JSON object: " << result.out;
        return json.value_or(std::map<std::string, JsonValue>{});
    }
    // The command's own keys; device_status comes with every answer heard.
    static std::vector<std::string> Keys(const std::map<std::string, JsonValue>& json) {
        std::vector<std::string> keys;
        for (const auto& [key, value] : json) {
            if (key != "device_status") {
                keys.push_back(key);
            }
        }
        return keys;
    }

    test::TempDir config;
    test::ScopedEnv xdg{"XDG_CONFIG_HOME", config.Path()};
    ChildProgram sim{{TANDRIN_SIM_PROGRAM, "--fast", "--device", "poll=0,id=9A0501,version=1.23"}};
    std::string path;
};

TEST_F(CliProgram, EachCommandPrintsExactlyItsKeys) {
    auto online = Json({"online"});
    EXPECT_EQ(Keys(online), (std::vector<std::string>{"address", "long_address"}));
    EXPECT_EQ(online["address"].number, 0);
    EXPECT_EQ(online["long_address"].text, "E05A9A0501");

    auto read = Json({"read"});
    EXPECT_EQ(Keys(read), (std::vector<std::string>{"current_ma", "percent", "pv", "unit"}));
    EXPECT_EQ(read["unit"].text,
              "\xC2\xB0"
              "C")
        << "UTF-8 degree sign";
    EXPECT_GT(read["current_ma"].number, 3.5);
    EXPECT_LT(read["current_ma"].number, 23.0);
    EXPECT_EQ(read["pv"].kind, JsonValue::Kind::kNumber);

    auto version = Json({"version"});
    EXPECT_EQ(Keys(version), std::vector<std::string>{"version"});
    EXPECT_EQ(version["version"].text, "V1.23");

    auto reset = Json({"reset"});
    EXPECT_EQ(Keys(reset), std::vector<std::string>{"ok"});
    EXPECT_TRUE(reset["ok"].boolean);
}

TEST_F(CliProgram, TextOutputFollowsTheLanguage) {
    const Result chinese = Cli({"--lang", "Simple Chinese", "version"});
    EXPECT_EQ(chinese.status, 0);
    EXPECT_NE(chinese.out.find("V1.23"), std::string::npos);
    EXPECT_NE(chinese.out.find("\xE7\x89\x88\xE6\x9C\xAC"), std::string::npos)
        << "UTF-8 for the Chinese word for version: " << chinese.out;

    const Result unknown = Cli({"--lang", "Klingon", "version"});
    EXPECT_EQ(unknown.status, 2) << "bad usage";
}

TEST_F(CliProgram, AFailedCommandExitsOneWithTheMessage) {
    auto failed = Json({"--address", "5", "online"}, 1);
    EXPECT_EQ(Keys(failed), std::vector<std::string>{"error"});
    EXPECT_FALSE(failed["error"].text.empty());

    ChildProgram noPort({TANDRIN_CLI_PROGRAM, "--json", "--port", "/dev/tandrin-none", "online"});
    const auto json = test::ParseFlatJson(noPort.ReadAll(10s));
    EXPECT_EQ(noPort.Wait(10s), 1);
    ASSERT_TRUE(json.has_value());
    EXPECT_EQ(json->count("error"), 1u);
}

TEST_F(CliProgram, PageCommandsWriteWhatReadsBackAndRefuseWithThePagesMessages) {
    auto written = Json({"set-info", "--tag", "tt-9", "--date", "2030-12-31"});
    EXPECT_EQ(Keys(written), (std::vector<std::string>{"date", "descriptor", "message", "tag"}));
    EXPECT_EQ(Json({"set-final-assembly", "00beef"})["final_assembly"].text, "00BEEF");
    auto info = Json({"info"});
    EXPECT_EQ(Keys(info), (std::vector<std::string>{"date", "descriptor", "final_assembly",
                                                    "message", "poll_address", "tag"}));
    EXPECT_EQ(info["tag"].text, "TT-9");
    EXPECT_EQ(info["date"].text, "2030-12-31");
    EXPECT_EQ(info["descriptor"].text, written["descriptor"].text) << "kept as it was";
    EXPECT_EQ(info["final_assembly"].text, "00BEEF");
    EXPECT_EQ(info["poll_address"].number, 0);

    EXPECT_EQ(Json({"fix-current", "3.8"})["fixed_current_ma"].number, 3.8);
    EXPECT_EQ(Json({"fix-current", "exit"})["fixed_current_ma"].number, 0.0);
    EXPECT_EQ(Json({"set-upper-range"})["ok"].kind, JsonValue::Kind::kBool);
    EXPECT_EQ(Json({"set-final-assembly", "beef"})["final_assembly"].text, "00BEEF")
        << "one to six digits, as on the page";

    // Bad usage, bad values included, never reaches the transmitter.
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"fix-current", "3.79"},
                                                {"trim", "3", "22.001"},
                                                {"set-address", "16"},
                                                {"set-address", "1000"},
                                                {"set-final-assembly", "1234567"},
                                                {"set-final-assembly", "12G"}}) {
        EXPECT_EQ(Cli(bad).status, 2) << bad[0] << " " << bad[1];
    }
    EXPECT_EQ(Cli({"set-info", "--date", "2023-02-29"}).status, 2);
    EXPECT_EQ(Cli({"info", "--tag", "x"}).status, 2);
}

// Every address answers: an unanswered one costs 3.8 s of retries, which
// the virtual-time workflow tests cover.
TEST(CliSearch, ListsTheAddressesThatAnswered) {
    test::TempDir config;
    test::ScopedEnv xdg{"XDG_CONFIG_HOME", config.Path()};
    std::vector<std::string> args{TANDRIN_SIM_PROGRAM, "--fast"};
    for (int poll = 0; poll < 16; ++poll) {
        args.insert(args.end(), {"--device", "poll=" + std::to_string(poll)});
    }
    ChildProgram sim(args);
    const std::string path = sim.ReadLine();
    ChildProgram cli({TANDRIN_CLI_PROGRAM, "--port", path, "--json", "search"});
    const auto json = test::ParseFlatJson(cli.ReadAll(120s));
    EXPECT_EQ(cli.Wait(10s), 0);
    ASSERT_TRUE(json.has_value());
    const JsonValue& addresses = json->at("addresses");
    ASSERT_EQ(addresses.items.size(), 16u);
    for (std::size_t i = 0; i < addresses.items.size(); ++i) {
        EXPECT_EQ(addresses.items[i].number, static_cast<double>(i));
    }
}

// A transmitter with a malfunction that stays, write protected, without
// command 16, its loop left fixed at 12 mA.
class CliTroubledTransmitter : public CliProgram {
  protected:
    void SetUp() override {
        ASSERT_TRUE(troubled.Started());
        path = troubled.ReadLine();
        ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;
    }
    ChildProgram troubled{{TANDRIN_SIM_PROGRAM, "--fast", "--device",
                           "poll=0,status=80,protect=1,fixed=12", "--fault", "code=64,cmd=16"}};
};

TEST_F(CliTroubledTransmitter, SaysWhatTheTransmitterSaysAndKeepsWhatItRead) {
    auto status = Json({"status"});
    EXPECT_EQ(Keys(status),
              (std::vector<std::string>{
                  "analog_channels_fixed", "analog_channels_saturated", "device_operating_mode",
                  "device_specific", "extended_device_status", "standardized_status_0",
                  "standardized_status_1", "standardized_status_2", "standardized_status_3"}));
    EXPECT_EQ(status["analog_channels_fixed"].number, 1);
    const JsonValue& bits = status["device_status"];
    ASSERT_EQ(bits.kind, JsonValue::Kind::kObject);
    EXPECT_EQ(bits.members.size(), 8u);
    EXPECT_TRUE(bits.members.at("field_device_malfunction").boolean);
    EXPECT_TRUE(bits.members.at("loop_current_fixed").boolean);
    EXPECT_FALSE(bits.members.at("loop_current_saturated").boolean);

    // Without command 16 the rest of the information still comes, exit 0.
    auto info = Json({"info"});
    EXPECT_EQ(info["tag"].text, "TT101");
    EXPECT_EQ(info.count("final_assembly"), 0u);
    ASSERT_EQ(info["not_available"].items.size(), 1u);
    EXPECT_EQ(info["not_available"].items[0].text, "final_assembly");
    const Result text = Cli({"info"});
    EXPECT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("not available"), std::string::npos) << text.out;

    // A refusal is reported in the transmitter's words, not as wiring.
    auto refused = Json({"set-final-assembly", "00BEEF"}, 1);
    EXPECT_EQ(refused["error"].text,
              "The transmitter refused the final assembly number (command 19): in write-protect "
              "mode (7)");
    EXPECT_TRUE(refused["device_status"].members.at("field_device_malfunction").boolean);

    // The loop fixed by something else: a warning with the way out.
    test::TempDir dir;
    test::ChildOutput files;
    files.stderrFile = dir.Path() + "err";
    ChildProgram read({TANDRIN_CLI_PROGRAM, "--port", path, "read"}, files);
    read.ReadAll(60s);
    EXPECT_EQ(read.Wait(60s), 0);
    std::ifstream err(files.stderrFile);
    const std::string warning((std::istreambuf_iterator<char>(err)),
                              std::istreambuf_iterator<char>());
    EXPECT_NE(warning.find("loop current is fixed; release it with: tandrin-cli fix-current exit"),
              std::string::npos)
        << warning;
    EXPECT_NE(warning.find("Device status: Field device malfunction, Loop current fixed"),
              std::string::npos)
        << warning;
}

}  // namespace
}  // namespace tandrin
