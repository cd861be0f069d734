#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tandrin {

// HART-IP version 1 messages: an 8-byte big-endian header, then a body.
// Shared by the master's HART-IP line and the simulator's server.

constexpr std::uint8_t kHartIpVersion = 1;
constexpr std::size_t kHartIpHeaderSize = 8;
// The largest message either side accepts: a HART frame is at most a few
// hundred bytes, so anything beyond this is malformed, not just long.
constexpr std::size_t kHartIpMaxMessage = 1024;
constexpr std::uint16_t kHartIpDefaultPort = 5094;

enum class HartIpType : std::uint8_t {
    kRequest = 0,
    kResponse = 1,
    kPublish = 2,
    kError = 3,
    kNak = 15,
};

enum class HartIpId : std::uint8_t {
    kSessionInitiate = 0,
    kSessionClose = 1,
    kKeepAlive = 2,
    kTokenPassingPdu = 3,
    kReadAuditLog = 128,
};

// Status codes a server may answer a session initiate with.
constexpr std::uint8_t kHartIpStatusOk = 0;
constexpr std::uint8_t kHartIpStatusVersionNotSupported = 14;
constexpr std::uint8_t kHartIpStatusSessionsInUse = 15;
constexpr std::uint8_t kHartIpStatusSessionExists = 16;

constexpr std::uint8_t kHartIpPrimaryMaster = 1;

struct HartIpHeader {
    std::uint8_t version = kHartIpVersion;
    HartIpType type = HartIpType::kRequest;
    HartIpId id = HartIpId::kTokenPassingPdu;
    std::uint8_t status = 0;
    std::uint16_t sequence = 0;
    std::uint16_t byteCount = kHartIpHeaderSize;  // header included
};

void EncodeHartIpHeader(const HartIpHeader& header, std::uint8_t out[kHartIpHeaderSize]);
// The header at `bytes`, or nothing when fewer than eight bytes are there,
// the version is not 1, or the byte count is below the header's size or
// above kHartIpMaxMessage.
std::optional<HartIpHeader> DecodeHartIpHeader(const std::uint8_t* bytes, std::size_t length);

// A whole message: header (byte count set from the body) and body.
std::vector<std::uint8_t> HartIpMessage(HartIpHeader header, const std::uint8_t* body,
                                        std::size_t bodyLength);
// The body of a session initiate: master type, inactivity close time (ms).
std::vector<std::uint8_t> SessionInitiateBody(std::uint8_t masterType, std::uint32_t closeTimeMs);

// "HART-IP v1 request token-passing PDU seq 7 status 0, 23 bytes": the
// header as the trace shows it.
std::string DescribeHartIpHeader(const HartIpHeader& header);

// Splits what a line reads into whole messages: one datagram is one
// message (bytes after its byte count are dropped), a stream is
// reassembled by the byte count. Holds at most kHartIpMaxMessage bytes.
class HartIpReader {
  public:
    using MessageFn = std::function<void(const HartIpHeader& header, const std::uint8_t* body,
                                         std::size_t bodyLength)>;

    explicit HartIpReader(bool stream) : m_bStream(stream) {}

    // Hands every whole message to `onMessage`. False when the bytes can
    // be no HART-IP: a stream then has no way back into step, a datagram
    // is only dropped.
    bool Feed(const std::uint8_t* bytes, std::size_t length, const MessageFn& onMessage);
    void Clear() { m_pending.clear(); }

  private:
    bool m_bStream;
    std::vector<std::uint8_t> m_pending;  // a stream's incomplete message
};

// Where a HART-IP server is: "hart-ip://HOST[:PORT]" (UDP) or
// "hart-ip+tcp://HOST[:PORT]". An IPv6 host goes in brackets.
struct HartIpAddress {
    std::string host;
    std::uint16_t port = kHartIpDefaultPort;
    bool tcp = false;
};

bool IsHartIpName(const std::string& name);
// False for a name that is not one, or has no host or a bad port.
bool ParseHartIpName(const std::string& name, HartIpAddress& out);
// The name again, in the form ParseHartIpName reads.
std::string HartIpName(const HartIpAddress& address);

}  // namespace tandrin
