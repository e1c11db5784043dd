#include "units/step/unit_scheduler.h"

#include <algorithm>

#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "units/step/unit_side_steps.h"
#include "units/step/unit_step.h"
#include "world/world.h"

namespace {

constexpr int kPlayerSlots = 32;
// The categories walked, table 1 then table 2; table 1 holds no stock units
// and the reserve no facilities.
constexpr int kOnMapCategories[] = {0, 1, 2, 3, kUnitCategoryFacility};
constexpr int kReserveCategories[] = {0, 1, 2, 3, kUnitCategoryStock};

void Step(World& world, int table, int category, UnitRecord& unit, int minutes) {
  if (table == kUnitTableReserve) {
    RunReserveStep(world, unit, minutes);
  } else if (category == kUnitCategoryFacility) {
    RunFacilityStep(world, unit, minutes);
  } else if (unit.carrier != 0) {
    RunCarriedUnitStep(world, unit, minutes);
  } else {
    // The elapsed count is a byte: the step covers at most 256 minutes, of
    // which it is told the byte's worth.
    RunUnitStep(world, unit, static_cast<uint8_t>(minutes > 255 ? 255 : minutes));
  }
}

void WalkArray(World& world, int table, int player, int category) {
  UnitTableArray* slot = world.unitTables.Slot(table, player, category);
  if (!slot) return;
  // Units filed during the walk lie beyond this count: they wait a minute.
  const int32_t count = slot->Count();
  int32_t i = 1;
  while (i < count) {
    // Only a step may file units into the array and so move its entries: the
    // entries and their count are taken afresh after each step, and the run
    // of waiting units between two steps is counted down from a local
    // pointer, which the byte stores cannot be taken to change.
    const int32_t limit = std::min(count, slot->Count());
    UnitTableEntry* const entries = slot->entries.data();
    for (; i < limit; ++i) {
      UnitTableEntry& entry = entries[i];
      if (!entry.unit) continue;
      if (entry.countdown == 0) break;
      entry.countdown -= 1;
      if (entry.minutesSince < 255) entry.minutesSince += 1;
    }
    if (i >= limit) return;
    UnitTableEntry& due = entries[i];
    ++i;
    Step(world, table, category, *due.unit, due.minutesSince + 1);
  }
}

}  // namespace

int SchedulerStartSlot(int32_t minutesLeft) { return static_cast<int>(((minutesLeft % kPlayerSlots) + kPlayerSlots) % kPlayerSlots); }

void RunUnitScheduler(World& world, int32_t minutesLeft) {
  const int start = SchedulerStartSlot(minutesLeft);
  for (int k = 0; k < kPlayerSlots; ++k) {
    const int player = (start + k) % kPlayerSlots;
    for (const int category : kOnMapCategories) WalkArray(world, kUnitTableOnMap, player, category);
    for (const int category : kReserveCategories) WalkArray(world, kUnitTableReserve, player, category);
  }
}
