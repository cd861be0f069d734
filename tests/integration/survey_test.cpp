// tandrin-cli survey against tandrin-sim with transmitters at 0, 1 and 5,
// on a pty and through the simulator's HART-IP server.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "integration/child_program.h"
#include "integration/cli_run.h"
#include "platform/json.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

using namespace std::chrono_literals;
using test::ChildProgram;

enum class Line { kPty, kUdp, kTcp };

const std::vector<std::string> kThree{"--device", "poll=0,tag=TT-A,pv=30",
                                      "--device", "poll=1,tag=TT-B,pv=40",
                                      "--device", "poll=5,tag=TT-C,pv=50,status=80"};

struct Sim {
    Sim(Line line, std::vector<std::string> extra) {
        std::vector<std::string> args{TANDRIN_SIM_PROGRAM, "--fast"};
        if (line != Line::kPty) {
            args.insert(args.end(), {"--hart-ip", "0"});
        }
        args.insert(args.end(), kThree.begin(), kThree.end());
        args.insert(args.end(), extra.begin(), extra.end());
        program = std::make_unique<ChildProgram>(args);
        port = program->ReadLine();
        if (line != Line::kPty) {
            const std::string url = program->ReadLine();
            port = line == Line::kTcp ? "hart-ip+tcp://" + url.substr(10) : url;
        }
    }
    std::unique_ptr<ChildProgram> program;
    std::string port;
};

struct Result {
    int status;
    std::string out;
};

Result Cli(const std::string& port, std::vector<std::string> args) {
    args.insert(args.begin(), {TANDRIN_CLI_PROGRAM, "--port", port});
    ChildProgram cli(args);
    std::string out = cli.ReadAll(90s);
    return {cli.Wait(90s), out};
}

using test::Lines;

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

class SurveyCli : public ::testing::TestWithParam<Line> {
  protected:
    test::TempDir dir;
    test::ScopedEnv xdg{"XDG_CONFIG_HOME", dir.Path()};
};

TEST_P(SurveyCli, ListsExactlyTheThreeTransmittersWithTheirTagsAndValues) {
    Sim sim(GetParam(), {});
    // Each empty address tried once: a modem takes half a second a try.
    const Result result = Cli(sim.port, {"--json", "survey", "--tries", "1"});
    ASSERT_EQ(result.status, 0) << result.out;
    std::string error;
    const auto json = ParseJson(result.out, error);
    ASSERT_TRUE(json) << error << result.out;
    ASSERT_TRUE(json->contains("devices"));
    const JsonDocument& devices = (*json)["devices"];
    ASSERT_EQ(devices.size(), 3u) << result.out;
    const int addresses[] = {0, 1, 5};
    const char* tags[] = {"TT-A", "TT-B", "TT-C"};
    const double centres[] = {30, 40, 50};
    for (std::size_t i = 0; i < 3; ++i) {
        const JsonDocument& d = devices[i];
        EXPECT_EQ(d["address"].get<int>(), addresses[i]);
        EXPECT_EQ(d["tag"], tags[i]);
        EXPECT_EQ(d["long_address"], "E05A0A000" + std::to_string(addresses[i]));
        EXPECT_EQ(d["unit"], "\u00B0C");
        EXPECT_NEAR(d["pv"].get<double>(), centres[i], 3.0);
        EXPECT_NEAR(d["percent"].get<double>(), centres[i], 3.0);
        EXPECT_TRUE(d["answering"].get<bool>());
    }
    // Off address 0 a transmitter parks its loop at 4 mA.
    EXPECT_NEAR(devices[0]["current_ma"].get<double>(), 4 + 0.16 * 30, 0.6);
    EXPECT_EQ(devices[1]["current_ma"].get<double>(), 4.0);
    EXPECT_TRUE(devices[2]["device_status"]["field_device_malfunction"].get<bool>());
    EXPECT_EQ(devices[2]["status_text"], "Field device malfunction");
}

TEST_P(SurveyCli, AddressesAndTriesAreHonoured) {
    Sim sim(GetParam(), {});
    const Result result = Cli(sim.port, {"survey", "--addresses", "1-4", "--tries", "2"});
    ASSERT_EQ(result.status, 0) << result.out;
    const auto lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 1u) << result.out;
    EXPECT_EQ(lines[0].rfind("1  E05A0A0001  TT-B  ", 0), 0u) << lines[0];
    // The trace goes to standard error: count the requests in it.
    ChildProgram traced({"/bin/sh", "-c",
                         std::string(TANDRIN_CLI_PROGRAM) + " --port " + sim.port +
                             " --trace survey --addresses 2-4 --tries 2 2>&1"});
    const std::string trace = traced.ReadAll(60s);
    EXPECT_EQ(traced.Wait(60s), 1) << trace;
    // Two tries an empty address on a modem; through a server the first
    // answer ("no device") is final.
    const std::size_t expected = GetParam() == Line::kPty ? 6u : 3u;
    EXPECT_EQ(Count(trace, "cmd 0 request"), expected) << trace;
}

TEST_P(SurveyCli, ADeviceThatStopsAnsweringDuringRefreshIsMarkedNotRemoved) {
    // The search reads command 1 three times; in the first refresh round
    // the fifth reading (the transmitter at 1) goes unanswered: every try
    // on a modem, the one try a server's "no device" ends.
    const std::string count = GetParam() == Line::kPty ? "6" : "1";
    Sim sim(GetParam(), {"--fault", "silence,cmd=1,skip=4,count=" + count});
    const Result result = Cli(sim.port, {"survey", "--addresses", "0-5", "--tries", "1",
                                         "--refresh", "0.2", "--rounds", "2"});
    ASSERT_EQ(result.status, 0) << result.out;
    const auto lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 9u) << result.out;
    EXPECT_EQ(lines[4], "1  E05A0A0001  TT-B  no answer");
    EXPECT_EQ(lines[7].rfind("1  E05A0A0001  TT-B  ", 0), 0u) << lines[7];
    EXPECT_NE(lines[7].find(" mA "), std::string::npos) << "answers again: " << lines[7];
    EXPECT_EQ(lines[6].rfind("0  ", 0), 0u);
    EXPECT_EQ(lines[8].rfind("5  ", 0), 0u);
}

TEST(SurveyCliAlone, NoTransmitterExitsOne) {
    test::TempDir dir;
    test::ScopedEnv xdg{"XDG_CONFIG_HOME", dir.Path()};
    Sim sim(Line::kUdp, {});
    const Result result =
        Cli(sim.port, {"--json", "survey", "--addresses", "2-4,6", "--tries", "1"});
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_NE(result.out.find("\"devices\":[]"), std::string::npos) << result.out;
}

INSTANTIATE_TEST_SUITE_P(Lines, SurveyCli, ::testing::Values(Line::kPty, Line::kUdp, Line::kTcp),
                         [](const auto& info) {
                             return info.param == Line::kPty   ? std::string("Pty")
                                    : info.param == Line::kUdp ? std::string("Udp")
                                                               : std::string("Tcp");
                         });

}  // namespace
}  // namespace tandrin
