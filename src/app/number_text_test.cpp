#include "app/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

std::string Number(double value, int32_t decimals = 0, int32_t abbreviate = 0, int32_t currency = 0, int32_t pad = 0,
                   const char* leading = "", const char* trailing = "") {
  char out[kNumberTextSize];
  std::memset(out, '#', sizeof out);
  char* result = FormatNumberText(out, currency, decimals, leading, abbreviate, trailing, pad, value);
  EXPECT_EQ(result, out);
  EXPECT_LT(std::strlen(out), kNumberTextSize);
  return out;
}

TEST(FormatNumberText, DecimalsZeroFloorsFirst) {
  EXPECT_EQ(Number(2.9), "2");
  EXPECT_EQ(Number(-2.1), "-3");
  EXPECT_EQ(Number(-0.5), "-1");
  EXPECT_EQ(Number(0.0), "0");
  EXPECT_EQ(Number(999.5), "999");
  EXPECT_EQ(Number(999.5, 2), "999.50");
  EXPECT_EQ(Number(-1000.5), "-1,001");
}

TEST(FormatNumberText, DecimalsRoundToNearestInGameMode) {
  // Under round toward zero the C library would print 0.0 and 45.
  EXPECT_EQ(Number(0.07, 1), "0.1");
  EXPECT_EQ(Number(45.6, 1), "45.6");
  EXPECT_EQ(Number(12.345678, 3), "12.346");
}

TEST(FormatNumberText, ThousandsGroups) {
  EXPECT_EQ(Number(1000), "1,000");
  EXPECT_EQ(Number(1234.56, 2), "1,234");  // no decimals once grouped
  EXPECT_EQ(Number(-1500), "-1,500");
  EXPECT_EQ(Number(-1500, 0, 1), "-1,500");
  EXPECT_EQ(Number(999999), "999,999");
  EXPECT_EQ(Number(1234567), "1,234,567");
  EXPECT_EQ(Number(1000007), "1,000,007");
  EXPECT_EQ(Number(-1234567), "-1,234,567");
}

TEST(FormatNumberText, Millions) {
  EXPECT_EQ(Number(1234567, 0, 1), "1.23 M");
  EXPECT_EQ(Number(1000000, 0, 1), "1.00 M");
  EXPECT_EQ(Number(1059999, 0, 1), "1.05 M");
  EXPECT_EQ(Number(-1500000, 0, 1), "-1.50 M");
  EXPECT_EQ(Number(999999999, 0, 1), "999.99 M");
}

TEST(FormatNumberText, BillionsDropTheUnits) {
  EXPECT_EQ(Number(1234567890), "1,234,567,000");
  EXPECT_EQ(Number(1234567890, 0, 1), "1,234 M");
  EXPECT_EQ(Number(-1234567890), "-1,234,567,000");
  EXPECT_EQ(Number(1000000000), "1,000,000,000");
  EXPECT_EQ(Number(1234567890123.0), "1,234,567,890,000");
  EXPECT_EQ(Number(1234567890123.0, 0, 1), "1,234,567 M");
  EXPECT_EQ(Number(-2000000000000.0, 0, 1), "-2,000,000 M");
}

TEST(FormatNumberText, CurrencyPadAndTexts) {
  EXPECT_EQ(Number(5, 0, 0, 1, 1), " $ 5 ");
  EXPECT_EQ(Number(5, 0, 0, 1, 0), "$ 5");
  EXPECT_EQ(Number(1500, 0, 0, 1, 1, "Cost:", "/day"), "Cost: $ 1,500 /day");
  EXPECT_EQ(Number(2500000, 0, 1, 0, 0, "(", ")"), "(2.50 M)");
  EXPECT_EQ(Number(7, 0, 0, 0, 0, nullptr, nullptr), "7");
}

TEST(FormatNumberText, CutTo47Characters) {
  const std::string lead(60, 'a');
  EXPECT_EQ(Number(5, 0, 0, 0, 0, lead.c_str()), std::string(47, 'a'));
  EXPECT_EQ(Number(1.0 / 3.0, 60).size(), 47u);
}

TEST(FormatNumberText, NonFiniteAndHugeValuesStayWithinTheBuffer) {
  EXPECT_EQ(Number(NAN, 2), "nan");
  EXPECT_EQ(Number(INFINITY, 2), "inf");
  EXPECT_EQ(Number(-INFINITY, 0), "-inf");
  // Beyond 32-bit leading groups: bounded nonsense, never a crash.
  const std::string huge = Number(1e30, 0, 1);
  EXPECT_EQ(huge.rfind("-2147483648,", 0), 0u) << huge;
  EXPECT_EQ(huge.substr(huge.size() - 2), " M") << huge;
}

}  // namespace
