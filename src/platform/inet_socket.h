#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <string>

#include "platform/unique_fd.h"

namespace tandrin {

// Why a socket could not be had.
enum class SocketError {
    kNone,
    kUnknownHost,  // the name does not resolve
    kRefused,      // nothing listens there
    kUnreachable,  // no route, or no answer to a TCP connect in time
    kOther,
};

// A non-blocking UDP socket connected to host:port (so the kernel drops
// datagrams from any other address), or a TCP connection to it, made
// within `timeoutMs`. Invalid on failure, with `error` set.
UniqueFd ConnectInet(const std::string& host, std::uint16_t port, bool tcp, std::uint32_t timeoutMs,
                     SocketError& error);

// A non-blocking socket bound to host:port ("" binds to the loopback
// address), listening when `tcp`. Invalid on failure, with `error` set to
// a sentence naming the address.
UniqueFd ListenInet(const std::string& host, std::uint16_t port, bool tcp, std::string& error);

// The port a bound socket got (useful after binding port 0); 0 on failure.
std::uint16_t BoundPort(int fd);

// Wait until `fd` is readable (writable); false on timeout or error.
bool WaitReadable(int fd, std::uint32_t timeoutMs);
bool WaitWritable(int fd, std::uint32_t timeoutMs);

}  // namespace tandrin
