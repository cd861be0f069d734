#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/sim_request.h"

namespace tandrin::sim {

// Finds request frames in the bytes a transmitter hears, as a real one
// does: a run of 2 to 20 preamble bytes, the delimiter right after it, a
// complete frame and a good checksum. Anything else is skipped byte by byte;
// a frame with a bad checksum is dropped whole. Frames are read with the
// shared codec (link/hart_frame.h).
class RequestReader {
  public:
    static constexpr std::size_t kMinPreambles = 2;
    static constexpr std::size_t kMaxPreambles = 20;
    // More than any request can need: a byte-count of 255 and 20 preambles.
    static constexpr std::size_t kCapacity = 300;

    void Append(const std::uint8_t* bytes, std::size_t count);
    // The next complete request, or nothing until more bytes come.
    std::optional<SimRequest> Next();
    // Forgets a partial frame (the line went quiet).
    void Reset() { m_buffer.clear(); }
    std::size_t Pending() const { return m_buffer.size(); }

  private:
    enum class Step { kFound, kNeedMore, kSkipped };
    Step TryFrameAtStart(SimRequest& request);
    void Drop(std::size_t count);

    std::vector<std::uint8_t> m_buffer;
};

}  // namespace tandrin::sim
