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
};

using PortFactory = std::function<std::unique_ptr<ISerialPort>()>;

}  // namespace tandrin
