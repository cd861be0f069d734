#include <gtest/gtest.h>

#include <algorithm>

#include "link/command_flags.h"
#include "link/posix_serial_port.h"
#include "shell/command_issue.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/main_dialog_ids.h"
#include "shell/port_open_message.h"
#include "shell/program_dir.h"
#include "shell/settings_store.h"
#include "support/master_fixture.h"

namespace tandrin {
namespace {

constexpr int kBox = main_ids::kShortAddressBox;

// The main window's workflow on the global master, against simulated
// transmitters on a fake line in virtual time, with English texts.
class ConnectionWorkflow : public test::MasterFixture {
  protected:
    void SetUp() override {
        form.Add(main_ids::kPvReadout,
                 "0.0  \xB0"
                 "C");
        form.Add(main_ids::kCurrentReadout, "0.0");
        form.Add(main_ids::kPercentReadout, "0.0");
        info.Add(kBox);
        dialog.SetInfoPageForm(&info);
    }

    test::FakeForm& form = mainForm;
    test::FakeForm info;
};

TEST_F(ConnectionWorkflow, SearchListsTheAddressesThatAnswered) {
    transmitters.Add(3);
    transmitters.Add(7);
    dialog.Search();
    Run();
    EXPECT_EQ(info.Find(kBox)->entries, (std::vector<std::string>{"3", "7"}));
    EXPECT_EQ(info.Selection(kBox), 0);
    EXPECT_EQ(info.Text(kBox), "3");
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, LangText("strFindMeter") + " 3, 7");
    EXPECT_EQ(shell.messages[0].caption, "Tandrin");
    EXPECT_EQ(hartMaster.m_byPollAddr, 3);
    EXPECT_EQ(busyFlag, 0);
    EXPECT_EQ(shell.status[0], LangText("strOpOK"));
    EXPECT_EQ(shell.progress.back(), (std::pair<int, int>{17, 17}));
    // Sixteen addresses, each polled once when it answers, six times when not.
    EXPECT_EQ(CommandsHeard().size(), 2u + 14u * 6u);
}

TEST_F(ConnectionWorkflow, ASearchWithoutAnswersLeavesAddressZero) {
    info.AddEntry(kBox, "5");
    hartMaster.m_byPollAddr = 5;
    dialog.Search();
    Run();
    EXPECT_EQ(info.EntryCount(kBox), 0);
    EXPECT_EQ(info.Text(kBox), "0");
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, LangText("strFindMeter"));
    EXPECT_EQ(hartMaster.m_byPollAddr, 0);
}

TEST_F(ConnectionWorkflow, StopDuringASearchKeepsWhatWasFound) {
    transmitters.Add(0);
    transmitters.Add(1);
    dialog.Search();
    loop.RunFor(3000);  // both answered; address 2 is being retried
    dialog.StopSequence();
    EXPECT_FALSE(hartMaster.Receiving()) << "a late reply could still land";
    Run();
    EXPECT_EQ(info.Find(kBox)->entries, (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(info.Text(kBox), "0");
    EXPECT_EQ(hartMaster.m_byPollAddr, 0);
    EXPECT_EQ(shell.status[0], LangText("strBreak"));
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(busyFlag, 0);
    EXPECT_EQ(dialog.mainMode, 0);
}

TEST_F(ConnectionWorkflow, ProductInformationShowsTheVersion) {
    transmitters.Add(0);
    dialog.ProductInformation();
    Run();
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0, 162}));
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{LangText("strVersion") + "V1.23\r\r"}));
    EXPECT_EQ(shell.messages[0].caption, "HART");
    EXPECT_EQ(shell.status[0], LangText("strOpOK"));
    EXPECT_EQ(shell.progress.back(), (std::pair<int, int>{3, 3}));
}

TEST_F(ConnectionWorkflow, AFailedCommandEndsTheSequenceAtOnce) {
    transmitters.Add(0);
    transmitters.silentCommands = {0};
    dialog.ProductInformation();
    Run();
    EXPECT_EQ(CommandsHeard(), std::vector<std::uint8_t>(6, 0)) << "162 is never sent";
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{LangText("strCommFail")}));
    EXPECT_EQ(shell.status[0], LangText("strOpFail"));
    EXPECT_EQ(shell.progress.back(), (std::pair<int, int>{3, 3}));
    EXPECT_EQ(busyFlag, 0);
}

TEST_F(ConnectionWorkflow, ValueReadingUpdatesTheReadouts) {
    transmitters.Add(0);
    dialog.ReadValues();
    Run();
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0, 1, 2}));
    const std::string pv = form.Text(main_ids::kPvReadout);
    EXPECT_NE(pv.find(".", 0), std::string::npos);
    EXPECT_EQ(pv.substr(pv.size() - 4),
              "  \xB0"
              "C");
    EXPECT_EQ(pv.size() - pv.find('.') - 1, 3u + 4u) << "three decimals, two blanks, unit";
    EXPECT_NE(form.Text(main_ids::kCurrentReadout), "0.0");
    const std::string shown = form.Text(main_ids::kCurrentReadout);
    dialog.ShowValue(2);
    EXPECT_EQ(form.Text(main_ids::kCurrentReadout), shown);
}

TEST_F(ConnectionWorkflow, ASecondActionWhileBusyIsRefused) {
    transmitters.Add(0);
    dialog.OnLine();
    const int ports = line.portsMade;
    dialog.Reset();
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{LangText("strBusy")}));
    EXPECT_EQ(line.portsMade, ports);
    Run();
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0}));
}

TEST_F(ConnectionWorkflow, ProgressRunsFromTheFirstCommandToAFullBar) {
    transmitters.Add(0);
    dialog.OnLine();
    EXPECT_EQ(shell.status[0], LangText("strCommunication"));
    Run();
    EXPECT_EQ(shell.progress, (std::vector<std::pair<int, int>>{{2, 1}, {2, 2}}));
    EXPECT_EQ(shell.status[0], LangText("strOpOK"));
    EXPECT_EQ(dialog.lastOutcome, MainDialog::Outcome::kDone);
}

TEST_F(ConnectionWorkflow, StopWhileIdleClosesTheLinkAndOnLineReopensIt) {
    transmitters.Add(0);
    dialog.OnLine();
    Run();
    ASSERT_TRUE(hartMaster.IsLinkOpen());
    dialog.StopSequence();
    EXPECT_FALSE(hartMaster.IsLinkOpen());
    EXPECT_EQ(info.Text(kBox), "0");
    dialog.OnLine();
    Run();
    EXPECT_TRUE(hartMaster.IsLinkOpen());
    EXPECT_EQ(line.opens, 2);
    EXPECT_EQ(shell.status[0], LangText("strOpOK"));
}

TEST_F(ConnectionWorkflow, StopDuringASequenceSilencesItAndANewActionRunsAtOnce) {
    transmitters.Add(0);
    dialog.Reset();
    loop.RunFor(100);
    dialog.StopSequence();
    EXPECT_EQ(busyFlag, 0);
    dialog.OnLine();
    Run();
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_EQ(shell.status[0], LangText("strOpOK"));
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0, 0}));
}

TEST_F(ConnectionWorkflow, PortsComeFromTheScanAndTheStoredChoice) {
    const std::vector<std::string> fakes{"/dev/ttyFAKE0", "/dev/ttyFAKE1"};
    ASSERT_EQ(RegWriteString(kSettingsKey, "Port", "/dev/ttyFAKE1"), 1);
    dialog.InitPorts(fakes);
    EXPECT_EQ(dialog.portList, fakes);
    EXPECT_EQ(dialog.currentPort, "/dev/ttyFAKE1");
    EXPECT_EQ(hartMaster.m_strPortName, "/dev/ttyFAKE1");
    EXPECT_EQ(shell.status[1], "/dev/ttyFAKE1");
    EXPECT_EQ(menu.CheckedPositions(main_ids::kMenuEnvironment, main_ids::kPortSubmenu),
              (std::vector<int>{1}));
    EXPECT_FALSE(hartMaster.IsLinkOpen()) << "probing leaves the link closed";

    // A stored port that has gone: the first one found, the store untouched.
    ASSERT_EQ(RegWriteString(kSettingsKey, "Port", "/dev/ttyUSB9"), 1);
    dialog.InitPorts(fakes);
    EXPECT_EQ(dialog.currentPort, "/dev/ttyFAKE0");
    std::string stored;
    ASSERT_EQ(RegReadString(kSettingsKey, "Port", stored), 1);
    EXPECT_EQ(stored, "/dev/ttyUSB9");
}

TEST_F(ConnectionWorkflow, AStoredOrNamedPortTheProbeSkippedIsKeptWhileItExists) {
    // Exists, but the probe cannot open it (as a pty it did not list).
    const std::string stored = config.Write("ttyLINK", "");
    ASSERT_EQ(RegWriteString(kSettingsKey, "Port", stored), 1);
    dialog.InitPorts({"/dev/ttyFAKE0"});
    EXPECT_EQ(dialog.portList, (std::vector<std::string>{stored, "/dev/ttyFAKE0"}));
    EXPECT_EQ(dialog.currentPort, stored);
    EXPECT_EQ(hartMaster.m_strPortName, stored);
    EXPECT_EQ(shell.status[1], stored);

    // Named on the command line: current even when it does not exist, and
    // not stored.
    dialog.InitPorts({"/dev/ttyFAKE0"}, "/dev/ttyGONE");
    EXPECT_EQ(dialog.portList, (std::vector<std::string>{"/dev/ttyGONE", "/dev/ttyFAKE0"}));
    EXPECT_EQ(hartMaster.m_strPortName, "/dev/ttyGONE");
    std::string kept;
    ASSERT_EQ(RegReadString(kSettingsKey, "Port", kept), 1);
    EXPECT_EQ(kept, stored);
}

TEST_F(ConnectionWorkflow, APortThatCannotBeOpenedIsNamedWithTheReason) {
    hartMaster.SetPortFactory(MakeSerialPort);
    hartMaster.m_strPortName = config.Path() + "ttyNONE";
    dialog.OnLine();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{
                                  FillIn(LangText("strPortMissing"), {hartMaster.m_strPortName})});
    shell.messages.clear();
    hartMaster.m_strPortName = config.Write("plain", "");
    dialog.OnLine();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{FillIn(LangText("strPortNotSerial"),
                                                              {hartMaster.m_strPortName})});
    EXPECT_EQ(busyFlag, 0);
}

TEST_F(ConnectionWorkflow, ChoosingThePortAgainClosesTheLinkAndStoresIt) {
    dialog.InitPorts({"/dev/ttyFAKE0"});
    ASSERT_EQ(hartMaster.EnsureOpen(), 1);
    dialog.OnPortCommand(main_ids::kPortFirst);
    EXPECT_FALSE(hartMaster.IsLinkOpen());
    std::string stored;
    ASSERT_EQ(RegReadString(kSettingsKey, "Port", stored), 1);
    EXPECT_EQ(stored, "/dev/ttyFAKE0");
    dialog.OnPortCommand(main_ids::kPortFirst + 1);  // no such entry: nothing
    EXPECT_EQ(hartMaster.m_strPortName, "/dev/ttyFAKE0");
}

TEST_F(ConnectionWorkflow, NoPortAtAllIsReportedAndEveryCommandRefused) {
    line.acceptsPath = [](const std::string&) { return false; };
    dialog.InitPorts({"/dev/ttyFAKE0"});
    EXPECT_TRUE(dialog.portList.empty());
    // No serial port: a HART-IP server may still be named.
    ASSERT_EQ(menu.ItemCount(main_ids::kMenuEnvironment, main_ids::kPortSubmenu), 2);
    EXPECT_EQ(menu.ItemId(main_ids::kMenuEnvironment, main_ids::kPortSubmenu, 1),
              main_ids::kPortHartIp);
    dialog.OnLine();
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{LangText("strPortFail"), LangText("strPortFail")}));
    EXPECT_EQ(busyFlag, 0);
}

}  // namespace
}  // namespace tandrin
