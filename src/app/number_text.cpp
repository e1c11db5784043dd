#include "app/number_text.h"

#include <cmath>

#include "platform/fpenv.h"

namespace {

// NaN and values beyond the 32-bit range become INT32_MIN.
int CheckedInt(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
  return static_cast<int>(value);
}

}  // namespace

char* FormatNumberText(char* out, int32_t currency, int32_t decimals, const char* leading, int32_t abbreviate,
                       const char* trailing, int32_t pad, double value) {
  if (!out) return out;
  const char* currencyText = currency ? "$ " : "";
  const char* padText = pad ? " " : "";
  const char* lead = leading ? leading : "";
  const char* trail = trailing ? trailing : "";
  if (decimals == 0) value = std::floor(value);
  const double magnitude = std::fabs(value);
  // H keeps the sign; G is a three-digit group of the magnitude.
  const auto H = [&](double n) { return CheckedInt(std::trunc(value / n)); };
  const auto G = [&](double n) { return CheckedInt(std::fmod(std::trunc(magnitude / n), 1000.0)); };
  const size_t size = kNumberTextSize;

  if (!(magnitude >= 1000.0) || std::isinf(magnitude)) {
    plat::FormatText(out, size, "%s%s%s%.*f%s%s", lead, padText, currencyText, static_cast<int>(decimals), value,
                     padText, trail);
  } else if (magnitude < 1e6) {
    plat::FormatText(out, size, "%s%s%s%.0d,%3.3d%s%s", lead, padText, currencyText, H(1e3), G(1), padText, trail);
  } else if (magnitude < 1e9) {
    if (abbreviate) {
      const int hundredths = CheckedInt(std::fmod(std::trunc(magnitude / 1e4), 100.0));
      plat::FormatText(out, size, "%s%s%s%.0d.%2.2d M%s%s", lead, padText, currencyText, H(1e6), hundredths, padText,
                       trail);
    } else {
      plat::FormatText(out, size, "%s%s%s%.0d,%3.3d,%3.3d%s%s", lead, padText, currencyText, H(1e6), G(1e3), G(1),
                       padText, trail);
    }
  } else if (magnitude < 1e12) {
    if (abbreviate) {
      plat::FormatText(out, size, "%s%s%s%.0d,%3.3d M%s%s", lead, padText, currencyText, H(1e9), G(1e6), padText,
                       trail);
    } else {
      plat::FormatText(out, size, "%s%s%s%.0d,%3.3d,%3.3d,%3.3d%s%s", lead, padText, currencyText, H(1e9), G(1e6),
                       G(1e3), 0, padText, trail);
    }
  } else if (abbreviate) {
    plat::FormatText(out, size, "%s%s%s%.0d,%3.3d,%3.3d M%s%s", lead, padText, currencyText, H(1e12), G(1e9), G(1e6),
                     padText, trail);
  } else {
    plat::FormatText(out, size, "%s%s%s%.0d,%3.3d,%3.3d,%3.3d,%3.3d%s%s", lead, padText, currencyText, H(1e12), G(1e9),
                     G(1e6), G(1e3), 0, padText, trail);
  }
  return out;
}
