#include "platform/fpenv.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/threads.h"

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#endif

namespace plat {
namespace {

uint32_t Bits(float f) {
  uint32_t u;
  std::memcpy(&u, &f, sizeof u);
  return u;
}

uint64_t Bits(double d) {
  uint64_t u;
  std::memcpy(&u, &d, sizeof u);
  return u;
}

// Operands the compiler cannot fold, so the division happens at run time in
// whatever mode the thread is in.
float OneThird() {
  volatile float one = 1.0f;
  volatile float three = 3.0f;
  return one / three;
}

TEST(FloatModeTest, TheTestsRunInTheGameMode) {
  EXPECT_TRUE(InGameFloatMode());
  EXPECT_EQ(std::fegetround(), FE_TOWARDZERO);
}

TEST(FloatModeTest, AThreadComputesTowardZeroWhileTheHelperPrintsNearest) {
  float nearest;
  {
    NearestRoundingScope scope;
    nearest = OneThird();
  }
  // 1/3 in binary is 0.0101...; nearest rounds the last kept bit up.
  EXPECT_EQ(Bits(nearest), 0x3EAAAAABu);

  float inThread = 0.0f;
  Thread t;
  ASSERT_TRUE(t.Start([&] {
    inThread = OneThird();
    return 0u;
  }));
  ASSERT_TRUE(t.Wait(10000));
  EXPECT_NE(Bits(inThread), Bits(nearest));
  EXPECT_EQ(inThread, std::nextafter(nearest, 0.0f));
  EXPECT_EQ(Bits(inThread), 0x3EAAAAAAu);

  char text[16];
  ASSERT_EQ(FormatText(text, sizeof text, "%.0f", 45.6), 2);
  EXPECT_STREQ(text, "46");
  EXPECT_TRUE(InGameFloatMode());
}

TEST(FloatModeTest, PlainSnprintfInTheGameModeTruncates) {
  // This is why the formatting helper exists.
  volatile double value = 45.6;
  char text[16];
  std::snprintf(text, sizeof text, "%.0f", static_cast<double>(value));
  EXPECT_STREQ(text, "45");
  FormatText(text, sizeof text, "%.0f", static_cast<double>(value));
  EXPECT_STREQ(text, "46");
}

TEST(FloatModeTest, AThreadStartedFromANearestScopeStillRunsInTheGameMode) {
  // A new thread inherits its creator's mode on Linux; the thread start must
  // put game threads back into the game's mode.
  NearestRoundingScope scope;
  ASSERT_EQ(std::fegetround(), FE_TONEAREST);
  Thread t;
  uint32_t division = 0;
  ASSERT_TRUE(t.Start([&] {
    division = Bits(OneThird());
    return InGameFloatMode() ? 1u : 0u;
  }));
  ASSERT_TRUE(t.Wait(10000));
  EXPECT_EQ(t.ExitCode(), 1u);
  EXPECT_EQ(division, 0x3EAAAAAAu);
}

TEST(FloatModeTest, TheNearestScopeRestoresWhateverModeWasBefore) {
  {
    NearestRoundingScope outer;
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
    EXPECT_FALSE(InGameFloatMode());
    {
      NearestRoundingScope inner;
      EXPECT_EQ(std::fegetround(), FE_TONEAREST);
    }
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
  }
  EXPECT_EQ(std::fegetround(), FE_TOWARDZERO);
  ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
  {
    NearestRoundingScope scope;
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
  }
  EXPECT_EQ(std::fegetround(), FE_UPWARD);
  SetGameFloatMode();
  EXPECT_TRUE(InGameFloatMode());
}

TEST(FloatModeTest, RestoreFloatControlPutsBackTheGameModeOnlyWhenChanged) {
  const uint32_t kept = ReadFloatControl();
  EXPECT_FALSE(RestoreFloatControl(kept));
  std::fesetround(FE_TONEAREST);
  EXPECT_NE(ReadFloatControl(), kept);
  EXPECT_TRUE(RestoreFloatControl(kept));
  EXPECT_TRUE(InGameFloatMode());
  EXPECT_EQ(ReadFloatControl(), kept);
  EXPECT_FALSE(RestoreFloatControl(kept));
}

#if defined(__x86_64__) || defined(__i386__)
TEST(FloatModeTest, AChangeToTheSseUnitAloneIsSeen) {
  // fegetround reads only the x87 word; float arithmetic runs on SSE.
  const uint32_t kept = ReadFloatControl();
  const unsigned int csr = _mm_getcsr();
  _mm_setcsr(csr & ~0x6000u);  // SSE to nearest, x87 untouched
  EXPECT_EQ(std::fegetround(), FE_TOWARDZERO);
  EXPECT_FALSE(InGameFloatMode());
  EXPECT_NE(ReadFloatControl(), kept);
  EXPECT_TRUE(RestoreFloatControl(kept));
  EXPECT_EQ(_mm_getcsr() & 0x6000u, 0x6000u);
  EXPECT_TRUE(InGameFloatMode());
}

TEST(FloatModeTest, TheControlWordIgnoresStickyExceptionFlags) {
  const uint32_t kept = ReadFloatControl();
  volatile float zero = 0.0f;
  volatile float one = 1.0f;
  volatile float r = one / zero;  // raises the divide-by-zero flag
  (void)r;
  EXPECT_EQ(ReadFloatControl(), kept);
  std::feclearexcept(FE_ALL_EXCEPT);
}
#endif

TEST(FloatModeTest, ParsingRoundsToNearestAndLeavesTheGameMode) {
  char* end = nullptr;
  const char* text = "0.1x";
  const float f = ParseFloat(text, &end);
  EXPECT_EQ(Bits(f), 0x3DCCCCCDu);
  EXPECT_EQ(end, text + 3);
  EXPECT_EQ(Bits(ParseDouble("0.1", nullptr)), 0x3FB999999999999Aull);
  EXPECT_TRUE(InGameFloatMode());
  // The C library alone would truncate.
  EXPECT_EQ(Bits(std::strtof("0.1", nullptr)), 0x3DCCCCCCu);
  EXPECT_EQ(Bits(std::strtod("0.1", nullptr)), 0x3FB9999999999999ull);
}

TEST(FloatModeTest, FormatTextReturnsWhatSnprintfReturns) {
  char text[4];
  EXPECT_EQ(FormatText(text, sizeof text, "%d", 12345), 5);
  EXPECT_STREQ(text, "123");
  char wide[32];
  EXPECT_EQ(FormatText(wide, sizeof wide, "%.2f|%s", 2.675, "ok"), 7);
  // 2.675 is stored as 2.67499999..., so it reads 2.67 in either mode.
  EXPECT_STREQ(wide, "2.67|ok");
  // 0.126 would read 0.12 toward zero.
  EXPECT_EQ(FormatText(wide, sizeof wide, "%.2f", 0.126), 4);
  EXPECT_STREQ(wide, "0.13");
}

}  // namespace
}  // namespace plat
