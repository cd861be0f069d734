// The monitor page in the real main window, offscreen, against the demo
// transmitter in real time: record, keep, stop, save, load, export.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QMenu>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <algorithm>
#include <clocale>
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
#include "device/degree_text.h"
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

std::vector<std::string> ListColumn(const SortableList& list, int column) {
    std::vector<std::string> texts;
    for (int r = 0; r < list.RowCount(); ++r) {
        texts.push_back(list.Rows().Text(r, column));
    }
    return texts;
}

// The balloon's first line for the first sample the pointer finds.
std::string BalloonName(TrendChart& chart) {
    for (int x = 0; x < chart.viewport()->width(); ++x) {
        if (const auto tip = chart.PointTooltip({x, 10})) {
            return tip->text.substr(0, tip->text.find("\xEF\xBC\x9A"));  // up to "："
        }
    }
    return {};
}

class LocaleScope {
  public:
    explicit LocaleScope(const char* name) : m_old(std::setlocale(LC_ALL, nullptr)) {
        m_set = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~LocaleScope() { std::setlocale(LC_ALL, m_old.c_str()); }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;
    bool Set() const { return m_set; }

  private:
    std::string m_old;
    bool m_set = false;
};

// Under a comma-decimal locale (what QApplication takes from LC_ALL), and
// across a switch to Chinese: numbers, sort order, units, series names and
// Qt's own texts stay readable.
TEST(MonitorPageWindow, NumbersUnitsAndNamesReadRightInAnyLocaleAndBothLanguages) {
    const LocaleScope german("de_DE.UTF-8");
    if (!german.Set()) {
        GTEST_SKIP() << "de_DE.UTF-8 is not installed: scripts/install-deps generates it";
    }
    test::ProgramFiles files({"English.ini", "SimplifiedChinese.ini", "kvrfw.dat", "Logo.bmp"});
    AnsweringPrompts prompts;
    AppSession session(AppOptions{}, &prompts);
    std::string error;
    ASSERT_TRUE(session.Start(error)) << error;
    MainWindow& window = session.Window();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.PageButton(MainDialog::kMonitorIndex)->click();
    auto* widget = static_cast<MonitorPageWidget*>(window.Page(MainDialog::kMonitorIndex));
    MonitorPage& page = widget->Logic();
    SortableList& list = *widget->List();

    test::TempDir dir;
    TrendRecord record;
    record.m_PVUnit = "\xB0\x43";  // °C
    record.pv = {{103.125, 1'700'000'000},
                 {12.25, 1'700'000'001},
                 {100.25, 1'700'000'002},
                 {12.75, 1'700'000'003}};
    record.current = {{4.5, 1'700'000'000}, {20.0, 1'700'000'001}};
    ASSERT_EQ(SaveTrendRecord(dir.Path() + "de.tdd", record), RecordIo::kOk);
    ASSERT_TRUE(page.LoadRecordFile(dir.Path() + "de.tdd"));
    ASSERT_TRUE(WaitUntil([&] { return !page.RefillPending(); }, 5'000));

    std::vector<std::string> values = ListColumn(list, 1);
    ASSERT_EQ(values.size(), 6u);
    EXPECT_NE(std::find(values.begin(), values.end(), "103.125"), values.end());
    // A click on the header, as the user sorts: the rows come in sorted.
    QHeaderView* header = list.horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !list.Model().SortUnderWay(); }, 10'000));
    EXPECT_EQ(ListColumn(list, 1), (std::vector<std::string>{"4.500", "12.250", "12.750", "20.000",
                                                             "100.250", "103.125"}));
    list.SortByColumn(0, false);
    EXPECT_EQ(ListColumn(list, 0).front().substr(5), ":23");  // 1,700,000,003 is hh:mm:23
    EXPECT_TRUE(list.horizontalHeader()->isSortIndicatorShown());
    widget->Radio(monitor_ids::kRadioPv)->click();
    DialNeedle needle = widget->Gauge()->Needle(300, 300);
    EXPECT_EQ(needle.texts[1].text, "12.750");
    EXPECT_EQ(BalloonName(*widget->Chart(Quantity::kCurrent)),
              "\xE7\x94\xB5\xE6\xB5\x81\xE5\x80\xBC");  // 电流值

    // To Chinese: the rows and the gauge keep a readable degree sign.
    window.Menu().Submenu(kMenuEnvironment, kLanguageSubmenu)->actions()[1]->trigger();
    ASSERT_EQ(chineseUi.load(), 1);
    const std::vector<std::string> units = ListColumn(list, 2);
    EXPECT_EQ(std::count(units.begin(), units.end(), "\xA1\xE6"), 4) << "GBK ℃";
    EXPECT_EQ(widget->Gauge()->Needle(300, 300).texts[0].text, "\xA1\xE6");
    EXPECT_EQ(BalloonName(*widget->Chart(Quantity::kPv)), "PV  \xE5\x80\xBC");  // PV  值
    const QString unitTitle = list.model()->headerData(2, Qt::Horizontal).toString();
    EXPECT_EQ(unitTitle, QString::fromUtf8("单位"));
    EXPECT_GE(list.columnWidth(2), list.fontMetrics().horizontalAdvance(unitTitle) +
                                       list.style()->pixelMetric(QStyle::PM_HeaderMarkSize));
    if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                      QStringLiteral("/qtbase_zh_CN.qm"))) {
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"),
                  QString::fromUtf8("是(&Y)"));
    }

    // Hiding and showing the list refills it in sample order: no arrow.
    page.ToggleList();
    page.ToggleList();
    ASSERT_TRUE(WaitUntil([&] { return !page.RefillPending(); }, 5'000));
    EXPECT_FALSE(list.horizontalHeader()->isSortIndicatorShown());

    window.Menu().Submenu(kMenuEnvironment, kLanguageSubmenu)->actions()[0]->trigger();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
    EXPECT_EQ(ListColumn(list, 2).back(), "\xB0\x43");  // the oldest PV row
}

}  // namespace
}  // namespace tandrin
