#include "units/unit_scheduler.h"

void RunUnitScheduler(World&, int32_t) {
  // Units take their steps once the unit step comes; the minute runs without them.
}
