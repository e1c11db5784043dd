#include "editor/editor_map_input.h"

#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "records/hex_cell.h"
#include "units/facilities/facility_build.h"
#include "units/hex_geometry.h"
#include "world/world.h"

EditorMapState g_editorMap;

void EditorBrushAtHex(MapView&, int32_t) {
  if (!g_editorMap.editing || g_editorMap.brushKind != kBrushTerrain) return;
  World& w = g_world;
  const HexPosition& hex = w.gameState.currentHex;
  HexCell* cell = HexCellAt(w, MapShape(w), MakeHexPos(hex.x, hex.y));
  if (!cell) return;
  const uint32_t painted = WithCellTerrain(cell->word, g_editorMap.brushValue);
  if (painted == cell->word) return;
  cell->word = painted;
  g_editorPalette.dirty[0] = 1;
}

void OpenEditorModePanel(int32_t mode) {
  g_editorMap.mode = mode;
  MapEditorB* palette = g_editorPaletteScreen;
  if (palette && palette->currentForm) palette->Refresh();
}

void EditorLinkHex(World& world, uint32_t position, int32_t classIndex, int d, int32_t pass, int32_t mark) {
  HexCell* cell = HexCellAt(world, MapShape(world), position);
  if (!cell) return;
  BuildHexSite(world, *cell, pass, 0, classIndex, d, false, mark != 0);
}
