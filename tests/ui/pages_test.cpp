// The current adjustment, device information and range calibration pages
// in the real main window, offscreen.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/app_options.h"
#include "app/app_session.h"
#include "app/main_window.h"
#include "controls/qt/qt_text.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "pages/calibration_page_ids.h"
#include "pages/current_adjust_page_ids.h"
#include "pages/fixed_current_guard.h"
#include "pages/info_page_ids.h"
#include "pages/qt/page_widget.h"
#include "shell/lang_text.h"
#include "shell/main_dialog_ids.h"
#include "ui/ui_support.h"

namespace tandrin {
namespace {

constexpr int kSequenceTimeoutMs = 15000;
// Fifteen silent addresses with all their retries, on a loaded machine.
constexpr int kSearchTimeoutMs = 150000;

const std::vector<std::string> kAllFiles{"English.ini", "SimplifiedChinese.ini", "kvrfw.dat",
                                         "Logo.bmp"};

struct Keyed {
    int id;
    const char* key;
    const char* section;
};

// The captions each page takes from the language file.
const std::vector<Keyed> kCurrentKeys{
    {1102, "IDC_STA1", "KvView1"},     {1103, "IDC_STA2", "KvView1"},
    {1011, "IDC_StaCap1", "KvView1"},  {1023, "IDC_StaCap2", "KvView1"},
    {1019, "IDC_RADIO8", "KvView1"},   {1021, "IDC_cmdSendFixI", "KvView1"},
    {1022, "IDC_cmdExitI", "KvView1"}, {1004, "IDC_cmdTest1", "KvView1"},
    {1005, "IDC_cmdTest2", "KvView1"}, {1047, "IDC_cmdWrite2", "KvView2"}};
const std::vector<Keyed> kInfoKeys{
    {1011, "IDC_StaCap1", "KvView3"},   {1023, "IDC_StaCap2", "KvView3"},
    {1024, "IDC_StaCap3", "KvView3"},   {1102, "IDC_STA1", "KvView3"},
    {1103, "IDC_STA2", "KvView3"},      {1105, "IDC_STA3", "KvView3"},
    {1106, "IDC_STA4", "KvView3"},      {1107, "IDC_STA5", "KvView3"},
    {1108, "IDC_STA6", "KvView3"},      {1048, "IDC_cmdRead2", "KvView2"},
    {1163, "IDC_cmdWrite2", "KvView2"}, {1049, "IDC_cmdRead2", "KvView2"},
    {1168, "IDC_cmdWrite2", "KvView2"}, {1040, "IDC_cmdWrite2", "KvView2"}};
const std::vector<Keyed> kCalibrationKeys{{1025, "IDC_CALI4MA", "KvView5"},
                                          {1027, "IDC_CALI20MA", "KvView5"}};

QString Caption(QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->text();
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        return group->title();
    }
    return {};
}

template <std::size_t N>
void ExpectPage(MainWindow& window, int index, const std::array<PageControl, N>& controls,
                const std::vector<Keyed>& keys, const std::string& language) {
    auto* page = dynamic_cast<PageWidget*>(window.Page(index));
    ASSERT_NE(page, nullptr) << index;
    for (const PageControl& control : controls) {
        QWidget* widget = page->findChild<QWidget*>(QString::fromLatin1(control.name));
        ASSERT_NE(widget, nullptr) << control.name;
        EXPECT_EQ(page->Controls().Widget(control.id), widget) << control.name;
        EXPECT_TRUE(page->rect().contains(widget->geometry())) << control.name;
    }
    for (const Keyed& keyed : keys) {
        const std::string text = LangText(keyed.section, keyed.key);
        ASSERT_FALSE(text.empty()) << language << " " << keyed.key;
        EXPECT_EQ(Caption(page->Controls().Widget(keyed.id)), ToQt(text))
            << language << " " << keyed.section << "/" << keyed.key;
    }
}

// A window on the Qt loop over the shipped files, prompts recorded.
class PagesWindow {
  public:
    explicit PagesWindow(const std::string& language = "English", bool demo = false)
        : files(kAllFiles) {
        AppOptions options;
        options.language = language;
        options.demo = demo;
        session = std::make_unique<AppSession>(options, &prompts);
        std::string error;
        EXPECT_TRUE(session->Start(error)) << error;
    }
    ~PagesWindow() {
        fixedCurrentGuard.NoteReleased();
        session.reset();
    }

    MainWindow& Show() {
        MainWindow& window = session->Window();
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        return window;
    }
    bool WaitDone() {
        return WaitUntil([] { return busyFlag == 0; }, kSequenceTimeoutMs);
    }
    QString Status() { return session->Window().StatusPane(0)->text(); }

    test::ProgramFiles files;
    test::RecordingPrompts prompts;
    std::unique_ptr<AppSession> session;
};

TEST(Pages, HaveEveryControlOfTheirLayoutsCaptionedFromTheLanguageFile) {
    for (const std::string language : {"English", "Simple Chinese"}) {
        PagesWindow harness(language);
        MainWindow& window = harness.Show();
        ExpectPage(window, MainDialog::kCurrentIndex, current_ids::kControls, kCurrentKeys,
                   language);
        ExpectPage(window, MainDialog::kInfoIndex, info_ids::kControls, kInfoKeys, language);
        ExpectPage(window, MainDialog::kCalibrationIndex, calibration_ids::kControls,
                   kCalibrationKeys, language);
    }
}

TEST(Pages, EnterAndEscapeInAPageEditLeaveTheWindowOpen) {
    PagesWindow harness;
    MainWindow& window = harness.Show();
    window.RunCommand(main_ids::kPageInfo);
    auto* tag = window.Page(MainDialog::kInfoIndex)->findChild<QLineEdit*>("IDC_txtTag");
    ASSERT_NE(tag, nullptr);
    tag->setFocus();
    QTest::keyClicks(tag, "tt-1");
    QTest::keyClick(tag, Qt::Key_Return);
    QTest::keyClick(tag, Qt::Key_Escape);
    auto* box = window.Page(MainDialog::kInfoIndex)->findChild<QComboBox*>("IDC_cboPollAddr");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Return);
    window.RunCommand(main_ids::kPageSetup);
    auto* zero = window.Page(MainDialog::kSetupIndex)->findChild<QLineEdit*>("IDC_EDIT_ZERO");
    ASSERT_NE(zero, nullptr);
    zero->setFocus();
    QTest::keyClick(zero, Qt::Key_Return);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(tag->text(), QStringLiteral("tt-1"));
    EXPECT_EQ(box->count(), 0) << "Enter adds nothing to the list";
}

TEST(Pages, TheDatePickerShowsADateItCannotHoldAsItsDigits) {
    PagesWindow harness;
    MainWindow& window = harness.Show();
    auto* page = dynamic_cast<PageWidget*>(window.Page(MainDialog::kInfoIndex));
    auto* picker = page->findChild<QDateEdit*>("IDC_DATETIMEPICKER1");
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->date(), QDate::currentDate());

    page->Controls().SetText(info_ids::kDate, "1900-00-00");
    EXPECT_EQ(picker->text(), QStringLiteral("1900-00-00"));
    EXPECT_EQ(page->Controls().Text(info_ids::kDate), "1900-00-00");

    page->Controls().SetText(info_ids::kDate, "2155-12-31");
    EXPECT_EQ(picker->date(), QDate(2155, 12, 31));
    // The user steps a day on: the picker's own date, as text.
    picker->setDate(QDate(2024, 2, 29));
    EXPECT_EQ(page->Controls().Text(info_ids::kDate), "2024-02-29");
}

TEST(DemoPages, SearchListsTheAddressInTheBoxAndStopAndPageSwitchesKeepTheChoice) {
    PagesWindow harness("English", true);
    MainWindow& window = harness.Show();
    auto* box = window.Page(MainDialog::kInfoIndex)->findChild<QComboBox*>("IDC_cboPollAddr");
    ASSERT_NE(box, nullptr);

    window.ToolAction(main_ids::kSearch)->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !harness.prompts.messages.empty(); }, kSearchTimeoutMs));
    EXPECT_EQ(harness.prompts.messages[0].text, ToQt(LangText("strFindMeter")) + " 0");
    ASSERT_EQ(box->count(), 1);
    EXPECT_EQ(box->itemText(0), QStringLiteral("0"));
    EXPECT_EQ(box->currentText(), QStringLiteral("0"));

    // The user types another address: Stop and page switches keep it.
    box->lineEdit()->selectAll();
    QTest::keyClicks(box->lineEdit(), "5");
    EXPECT_EQ(hartMaster.m_byPollAddr, 5);
    window.ToolAction(main_ids::kStop)->trigger();
    EXPECT_EQ(hartMaster.m_byPollAddr, 5);
    window.RunCommand(main_ids::kPageCurrentAdjust);
    window.RunCommand(main_ids::kPageInfo);
    EXPECT_EQ(hartMaster.m_byPollAddr, 5);

    // Picking the address found brings the transmitter back.
    box->setCurrentIndex(0);
    emit box->activated(0);
    EXPECT_EQ(hartMaster.m_byPollAddr, 0);
    window.RunCommand(main_ids::kPageSetup);
    window.ToolAction(main_ids::kOnLine)->trigger();
    ASSERT_TRUE(harness.WaitDone());
    EXPECT_EQ(harness.Status(), ToQt(LangText("strOpOK")));
}

// The Current Output page's Send: the loop is forced.
void SendFixedCurrent(PagesWindow& harness) {
    MainWindow& window = harness.session->Window();
    window.RunCommand(main_ids::kPageCurrentAdjust);
    QWidget* page = window.Page(MainDialog::kCurrentIndex);
    QTest::mouseClick(page->findChild<QAbstractButton*>("IDC_cmdSendFixI"), Qt::LeftButton);
    ASSERT_TRUE(harness.WaitDone());
}

TEST(DemoPages, ClosingAfterSendAsksAndReleasesTheLoopOnYes) {
    PagesWindow harness("English", true);
    MainWindow& window = harness.Show();
    ASSERT_NO_FATAL_FAILURE(SendFixedCurrent(harness));
    EXPECT_EQ(harness.Status(), ToQt(LangText("strOpOK")));
    ASSERT_TRUE(fixedCurrentGuard.Forced());

    const std::size_t answered = harness.session->Demo().Stats().answersSent;
    harness.prompts.answer = true;
    window.close();
    EXPECT_FALSE(window.isVisible());
    ASSERT_EQ(harness.prompts.questions.size(), 1u);
    EXPECT_EQ(harness.prompts.questions[0], ToQt(LangText(kReleaseOnCloseKey)));
    EXPECT_FALSE(fixedCurrentGuard.Forced());
    EXPECT_EQ(harness.session->Demo().Stats().answersSent, answered + 2) << "0, then 40 with 0";
}

// Cancel keeps the window; a release that cannot get through (the
// transmitter gone) says so and keeps it too, the loop still noted forced.
TEST(DemoPages, ClosingKeepsTheWindowOnCancelAndWhenTheReleaseFails) {
    PagesWindow harness("English", true);
    MainWindow& window = harness.Show();
    ASSERT_NO_FATAL_FAILURE(SendFixedCurrent(harness));
    ASSERT_TRUE(fixedCurrentGuard.Forced());

    harness.prompts.cancel = true;
    window.close();
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(harness.prompts.questions.size(), 1u);
    EXPECT_TRUE(fixedCurrentGuard.Forced());

    harness.session->Demo().Stop();
    harness.prompts.cancel = false;
    harness.prompts.answer = true;
    window.close();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(harness.prompts.Said(ToQt(LangText("strReleaseFailed"))));
    EXPECT_TRUE(fixedCurrentGuard.Forced());

    // No: the user closes knowingly.
    harness.prompts.answer = false;
    window.close();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace tandrin
