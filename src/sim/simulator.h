#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "platform/poll_event_loop.h"
#include "sim/answer_plan.h"
#include "sim/device_config.h"
#include "sim/fault_plan.h"
#include "sim/request_reader.h"
#include "sim/sim_device.h"
#include "sim/sim_line.h"

namespace tandrin::sim {

struct SimOptions {
    LinePacing pacing;
    std::ostream* trace = nullptr;  // every request and answer, when set
    std::uint32_t seed = 1;         // line noise
};

// Counters other threads may read while the simulator runs.
struct SimStats {
    std::atomic<std::size_t> framesHeard{0};  // well-formed requests, to anyone
    std::atomic<std::size_t> answersSent{0};
    std::atomic<bool> lineLost{false};
};

// Transmitters on one line: reads requests from the line, lets the
// addressed device answer, and writes the answer with the line's timing
// and the faults asked for. Runs on one PollEventLoop thread.
//
// The line is half duplex: what arrives while an answer is under way is
// not heard, as on a real loop.
class Simulator {
  public:
    Simulator(PollEventLoop& loop, std::unique_ptr<SimLine> line,
              const std::vector<DeviceConfig>& devices, FaultPlan faults, SimOptions options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Empty after the line is lost.
    const std::string& Path() const;
    // Called on the loop's thread when the line goes (a hang-up fault, a
    // device unplugged), with the reason. The simulator then serves no line
    // until Attach.
    void SetLineLostHandler(std::function<void(const std::string& reason)> handler) {
        m_onLineLost = std::move(handler);
    }
    void Attach(std::unique_ptr<SimLine> line);

    std::vector<SimDevice>& Devices() { return m_devices; }
    std::shared_ptr<const SimStats> Stats() const { return m_stats; }
    // Device time: seconds since the simulator started.
    double Now() const;

  private:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kQuietGap = std::chrono::milliseconds(50);

    void OnReadable(short revents);
    void Heard(const std::uint8_t* bytes, std::size_t count, Clock::time_point now);
    void OnRequest(const SimRequest& request, Clock::time_point now);
    SimDevice* AddressedDevice(const SimRequest& request);
    void StartAnswer(AnswerPlan plan, Clock::time_point start);
    void ScheduleNextWrite();
    void WriteDue();
    void AnswerWritten();
    void FinishAnswer();
    void LoseLine(const std::string& reason);
    void StopTimer();
    void TraceRequest(const SimRequest& request, const char* outcome);
    void TraceAnswer(const std::vector<std::uint8_t>& frame, const std::vector<FaultRule>& faults);

    PollEventLoop& m_loop;
    std::unique_ptr<SimLine> m_line;
    std::vector<SimDevice> m_devices;
    FaultPlan m_faults;
    SimOptions m_options;
    RequestReader m_reader;
    std::mt19937 m_random;
    std::shared_ptr<SimStats> m_stats = std::make_shared<SimStats>();
    std::function<void(const std::string&)> m_onLineLost;
    const Clock::time_point m_origin = Clock::now();

    // The burst of bytes now arriving, for the request's line time.
    Clock::time_point m_lastByte{};
    Clock::time_point m_burstStart{};
    std::size_t m_burstBytes = 0;

    // The answer under way.
    bool m_bAnswering = false;
    AnswerPlan m_plan;
    std::size_t m_nextWrite = 0;
    Clock::time_point m_answerStart{};
    TimerId m_timer = 0;
};

}  // namespace tandrin::sim
