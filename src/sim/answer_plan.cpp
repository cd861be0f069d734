#include "sim/answer_plan.h"

#include <algorithm>
#include <optional>

#include "link/hart_frame.h"

namespace tandrin::sim {

namespace {

std::optional<FaultRule> Find(const std::vector<FaultRule>& faults, FaultKind kind) {
    const auto it = std::find_if(faults.begin(), faults.end(),
                                 [kind](const FaultRule& f) { return f.kind == kind; });
    return it == faults.end() ? std::nullopt : std::optional<FaultRule>(*it);
}

std::vector<std::uint8_t> Noise(std::size_t count, std::mt19937& random) {
    // Anything but 0xFF, which would read as preamble.
    std::uniform_int_distribution<int> byte(0x00, 0xFE);
    std::vector<std::uint8_t> noise(count);
    for (auto& b : noise) {
        b = static_cast<std::uint8_t>(byte(random));
    }
    return noise;
}

// Cuts the writes after `limit` bytes.
void Truncate(std::vector<TimedWrite>& writes, std::size_t limit) {
    std::size_t kept = 0;
    for (auto it = writes.begin(); it != writes.end(); ++it) {
        if (kept + it->bytes.size() >= limit) {
            it->bytes.resize(limit - kept);
            writes.erase(it->bytes.empty() ? it : it + 1, writes.end());
            return;
        }
        kept += it->bytes.size();
    }
}

}  // namespace

std::vector<std::uint8_t> BuildAnswerFrame(const SimDevice& device, const SimRequest& request,
                                           SimReply reply, const std::vector<FaultRule>& faults) {
    std::uint8_t command = request.command;
    if (const auto code = Find(faults, FaultKind::kResponseCode)) {
        reply.responseCode = static_cast<std::uint8_t>(code->value);
        reply.data.clear();  // an error answer carries the status bytes only
    }
    if (Find(faults, FaultKind::kWrongCommand)) {
        ++command;
    }
    std::vector<std::uint8_t> body{reply.responseCode, reply.deviceStatus};
    body.insert(body.end(), reply.data.begin(), reply.data.end());
    const std::vector<std::uint8_t> address = device.ReplyAddress(request);
    std::vector<std::uint8_t> frame;
    AppendFrame(frame, device.m_byPreambles, request.isLong ? kResponseLong : kResponseShort,
                address.data(), address.size(), command, body.data(), body.size());
    if (Find(faults, FaultKind::kBadChecksum)) {
        frame.back() ^= 0x55;
    }
    return frame;
}

AnswerPlan PlanAnswer(const std::vector<std::uint8_t>& frame, const std::vector<FaultRule>& faults,
                      const LinePacing& pacing, std::mt19937& random) {
    AnswerPlan plan;
    if (Find(faults, FaultKind::kSilence)) {
        plan.silent = true;
        return plan;
    }
    std::vector<std::uint8_t> bytes;
    if (const auto noise = Find(faults, FaultKind::kNoise)) {
        bytes = Noise(noise->value, random);
    }
    bytes.insert(bytes.end(), frame.begin(), frame.end());

    const auto split = Find(faults, FaultKind::kSplit);
    const std::size_t bursts = std::min<std::size_t>(split ? split->value : 1, bytes.size());
    double at = 0;
    for (std::size_t b = 0; b < bursts; ++b) {
        const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(b * bytes.size() / bursts);
        const auto last =
            bytes.begin() + static_cast<std::ptrdiff_t>((b + 1) * bytes.size() / bursts);
        if (b > 0) {
            at += LinePacing::kBurstGapMs;
        }
        if (pacing.paced) {
            for (auto it = first; it != last; ++it) {
                plan.writes.push_back({at, {*it}});
                at += LinePacing::kByteMs;
            }
        } else {
            plan.writes.push_back({at, {first, last}});
        }
    }
    plan.lineMs = pacing.paced ? at : at + static_cast<double>(bytes.size()) * LinePacing::kByteMs;

    plan.startDelayMs = pacing.paced ? pacing.turnaroundMs : 0;
    if (const auto late = Find(faults, FaultKind::kLate)) {
        plan.startDelayMs += late->value;
    }
    if (const auto hangUp = Find(faults, FaultKind::kHangUp)) {
        Truncate(plan.writes, hangUp->value);
        plan.hangUp = true;
    }
    return plan;
}

}  // namespace tandrin::sim
