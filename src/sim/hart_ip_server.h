#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "link/hart_ip_message.h"
#include "platform/poll_event_loop.h"
#include "platform/unique_fd.h"

namespace tandrin::sim {

// What can go wrong at the server itself, beside the transmitters' faults.
struct HartIpFaults {
    bool refuseSessions = false;    // every session initiate: all sessions in use
    std::uint32_t dropReplies = 0;  // the next N relayed replies never leave
    std::uint32_t nakRequests = 0;  // the next N token-passing PDUs are NAKed
    // The longest inactivity close time granted (a server setting rather
    // than a fault; short ones make keep-alives quick to see).
    std::uint32_t maxCloseTimeMs = 24u * 3600 * 1000;
};

// "refuse", "drop[=N]" or "nak[=N]" added to `faults`. False with `error` set.
bool ParseHartIpFault(const std::string& text, HartIpFaults& faults, std::string& error);

// A HART-IP server in front of the simulator's line, on UDP and TCP at
// the same port: it initiates, keeps alive and closes sessions, and relays
// each token-passing PDU to the line as a modem would (preambles, then the
// frame), waits for the reply frame and sends it back under the request's
// sequence number. Whatever the line serves (one transmitter or several,
// their faults and pacing) it serves. One request is on the line at a
// time; the others wait their turn, and a session's newer request
// replaces its older one still waiting (its master has given up on that).
// Runs on the simulator's loop thread.
class HartIpServer {
  public:
    static constexpr std::size_t kMaxSessions = 4;
    // How long a relayed request waits for its reply on a paced line, and
    // on one that answers at once; then the server answers that no device
    // is there. A fast line's devices answer within a millisecond or two.
    static constexpr std::uint32_t kPacedLineTimeoutMs = 1000;
    static constexpr std::uint32_t kFastLineTimeoutMs = 100;
    // Quiet on a paced line between a reply and the next request.
    static constexpr std::uint32_t kPacedRelayGapMs = 100;

    HartIpServer(PollEventLoop& loop, HartIpFaults faults, std::uint32_t lineTimeoutMs,
                 std::ostream* trace);
    ~HartIpServer();
    HartIpServer(const HartIpServer&) = delete;
    HartIpServer& operator=(const HartIpServer&) = delete;

    // Listens on host:port ("" for 127.0.0.1; port 0 for any free one, the
    // same for UDP and TCP). False with `error` set.
    bool Listen(const std::string& host, std::uint16_t port, std::string& error);
    std::uint16_t Port() const { return m_port; }
    // Relays to the line at `path` (the pty's slave); again after the line
    // was replaced. False with `error` set.
    bool AttachLine(const std::string& path, std::string& error);

  private:
    // Who a message came from: a UDP peer, or a TCP connection.
    struct Peer {
        sockaddr_storage address{};
        socklen_t length = 0;
        int tcp = -1;
        std::string Key() const;
    };
    struct Session {
        Peer peer;
        std::uint32_t closeTimeMs = 0;
        std::int64_t lastHeardMs = 0;
    };
    struct Connection {
        UniqueFd fd;
        HartIpReader reader{true};
    };
    struct Pending {
        Peer peer;
        std::uint16_t sequence = 0;
        std::vector<std::uint8_t> frame;
    };

    void OnDatagram();
    void OnAccept();
    void OnConnection(int fd, short revents);
    void CloseConnection(int fd);
    void OnMessage(const Peer& peer, const HartIpHeader& header, const std::uint8_t* body,
                   std::size_t length);
    void Initiate(const Peer& peer, const HartIpHeader& header, const std::uint8_t* body,
                  std::size_t length);
    void Answer(const Peer& peer, HartIpType type, HartIpId id, std::uint8_t status,
                std::uint16_t sequence, const std::uint8_t* body = nullptr, std::size_t length = 0);
    void RelayNext();
    void OnLineReadable(short revents);
    void FinishRelay(bool answered);
    // Tells the client nobody answered the request on the line.
    void AnswerNoDevice();
    void ExpireSessions();
    void Trace(const std::string& text);
    std::int64_t NowMs() const;

    PollEventLoop& m_loop;
    HartIpFaults m_faults;
    const std::uint32_t m_lineTimeoutMs;
    std::ostream* m_trace;
    UniqueFd m_udp;
    UniqueFd m_tcp;
    std::uint16_t m_port = 0;
    std::map<int, Connection> m_connections;
    std::map<std::string, Session> m_sessions;
    TimerId m_expiryTimer = 0;

    UniqueFd m_line;
    std::deque<Pending> m_queue;
    Pending m_current;  // on the line while relaying
    bool m_bRelaying = false;
    std::vector<std::uint8_t> m_lineBytes;
    TimerId m_relayTimer = 0;
    TimerId m_gapTimer = 0;
};

}  // namespace tandrin::sim
