#include "screens/common/units/launch_verdict_lines.h"

#include <cstdio>
#include <cstring>

#include "units/transport/launch_verdict.h"
#include "world/unit_class.h"
#include "world/world.h"

std::string LaunchReachLine(const LaunchVerdict& v) {
  char text[64];
  if (v.distance >= 0)
    std::snprintf(text, sizeof text, "Reach %d hexes, target %d", v.reach, v.distance);
  else
    std::snprintf(text, sizeof text, "Reach %d hexes", v.reach);
  return text;
}

std::string LaunchStrikesLine(const World& world, const LaunchVerdict& v) {
  if (v.bar != LaunchBar::kNone) return LaunchBarText(v.bar);
  const UnitClassRecord* struck = v.strikes > 0 ? ClassRecordAt(world, v.strikes) : nullptr;
  if (!struck) return "Strikes the hex";
  return "Strikes " + std::string(struck->name, strnlen(struck->name, sizeof struck->name));
}
