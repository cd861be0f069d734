#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "sim/fault_plan.h"
#include "sim/sim_device.h"
#include "sim/sim_request.h"

namespace tandrin::sim {

// How the simulator puts its answers on the line.
struct LinePacing {
    // Paced: the request's own line time, a turn-around, then one byte
    // every kByteMs. Unpaced: at once, as fast as a pty takes it.
    bool paced = true;
    double turnaroundMs = 20;
    static constexpr double kByteMs = 11 * 1000.0 / 1200;  // 11 bits at 1200 baud
    // Longer than the 50 ms of quiet after which a Windows-style serial
    // read returns, so each burst reaches the tool on its own.
    static constexpr double kBurstGapMs = 80;
};

struct TimedWrite {
    double atMs;  // after the answer's start
    std::vector<std::uint8_t> bytes;
};

// When each byte of one answer goes out.
struct AnswerPlan {
    bool silent = false;
    double startDelayMs = 0;  // from the end of the request
    std::vector<TimedWrite> writes;
    // When the last byte has left a real 1200 baud line, after the start.
    double lineMs = 0;
    bool hangUp = false;  // close the line after the writes
};

// The whole answer frame: preamble, delimiter, the request's address,
// command, byte count, status bytes, data and checksum, with the faults
// that change its bytes (response code, command, checksum) applied.
std::vector<std::uint8_t> BuildAnswerFrame(const SimDevice& device, const SimRequest& request,
                                           SimReply reply, const std::vector<FaultRule>& faults);

// Plans the writes of `frame` with the faults that change its timing and
// shape (noise, bursts, lateness, silence, hang-up).
AnswerPlan PlanAnswer(const std::vector<std::uint8_t>& frame, const std::vector<FaultRule>& faults,
                      const LinePacing& pacing, std::mt19937& random);

}  // namespace tandrin::sim
