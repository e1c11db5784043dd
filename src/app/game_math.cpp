#include "app/game_math.h"

#include <bit>
#include <cstdint>
#include <iterator>
#include <limits>

// The powers work in double, where a float's logarithm and exponential carry
// 29 bits more than the result needs, and round to float once at the end.
// Every constant is written in hexadecimal, exactly as it is stored, so no
// compiler has a decimal to round or an expression to fold in its own mode.
namespace {

constexpr double kLog2E = 0x1.71547652b82fep+0;  // 1 / ln 2
constexpr double kSqrt2 = 0x1.6a09e667f3bcdp+0;
// Sixteen times the largest error of Exp2(y log2 x) seen over the float range.
constexpr double kSnap = 0x1p-40;

// 1 / (2k + 1): ln m = 2 (s + s^3 / 3 + s^5 / 5 + ...) with s = (m - 1) / (m + 1).
constexpr double kOddReciprocals[] = {
    0x1.0000000000000p+0, 0x1.5555555555555p-2, 0x1.999999999999ap-3, 0x1.2492492492492p-3,
    0x1.c71c71c71c71cp-4, 0x1.745d1745d1746p-4, 0x1.3b13b13b13b14p-4, 0x1.1111111111111p-4,
    0x1.e1e1e1e1e1e1ep-5, 0x1.af286bca1af28p-5, 0x1.8618618618618p-5,
};

// (ln 2)^n / n!: 2^f = sum of these times f^n.
constexpr double kExp2Taylor[] = {
    0x1.0000000000000p+0,  0x1.62e42fefa39efp-1,  0x1.ebfbdff82c58fp-3,  0x1.c6b08d704a0c0p-5,
    0x1.3b2ab6fba4e77p-7,  0x1.5d87fe78a6731p-10, 0x1.430912f86c787p-13, 0x1.ffcbfc588b0c7p-17,
    0x1.62c0223a5c824p-20, 0x1.b5253d395e7c4p-24, 0x1.e4cf5158b8ecap-28, 0x1.e8cac7351bb25p-32,
    0x1.c3bd650fc2986p-36, 0x1.816193166d0f9p-40, 0x1.314964d5878a9p-44,
};

constexpr uint64_t kMantissaBits = 0x000FFFFFFFFFFFFFull;
constexpr uint64_t kExponentOfOne = 0x3FF0000000000000ull;

// log2 of a positive finite float, widened: a float is always a normal double.
double Log2(double x) {
  const uint64_t bits = std::bit_cast<uint64_t>(x);
  int exponent = static_cast<int>(bits >> 52) - 1023;
  double m = std::bit_cast<double>((bits & kMantissaBits) | kExponentOfOne);  // [1, 2)
  if (m > kSqrt2) {
    m *= 0.5;  // [sqrt(1/2), sqrt(2)]: |s| stays below 0.172
    ++exponent;
  }
  const double s = (m - 1.0) / (m + 1.0);
  const double s2 = s * s;
  double sum = 0.0;
  for (int k = static_cast<int>(std::size(kOddReciprocals)) - 1; k >= 0; --k) sum = sum * s2 + kOddReciprocals[k];
  return static_cast<double>(exponent) + 2.0 * s * sum * kLog2E;
}

// 2^t for t within the float range and a little past it.
double Exp2(double t) {
  if (t >= 129.0) return 0x1p129;  // past the largest float: the final rounding decides
  if (t <= -152.0) return 0.0;     // below half the smallest float
  int whole = static_cast<int>(t);  // toward zero, whatever the mode
  double f = t - whole;             // exact
  if (f > 0.5) {
    f -= 1.0;
    ++whole;
  } else if (f < -0.5) {
    f += 1.0;
    --whole;
  }
  double sum = 0.0;
  for (int n = static_cast<int>(std::size(kExp2Taylor)) - 1; n >= 0; --n) sum = sum * f + kExp2Taylor[n];
  const double scale = std::bit_cast<double>(static_cast<uint64_t>(whole + 1023) << 52);
  return sum * scale;  // exact: a power of two well inside the double range
}

bool IsNegative(float v) { return (std::bit_cast<uint32_t>(v) >> 31) != 0; }  // -0 included

}  // namespace

float GamePow(float base, float exponent) {
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  if (exponent == 0.0f || base == 1.0f) return 1.0f;
  if (base != base || exponent != exponent) return std::numeric_limits<float>::quiet_NaN();
  const float magnitude = IsNegative(base) ? -base : base;
  if (exponent == kInfinity || exponent == -kInfinity) {
    if (magnitude == 1.0f) return 1.0f;
    return (magnitude > 1.0f) == (exponent > 0.0f) ? kInfinity : 0.0f;
  }
  // From 2^24 on every float is an even integer.
  const bool large = exponent >= 0x1p24f || exponent <= -0x1p24f;
  const auto whole = large ? int64_t{0} : static_cast<int64_t>(exponent);
  const bool integer = large || static_cast<float>(whole) == exponent;
  const float sign = IsNegative(base) && integer && (whole & 1) != 0 ? -1.0f : 1.0f;
  if (magnitude == 0.0f) return exponent > 0.0f ? sign * 0.0f : sign * kInfinity;
  if (IsNegative(base) && !integer) return std::numeric_limits<float>::quiet_NaN();
  if (magnitude == kInfinity) return exponent > 0.0f ? sign * kInfinity : sign * 0.0f;
  const double t = static_cast<double>(exponent) * Log2(static_cast<double>(magnitude));
  const double power = Exp2(t);  // within 2^-44 of the exact value
  float result = static_cast<float>(power);
  // An exact power (27 = 9^1.5, 100 = 10^2) may come out a hair below its
  // value, and rounding toward zero would take a unit off it: a result that
  // close under the next float is that float. Others this moves are rare and
  // stay within a unit.
  const float next = std::bit_cast<float>(std::bit_cast<uint32_t>(result) + 1);
  if (next != kInfinity && static_cast<double>(next) - power <= power * kSnap) result = next;
  return sign * result;
}

namespace {

// atan(k / 8) for k = 0 to 8.
constexpr double kAtanEighths[] = {
    0x0.0p+0,              0x1.fd5ba9aac2f6ep-4, 0x1.f5b75f92c80ddp-3, 0x1.6f61941e4def1p-2, 0x1.dac670561bb4fp-2,
    0x1.1e00babdefeb4p-1,  0x1.4978fa3269ee1p-1, 0x1.700a7c5784634p-1, 0x1.921fb54442d18p-1,
};
constexpr double kPi = 0x1.921fb54442d18p+1;
constexpr double kHalfPi = 0x1.921fb54442d18p+0;
constexpr double kQuarterPi = 0x1.921fb54442d18p-1;

// atan t for t in [0, 1]: the nearest eighth c takes atan c from the table,
// and the rest, atan((t - c) / (1 + t c)) with an argument below 1/16, five
// terms of its series, far more than a float needs.
double AtanUnit(double t) {
  const auto k = static_cast<int>(t * 8.0 + 0.5);
  const double c = static_cast<double>(k) * 0.125;
  const double u = (t - c) / (1.0 + t * c);
  const double u2 = u * u;
  double series = kOddReciprocals[4];
  for (int n = 3; n >= 0; --n) series = kOddReciprocals[n] - u2 * series;
  return kAtanEighths[k] + u * series;
}

}  // namespace

float GameAtan2(float y, float x) {
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  if (y != y || x != x) return std::numeric_limits<float>::quiet_NaN();
  const bool yNegative = IsNegative(y), xNegative = IsNegative(x);
  const double a = yNegative ? -static_cast<double>(y) : static_cast<double>(y);
  const double b = xNegative ? -static_cast<double>(x) : static_cast<double>(x);
  double angle;
  if (a == static_cast<double>(kInfinity) && b == static_cast<double>(kInfinity)) {
    angle = kQuarterPi;
  } else if (a == 0.0 && b == 0.0) {
    angle = 0.0;
  } else if (b == static_cast<double>(kInfinity) || a == 0.0) {
    angle = 0.0;
  } else if (a == static_cast<double>(kInfinity) || b == 0.0) {
    angle = kHalfPi;
  } else if (a <= b) {
    angle = AtanUnit(a / b);
  } else {
    angle = kHalfPi - AtanUnit(b / a);
  }
  if (xNegative) angle = kPi - angle;
  const auto result = static_cast<float>(angle);
  return yNegative ? -result : result;
}
