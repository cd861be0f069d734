#include "procedures/reading_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tandrin {
namespace {

std::vector<ReadingLines::Line> All(ReadingLines& lines) {
    std::vector<ReadingLines::Line> out;
    while (auto line = lines.Take()) {
        out.push_back(*line);
    }
    return out;
}

TEST(ReadingLines, LinesSplitAnywhereComeOutWholeAndTheLastNeedsNoEnd) {
    const std::string input = "4.0\r\n\n# note\n12.016\n20";
    for (std::size_t chunk = 1; chunk <= input.size(); ++chunk) {
        ReadingLines lines;
        std::vector<std::string> texts;
        for (std::size_t at = 0; at < input.size(); at += chunk) {
            lines.Append(std::string_view(input).substr(at, chunk));
            for (const auto& line : All(lines)) {
                EXPECT_FALSE(line.tooLong);
                texts.push_back(line.text);
            }
        }
        EXPECT_EQ(texts.size(), 4u) << "the last line waits for the end";
        lines.Finish();
        for (const auto& line : All(lines)) {
            texts.push_back(line.text);
        }
        EXPECT_TRUE(lines.Exhausted());
        EXPECT_EQ(texts, (std::vector<std::string>{"4.0", "", "# note", "12.016", "20"})) << chunk;
    }
}

TEST(ReadingLines, ALongLineKeepsOnlyItsStartAndTheNextLineFollows) {
    ReadingLines lines(8);
    lines.Append("12345678\r\n123456789");
    ASSERT_EQ(All(lines).size(), 1u) << "eight bytes and a CRLF end are a line";
    for (int i = 0; i < 1000; ++i) {
        lines.Append(std::string(4096, '9'));
        EXPECT_FALSE(lines.Take());
    }
    lines.Append("\n5.0\n");
    const auto taken = All(lines);
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_TRUE(taken[0].tooLong);
    EXPECT_EQ(taken[0].text, "12345678");
    EXPECT_EQ(taken[1].text, "5.0");
    EXPECT_FALSE(taken[1].tooLong);

    ReadingLines unended(8);
    unended.Append("123456789");
    unended.Finish();
    const auto last = All(unended);
    ASSERT_EQ(last.size(), 1u);
    EXPECT_TRUE(last[0].tooLong);
}

}  // namespace
}  // namespace tandrin
