#include "editor/editor_palette.h"

#include <algorithm>

#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "editor/editor_map_input.h"
#include "editor/editor_screens.h"
#include "sim/map_derived_data.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "world/world.h"

EditorPaletteState g_editorPalette;

namespace {

// The facility sheet keeps eight cells to a row.
constexpr int32_t kFacilityColumns = 8;

void Frame(const plat::Rect& r, uint32_t colour) {
  FillRect2D(0, g_renderer, r.left, r.top, r.right, r.bottom, 1, colour, 1, kFillModePlain);
}

}  // namespace

void SetMapEditMode(int32_t kind, int32_t value) {
  EditorMapState& e = g_editorMap;
  e.brushValue = value;
  e.brushKind = kind;
  if (kind == kBrushTerrain) {
    e.terrainBrush = value;
    g_editorPalette.brush = value;
  }
  Control* form = g_editorScreens.cmdBar ? g_editorScreens.cmdBar->currentForm : nullptr;
  Control* mapMode = form ? FormFindControlByTag(form, "MAPMODE") : nullptr;
  e.flags = mapMode && (mapMode->state & kStateSelected) ? e.flags | kEditorEditing : e.flags & ~kEditorEditing;
  OpenEditorModePanel(e.mode);
}

void RecalcDerivedMapData(PlayerVariablesPanel& panel) {
  plat::CriticalSectionLock lock(g_simulationLock);
  RecalcDerivedMapData(g_world);
  // The panel, where it shows, shows the new figures and its region again.
  if (panel.currentForm) panel.Refresh();
}

int32_t ScrollPalette(int32_t& pending, int32_t offset, int32_t visible, int32_t sheetHeight) {
  if (pending == 0) return offset;
  pending /= 2;
  offset = std::max(offset + pending, 0);
  return std::min(offset, sheetHeight - visible);
}

void DrawTerrainBits(Control* palette, uint32_t colour) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const int32_t brush = g_editorMap.terrainBrush;
  if (!palette || palette->Hidden() || brush < 0 || static_cast<size_t>(brush) >= w.terrains.size()) return;
  const TerrainRecord& t = w.terrains[static_cast<size_t>(brush)];
  const int32_t scroll = g_editorPalette.terrainOffset;
  const plat::Rect at = ControlAbsoluteRect(palette);
  const int32_t visible = at.bottom - at.top;
  const int32_t width = at.right - at.left;
  const int32_t top = std::max(t.imageTop, scroll);
  const int32_t bottom = std::min(t.imageBottom, scroll + visible);
  if (bottom <= top || t.imageRight <= t.imageLeft) return;
  const plat::Rect r{at.left + t.imageLeft * width / kPaletteSourceWidth, at.top + top - scroll,
                     at.left + t.imageRight * width / kPaletteSourceWidth, at.top + bottom - scroll};
  if (r.bottom - r.top > 2) Frame(r, colour);
}

void DrawFacilityBits(Control* palette, uint32_t colour) {
  const int32_t brush = g_editorPalette.brush;
  if (!palette || palette->Hidden() || brush < 0) return;
  const plat::Rect at = ControlAbsoluteRect(palette);
  const int32_t left = at.left + (brush % kFacilityColumns) * kPaletteCell;
  const int32_t top = at.top + (brush / kFacilityColumns) * kPaletteCell - g_editorPalette.facilityOffset;
  if (top + kPaletteCell <= at.top || top >= at.bottom) return;
  Frame(plat::Rect{left, top, left + kPaletteCell, top + kPaletteCell}, colour);
}
