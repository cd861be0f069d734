// JSON numbers: every double reads back to the same bits, and values JSON
// cannot hold are null.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

#include "cli/json_writer.h"

namespace tandrin::cli {
namespace {

TEST(JsonNumber, DoublesReadBackExactlyAndFloatsStayShort) {
    EXPECT_EQ(JsonNumber(500.0 / 9.0), "55.55555555555556");
    EXPECT_EQ(JsonNumber(static_cast<double>(25.1f)), "25.1");
    EXPECT_EQ(JsonNumber(0.1), "0.1");
    EXPECT_EQ(JsonNumber(3.0), "3.0");
    EXPECT_EQ(JsonNumber(-0.0), "-0.0");
    for (const double value : {500.0 / 9.0, 0.1, 1e300, -2.5e-308, 5e-324, 123456789.123456789,
                               0.30000000000000004, std::numeric_limits<double>::max()}) {
        const std::string text = JsonNumber(value);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), value) << text;
    }
    // A transmitter's float reads back as that float.
    const float reading = 21.556187f;
    const std::string text = JsonNumber(reading);
    EXPECT_EQ(text, "21.556187");
    EXPECT_EQ(std::strtof(text.c_str(), nullptr), reading);
}

TEST(JsonNumber, InfinitiesAndNanAreNull) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(JsonObject()
                  .Add("a", inf)
                  .Add("b", -inf)
                  .Add("c", std::numeric_limits<double>::quiet_NaN())
                  .Add("d", 1.5)
                  .Text(),
              R"({"a":null,"b":null,"c":null,"d":1.5})");
}

}  // namespace
}  // namespace tandrin::cli
