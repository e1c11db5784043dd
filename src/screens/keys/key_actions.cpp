#include "screens/keys/key_actions.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/threads.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "screens/docked_panels.h"
#include "screens/frontend/game_menu.h"
#include "screens/common/frame/main_layout.h"
#include "screens/main/panels/main_panels.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_popups.h"
#include "screens/common/frame/map_selection.h"
#include "screens/main/map/map_view.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/screen_reopen.h"
#include "ui/slide_bar.h"
#include "units/combat/fire_sight.h"
#include "world/unit_class.h"
#include "world/text/ui_options.h"
#include "world/world.h"


namespace {

bool HexSelected(const HexPosition& hex) { return hex.x != 0 || hex.y != 0; }

// The zoom slider that SIDEBAR0 binds; null while its form is missing.
SlideBarControl* ZoomSlider() {
  Control* form = g_screens.minimapBar.currentForm;
  Control* control = form ? FormFindControlByTag(form, "MAPZOOMSLDR") : nullptr;
  return control && control->kind == kKindSlideBar ? static_cast<SlideBarControl*>(control) : nullptr;
}

}  // namespace

void OpenDepartmentScreen(ScreenManager& ui, int32_t panel) {
  Screen& screen = MainPanelScreen(g_screens, panel);
  SetPanelDepth(1, 1, *ui.mapView);
  g_screens.cmdBar.dockedPanelMarker = 1;
  g_screens.cmdBar.id = panel;
  ApplySideScreensLayout(*ui.mapView);
  ClearMapSelection(g_screens);
  CloseMapPopups(g_screens);
  ReopenScreen(screen);
}

void NextPlayerKey(ScreenManager& ui) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  GameState& state = w.gameState;
  if (state.seatPending != 0) {
    if (state.seatToggle <= 1) state.seatToggle ^= 1u;
    return;
  }
  const int32_t count = std::min(state.playerCount, kMaxPlayers - 1);
  if (count < 1) return;
  // One full cycle at most: with nobody taking part the local player stays.
  int32_t player = state.localPlayer;
  bool found = false;
  for (int32_t step = 0; step < count && !found; ++step) {
    player = (player < 1 || player >= count) ? 1 : player + 1;
    found = TakesPart(w.players[player]);
  }
  if (!found) return;
  state.localPlayer = player;
  PlayerRecord& record = w.players[player];
  w.localPlayerRecord = &record;
  record.displayPolicy = record.simPolicy;
  Control* root = ui.rootForm;
  if (!root || (root->state & kStateHidden)) return;
  if (Screen* screen = root->owner) {
    screen->refreshRequest &= ~kScreenRefreshDeferred;
    screen->Refresh();
  }
  RedrawChildRing(ui, root);
  std::atomic_ref<int32_t>(ui.modal).store(0, std::memory_order_relaxed);
}

void IndustryKey(ScreenManager&) {
  intptr_t page = kKeepScreenId;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* object = SelectedLocalObject();
    const UnitClassRecord* cls = object ? ClassRecordAt(g_world, object->classIndex) : nullptr;
    if (cls && (cls->flags & kClassProduction)) {
      page = 0;
      if ((cls->flags & kClassSpecialWeaponB) && cls->hasExtra) {
        // The first of the largest needs; none above 0 leaves page 0.
        float best = 0.0f;
        for (int i = 0; i < kProductCount; ++i) {
          const float need = le::LoadF32(cls->extra.data() + 4 * static_cast<size_t>(i));
          if (need > best) {
            best = need;
            page = i;
          }
        }
      }
    }
  }
  g_screens.industry.Popup(page, nullptr);
}

void UnitPopupKey(ScreenManager&) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const HexPosition& hex = w.gameState.currentHex;
  if (!HexSelected(hex) || hex.cellIndex >= w.cells.size()) return;
  ScreenParameterList list;
  int32_t seen = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    list.entries = FillHexUnitList(hex.cellIndex);
    const int32_t local = w.gameState.localPlayer;
    const bool localValid = local >= 0 && local < kMaxPlayers;
    if ((w.scenario.head.gameFlags & kGameFlagFog) && localValid &&
        !SideSpotsHex(w, PackHex(hex.x, hex.y), local))
      return;
    const HexUnitStack* stack = w.cells[hex.cellIndex].stack;
    for (int chain = 0; stack && chain < 4; ++chain)
      for (const UnitRecord* unit = stack->chainA[chain]; unit; unit = unit->nextInChainA) {
        if (!IsUnitLive(*unit)) continue;
        const bool own = localValid && unit->owner == local;
        if (own || (!(unit->unitFlags & kUnitProvisional) && localValid && UnitVisibleToSide(w, *unit, local))) ++seen;
      }
  }
  // The pop-up gets ids: the unit may be gone by the time a page shows.
  if (seen > 0 && !list.entries.empty()) g_screens.unitDetail.Popup(list.entries.front(), &list);
}

void EscapeKey(ScreenManager&, int32_t editor) {
  if (!UndoMapState(g_screens) && !editor) GameMenuActivate(g_screens.gameMenu, kGameMenuMainPage);
}

void BackspaceKey(ScreenManager& ui) {
  if (ui.panelDepth > 0) {
    ClosePanelsAbove(ui, ui.panelDepth - 1, 0);
  } else if (ui.sidePopupOpen) {
    ClosePopup(ui, g_screens.mailWindow);
  }
}

void SpaceKey(ScreenManager& ui, int32_t editor) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexPosition& hex = g_world.gameState.currentHex;
  if (g_uiOptions.bspacecentre && HexSelected(hex)) CentreMapOnHex(*ui.mapView, PackHex(hex.x, hex.y));
  if (editor || !g_uiOptions.bspacepanels) return;
  if (ui.panelDepth > 0) {
    PopPopupsTo(ui, 0);
  } else {
    ShowMainPanel(1, 0, g_screens);
  }
}

float ZoomSliderValue() {
  if (SlideBarControl* slider = ZoomSlider()) return SliderGetValueFloat(slider);
  return g_mapView.zoom - g_mapView.zoomMin;
}

// Through the slider's notifying setter, so the map follows at once; the
// map alone while the side bar has no form.
void SetZoomSlider(float value) {
  MapView& view = *g_ui.mapView;
  const float top = view.zoomMax - view.zoomMin;
  value = std::clamp(value, 0.0f, top > 0.0f ? top : 0.0f);
  if (SlideBarControl* slider = ZoomSlider()) {
    SliderSetValueFloatNotify(slider, value);
  } else {
    ApplyZoomSliderValue(view, value);
  }
  view.redrawPending = 1;
  view.minimapRedrawPending = 1;
}

void ZoomSliderStep(float step) { SetZoomSlider(ZoomSliderValue() + step); }

void SetUnitFilter(ScreenManager&, int32_t digit) {
  g_mapView.altDigitFilter = digit;
  g_screens.filterBar->Refresh();
}

