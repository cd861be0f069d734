// Arbitrary datagrams or stream bytes from a HART-IP server, in arbitrary
// chunks: the header codec, the stream reassembly, the reply matching and
// then the master's scanner and parsers must hold, and nothing may grow.
#include <cstddef>
#include <cstdint>

#include "link/hart_ip_port.h"
#include "link/hart_master.h"
#include "link/virtual_event_loop.h"

using namespace tandrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    static VirtualEventLoop loop;
    HartMaster master;
    master.SetEventLoop(&loop);
    master.SendCommand(nullptr, nullptr, data[1]);
    HartIpPort port;
    port.ExpectReplyForTesting((data[0] & 1) != 0,
                               static_cast<std::uint16_t>((data[2] << 8) | data[3]));
    const ISerialPort::ByteSink toMaster = [&master](const std::uint8_t* bytes, std::size_t n) {
        master.AppendReceived(bytes, n);
    };
    // Each chunk (a datagram, or a read of the stream) is a length byte
    // followed by up to that many bytes.
    std::size_t at = 4;
    while (at < size) {
        const std::size_t want = data[at++];
        const std::size_t take = want < size - at ? want : size - at;
        port.Unwrap(data + at, take, toMaster);
        at += take;
    }
    return 0;
}
