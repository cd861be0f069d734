#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "device/command_responses.h"
#include "device/device_data.h"
#include "device/degree_text.h"

namespace tandrin::test {

// Sets the interface language for one test and restores it afterwards.
class ChineseUiScope {
  public:
    explicit ChineseUiScope(int value) : m_nSaved(chineseUi.exchange(value)) {}
    ~ChineseUiScope() { chineseUi.store(m_nSaved); }
    ChineseUiScope(const ChineseUiScope&) = delete;
    ChineseUiScope& operator=(const ChineseUiScope&) = delete;

  private:
    int m_nSaved;
};

// A response as the master hands it to the parsers: the frame from its
// delimiter through its checksum, zero-filled to 60 bytes.
struct ResponseRecord {
    std::array<std::uint8_t, 60> bytes{};
    std::uint8_t byteCount = 0;
};

inline ResponseRecord MakeRecord(std::uint8_t delimiter, const std::vector<std::uint8_t>& address,
                                 std::uint8_t command, const std::vector<std::uint8_t>& data) {
    ResponseRecord record;
    std::vector<std::uint8_t> frame{delimiter};
    frame.insert(frame.end(), address.begin(), address.end());
    record.byteCount = static_cast<std::uint8_t>(data.size() + 2);
    frame.insert(frame.end(), {command, record.byteCount, 0x00, 0x00});
    frame.insert(frame.end(), data.begin(), data.end());
    std::uint8_t checksum = 0;
    for (std::uint8_t b : frame) {
        checksum ^= b;
    }
    frame.push_back(checksum);
    std::copy(frame.begin(), frame.end(), record.bytes.begin());
    return record;
}

// Long-frame response (delimiter 0x86), data byte k at record offset 10 + k.
inline ResponseRecord LongResponse(std::uint8_t command, const std::vector<std::uint8_t>& data) {
    return MakeRecord(0x86, {0x9A, 0x05, 0x00, 0x00, 0x01}, command, data);
}

// Short command 0 response (delimiter 0x06), data byte k at offset 6 + k.
inline ResponseRecord IdentityResponse(std::uint8_t address,
                                       const std::vector<std::uint8_t>& data) {
    return MakeRecord(0x06, {address}, 0, data);
}

inline bool Parse(std::uint8_t command, const ResponseRecord& record, DeviceData& device) {
    return ParseResponse(command, record.byteCount, record.bytes.data(), device);
}

}  // namespace tandrin::test
