#include "screens/keys/key_table.h"

#include <algorithm>
#include <string>

#include "app/audio/sound_system.h"
#include "editor/editor_map_input.h"
#include "editor/editor_palette.h"
#include "net/net_session.h"
#include "net_game/sync_check.h"
#include "platform/messages.h"
#include "screens/common/product_period.h"
#include "screens/frontend/game_menu.h"
#include "screens/frontend/score_card.h"
#include "screens/keys/key_actions.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_popups.h"
#include "screens/common/frame/map_selection.h"
#include "screens/main/map_input/selection_links.h"
#include "screens/main/map/map_view.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/screen_panel_helpers.h"
#include "screens/screen_set.h"
#include "net/command_network.h"
#include "sim/command_reset.h"
#include "sim/game_stop.h"
#include "sim/simulation_lock.h"
#include "units/hex_state.h"
#include "sim/turn_thread.h"
#include "ui/control_tree.h"
#include "ui/keyboard.h"
#include "ui/panel_helpers.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "world/game_speed.h"
#include "world/text/player_settings.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

int32_t SpeedTier() {
  plat::CriticalSectionLock lock(g_simulationLock);
  return g_keySpeed.tier ? g_keySpeed.tier() : GetGameSpeedTier(g_world.gameState);
}

void SetSpeed(int32_t tier) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (g_keySpeed.set) {
    g_keySpeed.set(tier);
  } else {
    SetGameSpeed(g_world.gameState, tier);
  }
}

void Toggle(int32_t& option) { option = option ? 0 : 1; }

// The four steps of a pair of switches: off/off, on/off, on/on, off/on.
void CyclePair(int32_t& first, int32_t& second) {
  const bool a = first != 0, b = second != 0;
  first = b ? 0 : 1;
  second = a ? 1 : 0;
}

// A screen as a pop-up over the whole screen, keeping its id unless given.
void OpenAsPopup(Screen& screen, intptr_t id = kKeepScreenId) { screen.Popup(id, nullptr); }

bool Held(const KeyPress& press, uint32_t modifier) { return (press.modifiers & modifier) != 0; }

int32_t Digit(uint32_t key) {
  return static_cast<int32_t>(key >= plat::kVkNumpad0 ? key - plat::kVkNumpad0 : key - '0');
}

// The file dialog writes the chosen player-settings name here.
std::string g_playerSettingsName;

void PlayerSettingsDialog(const char* title, int32_t mode, int32_t option) {
  OpenFileDialog(title, ".INI", kPlayerSetDirectory, &g_screens.gameFile, mode, &g_playerSettingsName, option, 0);
}

void ToggleMapDisplayFlag() {
  plat::CriticalSectionLock lock(g_simulationLock);
  g_world.mapHeader.flags ^= 1u;
  g_mapView.redrawPending = 1;
  g_mapView.minimapRedrawPending = 1;
}

void CentreOnSelectedHex() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexPosition& hex = g_world.gameState.currentHex;
  if (hex.x != 0 || hex.y != 0) CentreMapOnHex(g_mapView, PackHex(hex.x, hex.y));
}

// Shift+C: the hex the local player's record keeps, the turn's best
// settlement; none (0, 0) does nothing.
void GoToPlayerHex() {
  int16_t x = 0, y = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const PlayerRecord* local = g_world.localPlayerRecord;
    if (!local) return;
    x = local->turnBestHex[0], y = local->turnBestHex[1];
  }
  if (x == 0 && y == 0) return;
  const uint32_t packed = PackHex(x, y);
  GotoHexPacked(packed);
  CentreMapOnHex(g_mapView, packed);
  RefreshDockedPanels(g_screens);
}

void FrameRateOrUnitSight(ScreenManager& ui, const KeyPress& press) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (Held(press, kModShift) && !IsNetworkGame(g_commandNet)) {
    g_world.scenario.head.gameFlags ^= kGameFlagUnitSight;
  } else {
    Toggle(ui.showFrameRate);
    g_screens.titleBar->Refresh();
  }
}

void NextPlayerIfAllowed(ScreenManager& ui, const KeyPress&) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (g_world.scenario.head.gameFlags & kGameFlagCheated) NextPlayerKey(ui);
}

void SideScreensKey(ScreenManager& ui, const KeyPress&) {
  Toggle(g_uiOptions.sidescreens);
  if (g_uiOptions.sidescreens) {
    Control* form = g_screens.minimapBar.currentForm;
    if (Control* control = form ? FormFindControlById(form, 20) : nullptr) SetControlFlag(control, kStateHidden, 0);
  }
  ApplySideScreensLayout(*ui.mapView);
}

// The editor's hex keys act on the selected hex while the facility brush
// is on.
bool EditorHexBrush() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexPosition& hex = g_world.gameState.currentHex;
  return (hex.x != 0 || hex.y != 0) && g_editorPalette.facilityBrush != 0;
}

void EditorEvaluateHex() {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!EditorHexBrush()) return;
  if (HexExtra* block = FindHexExtra(g_world, static_cast<int32_t>(g_world.gameState.currentHex.cellIndex)))
    HexStateEvaluate(g_world, *block, 0);
  g_editorPalette.facilityBrush = 0;
}

void ZoomHome(ScreenManager&, const KeyPress& press) {
  if (Held(press, kModShift)) {
    SetZoomSlider(g_mapView.zoomMax);
  } else {
    ZoomSliderStep(0.1f);
  }
}

void ZoomEnd(ScreenManager&, const KeyPress& press) {
  if (Held(press, kModShift)) {
    SetZoomSlider(0.0f);
  } else {
    ZoomSliderStep(-0.1f);
  }
}

constexpr uint32_t kShift = kModShift, kCtrl = kModCtrl, kAlt = kModAlt;
constexpr uint32_t kAllMods = kShift | kCtrl | kAlt;
constexpr uint32_t kF1 = plat::kVkF1;
constexpr uint32_t kNumpad9 = plat::kVkNumpad0 + 9;
// The slash key, and the key some keyboards send for numeric plus.
constexpr uint32_t kVkSlash = plat::kVkOem2, kVkPlusAlt = 0x2B;

using P = const KeyPress&;
using U = ScreenManager&;

const KeyRow kKeyRows[] = {
    {kF1, 0, 0, 0, kAnyMode, kAlways, [](U, P) { OpenAsPopup(g_screens.help); }},
    {kF1 + 1, 0, 0, 0, kGameOnly, kAlways, [](U, P) { ShowMainPanel(1, 0, g_screens); }},
    {kF1 + 4, 0, kShift, 0, kAnyMode, kAlways, [](U, P) { ToggleMapDisplayFlag(); }},
    {kF1 + 4, 0, 0, 0, kEditorOnly, kAlways, [](U, P) { ToggleMapDisplayFlag(); }},
    {kF1 + 8, 0, 0, 0, kEditorOnly, kAlways, [](U, P) {
      plat::CriticalSectionLock lock(g_simulationLock);
      ResyncCommands(g_world);
    }},
    {kF1 + 2, kF1 + 8, 0, 0, kGameOnly, kNotBusy,
     [](U ui, P press) { OpenDepartmentScreen(ui, static_cast<int32_t>(press.key - kF1)); }},
    {kF1 + 10, 0, 0, 0, kEditorOnly, kAlways, [](U ui, P) { SwitchGameScreen(&ui, false); }},
    {'Q', 0, kCtrl, 0, kEditorOnly, kAlways, [](U ui, P) { SwitchGameScreen(&ui, false); }},
    {kF1 + 10, 0, 0, 0, kGameOnly, kAlways, [](U, P) { GameMenuActivate(g_screens.gameMenu, kGameMenuQuitPage); }},
    {'Q', 0, kCtrl, 0, kGameOnly, kAlways, [](U, P) { GameMenuActivate(g_screens.gameMenu, kGameMenuQuitPage); }},
    {kF1 + 11, 0, 0, 0, kGameOnly, kAlways, [](U, P) {
      plat::CriticalSectionLock lock(g_simulationLock);
      TurnAutosave(g_world);
    }},
    {plat::kVkReturn, 0, kCtrl, 0, kGameOnly, kAlways, [](U, P) {
      plat::CriticalSectionLock lock(g_simulationLock);
      TurnAutosave(g_world);
    }},
    {plat::kVkReturn, 0, 0, kShift | kAlt, kGameOnly, kAlways, [](U, P) { OpenAsPopup(g_screens.chat); }},
    {plat::kVkEscape, 0, 0, 0, kAnyMode, kAlways, [](U ui, P press) { EscapeKey(ui, press.editor); }},
    {plat::kVkBack, 0, 0, 0, kGameOnly, kAlways, [](U ui, P) { BackspaceKey(ui); }},
    {plat::kVkPause, 0, 0, 0, kGameOnly, kAlways, [](U, P) { SetSpeed(0); }},
    {plat::kVkPrior, 0, kShift, kCtrl, kGameOnly, kAlways, [](U, P) { SetSpeed(0); }},
    {plat::kVkPrior, 0, 0, kCtrl, kGameOnly, kAlways, [](U, P) { SetSpeed(std::max(SpeedTier() - 1, 0)); }},
    {plat::kVkNext, 0, kShift, kCtrl, kGameOnly, kAlways, [](U, P) { SetSpeed(kTopSpeedTier); }},
    {plat::kVkNext, 0, 0, kCtrl, kGameOnly, kAlways,
     [](U, P) { SetSpeed(std::min(SpeedTier() + 1, kTopSpeedTier)); }},
    {plat::kVkHome, 0, 0, kCtrl, kAnyMode, kAlways, ZoomHome},
    {plat::kVkEnd, 0, 0, kCtrl, kAnyMode, kAlways, ZoomEnd},
    {plat::kVkInsert, 0, 0, 0, kAnyMode, kAlways, [](U, P) { ZoomSliderStep(0.1f); }},
    {plat::kVkSubtract, 0, 0, 0, kAnyMode, kAlways, [](U, P) { ZoomSliderStep(0.1f); }},
    {plat::kVkAdd, 0, 0, 0, kAnyMode, kAlways, [](U, P) { ZoomSliderStep(-0.1f); }},
    {kVkPlusAlt, 0, 0, 0, kAnyMode, kAlways, [](U, P) { ZoomSliderStep(-0.1f); }},
    {plat::kVkSpace, 0, 0, 0, kAnyMode, kAlways, [](U ui, P press) { SpaceKey(ui, press.editor); }},
    {kVkSlash, 0, 0, 0, kGameOnly, kAlways,
     [](U, P) { SetProductPeriod(g_uiOptions.dayannual == 0); }},
    // Alt with a top-row digit only: the numeric pad's digits mean groups.
    {'0', '9', kAlt, 0, kAnyMode, kAlways, [](U ui, P press) { SetUnitFilter(ui, Digit(press.key)); }},
    {'0', '9', kCtrl, 0, kGameOnly, kAlways,
     [](U, P press) { StoreUnitGroup(g_screens, Digit(press.key), Held(press, kShift)); }},
    {plat::kVkNumpad0, kNumpad9, kCtrl, 0, kGameOnly, kAlways,
     [](U, P press) { StoreUnitGroup(g_screens, Digit(press.key), Held(press, kShift)); }},
    {'0', '9', kShift, 0, kGameOnly, kAlways, [](U, P press) { RecallUnitGroup(g_screens, Digit(press.key), 1); }},
    {plat::kVkNumpad0, kNumpad9, kShift, 0, kGameOnly, kAlways,
     [](U, P press) { RecallUnitGroup(g_screens, Digit(press.key), 1); }},
    {'0', '9', 0, kAlt, kGameOnly, kAlways, [](U, P press) { RecallUnitGroup(g_screens, Digit(press.key), 0); }},
    {plat::kVkNumpad0, kNumpad9, 0, kAlt, kGameOnly, kAlways,
     [](U, P press) { RecallUnitGroup(g_screens, Digit(press.key), 0); }},
    {'A', 0, 0, kAllMods, kAnyMode, kAlways, [](U, P) { Toggle(g_uiOptions.ovshowrangecircle); }},
    {'B', 0, kCtrl, 0, kAnyMode, kAlways,
     [](U ui, P) {
       Toggle(g_uiOptions.bshowequipulistob);
       RequestFullRefresh(ui);
     }},
    {'B', 0, 0, kShift | kAlt, kAnyMode, kAlways, [](U, P) { OpenBasePopup(g_screens, SelectedLocalObject()); }},
    {'C', 0, kCtrl, 0, kAnyMode, kAlways,
     [](U, P) {
       plat::CriticalSectionLock lock(g_simulationLock);
       OpenAsPopup(*g_screens.settlementList, g_world.gameState.localPlayer);
     }},
    {'C', 0, kShift, 0, kAnyMode, kAlways, [](U, P) { GoToPlayerHex(); }},
    {'C', 0, 0, kAllMods, kAnyMode, kAlways, [](U, P) { CentreOnSelectedHex(); }},
    {'D', 0, kCtrl, 0, kAnyMode, kAlways, [](U, P) { CyclePair(g_uiOptions.bunithudon, g_uiOptions.bunitdiscon); }},
    {'D', 0, kShift, 0, kAnyMode, kAlways, [](U, P) { Toggle(g_uiOptions.bunithudmulti); }},
    {'F', 0, 0, kCtrl, kAnyMode, kAlways, FrameRateOrUnitSight},
    {'G', 0, kCtrl, 0, kAnyMode, kAlways, [](U, P) { Toggle(g_uiOptions.ovshowgrid); }},
    {'G', 0, 0, kShift | kAlt, kAnyMode, kAlways, [](U, P) { Toggle(g_uiOptions.ovshowhighground); }},
    {'H', 0, kCtrl, 0, kAnyMode, kNotNetworked | kNotBusy, NextPlayerIfAllowed},
    {'H', 0, 0, kAllMods, kAnyMode, kAlways,
     [](U, P) {
       if (SelectedLocalObject()) OpenObjectPopup(g_screens, SelectedHexCell(), 0);
     }},
    {'I', 0, 0, 0, kAnyMode, kAlways, [](U ui, P) { IndustryKey(ui); }},
    {'J', 0, kShift, 0, kAnyMode, kAlways, [](U, P) { Toggle(g_uiOptions.bunitnozoom); }},
    {'J', 0, 0, kAlt, kAnyMode, kAlways,
     [](U, P) { CyclePair(g_uiOptions.bunithudcenter, g_uiOptions.bunithudnozoom); }},
    {'K', 0, kShift, 0, kAnyMode, kAlways,
     [](U, P) { g_uiOptions.unitdiscalpha = static_cast<uint8_t>(g_uiOptions.unitdiscalpha + 25); }},
    {'K', 0, kCtrl, 0, kAnyMode, kAlways, [](U, P) { Toggle(g_uiOptions.bunithudssize); }},
    {'K', 0, 0, kAllMods, kAnyMode, kAlways, [](U, P) { Toggle(g_uiOptions.bunithudpcolor); }},
    {'L', 0, kShift, 0, kGameOnly, kAlways,
     [](U, P) { PlayerSettingsDialog("Load Player Settings", kFileDialogLoad, 0); }},
    {'L', 0, 0, 0, kGameOnly, kAlways, [](U, P) { Toggle(g_uiOptions.ovshowlos); }},
    {'M', 0, kCtrl, 0, kAnyMode, kAlways, [](U, P) { SetSoundVolume(g_sound, g_sound.muted ? 0 : 1, -1); }},
    {'M', 0, 0, kAllMods, kAnyMode, kAlways, [](U, P) { OpenAsPopup(g_screens.missiles); }},
    {'N', 0, 0, kCtrl, kGameOnly, kNetworked,
     [](U, P) {
       // The key's own character must not land in the message it opens.
       g_swallowNextChar = 1;
       OpenAsPopup(g_screens.emailPopup, 0);
     }},
    {'O', 0, 0, kCtrl, kAnyMode, kAlways, [](U, P) { OpenSiloPopup(g_screens, nullptr); }},
    {'P', 0, kShift, kCtrl, kAnyMode, kAlways, [](U, P) { Toggle(g_uiOptions.bunitallpath); }},
    {'P', 0, 0, kCtrl, kAnyMode, kAlways, [](U, P) { OpenAsPopup(g_screens.productPopup); }},
    {'Q', 0, kShift, 0, kEditorOnly, kAlways, [](U, P) {
      plat::CriticalSectionLock lock(g_simulationLock);
      ResyncCommands(g_world);
    }},
    {'Q', 0, 0, kShift, kAnyMode, kAlways, [](U, P) { Toggle(g_uiOptions.ovshowunsaved); }},
    {'R', 0, 0, kShift | kCtrl, kAnyMode, kAlways, [](U, P) { OpenAsPopup(g_screens.research); }},
    {'S', 0, kCtrl | kShift, 0, kEditorOnly, kAlways,
     [](U, P) {
       if (EditorHexBrush() && (g_editorMap.flags & kEditorEditing)) g_screens.facilityPaintPanel.ResetHexFacility();
     }},
    {'S', 0, kCtrl, 0, kEditorOnly, kAlways, [](U, P) { EditorEvaluateHex(); }},
    {'S', 0, kShift, 0, kGameOnly, kAlways,
     [](U, P) { PlayerSettingsDialog("Save Player Settings", kFileDialogSave, 1); }},
    {'S', 0, kCtrl, 0, kGameOnly, kAlways, [](U, P) { ToggleSyncErrorPause(g_netSession); }},
    {'S', 0, 0, 0, kAnyMode, kAlways, [](U, P) { Toggle(g_uiOptions.ovshowsupply); }},
    {'T', 0, 0, 0, kEditorOnly, kAlways, [](U, P) { Toggle(g_uiOptions.ovshowgrounddef); }},
    {'T', 0, kCtrl | kShift, 0, kGameOnly, kAlways, SideScreensKey},
    {'T', 0, kCtrl, 0, kGameOnly, kAlways,
     [](U ui, P) {
       ui.panelDepth = 0;
       ApplySideScreensLayout(*ui.mapView);
     }},
    {'T', 0, 0, 0, kGameOnly, kAlways, [](U, P) { Toggle(g_uiOptions.ovshowgrounddef); }},
    {'U', 0, kCtrl, kShift, kAnyMode, kAlways, [](U ui, P) { UnitPopupKey(ui); }},
    {'U', 0, 0, kShift, kAnyMode, kAlways, [](U, P) { OpenAsPopup(g_screens.unitList); }},
    {'V', 0, 0, kAllMods, kAnyMode, kAlways, [](U, P) { Toggle(g_uiOptions.ovshowclosecombat); }},
    {'W', 0, 0, kCtrl, kAnyMode, kAlways, [](U, P) { ScoreCardActivate(g_screens.scoreCard, kKeepScreenId, nullptr); }},
    {'X', 0, kCtrl, 0, kAnyMode, kAlways, [](U, P) { SetZoomSlider(g_mapView.zoomMax); }},
    {'X', 0, 0, kAllMods, kAnyMode, kAlways, [](U, P) { Toggle(g_uiOptions.ovshowcitynames); }},
    {'Y', 0, 0, kCtrl, kAnyMode, kAlways, [](U, P) { OpenLaunchSitePopup(g_screens, nullptr); }},
    {'Z', 0, kCtrl, 0, kAnyMode, kAlways, [](U, P) { SetZoomSlider(0.0f); }},
    {'Z', 0, 0, kShift, kAnyMode, kAlways,
     [](U, P) { SetZoomSlider(std::min(1.0f, g_mapView.zoomMax) - g_mapView.zoomMin); }},
};

}  // namespace

std::span<const KeyRow> GameKeyRows() { return kKeyRows; }
