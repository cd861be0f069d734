#pragma once

#include <memory>
#include <string>

#include "link/serial_port.h"
#include "platform/line_state.h"
#include "platform/unique_fd.h"

namespace tandrin {

// The HART modem's serial line on Linux, named by device path
// ("/dev/ttyUSB0", or a pseudo-terminal). Opened exclusively and
// non-blocking; the receive thread polls Descriptor(). Close hands the
// device back as Open found it: its settings, DTR and RTS, and no
// exclusive flag.
class CSerialPort : public ISerialPort {
  public:
    CSerialPort() = default;
    ~CSerialPort() override { Close(); }
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // 1 on success; otherwise 0, silently, with LastOpenError telling why.
    int Open(const std::string& path) override;
    bool IsOpen() const override { return m_bOpen != 0; }
    void Close() override;
    // A pseudo-terminal has no modem lines; failing ioctls there are fine.
    void RaiseRts() override;
    void DropRts() override;
    // Queues the bytes with the driver and returns; 0 when the device has
    // gone or its queue stays full.
    int Write(const std::uint8_t* data, std::size_t length) override;
    int Descriptor() const override { return m_fd.Get(); }
    PortOpenError LastOpenError() const override { return m_lastError; }

  private:
    UniqueFd m_fd;
    LineState m_found;
    std::int32_t m_bOpen = 0;
    PortOpenError m_lastError = PortOpenError::kNone;
};

std::unique_ptr<ISerialPort> MakeSerialPort();

}  // namespace tandrin
