#pragma once
// What a unit on order takes to build and what the treasury pays for it.
// The daily build queue charges from these, and the build lists and the
// unit build pop-up show them, so a price shown is the price paid.
#include <cmath>
#include <cstdint>

#include "world/data_tables.h"

// The ordered size as the build counts it: its square root while below one,
// so a unit built short of full strength costs more per element.
inline float UnitBuildSize(float targetStrength) {
  const float t = targetStrength;
  return t < 1.0f && t > 0.0f ? std::sqrt(t) : (t > 0.0f ? t : 0.0f);
}

// The whole work of the build, in build points; the unit is done when less
// than one point is left.
inline float UnitBuildWork(const UnitClassRecord& cls, float targetStrength) {
  return static_cast<float>(cls.strengthPerSize) * cls.buildWorkPerPoint * UnitBuildSize(targetStrength) + 1.0f;
}

// The money the treasury pays for the whole work, a share of it with each
// point worked. The class's money price prices facilities, not units.
inline float UnitBuildCharge(const UnitClassRecord& cls, float targetStrength) {
  return static_cast<float>(cls.strengthPerSize) * cls.costPerElement * UnitBuildSize(targetStrength) + 0.9f;
}

// What the treasury pays for a build that goes ahead every day at a yard
// working `rate` points a day: each day's share, and the sum of the shares
// over the days until less than one point is left (a quick build starts with
// one point, done in a day). Nothing for a class whose work is nothing or
// less, which never progresses.
// The days a yard working `rate` points a day takes over the work: until
// less than one point is left (a quick build starts with one point, done in
// a day); a build longer than a century is counted as that long. Every
// screen that shows a build's days counts them here, as the queue does.
inline int32_t UnitBuildDaysFor(float work, float rate, bool quickBuild) {
  if (!(work > 0.0f) || !(rate > 0.0f) || !std::isfinite(work)) return 0;
  constexpr int32_t kLongestDays = 36500;
  int32_t days = 0;
  float left = quickBuild ? 1.0f : work;
  do {
    left -= rate;
    ++days;
  } while (!(left < 1.0f) && days < kLongestDays);
  return days;
}

struct UnitBuildPayment {
  float perDay = 0.0f;
  float total = 0.0f;
  int32_t days = 0;
};
inline UnitBuildPayment UnitBuildPaymentAt(const UnitClassRecord& cls, float targetStrength, float rate,
                                           bool quickBuild) {
  const float work = UnitBuildWork(cls, targetStrength);
  if (!(work > 0.0f) || !(rate > 0.0f) || !std::isfinite(work)) return {};
  UnitBuildPayment p;
  p.perDay = UnitBuildCharge(cls, targetStrength) / work * rate;
  p.days = UnitBuildDaysFor(work, rate, quickBuild);
  p.total = p.perDay * static_cast<float>(p.days);
  return p;
}
