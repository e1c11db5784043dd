#include "editor/editor_palette.h"

#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "editor/editor_map_input.h"
#include "editor/editor_screens.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "sim/map_derived_data.h"
#include "world/world.h"

EditorPaletteState g_editorPalette;
MapEditorB* g_editorPaletteScreen = nullptr;

namespace {

// Palette cells are 32 pixels square, eight to a row (the sheets the
// content tool draws).
constexpr int32_t kCell = 32;
constexpr int32_t kCellsPerRow = 8;

void OutlineBrush(Control* palette, int32_t offset, uint32_t colour) {
  const int32_t brush = g_editorPalette.brush;
  if (!palette || palette->Hidden() || brush < 0) return;
  const plat::Rect at = ControlAbsoluteRect(palette);
  const int32_t left = at.left + (brush % kCellsPerRow) * kCell;
  const int32_t top = at.top + (brush / kCellsPerRow) * kCell - offset;
  if (top + kCell <= at.top || top >= at.bottom) return;
  FillRect2D(0, g_renderer, left, top, left + kCell, top + kCell, 1, colour, 1, kFillModePlain);
}

}  // namespace

void SetMapEditMode(int32_t kind, int32_t value) {
  g_editorPalette.mapEditMode = kind;
  g_editorMap.brushKind = kind;
  g_editorMap.brushValue = value;
  Control* form = g_editorPaletteScreen ? g_editorPaletteScreen->currentForm : nullptr;
  if (Control* mapMode = form ? FormFindControlByTag(form, "MAPMODE") : nullptr)
    g_editorMap.editing = (mapMode->state & kStateSelected) != 0;
  OpenEditorModePanel(g_editorMap.mode);
}

void RecalcDerivedMapData(MapEditorSs2&) { RecalcDerivedMapData(g_world); }

void DrawTerrainBits(Control* palette, uint32_t colour) {
  OutlineBrush(palette, g_editorPalette.terrainOffset, colour);
}

void DrawFacilityBits(Control* palette, uint32_t colour) {
  OutlineBrush(palette, g_editorPalette.facilityOffset, colour);
}
