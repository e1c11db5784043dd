#pragma once
// Game arithmetic shared by every peer. Converting a game float to an integer
// must give the same answer everywhere, so NaN and values outside the 32-bit
// range become INT32_MIN instead of whatever the processor makes of them.
//
// The simulation calls no power, exponential, logarithm or trigonometric
// function of the C library: their last bits differ between library versions
// and between a call and a compiler's inline expansion. What the rules need is
// here, built from the four operations alone, so every peer in the game's
// rounding mode gets the same bits. (Square roots stay std::sqrt: IEEE has
// them correctly rounded in every mode, like the four operations.)
#include <cstdint>

// base to the power exponent, within one unit in the last place of the exact
// value rounded in the caller's mode. Special cases as the C library's powf:
// pow(x, 0) and pow(1, y) are 1, a negative base takes integer exponents only
// (NaN otherwise), zero and infinite bases give zero or infinity, NaN spreads.
float GamePow(float base, float exponent);

// The angle of the point (x, y) from the positive x axis, in radians from -pi
// to pi, within one unit in the last place of the exact value; signed zeros,
// infinities and NaN as the C library's atan2f.
float GameAtan2(float y, float x);

inline int32_t CheckedTrunc(float value) {
  if (!(value > -2147483648.0f && value < 2147483648.0f)) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// A quotient that stays 0 where the divisor is 0 (or the result is not a
// number), so an empty total never spreads NaN or infinity through the world.
inline float SafeDivide(float numerator, float denominator) {
  if (denominator == 0.0f) return 0.0f;
  const float q = numerator / denominator;
  // NaN, and infinity from a tiny divisor, both fail this test.
  if (!(q >= -3.402823466e38f && q <= 3.402823466e38f)) return 0.0f;
  return q;
}
