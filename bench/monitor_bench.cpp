// The monitor page's measured targets:
// - saving and loading 3 x 1,000,000 samples against writing and reading
//   the same number of bytes raw (both synced on writing);
// - listing a day at 2 s (3 x 43,200 rows) and the longest turn of the
//   loop it takes;
// - a day of monitoring at 2 s in virtual time: resident memory growth and
//   the cost of a sample early and late in the recording.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "link/command_flags.h"
#include "link/hart_master.h"
#include "link/virtual_event_loop.h"
#include "pages/memory_monitor_views.h"
#include "pages/monitor_page.h"
#include "pages/trend_record.h"
#include "shell/command_issue.h"
#include "shell/main_dialog_ids.h"
#include "shell/memory_form.h"
#include "support/fake_port.h"
#include "support/virtual_transmitters.h"

namespace {

using namespace tandrin;
using Clock = std::chrono::steady_clock;

std::string BenchDir() {
    static const std::string dir = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tandrin-bench-XXXXXX").string();
        return std::string(mkdtemp(pattern.data())) + "/";
    }();
    return dir;
}

TrendRecord BigRecord(std::size_t perSeries) {
    TrendRecord record;
    record.m_PVUnit = "\xA1\xE6";
    record.pv.reserve(perSeries);
    for (std::size_t i = 0; i < perSeries; ++i) {
        const auto time = static_cast<std::int32_t>(1'700'000'000 + 2 * i);
        record.pv.push_back({20.0 + static_cast<double>(i % 1000) * 0.01, time});
    }
    record.current = record.pv;
    record.percent = record.pv;
    return record;
}

void RawWrite(const std::string& path, const std::string& bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    fsync(fd);
    close(fd);
}

std::string RawRead(const std::string& path, std::size_t size) {
    std::string bytes(size, '\0');
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = read(fd, bytes.data() + done, size - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    close(fd);
    return bytes;
}

constexpr std::size_t kMillion = 1'000'000;

void BM_SaveRecord(benchmark::State& state) {
    const TrendRecord record = BigRecord(kMillion);
    const std::string path = BenchDir() + "save.tdd";
    for (auto _ : state) {
        if (SaveTrendRecord(path, record) != RecordIo::kOk) {
            state.SkipWithError("save failed");
        }
    }
    state.SetBytesProcessed(state.iterations() * 36'000'078);
}

void BM_RawWrite(benchmark::State& state) {
    const std::string bytes(EncodeTrendRecord(BigRecord(kMillion)).size(), 'x');
    const std::string path = BenchDir() + "raw.bin";
    for (auto _ : state) {
        RawWrite(path, bytes);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

void BM_LoadRecord(benchmark::State& state) {
    const std::string path = BenchDir() + "load.tdd";
    SaveTrendRecord(path, BigRecord(kMillion));
    for (auto _ : state) {
        TrendRecord record;
        if (LoadTrendRecord(path, record) != RecordIo::kOk) {
            state.SkipWithError("load failed");
        }
        benchmark::DoNotOptimize(record.pv.data());
    }
    state.SetBytesProcessed(state.iterations() * 36'000'078);
}

void BM_RawRead(benchmark::State& state) {
    const std::string path = BenchDir() + "load.tdd";
    SaveTrendRecord(path, BigRecord(kMillion));
    const std::size_t size = std::filesystem::file_size(path);
    for (auto _ : state) {
        std::string bytes = RawRead(path, size);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}

// Questions and file dialogs answered by nobody.
class ShellStub : public ShellServices {
  public:
    void MessageBox(const std::string&, const std::string&, MessageIcon) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return true; }
    void SetStatusText(int, const std::string&) override {}
    void SetProgress(int, int) override {}
    std::string OpenFileDialog(const std::string&) override { return {}; }
    std::string SaveFileDialog(const std::string&, const std::string&) override { return {}; }
    void OpenAddress(const std::string&) override {}
};

long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

double Ms(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// A page on a virtual loop and in-memory controls, with the simulated
// transmitter on a fake line when it records.
struct PageRig {
    PageRig() {
        busyFlag = 0;
        cancelFlag = 0;
        hartMaster.CloseLink();
        hartMaster.SetEventLoop(&loop);
        hartMaster.SetPortFactory(test::FakePortFactory(line, loop));
        hartMaster.m_strPortName = "/dev/ttyFAKE0";
        line.acceptsPath = [](const std::string&) { return true; };
        transmitters.Add(0);
        page.SetClock(
            [this] { return static_cast<std::int32_t>(1'700'000'000 + loop.Now() / 1000); });
        page.Initialise();
        page.Resize(725, 460);
        page.Show(true);
    }
    ~PageRig() {
        page.EndRecording();
        hartMaster.CloseLink();
        hartMaster.SetPortFactory(nullptr);
        hartMaster.SetEventLoop(nullptr);
    }

    VirtualEventLoop loop;
    test::FakeLine line;
    test::VirtualTransmitters transmitters{line, loop, hartMaster};
    MemoryForm form;
    ShellStub shell;
    MemoryMonitorViews views;
    MonitorPage page{form, shell, views.Views()};
};

// One day at 2 s listed: the rows of 3 x 43,200 samples.
void BM_RefillDay(benchmark::State& state) {
    PageRig rig;
    const std::string path = BenchDir() + "day.tdd";
    SaveTrendRecord(path, BigRecord(43'200));
    double firstTurn = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        rig.page.LoadRecordFile(path);
        firstTurn = Ms(Clock::now() - start);
        while (rig.page.RefillPending()) {
            rig.loop.RunFor(0);
        }
    }
    state.counters["rows"] = static_cast<double>(rig.views.list.rows.size());
    state.counters["batch_rows"] = static_cast<double>(MonitorPage::kRefillBatch);
    state.counters["first_turn_ms"] = firstTurn;
}

// A day of recording all three values at 2 s, in virtual time, against the
// simulated transmitter.
void BM_MonitorDay(benchmark::State& state) {
    constexpr std::size_t kDay = 43'200;
    constexpr std::size_t kSpan = 1'000;
    for (auto _ : state) {
        PageRig rig;
        const long before = ResidentKiB();
        rig.page.OnCommand(main_ids::kMonitorAll);
        const auto samples = [&] { return rig.page.Samples(Quantity::kPercent).size(); };
        const auto timeSpan = [&](std::size_t until) {
            const auto start = Clock::now();
            while (samples() < until && rig.page.Recording()) {
                rig.loop.RunFor(1'000);
            }
            return Ms(Clock::now() - start) / static_cast<double>(kSpan) * 1000.0;
        };
        const double early = timeSpan(kSpan);
        while (samples() < kDay - kSpan && rig.page.Recording()) {
            rig.loop.RunFor(60'000);
        }
        const double late = timeSpan(kDay);
        state.counters["samples"] = static_cast<double>(samples());
        state.counters["early_us_per_sample"] = early;
        state.counters["late_us_per_sample"] = late;
        state.counters["rss_growth_MiB"] = static_cast<double>(ResidentKiB() - before) / 1024.0;
        state.counters["virtual_hours"] = static_cast<double>(rig.loop.Now()) / 3.6e6;
    }
}

}  // namespace

BENCHMARK(BM_SaveRecord)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_RawWrite)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_LoadRecord)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_RefillDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonitorDay)->Unit(benchmark::kSecond)->Iterations(1);

BENCHMARK_MAIN();
