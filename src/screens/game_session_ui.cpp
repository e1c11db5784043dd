#include "screens/game_session_ui.h"

#include <atomic>

#include "app/app_object.h"
#include "app/audio/sound_system.h"
#include "net/net_ui_link.h"
#include "net/text_message.h"
#include "platform/window.h"
#include "screens/diplomacy/mail/contact_masks.h"
#include "screens/diplomacy/deals/deal_popup.h"
#include "screens/diplomacy/diplomacy_screen.h"
#include "screens/diplomacy/areas/hex_area.h"
#include "screens/economy/research/research_funding_panel.h"
#include "screens/frame_bars.h"
#include "screens/frontend/tutorial_window.h"
#include "screens/main/map_input/map_pane_input.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/unit_selection.h"
#include "screens/main/map_input/selection_links.h"
#include "screens/main/map/map_view.h"
#include "screens/military/production/production_lists.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_popups.h"
#include "screens/main/popups/hex_list_popups.h"
#include "screens/screen_set.h"
#include "sim/sim_ui_link.h"
#include "sim/simulation_lock.h"
#include "app/window_messages.h"
#include "ui/control_focus.h"
#include "ui/deferred_actions.h"
#include "ui/interface_images.h"
#include "ui/list_control.h"
#include "ui/map_folders.h"
#include "ui/map_hover.h"
#include "ui/popups.h"
#include "ui/scenario_file_set.h"
#include "ui/screen_manager.h"
#include "world/world.h"
#include "world/text/ui_options.h"

namespace {


bool HaveWindow() { return g_platform.mainWindow && plat::IsWindowValid(g_platform.mainWindow); }

void PostTurnEventToWindow(uint32_t code) {
  if (HaveWindow()) plat::PostWindowMessage(g_platform.mainWindow, kWmTurnEvent, code, 0);
}

void PlaySound(int number) { PlayUiSound(g_sound, number); }

// Log-on: the overlays start empty and the timer keeps them up to date.
void ClearGameQueues(ScreenManager*) {
  ClearDeferredActions(g_screens.pollRing);
  for (MapOverlay* overlay : {static_cast<MapOverlay*>(&g_screens.chatMap),
                              static_cast<MapOverlay*>(&g_screens.statMap)}) {
    if (overlay->list) ListClear(overlay->list, 0);
    QueueDeferredUiAction(overlay, 0);
  }
}

void ShowGameBars(ScreenManager* ui) {
  if (ui) ShowGameFrameBars(*ui);
}

int32_t LoadGameImages(ScreenManager* ui) {
  if (!ui) return 0;
  const int32_t status = LoadMapBitmaps(*ui);
  if (ui->gameStartHook && ui->gameStartHook() == 0) ui->gameStartHook();
  return status;
}

void StartGameTimer(ScreenManager*) {
  if (HaveWindow()) plat::SetWindowTimer(g_platform.mainWindow, kUiTimerId, kUiTimerMs);
}

void StopGameTimer(ScreenManager*) {
  if (HaveWindow()) plat::KillWindowTimer(g_platform.mainWindow, kUiTimerId);
}

void StopGameInterface(ScreenManager* ui) {
  if (g_platform.appMode == kModeGame) g_platform.appMode = kModeFrontEnd;
  ClearDeferredActions(g_screens.pollRing);
  ReleaseTutorial(g_screens.tutorial);
  ForgetGameScreens(g_screens);
  // Contact choices belong to the game left; a save brings its own back.
  g_contactMasks = ContactMasks{};
  // So do its chat and notice lines: the next single-player game would open
  // on them (a network game empties them itself when it starts).
  ClearTextMessageQueue(g_textLines);
  if (!ui) return;
  if (ui->mode == kUiInGame) ui->mode = kUiFrontEnd;
  // The map's textures go; the interface's own sets stay, since the front
  // end's controls still draw them.
  DestroyMapBitmaps(ui->bitmaps);
}

// Log-on: a game begun without the last one stopped through the menus (a
// load from the victory screen, a program's first game) starts as clean.
void ResetInterfaceForGame(ScreenManager*) {
  EndTextEdit();
  ForgetGameScreens(g_screens);
}

// Leaving a game by any way (the game menu, the tutorial's Leave, a lost
// session): what it had open must not stand over the next game.
void CloseGameScreens(ScreenManager* ui) {
  if (!ui) return;
  CloseAllPopups(*ui, 1);
  EndTextEdit();
  CancelMapPlacement(g_screens);
  if (ui->panelDepth > 0) SetPanelDepth(0, 1, g_mapView);
  g_screens.cmdBar.dockedPanelMarker = 0;
  UpdatePopupButton(g_screens.mailBar);
  CloseMapPopups(g_screens);
  CancelMapPlacement(g_screens);
}

void ShowFrontEnd(ScreenManager* ui, bool showVictory) {
  if (!ui) {
    g_platform.appMode = kModeFrontEnd;
    return;
  }
  if (ui->mode != kUiMapEditor) (void)SaveUIOptions(g_uiOptions, g_app.optionsFile);
  (void)LoadUiBitmaps(*ui);
  if (ui->frontEndHook) ui->frontEndHook();
  if (!showVictory && ShowLoadingScreen(0) < 0 && HaveWindow())
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
  g_platform.appMode = kModeFrontEnd;
  ui->mode = kUiFrontEnd;
  ui->rootForm = ui->frontEndBackground;
  if (ui->rootForm) ui->rootForm->state |= kStateDirty;
  if (!showVictory && ui->netRole == kRoleNone && !ui->mapEditor) g_screens.startMenu.Show(0, nullptr);
  StartGameTimer(ui);
  // A program started for one game (network role or editor on the command
  // line) ends when that game does.
  if (!showVictory && (ui->netRole != kRoleNone || ui->mapEditor) && HaveWindow())
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
  if (showVictory) ShowVictoryScreen();
}

// The interface mode word (UiMode) and the application's (AppMode) change
// together here, each by its own numbers. Once the local player has joined,
// the game is drawn on the root panel.
void EnterGame(ScreenManager* ui) {
  g_platform.appMode = kModeGame;
  // The score card's last page was shown by the game before or by its
  // result screen: a campaign or polls page this game may not have.
  g_screens.scoreCard.page = 0;
  if (!ui) return;
  {
    plat::CriticalSectionLock reading(g_simulationLock);
    g_mapView.pendingCentreHex = GameStartHex(g_world);
  }
  ui->mode = kUiInGame;
  ui->rootForm = ui->rootPanel;
  if (ui->rootForm) ui->rootForm->state |= kStateDirty;
}

// A new game is prepared on the plain background behind the briefing.
void OpenBriefing(ScreenManager* ui) {
  if (!ui) return;
  ui->rootForm = ui->gameBackground;
  if (ui->rootForm) ui->rootForm->state |= kStateDirty;
  g_screens.briefing.Show(0, nullptr);
}

void BriefingProgress(ScreenManager*, int32_t value) { g_screens.briefing.SetProgress(value); }

void RefreshLobby(ScreenManager*) {
  if (g_screens.gameLobby.currentForm && g_screens.gameLobby.currentForm->parent) LobbyRefreshReady(g_screens.gameLobby);
}

// After joining a network game: every human player's machine reports in
// before the game goes on.
void OpenWaitingRoom(ScreenManager* ui) {
  if (!ui) return;
  WaitingRoom& room = g_screens.waitingRoom;
  room.mode = 0;
  room.Popup(kKeepScreenId, nullptr);
}

void OpenLobby(ScreenManager*, int32_t mode) {
  g_screens.gameLobby.mode = mode;
  g_screens.gameLobby.Show(0, nullptr);
}

void PlayNetSound(ScreenManager*, int32_t number) { PlayUiSound(g_sound, number); }

void RefreshCurrentScreen(ScreenManager* ui) {
  if (!ui || !ui->rootForm) return;
  ui->rootForm->state |= kStateDirty;
  // The day's census recounts the running projects and the centres; the
  // research views read those counts beside their project lists.
  RefreshShownResearchViews();
}

int32_t CurrentUiMode() { return std::atomic_ref<int32_t>(g_ui.mode).load(std::memory_order_relaxed); }

// The refresh flag: the screens redraw at the next timer.
void UnitsChanged() { std::atomic_ref<int32_t>(g_ui.modal).store(1, std::memory_order_relaxed); }

// A joining player is in the game already; otherwise the briefing stays up
// and now offers its start button.
void FinishGameStart(ScreenManager* ui, bool joined) {
  if (!ui) return;
  if (!joined) {
    g_screens.briefing.Refresh();
    return;
  }
  ui->rootForm = ui->rootPanel;
  if (ui->rootForm) ui->rootForm->state |= kStateDirty;
}

}  // namespace

void ForgetGameScreens(ScreenSet& s) {
  // A placement of the game left would keep its build panel and cursor up.
  CancelMapPlacement(s);
  if (g_ui.panelDepth > 0) SetPanelDepth(0, 1, g_mapView);
  // Nor does the depth a pop-up of the last game took down: the next game's
  // first pop-up to close would open the dock on the last game's panels.
  g_ui.savedPanelDepth = 0;
  s.cmdBar.dockedPanelMarker = 0;
  // The dock's bars keep the forms last docked in them while hidden: the
  // next game opening a level would show the last game's panel there
  // until something replaced it.
  for (int32_t level = kDockLevelMain; level <= kDockLevelThird; ++level) {
    Control* host = DockHost(s, level);
    if (!host) continue;
    for (Screen* screen = Screen::AllScreens(); screen; screen = screen->nextScreen) {
      Control* form = screen->currentForm;
      if (!form || form->parent != host) continue;
      form->Unlink();
      screen->host = nullptr;
    }
  }
  // A page shown where no bar stood hangs in the dock's box itself (the map
  // panel always does, a department page when the map panel had taken the
  // bar's place): the next game's first open level would show it. Each box
  // gets its bar back, as a new game starts with.
  BottomBar* const bars[] = {&s.dockLevel1, &s.dockLevel2, &s.dockLevel3};
  for (BottomBar* bar : bars) {
    Control* box = g_ui.bottomBoxes[bar->Level()];
    if (!box) continue;
    for (Screen* screen = Screen::AllScreens(); screen; screen = screen->nextScreen) {
      Control* form = screen->currentForm;
      if (screen == bar || !form || form->parent != box) continue;
      form->Unlink();
      screen->host = nullptr;
    }
    if (bar->currentForm) bar->AttachForm(nullptr);
  }
  // The side panel remembered, the tab pressed: the next game's first hex
  // would refresh the last game's panel or open the panel of that tab.
  s.mapScreen.ForgetGame();
  // The selection and the unit lists name the last game's units, whose
  // ids the next game's share.
  ClearWorkingLists(s, kWorkingListsClearedAtStop);
  ListHolderClear(HoverStackList());
  g_selection = SelectionState{};
  g_mapClickPending = MapClickPending{};
  s.mapClickMode = kClickNone;
  s.selectionPanelPending = 0;
  // A hex or order menu of the game left: the next game's tutorial would
  // take it for one the player opened there.
  g_hexListMemory = HexListMemory{};
  g_hexListLastOpened = HexListMemory{};
  // Orders shown or a target locked in the game left would turn the next
  // game's first hex click into closing them.
  s.selectionOrdersShown = 0;
  s.mapTargetLocked = 0;
  // The orders screen's units and the settings edited for them.
  OrdersScreen& orders = s.ordersScreen;
  ListHolderClear(orders.unitList);
  if (orders.unitListBox) ListClear(orders.unitListBox, 0);
  orders.edit = OrderEditState{};
  orders.addedFlag = 0;
  // The news rows are the last game's messages.
  if (s.statusScreen.newsList) ListClear(s.statusScreen.newsList, 0);
  // The offer being drawn up was to a region of the game left: the next
  // game's talks with the region of that number start afresh.
  s.dealPopup.offer.reset();
}

void InstallGameSessionUi() {
  SimUiLink& link = g_simUi;
  link.postTurnEvent = PostTurnEventToWindow;
  link.playUiSound = PlaySound;
  link.resetInterfaceForGame = ResetInterfaceForGame;
  link.clearGameQueues = ClearGameQueues;
  link.loadGameImages = LoadGameImages;
  link.startGameTimer = StartGameTimer;
  link.stopGameTimer = StopGameTimer;
  link.stopGameInterface = StopGameInterface;
  link.closeGameScreens = CloseGameScreens;
  link.showFrontEnd = ShowFrontEnd;
  link.enterGame = EnterGame;
  link.finishGameStart = FinishGameStart;
  link.showGameFrameBars = ShowGameBars;
  link.uiMode = CurrentUiMode;
  link.unitsChanged = UnitsChanged;
  link.loadScenarioFiles = LoadScenarioFiles;
  link.openBriefing = OpenBriefing;
  link.briefingProgress = BriefingProgress;
  link.refreshLobby = RefreshLobby;
  link.openWaitingRoom = OpenWaitingRoom;
  g_netUi.openLobby = OpenLobby;
  g_netUi.playUiSound = PlayNetSound;
  g_netUi.refreshScreen = RefreshCurrentScreen;
  // The map's folders and hover cells the world publishes live here too.
  InstallMapFolderHooks();
  InstallMapHoverHooks();
  InstallMapSelectionLinks();
  InstallMapPaneLinks();
  InstallProductionListLinks();
  InstallDiplomacyMailHook();
  InstallAreaTagHooks();
  InstallDealEditorHooks();
}
