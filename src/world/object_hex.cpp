#include "world/object_hex.h"

#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/world.h"

namespace {

// Stores the position and returns its cell, or null when it lies off the map.
HexCell* StorePosition(World& world, int32_t x, int32_t y, HexPosition& position) {
  const int32_t width = world.mapWidth;
  const int32_t column = width > 0 ? WrapX(x, width) : x;
  const bool same = (position.x != 0 || position.y != 0) && position.x == column && position.y == y;
  if (!same) position.previousCellIndex = position.cellIndex;
  position.x = static_cast<int16_t>(column);
  position.y = static_cast<int16_t>(y);
  if (width <= 0 || y < 0 || y >= world.mapHeight) {
    position.cellIndex = 0;
    return nullptr;
  }
  position.cellIndex = static_cast<uint32_t>(y * width + column);
  if (position.cellIndex >= world.cells.size()) return nullptr;
  return &world.cells[position.cellIndex];
}

// The class of the cell's lead unit as the local player may see it: 0 for
// none, a unit gone, or another player's hidden unit.

}  // namespace

ObjectHexHooks g_objectHexHooks;

int32_t VisibleLeadClass(const World& world, const HexCell* cell) {
  if (!cell || !cell->stack || !cell->stack->lead) return 0;
  const UnitRecord& lead = *cell->stack->lead;
  if (!IsUnitLive(lead)) return 0;
  if ((lead.unitFlags & kUnitProvisional) && CellOwner(cell->word) != world.gameState.localPlayer) return 0;
  return lead.classIndex;
}

void SetObjectHex(World& world, int32_t x, int32_t y, HexPosition& position) {
  const HexCell* cell = StorePosition(world, x, y, position);
  if (g_objectHexHooks.currentHexSet) g_objectHexHooks.currentHexSet(cell, VisibleLeadClass(world, cell));
}

void SetViewObjectHex(World& world, int32_t x, int32_t y, HexPosition& position) {
  const HexCell* cell = StorePosition(world, x, y, position);
  if (g_objectHexHooks.viewHexSet) g_objectHexHooks.viewHexSet(cell);
}

void PublishObjectHexesCleared() {
  if (g_objectHexHooks.cleared) g_objectHexHooks.cleared();
}

void PublishCurrentCell(const HexCell* cell) {
  if (g_objectHexHooks.currentCellSet) g_objectHexHooks.currentCellSet(cell);
}
