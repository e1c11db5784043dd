#include "screens/common/hex_cell_lookup.h"

#include "world/game_state.h"
#include "world/world.h"

const HexCell* CellAtPosition(const World& world, const HexPosition& hex) {
  if (hex.x == 0 && hex.y == 0) return nullptr;
  return hex.cellIndex < world.cells.size() ? &world.cells[hex.cellIndex] : nullptr;
}

const HexCell* SelectedCell(const World& world) { return CellAtPosition(world, world.gameState.currentHex); }
