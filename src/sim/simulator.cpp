#include "sim/simulator.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

namespace tandrin::sim {

namespace {

std::uint32_t MsUntil(std::chrono::steady_clock::time_point due) {
    const auto left = due - std::chrono::steady_clock::now();
    const double ms = std::chrono::duration<double, std::milli>(left).count();
    return ms <= 0 ? 0 : static_cast<std::uint32_t>(std::ceil(ms));
}

std::chrono::steady_clock::duration Ms(double ms) {
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double, std::milli>(ms));
}

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    char item[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(item, sizeof item, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += item;
    }
    return text;
}

}  // namespace

Simulator::Simulator(PollEventLoop& loop, std::unique_ptr<SimLine> line,
                     const std::vector<DeviceConfig>& devices, FaultPlan faults, SimOptions options)
    : m_loop(loop), m_faults(std::move(faults)), m_options(options), m_random(options.seed) {
    m_devices.reserve(devices.size());
    for (const DeviceConfig& config : devices) {
        m_devices.emplace_back(config);
    }
    Attach(std::move(line));
}

Simulator::~Simulator() {
    StopTimer();
    if (m_line) {
        m_loop.UnwatchFd(m_line->Fd());
    }
}

const std::string& Simulator::Path() const {
    static const std::string none;
    return m_line ? m_line->Path() : none;
}

double Simulator::Now() const {
    return std::chrono::duration<double>(Clock::now() - m_origin).count();
}

void Simulator::Attach(std::unique_ptr<SimLine> line) {
    StopTimer();
    if (m_line) {
        m_loop.UnwatchFd(m_line->Fd());
    }
    m_line = std::move(line);
    m_reader.Reset();
    m_burstBytes = 0;
    m_bAnswering = false;
    m_stats->lineLost.store(false);
    if (m_line) {
        m_loop.WatchFd(m_line->Fd(), POLLIN, [this](short revents) { OnReadable(revents); });
    }
}

void Simulator::OnReadable(short revents) {
    std::uint8_t buffer[256];
    for (;;) {
        const ssize_t n = ::read(m_line->Fd(), buffer, sizeof buffer);
        if (n > 0) {
            Heard(buffer, static_cast<std::size_t>(n), Clock::now());
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EAGAIN && (revents & (POLLHUP | POLLERR)) == 0) {
            return;
        }
        LoseLine(n == 0 || errno == EAGAIN ? "the line hung up"
                                           : std::string("read: ") + std::strerror(errno));
        return;
    }
}

void Simulator::Heard(const std::uint8_t* bytes, std::size_t count, Clock::time_point now) {
    if (m_bAnswering) {
        return;  // half duplex: our own carrier drowns whatever comes
    }
    if (m_burstBytes == 0 || now - m_lastByte > kQuietGap) {
        m_reader.Reset();  // a quiet line ends any partial frame
        m_burstStart = now;
        m_burstBytes = 0;
    }
    m_lastByte = now;
    m_burstBytes += count;
    m_reader.Append(bytes, count);
    while (!m_bAnswering && m_line) {
        const auto request = m_reader.Next();
        if (!request) {
            break;
        }
        m_stats->framesHeard.fetch_add(1);
        OnRequest(*request, now);
    }
}

SimDevice* Simulator::AddressedDevice(const SimRequest& request) {
    for (SimDevice& device : m_devices) {
        if (device.IsAddressedBy(request)) {
            return &device;
        }
    }
    return nullptr;
}

void Simulator::OnRequest(const SimRequest& request, Clock::time_point now) {
    SimDevice* device = AddressedDevice(request);
    if (device == nullptr) {
        TraceRequest(request, "not addressed to a simulated device");
        return;
    }
    const std::vector<FaultRule> faults = m_faults.ForAnswer(request.command);
    // An answer struck with a response code is a refusal: the transmitter
    // keeps the state it had, as a busy or write-protected one does.
    const bool refused = std::any_of(faults.begin(), faults.end(), [](const FaultRule& fault) {
        return fault.kind == FaultKind::kResponseCode;
    });
    std::optional<SimDevice> kept;
    if (refused) {
        kept = *device;
    }
    const auto reply = device->Handle(request, Now());
    if (kept) {
        *device = std::move(*kept);
    }
    if (!reply) {
        TraceRequest(request, "no answer (restarting, or not for a short frame)");
        return;
    }
    TraceRequest(request, nullptr);
    const std::vector<std::uint8_t> frame = BuildAnswerFrame(*device, request, *reply, faults);
    AnswerPlan plan = PlanAnswer(frame, faults, m_options.pacing, m_random);
    TraceAnswer(frame, faults);
    if (plan.silent) {
        return;
    }
    // Paced, the answer follows the request's end on a real line, even
    // when a pty delivered the request at once.
    Clock::time_point requestEnd = now;
    if (m_options.pacing.paced) {
        requestEnd = std::max(
            now, m_burstStart + Ms(static_cast<double>(m_burstBytes) * LinePacing::kByteMs));
    }
    const Clock::time_point start = requestEnd + Ms(plan.startDelayMs);
    StartAnswer(std::move(plan), start);
}

void Simulator::StartAnswer(AnswerPlan plan, Clock::time_point start) {
    m_bAnswering = true;
    m_plan = std::move(plan);
    m_nextWrite = 0;
    m_answerStart = start;
    m_reader.Reset();
    ScheduleNextWrite();
}

void Simulator::ScheduleNextWrite() {
    if (m_nextWrite >= m_plan.writes.size()) {
        if (m_nextWrite == 0 && MsUntil(m_answerStart) > 0) {
            // Nothing to write (a hang-up at the first byte): still wait
            // until the answer would have begun.
            m_timer = m_loop.StartTimer(MsUntil(m_answerStart), [this](TimerId) {
                m_timer = 0;
                AnswerWritten();
            });
            return;
        }
        AnswerWritten();
        return;
    }
    const auto due = m_answerStart + Ms(m_plan.writes[m_nextWrite].atMs);
    m_timer = m_loop.StartTimer(MsUntil(due), [this](TimerId) {
        m_timer = 0;
        WriteDue();
    });
}

void Simulator::WriteDue() {
    if (m_nextWrite == 0) {
        m_line->BeginAnswer();
    }
    // Everything that is due: a late timer catches up rather than stretch
    // the answer.
    const auto now = Clock::now();
    while (m_nextWrite < m_plan.writes.size() &&
           m_answerStart + Ms(m_plan.writes[m_nextWrite].atMs) <= now) {
        const auto& bytes = m_plan.writes[m_nextWrite++].bytes;
        // A full pty buffer drops bytes like a line without flow control.
        if (::write(m_line->Fd(), bytes.data(), bytes.size()) < 0 && errno == EIO) {
            LoseLine("write: the line hung up");
            return;
        }
    }
    ScheduleNextWrite();
}

void Simulator::AnswerWritten() {
    if (m_plan.hangUp) {
        LoseLine("hang-up fault");
        return;
    }
    // A modem keeps its carrier until the driver has sent the last byte.
    const double endMs = m_options.pacing.paced || m_line->PacedByDriver()
                             ? m_plan.lineMs
                             : (m_plan.writes.empty() ? 0 : m_plan.writes.back().atMs);
    m_timer = m_loop.StartTimer(MsUntil(m_answerStart + Ms(endMs)), [this](TimerId) {
        m_timer = 0;
        FinishAnswer();
    });
}

void Simulator::FinishAnswer() {
    m_line->EndAnswer();
    m_bAnswering = false;
    m_burstBytes = 0;
    m_stats->answersSent.fetch_add(1);
}

void Simulator::LoseLine(const std::string& reason) {
    StopTimer();
    m_bAnswering = false;
    // Counted before the tool can see the hang-up.
    m_stats->lineLost.store(true);
    if (m_line) {
        m_loop.UnwatchFd(m_line->Fd());
        m_line->HangUp();
        m_line.reset();
    }
    if (m_onLineLost) {
        m_onLineLost(reason);
    } else if (m_options.trace != nullptr) {
        *m_options.trace << "line lost: " << reason << std::endl;
    }
}

void Simulator::StopTimer() {
    if (m_timer != 0) {
        m_loop.KillTimer(m_timer);
        m_timer = 0;
    }
}

void Simulator::TraceRequest(const SimRequest& request, const char* outcome) {
    if (m_options.trace == nullptr) {
        return;
    }
    char head[96];
    std::snprintf(head, sizeof head, "%9.3f <- cmd %u %s [%s]", Now(), request.command,
                  request.isLong ? "long" : "short",
                  Hex(request.address.data(), request.isLong ? 5 : 1).c_str());
    *m_options.trace << head;
    if (!request.data.empty()) {
        *m_options.trace << " data " << Hex(request.data.data(), request.data.size());
    }
    if (outcome != nullptr) {
        *m_options.trace << ": " << outcome;
    }
    *m_options.trace << std::endl;
}

void Simulator::TraceAnswer(const std::vector<std::uint8_t>& frame,
                            const std::vector<FaultRule>& faults) {
    if (m_options.trace == nullptr) {
        return;
    }
    char head[32];
    std::snprintf(head, sizeof head, "%9.3f -> ", Now());
    *m_options.trace << head << Hex(frame.data(), frame.size());
    for (const FaultRule& fault : faults) {
        *m_options.trace << " [fault " << FaultName(fault.kind);
        if (fault.value != 0) {
            *m_options.trace << "=" << fault.value;
        }
        *m_options.trace << "]";
    }
    *m_options.trace << std::endl;
}

}  // namespace tandrin::sim
