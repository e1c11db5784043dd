#include "app/game_math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdlib>
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

namespace {

uint32_t Bits(float v) { return std::bit_cast<uint32_t>(v); }

// Distance in units in the last place between two floats of the same sign.
int64_t UlpsApart(float a, float b) {
  if (a == b) return 0;
  if ((Bits(a) >> 31) != (Bits(b) >> 31)) return INT64_MAX;
  return std::abs(static_cast<int64_t>(Bits(a)) - static_cast<int64_t>(Bits(b)));
}

}  // namespace

// The sweep runs in the game's mode (the test main sets it) on both sides: the
// C library's powf rounds toward zero there as GamePow does, so a fair answer
// is within one unit of it, where comparing against round-to-nearest would be
// off by one by design. Bases from 2^-20 to 2^20, exponents from -12 to 12,
// results running from the smallest floats through overflow (the largest
// float, toward zero), and the game's own use, 10^(level / 20).
TEST(GameMath, GamePowAgreesWithTheCLibraryWithinOneUlp) {
  ASSERT_EQ(std::fegetround(), FE_TOWARDZERO);
  struct Sweep {
    float base0, baseStep;  // base = base0 * baseStep^i
    int bases;
    float exponent0, exponentStep;
    int exponents;
  };
  const Sweep sweeps[] = {
      {0x1p-20f, 1.0137f, 2048, -12.0f, 0.0371f, 648},  // everywhere, the odd steps avoid only round cases
      {10.0f, 1.0f, 1, 0.0f, 0.0025f, 6000},             // 10^(level / 20) for levels 0 to 300
      {1.0f - 0x1p-12f, 1.0f + 0x1p-14f, 32, -4096.0f, 61.37f, 134},  // bases next to 1, large exponents
  };
  int64_t worst = 0, checked = 0;
  for (const Sweep& s : sweeps) {
    float base = s.base0;
    for (int i = 0; i < s.bases; ++i, base *= s.baseStep) {
      for (int j = 0; j < s.exponents; ++j) {
        const float exponent = s.exponent0 + s.exponentStep * static_cast<float>(j);
        const float ours = GamePow(base, exponent), theirs = std::pow(base, exponent);
        const int64_t apart = UlpsApart(ours, theirs);
        if (apart > 1) ADD_FAILURE() << base << " ^ " << exponent << ": " << ours << " against " << theirs;
        worst = std::max(worst, apart);
        ++checked;
      }
    }
  }
  EXPECT_LE(worst, 1);
  EXPECT_GT(checked, 1300000);
}

// Fixed results, so that a change of implementation shows: each peer of a
// game must run this very code. Bits taken from this implementation in the
// game's mode; each is the exact value rounded toward zero (worked out to 80
// digits once).
TEST(GameMath, GamePowGivesFixedBits) {
  ASSERT_EQ(std::fegetround(), FE_TOWARDZERO);
  const struct {
    float base, exponent;
    uint32_t bits;
  } rows[] = {
      {10.0f, 0.5f, 0x404a62c1},        // 3.16227766
      {10.0f, 1.55f, 0x420dece3},       // 35.4813350
      {10.0f, 37.5f, 0x7dbe529a},       // 3.16227766e37
      {10.0f, 2.0f, 0x42c80000},        // 100 exactly
      {10.0f, -1.0f, 0x3dcccccc},       // 0.1, below it
      {9.0f, 1.5f, 0x41d80000},         // 27 exactly
      {2.0f, -0.5f, 0x3f3504f3},        // 0.707106781
      {0.3f, 4.7f, 0x3b648898},         // 0.00348714558
      {1.0001f, 20000.0f, 0x40ec812e},  // 7.39076947
      {3.0f, -40.0f, 0x1fc236aa},       // 8.22526334e-20
      {7.0f, 46.0f, 0x7f7fffff},        // 7^46 overflows: the largest float toward zero
      {0.5f, 149.0f, 0x00000001},       // the smallest float
  };
  for (const auto& row : rows)
    EXPECT_EQ(Bits(GamePow(row.base, row.exponent)), row.bits) << row.base << " ^ " << row.exponent;
}

// The C library's special cases, in its own words: pow(x, 0) = pow(1, y) = 1,
// NaN spreads, a negative base takes integers only, zero and infinity.
TEST(GameMath, GamePowSpecialCasesFollowTheCLibrary) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  const struct {
    float base, exponent;
  } rows[] = {
      {kNaN, 0.0f},   {1.0f, kNaN},   {kNaN, 2.0f},    {2.0f, kNaN},  {-8.0f, 3.0f},    {-8.0f, 2.0f},
      {-8.0f, 0.5f},  {-2.0f, 0x1p25f}, {0.0f, 3.0f},  {-0.0f, 3.0f}, {-0.0f, -3.0f},   {-0.0f, 2.5f},
      {0.0f, -2.0f},  {kInf, 2.0f},   {kInf, -2.0f},   {-kInf, 3.0f}, {-kInf, -3.0f},   {-kInf, 2.0f},
      {0.5f, kInf},   {0.5f, -kInf},  {2.0f, kInf},    {2.0f, -kInf}, {-1.0f, kInf},    {-0.5f, -kInf},
      {4.0f, 0.5f},   {2.0f, 10.0f},  {0.25f, -0.5f},  {9.0f, 1.5f},
  };
  for (const auto& row : rows) {
    const float ours = GamePow(row.base, row.exponent), theirs = std::pow(row.base, row.exponent);
    if (theirs != theirs) {
      EXPECT_NE(ours, ours) << row.base << " ^ " << row.exponent;
    } else {
      EXPECT_EQ(Bits(ours), Bits(theirs)) << row.base << " ^ " << row.exponent;
    }
  }
}

// The steering's angle on every peer: a sweep over all four quadrants and
// many magnitudes against the C library's double atan2 (its float atan2 is
// itself off by a few units in this rounding mode), and fixed bits.
TEST(GameMath, GameAtan2AgreesWithTheCLibraryWithinOneUlp) {
  ASSERT_EQ(std::fegetround(), FE_TOWARDZERO);
  int64_t worst = 0, checked = 0;
  for (int i = 0; i < 1000; ++i) {
    const float y = -500.0f + 1.0013f * static_cast<float>(i) * 0.9997f + 0x1p-9f;
    for (int j = 0; j < 700; ++j) {
      const float x = (-350.0f + static_cast<float>(j) * 1.00071f) * (j % 3 == 0 ? 0x1p-12f : 1.0f);
      const auto exact = static_cast<float>(std::atan2(static_cast<double>(y), static_cast<double>(x)));
      const int64_t apart = UlpsApart(GameAtan2(y, x), exact);
      if (apart > 1) ADD_FAILURE() << "atan2(" << y << ", " << x << ")";
      worst = std::max(worst, apart);
      ++checked;
    }
  }
  EXPECT_LE(worst, 1);
  EXPECT_EQ(checked, 700000);
}

TEST(GameMath, GameAtan2GivesFixedBitsAndSpecialCases) {
  ASSERT_EQ(std::fegetround(), FE_TOWARDZERO);
  constexpr float kInf = std::numeric_limits<float>::infinity();
  const struct {
    float y, x;
    uint32_t bits;
  } rows[] = {
      {1.0f, 0.0f, 0x3fc90fda},    // pi/2, toward zero
      {1.0f, 1.0f, 0x3f490fda},    // pi/4
      {0.0f, -1.0f, 0x40490fda},   // pi
      {-0.0f, -1.0f, 0xc0490fda},  // -pi
      {-0.0f, 1.0f, 0x80000000},   // -0
      {0.0f, 0.0f, 0x00000000},
      {kInf, kInf, 0x3f490fda},
      {-kInf, -kInf, 0xc016cbe3},  // -3pi/4
      {3.0f, kInf, 0x00000000},
      {-5.0f, 0.0f, 0xbfc90fda},
  };
  for (const auto& row : rows)
    EXPECT_EQ(Bits(GameAtan2(row.y, row.x)), row.bits) << "atan2(" << row.y << ", " << row.x << ")";
  EXPECT_NE(GameAtan2(std::numeric_limits<float>::quiet_NaN(), 1.0f), GameAtan2(std::numeric_limits<float>::quiet_NaN(), 1.0f));
}
