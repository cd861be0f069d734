// The real window, offscreen, on a transmitter behind a HART-IP server.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "app/app_options.h"
#include "app/app_session.h"
#include "app/main_window.h"
#include "link/command_flags.h"
#include "pages/info_page_ids.h"
#include "pages/qt/page_widget.h"
#include "shell/main_dialog_ids.h"
#include "shell/settings_store.h"
#include "sim/sim_thread.h"
#include "ui/ui_support.h"

namespace tandrin {
namespace {

constexpr int kSequenceTimeoutMs = 15000;

// Answers the HART-IP server dialog with a given server.
class ServerPrompts : public test::RecordingPrompts {
  public:
    HartIpAddress answer;
    int asked = 0;
    bool HartIpServer(HartIpServerQuestion& question) override {
        ++asked;
        question.host = QString::fromStdString(answer.host);
        question.port = answer.port;
        question.tcp = answer.tcp;
        return true;
    }
};

sim::SimSetup FastServer() {
    sim::SimSetup setup;
    setup.options.pacing.paced = false;
    setup.hartIpPort = 0;
    return setup;
}

bool Done(MainWindow& window) {
    return WaitUntil([] { return busyFlag == 0; }, kSequenceTimeoutMs) &&
           window.StatusPane(0)->text() == QStringLiteral("Done");
}

TEST(HartIpWindow, ReadsTheInformationPageThroughTheServerNamedOnTheCommandLine) {
    test::ProgramFiles files({"English.ini", "kvrfw.dat", "Logo.bmp"});
    sim::SimulatorThread sim;
    std::string error;
    ASSERT_TRUE(sim.Start(FastServer(), error)) << error;

    test::RecordingPrompts prompts;
    AppOptions options;
    options.port = sim.HartIpUrl();
    AppSession session(options, &prompts);
    ASSERT_TRUE(session.Start(error)) << error;
    MainWindow& window = session.Window();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.StatusPane(1)->text(), QString::fromStdString(sim.HartIpUrl()));

    window.RunCommand(main_ids::kPageInfo);
    auto* page = dynamic_cast<PageWidget*>(window.Page(MainDialog::kInfoIndex));
    ASSERT_NE(page, nullptr);
    auto* read = qobject_cast<QAbstractButton*>(page->Controls().Widget(info_ids::kReadInfo));
    ASSERT_NE(read, nullptr);
    read->click();
    ASSERT_TRUE(Done(window)) << window.StatusPane(0)->text().toStdString();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(page->findChild<QLineEdit*>("IDC_txtTag")->text(), QStringLiteral("TT101"));
}

TEST(HartIpWindow, TheSerialPortMenuAsksForAServerAndKeepsIt) {
    test::ProgramFiles files({"English.ini", "kvrfw.dat", "Logo.bmp"});
    sim::SimulatorThread sim;
    std::string error;
    ASSERT_TRUE(sim.Start(FastServer(), error)) << error;
    HartIpAddress server;
    ASSERT_TRUE(ParseHartIpName(sim.HartIpUrl(), server));
    server.tcp = true;
    const std::string name = HartIpName(server);

    ServerPrompts prompts;
    prompts.answer = server;
    {
        AppSession session(AppOptions{}, &prompts);
        ASSERT_TRUE(session.Start(error)) << error;
        MainWindow& window = session.Window();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.Menu().Command(main_ids::kPortHartIp)->trigger();
        EXPECT_EQ(prompts.asked, 1);
        EXPECT_EQ(window.StatusPane(1)->text(), QString::fromStdString(name));
        QMenu* ports = window.Menu().Submenu(main_ids::kMenuEnvironment, main_ids::kPortSubmenu);
        EXPECT_EQ(ports->actions()[0]->text(), QString::fromStdString(name));
        EXPECT_TRUE(ports->actions()[0]->isChecked());
        window.ToolAction(main_ids::kOnLine)->trigger();
        EXPECT_TRUE(Done(window)) << window.StatusPane(0)->text().toStdString();
    }
    std::string stored;
    EXPECT_EQ(RegReadString(kSettingsKey, "Port", stored), 1);
    EXPECT_EQ(stored, name);

    // The next start comes back to it, though no probe lists it.
    test::RecordingPrompts again;
    AppSession session(AppOptions{}, &again);
    ASSERT_TRUE(session.Start(error)) << error;
    EXPECT_EQ(session.Window().StatusPane(1)->text(), QString::fromStdString(name));
}

}  // namespace
}  // namespace tandrin
