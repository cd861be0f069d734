#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tandrin {

// Why the last Open failed, so the front ends can say what is wrong.
enum class PortOpenError {
    kNone,
    kMissing,          // no such device
    kNotTerminal,      // a file, a directory, /dev/null
    kBusy,             // another program holds it
    kNoPermission,     // not in the group that owns it
    kRefusedSettings,  // a terminal that refused 1200 8O1
    kOther,
    // A HART-IP server
    kBadServerName,   // not hart-ip://HOST[:PORT]
    kUnknownHost,     // the host name does not resolve
    kNoServer,        // nothing answers there
    kSessionsInUse,   // the server refused the session: all in use
    kVersionRefused,  // the server does not speak HART-IP version 1
    kSessionRefused,  // the server refused the session for another reason
    // What a HART-IP server answered a request with (LineProblem)
    kServerNak,    // a NAK: it could not take the request
    kServerError,  // an error message, or a non-zero status
};

// What HartMaster needs of a serial line. CSerialPort is the real one;
// tests use a fake whose writes a scripted device answers.
class ISerialPort {
  public:
    virtual ~ISerialPort() = default;

    // Opens the device at `path` with the HART line settings. 1 or 0.
    virtual int Open(const std::string& path) = 0;
    virtual bool IsOpen() const = 0;
    // Harmless when nothing is open.
    virtual void Close() = 0;
    virtual void RaiseRts() = 0;
    virtual void DropRts() = 0;
    // Starts writing and returns without waiting for the line. 1 or 0.
    virtual int Write(const std::uint8_t* data, std::size_t length) = 0;
    // File descriptor the receive thread polls; -1 for a port that hands
    // its bytes to HartMaster by other means (the fakes of the tests).
    virtual int Descriptor() const { return -1; }
    virtual PortOpenError LastOpenError() const { return PortOpenError::kNone; }

    // What a line to a network server adds; a serial line keeps these.
    using ByteSink = std::function<void(const std::uint8_t* bytes, std::size_t length)>;
    using HeaderTrace = std::function<void(bool sent, const std::string& header)>;
    // 0 for a serial line, whose transactions end at the timing table's
    // timers. Otherwise a transaction ends as soon as its reply is in, and
    // this is how long a request waits for it before it is sent again.
    virtual std::uint32_t ReplyTimeout() const { return 0; }
    // Turns what the receive thread read into the HART bytes the master
    // scans (on the receive thread).
    virtual void Unwrap(const std::uint8_t* bytes, std::size_t length, const ByteSink& toMaster) {
        toMaster(bytes, length);
    }
    // How often the UI thread calls KeepAlive while the link is open; 0
    // for never. KeepAlive returns false once the far end is lost.
    virtual std::uint32_t KeepAlivePeriod() const { return 0; }
    virtual bool KeepAlive() { return true; }
    // A refusal the server gave the last request (kNone when there was
    // none); cleared by the next request.
    virtual PortOpenError LineProblem() const { return PortOpenError::kNone; }
    // Sees the line's own message headers; set before Open.
    virtual void SetHeaderTrace(HeaderTrace /*trace*/) {}
};

using PortFactory = std::function<std::unique_ptr<ISerialPort>()>;

}  // namespace tandrin
