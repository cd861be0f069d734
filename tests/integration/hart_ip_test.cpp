#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <signal.h>
#include <sys/socket.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "integration/child_program.h"
#include "integration/dialog_fixture.h"
#include "link/command_flags.h"
#include "link/hart_frame.h"
#include "link/hart_ip_message.h"
#include "link/hart_master.h"
#include "platform/poll_event_loop.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/main_dialog_ids.h"
#include "shell/port_open_message.h"
#include "shell/program_dir.h"
#include "support/fake_shell.h"
#include "support/flat_json.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

using namespace std::chrono_literals;
using test::ChildProgram;
using Clock = std::chrono::steady_clock;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// tandrin-sim serving HART-IP on a free loopback port; the port it took
// and its trace (standard error) in a file.
struct HartIpSim {
    explicit HartIpSim(const std::string& dir, std::vector<std::string> extra = {},
                       const std::string& port = "0", bool paced = false)
        : trace(dir + "sim-trace.txt") {
        std::vector<std::string> args{
            TANDRIN_SIM_PROGRAM,    "--fast", "--trace",  "--hart-ip",       port,
            "--hart-ip-close-time", "1500",   "--device", "poll=0,id=9A0501"};
        if (paced) {
            args.erase(args.begin() + 1);
        }
        args.insert(args.end(), extra.begin(), extra.end());
        program = std::make_unique<ChildProgram>(args, test::ChildOutput{"", trace});
        EXPECT_EQ(program->ReadLine().rfind("/dev/pts/", 0), 0u);
        url = program->ReadLine();
        EXPECT_EQ(url.rfind("hart-ip://127.0.0.1:", 0), 0u) << url;
    }
    std::string Url(bool tcp) const { return tcp ? "hart-ip+tcp://" + url.substr(10) : url; }
    std::string PortText() const { return url.substr(url.rfind(':') + 1); }
    std::string Trace() const { return ReadFile(trace); }

    std::string trace;
    std::unique_ptr<ChildProgram> program;
    std::string url;
};

struct CliResult {
    int status;
    std::string out;
};

CliResult Cli(const std::string& port, std::vector<std::string> args) {
    args.insert(args.begin(), {TANDRIN_CLI_PROGRAM, "--port", port});
    ChildProgram cli(args);
    std::string out = cli.ReadAll(60s);
    return {cli.Wait(60s), out};
}

// tandrin-cli against tandrin-sim --hart-ip, as two programs, over UDP and TCP.
class HartIpCli : public ::testing::TestWithParam<bool> {
  protected:
    test::TempDir dir;
    test::ScopedEnv xdg{"XDG_CONFIG_HOME", dir.Path()};
};

TEST_P(HartIpCli, EveryKindOfCommandWorksAndTheSessionIsSeenOnTheWire) {
    HartIpSim sim(dir.Path());
    const std::string port = sim.Url(GetParam());

    const CliResult read = Cli(port, {"--json", "read"});
    ASSERT_EQ(read.status, 0) << read.out;
    auto json = test::ParseFlatJson(read.out);
    ASSERT_TRUE(json) << read.out;
    EXPECT_GT((*json)["current_ma"].number, 3.5);

    const CliResult set =
        Cli(port, {"--json", "set-info", "--tag", "HIP-7", "--date", "2026-12-07"});
    ASSERT_EQ(set.status, 0) << set.out;
    const CliResult info = Cli(port, {"--json", "info"});
    ASSERT_EQ(info.status, 0) << info.out;
    json = test::ParseFlatJson(info.out);
    ASSERT_TRUE(json) << info.out;
    EXPECT_EQ((*json)["tag"].text, "HIP-7");
    EXPECT_EQ((*json)["date"].text, "2026-12-07");

    // Quiet stretches of a second between samples: keep-alives go out,
    // as the server grants only 1.5 s of inactivity.
    const CliResult monitor =
        Cli(port, {"monitor", "--period", "1", "--count", "3", "--mode", "pv"});
    EXPECT_EQ(monitor.status, 0) << monitor.out;
    EXPECT_EQ(Count(monitor.out, "\n"), 3u) << monitor.out;

    const std::string snapshot = dir.Path() + "tt.json";
    const CliResult take = Cli(port, {"snapshot", "take", snapshot});
    EXPECT_EQ(take.status, 0) << take.out;
    EXPECT_NE(ReadFile(snapshot).find("HIP-7"), std::string::npos);

    const std::string trace = sim.Trace();
    EXPECT_EQ(Count(trace, "<- HART-IP v1 request session initiate"), 5u) << trace;
    EXPECT_EQ(Count(trace, "<- HART-IP v1 request session close"), 5u) << trace;
    EXPECT_GE(Count(trace, "<- HART-IP v1 request keep-alive"), 1u) << trace;
    EXPECT_EQ(Count(trace, "closed after"), 0u) << "no session ran into the close timer";
}

TEST_F(HartIpCli, ALoopRelayedAtLinePaceAnswersEveryCommandOfASequence) {
    // At 1200 baud the device keeps its carrier a moment past each reply and
    // hears nothing meanwhile: the server must not relay the next request
    // into it.
    HartIpSim sim(dir.Path(), {}, "0", true);
    const CliResult info = Cli(sim.Url(false), {"--json", "info"});
    ASSERT_EQ(info.status, 0) << info.out;
    auto json = test::ParseFlatJson(info.out);
    ASSERT_TRUE(json) << info.out;
    EXPECT_EQ((*json)["tag"].text, "TT101");
}

TEST_P(HartIpCli, TheTraceShowsEachHeaderBesideTheFrames) {
    HartIpSim sim(dir.Path());
    const std::string errors = dir.Path() + "cli-trace.txt";
    ChildProgram cli({TANDRIN_CLI_PROGRAM, "--port", sim.Url(GetParam()), "--trace", "online"},
                     test::ChildOutput{"", errors});
    cli.ReadAll(20s);
    ASSERT_EQ(cli.Wait(), 0);
    const std::string trace = ReadFile(errors);
    EXPECT_NE(trace.find("TX [HART-IP v1 request session initiate seq 0 status 0, 13 bytes]"),
              std::string::npos)
        << trace;
    EXPECT_NE(trace.find("RX [HART-IP v1 response token-passing PDU seq 1 status 0, 27 bytes]"),
              std::string::npos)
        << trace;
    EXPECT_NE(trace.find("| cmd 0 reply: response 0 success"), std::string::npos) << trace;
}

TEST_P(HartIpCli, ASignalEndsTheSession) {
    HartIpSim sim(dir.Path());
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ChildProgram cli({TANDRIN_CLI_PROGRAM, "--port", sim.Url(GetParam()), "monitor", "--period",
                          "1", "--mode", "pv"});
        ASSERT_NE(cli.ReadLine(10s), "");
        cli.Signal(signal);
        EXPECT_EQ(cli.Wait(), 128 + signal);
    }
    const std::string trace = sim.Trace();
    EXPECT_EQ(Count(trace, "<- HART-IP v1 request session initiate"), 3u) << trace;
    EXPECT_EQ(Count(trace, "<- HART-IP v1 request session close"), 3u) << trace;
}

INSTANTIATE_TEST_SUITE_P(UdpAndTcp, HartIpCli, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Tcp" : "Udp"; });

TEST(HartIpServerFaults, ARefusedSessionIsSaidInPlainWordsNamingTheServer) {
    test::TempDir dir;
    test::ScopedEnv xdg{"XDG_CONFIG_HOME", dir.Path()};
    HartIpSim sim(dir.Path(), {"--hart-ip-fault", "refuse"});
    const CliResult english = Cli(sim.url, {"read"});
    EXPECT_EQ(english.status, 1);
    const CliResult json = Cli(sim.url, {"--json", "read"});
    EXPECT_NE(json.out.find("The HART-IP server " + sim.url +
                            " refused the session: all its sessions are in use."),
              std::string::npos)
        << json.out;
    const CliResult chinese = Cli(sim.url, {"--json", "--lang", "Simple Chinese", "read"});
    EXPECT_NE(chinese.out.find("HART-IP服务器 " + sim.url + " 拒绝了会话"), std::string::npos)
        << chinese.out;
}

TEST(HartIpServerFaults, AReplyLostOnceIsRetriedAfterTheTimeout) {
    test::TempDir dir;
    test::ScopedEnv xdg{"XDG_CONFIG_HOME", dir.Path()};
    HartIpSim sim(dir.Path(), {"--hart-ip-fault", "drop=1"});
    const auto start = Clock::now();
    const CliResult read = Cli(sim.url, {"--timeout", "400", "read"});
    EXPECT_EQ(read.status, 0) << read.out;
    EXPECT_GE(Clock::now() - start, 400ms) << "the lost reply was waited for";
    EXPECT_LT(Clock::now() - start, 3s);
    EXPECT_EQ(Count(sim.Trace(), "<- cmd 0 short"), 2u) << sim.Trace();
    EXPECT_EQ(Count(sim.Trace(), "<- cmd 1 long"), 1u) << sim.Trace();
}

TEST(HartIpServerFaults, ANakIsRetriedAndOneThatStaysIsReported) {
    test::TempDir dir;
    test::ScopedEnv xdg{"XDG_CONFIG_HOME", dir.Path()};
    HartIpSim once(dir.Path(), {"--hart-ip-fault", "nak"});
    EXPECT_EQ(Cli(once.url, {"--timeout", "300", "read"}).status, 0);

    HartIpSim always(dir.Path(), {"--hart-ip-fault", "nak=100"});
    const CliResult read = Cli(always.url, {"--timeout", "100", "--json", "read"});
    EXPECT_EQ(read.status, 1);
    EXPECT_NE(
        read.out.find("The HART-IP server " + always.url + " could not take the request (NAK)."),
        std::string::npos)
        << read.out;
}

// The main window's workflow on the global master, over HART-IP, in
// real time.
class HartIpLink : public test::RealTimeDialog<::testing::TestWithParam<bool>> {
  protected:
    HartIpLink() { hartMaster.SetReplyTimeout(500); }

    test::TempDir dir;
};

TEST_P(HartIpLink, AServerKilledMidCommandIsReportedLostAndTheNextCommandWorks) {
    auto sim = std::make_unique<HartIpSim>(dir.Path(),
                                           std::vector<std::string>{"--fault", "late=1500,skip=1"});
    const std::string port = sim->PortText();
    hartMaster.m_strPortName = sim->Url(GetParam());
    ASSERT_TRUE(RunSequence(&MainDialog::OnLine)) << sim->Trace();

    dialog.OnLine();  // its answer comes late: the server dies first
    ASSERT_TRUE(RunUntil([] { return busyFlag != 0 && hartMaster.Receiving(); }));
    sim.reset();
    ASSERT_TRUE(RunUntil([] { return busyFlag == 0; }, 5s));
    EXPECT_FALSE(hartMaster.IsLinkOpen());
    EXPECT_TRUE(hartMaster.PortLost());
    const std::string lost = FillIn(LangText("strServerLost"), {hartMaster.m_strPortName});
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, lost);
    EXPECT_EQ(shell.status[0], lost);

    sim = std::make_unique<HartIpSim>(dir.Path(), std::vector<std::string>{}, port);
    EXPECT_TRUE(RunSequence(&MainDialog::ReadValues)) << "a new session, on the same name";
    EXPECT_TRUE(hartMaster.IsLinkOpen());
    EXPECT_NE(form.Text(main_ids::kCurrentReadout), "");
}

TEST_P(HartIpLink, AServerThatStopsAnsweringKeepAlivesIsReportedLost) {
    HartIpSim sim(dir.Path());
    hartMaster.m_strPortName = sim.Url(GetParam());
    ASSERT_TRUE(RunSequence(&MainDialog::OnLine));
    sim.program->Signal(SIGSTOP);  // alive, connected, silent
    const auto start = Clock::now();
    EXPECT_TRUE(RunUntil([] { return !hartMaster.IsLinkOpen(); }, 10s)) << "the link stayed open";
    EXPECT_LT(Clock::now() - start, 4s)
        << "a keep-alive a third of 1.5 s in, two timeouts of 0.5 s";
    EXPECT_TRUE(hartMaster.PortLost());
    EXPECT_EQ(shell.status[0], FillIn(LangText("strServerLost"), {hartMaster.m_strPortName}));
    EXPECT_TRUE(shell.messages.empty()) << "nothing was running, nothing to interrupt";

    sim.program->Signal(SIGCONT);
    EXPECT_TRUE(RunSequence(&MainDialog::ReadValues)) << "a new session";
}

TEST_P(HartIpLink, RepliesCompleteTransactionsAtOnce) {
    HartIpSim sim(dir.Path());
    hartMaster.m_strPortName = sim.Url(GetParam());
    ASSERT_TRUE(RunSequence(&MainDialog::OnLine));
    const auto start = Clock::now();
    ASSERT_TRUE(RunSequence(&MainDialog::ReadValues));
    EXPECT_LT(Clock::now() - start, 400ms) << "three transactions; serial timers take 1.6 s";
    EXPECT_NE(form.Text(main_ids::kCurrentReadout), "");
}

INSTANTIATE_TEST_SUITE_P(UdpAndTcp, HartIpLink, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Tcp" : "Udp"; });

TEST_F(HartIpLink, SearchFindsEveryTransmitterBehindTheServer) {
    HartIpSim sim(dir.Path(), {"--device", "poll=3,id=9A0503"});
    hartMaster.m_strPortName = sim.url;
    hartMaster.SetReplyTimeout(100);  // fourteen empty addresses, six tries each
    dialog.Search();
    EXPECT_TRUE(RunUntil([] { return busyFlag == 0; }, 60s));
    ASSERT_EQ(info.EntryCount(main_ids::kShortAddressBox), 2);
    EXPECT_EQ(info.Entry(main_ids::kShortAddressBox, 0), "0");
    EXPECT_EQ(info.Entry(main_ids::kShortAddressBox, 1), "3");
}

TEST_F(HartIpLink, DatagramsFromAnotherPortAreIgnored) {
    HartIpSim sim(dir.Path());
    hartMaster.m_strPortName = sim.url;
    ASSERT_TRUE(RunSequence(&MainDialog::OnLine));
    // The master's own address, and a forger on another port of the same host.
    sockaddr_in master{};
    socklen_t size = sizeof master;
    ASSERT_EQ(
        ::getsockname(hartMaster.Port()->Descriptor(), reinterpret_cast<sockaddr*>(&master), &size),
        0);
    const int forger = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(forger, 0);
    // A command 0 reply from another long address, under every sequence number.
    const std::vector<std::uint8_t> frame{0x06, 0x80, 0x00, 0x0E, 0x00, 0x00, 0xFE,
                                          0x11, 0x22, 0x05, 0x05, 0x01, 0x01, 0x08,
                                          0x00, 0x33, 0x44, 0x55, 0x00};
    std::vector<std::uint8_t> body = frame;
    body.back() = XorChecksum(frame.data(), frame.size() - 1);
    for (int sequence = 0; sequence < 64; ++sequence) {
        HartIpHeader header{1,
                            HartIpType::kResponse,
                            HartIpId::kTokenPassingPdu,
                            0,
                            static_cast<std::uint16_t>(sequence),
                            0};
        const auto message = HartIpMessage(header, body.data(), body.size());
        ::sendto(forger, message.data(), message.size(), 0, reinterpret_cast<sockaddr*>(&master),
                 size);
    }
    ::close(forger);
    ASSERT_TRUE(RunSequence(&MainDialog::OnLine));
    EXPECT_EQ(hartMaster.m_abyLongAddr[2], 0x9A) << "the simulated transmitter's, not the forger's";
    EXPECT_EQ(hartMaster.m_abyLongAddr[4], 0x01);
}

}  // namespace
}  // namespace tandrin
