#include "app/app_session.h"

#include <QEventLoop>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>

#include "app/main_window.h"
#include "controls/qt/image_button.h"
#include "controls/qt/ui_fonts_qt.h"
#include "link/command_flags.h"
#include "link/hart_master.h"
#include "pages/qt/monitor_page_widget.h"
#include "shell/main_dialog_ids.h"

namespace tandrin {

namespace {

// Long enough for OnLine with all its retries.
constexpr int kScreenshotConnectMs = 8000;

}  // namespace

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done()) {
        return true;
    }
    QEventLoop wait;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &wait, [&] {
        if (done()) {
            wait.quit();
        }
    });
    poll.start(10);
    QTimer::singleShot(timeoutMs, &wait, &QEventLoop::quit);
    wait.exec();
    return done();
}

AppSession::AppSession(const AppOptions& options, UserPrompts* prompts)
    : m_options(options), m_prompts(prompts) {}

AppSession::~AppSession() {
    m_window.reset();
    // The master outlives the window and closes the link last; a phase
    // timer it still holds must not fire into a loop that is going.
    cancelFlag = 1;
    busyFlag = 0;
    hartMaster.CloseLink();
    hartMaster.SetTrace(nullptr);
    hartMaster.SetHeaderTrace(nullptr);
    hartMaster.SetEventLoop(nullptr);
    m_demo.Stop();
}

bool AppSession::Start(std::string& error) {
    // QApplication took the user's locale for everything. The program prints
    // numbers with printf in many places, and a comma-decimal locale would
    // show "103,125" in the window while files and the CLI say "103.125".
    std::setlocale(LC_NUMERIC, "C");
    CreateUiFonts();
    MainWindowOptions window;
    window.language = m_options.language;
    window.prompts = m_prompts;
    if (m_options.demo) {
        if (!m_demo.Start(sim::SimSetup{}, error)) {
            error = "cannot start the simulated transmitter: " + error;
            return false;
        }
        window.extraPorts.push_back(m_demo.Path());
        window.preferredPort = m_demo.Path();
    }
    if (!m_options.port.empty()) {
        window.extraPorts.push_back(m_options.port);
        window.preferredPort = m_options.port;
    }
    if (m_options.trace) {
        if (!m_trace.Open(error)) {
            return false;
        }
        hartMaster.SetTrace(m_trace.Trace()->Hook());
        hartMaster.SetHeaderTrace(m_trace.Trace()->HeaderHook());
    }
    hartMaster.SetEventLoop(&m_loop);
    m_window = std::make_unique<MainWindow>(window);
    return true;
}

bool AppSession::LanguageKnown() const {
    const auto& names = m_window->Logic().languageNames;
    return m_options.language.empty() ||
           std::find(names.begin(), names.end(), m_options.language) != names.end();
}

int AppSession::Run() {
    if (!m_options.screenshot.empty()) {
        return TakeScreenshot();
    }
    if (m_options.quitWhenShown) {
        return QuitWhenShown();
    }
    QTimer::singleShot(0, m_window.get(), [this] { StartOnMonitorPage(); });
    m_window->exec();
    return 0;
}

// As a click on its page button would: the button takes the focus, so it is
// the one drawn in the focus colour.
void AppSession::ShowPage(int index) {
    if (ImageButton* button = m_window->PageButton(index)) {
        button->setFocus();
    }
    m_window->RunCommand(MainDialog::PageButtonOfIndex(index));
}

void AppSession::StartOnMonitorPage() {
    if (m_options.record.empty() && m_options.monitorMode == 0) {
        return;
    }
    MainWindow& window = *m_window;
    if (m_options.page < 0) {
        ShowPage(MainDialog::kMonitorIndex);
    }
    if (!m_options.record.empty()) {
        auto* monitor = static_cast<MonitorPageWidget*>(window.Page(MainDialog::kMonitorIndex));
        monitor->Logic().LoadRecordFile(m_options.record);
        WaitUntil([monitor] { return !monitor->Logic().RefillPending(); }, kScreenshotConnectMs);
    }
    if (m_options.monitorMode != 0) {
        window.RunCommand(m_options.monitorMode);
    }
}

int AppSession::TakeScreenshot() {
    MainWindow& window = *m_window;
    window.show();
    if (m_options.page >= 0) {
        ShowPage(m_options.page);
    }
    if (m_options.demo || !m_options.port.empty()) {
        window.RunCommand(main_ids::kOnLine);
        WaitUntil([] { return busyFlag == 0; }, kScreenshotConnectMs);
        // A page that reads the transmitter shows its values.
        QWidget* page = window.Page(m_options.page);
        for (const char* name : {"IDC_cmdRead1", "IDC_cmdRead2"}) {
            if (auto* read = page ? page->findChild<QPushButton*>(name) : nullptr) {
                read->click();
                WaitUntil([] { return busyFlag == 0; }, kScreenshotConnectMs);
            }
        }
    }
    StartOnMonitorPage();
    WaitUntil([] { return false; }, 200);  // let the last repaints land
    const QPixmap picture = window.grab();
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(m_options.screenshot), "PNG")) {
        std::fprintf(stderr, "tandrin: cannot write %s\n", m_options.screenshot.c_str());
        return 1;
    }
    return 0;
}

int AppSession::QuitWhenShown() {
    MainWindow& window = *m_window;
    QObject::connect(&window, &MainWindow::firstPainted, &window, [&window] {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("shown %lld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
        std::fflush(stdout);
        QTimer::singleShot(0, &window, [&window] { window.done(0); });
    });
    window.exec();
    return 0;
}

}  // namespace tandrin
