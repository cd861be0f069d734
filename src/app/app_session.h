#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/app_options.h"
#include "shell/qt/qt_event_loop.h"
#include "shell/trace_log.h"
#include "sim/sim_thread.h"

namespace tandrin {

class MainWindow;
class UserPrompts;

// One run of the program after QApplication exists: the interface fonts,
// the demo simulator, the Qt event loop under the global HartMaster, and
// the main window. Torn down in the reverse order, the link last.
class AppSession {
  public:
    explicit AppSession(const AppOptions& options, UserPrompts* prompts = nullptr);
    ~AppSession();
    AppSession(const AppSession&) = delete;
    AppSession& operator=(const AppSession&) = delete;

    // False with `error` set when the demo simulator or the trace file
    // cannot start.
    bool Start(std::string& error);
    // False when --lang named a language no language file has.
    bool LanguageKnown() const;
    // Runs the window modally until it is closed (or takes the screenshot);
    // the exit code.
    int Run();

    MainWindow& Window() { return *m_window; }
    const sim::SimulatorThread& Demo() const { return m_demo; }
    sim::SimulatorThread& Demo() { return m_demo; }
    QtEventLoop& Loop() { return m_loop; }

  private:
    int TakeScreenshot();
    // --record and --monitor, once the window is shown and connected.
    void StartOnMonitorPage();
    void ShowPage(int index);
    int QuitWhenShown();

    AppOptions m_options;
    UserPrompts* m_prompts;
    QtEventLoop m_loop;
    sim::SimulatorThread m_demo;
    TraceLog m_trace;
    std::unique_ptr<MainWindow> m_window;
};

// Runs Qt's events until `done()` holds or `timeoutMs` pass; done().
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

}  // namespace tandrin
