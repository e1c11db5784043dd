#include "sim/daily/facility_running.h"

#include "world/data_tables.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

float FacilityRunningCharge(const World& world, const UnitClassRecord& cls, float strength, float gdpPerCapita,
                            bool idle, bool idleForNothing) {
  const float t = cls.buildWorkPerPoint;
  // A class with no build time has no price per day: it costs nothing to keep.
  if (!(cls.flags & (kClassSettlement | kClassProduction)) || !(t > 0.0f)) return 0.0f;
  const bool bySize = (cls.flags & kClassRoad) && !(cls.flags & kClassSettlementPopulation);
  const float k = bySize ? static_cast<float>(world.mapHeader.hexScale) : world.mapHeader.scaleSquared;
  const float perDay = cls.price / t * k;
  if (!idle) return (strength + 1.0f) * (perDay / 448000.0f) * gdpPerCapita;
  if (!idleForNothing) return (2.0f * strength + 1.0f) * (perDay / 1792000.0f) * gdpPerCapita;
  return 0.0f;
}
