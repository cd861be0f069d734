#pragma once

#include <array>
#include <cstdint>
#include <map>

namespace tandrin::sim {

// The device-specific values of commands 137 to 194. Their meaning lies in
// the transmitter's firmware; the simulator keeps each at the width the
// commands carry, so what one command writes another reads back.
struct SpecificState {
    std::array<std::uint8_t, 4> m_aby137{};  // 137, 194 (float)
    std::uint8_t m_by138A = 0;
    std::uint8_t m_by138B = 0;
    std::array<std::uint8_t, 4> m_aby139{0x3F, 0x80, 0x00, 0x00};
    std::array<std::uint8_t, 8> m_aby140{0x00, 0x00, 0x00, 0x00, 0x3F, 0x80, 0x00, 0x00};
    std::array<std::uint8_t, 5> m_aby141{0x01, 0x00, 0x00, 0x00, 0x00};  // 138, 169, 181
    std::array<std::uint8_t, 4> m_aby142{0x3F, 0x80, 0x00, 0x00};
    // Command 143 reads and 183 writes a record per index byte.
    std::map<std::uint8_t, std::array<std::uint8_t, 18>> m_records143;
    std::array<std::uint8_t, 12> m_aby144{0x3F, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::array<std::uint8_t, 4> m_aby145{0x3F, 0x80, 0x00, 0x00};
    std::array<std::uint8_t, 2> m_aby148{};
    std::array<std::uint8_t, 5> m_aby150{0x3F, 0x00, 0x00, 0x00, 12};  // float, steps × 3
    std::uint8_t m_by160 = 2;
    std::array<std::uint8_t, 7> m_aby189{};
    std::array<std::uint8_t, 35> m_abyBlock{};  // 192 writes 35 bytes, 152/153 read 34
};

}  // namespace tandrin::sim
