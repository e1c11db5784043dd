#include "app/duration_text.h"

#include "app/game_math.h"
#include "platform/fpenv.h"

namespace {

constexpr float kRoundUp = 0.99f;
constexpr float kFirstYearsCount = 731.0f;
constexpr double kDaysPerYear = 365.0;

}  // namespace

std::string FormatDuration(float days) {
  const float rounded = days + kRoundUp;
  char text[32];
  // Compared as a float first, so that a span too long for a whole count
  // still reads in years instead of wrapping to a day.
  if (rounded >= kFirstYearsCount) {
    plat::FormatText(text, sizeof text, "%2.1f %s", static_cast<double>(days) / kDaysPerYear, "Years");
    return text;
  }
  int32_t whole = CheckedTrunc(rounded);
  if (whole < 1) whole = 1;  // also what a NaN count shows
  plat::FormatText(text, sizeof text, "%d %s", whole, whole == 1 ? "Day" : "Days");
  return text;
}
