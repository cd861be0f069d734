#include "shell/frame_trace.h"

#include <cstdio>
#include <iterator>
#include <optional>

#include "link/hart_frame.h"

namespace tandrin {

namespace {

// A reply that never completes must not grow without end.
constexpr std::size_t kReplyLimit = 256;

struct Bit {
    std::uint8_t mask;
    const char* name;
};

constexpr Bit kCommErrors[] = {{0x40, "parity"},
                               {0x20, "overrun"},
                               {0x10, "framing"},
                               {0x08, "checksum"},
                               {0x02, "rx buffer overflow"}};

constexpr Bit kDeviceStatus[] = {{0x80, "malfunction"},          {0x40, "config changed"},
                                 {0x20, "cold start"},           {0x10, "more status"},
                                 {0x08, "current fixed"},        {0x04, "current saturated"},
                                 {0x02, "non-PV out of limits"}, {0x01, "PV out of limits"}};

std::string Hex(std::uint8_t byte) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

std::string Bits(std::uint8_t value, const Bit* bits, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if ((value & bits[i].mask) != 0) {
            text += (text.empty() ? "" : ", ") + std::string(bits[i].name);
        }
    }
    return text;
}

const char* ResponseText(std::uint8_t code) {
    switch (code) {
        case 0:
            return "success";
        case 2:
            return "invalid selection";
        case 3:
            return "parameter too large";
        case 4:
            return "parameter too small";
        case 5:
            return "too few data bytes";
        case 6:
            return "device-specific error";
        case 7:
            return "write protected";
        case 16:
            return "access restricted";
        case 32:
            return "busy";
        case 64:
            return "command not implemented";
        default:
            return "warning or error";
    }
}

std::string DescribeReply(const std::uint8_t* body, std::size_t count) {
    if (count < 2) {
        return "no status bytes";
    }
    const std::uint8_t code = body[0];
    std::string text = "response " + std::to_string(code) + " ";
    if ((code & 0x80) != 0) {
        text += "(communication error: " + Bits(code, kCommErrors, std::size(kCommErrors)) + ")";
    } else {
        text += ResponseText(code);
    }
    const std::string status = Bits(body[1], kDeviceStatus, std::size(kDeviceStatus));
    return text + ", status 0x" + Hex(body[1]) + " " + (status.empty() ? "ok" : status);
}

std::optional<FrameHeader> WholeFrame(const std::uint8_t* bytes, std::size_t count,
                                      std::uint8_t shortDelimiter) {
    auto header = FindFrameHeader(bytes, count, shortDelimiter, count, count);
    if (!header || !FrameComplete(*header, count)) {
        return std::nullopt;
    }
    return header;
}

}  // namespace

std::string DescribeFrame(const std::uint8_t* frame, std::size_t length) {
    if (length < 5) {
        return {};
    }
    const bool isLong = (frame[0] & kLongFrameFlag) != 0;
    const std::size_t commandAt = isLong ? 6 : 2;
    if (length < commandAt + 3 || length != commandAt + 3 + frame[commandAt + 1]) {
        return {};
    }
    const std::uint8_t command = frame[commandAt];
    const std::uint8_t count = frame[commandAt + 1];
    std::string text = "cmd " + std::to_string(command);
    const std::uint8_t kind = frame[0] & static_cast<std::uint8_t>(~kLongFrameFlag);
    if (kind == kRequestShort) {
        text += " request, " + std::to_string(count) + " data bytes";
    } else if (kind == kResponseShort) {
        text += " reply: " + DescribeReply(frame + commandAt + 2, count);
    } else {
        return {};
    }
    if (XorChecksum(frame, length) != 0) {
        text += ", checksum wrong";
    }
    return text;
}

FrameTrace::FrameTrace(LineSink write, Clock::time_point start)
    : m_write(std::move(write)), m_start(start) {}

std::string FrameTrace::Prefix(const char* direction, const std::uint8_t* bytes,
                               std::size_t length) const {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_start).count();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%8lld %s", static_cast<long long>(ms), direction);
    std::string line = stamp;
    for (std::size_t i = 0; i < length; ++i) {
        line += " " + Hex(bytes[i]);
    }
    return line;
}

void FrameTrace::Sent(const std::uint8_t* bytes, std::size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_reply.clear();  // a new transaction: what came before belongs to no reply of it
    std::string line = Prefix("TX", bytes, length);
    if (const auto header = WholeFrame(bytes, length, kRequestShort)) {
        line += "  | " + DescribeFrame(bytes + header->delimiter, header->frameLength);
    }
    m_write(line);
}

void FrameTrace::Received(const std::uint8_t* bytes, std::size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string line = Prefix("RX", bytes, length);
    m_reply.insert(m_reply.end(), bytes, bytes + length);
    if (m_reply.size() > kReplyLimit) {
        m_reply.erase(m_reply.begin(), m_reply.end() - kReplyLimit);
    }
    if (const auto header = WholeFrame(m_reply.data(), m_reply.size(), kResponseShort)) {
        line += "  | " + DescribeFrame(m_reply.data() + header->delimiter, header->frameLength);
        m_reply.erase(
            m_reply.begin(),
            m_reply.begin() + static_cast<std::ptrdiff_t>(header->delimiter + header->frameLength));
    }
    m_write(line);
}

void FrameTrace::Header(bool sent, const std::string& description) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_write(Prefix(sent ? "TX" : "RX", nullptr, 0) + " [" + description + "]");
}

ISerialPort::HeaderTrace FrameTrace::HeaderHook() {
    return [this](bool sent, const std::string& description) { Header(sent, description); };
}

LinkTrace FrameTrace::Hook() {
    return [this](bool sent, const std::uint8_t* bytes, std::size_t length) {
        if (sent) {
            Sent(bytes, length);
        } else {
            Received(bytes, length);
        }
    };
}

}  // namespace tandrin
