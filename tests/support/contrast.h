#pragma once
// The contrast of two colours as readable-text guidelines measure it: the
// ratio of their relative luminances, each plus 0.05 (1:1 to 21:1).
#include <algorithm>
#include <cmath>
#include <cstdint>

inline double Luminance(uint32_t argb) {
  auto channel = [](uint32_t v) {
    const double c = v / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel((argb >> 16) & 0xFF) + 0.7152 * channel((argb >> 8) & 0xFF) + 0.0722 * channel(argb & 0xFF);
}

inline double Contrast(uint32_t a, uint32_t b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
