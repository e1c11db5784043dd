#pragma once
// Game arithmetic shared by every peer. Converting a game float to an integer
// must give the same answer everywhere, so NaN and values outside the 32-bit
// range become INT32_MIN instead of whatever the processor makes of them.
#include <cstdint>

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
