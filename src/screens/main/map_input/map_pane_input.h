#pragma once
// The mouse on the map, the minimap and the minimap's drag box: hovering,
// clicking, selecting, ordering, the hex and order menus, panning, zooming
// and rubber bands. The three panes are screens of the map view whose
// controls hand them every mouse message. Window thread only.
#include <cstdint>

#include "screens/common/frame/map_panes.h"
#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

// What the map's clicks hand to the hex lists and the selection
// (InstallMapPaneLinks puts their operations of the same names in); one
// left null does nothing. The zoom slider's move defaults to the side bar's
// slider.
struct MapPaneLinks {
  // SelectUnitsAtClick: the clicked or banded units, or the stack list.
  void (*selectUnitsAtClick)(ScreenSet& screens, int32_t x, int32_t y, int32_t add) = nullptr;
  // OpenHexListA and OpenHexProductList: the order menu and the hex menu.
  void (*openOrderMenu)(ScreenSet& screens, int32_t x, int32_t y) = nullptr;
  void (*openHexMenu)(ScreenSet& screens, int32_t x, int32_t y) = nullptr;
  // ExecuteOrderChoice, handed the default order.
  void (*executeOrderChoice)(ScreenSet& screens, int32_t orderId) = nullptr;
  // BandToHexes: the band's first and last hex, (0, 0) for none.
  void (*bandToHexes)(uint32_t& first, uint32_t& last) = nullptr;
  // Shows the unit orders panel for the selection.
  void (*showUnitOrdersPanel)(ScreenSet& screens) = nullptr;
  // The selection's flag: the unit orders panel was opened by the order
  // menu.
  int32_t* orderMenuShown = nullptr;
  // The map was panned under an open hex list pop-up, which keeps to its
  // map point.
  void (*mapPanned)(const MapView& view, int32_t oldPanX, int32_t oldPanY) = nullptr;
  // Moves the zoom slider by amount positions, notified.
  void (*moveZoomSlider)(int32_t amount) = nullptr;
};
extern MapPaneLinks g_mapPaneLinks;

// Hands the map pane the selection's, the hex lists' and the military
// screens' operations, and the tutorial its map actions (start-up).
void InstallMapPaneLinks();

// The terrain index of the hex under the pointer.
extern int32_t g_mapHoverTerrain;
