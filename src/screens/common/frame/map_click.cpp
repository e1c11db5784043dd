#include "screens/common/frame/map_click.h"

#include "records/hex_cell.h"
#include "records/unit_record.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/screen_set.h"
#include "records/command_ids.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "sim/mail_ui_link.h"
#include "sim/simulation_lock.h"
#include "sim/unit_order_args.h"
#include "units/hex_geometry.h"
#include "world/id_lookups.h"
#include "world/object_hex.h"
#include "world/world.h"

MapClickPending g_mapClickPending;

namespace {

// The neighbour directions in turn around a hex: up-left, up, up-right,
// down-right, down, down-left.
constexpr int kRing[6] = {0, 1, 2, 5, 4, 3};

bool InArea(const World& world, uint32_t position, int32_t tag) {
  const int64_t index = HexCellIndex(MapShape(world), position);
  return index >= 0 && (world.cells[static_cast<size_t>(index)].word & AreaTagBit(tag)) != 0;
}

bool AreaHasHexes(const World& world, int32_t tag) {
  for (const HexCell& cell : world.cells)
    if (cell.word & AreaTagBit(tag)) return true;
  return false;
}

void RecountAreas() {
  if (g_mailUi.recountAreaTags) g_mailUi.recountAreaTags();
  g_mapView.redrawPending = 1;
}

void PaintAreaHex(World& world, uint32_t position, int32_t tag) {
  const int64_t index = HexCellIndex(MapShape(world), position);
  if (index < 0 || !AreaHexMayToggle(world, position, tag)) return;
  HexCell& cell = world.cells[static_cast<size_t>(index)];
  SetCellTagBit(cell, tag, (cell.word & AreaTagBit(tag)) == 0);
}

}  // namespace

void BeginUnitTargetPick(ScreenSet& screens, uint32_t unitId) {
  g_mapClickPending.unitId = unitId;
  screens.mapClickMode = kClickUnitDestination;
  g_mapView.pickHex = 1;
}

void EndUnitTargetPick(const ScreenSet& screens) {
  if (screens.mapClickMode != kClickUnitDestination) return;
  g_mapClickPending.unitId = 0;
}

bool AreaHexMayToggle(const World& world, uint32_t packedHex, int32_t tag) {
  const HexMapShape shape = MapShape(world);
  if (HexCellIndex(shape, packedHex) < 0) return false;
  bool in[6];
  for (int i = 0; i < 6; ++i) in[i] = InArea(world, HexNeighbour(shape, packedHex, kRing[i]), tag);
  if (InArea(world, packedHex, tag)) {
    int changes = 0;
    for (int i = 0; i < 6; ++i) changes += in[i] != in[(i + 1) % 6];
    return changes < 3;
  }
  if (!AreaHasHexes(world, tag)) return true;
  for (bool b : in)
    if (b) return true;
  return false;
}

void ExecuteHexClick(ScreenSet& screens, uint32_t packedHex) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  // A click beside the map names no hex: the waiting screen keeps waiting.
  if (packedHex == kNoHexPosition || HexCellIndex(MapShape(w), packedHex) < 0) return;
  switch (screens.mapClickMode) {
    case kClickObjectDestination:
      // The command finds the object by the hex it stands on.
      if (const UnitRecord* object = FindUnitById(w, g_mapClickPending.objectId))
        PostArgs(kCmdLeadUnitSetDestination,
                 HexDestinationArgs{.hex = MakeHexPos(object->x, object->y), .destination = packedHex});
      ClearMapSelection(screens);
      return;
    case kClickUnitDestination: {
      const uint32_t unitId = g_mapClickPending.unitId;
      PostArgs(kCmdUnitSetFireHex, OrderHexArgs{.unit = unitId, .hex = packedHex});
      g_mapClickPending.unitId = 0;
      ClearMapSelection(screens);
      return;
    }
    case kClickAreaPaint:
      PaintAreaHex(w, packedHex, g_mapClickPending.areaTag);
      RecountAreas();
      return;
    default:
      return;
  }
}

void PaintAreaBand(ScreenSet&, uint32_t first, uint32_t last) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (first == kNoHexPosition || last == kNoHexPosition) return;
  World& w = g_world;
  const HexMapShape shape = MapShape(w);
  const int32_t tag = g_mapClickPending.areaTag;
  const int32_t x0 = HexX(first), x1 = HexX(last), y0 = HexY(first), y1 = HexY(last);
  auto each = [&](World& world, auto&& visit) {
    for (int32_t x = x0; x <= x1; ++x)
      for (int32_t y = y0; y <= y1; ++y) {
        const uint32_t position = MakeHexPos(x, y);
        const int64_t index = position == kNoHexPosition ? -1 : HexCellIndex(shape, position);
        if (index >= 0 && visit(world.cells[static_cast<size_t>(index)])) return;
      }
  };
  bool touches = !AreaHasHexes(w, tag);
  if (!touches) each(w, [&](HexCell& cell) { return touches = (cell.word & AreaTagBit(tag)) != 0; });
  if (touches) each(w, [&](HexCell& cell) { return SetCellTagBit(cell, tag, true), false; });
  // Counted even when the area was empty, so its figures never stay at 0.
  RecountAreas();
}

void GotoMapObject(const UnitRecord* unit) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!unit) return;
  World& w = g_world;
  int32_t x = unit->x, y = unit->y;
  if (x == 0 && y == 0) {
    const UnitRecord* carrier = unit->carrier ? FindUnitById(w, unit->carrier) : nullptr;
    if (!carrier) return;
    x = carrier->x, y = carrier->y;
  }
  if (x == 0 && y == 0) return;
  SetObjectHex(w, x, y, w.gameState.currentHex);
  CentreMapOnHex(g_mapView, PackHex(w.gameState.currentHex.x, w.gameState.currentHex.y));
}
