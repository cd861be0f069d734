#include "device/encodings.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace tandrin {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Packed(std::string_view text, std::size_t chars, bool gbk = false) {
    Bytes bytes(PackedSize(chars));
    PackText(text, chars, gbk, bytes.data());
    return bytes;
}

TEST(DeviceFloat, BigEndianBothWays) {
    const struct {
        float value;
        std::array<std::uint8_t, 4> wire;
    } cases[] = {
        {1.0f, {0x3F, 0x80, 0x00, 0x00}},
        {100.0f, {0x42, 0xC8, 0x00, 0x00}},
        {-2.5f, {0xC0, 0x20, 0x00, 0x00}},
        {0.1f, {0x3D, 0xCC, 0xCC, 0xCD}},
    };
    for (const auto& c : cases) {
        std::array<std::uint8_t, 4> encoded{};
        EncodeFloat(c.value, encoded.data());
        EXPECT_EQ(encoded, c.wire) << c.value;
        EXPECT_EQ(DecodeFloat(c.wire.data()), c.value);
    }
}

TEST(DevicePackedText, PadsShortTextWithSpaces) {
    // "AB" and six spaces: codes 01 02 20 20 | 20 20 20 20.
    EXPECT_EQ(Packed("AB", 8), (Bytes{0x04, 0x28, 0x20, 0x82, 0x08, 0x20}));
    EXPECT_EQ(Packed("ABC", 32), Packed("ABC" + std::string(29, ' '), 32));
    EXPECT_EQ(UnpackText(Packed("AB", 8).data(), 8), "AB");
}

TEST(DevicePackedText, CutsLongTextToFieldWidth) {
    const std::string message = "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG";
    EXPECT_EQ(UnpackText(Packed(message, 32).data(), 32), message.substr(0, 32));
}

TEST(DevicePackedText, RoundTripsEveryRepresentableCharacter) {
    std::string all;
    for (char c = 0x20; c <= 0x5F; ++c) {
        all.push_back(c);
    }
    EXPECT_EQ(UnpackText(Packed(all, all.size()).data(), all.size()), all);
}

TEST(DevicePackedText, DecodesSpecialPatterns) {
    const Bytes spaces = {0x82, 0x08, 0x20};
    const Bytes zeros = {0x00, 0x00, 0x00};
    EXPECT_EQ(UnpackText(spaces.data(), 4), "");
    EXPECT_EQ(UnpackText(zeros.data(), 4), "@@@@");
    // Inner spaces stay, only trailing ones go.
    EXPECT_EQ(UnpackText(Packed("A B", 8).data(), 8), "A B");
}

TEST(DevicePackedText, SendsUnrepresentableCharactersAsQuestionMarks) {
    EXPECT_EQ(Packed("a`{\x01\xE9~", 8), Packed("A?????", 8));
}

TEST(DevicePackedText, GbkCharacterCountsAsOne) {
    // B0 61 is one GBK character whose trail byte looks like 'a'.
    EXPECT_EQ(Packed("\xB0\x61xy", 4, true), Packed("?XY", 4));
    EXPECT_EQ(Packed("\xB0\x61xy", 4, false), Packed("?AXY", 4));
}

TEST(DeviceUpperCase, LeavesGbkTrailBytesAlone) {
    std::string gbk = "\xB0\x61tag";
    UpperCaseAscii(gbk, true);
    EXPECT_EQ(gbk, "\xB0\x61TAG");

    std::string western = "\xE9t\xB0\x61";
    UpperCaseAscii(western, false);
    EXPECT_EQ(western, "\xE9T\xB0\x41");
}

TEST(DeviceHex24, FormatsTwoUpperCaseDigitsPerByte) {
    const std::array<std::uint8_t, 3> wire = {0x0A, 0x1B, 0x2C};
    EXPECT_EQ(Hex24ToText(wire.data()), "0A1B2C");
    std::array<std::uint8_t, 3> back{};
    TextToHex24("0A1B2C", back.data());
    EXPECT_EQ(back, wire);
}

TEST(DeviceHex24, ReadsTextLikeAnUnsignedHexNumber) {
    const struct {
        const char* text;
        std::array<std::uint8_t, 3> wire;
    } cases[] = {
        {"1ABCDEF", {0xAB, 0xCD, 0xEF}},
        {"", {0x00, 0x00, 0x00}},
        {" \t0x1f", {0x00, 0x00, 0x1F}},
        {"abc", {0x00, 0x0A, 0xBC}},
        {"12zz34", {0x00, 0x00, 0x12}},
        {"0x", {0x00, 0x00, 0x00}},
        {"xyz", {0x00, 0x00, 0x00}},
        {"-5", {0x00, 0x00, 0x00}},
        {"123456789ABCDEF0123", {0xEF, 0x01, 0x23}},
    };
    for (const auto& c : cases) {
        std::array<std::uint8_t, 3> wire{0xEE, 0xEE, 0xEE};
        TextToHex24(c.text, wire.data());
        EXPECT_EQ(wire, c.wire) << '"' << c.text << '"';
    }
}

using Wire5 = std::array<std::uint8_t, 5>;

Wire5 Encoded5(double value) {
    Wire5 wire{};
    EncodeNumber5(value, wire.data());
    return wire;
}

TEST(DeviceNumber5, DecodesKnownValues) {
    const struct {
        Wire5 wire;
        double value;
    } cases[] = {
        {{0x00, 0x00, 0x00, 0x01, 0x00}, 1.0},
        {{0x00, 0x00, 0x00, 0x02, 0x81}, -512.0},
        {{0x00, 0x00, 0x00, 0x01, 0x7F}, 1.0 / 256},
        {{0x00, 0x00, 0x80, 0x01, 0x00}, 1.5},
        {{0x00, 0x00, 0x00, 0x00, 0x00}, 0.0},
        {{0x00, 0x00, 0x00, 0x01, 0x40}, std::ldexp(1.0, -512)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeNumber5(c.wire.data()), c.value);
    }
}

TEST(DeviceNumber5, EncodesKnownValues) {
    EXPECT_EQ(Encoded5(1.0 / 256), (Wire5{0x00, 0x00, 0x00, 0x01, 0x7F}));
    EXPECT_EQ(Encoded5(0.0), (Wire5{}));
    EXPECT_EQ(Encoded5(-512.0), (Wire5{0x00, 0x00, 0x00, 0x02, 0x81}));
    EXPECT_EQ(Encoded5(255.5), (Wire5{0x00, 0x00, 0x80, 0xFF, 0x00}));
    EXPECT_EQ(Encoded5(256.0), (Wire5{0x00, 0x00, 0x00, 0x01, 0x01}));
}

TEST(DeviceNumber5, TruncatesDigits) {
    // 2/3 = AA.AAAAAA... (base 256) / 256: rounding would end in AB.
    EXPECT_EQ(Encoded5(2.0 / 3), (Wire5{0xAA, 0xAA, 0xAA, 0xAA, 0x7F}));
    EXPECT_EQ(Encoded5(-2.0 / 3), (Wire5{0xAA, 0xAA, 0xAA, 0xAA, 0xFF}));
}

TEST(DeviceNumber5, RoundTripKeepsSignAndTwentyFourBitsOrMore) {
    const double mantissas[] = {1.0, 1.2345678901, 3.14159265358979, 99.999, 255.999999};
    for (int e = -60; e <= 60; e += 3) {
        for (double m : mantissas) {
            for (double sign : {1.0, -1.0}) {
                const double x = sign * std::ldexp(m, 8 * e);
                const Wire5 wire = Encoded5(x);
                const double back = DecodeNumber5(wire.data());
                EXPECT_EQ(std::signbit(back), std::signbit(x)) << x;
                EXPECT_LE(std::fabs(back), std::fabs(x)) << x;  // truncated
                EXPECT_LT(std::fabs(x - back), std::fabs(x) * std::ldexp(1.0, -24)) << x;
            }
        }
    }
    for (double whole : {1.0, 7.0, 4095.0, 65536.0, 16777215.0, -123456.0}) {
        EXPECT_EQ(DecodeNumber5(Encoded5(whole).data()), whole);
    }
}

TEST(DeviceNumber5, SaturatesTooLargeAndFlushesTooSmall) {
    const Wire5 largest = {0xFF, 0xFF, 0xFF, 0xFF, 0x3F};
    const Wire5 mostNegative = {0xFF, 0xFF, 0xFF, 0xFF, 0xBF};
    EXPECT_EQ(Encoded5(std::ldexp(1.0, 512)), largest);  // 256^64
    EXPECT_EQ(Encoded5(1e300), largest);
    EXPECT_EQ(Encoded5(-std::numeric_limits<double>::infinity()), mostNegative);
    EXPECT_EQ(Encoded5(std::ldexp(255.5, 504)), (Wire5{0x00, 0x00, 0x80, 0xFF, 0x3F}));

    EXPECT_EQ(Encoded5(std::ldexp(1.0, -512)), (Wire5{0x00, 0x00, 0x00, 0x01, 0x40}));
    EXPECT_EQ(Encoded5(std::ldexp(1.0, -513)), Wire5{});
    EXPECT_EQ(Encoded5(-1e-300), Wire5{});
    EXPECT_EQ(Encoded5(std::numeric_limits<double>::quiet_NaN()), Wire5{});
}

}  // namespace
}  // namespace tandrin
