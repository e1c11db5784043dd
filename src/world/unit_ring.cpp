#include "world/unit_ring.h"

#include "world/day_tallies.h"
#include "world/hex_stack_chains.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/id_lookups.h"
#include "world/world.h"

void InsertUnitInRing(World& world, UnitRecord& unit) {
  WorldLockGuard guard(world, kLockUnits);
  UnitRecord* head = world.units;
  if (world.unitIndex.head() != head) ReindexUnits(world);
  world.unitIndex.Add(unit, unit.id);
  if (!head) {
    unit.prev = unit.next = &unit;
    world.units = &unit;
    world.unitIndex.SetHead(&unit);
    return;
  }
  UnitRecord* after;
  if (unit.id < head->id) {
    after = head->prev;
    world.units = &unit;
  } else {
    // Walk back from the last unit: files and commands mostly bring ids in
    // ascending order, so the walk is usually one step.
    after = head->prev;
    while (unit.id < after->id) after = after->prev;
  }
  UnitRecord* before = after->next;
  unit.prev = after;
  unit.next = before;
  after->next = &unit;
  before->prev = &unit;
  world.unitIndex.SetHead(world.units);
}

HexCell* UnitHexCell(World& world, const UnitRecord& unit) {
  const int32_t width = world.mapHeader.width;
  const int32_t height = world.mapHeader.height;
  if (unit.x == 0 && unit.y == 0) return nullptr;
  if (width <= 0 || unit.y < 0 || unit.y >= height) return nullptr;
  const size_t index = static_cast<size_t>(unit.y) * static_cast<size_t>(width) + WrapX(unit.x, width);
  if (index >= world.cells.size()) return nullptr;
  return &world.cells[index];
}

void RemoveUnitFromMap(World& world, UnitRecord& unit) {
  MarkUnitGone(world, unit);
  if (HexCell* cell = UnitHexCell(world, unit)) {
    HexStackRemove(world, *cell, unit);
    if (cell->stack && cell->stack->lead == &unit) cell->stack->lead = nullptr;
  }
  {
    WorldLockGuard guard(world, kLockUnits);
    const bool indexed = world.unitIndex.head() == world.units;
    if (indexed) world.unitIndex.Remove(unit, unit.id);
    if (unit.next) {
      if (world.units == &unit) world.units = unit.next == &unit ? nullptr : unit.next;
      unit.prev->next = unit.next;
      unit.next->prev = unit.prev;
    } else if (world.units == &unit) {
      world.units = nullptr;
    }
    unit.prev = unit.next = nullptr;
    if (indexed) world.unitIndex.SetHead(world.units);
  }
  g_unitRecordEpoch.fetch_add(1, std::memory_order_acq_rel);
}

void ChangeUnitId(World& world, UnitRecord& unit, uint32_t id) {
  WorldLockGuard guard(world, kLockUnits);
  if (!unit.next) {
    unit.id = id;
    return;
  }
  if (world.unitIndex.head() != world.units) ReindexUnits(world);
  world.unitIndex.Remove(unit, unit.id);
  if (world.units == &unit) world.units = unit.next == &unit ? nullptr : unit.next;
  unit.prev->next = unit.next;
  unit.next->prev = unit.prev;
  unit.prev = unit.next = nullptr;
  world.unitIndex.SetHead(world.units);
  unit.id = id;
  InsertUnitInRing(world, unit);
}
