#include "app/game_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(GameMath, CheckedTruncTruncatesTowardZero) {
  EXPECT_EQ(CheckedTrunc(2.9f), 2);
  EXPECT_EQ(CheckedTrunc(-2.9f), -2);
  EXPECT_EQ(CheckedTrunc(0.0f), 0);
  EXPECT_EQ(CheckedTrunc(2147483520.0f), 2147483520);  // the largest float below 2^31
  EXPECT_EQ(CheckedTrunc(-2147483648.0f), INT32_MIN);
}

TEST(GameMath, CheckedTruncGivesInt32MinForNaNAndOutOfRange) {
  EXPECT_EQ(CheckedTrunc(std::numeric_limits<float>::quiet_NaN()), INT32_MIN);
  EXPECT_EQ(CheckedTrunc(2147483648.0f), INT32_MIN);
  EXPECT_EQ(CheckedTrunc(3.0e9f), INT32_MIN);
  EXPECT_EQ(CheckedTrunc(-3.0e9f), INT32_MIN);
  EXPECT_EQ(CheckedTrunc(std::numeric_limits<float>::infinity()), INT32_MIN);
}

TEST(GameMath, SafeDivideNeverGivesNaNOrInfinity) {
  EXPECT_EQ(SafeDivide(6.0f, 3.0f), 2.0f);
  EXPECT_EQ(SafeDivide(6.0f, 0.0f), 0.0f);
  EXPECT_EQ(SafeDivide(0.0f, 0.0f), 0.0f);
  EXPECT_EQ(SafeDivide(std::numeric_limits<float>::quiet_NaN(), 2.0f), 0.0f);
  EXPECT_EQ(SafeDivide(std::numeric_limits<float>::infinity(), 2.0f), 0.0f);
  EXPECT_EQ(SafeDivide(1.0f, -std::numeric_limits<float>::infinity()), -0.0f);
}
