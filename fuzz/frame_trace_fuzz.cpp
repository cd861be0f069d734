// Arbitrary bytes from the line, in arbitrary chunks, through the frame
// trace: the decoding of whatever looks like a frame must hold.
#include <cstddef>
#include <cstdint>

#include "shell/frame_trace.h"

using namespace tandrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t lines = 0;
    FrameTrace trace([&lines](const std::string& line) { lines += line.size() > 0 ? 1 : 0; });
    // Each chunk is a direction byte (odd: sent), a length byte, then up to
    // that many bytes.
    std::size_t at = 0;
    while (at + 2 <= size) {
        const bool sent = (data[at] & 1) != 0;
        const std::size_t want = data[at + 1];
        at += 2;
        const std::size_t take = want < size - at ? want : size - at;
        if (sent) {
            trace.Sent(data + at, take);
        } else {
            trace.Received(data + at, take);
        }
        at += take;
    }
    DescribeFrame(data, size);
    return 0;
}
