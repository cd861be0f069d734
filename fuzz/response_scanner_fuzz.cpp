// Arbitrary bytes from the line, in arbitrary chunks, against the answer
// to any command: the scanner, the dispatch and every parser must hold.
#include <cstddef>
#include <cstdint>

#include "link/hart_master.h"
#include "link/virtual_event_loop.h"

using namespace tandrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    static VirtualEventLoop loop;
    HartMaster master;
    master.SetEventLoop(&loop);
    master.m_byPollAddr = data[1] & 0x0F;
    master.SendCommand(nullptr, nullptr, data[0]);
    // Each chunk is a length byte followed by up to that many bytes.
    std::size_t at = 2;
    while (at < size) {
        const std::size_t want = data[at++];
        const std::size_t take = want < size - at ? want : size - at;
        master.AppendReceived(data + at, take);
        at += take;
    }
    master.DispatchResponse();
    return 0;
}
