#include "screens/main/map/map_view.h"

#include "screens/common/frame/main_layout.h"
#include "screens/main/panels/main_panels.h"
#include "screens/common/frame/map_geometry.h"
#include "sim/daily/elimination.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/screen_manager.h"
#include "world/object_hex.h"
#include "world/world.h"

// The minimap and its drag box are the side bar's, which hands them over
// when it binds; the map control is the interface root's.
void LayoutMapViewPanes(MapView& view) {
  ScreenManager& ui = g_ui;
  view.redrawPending = 1;
  view.minimapRedrawPending = 1;
  if (ui.mapArea) {
    ui.mapArea->owner = &view.mapPane;
    LayoutMainPanels(ui.mapArea->rect.bottom - ui.mapArea->rect.top, view);
  }
  Control* minimap = MinimapControl();
  if (minimap) minimap->owner = &view.minimapPane;
  if (Control* box = MinimapDragControl()) box->owner = &view.dragPanPane;
  view.minimapWidth = view.minimapRight - view.minimapLeft;
  view.minimapHeight = view.minimapBottom - view.minimapTop;
  if (minimap) {
    minimap->rect.right = minimap->rect.left + view.minimapWidth;
    minimap->rect.bottom = minimap->rect.top + view.minimapHeight;
  }
  view.panesLaidOut = 1;
}

uint32_t GameStartHex(const World& world) {
  const int32_t local = world.gameState.localPlayer;
  if (local < 0 || local >= kMaxPlayers) return 0;
  const CapitalPosition capital = CapitalHex(world.players[local].simPolicy);
  if (capital == CapitalPosition{} || capital.x < 0 || capital.x >= world.mapWidth || capital.y < 0 ||
      capital.y >= world.mapHeight)
    return 0;
  return PackHex(capital.x, capital.y);
}

void ForwardPackedHex(uint32_t packedHex) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const Hex hex = UnpackHex(packedHex);
  SetViewObjectHex(g_world, hex.x, hex.y, g_world.gameState.viewHex);
}


