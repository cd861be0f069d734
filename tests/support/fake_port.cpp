#include "support/fake_port.h"

#include "link/hart_frame.h"

namespace tandrin::test {

namespace {

class FakePort : public ISerialPort {
  public:
    FakePort(FakeLine& line, VirtualEventLoop& loop) : m_line(line), m_loop(loop) {}

    int Open(const std::string& path) override {
        if (m_line.refuseOpen || (m_line.acceptsPath && !m_line.acceptsPath(path))) {
            return 0;
        }
        m_open = true;
        m_line.open = true;
        m_line.rts = true;
        ++m_line.opens;
        m_line.openedPath = path;
        return 1;
    }
    bool IsOpen() const override { return m_open; }
    void Close() override {
        m_open = false;
        m_line.open = false;
    }
    void RaiseRts() override { m_line.rts = true; }
    void DropRts() override { m_line.rts = false; }
    int Write(const std::uint8_t* data, std::size_t length) override {
        std::vector<std::uint8_t> bytes(data, data + length);
        m_line.writes.push_back({m_loop.Now(), bytes});
        if (m_line.onWrite) {
            m_line.onWrite(bytes);
        }
        return 1;
    }

  private:
    FakeLine& m_line;
    VirtualEventLoop& m_loop;
    bool m_open = false;
};

}  // namespace

PortFactory FakePortFactory(FakeLine& line, VirtualEventLoop& loop) {
    return [&line, &loop]() -> std::unique_ptr<ISerialPort> {
        ++line.portsMade;
        return std::make_unique<FakePort>(line, loop);
    };
}

std::vector<std::uint8_t> LongResponse(const std::array<std::uint8_t, 5>& address,
                                       std::uint8_t command, const std::vector<std::uint8_t>& data,
                                       std::uint8_t responseCode, std::size_t preambles,
                                       std::uint8_t deviceStatus) {
    std::vector<std::uint8_t> body{responseCode, deviceStatus};
    body.insert(body.end(), data.begin(), data.end());
    std::vector<std::uint8_t> out;
    AppendFrame(out, preambles, kResponseLong, address.data(), address.size(), command, body.data(),
                body.size());
    return out;
}

std::vector<std::uint8_t> Command0Response(std::uint8_t pollAddress, std::uint8_t manufacturer,
                                           std::uint8_t deviceType,
                                           const std::array<std::uint8_t, 3>& deviceId,
                                           std::size_t preambles) {
    // Standard identity layout: 254, manufacturer, type, preambles, revisions,
    // flags, then the three-byte device identification number.
    std::vector<std::uint8_t> body{0x00, 0x00, 254,  manufacturer, deviceType,  5,          5, 1,
                                   1,    0x10, 0x00, deviceId[0],  deviceId[1], deviceId[2]};
    const std::uint8_t address = static_cast<std::uint8_t>(0x80 | pollAddress);
    std::vector<std::uint8_t> out;
    AppendFrame(out, preambles, kResponseShort, &address, 1, 0x00, body.data(), body.size());
    return out;
}

void DeliverLater(VirtualEventLoop& loop, HartMaster& master, std::uint32_t delayMs,
                  std::vector<std::uint8_t> bytes) {
    loop.StartTimer(delayMs, [&master, bytes = std::move(bytes)](TimerId) {
        master.AppendReceived(bytes.data(), bytes.size());
    });
}

}  // namespace tandrin::test
