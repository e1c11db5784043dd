#include "units/unit_combat_step.h"

#include "records/hex_cell.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "units/hex_geometry.h"
#include "units/hex_stack_chains.h"
#include "world/world.h"

HexCell* UnitCombatStep(World& world, UnitRecord& unit, uint32_t position, int /*arrival*/) {
  const HexMapShape map = MapShape(world);
  HexCell* cell = HexCellAt(world, map, position);
  if (!cell) return nullptr;
  const int32_t x = map.wraps ? WrapX(HexX(position), map.width) : HexX(position);
  const uint32_t at = MakeHexPos(x, HexY(position));
  unit.x = static_cast<int16_t>(x);
  unit.y = static_cast<int16_t>(HexY(position));
  if (unit.tableEntry) unit.tableEntry->position = at;
  HexStackInsertById(world, *cell, unit);
  HexStackInsertOrdered(world, *cell, unit);
  return cell;
}
