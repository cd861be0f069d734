// The monitor page headless: its sequences against simulated transmitters
// in virtual time, over in-memory controls.
#include <gtest/gtest.h>

#include "link/command_flags.h"
#include "pages/memory_monitor_views.h"
#include "pages/monitor_page.h"
#include "pages/monitor_page_ids.h"
#include "shell/command_issue.h"
#include "shell/lang_text.h"
#include "shell/main_dialog_ids.h"
#include "shell/program_dir.h"
#include "support/master_fixture.h"

namespace tandrin {
namespace {

using namespace monitor_ids;
using main_ids::kMonitorAll;
using main_ids::kMonitorCurrent;
using main_ids::kMonitorHistory;
using main_ids::kMonitorPercent;
using main_ids::kMonitorPv;

class MonitorPageTest : public test::MasterFixture {
  protected:
    MonitorPageTest() {
        device = &transmitters.Add(0);
        for (const int id : {kRadioPv, kRadioMa, kRadioPercent}) {
            pageForm.Add(id);
        }
        mainForm.Add(main_ids::kPvReadout);
        mainForm.Add(main_ids::kCurrentReadout);
        mainForm.Add(main_ids::kPercentReadout);
        mainForm.Add(kMonitorHistory);
        info.Add(main_ids::kShortAddressBox);
        dialog.SetInfoPageForm(&info);
        dialog.SetPage(MainDialog::kMonitorPage, &page);
        // Each clock read is one second on: the stamps show the reads.
        page.SetClock([this] { return 1'000 + ++clockReads; });
        page.Initialise();
        page.Resize(758, 400);
        page.Show(true);
    }
    ~MonitorPageTest() override { page.EndRecording(); }

    // Runs until the page waits for its period (or has stopped).
    void RunToWait() {
        for (int turn = 0;
             turn < 200 && busyFlag != 0 && CommandSequence.index < CommandSequence.count; ++turn) {
            loop.RunFor(50);
        }
    }
    std::size_t Count(Quantity quantity) const { return page.Samples(quantity).size(); }
    void Record(int mode, int samples) {
        page.OnCommand(mode);
        while (static_cast<int>(page.Samples(mode == kMonitorCurrent   ? Quantity::kCurrent
                                             : mode == kMonitorPercent ? Quantity::kPercent
                                                                       : Quantity::kPv)
                                    .size()) < samples) {
            loop.RunFor(100);
        }
    }

    test::TempDir& dir = config;
    sim::SimDevice* device = nullptr;
    test::FakeForm info;
    test::FakeForm pageForm;
    MemoryMonitorViews views;
    MonitorPage page{pageForm, shell, views.Views()};
    int clockReads = 0;
};

TEST_F(MonitorPageTest, LaysOutTheChartsGaugeAndListFor758By400) {
    page.OnCommand(kMonitorHistory);
    EXPECT_TRUE(page.ListVisible());
    EXPECT_TRUE(mainForm.Checked(kMonitorHistory));
    EXPECT_EQ(views.list.rect, (PageRect{0, 0, 160, 400}));
    EXPECT_EQ(views.pvChart.rect, (PageRect{161, 1, 429, 199}));
    EXPECT_EQ(views.currentChart.rect, (PageRect{430, 1, 698, 199}));
    EXPECT_EQ(views.percentChart.rect, (PageRect{161, 200, 429, 398}));
    EXPECT_EQ(views.gauge.rect, (PageRect{440, 200, 638, 398}));

    // A narrow page gives the gauge the width.
    const MonitorLayout narrow = ComputeMonitorLayout(300, 400, false);
    EXPECT_EQ(narrow.gauge, (PageRect{121, 239, 240, 358}));

    // A chart shown alone takes all but the list and the radio strip.
    page.ShowSingle(&views.currentChart);
    EXPECT_EQ(views.currentChart.rect, (PageRect{162, 0, 700, 400}));
    EXPECT_TRUE(views.currentChart.detailed);
    EXPECT_FALSE(views.pvChart.visible);
    EXPECT_FALSE(views.gauge.visible);
    EXPECT_FALSE(pageForm.Visible(kRadioMa));
    page.OnCommand(kMonitorHistory);  // the list goes, the chart stays alone
    EXPECT_EQ(views.list.rect, (PageRect{0, 0, 0, 400}));
    EXPECT_EQ(views.currentChart.rect, (PageRect{2, 0, 700, 400}));
    page.ShowSingle(nullptr);
    EXPECT_FALSE(views.currentChart.detailed);
    EXPECT_TRUE(views.gauge.visible);
    EXPECT_TRUE(pageForm.Visible(kRadioMa));
}

TEST_F(MonitorPageTest, AllValuesTakesPvAfterCommandOneThenCurrentAndPercentOnOneStamp) {
    page.OnCommand(kMonitorAll);
    RunToWait();
    EXPECT_EQ(CommandsHeard(), (std::vector<std::uint8_t>{0, 15, 1, 2}));
    ASSERT_EQ(Count(Quantity::kPv), 1u);
    ASSERT_EQ(Count(Quantity::kCurrent), 1u);
    ASSERT_EQ(Count(Quantity::kPercent), 1u);
    EXPECT_EQ(page.Samples(Quantity::kPv)[0].time, 1001);
    EXPECT_EQ(page.Samples(Quantity::kCurrent)[0].time, 1002);
    EXPECT_EQ(page.Samples(Quantity::kPercent)[0].time, 1002);
    EXPECT_EQ(clockReads, 2);
    EXPECT_EQ(page.Samples(Quantity::kPv)[0].value, static_cast<double>(hartMaster.m_fPV));
    EXPECT_EQ(page.Samples(Quantity::kCurrent)[0].value,
              static_cast<double>(hartMaster.m_fLoopCurrent));
    // The range came from command 15; the charts follow their lists.
    EXPECT_EQ(page.PvMin(), static_cast<double>(hartMaster.m_fLowerRange));
    EXPECT_EQ(page.PvUnit(), hartMaster.m_strPVUnit);
    EXPECT_EQ(views.pvChart.samples, &page.Samples(Quantity::kPv));
    EXPECT_TRUE(views.pvChart.follow);
    // The gauge shows percent, the main window's read-outs are up to date.
    EXPECT_EQ(views.gauge.value, static_cast<double>(hartMaster.m_fPercentRange));
    EXPECT_FALSE(mainForm.Text(main_ids::kPvReadout).empty());
    EXPECT_FALSE(mainForm.Text(main_ids::kCurrentReadout).empty());
    // The line stays held between samples; no rows while the list is hidden.
    EXPECT_EQ(busyFlag, 1);
    EXPECT_TRUE(views.list.rows.empty());
    EXPECT_TRUE(page.HasUnsavedSamples());
}

TEST_F(MonitorPageTest, AfterThePeriodEachModeResumesPastTheIdentification) {
    struct Case {
        int mode;
        std::vector<std::uint8_t> next;
    };
    for (const Case& each : {Case{kMonitorAll, {1, 2}}, Case{kMonitorPv, {1}},
                             Case{kMonitorCurrent, {2}}, Case{kMonitorPercent, {2}}}) {
        SCOPED_TRACE(each.mode);
        page.EndRecording();
        loop.RunFor(2000);
        page.SetSamplingPeriod(4);
        const std::size_t heardBefore = transmitters.Heard().size();
        page.OnCommand(each.mode);
        RunToWait();
        const std::size_t first = transmitters.Heard().size();
        loop.RunFor(3900);
        EXPECT_EQ(transmitters.Heard().size(), first) << "nothing before the period is over";
        loop.RunFor(200);
        RunToWait();
        const auto heard = CommandsHeard();
        EXPECT_EQ(std::vector<std::uint8_t>(heard.begin() + static_cast<long>(first), heard.end()),
                  each.next);
        EXPECT_EQ(heard[heardBefore], 0);
    }
    // Only the PV-only mode leaves the gauge alone.
    EXPECT_EQ(page.Enlarged(), &views.percentChart);
}

TEST_F(MonitorPageTest, StopEndsTheRecordingAtTheNextTick) {
    page.OnCommand(kMonitorPv);
    RunToWait();
    ASSERT_EQ(Count(Quantity::kPv), 1u);
    dialog.StopSequence();
    EXPECT_EQ(busyFlag, 0);
    loop.RunFor(1000);
    EXPECT_FALSE(page.Recording());
    EXPECT_EQ(busyFlag, 0);
    const std::size_t heard = transmitters.Heard().size();
    loop.RunFor(10'000);
    EXPECT_EQ(transmitters.Heard().size(), heard);
    EXPECT_EQ(loop.PendingTimers(), 0u);
    EXPECT_EQ(Count(Quantity::kPv), 1u) << "the samples stay";
}

// After Stop, another window's sequence may hold the line before the tick:
// the tick must neither overrun it nor free its line.
TEST_F(MonitorPageTest, ATickAfterStopLeavesAnotherSequenceAlone) {
    page.SetSamplingPeriod(30);
    page.OnCommand(kMonitorAll);
    RunToWait();
    dialog.StopSequence();
    dialog.ProductInformation();  // 0, 162
    EXPECT_EQ(busyFlag, 1);
    loop.RunFor(1000);
    EXPECT_FALSE(page.Recording());
    loop.RunFor(40'000);
    const auto heard = CommandsHeard();
    EXPECT_EQ(std::vector<std::uint8_t>(heard.end() - 2, heard.end()),
              (std::vector<std::uint8_t>{0, 162}));
    EXPECT_EQ(dialog.lastOutcome, MainDialog::Outcome::kDone);
}

TEST_F(MonitorPageTest, AFailedCommandEndsTheRecordingAndKeepsTheSamples) {
    page.OnCommand(kMonitorCurrent);
    RunToWait();
    transmitters.silentCommands = {2};
    loop.RunFor(60'000);
    EXPECT_FALSE(page.Recording());
    EXPECT_EQ(busyFlag, 0);
    EXPECT_EQ(Count(Quantity::kCurrent), 1u);
    ASSERT_FALSE(shell.messages.empty());
    EXPECT_EQ(shell.messages.back().text, LangText("strCommFail"));
    EXPECT_EQ(loop.PendingTimers(), 0u);
}

TEST_F(MonitorPageTest, GaugeRadiosSetScaleAndOnlyMaSetsLabelDecimals) {
    page.OnRadio(kRadioMa);
    EXPECT_EQ(views.gauge.unit, "mA");
    EXPECT_EQ(views.gauge.value, 4.0);
    page.OnRadio(kRadioPercent);
    EXPECT_EQ(views.gauge.maximum, 100.0);
    EXPECT_EQ(views.gauge.valueDecimals, 2);
    EXPECT_EQ(views.gauge.labelDecimals, 1) << "stays from mA";
    EXPECT_TRUE(pageForm.Checked(kRadioPercent));
    EXPECT_FALSE(pageForm.Checked(kRadioMa));
    page.OnRadio(kRadioPv);
    EXPECT_EQ(views.gauge.minimum, -200.0);
    EXPECT_EQ(views.gauge.value, -200.0);
    EXPECT_EQ(page.Selection(), 0);
}

TEST_F(MonitorPageTest, TheListIsRebuiltFromTheSamplesInBatchesAndMissesNone) {
    page.OnCommand(kMonitorAll);
    RunToWait();
    page.EndRecording();
    // A long recording, as if loaded.
    TrendRecord record = page.Record();
    record.m_PVUnit = "\xA1\xE6";  // saved with the Chinese interface
    for (int i = 0; i < 5000; ++i) {
        record.pv.push_back({static_cast<double>(i), 2000 + i});
    }
    const std::string path = dir.Path() + "long.tdd";
    ASSERT_EQ(SaveTrendRecord(path, record), RecordIo::kOk);
    ASSERT_TRUE(page.LoadRecordFile(path));
    EXPECT_TRUE(page.RefillPending());
    EXPECT_LT(views.list.rows.size(), 5003u);
    loop.RunFor(0);
    EXPECT_FALSE(page.RefillPending());
    ASSERT_EQ(views.list.rows.size(), 5003u);
    EXPECT_GT(views.list.batches, 1);
    EXPECT_EQ(views.list.sortColumn, 0);
    EXPECT_FALSE(views.list.sortAscending);
    // Top row: the newest percent sample; bottom: the oldest PV sample.
    EXPECT_EQ(views.list.rows.front()[2], "%");
    EXPECT_EQ(views.list.rows.back()[1], ValueText(record.pv.front().value));
    // The degree text in the interface's code page, whatever the record's.
    EXPECT_EQ(views.list.rows.back()[2],
              "\xB0"
              "C");

    // A sample taken during a refill is listed once.
    page.OnCommand(kMonitorHistory);
    page.OnCommand(kMonitorHistory);
    ASSERT_TRUE(page.RefillPending());
    page.OnCommand(kMonitorAll);
    RunToWait();
    loop.RunFor(0);
    EXPECT_EQ(views.list.rows.size(), 5006u);
}

TEST_F(MonitorPageTest, SaveThenLoadRestoresOrderValuesStampsAndUnit) {
    page.OnCommand(kMonitorAll);
    RunToWait();
    loop.RunFor(2100);
    RunToWait();
    page.EndRecording();
    ASSERT_EQ(Count(Quantity::kPv), 2u);
    const TrendRecord saved = page.Record();
    // Records need no modem: saving and opening work with the port gone.
    hartMaster.CloseLink();
    line.refuseOpen = true;
    shell.savePaths.push_back(dir.Path() + "run.tdd");
    page.OnCommand(main_ids::kMonitorSave);
    EXPECT_FALSE(page.HasUnsavedSamples());
    EXPECT_EQ(shell.fileFilters.back(), "tdd Files(*.tdd)");

    MemoryMonitorViews otherViews;
    test::FakeForm otherForm;
    MonitorPage other(otherForm, shell, otherViews.Views());
    other.Initialise();
    other.Resize(758, 400);
    shell.openPaths.push_back(dir.Path() + "run.tdd");
    other.OnCommand(main_ids::kMonitorOpen);
    EXPECT_EQ(other.Record(), saved);
    EXPECT_TRUE(other.ListVisible());
    EXPECT_EQ(otherViews.pvChart.samples, &other.Samples(Quantity::kPv));
    EXPECT_FALSE(otherViews.pvChart.follow);
    EXPECT_EQ(otherViews.pvChart.unit, saved.m_PVUnit);
    loop.RunFor(0);
    EXPECT_EQ(otherViews.list.rows.size(), 6u);
}

TEST_F(MonitorPageTest, ABadOrMissingRecordLeavesTheSamplesAsTheyWere) {
    page.OnCommand(kMonitorAll);
    RunToWait();
    page.EndRecording();
    const TrendRecord before = page.Record();
    std::string bytes = EncodeTrendRecord(before);
    bytes[12] = 'X';  // "PV Curve" misspelt
    shell.answers = {true, true};
    EXPECT_FALSE(page.LoadRecordFile(dir.Write("bad.tdd", bytes)));
    EXPECT_EQ(shell.messages.back().text, LangText("strFileError"));
    EXPECT_EQ(shell.messages.back().icon, MessageIcon::kWarning);
    EXPECT_FALSE(page.LoadRecordFile(dir.Path() + "gone.tdd"));
    EXPECT_EQ(shell.messages.back().text, dir.Path() + "gone.tddcan't Open!");
    EXPECT_EQ(page.Record(), before);
    EXPECT_TRUE(page.HasUnsavedSamples());
    EXPECT_FALSE(page.SaveRecordFile(dir.Path() + "no/dir.tdd"));
    EXPECT_EQ(shell.messages.back().text, dir.Path() + "no/dir.tddcan't create!");
}

TEST_F(MonitorPageTest, UnsavedSamplesGoOnlyAfterAYes) {
    dialog.ShowFirstPage();
    dialog.ShowPage(MainDialog::kMonitorIndex);
    page.ToggleList();  // shown, so the samples have rows
    page.OnCommand(kMonitorPv);
    RunToWait();
    ASSERT_TRUE(page.HasUnsavedSamples());

    // Leaving: No keeps the page, its samples and the recording.
    shell.defaultAnswer = false;
    dialog.ShowPage(MainDialog::kSetupIndex);
    ASSERT_EQ(shell.questions.size(), 1u);
    EXPECT_EQ(shell.questions[0].text, LangText("strDiscardSamples"));
    EXPECT_EQ(dialog.VisiblePage(), MainDialog::kMonitorIndex);
    EXPECT_EQ(Count(Quantity::kPv), 1u);
    EXPECT_TRUE(page.Recording());
    EXPECT_FALSE(dialog.MayClose()) << "closing asks too";
    shell.defaultAnswer = true;

    // Opening a record over them asks before anything is read.
    shell.answers = {false};
    shell.openPaths.push_back(dir.Write("empty.tdd", EncodeTrendRecord(TrendRecord{})));
    page.EndRecording();
    page.OnCommand(main_ids::kMonitorOpen);
    EXPECT_EQ(Count(Quantity::kPv), 1u);

    // Yes: the page goes and so do its samples, and their rows with them:
    // they must not mix with the next recording's.
    EXPECT_FALSE(views.list.rows.empty());
    dialog.ShowPage(MainDialog::kSetupIndex);
    EXPECT_EQ(dialog.VisiblePage(), MainDialog::kSetupIndex);
    EXPECT_EQ(Count(Quantity::kPv), 0u);
    EXPECT_TRUE(views.list.rows.empty());
    EXPECT_EQ(shell.questions.size(), 4u);
    // Nothing unsaved: no question.
    dialog.ShowPage(MainDialog::kMonitorIndex);
    dialog.ShowPage(MainDialog::kSetupIndex);
    EXPECT_EQ(shell.questions.size(), 4u);
}

TEST_F(MonitorPageTest, RetranslationRenamesColumnsAndTitles) {
    EXPECT_EQ(views.list.columns, "Time,60;Value,60;Unit,50");
    languageFilePath = kResources + "SimplifiedChinese.ini";
    page.Translate();
    EXPECT_EQ(views.list.titles[0], LangText("KvView4", "strTime"));
    EXPECT_EQ(views.pvChart.title, LangText("KvView4", "strPVCurve"));
    EXPECT_NE(views.pvChart.title, "Process Value");
}

}  // namespace
}  // namespace tandrin
