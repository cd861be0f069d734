#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tandrin::sim {

// One request frame as a transmitter hears it.
struct SimRequest {
    bool isLong = false;
    // Short frames use address[0] only. Bit 7 of address[0] is the master
    // bit, bit 6 the burst bit.
    std::array<std::uint8_t, 5> address{};
    std::uint8_t command = 0;
    std::vector<std::uint8_t> data;
    std::size_t preambles = 0;
};

}  // namespace tandrin::sim
