#include "editor/editor_fill.h"

#include <vector>

#include "editor/editor_map_input.h"
#include "editor/terrain_paint_panel.h"
#include "records/hex_cell.h"
#include "units/hex_geometry.h"
#include "world/game_file.h"
#include "world/map_file.h"
#include "world/world.h"

namespace {

constexpr const char* kFillBackup = "BACKUPS\\AUTOBACKUPFILL";

int64_t CellOf(const HexMapShape& map, uint32_t position) {
  return static_cast<int64_t>(HexY(position)) * map.width + HexX(position);
}

}  // namespace

void FloodFillHexes(World& world, uint32_t start) {
  const HexMapShape map = MapShape(world);
  HexCell* first = EditorCellAt(world, start);
  if (!first) return;
  const uint8_t brush = static_cast<uint8_t>(g_editorMap.terrainBrush);
  const uint8_t from = CellTerrain(first->word);
  if (from == brush) return;
  const uint32_t flags = g_editorMap.flags;
  // Every hex is queued at most once: the region may be the whole map.
  std::vector<bool> queued(world.cells.size(), false);
  std::vector<uint32_t> queue{start};
  queued[static_cast<size_t>(CellOf(map, start))] = true;
  for (size_t next = 0; next < queue.size(); ++next) {
    const uint32_t position = queue[next];
    for (int d = 0; d < 6; ++d) {
      const uint32_t n = HexNeighbour(map, position, d);
      if (n == kNoHexPosition) continue;
      const size_t cell = static_cast<size_t>(CellOf(map, n));
      if (queued[cell] || CellTerrain(world.cells[cell].word) != from) continue;
      queued[cell] = true;
      queue.push_back(n);
    }
    if (!(flags & kEditorKeepAttributes)) PaintHexAttributesAt(world, position);
    if (!(flags & kEditorKeepTerrain)) {
      HexCell& cell = world.cells[static_cast<size_t>(CellOf(map, position))];
      cell.word = WithCellTerrain(cell.word, brush);
    }
  }
}

void EditorFloodFill(World& world) {
  WriteMapFile(world, kFillBackup);
  WriteGamFile(world, kFillBackup);
  const int32_t width = world.mapWidth;
  if (width > 0) {
    const uint32_t index = world.gameState.currentHex.cellIndex;
    FloodFillHexes(world, MakeHexPos(static_cast<int32_t>(index % static_cast<uint32_t>(width)),
                                     static_cast<int32_t>(index / static_cast<uint32_t>(width))));
  }
  g_editorMap.lastTerrain = g_editorMap.terrainBrush;
}
