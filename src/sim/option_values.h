#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tandrin::sim {

// Pieces of the KEY=VALUE,KEY=VALUE lists of tandrin-sim's options.

std::vector<std::string_view> SplitList(std::string_view text, char separator);

struct KeyValue {
    std::string_view key;
    std::string_view value;  // empty when the item had no '='
    bool hasValue = false;
};
KeyValue SplitKeyValue(std::string_view item);

// Decimal, or hexadecimal with a 0x prefix; nothing when not a whole
// number up to `max`.
std::optional<std::uint32_t> ParseUnsigned(std::string_view text, std::uint32_t max);
// Hexadecimal with or without 0x.
std::optional<std::uint32_t> ParseHex(std::string_view text, std::uint32_t max);
std::optional<double> ParseNumber(std::string_view text);

}  // namespace tandrin::sim
