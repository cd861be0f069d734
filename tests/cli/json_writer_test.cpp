// The results' JSON: every double reads back to the same bits, a
// transmitter's float as that float, values JSON cannot hold are null, and
// the text is always valid JSON.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "cli/json_writer.h"

namespace tandrin::cli {
namespace {

std::string Number(double value) {
    return JsonText(JsonNumber(value));
}

TEST(JsonNumber, DoublesReadBackExactlyAndFloatsStayShort) {
    EXPECT_EQ(Number(500.0 / 9.0), "55.55555555555556");
    EXPECT_EQ(Number(static_cast<double>(25.1f)), "25.1");
    EXPECT_EQ(Number(0.1), "0.1");
    EXPECT_EQ(Number(12.0), "12.0");
    EXPECT_EQ(Number(-0.0), "-0.0");
    EXPECT_EQ(Number(1e20), "1e+20");
    for (const double value : {500.0 / 9.0, 0.1, 1e300, -2.5e-308, 5e-324, 123456789.123456789,
                               0.30000000000000004, std::numeric_limits<double>::max()}) {
        const std::string text = Number(value);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), value) << text;
    }
    const float reading = 21.556187f;
    EXPECT_EQ(Number(reading), "21.556187");
}

TEST(JsonNumber, EveryFloatReadsBackAsItselfAndAsTheDoubleOfItsShortText) {
    std::mt19937 random(7);
    std::uniform_int_distribution<std::uint32_t> bits(0, 0x7F7FFFFF);  // finite, positive
    for (int i = 0; i < 200'000; ++i) {
        const std::uint32_t raw = bits(random) | (i % 2 == 0 ? 0x80000000u : 0u);
        float value;
        std::memcpy(&value, &raw, sizeof value);
        const std::string text = Number(value);
        ASSERT_EQ(std::strtof(text.c_str(), nullptr), value) << text;
        char shortest[32];
        *std::to_chars(shortest, shortest + sizeof shortest - 1, value).ptr = '\0';
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), std::strtod(shortest, nullptr)) << text;
    }
}

TEST(JsonObject, KeepsOrderNestsAndWritesNullForWhatJsonCannotHold) {
    const double inf = std::numeric_limits<double>::infinity();
    JsonObject row;
    row.Add("field", "tag").Add("value", 1.5f);
    EXPECT_EQ(JsonObject()
                  .Add("z", inf)
                  .Add("b", -inf)
                  .Add("a", std::numeric_limits<double>::quiet_NaN())
                  .Add("ports", std::vector<std::string>{"/dev/ttyUSB0", "/dev/pts/3"})
                  .Add("addresses", std::vector<int>{3, 7})
                  .Add("ok", true)
                  .Add("status", JsonObject().Add("more_status", false))
                  .Add("rows", std::vector<JsonObject>{row, row})
                  .Text(),
              R"({"z":null,"b":null,"a":null,"ports":["/dev/ttyUSB0","/dev/pts/3"],)"
              R"("addresses":[3,7],"ok":true,"status":{"more_status":false},)"
              R"("rows":[{"field":"tag","value":1.5},{"field":"tag","value":1.5}]})");
}

TEST(JsonObject, EscapesTextsAndReplacesBytesThatAreNotUtf8) {
    EXPECT_EQ(JsonObject().Add("a", "q\"b\\c\n\x01").Text(), R"({"a":"q\"b\\c\n\u0001"})");
    EXPECT_EQ(JsonObject().Add("a", "\xE2\x84\x83").Text(), "{\"a\":\"\xE2\x84\x83\"}");
    // A file name given in Latin-1 still gives a document a reader takes.
    EXPECT_EQ(JsonObject().Add("file", std::string("caf\xE9.json")).Text(),
              "{\"file\":\"caf\xEF\xBF\xBD.json\"}");
}

}  // namespace
}  // namespace tandrin::cli
