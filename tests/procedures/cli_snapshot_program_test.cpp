// tandrin-cli snapshot take, diff and restore against tandrin-sim, both as
// separate programs.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "integration/child_program.h"
#include "platform/json.h"
#include "procedures/device_snapshot.h"
#include "procedures/snapshot_compare.h"
#include "shell/private_profile.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

using namespace std::chrono_literals;
using test::ChildProgram;

// A distinctive transmitter at address 0 and one with defaults at 1.
const std::vector<std::string> kTwoTransmitters{
    "--device",
    "poll=0,tag=TT-205,descriptor=BOILER OUTLET,message=REPLACED 2026,date=2025-06-30,"
    "final=00A1F3,sensor=3,unit=F,lower=-40,upper=1600,damping=2.5",
    "--device", "poll=1"};

class CliSnapshot : public ::testing::Test {
  protected:
    void Start(std::vector<std::string> simArgs) {
        simArgs.insert(simArgs.begin(), {TANDRIN_SIM_PROGRAM, "--fast"});
        sim = std::make_unique<ChildProgram>(simArgs);
        ASSERT_TRUE(sim->Started());
        path = sim->ReadLine();
        ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;
    }
    // The one JSON object tandrin-cli printed.
    JsonDocument Cli(int address, std::vector<std::string> args, int status) {
        args.insert(args.begin(), {TANDRIN_CLI_PROGRAM, "--port", path, "--address",
                                   std::to_string(address), "--json", "snapshot"});
        ChildProgram cli(args);
        const std::string out = cli.ReadAll(60s);
        EXPECT_EQ(cli.Wait(60s), status) << out;
        std::string error;
        auto json = ParseJson(out, error);
        EXPECT_TRUE(json && json->is_object()) << out;
        return json.value_or(JsonDocument::object());
    }
    DeviceSnapshot Take(int address, const std::string& name) {
        const std::string file = dir.Path() + name;
        Cli(address, {"take", file}, 0);
        std::string text;
        std::string error;
        DeviceSnapshot snapshot;
        EXPECT_TRUE(ReadWholeFile(file, text));
        EXPECT_TRUE(ParseSnapshot(text, snapshot, error)) << error;
        return snapshot;
    }
    static std::vector<std::string> Fields(const JsonDocument& list) {
        std::vector<std::string> fields;
        for (const JsonDocument& item : list) {
            fields.push_back(item.value("field", ""));
        }
        return fields;
    }

    test::TempDir config;
    test::ScopedEnv xdg{"XDG_CONFIG_HOME", config.Path()};
    test::TempDir dir;
    std::unique_ptr<ChildProgram> sim;
    std::string path;
};

TEST_F(CliSnapshot, TakeRestoreOntoAReplacementAndTakeAgainReadsTheSame) {
    Start(kTwoTransmitters);
    const DeviceSnapshot original = Take(0, "original.json");
    EXPECT_EQ(original.tag, "TT-205");
    EXPECT_EQ(original.sensor1.type, 3);

    const std::string file = dir.Path() + "original.json";
    const JsonDocument diff = Cli(1, {"diff", file, "--with-final-assembly"}, 3);
    const auto fields = Fields(diff.at("differences"));
    EXPECT_EQ(fields.front(), "tag");
    EXPECT_NE(std::find(fields.begin(), fields.end(), "final_assembly"), fields.end());
    const JsonDocument& first = diff.at("differences").front();
    EXPECT_EQ(first.value("snapshot", ""), "TT-205");
    EXPECT_EQ(first.value("device", ""), "TT101");

    const JsonDocument dry = Cli(1, {"restore", file, "--dry-run"}, 3);
    EXPECT_EQ(Fields(dry.at("differences")).size(), fields.size() - 1);  // no final assembly
    const JsonDocument restored = Cli(1, {"restore", file, "--with-final-assembly"}, 0);
    EXPECT_TRUE(restored.value("restored", false));
    EXPECT_TRUE(restored.at("not_taken").empty());

    const DeviceSnapshot copy = Take(1, "copy.json");
    EXPECT_TRUE(CompareSnapshots(original, copy, {false, true}).empty());
    EXPECT_NE(copy.identity.deviceId, original.identity.deviceId);
    EXPECT_EQ(copy.pollAddress, 1);
    EXPECT_TRUE(Cli(1, {"diff", file, "--with-final-assembly"}, 0).at("differences").empty());
}

TEST_F(CliSnapshot, AFieldTheTransmitterRefusesIsReportedAndTheRestWritten) {
    std::vector<std::string> args = kTwoTransmitters;
    args.insert(args.end(), {"--fault", "code=7,cmd=34"});  // damping refused
    Start(args);
    const DeviceSnapshot original = Take(0, "original.json");
    const JsonDocument restored = Cli(1, {"restore", dir.Path() + "original.json"}, 1);
    EXPECT_FALSE(restored.value("restored", false));
    EXPECT_EQ(Fields(restored.at("not_taken")), std::vector<std::string>{"damping"});
    const DeviceSnapshot copy = Take(1, "copy.json");
    const auto left = CompareSnapshots(original, copy, {});
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].field, "damping");
}

TEST_F(CliSnapshot, APortLostDuringRestoreIsSaidSoNotStopped) {
    std::vector<std::string> args = kTwoTransmitters;
    args.insert(args.end(), {"--fault", "hangup,cmd=34"});
    Start(args);
    Take(0, "original.json");
    const JsonDocument lost = Cli(1, {"restore", dir.Path() + "original.json"}, 1);
    ASSERT_TRUE(lost.contains("error"));
    EXPECT_NE(lost.value("error", "").find("serial port has gone away"), std::string::npos)
        << lost.value("error", "");
}

TEST_F(CliSnapshot, ATruncatedOrHandBrokenFileWritesNothing) {
    Start(kTwoTransmitters);
    Take(0, "original.json");
    const DeviceSnapshot before = Take(1, "before.json");
    std::string text;
    ASSERT_TRUE(ReadWholeFile(dir.Path() + "original.json", text));
    const std::string truncated = dir.Path() + "truncated.json";
    std::ofstream(truncated) << text.substr(0, text.size() / 2);
    const std::string broken = dir.Path() + "broken.json";
    std::ofstream(broken) << text.replace(text.find("\"F\""), 3, "17");

    EXPECT_NE(Cli(1, {"restore", truncated, "--yes"}, 1).value("error", "").find("JSON"),
              std::string::npos);
    EXPECT_NE(Cli(1, {"restore", broken, "--yes"}, 1).value("error", "").find("setup.unit"),
              std::string::npos);
    // A byte-order mark is read; a key given twice, or a file that is no
    // file, is refused and named.
    std::ofstream(dir.Path() + "bom.json") << "\xEF\xBB\xBF" << text;
    EXPECT_NE(Cli(1, {"restore", dir.Path() + "bom.json", "--yes"}, 1)
                  .value("error", "")
                  .find("setup.unit"),
              std::string::npos)
        << "read past the mark to the broken unit";
    std::ofstream(dir.Path() + "twice.json") << "{\"format\": 1, \"format\": 2}";
    EXPECT_NE(Cli(1, {"restore", dir.Path() + "twice.json", "--yes"}, 1)
                  .value("error", "")
                  .find("the key \"format\" appears twice"),
              std::string::npos);
    EXPECT_EQ(Cli(1, {"restore", "/dev/zero", "--yes"}, 1).value("error", ""),
              "/dev/zero is not a regular file");
    const DeviceSnapshot after = Take(1, "after.json");
    EXPECT_TRUE(CompareSnapshots(before, after, {true, true}).empty());
    // A write that fails says why.
    EXPECT_EQ(Cli(1, {"take", dir.Path() + "missing/x.json"}, 1).value("error", ""),
              "cannot write " + dir.Path() + "missing/x.json: No such file or directory");
}

TEST_F(CliSnapshot, AnotherKindOfTransmitterNeedsYes) {
    Start({"--device", "poll=0,type=17,tag=OTHER", "--device", "poll=1"});
    Take(0, "other.json");
    const std::string file = dir.Path() + "other.json";
    EXPECT_NE(Cli(1, {"restore", file}, 1).value("error", "").find("--yes"), std::string::npos);
    EXPECT_TRUE(Cli(1, {"restore", file, "--yes"}, 0).value("restored", false));
    EXPECT_EQ(Take(1, "copy.json").tag, "OTHER");
}

}  // namespace
}  // namespace tandrin
