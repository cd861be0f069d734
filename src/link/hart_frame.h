#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tandrin {

// Frame codec shared by the master and the simulator.

constexpr std::uint8_t kPreambleByte = 0xFF;
constexpr std::uint8_t kRequestShort = 0x02;
constexpr std::uint8_t kRequestLong = 0x82;
constexpr std::uint8_t kResponseShort = 0x06;
constexpr std::uint8_t kResponseLong = 0x86;
constexpr std::uint8_t kLongFrameFlag = 0x80;

std::uint8_t XorChecksum(const std::uint8_t* data, std::size_t length);

// Where a frame sits in a receive buffer, read from its header.
struct FrameHeader {
    std::size_t delimiter;  // index of the delimiter byte
    bool isLong;            // five-byte address
    std::uint8_t command;
    std::uint8_t byteCount;
    // Index of the first byte after the byte count, and the whole frame's
    // size from delimiter through checksum.
    std::size_t body;
    std::size_t frameLength;
};

// Finds the first 0xFF among the first `preambleWindow` bytes, then from
// there the first byte equal to `shortDelimiter` or to it with bit 7 set,
// at an index below `delimiterLimit`. Reports the header only when its
// command and byte count have arrived.
std::optional<FrameHeader> FindFrameHeader(const std::uint8_t* bytes, std::size_t count,
                                           std::uint8_t shortDelimiter, std::size_t preambleWindow,
                                           std::size_t delimiterLimit);

inline bool FrameComplete(const FrameHeader& header, std::size_t count) {
    return header.delimiter + header.frameLength <= count;
}

// Appends preamble, delimiter, address, command, byte count, body and
// checksum. The byte count is the body's size.
void AppendFrame(std::vector<std::uint8_t>& out, std::size_t preambles, std::uint8_t delimiter,
                 const std::uint8_t* address, std::size_t addressLength, std::uint8_t command,
                 const std::uint8_t* body, std::size_t bodyLength);

}  // namespace tandrin
