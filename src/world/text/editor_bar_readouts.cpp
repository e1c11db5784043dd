#include "world/text/editor_bar_readouts.h"

#include <cstdint>
#include <cstring>

#include "platform/fpenv.h"
#include "world/world.h"

namespace {

std::string Coordinates(const HexPosition& hex) {
  char text[40];
  plat::FormatText(text, sizeof text, "X: %03d    Y: %03d", static_cast<int>(hex.x), static_cast<int>(hex.y));
  return text;
}

bool IsSet(const HexPosition& hex) { return hex.x != 0 || hex.y != 0; }

}  // namespace

std::string HexTerrainName(const World& world, uint32_t cellIndex) {
  if (cellIndex >= world.cells.size()) return {};
  const size_t terrain = static_cast<size_t>(CellTerrain(world.cells[cellIndex].word));
  if (terrain >= world.terrains.size()) return {};
  return TerrainName(world.terrains[terrain]);
}

EditorBarReadouts ComputeEditorBarReadouts(const World& world) {
  EditorBarReadouts r;
  const HexPosition& selected = world.gameState.currentHex;
  if (IsSet(selected)) {
    r.population = "Selected Hex :";
    r.size = Coordinates(selected);
    r.gdp = "  (" + HexTerrainName(world, selected.cellIndex) + ")";
  }
  const HexPosition& inspected = world.gameState.viewHex;
  if (IsSet(inspected)) {
    r.country = "Inspect Hex :";
    r.date = Coordinates(inspected);
    r.treasury = "(" + HexTerrainName(world, inspected.cellIndex) + ")";
  }
  return r;
}
