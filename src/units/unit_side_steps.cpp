#include "units/unit_side_steps.h"

#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "world/world.h"

namespace {

void WakeAgainLater(UnitRecord& unit) {
  if (!unit.tableEntry) return;
  unit.tableEntry->countdown = kSideStepPause - 1;
  unit.tableEntry->minutesSince = 0;
}

}  // namespace

void RunFacilityStep(World&, UnitRecord& facility, int) { WakeAgainLater(facility); }
