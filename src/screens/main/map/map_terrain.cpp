// The terrain layer: each hex in view shows its terrain's square of TBITS.
#include "app/gfx/texture.h"
#include "editor/editor_palette.h"
#include "screens/main/map/map_draw.h"
#include "sim/simulation_lock.h"
#include "ui/screen_manager.h"
#include "world/world.h"

void DrawTerrainHexes(const MapView& view) {
  Texture* tbits = g_ui.bitmaps.tbits;
  if (!tbits || TextureAcquire(tbits) < 0 || !tbits->deviceTexture) return;
  ForEachVisibleHex(view, [&view](uint32_t hex) { DrawTerrainHex(view, hex, false); });
}

void DrawTerrainHex(const MapView& view, uint32_t packedHex, bool useBrush) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (packedHex == 0 || view.columns <= 0) return;
  const Hex hex = UnpackHex(packedHex);
  if (hex.y < 0 || hex.y >= view.rows) return;
  const World& world = g_world;
  const int32_t column = WrapX(hex.x, view.columns);
  const size_t cell = static_cast<size_t>(hex.y) * static_cast<size_t>(view.columns) + static_cast<size_t>(column);
  if (cell >= world.cells.size()) return;
  int32_t terrain = CellTerrain(world.cells[cell].word);
  if (useBrush) {
    if (g_editorPalette.kind != kPaletteTerrain || g_editorPalette.brush < 0) return;
    terrain = g_editorPalette.brush;
  }
  if (terrain <= 0 || static_cast<size_t>(terrain) >= world.terrains.size()) return;
  const TerrainRecord& record = world.terrains[static_cast<size_t>(terrain)];
  const plat::Rect source{record.imageLeft, record.imageTop, record.imageRight, record.imageBottom};
  const Hex box = HexTileBox(column, hex.y);
  const float x = static_cast<float>(box.x + WrappedCopyOffset(view, column));
  DrawMapSprite(view, g_ui.bitmaps.tbits, &source, x, static_cast<float>(box.y), kHexTileSize, kHexTileSize,
                0xFFFFFFFFu, nullptr, kMapCapTiles);
}
