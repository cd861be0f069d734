#include "sim/request_reader.h"

#include <algorithm>

#include "link/hart_frame.h"

namespace tandrin::sim {

void RequestReader::Append(const std::uint8_t* bytes, std::size_t count) {
    m_buffer.insert(m_buffer.end(), bytes, bytes + count);
    if (m_buffer.size() > kCapacity) {
        Drop(m_buffer.size() - kCapacity);  // a runaway byte count must not grow us
    }
}

std::optional<SimRequest> RequestReader::Next() {
    for (;;) {
        // Noise before the preamble.
        const auto first = std::find(m_buffer.begin(), m_buffer.end(), kPreambleByte);
        Drop(static_cast<std::size_t>(first - m_buffer.begin()));
        if (m_buffer.empty()) {
            return std::nullopt;
        }
        SimRequest request;
        switch (TryFrameAtStart(request)) {
            case Step::kFound:
                return request;
            case Step::kNeedMore:
                return std::nullopt;
            case Step::kSkipped:
                break;
        }
    }
}

RequestReader::Step RequestReader::TryFrameAtStart(SimRequest& request) {
    const auto run =
        static_cast<std::size_t>(std::find_if(m_buffer.begin(), m_buffer.end(),
                                              [](std::uint8_t b) { return b != kPreambleByte; }) -
                                 m_buffer.begin());
    if (run == m_buffer.size()) {
        // Only preamble so far; keep no more of it than a frame may carry,
        // plus one so that an overlong run is still seen as such.
        if (run > kMaxPreambles + 1) {
            Drop(run - kMaxPreambles - 1);
        }
        return Step::kNeedMore;
    }
    const std::uint8_t delimiter = m_buffer[run];
    if (run < kMinPreambles || run > kMaxPreambles ||
        (delimiter != kRequestShort && delimiter != kRequestLong)) {
        Drop(run + 1);
        return Step::kSkipped;
    }
    // The preamble window of one byte and the delimiter limit pin the
    // delimiter to the byte right after the run.
    const auto header =
        FindFrameHeader(m_buffer.data(), m_buffer.size(), kRequestShort, 1, run + 1);
    if (!header || !FrameComplete(*header, m_buffer.size())) {
        return Step::kNeedMore;
    }
    const std::uint8_t* frame = m_buffer.data() + header->delimiter;
    if (XorChecksum(frame, header->frameLength) != 0) {
        Drop(header->delimiter + header->frameLength);
        return Step::kSkipped;
    }
    request.isLong = header->isLong;
    std::copy_n(frame + 1, header->isLong ? 5 : 1, request.address.begin());
    request.command = header->command;
    request.data.assign(
        m_buffer.begin() + static_cast<std::ptrdiff_t>(header->body),
        m_buffer.begin() + static_cast<std::ptrdiff_t>(header->body + header->byteCount));
    request.preambles = run;
    Drop(header->delimiter + header->frameLength);
    return Step::kFound;
}

void RequestReader::Drop(std::size_t count) {
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(
                                                            std::min(count, m_buffer.size())));
}

}  // namespace tandrin::sim
