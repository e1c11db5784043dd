#include "editor/editor_map_input.h"

#include <cstring>
#include <string>

#include "editor/editor_fill.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "editor/terrain_paint_panel.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "units/facilities/facility_build.h"
#include "units/hex_geometry.h"
#include "world/hex_extra.h"
#include "world/unit_class.h"
#include "world/world.h"

EditorMapState g_editorMap;
EditorScreenLinks g_editorLinks;

namespace {

uint32_t SelectedPosition(const World& w) { return MakeHexPos(w.gameState.currentHex.x, w.gameState.currentHex.y); }

// The hex and, with the large brush, its neighbours on the map.
template <typename Paint>
void ForBrushHexes(World& w, uint32_t position, Paint paint) {
  if (g_editorMap.flags & kEditorLargeBrush) {
    const HexMapShape map = MapShape(w);
    for (int d = 0; d < 6; ++d) {
      const uint32_t n = HexNeighbour(map, position, d);
      if (n != kNoHexPosition) paint(w, n);
    }
  }
  paint(w, position);
}

void PaintTerrain(World& w, uint32_t position) {
  HexCell* cell = EditorCellAt(w, position);
  if (cell) cell->word = WithCellTerrain(cell->word, static_cast<uint8_t>(g_editorMap.terrainBrush));
}

// The hex's status settles as a finished facility's: one update begun and
// ended at once, its pending status becoming the current one.
void SettleHexStatus(HexCell& cell) {
  HexUnitStack* stack = LoadHexStack(cell);
  HexExtra* label = stack ? stack->extra : nullptr;
  if (!label) return;
  ++label->byte9;
  label->pairA[0] &= static_cast<uint8_t>(~1u);
  label->pairB[0] &= static_cast<uint8_t>(~1u);
  if (label->byte9 > 0) --label->byte9;
  if (label->byte9 == 0) {
    label->pairA[0] = label->pairB[0];
    label->pairA[1] = label->pairB[1];
  }
}

// Why a facility of the brush's class cannot be placed on the selected hex,
// in full and shorter for a narrow line; nothing when it can.
struct Refusal {
  std::string full, shorter;
};
Refusal FacilityRefusal(World& w) {
  HexCell* cell = EditorCellAt(w, SelectedPosition(w));
  const int32_t cls = g_editorMap.brushValue;
  if (!cell || ProcessUnitStack(w, *cell, 0, 0, cls, 1.0f, true, true) != 0) return {};
  const auto name = [&w](int32_t index) {
    const UnitClassRecord* type = ClassRecordAt(w, index);
    return type ? std::string(type->name, strnlen(type->name, sizeof type->name)) : std::string("A facility");
  };
  const HexUnitStack* stack = LoadHexStack(*cell);
  if (stack && stack->lead && IsUnitLive(*stack->lead))
    return {name(stack->lead->classIndex) + " already stands on this hex.", "This hex is built on."};
  return {name(cls) + " cannot stand on this hex.", "It cannot stand on this hex."};
}

void PlaceFacility(World& w) {
  HexCell* cell = EditorCellAt(w, SelectedPosition(w));
  if (!cell) return;
  const int owner = CellOwner(cell->word);
  PlayerRecord& record = w.players[owner];
  record.commandCounter += 1;
  const uint32_t id = (static_cast<uint32_t>(owner) << 24) | (record.commandCounter & 0x00FFFFFFu);
  const int32_t cls = g_editorMap.brushValue;
  ProcessUnitStack(w, *cell, 0, id, cls, 1.0f, false, true);
  ProcessUnitStack(w, *cell, 1, id, cls, 1.0f, false, true);
  const UnitClassRecord* type = ClassRecordAt(w, cls);
  if (cls > 0 && type && !(type->flags & kClassRoad)) SettleHexStatus(*cell);
}

// The two-click link tool: the first click starts the route at the hex, the
// second links the hexes along it.
void LinkTool() {
  plat::CriticalSectionLock lock(g_simulationLock);
  int32_t& value = g_editorMap.brushValue;
  if (value == kLinkToolFirst || value == kLinkToolFirst + 1) value += kLinkToolRaise;
  int32_t* pending = g_editorLinks.pendingSelection;
  if (!pending) return;
  if (!*pending) {
    if (g_editorLinks.setMapSelection) g_editorLinks.setMapSelection(g_world, value - kLinkToolClass);
    *pending = 1;
  } else {
    if (g_editorLinks.linkAlongRoute) g_editorLinks.linkAlongRoute(value);
    *pending = 0;
  }
}

bool FillPressed() {
  plat::CriticalSectionLock lock(g_simulationLock);
  // Fill is a button of the terrain tab's panel: another tab that paints
  // terrain (the terrain types) shows no Fill, and its clicks paint one hex
  // even when Fill was left pressed on the terrain tab.
  const int32_t mode = g_editorMap.mode;
  if (mode < 0 || mode >= kEditorModes || g_editorScreens.modePanels[mode] != g_editorScreens.terrainPaint) return false;
  Control* form = g_editorScreens.terrainPaint ? g_editorScreens.terrainPaint->currentForm : nullptr;
  Control* fill = form ? FormFindControlByTag(form, "FILL") : nullptr;
  if (!fill || !(fill->state & kStateSelected)) return false;
  EditorFloodFill(g_world);
  fill->SetState(fill->state & ~kStateSelected, 0, nullptr, 0, 0, 0, 0, 1);
  return true;
}

void RefreshPanel(Screen* panel) {
  if (panel && panel->currentForm) panel->Refresh();
}

}  // namespace

HexCell* EditorCellAt(World& world, uint32_t position) {
  const int32_t x = HexX(position);
  const int32_t y = HexY(position);
  if (x < 0 || y < 0 || x >= world.mapWidth || y >= world.mapHeight) return nullptr;
  const size_t i = static_cast<size_t>(y) * static_cast<size_t>(world.mapWidth) + static_cast<size_t>(x);
  return i < world.cells.size() ? &world.cells[i] : nullptr;
}

bool EditorBrushAtHex(int32_t drag) {
  plat::CriticalSectionLock lock(g_simulationLock);
  EditorMapState& e = g_editorMap;
  if (!(e.flags & kEditorEditing)) {
    // A brush or fill tried with editing off changes nothing; the bar says
    // why.
    if (e.brushKind != kBrushNone && g_editorScreens.cmdBar) g_editorScreens.cmdBar->ShowEditingOffHint(true);
    return false;
  }
  World& w = g_world;
  const uint32_t position = SelectedPosition(w);
  const bool filled = e.brushKind == kBrushTerrain && !(e.flags & kEditorKeepTerrain) && FillPressed();
  // The button held after the press is a drag: the reason stays shown.
  if (drag == 0 && g_editorScreens.cmdBar) g_editorScreens.cmdBar->ShowHint("");
  if (!filled) {
    if (!(e.flags & kEditorKeepAttributes)) {
      if (e.brushKind == kBrushTerrain) ForBrushHexes(w, position, PaintHexAttributesAt);
      if (e.brushKind == kBrushObject && g_editorScreens.applyFacilityBrush) g_editorScreens.applyFacilityBrush();
    }
    if (!(e.flags & kEditorKeepTerrain)) {
      if (e.brushKind == kBrushTerrain) {
        ForBrushHexes(w, position, PaintTerrain);
        e.lastTerrain = e.terrainBrush;
        g_editorPalette.dirty[0] = 1;
      } else if (e.brushKind == kBrushObject && drag == 0) {
        // A facility the hex cannot take is not placed, and the bar says
        // why; the hex's own settings above are painted all the same.
        const Refusal refused = e.brushValue > 0 && e.brushValue < kLinkToolFirst ? FacilityRefusal(w) : Refusal{};
        if (!refused.full.empty()) {
          if (g_editorScreens.cmdBar) g_editorScreens.cmdBar->ShowHint(refused.full, refused.shorter);
        } else if (e.brushValue < kLinkToolFirst) {
          PlaceFacility(w);
        } else {
          LinkTool();
        }
      } else if (e.brushKind == kBrushUnit && drag == 0 && g_editorScreens.placeUnit) {
        g_editorScreens.placeUnit();
      }
    }
  }
  if (e.brushKind == kBrushTerrain) RefreshPanel(g_editorScreens.terrainPaint);
  if (e.brushKind == kBrushObject) RefreshPanel(g_editorScreens.modePanels[5]);
  return true;
}

void OpenEditorModePanel(int32_t mode) {
  EndTextEdit();
  g_editorMap.mode = mode;
  if (mode < 0 || mode >= kEditorModes) return;
  Screen* panel = g_editorScreens.modePanels[mode];
  if (!panel) return;
  panel->Show(mode <= 1 ? mode : kKeepScreenId, nullptr);
}

void EditorLinkHex(World& world, uint32_t position, int32_t classIndex, int d, int32_t pass, int32_t mark) {
  HexCell* cell = HexCellAt(world, MapShape(world), position);
  if (!cell) return;
  BuildHexSite(world, *cell, pass, 0, classIndex, d, false, mark != 0);
}
