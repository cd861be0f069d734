// The survey window opened from the real main window's menu, offscreen,
// against three simulated transmitters behind the simulator's HART-IP
// server.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "app/app_options.h"
#include "app/app_session.h"
#include "app/main_window.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "procedures/qt/survey_dialog.h"
#include "shell/main_dialog.h"
#include "shell/main_dialog_ids.h"
#include "shell/qt/qt_menu_bar.h"
#include "sim/device_config.h"
#include "sim/sim_thread.h"
#include "ui/ui_support.h"

namespace tandrin {
namespace {

constexpr int kTimeoutMs = 30000;

sim::DeviceConfig Device(const char* keys) {
    sim::DeviceConfig config;
    std::string error;
    EXPECT_TRUE(sim::ParseDeviceKeys(keys, config, error)) << error;
    return config;
}

class SurveyWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::SimSetup setup;
        setup.options.pacing.paced = false;
        setup.hartIpPort = 0;
        setup.devices = {Device("poll=0,id=0A0000,tag=TT-A"), Device("poll=1,id=0A0001,tag=TT-B"),
                         Device("poll=5,id=0A0005,tag=TT-C,status=80")};
        std::string error;
        ASSERT_TRUE(simulator.Start(setup, error)) << error;
        AppOptions options;
        options.port = simulator.HartIpUrl();
        session = std::make_unique<AppSession>(options, &prompts);
        ASSERT_TRUE(session->Start(error)) << error;
        session->Window().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&session->Window()));
        QAction* entry = session->Window().Menu().Command(main_ids::kSurvey);
        ASSERT_NE(entry, nullptr);
        entry->trigger();
        dialog = session->Window().findChild<SurveyDialog*>();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    }
    void TearDown() override { session.reset(); }

    QString Cell(int row, int column) const {
        const QTableWidgetItem* item = dialog->Table()->item(row, column);
        return item != nullptr ? item->text() : QString();
    }
    int RowOfTag(const QString& tag) const {
        for (int row = 0; row < dialog->Table()->rowCount(); ++row) {
            if (Cell(row, SurveyDialog::kTag) == tag) {
                return row;
            }
        }
        return -1;
    }

    test::ProgramFiles files{{"English.ini", "kvrfw.dat", "Logo.bmp"}};
    sim::SimulatorThread simulator;
    test::RecordingPrompts prompts;
    std::unique_ptr<AppSession> session;
    SurveyDialog* dialog = nullptr;
};

TEST_F(SurveyWindow, FillsTheTableAndMakesTheChosenRowTheCurrentTransmitter) {
    dialog->StartSearch();
    ASSERT_TRUE(WaitUntil([&] { return !dialog->Procedure().Running(); }, kTimeoutMs));
    ASSERT_EQ(dialog->Table()->rowCount(), 3);
    EXPECT_EQ(busyFlag, 0);
    EXPECT_EQ(dialog->Progress()->text(), QStringLiteral("Transmitters found: 3"));
    const int c = RowOfTag(QStringLiteral("TT-C"));
    ASSERT_GE(c, 0);
    EXPECT_EQ(Cell(c, SurveyDialog::kAddress), QStringLiteral("5"));
    EXPECT_EQ(Cell(c, SurveyDialog::kLongAddress), QStringLiteral("E05A0A0005"));
    EXPECT_EQ(Cell(c, SurveyDialog::kManufacturer), QStringLiteral("60"));
    EXPECT_EQ(Cell(c, SurveyDialog::kUnit), QStringLiteral("\u00B0C"));
    EXPECT_EQ(Cell(c, SurveyDialog::kCurrent), QStringLiteral("4.000"));
    EXPECT_EQ(Cell(c, SurveyDialog::kStatus), QStringLiteral("Field device malfunction"));
    // The rest of the bits in the tooltip: off address 0 the loop is fixed.
    EXPECT_EQ(dialog->Table()->item(c, SurveyDialog::kStatus)->toolTip(),
              QStringLiteral("Field device malfunction\nLoop current fixed"));

    // Sorted by tag, falling: the chosen row is found by its transmitter.
    dialog->Table()->sortItems(SurveyDialog::kTag, Qt::DescendingOrder);
    EXPECT_EQ(Cell(0, SurveyDialog::kTag), QStringLiteral("TT-C"));
    dialog->Table()->setCurrentCell(RowOfTag(QStringLiteral("TT-B")), 0);
    dialog->UseCurrentRow();
    EXPECT_EQ(hartMaster.m_byPollAddr, 1);
    EXPECT_EQ(mainWindow->InfoPageForm().Text(main_ids::kShortAddressBox), "1");

    // The pages now talk to that transmitter.
    session->Window().RunCommand(main_ids::kGetButton);
    ASSERT_TRUE(WaitUntil([] { return busyFlag == 0; }, kTimeoutMs));
    EXPECT_FLOAT_EQ(hartMaster.m_fLoopCurrent, 4.0f) << "the transmitter at 1, parked at 4 mA";
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(SurveyWindow, StopEndsTheSearchAtOnceAndKeepsTheRowsFound) {
    dialog->AddressesBox()->setText(QStringLiteral("0-15"));
    dialog->StartSearch();
    ASSERT_TRUE(WaitUntil([&] { return dialog->Table()->rowCount() >= 1; }, kTimeoutMs));
    dialog->Stop();
    EXPECT_EQ(dialog->Procedure().CurrentState(), Survey::State::kStopped);
    EXPECT_EQ(busyFlag, 0);
    const int rows = dialog->Table()->rowCount();
    EXPECT_EQ(static_cast<std::size_t>(rows), dialog->Procedure().Devices().size())
        << "a transmitter stopped in its reading keeps its row";
    EXPECT_GE(rows, 1);
    EXPECT_LT(rows, 3) << "stopped before the transmitter at 5";
    QTest::qWait(500);
    EXPECT_EQ(dialog->Table()->rowCount(), rows) << "nothing more after Stop";
    EXPECT_EQ(Cell(0, SurveyDialog::kTag), QStringLiteral("TT-A"));
    EXPECT_TRUE(dialog->Progress()->text().startsWith(QStringLiteral("Stopped.")));

    // A refresh of the rows found, stopped in turn, keeps them too.
    dialog->StartRefresh();
    EXPECT_TRUE(dialog->Procedure().Running())
        << static_cast<int>(dialog->Procedure().CurrentState()) << " busy " << busyFlag << " "
        << (prompts.messages.empty() ? std::string() : prompts.messages.back().text.toStdString());
    ASSERT_TRUE(WaitUntil(
        [&] { return dialog->Procedure().CurrentState() == Survey::State::kWaiting; }, kTimeoutMs));
    dialog->Stop();
    EXPECT_EQ(dialog->Table()->rowCount(), rows);
    EXPECT_EQ(busyFlag, 0);

    // The main window's own Stop ends a running survey as well.
    dialog->StartSearch();
    ASSERT_TRUE(dialog->Procedure().Running());
    session->Window().RunCommand(main_ids::kStop);
    EXPECT_EQ(busyFlag, 0);
    EXPECT_EQ(cancelFlag, 1);
    EXPECT_TRUE(WaitUntil([&] { return !dialog->Procedure().Running(); }, kTimeoutMs));
    EXPECT_EQ(dialog->Procedure().CurrentState(), Survey::State::kStopped);
}

}  // namespace
}  // namespace tandrin
