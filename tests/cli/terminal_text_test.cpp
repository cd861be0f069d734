#include "cli/terminal_text.h"

#include <gtest/gtest.h>

#include "platform/text_codec.h"
#include "support/scoped_env.h"

namespace tandrin::cli {
namespace {

TEST(Printable, ControlsAndBytesThatAreNotUtf8AreShownEscapedTheRestKept) {
    EXPECT_EQ(Printable("21.5 \xC2\xB0"
                        "C \xE2\x84\x83 \xE6\xB8\xA9\xE5\xBA\xA6\ttab"),
              "21.5 \xC2\xB0"
              "C \xE2\x84\x83 \xE6\xB8\xA9\xE5\xBA\xA6\ttab");
    EXPECT_EQ(Printable("\x1B]0;x\x07\x1B[2J\r\n\x7F"), "\\x1B]0;x\\x07\\x1B[2J\\x0D\\x0A\\x7F");
    EXPECT_EQ(Printable("line one\nline two", true), "line one\nline two");
    // C1 CSI as UTF-8, a lone continuation byte, an overlong slash, a cut-off tail.
    EXPECT_EQ(Printable("\xC2\x9B"
                        "31m \x80 \xC0\xAF \xE2\x84"),
              "\\xC2\\x9B31m \\x80 \\xC0\\xAF \\xE2\\x84");
}

TEST(UserText, ConvertedFromTheLocalesCharacterSetWhenNotUtf8) {
    EXPECT_EQ(UserTextToUtf8("J\xC3\xB6rg"), "J\xC3\xB6rg");
    {
        const test::ScopedEnv latin1{"LC_ALL", "de_DE.ISO-8859-1@euro"};
        EXPECT_EQ(UserTextToUtf8("J\xF6rg"), "J\xC3\xB6rg");
    }
    const test::ScopedEnv utf8{"LC_ALL", "C.UTF-8"};
    EXPECT_EQ(UserTextToUtf8("J\xF6rg"), "J\xEF\xBF\xBDrg");
}

}  // namespace
}  // namespace tandrin::cli
