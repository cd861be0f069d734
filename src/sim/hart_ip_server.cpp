#include "sim/hart_ip_server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "device/response_codes.h"
#include "link/hart_frame.h"
#include "platform/hart_line_settings.h"
#include "platform/inet_socket.h"

namespace tandrin::sim {

namespace {

constexpr std::size_t kRequestPreambles = 5;
constexpr std::size_t kLineBufferLimit = 512;
constexpr std::uint32_t kExpiryCheckMs = 1000;
constexpr std::uint32_t kMinCloseTimeMs = 1000;
constexpr std::uint8_t kStatusTooFewBytes = 5;
constexpr std::uint8_t kStatusNearestValue = 8;
constexpr int kBindAttempts = 20;

bool ParseCount(const std::string& text, std::uint32_t& out) {
    if (text.empty() || text.size() > 6 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    out = static_cast<std::uint32_t>(std::stoul(text));
    return true;
}

}  // namespace

bool ParseHartIpFault(const std::string& text, HartIpFaults& faults, std::string& error) {
    const auto equals = text.find('=');
    const std::string name = text.substr(0, equals);
    std::uint32_t count = 1;
    if (equals != std::string::npos && !ParseCount(text.substr(equals + 1), count)) {
        error = "bad count in --hart-ip-fault " + text;
        return false;
    }
    if (name == "refuse" && equals == std::string::npos) {
        faults.refuseSessions = true;
    } else if (name == "drop") {
        faults.dropReplies += count;
    } else if (name == "nak") {
        faults.nakRequests += count;
    } else {
        error = "unknown --hart-ip-fault " + text + " (refuse, drop[=N], nak[=N])";
        return false;
    }
    return true;
}

std::string HartIpServer::Peer::Key() const {
    if (tcp >= 0) {
        return "tcp:" + std::to_string(tcp);
    }
    return std::string(reinterpret_cast<const char*>(&address), length);
}

HartIpServer::HartIpServer(PollEventLoop& loop, HartIpFaults faults, std::uint32_t lineTimeoutMs,
                           std::ostream* trace)
    : m_loop(loop), m_faults(faults), m_lineTimeoutMs(lineTimeoutMs), m_trace(trace) {}

HartIpServer::~HartIpServer() {
    for (TimerId timer : {m_expiryTimer, m_relayTimer, m_gapTimer}) {
        if (timer != 0) {
            m_loop.KillTimer(timer);
        }
    }
    for (int fd : {m_udp.Get(), m_tcp.Get(), m_line.Get()}) {
        if (fd >= 0) {
            m_loop.UnwatchFd(fd);
        }
    }
    for (auto& [fd, connection] : m_connections) {
        m_loop.UnwatchFd(fd);
    }
}

bool HartIpServer::Listen(const std::string& host, std::uint16_t port, std::string& error) {
    // Port 0: take any free UDP port and the same number for TCP.
    for (int attempt = 0; attempt < kBindAttempts; ++attempt) {
        m_udp = ListenInet(host, port, false, error);
        if (!m_udp.Valid()) {
            return false;
        }
        m_port = BoundPort(m_udp.Get());
        m_tcp = ListenInet(host, m_port, true, error);
        if (m_tcp.Valid() || port != 0) {
            break;
        }
    }
    if (!m_tcp.Valid()) {
        return false;
    }
    m_loop.WatchFd(m_udp.Get(), POLLIN, [this](short) { OnDatagram(); });
    m_loop.WatchFd(m_tcp.Get(), POLLIN, [this](short) { OnAccept(); });
    m_expiryTimer = m_loop.StartTimer(kExpiryCheckMs, [this](TimerId) { ExpireSessions(); });
    return true;
}

bool HartIpServer::AttachLine(const std::string& path, std::string& error) {
    if (m_line.Valid()) {
        m_loop.UnwatchFd(m_line.Get());
    }
    m_line.Reset(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!m_line.Valid() || !ApplyHartLineSettings(m_line.Get())) {
        error = path + ": cannot relay to the line: " + std::strerror(errno);
        m_line.Reset();
        return false;
    }
    m_loop.WatchFd(m_line.Get(), POLLIN, [this](short revents) { OnLineReadable(revents); });
    if (m_bRelaying) {
        FinishRelay(false);  // that request went down with the old line
    }
    RelayNext();
    return true;
}

void HartIpServer::OnDatagram() {
    for (;;) {
        std::uint8_t buffer[kHartIpMaxMessage + 1];
        Peer peer;
        peer.length = sizeof peer.address;
        const ssize_t n = ::recvfrom(m_udp.Get(), buffer, sizeof buffer, 0,
                                     reinterpret_cast<sockaddr*>(&peer.address), &peer.length);
        if (n < 0) {
            return;  // EAGAIN, or an ICMP error from a peer that went away
        }
        HartIpReader reader(false);
        const bool ok =
            reader.Feed(buffer, static_cast<std::size_t>(n),
                        [&](const HartIpHeader& header, const std::uint8_t* body,
                            std::size_t length) { OnMessage(peer, header, body, length); });
        if (!ok) {
            Trace("dropped a datagram that is no HART-IP message");
        }
    }
}

void HartIpServer::OnAccept() {
    for (;;) {
        const int fd = ::accept4(m_tcp.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            return;
        }
        m_connections[fd].fd.Reset(fd);
        m_loop.WatchFd(fd, POLLIN, [this, fd](short revents) { OnConnection(fd, revents); });
    }
}

void HartIpServer::OnConnection(int fd, short revents) {
    std::uint8_t buffer[2048];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR) && (revents & (POLLHUP | POLLERR)) == 0) {
        return;
    }
    if (n <= 0) {
        CloseConnection(fd);
        return;
    }
    Peer peer;
    peer.tcp = fd;
    const bool ok = m_connections[fd].reader.Feed(
        buffer, static_cast<std::size_t>(n),
        [&](const HartIpHeader& header, const std::uint8_t* body, std::size_t length) {
            OnMessage(peer, header, body, length);
        });
    if (!ok) {
        Trace("closed a TCP connection that sent no HART-IP");
        CloseConnection(fd);
    }
}

void HartIpServer::CloseConnection(int fd) {
    Peer peer;
    peer.tcp = fd;
    m_sessions.erase(peer.Key());
    // The descriptor's number may come back for another connection.
    m_queue.erase(std::remove_if(m_queue.begin(), m_queue.end(),
                                 [fd](const Pending& p) { return p.peer.tcp == fd; }),
                  m_queue.end());
    if (m_bRelaying && m_current.peer.tcp == fd) {
        m_current.peer.tcp = -2;
    }
    m_loop.UnwatchFd(fd);
    m_connections.erase(fd);
}

void HartIpServer::OnMessage(const Peer& peer, const HartIpHeader& header, const std::uint8_t* body,
                             std::size_t length) {
    Trace("<- " + DescribeHartIpHeader(header));
    if (header.type != HartIpType::kRequest) {
        return;
    }
    const auto session = m_sessions.find(peer.Key());
    if (session != m_sessions.end()) {
        session->second.lastHeardMs = NowMs();
    }
    switch (header.id) {
        case HartIpId::kSessionInitiate:
            Initiate(peer, header, body, length);
            return;
        case HartIpId::kSessionClose:
            if (session != m_sessions.end()) {
                m_sessions.erase(session);
            }
            Answer(peer, HartIpType::kResponse, header.id, 0, header.sequence);
            return;
        case HartIpId::kKeepAlive:
            if (session == m_sessions.end()) {
                Answer(peer, HartIpType::kNak, header.id, 0, header.sequence);
            } else {
                Answer(peer, HartIpType::kResponse, header.id, 0, header.sequence);
            }
            return;
        case HartIpId::kTokenPassingPdu:
            if (session == m_sessions.end() || m_faults.nakRequests > 0) {
                if (session != m_sessions.end()) {
                    --m_faults.nakRequests;
                }
                Answer(peer, HartIpType::kNak, header.id, 0, header.sequence);
                return;
            }
            m_queue.push_back(
                {peer, header.sequence, std::vector<std::uint8_t>(body, body + length)});
            RelayNext();
            return;
        default:
            Answer(peer, HartIpType::kNak, header.id, 0, header.sequence);
            return;
    }
}

void HartIpServer::Initiate(const Peer& peer, const HartIpHeader& header, const std::uint8_t* body,
                            std::size_t length) {
    if (length < 5) {
        Answer(peer, HartIpType::kResponse, header.id, kStatusTooFewBytes, header.sequence);
        return;
    }
    const bool known = m_sessions.count(peer.Key()) != 0;
    if (m_faults.refuseSessions || (!known && m_sessions.size() >= kMaxSessions)) {
        Answer(peer, HartIpType::kResponse, header.id, kHartIpStatusSessionsInUse, header.sequence);
        return;
    }
    const std::uint32_t asked =
        (std::uint32_t{body[1]} << 24) | (body[2] << 16) | (body[3] << 8) | body[4];
    const std::uint32_t granted =
        std::clamp(asked, kMinCloseTimeMs, std::max(kMinCloseTimeMs, m_faults.maxCloseTimeMs));
    m_sessions[peer.Key()] = Session{peer, granted, NowMs()};
    const auto answer = SessionInitiateBody(body[0], granted);
    Answer(peer, HartIpType::kResponse, header.id, granted == asked ? 0 : kStatusNearestValue,
           header.sequence, answer.data(), answer.size());
}

void HartIpServer::Answer(const Peer& peer, HartIpType type, HartIpId id, std::uint8_t status,
                          std::uint16_t sequence, const std::uint8_t* body, std::size_t length) {
    HartIpHeader header;
    header.type = type;
    header.id = id;
    header.status = status;
    header.sequence = sequence;
    const auto message = HartIpMessage(header, body, length);
    header.byteCount = static_cast<std::uint16_t>(message.size());
    Trace("-> " + DescribeHartIpHeader(header));
    if (peer.tcp >= 0) {
        // Small answers to a peer that reads: a full buffer means it is gone.
        if (::send(peer.tcp, message.data(), message.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(message.size())) {
            CloseConnection(peer.tcp);
        }
    } else if (peer.tcp == -1) {
        ::sendto(m_udp.Get(), message.data(), message.size(), MSG_NOSIGNAL,
                 reinterpret_cast<const sockaddr*>(&peer.address), peer.length);
    }
}

void HartIpServer::RelayNext() {
    if (m_bRelaying || m_gapTimer != 0 || m_queue.empty() || !m_line.Valid()) {
        return;
    }
    m_current = std::move(m_queue.front());
    m_queue.pop_front();
    m_bRelaying = true;
    m_lineBytes.clear();
    std::vector<std::uint8_t> framed(kRequestPreambles, kPreambleByte);
    framed.insert(framed.end(), m_current.frame.begin(), m_current.frame.end());
    if (::write(m_line.Get(), framed.data(), framed.size()) < 0) {
        Trace("cannot write to the line: " + std::string(std::strerror(errno)));
    }
    m_relayTimer = m_loop.StartTimer(m_lineTimeoutMs, [this](TimerId) {
        m_relayTimer = 0;
        Trace("no reply on the line");
        AnswerNoDevice();
        FinishRelay(false);
    });
}

void HartIpServer::OnLineReadable(short revents) {
    std::uint8_t buffer[256];
    for (;;) {
        const ssize_t n = ::read(m_line.Get(), buffer, sizeof buffer);
        if (n > 0) {
            if (m_bRelaying &&
                m_lineBytes.size() + static_cast<std::size_t>(n) <= kLineBufferLimit) {
                m_lineBytes.insert(m_lineBytes.end(), buffer, buffer + n);
            }
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EAGAIN && (revents & (POLLHUP | POLLERR)) == 0) {
            break;
        }
        // The line hung up: wait for the next one.
        m_loop.UnwatchFd(m_line.Get());
        m_line.Reset();
        return;
    }
    if (!m_bRelaying) {
        return;
    }
    const std::size_t count = m_lineBytes.size();
    const auto frame = FindFrameHeader(m_lineBytes.data(), count, kResponseShort, count, count);
    if (!frame || !FrameComplete(*frame, count)) {
        return;
    }
    if (m_faults.dropReplies > 0) {
        --m_faults.dropReplies;
        Trace("dropped the reply (fault)");
    } else {
        Answer(m_current.peer, HartIpType::kResponse, HartIpId::kTokenPassingPdu, 0,
               m_current.sequence, m_lineBytes.data() + frame->delimiter, frame->frameLength);
    }
    FinishRelay(true);
}

void HartIpServer::AnswerNoDevice() {
    // As an I/O system does: a reply in the device's stead to the request's
    // address, response code "delayed response dead", no data.
    const std::vector<std::uint8_t>& request = m_current.frame;
    const std::size_t addressLength = (request.empty() || request[0] != kRequestLong) ? 1 : 5;
    if (request.size() < 1 + addressLength + 1) {
        return;
    }
    std::vector<std::uint8_t> reply;
    reply.push_back(addressLength == 1 ? kResponseShort : kResponseLong);
    reply.insert(reply.end(), request.begin() + 1, request.begin() + 1 + addressLength + 1);
    reply.push_back(2);  // byte count: the two status bytes
    reply.push_back(kCodeDelayedDead);
    reply.push_back(0);
    reply.push_back(XorChecksum(reply.data(), reply.size()));
    Answer(m_current.peer, HartIpType::kResponse, HartIpId::kTokenPassingPdu, 0, m_current.sequence,
           reply.data(), reply.size());
}

void HartIpServer::FinishRelay(bool /*answered*/) {
    if (m_relayTimer != 0) {
        m_loop.KillTimer(m_relayTimer);
        m_relayTimer = 0;
    }
    m_bRelaying = false;
    m_lineBytes.clear();
    if (m_lineTimeoutMs <= kFastLineTimeoutMs) {
        RelayNext();
        return;
    }
    // A paced device keeps its carrier a moment past its frame and hears
    // nothing meanwhile: the next request waits, as a master's would.
    m_gapTimer = m_loop.StartTimer(kPacedRelayGapMs, [this](TimerId) {
        m_gapTimer = 0;
        RelayNext();
    });
}

void HartIpServer::ExpireSessions() {
    const std::int64_t now = NowMs();
    std::vector<int> closing;
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        if (now - it->second.lastHeardMs > static_cast<std::int64_t>(it->second.closeTimeMs)) {
            Trace("session closed after " + std::to_string(it->second.closeTimeMs) +
                  " ms without a word");
            if (it->second.peer.tcp >= 0) {
                closing.push_back(it->second.peer.tcp);
            }
            it = m_sessions.erase(it);
        } else {
            ++it;
        }
    }
    for (int fd : closing) {
        CloseConnection(fd);
    }
    m_expiryTimer = m_loop.StartTimer(kExpiryCheckMs, [this](TimerId) { ExpireSessions(); });
}

void HartIpServer::Trace(const std::string& text) {
    if (m_trace != nullptr) {
        *m_trace << "hart-ip " << text << std::endl;
    }
}

std::int64_t HartIpServer::NowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace tandrin::sim
