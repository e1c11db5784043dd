#include "units/unit_batch.h"

#include <cstddef>

#include "sim/command_counts.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "world/movement_rates.h"
#include "world/unit_class.h"
#include "units/combat/unit_combat_step.h"
#include "units/unit_command_handlers.h"
#include "units/unit_deploy.h"
#include "world/unit_create.h"
#include "records/unit_record.h"
#include "world/unit_tables.h"
#include "records/hex_cell.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "world/world.h"

namespace {

// The owner's counts of units on the map and in the reserve (i16 by
// category).
constexpr size_t kMapCountsAt = 12112;
constexpr size_t kReserveCountsAt = 12124;
static_assert(kMapCountsAt >= offsetof(PlayerRecord, bytes12008) &&
              kReserveCountsAt + 12 <= offsetof(PlayerRecord, specialEffects));

// A class's supply capacity per strength point (float at byte 108).

// The stock's quantity byte of a stock unit (record byte 155).
uint8_t& StockCountByte(UnitRecord& unit) { return unit.stockCountLow; }

// Order word 13 bits that a unit takes from its owner's default orders word.

void AddCount(PlayerRecord& owner, size_t at, int category) {
  uint8_t* p = reinterpret_cast<uint8_t*>(&owner) + at + 2 * static_cast<size_t>(category);
  le::StoreI16(p, static_cast<int16_t>(le::LoadI16(p) + 1));
}

int TablePlayer(const PlayerRecord& owner) { return owner.number; }

}  // namespace

uint32_t NextSimulationUnitId(World& world) { return NextCommandCounter(world.players[0]); }

UnitRecord* SpawnPlayerUnits(World& world, PlayerRecord& owner, int32_t classIndex, int32_t size, bool toReserve,
                             uint32_t flags) {
  const uint32_t id = NextSimulationUnitId(world);
  UnitRecord* unit = CreateUnitAt(world, owner, id, classIndex, size, flags);
  if (!unit) return nullptr;
  // Confirmed as an ordered unit: it stands among the units on order.
  ConfirmOrderedUnit(world, id, owner, 0, 0, 0);
  unit->orders[kPostureBits] &= ~kPostureUnderConstruction;
  unit->buildWork = 0.0f;
  ScheduleUnit(world, *unit, 0);
  ScheduleUnit(world, *unit, 1);
  RecomputeMovementRates(world, *unit);
  if (toReserve) {
    unit->orders[kPostureBits] |= kPostureInReserve;
    unit->ordersShown[kPostureBits] |= kPostureInReserve;
    AppendUnitPtr(world, kUnitTableReserve, TablePlayer(owner), UnitTableCategory(*unit), *unit);
  }
  return unit;
}

void CreateUnitBatch(World& world, PlayerRecord& owner, int32_t classIndex, int32_t count, uint32_t position,
                     bool toReserve, bool fullyEquipped, std::vector<UnitRecord*>* made) {
  const UnitClassRecord* cls = ClassRecordAt(world, classIndex);
  if (!cls || count < 1) return;
  if (cls->flags & kClassStock) {
    UnitRecord* unit = SpawnPlayerUnits(world, owner, classIndex, count, true, 0);
    if (!unit) return;
    StockCountByte(*unit) = static_cast<uint8_t>(count);
    if (made) made->push_back(unit);
    return;
  }
  const int player = TablePlayer(owner);
  const HexMapShape map = MapShape(world);
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t id = NextSimulationUnitId(world);
    UnitRecord* unit = CreateUnit(world, owner, id, classIndex, 1.0f, position, 0, 0);
    unit->unitFlags &= ~kUnitProvisional;
    unit->orders[kPostureBits] &= ~kPostureUnderConstruction;
    unit->buildWork = 0.0f;
    // A unit with no hex to stand on waits in the reserve. A column beyond
    // the edge is a hex only on a map that wraps, and there the unit stands
    // at the column brought back into the map.
    HexCell* cell = HexCellAt(world, map, position);
    const uint32_t at = cell && map.wraps ? MakeHexPos(WrapX(HexX(position), map.width), HexY(position)) : position;
    const bool reserve = toReserve || !cell;
    if (reserve)
      unit->orders[kPostureBits] |= kPostureInReserve;
    else
      unit->orders[kPostureBits] &= ~kPostureInReserve;
    unit->orders[kStateFlags] = 0;
    const int category = UnitTableCategory(*unit);
    // Counted where it is filed: deploying a reserve unit later moves it
    // from the reserve count to the map count, so counting it on the map now
    // would count it there twice.
    if (reserve) {
      AddCount(owner, kReserveCountsAt, category);
      AppendUnitPtr(world, kUnitTableReserve, player, category, *unit);
    } else {
      AddCount(owner, kMapCountsAt, category);
      AppendUnitPtr(world, kUnitTableOnMap, player, category, *unit);
      RecomputeMovementRates(world, *unit);
      HexStackRemove(world, *cell, *unit);
      unit->orders[kMoveTarget] = at;
      UnitCombatStep(world, *unit, at, 0);
    }
    if (fullyEquipped) {
      // A new unit carries no cargo, so its ammunition room is all its own.
      unit->morale = 1.0f;
      unit->training = 1.0f;
      unit->efficiency = 1.2f;
      unit->experience = 5.0f;
      unit->fuel = unit->strength * cls->fuelCapacity;
      unit->supply = unit->strength * cls->carryCapacity;
      unit->ammo = unit->strength * cls->ammoCapacity;
    } else if (unit->moveKind == 1) {
      unit->fuel = unit->strength * cls->fuelCapacity;
    }
    // Its range follows its stores, as a fresh start of its movement would
    // work it out.
    if (!reserve) RecomputeMovementRates(world, *unit);
    uint32_t& header = unit->orders[kOrdersHeader];
    header = (header & ~kHeaderDefaultBits) | (owner.simPolicy.defsetadvorders[1] & kHeaderDefaultBits);
    unit->ordersShown = unit->orders;
    if (made) made->push_back(unit);
  }
}
