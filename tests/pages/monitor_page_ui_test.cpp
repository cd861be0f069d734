// The monitor page in the real main window, offscreen, against the demo
// transmitter in real time: record, keep, stop, save, load, export.
#include <gtest/gtest.h>

#include <QAction>
#include <QRadioButton>
#include <QTest>
#include <deque>
#include <fstream>
#include <sstream>

#include "app/app_options.h"
#include "app/app_session.h"
#include "app/main_window.h"
#include "controls/qt/dial_gauge.h"
#include "controls/qt/image_button.h"
#include "controls/qt/sortable_list.h"
#include "controls/qt/trend_chart.h"
#include "link/command_flags.h"
#include "pages/monitor_page_ids.h"
#include "pages/qt/monitor_page_widget.h"
#include "shell/main_dialog_ids.h"
#include "ui/ui_support.h"

namespace tandrin {
namespace {

using namespace main_ids;

class AnsweringPrompts : public test::RecordingPrompts {
  public:
    bool YesNo(const QString& text, const QString&) override {
        questions.push_back(text);
        return answer;
    }
    QString OpenFile(const QString& filter) override {
        filters.push_back(filter);
        return Pop(opens);
    }
    QString SaveFileTitled(const QString& title, const QString& filter, const QString& name,
                           const QString&) override {
        titles.push_back(title + "|" + filter + "|" + name);
        return Pop(saves);
    }

    static QString Pop(std::deque<QString>& paths) {
        if (paths.empty()) {
            return {};
        }
        QString path = paths.front();
        paths.pop_front();
        return path;
    }

    bool answer = false;
    std::vector<QString> questions;
    std::vector<QString> filters;
    std::vector<QString> titles;
    std::deque<QString> opens;
    std::deque<QString> saves;
};

std::size_t LineCount(const std::string& path) {
    std::ifstream in(path);
    std::size_t lines = 0;
    for (std::string line; std::getline(in, line);) {
        ++lines;
    }
    return lines;
}

TEST(MonitorPageWindow, RecordsStopsSavesLoadsAndExportsAgainstTheDemo) {
    test::ProgramFiles files({"English.ini", "kvrfw.dat", "Logo.bmp"});
    AnsweringPrompts prompts;
    AppOptions options;
    options.demo = true;
    AppSession session(options, &prompts);
    std::string error;
    ASSERT_TRUE(session.Start(error)) << error;
    MainWindow& window = session.Window();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* widget = static_cast<MonitorPageWidget*>(window.Page(MainDialog::kMonitorIndex));
    MonitorPage& page = widget->Logic();

    window.PageButton(MainDialog::kMonitorIndex)->click();
    window.ToolAction(kMonitorAll)->trigger();
    ASSERT_TRUE(WaitUntil([&] { return page.Samples(Quantity::kPercent).size() >= 2; }, 30'000));
    EXPECT_EQ(widget->Chart(Quantity::kPv)->Samples(), &page.Samples(Quantity::kPv));
    EXPECT_TRUE(widget->Chart(Quantity::kPv)->Following());
    EXPECT_EQ(widget->Gauge()->Value(), page.Samples(Quantity::kPercent).back().value);

    // Leaving with unsaved samples asks; No keeps the page and the recording.
    window.PageButton(MainDialog::kSetupIndex)->click();
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0],
              QStringLiteral("The recorded samples have not been saved. Discard them?"));
    EXPECT_TRUE(widget->isVisible());
    EXPECT_TRUE(page.Recording());
    // So does closing.
    window.close();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(prompts.questions.size(), 2u);

    window.ToolAction(kStop)->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !page.Recording(); }, 3'000));
    EXPECT_EQ(busyFlag, 0);

    test::TempDir dir;
    const std::string record = dir.Path() + "run.tdd";
    const TrendRecord saved = page.Record();
    prompts.saves.push_back(QString::fromStdString(record));
    window.ToolAction(kMonitorSave)->trigger();
    ASSERT_EQ(prompts.titles.size(), 1u);
    EXPECT_EQ(prompts.titles[0], QStringLiteral("Save Picture File|tdd Files(*.tdd)|Data1"));
    TrendRecord onDisk;
    ASSERT_EQ(LoadTrendRecord(record, onDisk), RecordIo::kOk);
    EXPECT_EQ(onDisk, saved);

    // Loading it back: the charts show it without following, the list
    // holds every sample.
    prompts.opens.push_back(QString::fromStdString(record));
    window.ToolAction(kMonitorOpen)->trigger();
    EXPECT_EQ(prompts.filters.back(), QStringLiteral("tdd Files(*.tdd)"));
    EXPECT_EQ(prompts.questions.size(), 2u) << "saved: nothing to ask";
    EXPECT_EQ(page.Record(), saved);
    ASSERT_TRUE(WaitUntil([&] { return !page.RefillPending(); }, 5'000));
    const std::size_t samples = saved.pv.size() + saved.current.size() + saved.percent.size();
    EXPECT_EQ(static_cast<std::size_t>(widget->List()->RowCount()), samples);
    EXPECT_TRUE(widget->List()->isVisible());
    EXPECT_TRUE(window.ToolAction(kMonitorHistory)->isChecked());
    EXPECT_FALSE(widget->Chart(Quantity::kCurrent)->Following());
    EXPECT_EQ(widget->Chart(Quantity::kCurrent)->Samples(), &page.Samples(Quantity::kCurrent));

    const std::string csv = dir.Path() + "run.csv";
    prompts.saves.push_back(QString::fromStdString(csv));
    widget->ExportCsv();
    EXPECT_EQ(LineCount(csv), samples + 1);

    // The gauge follows its radio buttons.
    widget->Radio(monitor_ids::kRadioMa)->click();
    EXPECT_EQ(widget->Gauge()->Value(), saved.current.back().value);

    // Nothing unsaved: the window closes without a question.
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(prompts.questions.size(), 2u);
}

}  // namespace
}  // namespace tandrin
