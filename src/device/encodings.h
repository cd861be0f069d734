#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tandrin {

// Wire forms of the device values. Every function works on a few bytes at
// a caller-chosen position; none of them checks lengths beyond its own
// fixed width.

// IEEE-754 single, most significant byte first.
float DecodeFloat(const std::uint8_t* bytes);
void EncodeFloat(float value, std::uint8_t* bytes);

// HART packed ASCII: four 6-bit codes in three bytes. `chars` is the field
// width in characters (8, 16 or 32) and must be a multiple of four.
constexpr std::size_t PackedSize(std::size_t chars) {
    return chars / 4 * 3;
}

// Upper-cases ASCII letters in place. With `gbk` the two bytes of a GBK
// double-byte character are left alone, so the text stays valid GBK.
void UpperCaseAscii(std::string& text, bool gbk);

// Pads with spaces or cuts to `chars` characters and packs them into
// PackedSize(chars) bytes. With `gbk` a double-byte character counts as
// one character.
void PackText(std::string_view text, std::size_t chars, bool gbk, std::uint8_t* bytes);
// Unpacks `chars` characters and removes trailing spaces.
std::string UnpackText(const std::uint8_t* bytes, std::size_t chars);

// Year as the date field carries it: years since 1900, modulo 256.
std::uint8_t YearToWire(std::uint16_t year);
std::uint16_t YearFromWire(std::uint8_t wire);

// 24-bit number, most significant byte first, held as six upper-case hex
// digits ("0A1B2C").
// Two upper-case hexadecimal digits a byte, no separators.
std::string BytesToHex(const std::uint8_t* bytes, std::size_t count);
std::string Hex24ToText(const std::uint8_t* bytes);
void TextToHex24(std::string_view text, std::uint8_t* bytes);

// 16-bit word, low byte first.
std::uint16_t DecodeWord(const std::uint8_t* bytes);
void EncodeWord(std::uint16_t value, std::uint8_t* bytes);

// 5-byte number: 32-bit fixed-point mantissa (integer part in byte 3,
// least significant byte first), then sign bit and 7-bit exponent of 256.
constexpr std::size_t kNumber5Size = 5;
double DecodeNumber5(const std::uint8_t* bytes);
void EncodeNumber5(double value, std::uint8_t* bytes);

// Steps are kept divided by 3 and sent multiplied by 3.
constexpr std::uint8_t StepsFromWire(std::uint8_t wire) {
    return wire / 3;
}
constexpr std::uint8_t StepsToWire(std::uint8_t steps) {
    return static_cast<std::uint8_t>(steps * 3);
}

// Long address from the data bytes of a command 0 response.
std::array<std::uint8_t, 5> LongAddressFromIdentity(const std::uint8_t* data);

// "V1.23" from the bytes 1, 2, 3.
std::string SoftwareVersionText(const std::uint8_t* bytes);

}  // namespace tandrin
