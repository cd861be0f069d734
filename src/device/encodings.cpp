#include "device/encodings.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <vector>

namespace tandrin {

namespace {

constexpr std::uint8_t kUnpackedSpace = 0x20;

bool IsGbkLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

// True when text[i] starts a two-byte GBK character.
bool StartsDoubleByte(std::string_view text, std::size_t i, bool gbk) {
    return gbk && IsGbkLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
}

char ToUpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Packed ASCII can only carry 0x20..0x5F. Anything else (control codes,
// '`', '{', non-ASCII bytes and GBK characters) is sent as '?' so that the
// field keeps its width and the device sees a visible placeholder rather
// than an unrelated character from wrapped-around bits.
std::uint8_t SixBitCode(char c) {
    auto u = static_cast<unsigned char>(ToUpperAscii(c));
    if (u < 0x20 || u > 0x5F) {
        u = '?';
    }
    return u & 0x3F;
}

std::vector<std::uint8_t> SixBitCodes(std::string_view text, std::size_t chars, bool gbk) {
    std::vector<std::uint8_t> codes;
    codes.reserve(chars);
    for (std::size_t i = 0; i < text.size() && codes.size() < chars; ++i) {
        if (StartsDoubleByte(text, i, gbk)) {
            codes.push_back(SixBitCode('?'));
            ++i;
        } else {
            codes.push_back(SixBitCode(text[i]));
        }
    }
    codes.resize(chars, SixBitCode(' '));
    return codes;
}

char CharFromSixBits(std::uint32_t code) {
    return static_cast<char>(code < 0x20 ? code + 0x40 : code);
}

bool IsCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

int FloorDiv8(int n) {
    return n >= 0 ? n / 8 : -((7 - n) / 8);
}

}  // namespace

float DecodeFloat(const std::uint8_t* bytes) {
    const std::uint32_t bits = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
                               (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
    return std::bit_cast<float>(bits);
}

void EncodeFloat(float value, std::uint8_t* bytes) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    bytes[0] = static_cast<std::uint8_t>(bits >> 24);
    bytes[1] = static_cast<std::uint8_t>(bits >> 16);
    bytes[2] = static_cast<std::uint8_t>(bits >> 8);
    bytes[3] = static_cast<std::uint8_t>(bits);
}

void UpperCaseAscii(std::string& text, bool gbk) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (StartsDoubleByte(text, i, gbk)) {
            ++i;  // a GBK trail byte may look like a lower-case letter
        } else {
            text[i] = ToUpperAscii(text[i]);
        }
    }
}

void PackText(std::string_view text, std::size_t chars, bool gbk, std::uint8_t* bytes) {
    const std::vector<std::uint8_t> codes = SixBitCodes(text, chars, gbk);
    for (std::size_t group = 0; group < chars / 4; ++group) {
        const std::uint8_t* c = &codes[group * 4];
        const std::uint32_t value = (std::uint32_t{c[0]} << 18) | (std::uint32_t{c[1]} << 12) |
                                    (std::uint32_t{c[2]} << 6) | std::uint32_t{c[3]};
        bytes[group * 3] = static_cast<std::uint8_t>(value >> 16);
        bytes[group * 3 + 1] = static_cast<std::uint8_t>(value >> 8);
        bytes[group * 3 + 2] = static_cast<std::uint8_t>(value);
    }
}

std::string UnpackText(const std::uint8_t* bytes, std::size_t chars) {
    std::string text;
    text.reserve(chars);
    for (std::size_t group = 0; group < chars / 4; ++group) {
        const std::uint8_t* b = &bytes[group * 3];
        const std::uint32_t value =
            (std::uint32_t{b[0]} << 16) | (std::uint32_t{b[1]} << 8) | std::uint32_t{b[2]};
        for (int shift = 18; shift >= 0; shift -= 6) {
            text.push_back(CharFromSixBits((value >> shift) & 0x3F));
        }
    }
    const std::size_t end = text.find_last_not_of(static_cast<char>(kUnpackedSpace));
    text.resize(end == std::string::npos ? 0 : end + 1);
    return text;
}

std::uint8_t YearToWire(std::uint16_t year) {
    return static_cast<std::uint8_t>(year - 1900);
}

std::uint16_t YearFromWire(std::uint8_t wire) {
    return static_cast<std::uint16_t>(wire + 1900);
}

std::string BytesToHex(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    char pair[3];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        text += pair;
    }
    return text;
}

std::string Hex24ToText(const std::uint8_t* bytes) {
    return BytesToHex(bytes, 3);
}

// Reads like strtoul base 16 (white space, optional 0x, digits up to the
// first non-digit) but without a sign, and keeps the low 24 bits of the
// whole number instead of saturating on overflow.
void TextToHex24(std::string_view text, std::uint8_t* bytes) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    if (text.substr(i, 2) == "0x" || text.substr(i, 2) == "0X") {
        i += 2;
    }
    std::uint32_t value = 0;
    for (; i < text.size() && HexDigitValue(text[i]) >= 0; ++i) {
        value = ((value << 4) | static_cast<std::uint32_t>(HexDigitValue(text[i]))) & 0xFFFFFF;
    }
    bytes[0] = static_cast<std::uint8_t>(value >> 16);
    bytes[1] = static_cast<std::uint8_t>(value >> 8);
    bytes[2] = static_cast<std::uint8_t>(value);
}

std::uint16_t DecodeWord(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

void EncodeWord(std::uint16_t value, std::uint8_t* bytes) {
    bytes[0] = static_cast<std::uint8_t>(value);
    bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

double DecodeNumber5(const std::uint8_t* bytes) {
    const std::uint32_t digits = (std::uint32_t{bytes[3]} << 24) | (std::uint32_t{bytes[2]} << 16) |
                                 (std::uint32_t{bytes[1]} << 8) | std::uint32_t{bytes[0]};
    int exponent = bytes[4] & 0x7F;
    if (exponent >= 64) {
        exponent -= 128;
    }
    const double magnitude = std::ldexp(static_cast<double>(digits), 8 * exponent - 24);
    return (bytes[4] & 0x80) ? -magnitude : magnitude;
}

// The exponent holds only -64..63. A magnitude too large for it (or
// infinite) is sent as the largest number of its sign, one too small is
// sent as zero, and NaN as zero: wrapping the exponent instead would turn
// a huge value into a tiny one and back.
void EncodeNumber5(double value, std::uint8_t* bytes) {
    std::fill(bytes, bytes + kNumber5Size, std::uint8_t{0});
    const double magnitude = std::fabs(value);
    if (std::isnan(value) || magnitude == 0) {
        return;
    }
    int exponent = 63;
    std::uint32_t digits = 0xFFFFFFFF;
    if (std::isfinite(magnitude)) {
        int binaryExponent = 0;
        std::frexp(magnitude, &binaryExponent);  // magnitude < 2^binaryExponent
        exponent = FloorDiv8(binaryExponent - 1);
        if (exponent < -64) {
            return;
        }
        if (exponent <= 63) {
            // Exact power-of-two scaling; the cast truncates the digits.
            digits = static_cast<std::uint32_t>(std::ldexp(magnitude, 24 - 8 * exponent));
        } else {
            exponent = 63;
        }
    }
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(digits >> (8 * i));
    }
    bytes[4] = static_cast<std::uint8_t>((exponent & 0x7F) | (value < 0 ? 0x80 : 0));
}

std::array<std::uint8_t, 5> LongAddressFromIdentity(const std::uint8_t* data) {
    return {static_cast<std::uint8_t>(data[1] | 0x80), data[2], data[9], data[10], data[11]};
}

std::string SoftwareVersionText(const std::uint8_t* bytes) {
    char text[16];
    std::snprintf(text, sizeof text, "V%d.%d%d", bytes[0], bytes[1], bytes[2]);
    return text;
}

}  // namespace tandrin
