#include "procedures/loop_check_points.h"

#include <gtest/gtest.h>

#include "procedures/loop_check_record.h"

namespace tandrin {
namespace {

// Exactly the tolerance passes at every default point, on both sides,
// although the subtraction is off by a few ulps at some of them; a
// ten-thousandth of a percent more fails.
TEST(LoopCheckPoints, TheToleranceEdgeIsExactAtEveryPointAndSide) {
    for (const double percent : {0.0, 25.0, 50.0, 75.0, 100.0}) {
        const double expected = ExpectedCurrent(percent);
        for (const double sign : {1.0, -1.0}) {
            const LoopCheckRow edge = JudgeReading(percent, expected + sign * 0.016, 0.1);
            EXPECT_TRUE(edge.pass) << percent << " " << sign << " " << edge.errorPercent;
            const LoopCheckRow beyond = JudgeReading(percent, expected + sign * 0.016016, 0.1);
            EXPECT_NEAR(beyond.errorPercent, sign * 0.1001, 1e-9);
            EXPECT_FALSE(beyond.pass) << percent << " " << sign;
        }
    }
    // The plain comparison would have failed the edge at 50 %.
    EXPECT_GT(ErrorPercent(12.0, 12.016), 0.1);
    EXPECT_TRUE(WithinTolerance(0.0, 0.0001));
    EXPECT_TRUE(WithinTolerance(0.0000004, 0.0));  // below the judging resolution
    EXPECT_FALSE(WithinTolerance(0.0000006, 0.0));
    EXPECT_FALSE(WithinTolerance(NAN, 10));
    EXPECT_FALSE(WithinTolerance(-1e300, 10));
}

TEST(LoopCheckPoints, ExpectedCurrentAndErrorFollowTheSixteenMilliampSpan) {
    EXPECT_DOUBLE_EQ(ExpectedCurrent(0), 4.0);
    EXPECT_DOUBLE_EQ(ExpectedCurrent(25), 8.0);
    EXPECT_DOUBLE_EQ(ExpectedCurrent(100), 20.0);
    EXPECT_DOUBLE_EQ(ExpectedCurrent(-1.25), 3.8);
    EXPECT_DOUBLE_EQ(ErrorPercent(20.0, 19.84), -1.0);
    const LoopCheckRow row = JudgeReading(75, 16.032, 0.25);
    EXPECT_DOUBLE_EQ(row.expectedMa, 16.0);
    EXPECT_NEAR(row.errorPercent, 0.2, 1e-12);
    EXPECT_TRUE(row.pass);
    // The shown error agrees with the verdict and rounds half away from zero.
    EXPECT_EQ(ErrorText(ErrorPercent(8.0, 8.001)), "0.0063");
    EXPECT_EQ(ErrorText(ErrorPercent(12.0, 12.016)), "0.1000");
    EXPECT_EQ(ErrorText(ErrorPercent(12.0, 11.983984)), "-0.1001");
    EXPECT_EQ(ErrorText(-0.00004), "0.0000");
    EXPECT_EQ(ErrorText(-12.5), "-12.5000");
}

TEST(LoopCheckPoints, PointListsAreDecimalsWithinTheFixableRange) {
    EXPECT_EQ(ParsePoints("0,25,50,75,100"), (std::vector<double>{0, 25, 50, 75, 100}));
    EXPECT_EQ(ParsePoints(" 10 , 90.5 "), (std::vector<double>{10, 90.5}));
    EXPECT_EQ(ParsePoints("-1.25,103.125"), (std::vector<double>{-1.25, 103.125}));
    for (const char* bad : {"", "0,,50", "0,50,", "abc", "104", "-1.3", "1e2", "12,5x", "nan",
                            "0;50", "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21"}) {
        EXPECT_FALSE(ParsePoints(bad)) << bad;
    }
    EXPECT_EQ(PointsText({0, 12.5, 100}), "0,12.5,100");
    EXPECT_EQ(ParsePoints(PointsText({-1.25, 33.3})), (std::vector<double>{-1.25, 33.3}));

    EXPECT_EQ(ParseDecimal(" +12.004 "), 12.004);
    EXPECT_FALSE(ParseDecimal("12,004"));
    EXPECT_FALSE(ParseDecimal("12.0 mA"));
    EXPECT_FALSE(ToleranceValid(0));
    EXPECT_TRUE(ToleranceValid(10));
    EXPECT_FALSE(SettleValid(-1));
    EXPECT_FALSE(ReadingValid(30.001));
}

}  // namespace
}  // namespace tandrin
