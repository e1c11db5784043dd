#include <cstdio>

#include "app/audio/music_player.h"
#include "app/frame_pacer.h"
#include "app/gfx/bitmap_sets.h"
#include "app/gfx/cursor.h"
#include "app/gfx/renderer.h"
#include "shell/shell.h"
#include "net/net_session.h"
#include "net/net_ui_link.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "screens/frame_bars.h"
#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "sim/log_on.h"
#include "sim/simulation_lock.h"
#include "ui/form_editor.h"
#include "ui/map_folders.h"
#include "ui/screen_manager.h"
#include "world/text/rule_tables.h"
#include "world/world.h"

using namespace plat;

namespace {

constexpr int32_t kEditorWorldWidth = 240;
constexpr int32_t kEditorWorldHeight = 120;

void CloseAfterFailedScreen() {
  StopMusic(g_music);
  if (g_platform.mainWindow) PostWindowMessage(g_platform.mainWindow, kWmClose, 0, 0);
}

}  // namespace

void StartupFrame() {
  ScreenManager& ui = g_ui;
  if (g_formEditorRequest.open) {
    LoadUiBitmaps(ui);
    EnterFormEditor();
    return;
  }
  HideCursor(g_platform);

  if (ui.netRole == kRoleNone && !ui.mapEditor) {
    if (ShowSplashScreens() < 0) CloseAfterFailedScreen();
  }
  LoadUiBitmaps(ui);
  if (ShowLoadingScreen(ui.netRole != kRoleNone ? 1 : 0) < 0) CloseAfterFailedScreen();

  RestoreCursor(g_platform);

  if (ui.mapEditor)
    EnterMapEditor();
  else
    EnterFrontEnd();
}

void UiFrame() {
  // Without vertical sync nothing else holds the frames back.
  SleepMs(g_framePacer.WaitBeforeFrame(MonotonicMs()));
  UpdateFrameUi(g_ui);
}

void LoadRuleTablesAndForms(ScreenManager& ui) {
  ClearBackBuffer(g_renderer);
  if (!ui.rootForm) {
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      LoadStartupRuleTables(g_world);
    }
    BuildRootControls(ui);
    LoadScreenListForms(g_screens);
    LayoutMapViewPanes(g_mapView);
  }
  if (ui.rootForm) ui.rootForm->state |= kStateDirty;
  g_mapView.layoutPending = 1;
  g_mapView.redrawPending = 1;
}

void EnterFrontEnd() {
  ScreenManager& ui = g_ui;
  ui.mode = kUiFrontEnd;
  LoadRuleTablesAndForms(ui);
  // The front end stands on the menu picture, a game being started on the
  // plain background.
  ui.backgroundTextures[0] = ui.bitmaps.menuNew;
  ui.backgroundTextures[1] = ui.bitmaps.background;
  ui.rootForm = ui.frontEndBackground;
  ui.rootForm->state |= kStateDirty;
  // A program started for a network game goes straight to its session.
  ui.skipFrontEnd = ui.netRole != kRoleNone ? 1 : 0;
  ShowFrontEndScreen(ui);
  DispatchPendingMessages(g_platform);
  // Clicks and keys that skipped the splash, read only now, were meant for
  // the start-up screens, not for the menu that has just appeared.
  DiscardPendingInput();
  g_platform.appMode = kModeFrontEnd;
  // The network layer asks for the command line's role, and ends the
  // program as a failed screen does when that session cannot start.
  g_netUi.commandLineRole = [](ScreenManager* screens) { return screens ? screens->netRole : 0; };
  g_netUi.endProgram = [](ScreenManager*) { CloseAfterFailedScreen(); };
  // The turn codes refresh the screens and open the end-of-game pop-ups.
  InstallEndGameHooks();
  if (ui.netRole != kRoleNone) HostSession(ui);
}

void EnterFormEditor() {
  ScreenManager& ui = g_ui;
  ui.mode = kUiFrontEnd;
  ClearBackBuffer(g_renderer);
  BuildRootControls(ui);
  ui.backgroundTextures[0] = nullptr;
  ui.rootForm = ui.frontEndBackground;
  ui.rootForm->state |= kStateDirty;
  if (!g_formEditor.Open(ui.rootForm, "FORMEDIT", g_formEditorRequest.name.c_str())) {
    std::fprintf(stderr, "The layout editor's form FORMEDIT cannot be loaded\n");
    CloseAfterFailedScreen();
  }
  g_platform.appMode = kModeFrontEnd;
}

void EnterMapEditor() {
  ScreenManager& ui = g_ui;
  ui.mode = kUiMapEditor;
  g_mapFolders.mapEditor = true;
  LoadRuleTablesAndForms(ui);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    ResetWorldDataTables(g_world);
    NewGameData(g_world);
    LoadNewWorld(kEditorWorldWidth, kEditorWorldHeight);
    g_world.gameState.localPlayer = 0;
    g_world.localPlayerRecord = &g_world.players[0];
  }
  LogOn(ui, 0, 0);
  ui.rootForm = ui.rootPanel;
  ShowEditorFrameBars(ui);
  // The window timer drives the autosave; the editor is started without
  // the front end, which would have started it.
  if (g_platform.mainWindow) SetWindowTimer(g_platform.mainWindow, kUiTimerId, kUiTimerMs);
  g_platform.appMode = kModeGame;
}
