#include "pages/current_adjust_page.h"

#include <algorithm>

#include "pages/current_adjust_page_ids.h"
#include "pages/page_fixture.h"
#include "shell/leading_number.h"

namespace tandrin {
namespace {

using namespace current_ids;

// Stands in for another page the main window switches to.
class OtherPage : public DevicePage {};

class CurrentAdjust : public test::PageFixture {
  protected:
    void SetUp() override {
        PageFixture::SetUp();
        AddControls(page, kControls);
        logic.Init();
        dialog.SetPage(MainDialog::kCurrentAdjustPage, &logic);
        dialog.SetPage(MainDialog::kSetupPage, &other);
        device = &transmitters.Add(0);
        dialog.ShowPage(MainDialog::kCurrentIndex);
    }

    void TypeOther(const std::string& text) {
        logic.OnClicked(kOther);
        page.SetText(kOtherEdit, text);
        logic.OnOtherCurrentChanged();
    }
    // What the transmitter puts out now.
    float DeviceFixedCurrent() const { return device->m_fFixedCurrent; }

    test::FakeForm page;
    CurrentAdjustPage logic{page};
    OtherPage other;
    sim::SimDevice* device = nullptr;
};

TEST_F(CurrentAdjust, SendAcceptsThePresetsAndTypedCurrentsWithinTheirBounds) {
    EXPECT_TRUE(page.Checked(1013));
    EXPECT_FALSE(page.Enabled(kOtherEdit));

    // 3.8 is held as the float just below it; the bound lets it through.
    logic.OnClicked(kPresetFirst);
    logic.OnClicked(kSend);
    Run();
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0, 40}));
    EXPECT_FLOAT_EQ(DeviceFixedCurrent(), 3.8f);
    EXPECT_EQ(shell.status[0], LangText("strOpOK"));

    TypeOther("20.5");
    EXPECT_TRUE(page.Enabled(kOtherEdit));
    EXPECT_EQ(page.focus, kOtherEdit);
    logic.OnClicked(kSend);
    Run();
    EXPECT_FLOAT_EQ(DeviceFixedCurrent(), 20.5f);
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(CurrentAdjust, AWriteProtectedTransmitterRefusesTheFixedCurrentOnce) {
    device->m_bWriteProtected = true;
    logic.OnClicked(kPresetFirst);
    logic.OnClicked(kSend);
    Run();
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0, 40}));
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{"The transmitter refused the fixed current (command 40): "
                                        "in write-protect mode (7)"}));
    EXPECT_EQ(shell.status[0], LangText("strOpRefused"));
    EXPECT_FLOAT_EQ(DeviceFixedCurrent(), 0);
}

TEST_F(CurrentAdjust, SendRefusesATypedCurrentOutsideItsBoundsAndSendsNothing) {
    for (const char* typed : {"3.79", "20.51", "", "mA 4"}) {
        shell.messages.clear();
        page.focus = 0;
        TypeOther(typed);
        page.focus = 0;
        logic.OnClicked(kSend);
        Run();
        EXPECT_EQ(MessageTexts(), (std::vector<std::string>{LangText("strCurrentErr")})) << typed;
        EXPECT_EQ(shell.messages[0].caption, "HART");
        EXPECT_EQ(page.focus, kOtherEdit) << typed;
    }
    EXPECT_TRUE(CommandsHeard().empty());

    // Numbers are read as their longest valid prefix.
    TypeOther(" 12.5e0 mA");
    EXPECT_FLOAT_EQ(logic.FixedCurrent(), 12.5f);
    // A preset afterwards disables the edit but leaves its text.
    logic.OnClicked(1015);
    EXPECT_FALSE(page.Enabled(kOtherEdit));
    EXPECT_EQ(page.Text(kOtherEdit), " 12.5e0 mA");
    EXPECT_FLOAT_EQ(logic.FixedCurrent(), 12.0f);
}

TEST_F(CurrentAdjust, TrimAsksFirstThenChecksBothReadingsWithBoundsIncluded) {
    shell.answers = {false};
    logic.OnClicked(kUpdate);
    ASSERT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(shell.questions[0].text, LangText("strTrimCurrent"));
    EXPECT_TRUE(shell.messages.empty());

    const struct {
        const char* zero;
        const char* gain;
        int offending;
    } refused[] = {{"", "20", kFirstReading},
                   {"2.999", "20", kFirstReading},
                   {"6.001", "20", kFirstReading},
                   {"4", "17.999", kSecondReading},
                   {"4", "22.001", kSecondReading}};
    for (const auto& readings : refused) {
        shell.messages.clear();
        page.SetText(kFirstReading, readings.zero);
        page.SetText(kSecondReading, readings.gain);
        logic.OnClicked(kUpdate);
        Run();
        EXPECT_EQ(MessageTexts(), (std::vector<std::string>{LangText("strCurrentErr")}))
            << readings.zero << " " << readings.gain;
        EXPECT_EQ(page.focus, readings.offending) << readings.zero << " " << readings.gain;
    }
    ASSERT_EQ(shell.questions.size(), 6u);
    EXPECT_TRUE(CommandsHeard().empty());

    page.SetText(kFirstReading, "3.0");
    page.SetText(kSecondReading, "22.0");
    logic.OnClicked(kUpdate);
    Run();
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0, 45, 46, 40}));
    EXPECT_FLOAT_EQ(device->m_fTrimZero, 3.0f);
    EXPECT_FLOAT_EQ(device->m_fTrimGain, 22.0f);
    EXPECT_FLOAT_EQ(DeviceFixedCurrent(), 0.0f);
    EXPECT_FALSE(fixedCurrentGuard.Forced());
}

TEST_F(CurrentAdjust, TestForcesItsCurrentAndLeavesTheFocusOnItsReading) {
    logic.OnClicked(kTest2);
    EXPECT_EQ(page.focus, kSecondReading);
    Run();
    EXPECT_FLOAT_EQ(DeviceFixedCurrent(), 20.0f);
    EXPECT_TRUE(fixedCurrentGuard.Forced());

    logic.OnClicked(kExit);
    Run();
    EXPECT_FLOAT_EQ(DeviceFixedCurrent(), 0.0f);
    EXPECT_FALSE(fixedCurrentGuard.Forced());
}

TEST_F(CurrentAdjust, LeavingThePageAfterSendOffersToReleaseTheLoop) {
    logic.OnClicked(kSend);
    Run();
    ASSERT_TRUE(fixedCurrentGuard.Forced());

    // No: the loop stays forced, and the question comes again next time.
    shell.answers = {false};
    dialog.ShowPage(MainDialog::kSetupIndex);
    Run();
    ASSERT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(shell.questions[0].text, LangText(kReleaseOnLeaveKey));
    EXPECT_FLOAT_EQ(DeviceFixedCurrent(), 4.0f);
    EXPECT_TRUE(fixedCurrentGuard.Forced());

    // Yes: [0, 40] with 0 has gone through before the switch returns.
    dialog.ShowPage(MainDialog::kCurrentIndex);
    ASSERT_EQ(shell.questions.size(), 1u) << "only leaving the page asks";
    const auto heard = CommandsHeard().size();
    dialog.ShowPage(MainDialog::kSetupIndex);
    ASSERT_EQ(shell.questions.size(), 2u);
    EXPECT_EQ(busyFlag, 0);
    ASSERT_EQ(CommandsHeard().size(), heard + 2);
    EXPECT_FLOAT_EQ(DeviceFixedCurrent(), 0.0f);
    EXPECT_FALSE(fixedCurrentGuard.Forced());
    EXPECT_EQ(dialog.VisiblePage(), MainDialog::kSetupIndex);

    // Released: leaving again asks nothing.
    dialog.ShowPage(MainDialog::kCurrentIndex);
    dialog.ShowPage(MainDialog::kSetupIndex);
    ASSERT_EQ(shell.questions.size(), 2u);
}

// The trim's closing command 40 leaves fixed-current mode, whatever current
// a Send forced before.
TEST_F(CurrentAdjust, ATrimEndsWithTheLoopReleasedAfterAForcedCurrent) {
    TypeOther("12");
    logic.OnClicked(kSend);
    Run();
    ASSERT_FLOAT_EQ(DeviceFixedCurrent(), 12.0f);
    page.SetText(kFirstReading, "4.01");
    page.SetText(kSecondReading, "19.99");
    logic.OnClicked(kUpdate);
    Run();
    const auto heard = CommandsHeard();
    ASSERT_GE(heard.size(), 4u);
    EXPECT_EQ(std::vector<std::uint8_t>(heard.end() - 4, heard.end()),
              (std::vector<std::uint8_t>{0, 45, 46, 40}));
    EXPECT_FLOAT_EQ(DeviceFixedCurrent(), 0.0f);
    EXPECT_FALSE(fixedCurrentGuard.Forced());
}

TEST_F(CurrentAdjust, ATrimThatFailsBeforeItsClosingCommandLeavesTheLoopForced) {
    transmitters.silentCommands = {46};
    page.SetText(kFirstReading, "4.01");
    page.SetText(kSecondReading, "19.99");
    logic.OnClicked(kUpdate);
    Run();
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{LangText("strCommFail")}));
    const auto heard = CommandsHeard();
    EXPECT_EQ(std::count(heard.begin(), heard.end(), 40), 0);
    EXPECT_TRUE(fixedCurrentGuard.Forced());

    // A command 0 that fails reached nothing: no new forcing is noted.
    fixedCurrentGuard.NoteReleased();
    transmitters.silentCommands = {0};
    logic.OnClicked(kSend);
    Run();
    EXPECT_FALSE(fixedCurrentGuard.Forced());
}

TEST_F(CurrentAdjust, AStoppedSequenceIsIgnoredAndReleasingWaitsForNothingWhenRefused) {
    logic.OnClicked(kSend);
    loop.RunFor(50);  // command 0 is on its way
    dialog.StopSequence();
    Run();
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0}));
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_FALSE(fixedCurrentGuard.Forced());

    // Forced, but the port cannot be opened: asked, refused, not waiting,
    // and said so.
    hartMaster.CloseLink();
    hartMaster.m_strPortName = "/dev/ttyNONE";
    fixedCurrentGuard.NoteForced();
    EXPECT_EQ(fixedCurrentGuard.OfferRelease(kReleaseOnCloseKey, true),
              FixedCurrentGuard::Offer::kFailed);
    ASSERT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{LangText("strPortFail"), LangText("strReleaseFailed")}));
    EXPECT_TRUE(fixedCurrentGuard.Forced());
    EXPECT_FALSE(fixedCurrentGuard.Releasing());
}

// The release goes where the loop was forced, after asking, even when the
// window has moved on to another polling address.
TEST_F(CurrentAdjust, TheReleaseGoesWhereTheLoopWasForced) {
    logic.OnClicked(kSend);
    Run();
    ASSERT_TRUE(fixedCurrentGuard.Forced());
    transmitters.Add(3);
    hartMaster.m_byPollAddr = 3;

    shell.answers = {true, false};
    EXPECT_EQ(fixedCurrentGuard.OfferRelease(kReleaseOnCloseKey, true),
              FixedCurrentGuard::Offer::kCancelled);
    ASSERT_EQ(shell.questions.size(), 2u);
    EXPECT_NE(shell.questions[1].text.find(hartMaster.m_strPortName), std::string::npos);
    EXPECT_FLOAT_EQ(DeviceFixedCurrent(), 4.0f);

    shell.answers = {true, true};
    EXPECT_EQ(fixedCurrentGuard.OfferRelease(kReleaseOnCloseKey, true),
              FixedCurrentGuard::Offer::kReleased);
    EXPECT_FLOAT_EQ(DeviceFixedCurrent(), 0.0f);
    EXPECT_EQ(hartMaster.m_byPollAddr, 3) << "the window's address again";
}

TEST(LeadingDouble, TakesTheLongestDecimalPrefixAndNothingElse) {
    EXPECT_DOUBLE_EQ(LeadingDouble("  +.5x"), 0.5);
    EXPECT_DOUBLE_EQ(LeadingDouble("-4e1mA"), -40.0);
    EXPECT_DOUBLE_EQ(LeadingDouble("4e"), 4.0);  // no exponent digits: not an exponent
    EXPECT_DOUBLE_EQ(LeadingDouble("4.e+"), 4.0);
    EXPECT_DOUBLE_EQ(LeadingDouble("0x10"), 0.0);  // no hexadecimal
    EXPECT_DOUBLE_EQ(LeadingDouble("inf"), 0.0);
    EXPECT_DOUBLE_EQ(LeadingDouble("-."), 0.0);
    EXPECT_DOUBLE_EQ(LeadingDouble("1e999"), 0.0);  // beyond a double: refused by any bound
    EXPECT_DOUBLE_EQ(LeadingDouble(std::string(255, ' ') + "7"), 0.0);  // past 255 characters
}

}  // namespace
}  // namespace tandrin
