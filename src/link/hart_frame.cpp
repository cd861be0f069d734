#include "link/hart_frame.h"

#include <algorithm>

namespace tandrin {

std::uint8_t XorChecksum(const std::uint8_t* data, std::size_t length) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < length; ++i) {
        sum ^= data[i];
    }
    return sum;
}

std::optional<FrameHeader> FindFrameHeader(const std::uint8_t* bytes, std::size_t count,
                                           std::uint8_t shortDelimiter, std::size_t preambleWindow,
                                           std::size_t delimiterLimit) {
    const std::size_t window = std::min(count, preambleWindow);
    const std::uint8_t* preamble = std::find(bytes, bytes + window, kPreambleByte);
    if (preamble == bytes + window) {
        return std::nullopt;
    }
    const std::uint8_t longDelimiter = shortDelimiter | kLongFrameFlag;
    const std::size_t limit = std::min(count, delimiterLimit);
    for (std::size_t i = static_cast<std::size_t>(preamble - bytes); i < limit; ++i) {
        if (bytes[i] != shortDelimiter && bytes[i] != longDelimiter) {
            continue;
        }
        FrameHeader header{};
        header.delimiter = i;
        header.isLong = bytes[i] == longDelimiter;
        const std::size_t commandAt = i + (header.isLong ? 6 : 2);
        if (commandAt + 1 >= count) {
            return std::nullopt;  // header not complete yet
        }
        header.command = bytes[commandAt];
        header.byteCount = bytes[commandAt + 1];
        header.body = commandAt + 2;
        header.frameLength = header.body - i + header.byteCount + 1;
        return header;
    }
    return std::nullopt;
}

void AppendFrame(std::vector<std::uint8_t>& out, std::size_t preambles, std::uint8_t delimiter,
                 const std::uint8_t* address, std::size_t addressLength, std::uint8_t command,
                 const std::uint8_t* body, std::size_t bodyLength) {
    out.insert(out.end(), preambles, kPreambleByte);
    const std::size_t start = out.size();
    out.push_back(delimiter);
    out.insert(out.end(), address, address + addressLength);
    out.push_back(command);
    out.push_back(static_cast<std::uint8_t>(bodyLength));
    out.insert(out.end(), body, body + bodyLength);
    out.push_back(XorChecksum(out.data() + start, out.size() - start));
}

}  // namespace tandrin
