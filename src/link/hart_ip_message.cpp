#include "link/hart_ip_message.h"

#include <algorithm>
#include <cstdlib>

namespace tandrin {

namespace {

const char* TypeName(HartIpType type) {
    switch (type) {
        case HartIpType::kRequest:
            return "request";
        case HartIpType::kResponse:
            return "response";
        case HartIpType::kPublish:
            return "publish";
        case HartIpType::kError:
            return "error";
        case HartIpType::kNak:
            return "NAK";
    }
    return "type ?";
}

const char* IdName(HartIpId id) {
    switch (id) {
        case HartIpId::kSessionInitiate:
            return "session initiate";
        case HartIpId::kSessionClose:
            return "session close";
        case HartIpId::kKeepAlive:
            return "keep-alive";
        case HartIpId::kTokenPassingPdu:
            return "token-passing PDU";
        case HartIpId::kReadAuditLog:
            return "read audit log";
    }
    return "message ?";
}

}  // namespace

void EncodeHartIpHeader(const HartIpHeader& header, std::uint8_t out[kHartIpHeaderSize]) {
    out[0] = header.version;
    out[1] = static_cast<std::uint8_t>(header.type);
    out[2] = static_cast<std::uint8_t>(header.id);
    out[3] = header.status;
    out[4] = static_cast<std::uint8_t>(header.sequence >> 8);
    out[5] = static_cast<std::uint8_t>(header.sequence & 0xFF);
    out[6] = static_cast<std::uint8_t>(header.byteCount >> 8);
    out[7] = static_cast<std::uint8_t>(header.byteCount & 0xFF);
}

std::optional<HartIpHeader> DecodeHartIpHeader(const std::uint8_t* bytes, std::size_t length) {
    if (length < kHartIpHeaderSize || bytes[0] != kHartIpVersion) {
        return std::nullopt;
    }
    HartIpHeader header;
    header.version = bytes[0];
    header.type = static_cast<HartIpType>(bytes[1]);
    header.id = static_cast<HartIpId>(bytes[2]);
    header.status = bytes[3];
    header.sequence = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    header.byteCount = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    if (header.byteCount < kHartIpHeaderSize || header.byteCount > kHartIpMaxMessage) {
        return std::nullopt;
    }
    return header;
}

std::vector<std::uint8_t> HartIpMessage(HartIpHeader header, const std::uint8_t* body,
                                        std::size_t bodyLength) {
    header.byteCount = static_cast<std::uint16_t>(kHartIpHeaderSize + bodyLength);
    std::vector<std::uint8_t> message(kHartIpHeaderSize + bodyLength);
    EncodeHartIpHeader(header, message.data());
    if (bodyLength != 0) {
        std::copy_n(body, bodyLength, message.begin() + kHartIpHeaderSize);
    }
    return message;
}

std::vector<std::uint8_t> SessionInitiateBody(std::uint8_t masterType, std::uint32_t closeTimeMs) {
    return {masterType, static_cast<std::uint8_t>(closeTimeMs >> 24),
            static_cast<std::uint8_t>(closeTimeMs >> 16),
            static_cast<std::uint8_t>(closeTimeMs >> 8), static_cast<std::uint8_t>(closeTimeMs)};
}

std::string DescribeHartIpHeader(const HartIpHeader& header) {
    return "HART-IP v" + std::to_string(header.version) + " " + TypeName(header.type) + " " +
           IdName(header.id) + " seq " + std::to_string(header.sequence) + " status " +
           std::to_string(header.status) + ", " + std::to_string(header.byteCount) + " bytes";
}

bool HartIpReader::Feed(const std::uint8_t* bytes, std::size_t length, const MessageFn& onMessage) {
    if (!m_bStream) {
        const auto header = DecodeHartIpHeader(bytes, length);
        if (!header || header->byteCount > length) {
            return false;
        }
        onMessage(*header, bytes + kHartIpHeaderSize, header->byteCount - kHartIpHeaderSize);
        return true;
    }
    while (length != 0) {
        // Only the missing part of the message now arriving is taken, so
        // the buffer never holds more than one message.
        std::size_t want = kHartIpHeaderSize;
        if (m_pending.size() >= kHartIpHeaderSize) {
            want = DecodeHartIpHeader(m_pending.data(), m_pending.size())->byteCount;
        }
        const std::size_t take = std::min(length, want - m_pending.size());
        m_pending.insert(m_pending.end(), bytes, bytes + take);
        bytes += take;
        length -= take;
        if (m_pending.size() < kHartIpHeaderSize) {
            continue;
        }
        const auto header = DecodeHartIpHeader(m_pending.data(), m_pending.size());
        if (!header) {
            m_pending.clear();
            return false;
        }
        if (m_pending.size() == header->byteCount) {
            const std::vector<std::uint8_t> message = std::move(m_pending);
            m_pending.clear();
            onMessage(*header, message.data() + kHartIpHeaderSize,
                      message.size() - kHartIpHeaderSize);
        }
    }
    return true;
}

bool IsHartIpName(const std::string& name) {
    return name.rfind("hart-ip://", 0) == 0 || name.rfind("hart-ip+tcp://", 0) == 0;
}

bool ParseHartIpName(const std::string& name, HartIpAddress& out) {
    HartIpAddress address;
    std::string rest;
    if (name.rfind("hart-ip://", 0) == 0) {
        rest = name.substr(10);
    } else if (name.rfind("hart-ip+tcp://", 0) == 0) {
        rest = name.substr(14);
        address.tcp = true;
    } else {
        return false;
    }
    if (!rest.empty() && rest.back() == '/') {
        rest.pop_back();
    }
    std::string portText;
    if (!rest.empty() && rest.front() == '[') {
        const auto close = rest.find(']');
        if (close == std::string::npos) {
            return false;
        }
        address.host = rest.substr(1, close - 1);
        const std::string after = rest.substr(close + 1);
        if (!after.empty() && after.front() != ':') {
            return false;
        }
        portText = after.empty() ? "" : after.substr(1);
    } else {
        const auto colon = rest.find(':');
        address.host = rest.substr(0, colon);
        portText = colon == std::string::npos ? "" : rest.substr(colon + 1);
        if (colon != std::string::npos && portText.empty()) {
            return false;
        }
    }
    if (address.host.empty() || address.host.find_first_of("/@ ") != std::string::npos) {
        return false;
    }
    if (!portText.empty()) {
        if (portText.size() > 5 || portText.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        const long port = std::strtol(portText.c_str(), nullptr, 10);
        if (port < 1 || port > 65535) {
            return false;
        }
        address.port = static_cast<std::uint16_t>(port);
    }
    out = address;
    return true;
}

std::string HartIpName(const HartIpAddress& address) {
    const bool v6 = address.host.find(':') != std::string::npos;
    return std::string(address.tcp ? "hart-ip+tcp://" : "hart-ip://") +
           (v6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

}  // namespace tandrin
