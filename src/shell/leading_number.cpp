#include "shell/leading_number.h"

#include <algorithm>
#include <charconv>

namespace tandrin {

unsigned LeadingByte(const std::string& text) {
    std::size_t at = text.find_first_not_of(" \t");
    unsigned value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = std::min(255u, value * 10 + static_cast<unsigned>(text[at] - '0'));
    }
    return value;
}

namespace {

std::size_t SkipDigits(const std::string& text, std::size_t at) {
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        ++at;
    }
    return at;
}

}  // namespace

double LeadingDouble(const std::string& full) {
    const std::string text = full.substr(0, 255);
    const std::size_t start = std::min(text.size(), text.find_first_not_of(" \t"));
    std::size_t at = start;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        ++at;
    }
    const std::size_t intEnd = SkipDigits(text, at);
    std::size_t end = intEnd;
    bool digits = intEnd > at;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fracEnd = SkipDigits(text, end + 1);
        digits = digits || fracEnd > end + 1;
        end = fracEnd;
    }
    if (!digits) {
        return 0.0;
    }
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exp = end + 1;
        if (exp < text.size() && (text[exp] == '+' || text[exp] == '-')) {
            ++exp;
        }
        const std::size_t expEnd = SkipDigits(text, exp);
        if (expEnd > exp) {
            end = expEnd;
        }
    }
    // from_chars takes no leading '+'.
    std::size_t from = start;
    if (text[from] == '+') {
        ++from;
    }
    double value = 0.0;
    // Beyond a double's range reads as 0, which every bound refuses too.
    const auto result = std::from_chars(text.data() + from, text.data() + end, value);
    return result.ec == std::errc() ? value : 0.0;
}

}  // namespace tandrin
