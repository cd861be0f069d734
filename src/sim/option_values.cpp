#include "sim/option_values.h"

#include <charconv>
#include <cmath>

namespace tandrin::sim {

namespace {

std::optional<std::uint32_t> ParseInBase(std::string_view text, int base, std::uint32_t max) {
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || ec != std::errc() || ptr != end || value > max) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

bool HasHexPrefix(std::string_view text) {
    return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

}  // namespace

std::vector<std::string_view> SplitList(std::string_view text, char separator) {
    std::vector<std::string_view> items;
    while (!text.empty()) {
        const std::size_t at = text.find(separator);
        items.push_back(text.substr(0, at));
        if (at == std::string_view::npos) {
            break;
        }
        text.remove_prefix(at + 1);
    }
    return items;
}

KeyValue SplitKeyValue(std::string_view item) {
    const std::size_t at = item.find('=');
    if (at == std::string_view::npos) {
        return {item, {}, false};
    }
    return {item.substr(0, at), item.substr(at + 1), true};
}

std::optional<std::uint32_t> ParseUnsigned(std::string_view text, std::uint32_t max) {
    if (HasHexPrefix(text)) {
        return ParseInBase(text.substr(2), 16, max);
    }
    return ParseInBase(text, 10, max);
}

std::optional<std::uint32_t> ParseHex(std::string_view text, std::uint32_t max) {
    return ParseInBase(HasHexPrefix(text) ? text.substr(2) : text, 16, max);
}

std::optional<double> ParseNumber(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace tandrin::sim
