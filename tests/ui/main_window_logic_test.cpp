// The main window's page logic, headless: page buttons and their colours,
// page switching, monitor tools, sampling period and command routing over
// in-memory controls.
#include <gtest/gtest.h>

#include "controls/image_button_model.h"
#include "controls/ui_fonts.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "link/virtual_event_loop.h"
#include "shell/lang_text.h"
#include "shell/main_dialog.h"
#include "shell/main_dialog_ids.h"
#include "shell/main_toolbar.h"
#include "shell/program_dir.h"
#include "support/fake_shell.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tandrin {
namespace {

using namespace main_ids;

constexpr Rgb kGrey{212, 212, 212};
constexpr Rgb kGreen{178, 223, 192};
const std::vector<int> kMonitorTools{31005, 31006, 31004, 31000, 31001, 31002, 31003};

class RecordingPage : public DevicePage {
  public:
    void Show(bool visible) override { shown = visible; }
    bool OnCommand(int id) override {
        commands.push_back(id);
        return false;
    }
    void SetSamplingPeriod(int seconds) override { period = seconds; }
    bool shown = false;
    std::vector<int> commands;
    int period = 0;
};

Rgb Idle(const ImageButtonModel& button) {
    Rgb colour;
    button.GetColor(ImageButtonModel::kBackIdle, colour);
    return colour;
}

class PageLogic : public ::testing::Test {
  protected:
    PageLogic() {
        busyFlag = 0;
        cancelFlag = 0;
        hartMaster.SetEventLoop(&loop);
        SetProgramDirForTesting(program.Path());
        languageFilePath =
            program.Write("English.ini", "[Lang]\nLanguage=English\n[String]\nstrBreak=Stopped\n");
        for (const int id : kMonitorTools) {
            form.Add(id);
        }
        form.Add(kPeriodBox);
        info.Add(kShortAddressBox);
        dialog.SetInfoPageForm(&info);
        for (int index = 0; index < MainDialog::kPageCount; ++index) {
            dialog.SetPage(MainDialog::SlotOfIndex(index), &pages[static_cast<std::size_t>(index)]);
            dialog.SetPageButton(index, &buttons[static_cast<std::size_t>(index)]);
        }
        dialog.InitPeriodBox();
        dialog.ShowMonitorTools(false);
        dialog.ShowFirstPage();
    }
    ~PageLogic() override {
        hartMaster.CloseLink();
        hartMaster.SetEventLoop(nullptr);
        languageFilePath.clear();
        SetProgramDirForTesting("");
        busyFlag = 0;
        cancelFlag = 0;
    }

    RecordingPage& Page(int index) { return pages[static_cast<std::size_t>(index)]; }
    std::vector<bool> Shown() const {
        std::vector<bool> shown;
        for (const RecordingPage& page : pages) {
            shown.push_back(page.shown);
        }
        return shown;
    }
    bool ToolsVisible() const {
        bool all = form.Visible(kPeriodBox);
        for (const int id : kMonitorTools) {
            all = all && form.Visible(id);
        }
        return all;
    }
    bool ToolsHidden() const {
        bool none = !form.Visible(kPeriodBox);
        for (const int id : kMonitorTools) {
            none = none && !form.Visible(id);
        }
        return none;
    }

    test::TempDir program;
    test::TempDir config;
    test::ScopedEnv xdg{"XDG_CONFIG_HOME", config.Path()};
    VirtualEventLoop loop;
    test::FakeForm form;
    test::FakeForm info;
    test::FakeMenuBar menu;
    test::FakeShell shell;
    MainDialog dialog{form, menu, shell};
    std::array<RecordingPage, MainDialog::kPageCount> pages;
    std::array<ImageButtonModel, MainDialog::kPageCount> buttons;
};

TEST(MainToolbar, HasFourteenPositionsWithTheMonitorToolsAfterTheSeparator) {
    ASSERT_EQ(kToolbar.size(), 14u);
    EXPECT_EQ(kToolbar[6].command, 0);
    for (int position = 0; position < kToolbarPositions; ++position) {
        const int command = kToolbar[static_cast<std::size_t>(position)].command;
        EXPECT_EQ(IsMonitorTool(command), position >= kFirstMonitorPosition) << position;
    }
    EXPECT_EQ(kToolbar[0].command, kOnLine);
    EXPECT_EQ(kToolbar[13].command, kMonitorPercent);
}

TEST(MainToolbar, PeriodEntriesGiveTheirSecondsAndNoSelectionGivesTwo) {
    const std::vector<std::pair<std::string, int>> expected{
        {"2   sec", 2},   {"4   sec", 4},   {"8   sec", 8},   {"30  sec", 30},  {"1   min", 60},
        {"2   min", 120}, {"5   min", 300}, {"10  min", 600}, {"30  min", 1800}};
    for (int index = 0; index < kPeriodEntries; ++index) {
        const auto& entry = kPeriods[static_cast<std::size_t>(index)];
        EXPECT_EQ(std::pair(std::string(entry.text), PeriodOfSelection(index)),
                  expected[static_cast<std::size_t>(index)]);
    }
    EXPECT_EQ(PeriodOfSelection(-1), 2);
    EXPECT_EQ(PeriodOfSelection(9), 2);
}

TEST(UiFonts, TakeTheFaceAskedForElseTheNearestInstalledStandIn) {
    const std::vector<std::string> debian{"DejaVu Sans", "Carlito", "WenQuanYi Micro Hei",
                                          "WenQuanYi Zen Hei", "DejaVu Serif"};
    EXPECT_EQ(PickFace(WesternFontRequest(), debian), "Carlito");
    EXPECT_EQ(PickFace(ChineseFontRequest(), debian), "WenQuanYi Zen Hei");
    EXPECT_EQ(PickFace(ReadoutFontRequest(), debian), "DejaVu Serif");

    EXPECT_EQ(PickFace(WesternFontRequest(), {"carlito", "calibri"}), "Calibri");
    EXPECT_EQ(PickFace(ChineseFontRequest(), {"SimSun", "WenQuanYi Micro Hei"}), "SimSun");
    EXPECT_EQ(PickFace(ChineseFontRequest(), {"DejaVu Sans"}), "");  // the toolkit's default

    EXPECT_EQ(ChineseFontRequest().pixelSize, 14);
    EXPECT_EQ(WesternFontRequest().cellHeight, 16);
}

TEST_F(PageLogic, StartsOnTheSetupPageWithNothingHighlightedAndTheToolsHidden) {
    EXPECT_EQ(Shown(), (std::vector<bool>{true, false, false, false, false}));
    EXPECT_EQ(dialog.VisiblePage(), MainDialog::kSetupIndex);
    EXPECT_TRUE(ToolsHidden());
    EXPECT_EQ(form.EntryCount(kPeriodBox), 9);
    EXPECT_EQ(form.Text(kPeriodBox), "2   sec");
    EXPECT_EQ(Page(MainDialog::kMonitorIndex).period, 2);

    dialog.InitPageButtonColours();
    for (const ImageButtonModel& button : buttons) {
        Rgb pressed, focused, text;
        button.GetColor(ImageButtonModel::kBackPressed, pressed);
        button.GetColor(ImageButtonModel::kBackFocused, focused);
        button.GetColor(ImageButtonModel::kTextFocused, text);
        EXPECT_EQ(Idle(button), kGrey);
        EXPECT_EQ(pressed, kGrey);
        EXPECT_EQ(focused, kGreen);
        EXPECT_EQ(text, kBlack);
    }
}

TEST_F(PageLogic, EachPageButtonShowsItsPageAloneHighlightsItAndSetsTheMonitorTools) {
    const std::array<int, 5> buttonIds{kPageSetup, kPageInfo, kPageCalibration, kPageMonitor,
                                       kPageCurrentAdjust};
    for (int index = 0; index < MainDialog::kPageCount; ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(dialog.OnCommand(buttonIds[static_cast<std::size_t>(index)]),
                  MainDialog::CommandResult::kDone);
        std::vector<bool> expected(5, false);
        expected[static_cast<std::size_t>(index)] = true;
        EXPECT_EQ(Shown(), expected);
        EXPECT_EQ(dialog.VisiblePage(), index);
        for (int other = 0; other < MainDialog::kPageCount; ++other) {
            EXPECT_EQ(Idle(buttons[static_cast<std::size_t>(other)]),
                      other == index ? kGreen : kGrey);
        }
        EXPECT_EQ(dialog.MonitorToolsShown(), index == MainDialog::kMonitorIndex);
        EXPECT_TRUE(index == MainDialog::kMonitorIndex ? ToolsVisible() : ToolsHidden());
    }
}

TEST_F(PageLogic, MonitorToolsComeBackWithThePeriodSelectionUnchanged) {
    dialog.OnCommand(kPageMonitor);
    form.SetSelection(kPeriodBox, 6);
    dialog.OnPeriodChange();
    EXPECT_EQ(Page(MainDialog::kMonitorIndex).period, 300);

    dialog.OnCommand(kPageInfo);
    EXPECT_TRUE(ToolsHidden());
    dialog.OnCommand(kPageMonitor);
    EXPECT_TRUE(ToolsVisible());
    EXPECT_EQ(form.Selection(kPeriodBox), 6);
    EXPECT_EQ(Page(MainDialog::kMonitorIndex).period, 300);

    form.SetSelection(kPeriodBox, 4);
    dialog.OnPeriodChange();
    EXPECT_EQ(dialog.SamplingPeriod(), 60);
    form.SetSelection(kPeriodBox, -1);
    dialog.OnPeriodChange();
    EXPECT_EQ(Page(MainDialog::kMonitorIndex).period, 2);
}

TEST_F(PageLogic, ClickingTheShownPageStillStopsTheSequenceAndRereadsTheAddress) {
    busyFlag = 1;
    dialog.mainMode = kSearch;
    info.SetText(kShortAddressBox, "7");

    dialog.OnCommand(kPageSetup);

    EXPECT_EQ(busyFlag, 0);
    EXPECT_EQ(cancelFlag, 1);
    EXPECT_EQ(dialog.mainMode, 0);
    EXPECT_EQ(hartMaster.m_byPollAddr, 7);
    EXPECT_EQ(shell.status[0], "Stopped");
    EXPECT_EQ(Shown(), (std::vector<bool>{true, false, false, false, false}));
}

TEST_F(PageLogic, MonitorCommandsReachTheMonitorPageFromAnyPage) {
    dialog.OnCommand(kPageCalibration);
    for (const int id : kMonitorTools) {
        EXPECT_EQ(dialog.OnCommand(id), MainDialog::CommandResult::kDone);
    }
    EXPECT_EQ(Page(MainDialog::kMonitorIndex).commands, kMonitorTools);
    EXPECT_EQ(dialog.VisiblePage(), MainDialog::kCalibrationIndex);
    for (int index = 0; index < MainDialog::kPageCount; ++index) {
        if (index != MainDialog::kMonitorIndex) {
            EXPECT_TRUE(Page(index).commands.empty());
        }
    }
}

TEST_F(PageLogic, CommandsTheWindowItselfCarriesOutAreHandedBack) {
    EXPECT_EQ(dialog.OnCommand(kFileExit), MainDialog::CommandResult::kClose);
    EXPECT_EQ(dialog.OnCommand(kHelpAbout), MainDialog::CommandResult::kAbout);
    EXPECT_EQ(dialog.OnCommand(kLanguageFirst + 3), MainDialog::CommandResult::kLanguageChanged);
    EXPECT_EQ(dialog.OnCommand(12345), MainDialog::CommandResult::kNotMine);
    // Contact without a product file opens nothing.
    EXPECT_EQ(dialog.OnCommand(kContact), MainDialog::CommandResult::kDone);
    EXPECT_TRUE(shell.openedAddresses.empty());
}

}  // namespace
}  // namespace tandrin
