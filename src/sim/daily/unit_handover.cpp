#include "sim/daily/unit_handover.h"

#include "sim/daily/elimination.h"
#include "units/unit_destroy.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "world/unit_tables.h"
#include "units/unit_transfer.h"
#include "records/hex_cell.h"
#include "world/id_lookups.h"
#include "records/player_record.h"
#include "world/world.h"

namespace {

int OwnerAt(World& world, int16_t x, int16_t y) {
  UnitRecord probe;
  probe.x = x;
  probe.y = y;
  HexCell* cell = UnitHexCell(world, probe);
  return cell ? CellOwner(cell->word) : 0;
}

// The owner of the hex the unit stands on; for a unit off the map, of its
// carrier's hex, else of the hex it was last on its way to.
int HexOwnerOf(World& world, const UnitRecord& unit) {
  if (unit.x != 0 || unit.y != 0) return OwnerAt(world, unit.x, unit.y);
  if (unit.carrier != 0) {
    const UnitRecord* carrier = nullptr;
    {
      // Display passes on other threads link new units into the ring.
      WorldLockGuard hold(world, kLockUnits);
      carrier = FindUnitById(world, unit.carrier);
    }
    if (carrier && (carrier->x != 0 || carrier->y != 0)) return OwnerAt(world, carrier->x, carrier->y);
  }
  return OwnerAt(world, unit.x2, unit.y2);
}

}  // namespace

void TransferPlayerUnits(World& world, PlayerRecord& region, int32_t mode) {
  const int self = region.number;
  if (self < 0 || self >= kMaxPlayers) return;
  const int heir = reinterpret_cast<const uint8_t*>(&region)[kRecordSuccessor] & 31;
  for (int table = kUnitTableOnMap; table <= kUnitTableOnOrder; ++table) {
    for (int category = 0; category < kUnitCategories; ++category) {
      if (category == kUnitCategoryFacility) continue;
      ForEachTableUnit(world.unitTables, table, self, category, [&](UnitRecord& unit) {
        int to = 0;
        if (!(unit.unitFlags & kUnitStock)) {
          to = heir != 0 ? heir : HexOwnerOf(world, unit);
        } else if (heir != 0 && mode != 0 && InReserve(unit)) {
          to = heir;
        }
        // Handing a unit to the region itself would file it again in the
        // very table being walked; it has no one to go to.
        if (to == 0 || to == self)
          UnitDestroy(world, unit, 1);
        else
          TransferUnit(world, unit, to, 0, mode);
      });
    }
  }
}
