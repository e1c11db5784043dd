#include "screens/screen_hooks.h"

#include "platform/messages.h"
#include "screens/main/map_input/edge_scroll.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/frame_bars.h"
#include "screens/frontend/tutorial_window.h"
#include "screens/keys/key_table.h"
#include "screens/common/frame/main_layout.h"
#include "screens/main/map/map_draw.h"
#include "screens/main/map/map_effects.h"
#include "screens/main/map/map_grid_bake.h"
#include "screens/main/map/map_imagery_tiles.h"
#include "screens/main/map/map_view.h"
#include "screens/main/bars/minimap_box.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/screen_manager.h"
#include "ui/ui_screen_hooks.h"
#include "world/world.h"

namespace {

bool TutorialKeyDown(uint32_t key) {
  TutorialWindow& tutorial = g_screens.tutorial;
  if (!TutorialWindowOpen(tutorial)) return false;
  if (key == plat::kVkEscape) CloseTutorialWindow(tutorial);
  return true;
}

void SetMapPanelDepth(ScreenManager& ui, int32_t depth) { SetPanelDepth(depth, 0, *ui.mapView); }

void RefreshTitleBar() { g_screens.titleBar->Refresh(); }

void DrawMap(ScreenManager& ui) {
  MapView& view = *ui.mapView;
  if (view.layoutPending) ApplySideScreensLayout(view);
  CentreOnPendingHex(view);
  DrawMapView(view, 0);
  SyncMinimapViewBox(view);
  view.redrawPending = view.minimapRedrawPending = 0;
}

// Drawn again under an animation only: the minimap's box has not moved, so
// the minimap is not marked to be drawn again.
void DrawMapWithin(ScreenManager& ui) {
  MapView& view = *ui.mapView;
  Control* minimap = view.minimapPane.currentForm;
  const uint32_t state = minimap ? minimap->state : 0, flags = minimap ? minimap->flags : 0;
  DrawMapView(view, 0);
  if (minimap) minimap->state = state, minimap->flags = flags;
}

bool MapWantsFrame(ScreenManager& ui) {
  plat::CriticalSectionLock lock(g_simulationLock);
  MapView& view = *ui.mapView;
  if (view.layoutPending || view.redrawPending || view.minimapRedrawPending || view.pendingCentreHex) return true;
  // A running clock moves units and ends days; a paused one leaves the map
  // as it is but for the effects still playing.
  return GameSpeedNow(g_world.gameState) != 0 || CountMapEffects(view) > 0;
}

void ReleaseMapTextures() {
  ReleaseMapImagery(g_mapImagery);
  ReleaseMapGridBake();
}

}  // namespace

void InstallUiScreenHooks(ScreenSet& screens, ScreenManager& ui) {
  UiScreenHooks& hooks = g_uiScreenHooks;
  hooks.popupFrames = &screens.popupFrames;
  hooks.tooltip = &screens.tooltip;
  hooks.pollRing = &screens.pollRing;
  hooks.keyRows = GameKeyRows;
  hooks.tutorialKeyDown = TutorialKeyDown;
  hooks.setPanelDepth = SetMapPanelDepth;
  hooks.frameRateChanged = RefreshTitleBar;
  hooks.editorFrame = ScrollEditorPalettes;
  hooks.edgeScroll = EdgeScrollMap;
  hooks.drawMap = DrawMap;
  hooks.drawMapWithin = DrawMapWithin;
  hooks.mapWantsFrame = MapWantsFrame;
  hooks.drawEditorOverlay = DrawEditorBrush;
  hooks.releaseTextures = ReleaseMapTextures;
  ui.mapView = &g_mapView;
}
