#include "platform/inet_socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/tcp.h>
#include <poll.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace tandrin {

namespace {

struct AddrInfoFree {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};
using AddrList = std::unique_ptr<addrinfo, AddrInfoFree>;

AddrList Resolve(const std::string& host, std::uint16_t port, bool tcp, bool passive) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = tcp ? SOCK_STREAM : SOCK_DGRAM;
    hints.ai_flags = passive ? AI_PASSIVE : 0;
    addrinfo* list = nullptr;
    const std::string service = std::to_string(port);
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &list) != 0) {
        return nullptr;
    }
    return AddrList(list);
}

SocketError ErrorOf(int error) {
    switch (error) {
        case ECONNREFUSED:
            return SocketError::kRefused;
        case ENETUNREACH:
        case EHOSTUNREACH:
        case ETIMEDOUT:
            return SocketError::kUnreachable;
        default:
            return SocketError::kOther;
    }
}

// Connects non-blocking and waits for a TCP handshake; UDP connects at once.
int ConnectOne(const addrinfo& at, bool tcp, std::uint32_t timeoutMs) {
    UniqueFd fd(
        ::socket(at.ai_family, at.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, at.ai_protocol));
    if (!fd.Valid()) {
        return -errno;
    }
    if (::connect(fd.Get(), at.ai_addr, at.ai_addrlen) == 0) {
        return fd.Release();
    }
    if (errno != EINPROGRESS) {
        return -errno;
    }
    pollfd ready{fd.Get(), POLLOUT, 0};
    if (::poll(&ready, 1, static_cast<int>(timeoutMs)) != 1) {
        return -ETIMEDOUT;
    }
    int error = 0;
    socklen_t size = sizeof error;
    ::getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &error, &size);
    if (error != 0) {
        return -error;
    }
    if (tcp) {
        // One small frame a transaction: sent at once, not held for more.
        const int on = 1;
        ::setsockopt(fd.Get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    return fd.Release();
}

}  // namespace

UniqueFd ConnectInet(const std::string& host, std::uint16_t port, bool tcp, std::uint32_t timeoutMs,
                     SocketError& error) {
    const AddrList list = Resolve(host, port, tcp, false);
    if (!list) {
        error = SocketError::kUnknownHost;
        return UniqueFd();
    }
    error = SocketError::kOther;
    for (const addrinfo* at = list.get(); at != nullptr; at = at->ai_next) {
        const int fd = ConnectOne(*at, tcp, timeoutMs);
        if (fd >= 0) {
            error = SocketError::kNone;
            return UniqueFd(fd);
        }
        error = ErrorOf(-fd);
    }
    return UniqueFd();
}

UniqueFd ListenInet(const std::string& host, std::uint16_t port, bool tcp, std::string& error) {
    const std::string name = host.empty() ? "127.0.0.1" : host;
    const AddrList list = Resolve(name, port, tcp, true);
    const std::string where = name + ":" + std::to_string(port) + (tcp ? " (TCP)" : " (UDP)");
    if (!list) {
        error = "cannot resolve " + name;
        return UniqueFd();
    }
    UniqueFd fd(::socket(list->ai_family, list->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                         list->ai_protocol));
    const int on = 1;
    if (fd.Valid()) {
        ::setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    }
    if (!fd.Valid() || ::bind(fd.Get(), list->ai_addr, list->ai_addrlen) != 0 ||
        (tcp && ::listen(fd.Get(), 8) != 0)) {
        error = "cannot listen on " + where + ": " + std::strerror(errno);
        return UniqueFd();
    }
    return fd;
}

std::uint16_t BoundPort(int fd) {
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return 0;
    }
    if (address.ss_family == AF_INET) {
        return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
    }
    if (address.ss_family == AF_INET6) {
        return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
    }
    return 0;
}

namespace {
bool WaitFor(int fd, short events, std::uint32_t timeoutMs) {
    pollfd ready{fd, events, 0};
    int n;
    do {
        n = ::poll(&ready, 1, static_cast<int>(timeoutMs));
    } while (n < 0 && errno == EINTR);
    return n == 1 && (ready.revents & events) != 0;
}
}  // namespace

bool WaitReadable(int fd, std::uint32_t timeoutMs) {
    return WaitFor(fd, POLLIN, timeoutMs);
}

bool WaitWritable(int fd, std::uint32_t timeoutMs) {
    return WaitFor(fd, POLLOUT, timeoutMs);
}

}  // namespace tandrin
