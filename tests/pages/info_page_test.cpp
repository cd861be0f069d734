#include "pages/info_page.h"

#include "pages/info_page_ids.h"
#include "pages/page_fixture.h"
#include "shell/main_dialog_ids.h"

namespace tandrin {
namespace {

using namespace info_ids;

class Info : public test::PageFixture {
  protected:
    void SetUp() override {
        PageFixture::SetUp();
        AddControls(page, kControls);
        logic.Init();
        dialog.SetInfoPageForm(&page);
    }

    // A second page over fresh controls: what a Read shows from scratch.
    test::FakeForm page;
    InfoPage logic{page};
};

TEST_F(Info, WrittenInformationReadsBackTheSame) {
    sim::SimDevice& device = transmitters.Add(0);
    page.SetText(kDate, "2031-07-09");
    page.SetText(kTag, "ab-12");
    page.SetText(kDescriptor, "boiler inlet");
    page.SetText(kMessage, "checked 2031");
    logic.OnClicked(kUpdateInfo);
    Run();
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0, 17, 18}));
    EXPECT_EQ(shell.status[0], LangText("strOpOK"));
    EXPECT_EQ(device.m_abyDate, (std::array<std::uint8_t, 3>{9, 7, 131}));

    test::FakeForm fresh;
    AddControls(fresh, kControls);
    InfoPage reader{fresh};
    reader.OnClicked(kReadInfo);
    Run();
    EXPECT_EQ(fresh.Text(kDate), "2031-07-09");
    EXPECT_EQ(fresh.Text(kTag), "AB-12");  // sent in upper case, trailing blanks gone
    EXPECT_EQ(fresh.Text(kDescriptor), "BOILER INLET");
    EXPECT_EQ(fresh.Text(kMessage), "CHECKED 2031");

    page.SetText(kFinalAssembly, "0A1B2C");
    logic.OnClicked(kUpdateFinal);
    Run();
    reader.OnClicked(kReadFinal);
    Run();
    EXPECT_EQ(fresh.Text(kFinalAssembly), "0A1B2C");
}

TEST_F(Info, AFinalAssemblyNumberThatIsNotHexadecimalIsRefused) {
    transmitters.Add(0);
    for (const char* typed : {"12G456", "", "1234567", " 1F"}) {
        shell.messages.clear();
        page.SetText(kFinalAssembly, typed);
        logic.OnClicked(kUpdateFinal);
        EXPECT_EQ(MessageTexts(), (std::vector<std::string>{LangText("strFinalAssemblyErr")}))
            << typed;
        EXPECT_EQ(page.focus, kFinalAssembly);
    }
    EXPECT_TRUE(CommandsHeard().empty());
    page.SetText(kFinalAssembly, "1f");
    logic.OnClicked(kUpdateFinal);
    Run();
    EXPECT_EQ(transmitters.Devices()[0].m_abyFinalAssembly,
              (std::array<std::uint8_t, 3>{0, 0, 0x1F}));
}

TEST_F(Info, ValuesShowOnlyWhenTheWholeSequenceIsThrough) {
    transmitters.Add(0);
    transmitters.silentCommands = {13};
    page.SetText(kMessage, "as typed");
    logic.OnClicked(kReadInfo);
    Run();
    EXPECT_EQ(hartMaster.m_strMessage, "TANDRIN TRANSMITTER SIMULATOR") << "command 12 stored it";
    EXPECT_EQ(page.Text(kMessage), "as typed");
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{LangText("strCommFail")}));
}

TEST_F(Info, AWriteProtectedTransmitterRefusesEachWriteAfterOneTry) {
    sim::SimDevice& device = transmitters.Add(0);
    device.m_bWriteProtected = true;
    page.SetText(kTag, "tt-9");
    page.SetText(kNewAddress, "3");
    page.SetText(kFinalAssembly, "00ABCD");
    const struct {
        int button;
        std::uint8_t command;
        const char* message;
    } writes[] = {
        {kUpdateInfo, 17,
         "The transmitter refused the message (command 17): in write-protect mode (7)"},
        {kUpdateAddress, 6,
         "The transmitter refused the polling address (command 6): in write-protect mode (7)"},
        {kUpdateFinal, 19,
         "The transmitter refused the final assembly number (command 19): in write-protect mode "
         "(7)"},
    };
    for (const auto& write : writes) {
        shell.messages.clear();
        const std::size_t before = CommandsHeard().size();
        logic.OnClicked(write.button);
        Run();
        EXPECT_EQ(CommandsHeard().size() - before, 2u) << write.message;
        EXPECT_EQ(CommandsHeard().back(), write.command);
        EXPECT_EQ(MessageTexts(), (std::vector<std::string>{write.message}));
        EXPECT_EQ(shell.status[0], LangText("strOpRefused"));
    }
    EXPECT_EQ(hartMaster.m_byPollAddr, 0) << "the address did not change";
}

TEST_F(Info, ARefusedUpdateStillLeavesTheTypedValuesInTheDeviceModel) {
    transmitters.Add(0);
    busyFlag = 1;
    page.SetText(kTag, "tt-7");
    page.SetText(kDate, "2040-02-29");
    logic.OnClicked(kUpdateInfo);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{LangText("strBusy")}));
    EXPECT_EQ(hartMaster.m_strTag, "TT-7") << "as it will be stored";
    EXPECT_EQ(hartMaster.m_wDateYear, 2040);
    EXPECT_EQ(hartMaster.m_byDateMonth, 2);
    EXPECT_EQ(hartMaster.m_byDateDay, 29);
    EXPECT_TRUE(CommandsHeard().empty());
}

// Lower case and characters outside packed ASCII change on the way: the
// boxes show the stored texts first, and the user decides.
TEST_F(Info, TextsTheTransmitterWouldChangeAreShownAsStoredBeforeTheWrite) {
    transmitters.Add(0);
    page.SetText(kTag, "j\xF6rg");  // Windows-1252 o-umlaut
    page.SetText(kDescriptor, "OK ALREADY");
    page.SetText(kMessage, "a message longer than thirty-two characters");
    shell.answers = {false};
    logic.OnClicked(kUpdateInfo);
    Run();
    ASSERT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(shell.questions[0].text, LangText("strStoredAs"));
    EXPECT_TRUE(CommandsHeard().empty());
    const std::string tag = page.Text(kTag);
    EXPECT_EQ(tag.size(), 4u);
    EXPECT_EQ(tag.front(), 'J');
    EXPECT_EQ(page.Text(kDescriptor), "OK ALREADY");
    EXPECT_EQ(page.Text(kMessage), "A MESSAGE LONGER THAN THIRTY-TWO");

    // Shown as stored, it goes out without another question and reads
    // back as shown.
    logic.OnClicked(kUpdateInfo);
    Run();
    EXPECT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(shell.status[0], LangText("strOpOK"));
    test::FakeForm fresh;
    AddControls(fresh, kControls);
    InfoPage reader{fresh};
    reader.OnClicked(kReadInfo);
    Run();
    EXPECT_EQ(fresh.Text(kTag), tag);
    EXPECT_EQ(fresh.Text(kMessage), page.Text(kMessage));
}

TEST_F(Info, ADateThatIsNoCalendarDayIsShownAsItsDigitsAndWrittenBackUnchanged) {
    sim::SimDevice& device = transmitters.Add(0);
    device.m_abyDate = {0, 0, 0};  // never dated
    logic.OnClicked(kReadInfo);
    Run();
    EXPECT_EQ(page.Text(kDate), "1900-00-00");
    logic.OnClicked(kUpdateInfo);
    Run();
    EXPECT_EQ(device.m_abyDate, (std::array<std::uint8_t, 3>{0, 0, 0}));

    DeviceDate date;
    EXPECT_FALSE(ParseDateText("1899-12-31", date));
    EXPECT_FALSE(ParseDateText("2156-01-01", date));
    EXPECT_FALSE(ParseDateText("2024-1-15", date));
    EXPECT_TRUE(ParseDateText("2155-12-31", date));
    EXPECT_TRUE(IsCalendarDate(date));
    EXPECT_FALSE(IsCalendarDate({2023, 2, 29}));
}

TEST_F(Info, NewPollingAddressFifteenIsTakenAndSixteenRefused) {
    transmitters.Add(0);
    for (const char* bad : {"16", "-1", "x", "", "  ", "3x"}) {
        shell.messages.clear();
        page.SetText(kNewAddress, bad);
        logic.OnClicked(kUpdateAddress);
        EXPECT_EQ(MessageTexts(), (std::vector<std::string>{LangText("strNOErr")})) << bad;
    }
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].icon, MessageIcon::kWarning);
    EXPECT_TRUE(CommandsHeard().empty());

    page.SetText(kNewAddress, "15");
    logic.OnClicked(kUpdateAddress);
    Run();
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0, 6}));
    EXPECT_EQ(page.Text(kAddressBox), "15");
    EXPECT_EQ(hartMaster.m_byPollAddr, 15);

    // The transmitter answers at its new address, and Stop keeps it.
    dialog.StopSequence();
    EXPECT_EQ(hartMaster.m_byPollAddr, 15);
    logic.OnClicked(kReadInfo);
    Run();
    EXPECT_EQ(shell.status[0], LangText("strOpOK"));
    EXPECT_EQ(transmitters.Heard().back().command, 13);
}

TEST_F(Info, TheShortAddressBoxSetsThePollingAddressForTheWorkflow) {
    transmitters.Add(3);
    EXPECT_EQ(page.Text(kAddressBox), "0");
    page.SetText(kAddressBox, " 3 ");
    logic.OnAddressBoxChanged();
    EXPECT_EQ(hartMaster.m_byPollAddr, 3);
    dialog.OnLine();
    Run();
    EXPECT_EQ(shell.status[0], LangText("strOpOK"));

    // The search fills this page's box; a page switch keeps its choice.
    dialog.Search();
    Run();
    EXPECT_EQ(page.Find(kAddressBox)->entries, (std::vector<std::string>{"3"}));
    dialog.ShowPage(MainDialog::kInfoIndex);
    EXPECT_EQ(hartMaster.m_byPollAddr, 3);
}

}  // namespace
}  // namespace tandrin
