// Arbitrary bytes heard on the line, in arbitrary pieces: the simulator's
// request reader and every command handler must hold, and every answer
// must be a well-formed frame.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "link/hart_frame.h"
#include "sim/answer_plan.h"
#include "sim/request_reader.h"
#include "sim/sim_device.h"

using namespace tandrin;

namespace {

void Answer(sim::SimDevice& device, sim::SimRequest request, double now) {
    // Reach the handlers whatever the address: most fuzzed frames miss it.
    if (request.isLong) {
        request.address = device.ToolLongAddress();
    } else {
        request.address[0] = 0x80;
    }
    const auto reply = device.Handle(request, now);
    if (!reply) {
        return;
    }
    const auto frame = sim::BuildAnswerFrame(device, request, *reply, {});
    const auto header = FindFrameHeader(frame.data(), frame.size(), kResponseShort, 1, 40);
    if (!header || !FrameComplete(*header, frame.size()) ||
        header->delimiter + header->frameLength != frame.size() ||
        header->byteCount != reply->data.size() + 2 ||
        XorChecksum(frame.data() + header->delimiter, header->frameLength) != 0) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static sim::SimDevice device{sim::DeviceConfig{}};
    sim::RequestReader reader;
    double now = 0;
    // Each piece is a length byte followed by up to that many bytes.
    std::size_t at = 0;
    while (at < size) {
        const std::size_t want = data[at++];
        const std::size_t take = want < size - at ? want : size - at;
        reader.Append(data + at, take);
        at += take;
        while (const auto request = reader.Next()) {
            now += 1.0;  // past any restart
            Answer(device, *request, now);
        }
        if (reader.Pending() > sim::RequestReader::kCapacity) {
            std::abort();
        }
    }
    return 0;
}
