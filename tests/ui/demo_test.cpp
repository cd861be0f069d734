// `tandrin --demo` on its simulator, and the program's own start.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <fstream>
#include <iterator>
#include <memory>

#include "app/app_options.h"
#include "app/app_session.h"
#include "app/main_window.h"
#include "pages/qt/device_status_dialog.h"
#include "shell/main_dialog_ids.h"
#include "shell/settings_store.h"
#include "sim/device_config.h"
#include "sim/sim_thread.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "ui/ui_support.h"

namespace tandrin {
namespace {

using namespace main_ids;

constexpr int kSequenceTimeoutMs = 15000;

TEST(Demo, ReachesOnLineSuccessAgainstItsSimulatorWithoutStoringThePort) {
    test::ProgramFiles files({"English.ini", "kvrfw.dat", "Logo.bmp"});
    ASSERT_EQ(RegWriteString(kSettingsKey, "Port", "/dev/ttyUSB9"), 1);
    test::RecordingPrompts prompts;
    AppOptions options;
    options.demo = true;
    AppSession session(options, &prompts);
    std::string error;
    ASSERT_TRUE(session.Start(error)) << error;
    MainWindow& window = session.Window();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const QString pty = QString::fromStdString(session.Demo().Path());
    QMenu* ports = window.Menu().Submenu(kMenuEnvironment, kPortSubmenu);
    ASSERT_FALSE(ports->actions().isEmpty());
    EXPECT_EQ(ports->actions()[0]->text(), pty);
    EXPECT_TRUE(ports->actions()[0]->isChecked());
    EXPECT_EQ(window.StatusPane(1)->text(), pty);

    window.ToolAction(kOnLine)->trigger();
    EXPECT_TRUE(WaitUntil([&] { return window.StatusPane(0)->text() == QStringLiteral("Done"); },
                          kSequenceTimeoutMs))
        << window.StatusPane(0)->text().toStdString();
    EXPECT_EQ(window.Progress()->value(), window.Progress()->maximum());
    EXPECT_TRUE(prompts.messages.empty());

    // Message boxes come through the prompts: the version query's answer.
    window.ToolAction(kProductInfo)->trigger();
    EXPECT_TRUE(WaitUntil([&] { return !prompts.messages.empty(); }, kSequenceTimeoutMs));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(
        prompts.messages[0].text.startsWith(QStringLiteral("Transmitter software version: V")))
        << prompts.messages[0].text.toStdString();
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("HART"));

    std::string stored;
    EXPECT_EQ(RegReadString(kSettingsKey, "Port", stored), 1);
    EXPECT_EQ(stored, "/dev/ttyUSB9");
}

// tandrin-sim --link /tmp/hart & tandrin --port /tmp/hart --trace
TEST(NamedPort, ALinkToASimulatorTheProbeSkippedReachesOnLineAndIsTraced) {
    test::ProgramFiles files({"English.ini", "kvrfw.dat", "Logo.bmp"});
    test::TempDir state;
    test::ScopedEnv xdgState{"XDG_STATE_HOME", state.Path()};
    sim::SimulatorThread sim;
    std::string error;
    ASSERT_TRUE(sim.Start(sim::SimSetup{}, error)) << error;
    const std::string link = state.Path() + "hart";
    ASSERT_EQ(::symlink(sim.Path().c_str(), link.c_str()), 0);

    test::RecordingPrompts prompts;
    AppOptions options;
    options.port = link;
    options.trace = true;
    AppSession session(options, &prompts);
    ASSERT_TRUE(session.Start(error)) << error;
    MainWindow& window = session.Window();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.StatusPane(1)->text(), QString::fromStdString(link));
    QMenu* ports = window.Menu().Submenu(kMenuEnvironment, kPortSubmenu);
    EXPECT_TRUE(ports->actions()[0]->isChecked());

    window.ToolAction(kOnLine)->trigger();
    EXPECT_TRUE(WaitUntil([&] { return window.StatusPane(0)->text() == QStringLiteral("Done"); },
                          kSequenceTimeoutMs))
        << window.StatusPane(0)->text().toStdString();
    EXPECT_TRUE(prompts.messages.empty());

    std::ifstream trace(state.Path() + "tandrin/trace.log");
    std::string text((std::istreambuf_iterator<char>(trace)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("| cmd 0 request"), std::string::npos) << text;
    EXPECT_NE(text.find("| cmd 0 reply: response 0 success"), std::string::npos) << text;

    // Help opens the folder the trace is in.
    window.Menu().Command(kHelpTraceFolder)->trigger();
    ASSERT_EQ(prompts.addresses.size(), 1u);
    EXPECT_EQ(prompts.addresses[0].toStdString(), "file://" + state.Path() + "tandrin/");
}

// The real window on a simulated transmitter described by device keys,
// every question answered Yes.
class DeviceStatus : public ::testing::Test {
  protected:
    void Open(const std::string& keys) {
        sim::SimSetup setup;
        std::string error;
        ASSERT_TRUE(sim::ParseDeviceKeys(keys, setup.devices[0], error)) << error;
        ASSERT_TRUE(m_sim.Start(setup, error)) << error;
        prompts.answer = true;
        AppOptions options;
        options.port = m_sim.Path();
        m_session = std::make_unique<AppSession>(options, &prompts);
        ASSERT_TRUE(m_session->Start(error)) << error;
        m_session->Window().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_session->Window()));
    }
    MainWindow& Window() { return m_session->Window(); }

    test::ProgramFiles m_files{{"English.ini", "kvrfw.dat", "Logo.bmp"}};
    sim::SimulatorThread m_sim;
    test::RecordingPrompts prompts;
    std::unique_ptr<AppSession> m_session;
};

// A transmitter with a malfunction, its loop left fixed by something else.
TEST_F(DeviceStatus, TheStatusBarSaysItAndTheWindowOffersToReleaseTheLoop) {
    ASSERT_NO_FATAL_FAILURE(Open("status=80,fixed=12"));
    MainWindow& window = Window();
    auto* label = window.findChild<QLabel*>(QStringLiteral("DeviceStatusPane"));
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->isVisible()) << "nothing heard yet";

    window.ToolAction(kOnLine)->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !prompts.questions.empty(); }, kSequenceTimeoutMs));
    EXPECT_TRUE(prompts.questions[0].startsWith(
        QStringLiteral("The transmitter reports its loop current fixed")))
        << prompts.questions[0].toStdString();
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), QStringLiteral("Field device malfunction")) << "the most serious";
    EXPECT_TRUE(label->styleSheet().contains(QStringLiteral("#c00000")));

    // Released on Yes: the malfunction stays, the fixed current is gone,
    // and the question does not come again.
    ASSERT_TRUE(WaitUntil([&] { return window.StatusPane(0)->text() == QStringLiteral("Done"); },
                          kSequenceTimeoutMs));
    window.ToolAction(kOnLine)->trigger();
    ASSERT_TRUE(WaitUntil([&] { return window.StatusPane(0)->text() == QStringLiteral("Done"); },
                          kSequenceTimeoutMs));
    QTest::qWait(50);
    EXPECT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(label->toolTip(), QStringLiteral("Field device malfunction")) << "loop released";
}

// Device > Device Status…: the bits and command 48, and the flag cleared.
TEST_F(DeviceStatus, TheWindowReadsTheAdditionalStatusAndClearsConfigurationChanged) {
    ASSERT_NO_FATAL_FAILURE(Open("status=40"));
    MainWindow& window = Window();

    window.Menu().Command(kDeviceStatus)->trigger();
    auto* dialog = window.findChild<DeviceStatusDialog*>();
    ASSERT_NE(dialog, nullptr);
    QTableWidget* table = dialog->Table();
    const auto Value = [&](const QString& label) {
        for (int row = 0; row < table->rowCount(); ++row) {
            if (table->item(row, 0)->text() == label) {
                return table->item(row, 1)->text();
            }
        }
        return QString();
    };
    ASSERT_TRUE(WaitUntil([&] { return !Value(QStringLiteral("Analog channels fixed")).isEmpty(); },
                          kSequenceTimeoutMs));
    EXPECT_EQ(Value(QStringLiteral("Configuration changed")), QStringLiteral("yes"));
    EXPECT_EQ(Value(QStringLiteral("Extended device status")), QStringLiteral("0x00"));
    EXPECT_EQ(Value(QStringLiteral("Device-specific status")), QStringLiteral("000000000000"));

    dialog->findChild<QPushButton*>(QStringLiteral("StatusClearConfig"))->click();
    ASSERT_EQ(prompts.questions.size(), 1u) << "asked first";
    EXPECT_TRUE(prompts.questions[0].contains(QStringLiteral("configuration changed")));
    EXPECT_TRUE(WaitUntil(
        [&] { return Value(QStringLiteral("Configuration changed")) == QStringLiteral("no"); },
        kSequenceTimeoutMs));
    EXPECT_TRUE(prompts.messages.empty());
}

QProcess* Start(const QStringList& arguments, const QProcessEnvironment& environment) {
    auto* program = new QProcess;
    program->setProcessEnvironment(environment);
    program->start(QStringLiteral(TANDRIN_PROGRAM), arguments);
    return program;
}

TEST(Program, WithoutADisplaySaysHowToRunItInsteadOfAborting) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    std::unique_ptr<QProcess> program(Start({QStringLiteral("--demo")}, environment));
    ASSERT_TRUE(program->waitForFinished(20000));
    EXPECT_EQ(program->exitCode(), 1);
    const QString said = QString::fromLocal8Bit(program->readAllStandardError());
    EXPECT_TRUE(said.contains(QStringLiteral("no display"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("xvfb-run"))) << said.toStdString();
}

TEST(Program, HelpAndUnknownOptions) {
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    std::unique_ptr<QProcess> help(Start({QStringLiteral("--help")}, environment));
    ASSERT_TRUE(help->waitForFinished(20000));
    EXPECT_EQ(help->exitCode(), 0);
    const QString usage = QString::fromLocal8Bit(help->readAllStandardOutput());
    EXPECT_TRUE(usage.startsWith(QStringLiteral("Usage: tandrin"))) << usage.toStdString();
    EXPECT_TRUE(usage.contains(QStringLiteral("dialout")));

    std::unique_ptr<QProcess> wrong(Start({QStringLiteral("--bogus")}, environment));
    ASSERT_TRUE(wrong->waitForFinished(20000));
    EXPECT_EQ(wrong->exitCode(), 2);

    // Known only once the language files are read: still bad usage.
    std::unique_ptr<QProcess> klingon(
        Start({QStringLiteral("--lang"), QStringLiteral("Klingon"), QStringLiteral("-platform"),
               QStringLiteral("offscreen")},
              environment));
    ASSERT_TRUE(klingon->waitForFinished(20000));
    EXPECT_EQ(klingon->exitCode(), 2);
    EXPECT_TRUE(QString::fromLocal8Bit(klingon->readAllStandardError())
                    .contains(QStringLiteral("no language file for \"Klingon\"")));
}

TEST(Program, QuitsTheOrderlyWayOnSigterm) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    test::TempDir config;
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(config.Path()));
    std::unique_ptr<QProcess> program(Start({QStringLiteral("--demo")}, environment));
    ASSERT_TRUE(program->waitForStarted(20000));
    QTest::qWait(2000);  // up, with its window in its modal run
    ASSERT_EQ(program->state(), QProcess::Running);
    program->terminate();  // SIGTERM
    ASSERT_TRUE(program->waitForFinished(20000));
    EXPECT_EQ(program->exitStatus(), QProcess::NormalExit) << "killed instead of quitting";
    EXPECT_EQ(program->exitCode(), 143);
}

TEST(AppOptions, ParsesTheProgramsOptionsAndLetsQtsOwnThrough) {
    AppOptions options;
    std::string error;
    ASSERT_TRUE(ParseAppOptions({"--demo", "--lang", "Simple Chinese", "--screenshot", "a.png",
                                 "--page", "monitor", "-platform", "offscreen"},
                                options, error))
        << error;
    EXPECT_TRUE(options.demo);
    EXPECT_EQ(options.language, "Simple Chinese");
    EXPECT_EQ(options.screenshot, "a.png");
    EXPECT_EQ(options.page, MainDialog::kMonitorIndex);
    EXPECT_TRUE(options.platformGiven);

    ASSERT_TRUE(ParseAppOptions({"--record", "day.tdd", "--monitor", "pv"}, options, error));
    EXPECT_EQ(options.record, "day.tdd");
    EXPECT_EQ(options.monitorMode, kMonitorPv);
    EXPECT_FALSE(ParseAppOptions({"--monitor", "volts"}, options, error));

    EXPECT_FALSE(ParseAppOptions({"--page", "nowhere"}, options, error));
    AppOptions fresh;
    EXPECT_FALSE(ParseAppOptions({"--page", "setup"}, fresh, error)) << "no --screenshot";
    EXPECT_FALSE(ParseAppOptions({"--demo", "--port", "/dev/ttyUSB0"}, fresh, error));
    EXPECT_EQ(error, "--demo brings its own port: give either --demo or --port");
    EXPECT_FALSE(ParseAppOptions({"--lang"}, options, error));
    EXPECT_EQ(error, "--lang needs a value");

    EXPECT_NE(DisplayProblem(nullptr, "", nullptr, false), "");
    EXPECT_EQ(DisplayProblem(nullptr, ":0", nullptr, false), "");
    EXPECT_EQ(DisplayProblem(nullptr, nullptr, "wayland-0", false), "");
    EXPECT_EQ(DisplayProblem("offscreen", nullptr, nullptr, false), "");
    EXPECT_EQ(DisplayProblem(nullptr, nullptr, nullptr, true), "");
}

}  // namespace
}  // namespace tandrin
