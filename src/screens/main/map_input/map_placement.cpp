#include "screens/main/map_input/map_placement.h"

#include "records/hex_cell.h"
#include "screens/main/map_input/hex_links.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_selection.h"
#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "records/command_ids.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/simulation_lock.h"
#include "ui/screen_manager.h"
#include "units/facilities/facility_build.h"
#include "units/hex_geometry.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

void (*g_openBuildPopup)(ScreenSet& screens) = nullptr;

namespace {

// Linked classes are the two site kinds; the route remembers which.
constexpr int32_t kFirstSiteKind = 4128;

HexCell* CurrentCell(World& w) {
  const HexPosition& hex = w.gameState.currentHex;
  return HexCellAt(w, MapShape(w), MakeHexPos(hex.x, hex.y));
}

// The class being placed and the selected hex's cell; either may be missing.
struct ClassOnCell {
  const UnitClassRecord* cls;
  HexCell* cell;
};
ClassOnCell PlacementTarget(World& w) { return {ClassRecordAt(w, g_mapPlacement.classIndex), CurrentCell(w)}; }

uint32_t CurrentHex(const World& w) { return MakeHexPos(w.gameState.currentHex.x, w.gameState.currentHex.y); }

void StartRoute(const World& w, int32_t classIndex) {
  g_mapRoute = MapRoute{};
  g_mapRoute.start[0] = CurrentHex(w);
  g_mapRoute.shown = 1;
  g_mapRoute.kind = classIndex - kFirstSiteKind;
}

void BuildInEditor(World& w, HexCell& cell, int32_t classIndex, float fill) {
  PlayerRecord& owner = w.players[CellOwner(cell.word)];
  ++owner.commandCounter;
  const uint32_t id = MakeSequence(owner.commandCounter, static_cast<uint32_t>(CellOwner(cell.word)));
  ProcessUnitStack(w, cell, 0, id, classIndex, fill, false, true);
  ProcessUnitStack(w, cell, 1, id, classIndex, fill, false, true);
}

}  // namespace

float IndustryPlacementFill(const World& world, const HexCell& cell, int32_t classIndex, float fill) {
  const UnitClassRecord* cls = ClassRecordAt(world, classIndex);
  if (!cls) return fill;
  const SiteSupply site = HexSiteSupply(world, cell, *cls, classIndex, CellOwner(cell.word));
  if (!(site.need * fill > site.supply)) return fill;
  // Nothing demanded yet less than nothing yielded: the wanted fill stands.
  if (!(site.need > 0.0f)) return fill;
  const float supported = site.supply / site.need;
  return supported > 0.0f ? supported : 0.0f;
}

void PlaceFacilityAtHex(ScreenSet& screens, float fill) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const int32_t classIndex = g_mapPlacement.classIndex;
  const auto [cls, cell] = PlacementTarget(w);
  if (!cls || !cell) return;
  if (cls->flags & kClassRoad) {
    if (g_mapPlacement.routeStarted) {
      LinkHexesAlongRoute(screens, classIndex, 0, 1);
      g_mapPlacement.routeStarted = 0;
    } else {
      g_mapPlacement.routeStarted = 1;
      StartRoute(w, classIndex);
    }
  } else {
    if (cls->flags & kClassProduction) fill = IndustryPlacementFill(w, *cell, classIndex, fill);
    if (g_ui.mode == kUiInGame) {
      PostArgs(kCmdHexStack288,
               HexPlaceArgs{.hex = CurrentHex(w), .classIndex = static_cast<uint32_t>(classIndex), .size = fill});
    } else {
      BuildInEditor(w, *cell, classIndex, fill);
    }
  }
  if (w.localPlayerRecord)
    AddLocalNewsItem(w, *w.localPlayerRecord, kMsgFacilityPlaced, 0,
                     MessageParams{.p1 = static_cast<uint32_t>(classIndex)});
  if (screens.cmdBar.id == 1 && g_ui.panelDepth == 3 && !g_mapPlacement.placementRepeat) {
    SetPanelDepth(2, 0, g_mapView);
    if (g_ui.panelDepth == 0) screens.cmdBar.dockedPanelMarker = 0;
    UpdatePopupButton(screens.mailBar);
  }
}

void PlaceAtClickedHex(ScreenSet& screens) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const int32_t classIndex = g_mapPlacement.classIndex;
  const auto [cls, cell] = PlacementTarget(w);
  if (!cls || !cell) return;
  if (cls->flags & kClassRoad) {
    // A route's hexes are checked step by step by the link commands.
    PlaceFacilityAtHex(screens, 1.0f);
    return;
  }
  if (!ProcessUnitStack(w, *cell, 0, 0, classIndex, 1.0f, true, true)) return;
  if (g_mapPlacement.placementConfirm) {
    if (g_openBuildPopup) g_openBuildPopup(screens);
    return;
  }
  PlaceFacilityAtHex(screens, 1.0f);
  if (!g_mapPlacement.placementRepeat) CancelMapPlacement(screens);
}
