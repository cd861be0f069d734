// The main window on real widgets, offscreen.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>

#include "app/main_window.h"
#include "controls/qt/color_static.h"
#include "controls/qt/image_button.h"
#include "controls/qt/ui_fonts_qt.h"
#include "link/hart_master.h"
#include "pages/qt/monitor_page_widget.h"
#include "shell/main_dialog_ids.h"
#include "shell/main_window_layout.h"
#include "shell/qt/about_dialog.h"
#include "shell/qt/qt_event_loop.h"
#include "shell/settings_store.h"
#include "ui/ui_support.h"

namespace tandrin {
namespace {

using namespace main_ids;

const QColor kGrey(212, 212, 212);
const QColor kGreen(178, 223, 192);
const std::vector<int> kMonitorTools{31005, 31006, 31004, 31000, 31001, 31002, 31003};
const std::vector<std::string> kAllFiles{"English.ini", "SimplifiedChinese.ini", "kvrfw.dat",
                                         "Logo.bmp"};

// A click as the user makes it; the toolbar lays out its shown and hidden
// tools on the next turn of the loop.
void Click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
    QApplication::processEvents();
}

QColor IdleColour(const ImageButton* button) {
    Rgb colour;
    button->GetColor(ImageButtonModel::kBackIdle, colour);
    return QColor(colour.r, colour.g, colour.b);
}

// A window over the given program files, on the Qt loop, with recorded
// prompts; torn down before the files go.
class WindowHarness {
  public:
    explicit WindowHarness(const std::vector<std::string>& shipped, const std::string& product = "")
        : files(shipped) {
        if (!product.empty()) {
            files.Dir().Write("kvrfw.dat", product);
        }
        hartMaster.SetEventLoop(&loop);
    }
    ~WindowHarness() {
        window.reset();
        hartMaster.CloseLink();
        hartMaster.SetEventLoop(nullptr);
    }

    MainWindow& Open(const std::string& language = {}) {
        MainWindowOptions options;
        options.prompts = &prompts;
        options.language = language;
        window = std::make_unique<MainWindow>(options);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }

    QString ToolTipShown(int id) {
        QWidget* tool = id == kPeriodBox
                            ? static_cast<QWidget*>(window->PeriodBox())
                            : window->ToolBar()->widgetForAction(window->ToolAction(id));
        QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), tool->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(tool, &help);
        const QString text = QToolTip::isVisible() ? QToolTip::text() : QString();
        QToolTip::hideText();
        return text;
    }

    test::ProgramFiles files;
    QtEventLoop loop;
    test::RecordingPrompts prompts;
    std::unique_ptr<MainWindow> window;
};

class MainWindowTest : public ::testing::Test {
  protected:
    WindowHarness harness{kAllFiles};
    MainWindow& window = harness.Open();
};

TEST(MainWindowStartUp, WithoutLanguageFilesItSaysSoAndRunsWithEmptyTexts) {
    WindowHarness harness({"kvrfw.dat", "Logo.bmp"});
    MainWindow& window = harness.Open();

    ASSERT_FALSE(harness.prompts.messages.empty());
    const auto& lost = harness.prompts.messages.front();
    EXPECT_EQ(lost.text, QStringLiteral("Language file lost!"));
    EXPECT_EQ(lost.caption, QStringLiteral("Error"));
    EXPECT_EQ(lost.icon, MessageIcon::kError);

    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("VT2100Q"));
    EXPECT_EQ(window.Menu().Popup(0)->title(), QStringLiteral("&File"));
    EXPECT_EQ(window.Menu().Command(kOnLine)->text(), QStringLiteral("OnLine"));
    EXPECT_EQ(window.Menu().Submenu(kMenuEnvironment, kLanguageSubmenu)->actions().size(), 10);
    for (int index = 0; index < MainDialog::kPageCount; ++index) {
        EXPECT_EQ(window.PageButton(index)->text(), QString());
    }
    EXPECT_EQ(window.StatusPane(0)->text(), QString());
    EXPECT_EQ(harness.ToolTipShown(kOnLine), QString());
    EXPECT_TRUE(window.Page(MainDialog::kSetupIndex)->isVisible());

    // Still a working window: pages switch.
    Click(window.PageButton(MainDialog::kMonitorIndex));
    EXPECT_TRUE(window.Page(MainDialog::kMonitorIndex)->isVisible());
}

TEST_F(MainWindowTest, IsLaidOutAsTheLayoutSays) {
    EXPECT_EQ(window.Client()->size(), QSize(layout::kClientWidth, layout::kClientHeight));
    EXPECT_EQ(window.PageButton(MainDialog::kSetupIndex)->geometry(), QRect(0, 98, 152, 42));
    EXPECT_EQ(window.PageButton(MainDialog::kCurrentIndex)->geometry(), QRect(0, 274, 152, 42));
    EXPECT_EQ(window.Page(MainDialog::kInfoIndex)->geometry(), QRect(180, 50, 700, 440));
    EXPECT_EQ(window.Page(MainDialog::kMonitorIndex)->geometry(), QRect(155, 42, 725, 460));
    EXPECT_EQ(window.Progress()->geometry().top(), 502);
    EXPECT_FALSE(static_cast<QLabel*>(window.Controls().Widget(kLogo))->pixmap().isNull());
    for (const int hidden :
         {kValueGroup, kPvReadout, kGetButton, kCurrentReadout, kPercentReadout}) {
        EXPECT_FALSE(window.Controls().Visible(hidden)) << hidden;
    }
    // The toolbar keeps to its band above the pages.
    EXPECT_LE(window.ToolBar()->geometry().bottom(), layout::kToolBandHeight);
}

TEST_F(MainWindowTest, SwitchingLanguageRetranslatesMenuButtonsTooltipsAndDegreeSign) {
    auto* readout = static_cast<ColorStatic*>(window.Controls().Widget(kPvReadout));
    QMenu* languages = window.Menu().Submenu(kMenuEnvironment, kLanguageSubmenu);
    ASSERT_EQ(languages->actions().size(), 2);
    EXPECT_EQ(languages->actions()[1]->text(), QStringLiteral("Simple Chinese"));

    EXPECT_EQ(window.Menu().Popup(0)->title(), QStringLiteral("&File"));
    EXPECT_EQ(window.PageButton(MainDialog::kSetupIndex)->text(), QStringLiteral("Setup"));
    EXPECT_EQ(harness.ToolTipShown(kOnLine),
              QStringLiteral("Connect to the transmitter at the polling address"));
    EXPECT_EQ(readout->text(), QString::fromUtf8("0.0  \u00B0C"));
    EXPECT_EQ(window.font().family(), WesternFont().family());

    languages->actions()[1]->trigger();

    EXPECT_EQ(window.Menu().Popup(0)->title(), QString::fromUtf8("文件(&F)"));
    EXPECT_EQ(window.Menu().Command(kOnLine)->text(), QString::fromUtf8("联机(&C)"));
    EXPECT_EQ(window.PageButton(MainDialog::kSetupIndex)->text(), QString::fromUtf8("参数设置"));
    EXPECT_EQ(window.PageButton(MainDialog::kMonitorIndex)->text(), QString::fromUtf8("实时监测"));
    EXPECT_EQ(harness.ToolTipShown(kOnLine), QString::fromUtf8("连接当前轮询地址的变送器"));
    EXPECT_EQ(harness.ToolTipShown(kPeriodBox), QString::fromUtf8("采样周期"));
    EXPECT_EQ(readout->text(), QString::fromUtf8("0.0  \u2103"));
    EXPECT_EQ(window.StatusPane(0)->text(), QString::fromUtf8("就绪"));
    EXPECT_EQ(window.font().family(), ChineseFont().family());
    EXPECT_EQ(window.PageButton(0)->font().family(), ChineseFont().family());
    EXPECT_TRUE(languages->actions()[1]->isChecked());
    EXPECT_FALSE(languages->actions()[0]->isChecked());
    std::string stored;
    EXPECT_EQ(RegReadString(kSettingsKey, "Language", stored), 1);
    EXPECT_EQ(stored, "Simple Chinese");
    // The read-outs keep the font of their own.
    EXPECT_EQ(readout->font().pointSize(), 24);

    languages->actions()[0]->trigger();
    EXPECT_EQ(window.Menu().Popup(0)->title(), QStringLiteral("&File"));
    EXPECT_EQ(readout->text(), QString::fromUtf8("0.0  \u00B0C"));
    EXPECT_EQ(window.font().family(), WesternFont().family());
}

// The window and its client area, once the layout has settled.
QRect Frame(MainWindow& window) {
    QApplication::processEvents();
    return QRect(window.Client()->mapTo(&window, QPoint(0, 0)), window.size());
}

TEST(MainWindowSize, IsTheSameInEitherLanguageAndAcrossASwitch) {
    QRect english;
    {
        WindowHarness harness(kAllFiles);
        MainWindow& window = harness.Open("English");
        english = Frame(window);
        EXPECT_EQ(window.Client()->size(), QSize(layout::kClientWidth, layout::kClientHeight));
        window.RunCommand(kLanguageFirst + 1);  // Simple Chinese
        ASSERT_EQ(window.Logic().currentLanguage, "Simple Chinese");
        EXPECT_EQ(Frame(window), english) << "after switching to Chinese";
        window.RunCommand(kLanguageFirst);
        EXPECT_EQ(Frame(window), english) << "after switching back";
    }
    WindowHarness harness(kAllFiles);
    EXPECT_EQ(Frame(harness.Open("Simple Chinese")), english) << "started in Chinese";
}

TEST_F(MainWindowTest, OnlyTheCurrentPortAndLanguageCarryACheckMark) {
    for (const int sub : {kPortSubmenu, kLanguageSubmenu}) {
        int checked = 0;
        for (QAction* action : window.Menu().Submenu(kMenuEnvironment, sub)->actions()) {
            EXPECT_EQ(action->isCheckable(), action->isChecked())
                << action->text().toStdString() << ": no empty box beside the others";
            checked += action->isChecked() ? 1 : 0;
        }
        EXPECT_LE(checked, 1);
    }
    QMenu* languages = window.Menu().Submenu(kMenuEnvironment, kLanguageSubmenu);
    languages->actions()[1]->trigger();
    EXPECT_FALSE(languages->actions()[0]->isCheckable());
    EXPECT_TRUE(languages->actions()[1]->isChecked());
}

TEST_F(MainWindowTest, EachPageButtonShowsItsPageHighlightsItAndHidesTheOthers) {
    EXPECT_EQ(IdleColour(window.PageButton(MainDialog::kSetupIndex)), kGrey);
    for (int index = 0; index < MainDialog::kPageCount; ++index) {
        SCOPED_TRACE(index);
        Click(window.PageButton(index));
        for (int other = 0; other < MainDialog::kPageCount; ++other) {
            EXPECT_EQ(window.Page(other)->isVisible(), other == index) << other;
            EXPECT_EQ(IdleColour(window.PageButton(other)), other == index ? kGreen : kGrey);
        }
        const bool monitor = index == MainDialog::kMonitorIndex;
        for (const int tool : kMonitorTools) {
            EXPECT_EQ(window.ToolBar()->widgetForAction(window.ToolAction(tool))->isVisible(),
                      monitor);
        }
        EXPECT_EQ(window.PeriodBox()->isVisible(), monitor);
        EXPECT_TRUE(window.ToolBar()->widgetForAction(window.ToolAction(kOnLine))->isVisible());
    }
}

MonitorPage& MonitorOf(MainWindow& window) {
    return static_cast<MonitorPageWidget*>(window.Page(MainDialog::kMonitorIndex))->Logic();
}

TEST_F(MainWindowTest, PeriodBoxMapsItsEntriesToTheMonitorPeriod) {
    MonitorPage& monitor = MonitorOf(window);
    QComboBox* box = window.PeriodBox();
    EXPECT_EQ(monitor.Period(), 2);
    ASSERT_EQ(box->count(), 9);
    EXPECT_EQ(box->currentText(), QStringLiteral("2   sec"));

    Click(window.PageButton(MainDialog::kMonitorIndex));
    // As the user chooses: the box's own selection change.
    box->setCurrentIndex(box->findText(QStringLiteral("1   min")));
    EXPECT_EQ(monitor.Period(), 60);
    box->setCurrentIndex(box->findText(QStringLiteral("30  min")));
    EXPECT_EQ(monitor.Period(), 1800);
    box->setCurrentIndex(box->findText(QStringLiteral("2   sec")));
    EXPECT_EQ(monitor.Period(), 2);
}

TEST_F(MainWindowTest, MonitorToolsHideAwayAndComeBackWithTheSelectionUnchanged) {
    Click(window.PageButton(MainDialog::kMonitorIndex));
    window.PeriodBox()->setCurrentIndex(6);
    ASSERT_EQ(MonitorOf(window).Period(), 300);

    Click(window.PageButton(MainDialog::kInfoIndex));
    EXPECT_FALSE(window.PeriodBox()->isVisible());
    EXPECT_FALSE(window.Controls().Visible(kPeriodBox));

    Click(window.PageButton(MainDialog::kMonitorIndex));
    EXPECT_TRUE(window.PeriodBox()->isVisible());
    EXPECT_EQ(window.PeriodBox()->currentIndex(), 6);
    EXPECT_EQ(MonitorOf(window).Period(), 300);
    // The box sits right of the last tool.
    QWidget* last = window.ToolBar()->widgetForAction(window.ToolAction(kMonitorPercent));
    EXPECT_GT(window.PeriodBox()->mapTo(window.ToolBar(), QPoint(0, 0)).x(),
              last->geometry().right());
}

TEST_F(MainWindowTest, MonitorCommandsReachTheMonitorPageFromAnyPage) {
    Click(window.PageButton(MainDialog::kCurrentIndex));
    window.ToolAction(kMonitorHistory)->trigger();
    EXPECT_TRUE(MonitorOf(window).ListVisible());
    EXPECT_TRUE(window.ToolAction(kMonitorHistory)->isChecked());
    window.ToolAction(kMonitorHistory)->trigger();
    EXPECT_FALSE(MonitorOf(window).ListVisible());
    EXPECT_FALSE(window.ToolAction(kMonitorHistory)->isChecked());
    EXPECT_TRUE(window.Page(MainDialog::kCurrentIndex)->isVisible());
}

TEST_F(MainWindowTest, EscapeAndFileExitEndTheDialog) {
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    window.show();
    window.Menu().Command(kFileExit)->trigger();
    EXPECT_FALSE(window.isVisible());
}

TEST(AboutBox, ShowsNameVersionCompanyAndTitleFromTheProductFile) {
    WindowHarness harness({"English.ini"},
                          "[SoftInf]\nName=Probe\nCommpany=Example Ltd\n"
                          "web=https://example.invalid/contact\n");
    MainWindow& window = harness.Open();

    QString title, version, company, ok;
    QTimer::singleShot(0, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* about = qobject_cast<AboutDialog*>(top); about && about->isVisible()) {
                title = about->windowTitle();
                version = static_cast<QLabel*>(about->Controls().Widget(1028))->text();
                company = static_cast<QLabel*>(about->Controls().Widget(1102))->text();
                ok = static_cast<QAbstractButton*>(about->Controls().Widget(1))->text();
                about->accept();
            }
        }
    });
    window.Menu().Command(kHelpAbout)->trigger();

    EXPECT_EQ(version, QStringLiteral("Probe  V01"));
    EXPECT_EQ(company, QStringLiteral("Example Ltd"));
    EXPECT_EQ(title, QStringLiteral("About Probe"));
    EXPECT_EQ(ok, QStringLiteral("OK"));

    window.ToolAction(kContact)->trigger();
    EXPECT_EQ(harness.prompts.addresses,
              std::vector<QString>{QStringLiteral("https://example.invalid/contact")});
}

TEST(AboutBox, WithoutTheProductFileShowsTheBareVersionAndNoAddressOpens) {
    WindowHarness harness({"English.ini"});
    MainWindow& window = harness.Open();
    AboutDialog about(&window);
    EXPECT_EQ(static_cast<QLabel*>(about.Controls().Widget(1028))->text(), QStringLiteral("  V01"));
    EXPECT_EQ(static_cast<QLabel*>(about.Controls().Widget(1102))->text(), QString());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About "));

    window.ToolAction(kContact)->trigger();
    EXPECT_TRUE(harness.prompts.addresses.empty());
}

}  // namespace
}  // namespace tandrin
