// The monitor page on Qt, offscreen:
// - listing a day at 2 s (3 x 43,200 rows) in the real sample list, and the
//   longest the event loop waits meanwhile (how long input would wait);
// - sorting 3 x 150,000 rows of it by each column;
// - the CPU `tandrin --demo` uses while recording all values at 2 s.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/app_session.h"
#include "controls/qt/sortable_list.h"
#include "link/hart_master.h"
#include "pages/qt/monitor_page_widget.h"
#include "pages/trend_record.h"
#include "shell/qt/qt_event_loop.h"
#include "shell/qt/qt_shell_services.h"
#include "shell/qt/user_prompts.h"

extern char** environ;

namespace {

using namespace tandrin;

class SilentPrompts : public UserPrompts {
  public:
    void Message(const QString&, const QString&, MessageIcon) override {}
    bool YesNo(const QString&, const QString&) override { return true; }
    QString OpenFile(const QString&) override { return {}; }
    QString SaveFile(const QString&, const QString&) override { return {}; }
    void OpenAddress(const QString&) override {}
};

// The monitor page shown at its size, on the master's event loop.
struct ShownMonitorPage {
    ShownMonitorPage() {
        hartMaster.SetEventLoop(&loop);
        page.resize(725, 460);
        page.show();
    }
    ~ShownMonitorPage() { hartMaster.SetEventLoop(nullptr); }

    QtEventLoop loop;
    SilentPrompts prompts;
    QtShellServices shell{prompts};
    MonitorPageWidget page{shell};
};

void BM_RefillDayInTheQtList(benchmark::State& state) {
    ShownMonitorPage shown;
    MonitorPageWidget& page = shown.page;
    TrendRecord day;
    for (std::int32_t i = 0; i < 43'200; ++i) {
        day.pv.push_back({20.0 + (i % 100) * 0.01, 1'700'000'000 + 2 * i});
    }
    day.current = day.pv;
    day.percent = day.pv;
    const std::string path =
        (std::filesystem::temp_directory_path() / "tandrin-bench-day.tdd").string();
    SaveTrendRecord(path, day);

    double longestWaitMs = 0;
    for (auto _ : state) {
        // A timer that should fire every millisecond: how late it comes is
        // how long input would wait.
        QElapsedTimer sinceTurn;
        QTimer ping;
        double longest = 0;
        QObject::connect(&ping, &QTimer::timeout, [&] {
            longest = std::max(longest, static_cast<double>(sinceTurn.nsecsElapsed()) / 1e6);
            sinceTurn.restart();
        });
        ping.start(1);
        sinceTurn.start();
        page.Logic().LoadRecordFile(path);
        WaitUntil([&] { return !page.Logic().RefillPending(); }, 60'000);
        QApplication::processEvents();
        longestWaitMs = longest;
    }
    state.counters["rows"] = page.List()->RowCount();
    state.counters["longest_wait_ms"] = longestWaitMs;
    std::filesystem::remove(path);
}

// Sorting 3 x 150,000 rows of the real list by one column (0 time, 1 value,
// 2 unit) as a header click does, each way in turn: how long until the
// sorted rows are shown, and how long input waits meanwhile at most.
void BM_SortInTheQtList(benchmark::State& state) {
    ShownMonitorPage shown;
    MonitorPageWidget& page = shown.page;
    TrendRecord record;
    std::uint32_t noise = 12345;
    for (std::int32_t i = 0; i < 150'000; ++i) {
        noise = noise * 1103515245u + 12345u;
        const double value = 20.0 + static_cast<double>(noise >> 16) / 655.36;
        record.pv.push_back({value, 1'700'000'000 + 2 * i});
        record.current.push_back({4.0 + value / 10.0, 1'700'000'000 + 2 * i});
        record.percent.push_back({value / 2.0, 1'700'000'000 + 2 * i});
    }
    const std::string path =
        (std::filesystem::temp_directory_path() / "tandrin-bench-sort.tdd").string();
    SaveTrendRecord(path, record);
    page.Logic().LoadRecordFile(path);
    WaitUntil([&] { return !page.Logic().RefillPending(); }, 60'000);
    std::filesystem::remove(path);

    const int column = static_cast<int>(state.range(0));
    SortableTableModel& model = page.List()->Model();
    double longestWaitMs = 0;
    for (auto _ : state) {
        // A timer that should fire every millisecond: how late it comes is
        // how long input would wait.
        QElapsedTimer sinceTurn;
        QTimer ping;
        QObject::connect(&ping, &QTimer::timeout, [&] {
            longestWaitMs =
                std::max(longestWaitMs, static_cast<double>(sinceTurn.nsecsElapsed()) / 1e6);
            sinceTurn.restart();
        });
        ping.start(1);
        sinceTurn.start();
        emit page.List()->horizontalHeader()->sectionClicked(column);
        WaitUntil([&] { return !model.SortUnderWay(); }, 60'000);
        QApplication::processEvents();
    }
    state.counters["rows"] = page.List()->RowCount();
    state.counters["longest_wait_ms"] = longestWaitMs;
}

double CpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    for (int i = 0; i < 13 && stat >> field; ++i) {
    }
    long user = 0;
    long system = 0;
    stat >> user >> system;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void BM_IdleCpuWhileMonitoring(benchmark::State& state) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    for (auto _ : state) {
        std::vector<std::string> args{TANDRIN_PROGRAM, "--demo", "--monitor", "all"};
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("cannot start tandrin");
            return;
        }
        std::this_thread::sleep_for(std::chrono::seconds(5));  // start-up and the first samples
        const double before = CpuSeconds(pid);
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(state.range(0)));
        const double used = CpuSeconds(pid) - before;
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        state.counters["cpu_percent_of_a_core"] = 100.0 * used / wall;
    }
}

}  // namespace

BENCHMARK(BM_RefillDayInTheQtList)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortInTheQtList)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_IdleCpuWhileMonitoring)->Arg(30)->Unit(benchmark::kSecond)->Iterations(1);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
