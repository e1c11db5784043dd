#include "app/duration_text.h"

#include <gtest/gtest.h>

#include <limits>

#include "app/ordinal_suffix.h"
#include "platform/fpenv.h"

namespace {

TEST(DurationText, DaysRoundUpAndLongSpansReadInYears) {
  plat::SetGameFloatMode();
  struct Case {
    float days;
    const char* text;
  };
  const Case cases[] = {
      {0.0f, "1 Day"},          // held at one day
      {0.005f, "1 Day"},        // 0.995: still one
      {1.0f, "1 Day"},          // 1.99
      {1.02f, "2 Days"},        // 2.01
      {-40.0f, "1 Day"},
      {730.0f, "730 Days"},     // 730.99
      {730.5f, "2.0 Years"},    // 731.49: years of the exact days
      {1095.0f, "3.0 Years"},
      {36500.0f, "100.0 Years"},
      {std::numeric_limits<float>::quiet_NaN(), "1 Day"},
      {std::numeric_limits<float>::infinity(), "inf Years"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDuration(c.days), c.text) << c.days;
}

TEST(OrdinalSuffixText, EntryByLastDigitsWithTheTeensApart) {
  struct Case {
    int number;
    int entry;
  };
  const Case cases[] = {{0, 0},   {1, 1},   {2, 2},   {3, 3},   {4, 4},   {10, 4},  {11, 4},  {12, 4},
                        {13, 4},  {21, 1},  {22, 2},  {23, 3},  {101, 1}, {111, 4}, {112, 4}, {113, 4},
                        {-21, 1}, {-11, 4}, {std::numeric_limits<int>::min(), 4}};
  const char* const table[kOrdinalSuffixEntries] = {"zero", "st", "nd", "rd", "th"};
  for (const Case& c : cases) {
    EXPECT_EQ(OrdinalSuffixEntry(c.number), c.entry) << c.number;
    EXPECT_EQ(OrdinalSuffix(c.number, table), table[c.entry]) << c.number;
  }
  const char* const gaps[kOrdinalSuffixEntries] = {nullptr, "st", nullptr, nullptr, nullptr};
  EXPECT_EQ(OrdinalSuffix(2, gaps), "");
  EXPECT_EQ(OrdinalSuffix(1, nullptr), "");
}

}  // namespace
