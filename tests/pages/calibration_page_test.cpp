#include "pages/calibration_page.h"

#include "pages/calibration_page_ids.h"
#include "pages/page_fixture.h"

namespace tandrin {
namespace {

using namespace calibration_ids;

class Calibration : public test::PageFixture {
  protected:
    void SetUp() override {
        PageFixture::SetUp();
        AddControls(page, kControls);
        device = &transmitters.Add(0);
    }

    test::FakeForm page;
    CalibrationPage logic{page};
    sim::SimDevice* device = nullptr;
};

TEST_F(Calibration, NoSendsNothingAndBusyAsksNothing) {
    shell.answers = {false};
    logic.OnClicked(kSetLower);
    ASSERT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(shell.questions[0].text, LangText("strSetZero"));
    EXPECT_EQ(shell.questions[0].caption, "HART");
    EXPECT_TRUE(CommandsHeard().empty());
    EXPECT_TRUE(shell.statusHistory.empty());

    busyFlag = 1;
    logic.OnClicked(kSetUpper);
    ASSERT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{LangText("strBusy")}));
}

TEST_F(Calibration, ThePresentInputBecomesTheRangeEndAsked) {
    const float span = device->m_fUpperRange - device->m_fLowerRange;
    logic.OnClicked(kSetLower);
    Run();
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0, 37}));
    EXPECT_EQ(shell.status[0], LangText("strOpOK"));
    EXPECT_EQ(shell.progress.back(), (std::pair<int, int>{3, 3}));
    const double now = static_cast<double>(loop.Now()) / 1000.0;
    const double pv = device->Output(now).pv;
    EXPECT_NEAR(device->m_fLowerRange, pv, 0.5);
    EXPECT_NEAR(device->m_fUpperRange - device->m_fLowerRange, span, 1e-3);

    logic.OnClicked(kSetUpper);
    Run();
    EXPECT_EQ(shell.questions.back().text, LangText("strSetFull"));
    EXPECT_EQ(CommandsHeard().back(), 36);
    EXPECT_NEAR(device->m_fUpperRange, device->Output(now).pv, 0.5);
}

TEST_F(Calibration, RefusalsAndWarningsAreTheTransmittersOwnWords) {
    // 20 mA below the 4 mA point: refused, the range stays.
    device->m_fLowerRange = 50;
    logic.OnClicked(kSetUpper);
    Run();
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0, 36})) << "one try";
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{"The transmitter refused the upper range point (command "
                                        "36): applied process too low (10)"}));
    EXPECT_EQ(shell.status[0], LangText("strOpRefused"));
    EXPECT_FLOAT_EQ(device->m_fUpperRange, 100);

    // 4 mA here keeps the span, which pushes the 20 mA point past the
    // sensor: taken, with the warning said.
    shell.messages.clear();
    device->m_fLowerRange = 0;
    device->m_fUpperRange = 840;
    logic.OnClicked(kSetLower);
    Run();
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{"The transmitter took the lower range point (command 37) "
                                        "with a warning: upper range value pushed (14)"}));
    EXPECT_EQ(shell.status[0], LangText("strOpWarning"));
    EXPECT_NEAR(device->m_fLowerRange, 21.5, 2);

    device->m_bWriteProtected = true;
    shell.messages.clear();
    logic.OnClicked(kSetLower);
    Run();
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{"The transmitter refused the lower range point (command "
                                        "37): in write-protect mode (7)"}));
}

}  // namespace
}  // namespace tandrin
