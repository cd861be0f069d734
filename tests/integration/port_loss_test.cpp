#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "integration/child_program.h"
#include "integration/dialog_fixture.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "link/posix_serial_port.h"
#include "pages/memory_monitor_views.h"
#include "pages/monitor_page.h"
#include "pages/monitor_page_ids.h"
#include "pages/trend_record.h"
#include "platform/poll_event_loop.h"
#include "shell/command_issue.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/main_dialog_ids.h"
#include "shell/memory_form.h"
#include "shell/program_dir.h"
#include "support/fake_shell.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

using namespace std::chrono_literals;
using test::ChildProgram;
using Clock = std::chrono::steady_clock;

// Unplugging and plugging back the modem, played by tandrin-sim going away
// and coming back on the same --link: the main window's workflow on the
// global master, in real time.
class PortLoss : public test::RealTimeDialog<> {
  protected:
    PortLoss() { hartMaster.m_strPortName = link; }

    std::unique_ptr<ChildProgram> StartSim(const char* fault = nullptr) {
        std::vector<std::string> args{TANDRIN_SIM_PROGRAM, "--fast", "--link", link};
        if (fault != nullptr) {
            args.insert(args.end(), {"--fault", fault});
        }
        auto sim = std::make_unique<ChildProgram>(args);
        EXPECT_EQ(sim->ReadLine().rfind("/dev/pts/", 0), 0u);
        return sim;
    }

    test::TempDir dir;
    const std::string link = dir.Path() + "modem";
};

TEST_F(PortLoss, AnIdleLinkIsClosedAndReportedAndTheNextCommandReopensIt) {
    auto sim = StartSim();
    ASSERT_TRUE(RunSequence(&MainDialog::OnLine));
    sim.reset();  // killed: the far end of the line is gone
    ASSERT_TRUE(RunUntil([] { return !hartMaster.IsLinkOpen(); }, 3s)) << "the link stayed open";
    EXPECT_TRUE(hartMaster.PortLost());
    EXPECT_EQ(shell.status[0], LangText("strPortLost"));
    EXPECT_TRUE(shell.messages.empty()) << "nothing was running, nothing to interrupt";

    sim = StartSim();  // back, at the same path
    EXPECT_TRUE(RunSequence(&MainDialog::ReadValues)) << "without Stop or choosing the port again";
    EXPECT_TRUE(hartMaster.IsLinkOpen());
    EXPECT_FALSE(hartMaster.PortLost());
    EXPECT_EQ(shell.status[0], LangText("strOpOK"));
}

TEST_F(PortLoss, ALossMidSequenceEndsItAtOnceWithTheMessage) {
    auto sim = StartSim("hangup=9,cmd=1,count=1");  // then it serves again, same path
    const auto start = Clock::now();
    EXPECT_FALSE(RunSequence(&MainDialog::ReadValues));
    // Command 0, then the first try of command 1; not five more tries.
    EXPECT_LT(Clock::now() - start, 1500ms);
    EXPECT_FALSE(hartMaster.IsLinkOpen());
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, LangText("strPortLost"));
    EXPECT_EQ(shell.status[0], LangText("strPortLost"));
    EXPECT_EQ(busyFlag, 0);

    EXPECT_TRUE(RunSequence(&MainDialog::ReadValues));
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(PortLoss, ALossWhileRecordingEndsTheRecordingAndKeepsItsSamples) {
    MemoryForm pageForm;
    for (const int radio :
         {monitor_ids::kRadioPv, monitor_ids::kRadioMa, monitor_ids::kRadioPercent}) {
        pageForm.Add(radio);
    }
    MemoryMonitorViews views;
    MonitorPage page{pageForm, shell, views.Views()};
    dialog.SetPage(MainDialog::kMonitorPage, &page);
    page.Initialise();
    page.Show(true);
    page.SetSamplingPeriod(1);
    // Command 1 is answered twice, then the line drops in the third.
    auto sim = StartSim("hangup=4,cmd=1,skip=2");
    page.OnCommand(main_ids::kMonitorAll);
    ASSERT_TRUE(page.Recording());
    const auto start = Clock::now();
    EXPECT_TRUE(RunUntil([&] { return !page.Recording(); }, 15s)) << "still recording";
    EXPECT_LT(Clock::now() - start, 8s);
    EXPECT_EQ(page.Samples(Quantity::kPv).size(), 2u);
    EXPECT_EQ(page.Samples(Quantity::kPercent).size(), 2u);
    EXPECT_EQ(busyFlag, 0);
    ASSERT_FALSE(shell.messages.empty());
    EXPECT_EQ(shell.messages.back().text, LangText("strPortLost"));
    const std::string saved = dir.Path() + "kept.tdd";
    EXPECT_TRUE(page.SaveRecordFile(saved));
    dialog.SetPage(MainDialog::kMonitorPage, nullptr);
}

TEST(CliPortLoss, MonitorEndsWhenTheLineDropsMidCommandAndStillWritesTheRecord) {
    test::TempDir dir;
    const std::string link = dir.Path() + "modem";
    const std::string record = dir.Path() + "kept.tdd";
    ChildProgram sim(
        {TANDRIN_SIM_PROGRAM, "--fast", "--link", link, "--fault", "hangup,cmd=1,skip=2"});
    ASSERT_EQ(sim.ReadLine().rfind("/dev/pts/", 0), 0u);
    const std::string errFile = dir.Path() + "stderr.txt";
    ChildProgram cli(
        {TANDRIN_CLI_PROGRAM, "--port", link, "monitor", "--period", "1", "--record", record},
        {.stdoutFile = "", .stderrFile = errFile});
    const std::string out = cli.ReadAll(20s);
    ASSERT_EQ(cli.Wait(5s), 1) << out;
    TrendRecord kept;
    ASSERT_EQ(LoadTrendRecord(record, kept), RecordIo::kOk);
    EXPECT_EQ(kept.pv.size(), 2u);
    EXPECT_EQ(kept.percent.size(), 2u);
    std::ifstream err(errFile);
    const std::string said((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    EXPECT_NE(said.find("serial port has gone away"), std::string::npos) << said;
}

TEST(CliPortLoss, TheCommandLineFailsAtOnceSayingThePortWentAway) {
    test::TempDir dir;
    const std::string link = dir.Path() + "modem";
    ChildProgram sim({TANDRIN_SIM_PROGRAM, "--fast", "--link", link, "--fault", "hangup=9,cmd=1"});
    ASSERT_EQ(sim.ReadLine().rfind("/dev/pts/", 0), 0u);
    const auto start = Clock::now();
    ChildProgram cli({TANDRIN_CLI_PROGRAM, "--port", link, "--json", "read"});
    const std::string out = cli.ReadAll(10s);
    EXPECT_EQ(cli.Wait(), 1) << out;
    EXPECT_NE(out.find("serial port has gone away"), std::string::npos) << out;
    EXPECT_LT(Clock::now() - start, 3s) << "it waited out the retries";
}

}  // namespace
}  // namespace tandrin
