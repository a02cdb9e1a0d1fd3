#include "core/Rounding.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tarnwake::core;

TEST(Rounding, RoundIsHalfToEven) {
    struct Case {
        double x;
        std::int64_t expected;
    };
    const Case cases[] = {{0.5, 0},        {1.5, 2},
                          {2.5, 2},        {3.5, 4},
                          {-0.5, 0},       {-1.5, -2},
                          {-2.5, -2},      {2.4999, 2},
                          {2.5001, 3},     {-2.5001, -3},
                          {1013.33, 1013}, {0.0, 0},
                          {-7.0, -7},      {1e12 + 0.5, 1000000000000}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, Round(c.x)) << c.x;
    }
    EXPECT_EQ(0, Round(std::numeric_limits<double>::quiet_NaN()));
}

TEST(Rounding, TruncAndDivGoTowardZero) {
    EXPECT_EQ(2, Trunc(2.9));
    EXPECT_EQ(-2, Trunc(-2.9));
    EXPECT_EQ(3, Div(7, 2));
    EXPECT_EQ(-3, Div(-7, 2));
    EXPECT_EQ(-3, Div(7, -2));
    EXPECT_EQ(0, Div(5, 0));
}

TEST(Rounding, MulDivRoundsHalfAwayFromZeroAndFlagsBadResults) {
    EXPECT_EQ(3, MulDiv(5, 1, 2));   // 2.5 -> 3
    EXPECT_EQ(-3, MulDiv(-5, 1, 2)); // -2.5 -> -3
    EXPECT_EQ(-3, MulDiv(5, 1, -2));
    EXPECT_EQ(2, MulDiv(7, 1, 3)); // 2.33 -> 2
    EXPECT_EQ(3, MulDiv(8, 1, 3)); // 2.67 -> 3
    // The product needs 64 bits: 5,400,000 globe units per degree times a latitude span.
    EXPECT_EQ(162000000, MulDiv(324000000, 270000000, 540000000));
    EXPECT_EQ(-1, MulDiv(1, 1, 0));
    EXPECT_EQ(-1, MulDiv(2147483647, 4, 1)); // does not fit 32 bits
}
