#include "pages/decimal_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace tandrin {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the decimal number at `text[from]`: digits with an optional
// point and fraction, then an exponent only when digits follow it.
std::size_t NumberLength(const std::string& text, std::size_t from) {
    std::size_t end = from;
    std::size_t digits = 0;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
        ++digits;
    }
    if (end < text.size() && text[end] == '.') {
        ++end;
        while (end < text.size() && IsDigit(text[end])) {
            ++end;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        if (exponent < text.size() && IsDigit(text[exponent])) {
            end = exponent;
            while (end < text.size() && IsDigit(text[end])) {
                ++end;
            }
        }
    }
    return end - from;
}

bool StartsWithWord(const std::string& text, std::size_t at, const char* word) {
    for (std::size_t i = 0; word[i] != '\0'; ++i, ++at) {
        if (at >= text.size() || std::tolower(static_cast<unsigned char>(text[at])) !=
                                     static_cast<unsigned char>(word[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool FitsFloat(const std::string& text) {
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos) {
        return true;
    }
    if (text[at] == '+' || text[at] == '-') {
        ++at;
    }
    if (StartsWithWord(text, at, "inf") || StartsWithWord(text, at, "nan")) {
        return false;
    }
    const std::size_t length = NumberLength(text, at);
    if (length == 0) {
        return true;
    }
    double value = 0;
    const auto result = std::from_chars(text.data() + at, text.data() + at + length, value);
    return result.ec == std::errc() && std::isfinite(value) &&
           std::fabs(value) <= std::numeric_limits<float>::max();
}

double DecimalValue(const std::string& text) {
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos) {
        return 0;
    }
    bool negative = false;
    if (text[at] == '+' || text[at] == '-') {
        negative = text[at] == '-';
        ++at;
    }
    const std::size_t length = NumberLength(text, at);
    if (length == 0) {
        return 0;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + at + length, value);
    if (error != std::errc() || !std::isfinite(value)) {
        return 0;
    }
    (void)end;
    return negative ? -value : value;
}

std::string FixedText(double value, int decimals) {
    char buffer[400];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

}  // namespace tandrin
