#include <gtest/gtest.h>

#include "platform/text_codec.h"

namespace tandrin {
namespace {

TEST(TextCodec, ConvertsBothInterfaceCodePages) {
    EXPECT_EQ(ToUtf8("\xB0"
                     "C",
                     false),
              "\xC2\xB0"
              "C");
    EXPECT_EQ(ToUtf8("\xA1\xE6", true), "\xE2\x84\x83");  // the Celsius sign
    EXPECT_EQ(FromUtf8("\xE2\x84\x83", true), "\xA1\xE6");
    EXPECT_EQ(FromUtf8("\xC2\xB0"
                       "C",
                       false),
              "\xB0"
              "C");
}

TEST(TextCodec, BadBytesAreMarkedAndTheRestKept) {
    // A cut-off GBK character in the middle and at the end of a text.
    EXPECT_EQ(ToUtf8("A\xA1"
                     "B\xA1",
                     true),
              "A\xEF\xBF\xBD"
              "B\xEF\xBF\xBD");
    // A Chinese character has no Windows-1252 form.
    const std::string western = FromUtf8("x\xE2\x84\x83y", false);
    EXPECT_EQ(western.front(), 'x');
    EXPECT_EQ(western.back(), 'y');
    EXPECT_EQ(western.find('\0'), std::string::npos);
}

}  // namespace
}  // namespace tandrin
