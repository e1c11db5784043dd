#include <cstdlib>
#include <cstring>

#include "app/audio/music_player.h"
#include "app/audio/sound_system.h"
#include "app/gfx/fonts.h"
#include "app/gfx/renderer.h"
#include "ai/computer_player_install.h"
#include "app/settings.h"
#include "shell/shell.h"
#include "net/net_session.h"
#include "platform/clock.h"
#include "platform/fpenv.h"
#include "platform/window.h"
#include "screens/game_session_ui.h"
#include "screens/main/map/map_view_hooks.h"
#include "screens/screen_set.h"
#include "sim/game_threads.h"
#include "ui/form_editor.h"
#include "ui/screen_manager.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

using namespace plat;

namespace {

// The network application identifier handed to the session layer.
constexpr uint8_t kProgramGuid[16] = {0x5d, 0x1e, 0x7a, 0x20, 0x3c, 0x91, 0x4b, 0x6e,
                                      0xa2, 0x0f, 0x88, 0x47, 0xd3, 0x19, 0x5c, 0x02};

}  // namespace

FormEditorRequest g_formEditorRequest;

void InitPlatformState(PlatformState& platform, void* instance, const uint8_t* programGuid, const char* title,
                       int showMode) {
  platform.instance = instance;
  std::memcpy(platform.programGuid, programGuid, sizeof platform.programGuid);
  std::strncpy(platform.windowTitle, title, sizeof platform.windowTitle - 1);
  platform.showMode = showMode;
  platform.cursorArrow = LoadAppCursor("IDC_ARROWN");
  platform.cursorBusy = LoadAppCursor("IDC_BUSYN");
  platform.cursorTarget = LoadAppCursor("IDC_TARGET");
  platform.cursorBlank = LoadAppCursor("IDC_BLANK");
  platform.currentCursor = platform.cursorArrow;
}

int32_t InitApplication(AppObject& app) {
  RegisterWindowClass({kWindowClassName, kCsDblClks | kCsOwnDc, AppWindowProc, 104});

  g_platform.appMode = kModeStartup;
  for (int m = 0; m < kAppModeCount; ++m) {
    app.windowProcs[m] = m == kModeNone ? nullptr : GameWindowProc;
    app.frameFuncs[m] = m == kModeNone ? nullptr : UiFrame;
  }
  app.windowProcs[kModeStartup] = StartupWindowProc;
  app.frameFuncs[kModeStartup] = StartupFrame;

  SetGameFloatMode();
  g_platform.floatControl = ReadFloatControl();

  if (app.sysTimePeriod != 0) BeginTimerPeriod(static_cast<uint32_t>(app.sysTimePeriod));
  std::srand(MultimediaTimeMs());

  if (StartApp(g_renderer, 1) < 0) return kFail;
  g_platform.deviceCursor = app.Flag(kSetUseHWCursor) ? 0 : 1;

  if (!app.Flag(kSetNosoundinit) && SoundInit(g_sound, g_platform.mainWindow) >= 0 &&
      !app.Flag(kSetNomusicinit))
    MusicInit(g_music);

  LoadFontTable();
  WorldInitLocks(g_world);  // world-lock: before any other thread starts
  SetupNetSession(g_netSession, 1);
  LoadUIOptions(g_uiOptions, app.optionsFile);
  LoadTextLists(g_textLists, app.languageFile);
  SetSoundVolume(g_uiOptions.bsoundmute, g_uiOptions.opsoundvol, g_ui);
  g_ui.loading = 0;
  InstallGameSessionUi();
  InstallMapViewHooks();
  InstallComputerPlayers();
  return kOk;
}

void ShutdownApplication(AppObject& app) {
  // A game still running when the window closes stops here, before anything
  // its threads use goes away.
  StopGameThreads();
  ReleaseUiTextures(g_ui);
  // The forms stay loaded; the tree they hang in goes with the window.
  DetachScreenForms(Screen::AllScreens());
  g_formEditor.Close();
  ReleaseRootControls(g_ui);
  CloseNetSession(g_netSession);
  MusicRelease(g_music);
  SoundRelease(g_sound);
  StopApp(g_renderer);
  WorldDeleteLocks(g_world);  // world-lock: after every other thread stopped
  if (app.sysTimePeriod != 0) EndTimerPeriod(static_cast<uint32_t>(app.sysTimePeriod));
}

void RequestAppClose() {
  StopMusic(g_music);
  if (g_platform.mainWindow) PostWindowMessage(g_platform.mainWindow, kWmClose, 0, 0);
}

void RunIdleFrame() {
  if (IdleTask* head = g_app.idleTasks) {
    ListNode* node = head;
    do {
      auto* task = static_cast<IdleTask*>(node);
      if (task->callback) task->callback(task->word);
      node = node->next();
    } while (node && node != head);
  }
  const int32_t mode = g_platform.appMode;
  if (mode >= 0 && mode < kAppModeCount && g_app.frameFuncs[mode]) g_app.frameFuncs[mode]();
}

int RunMessageLoop() {
  Message msg;
  for (;;) {
    if (g_platform.active && !PeekWindowMessage(&msg, false)) {
      RunIdleFrame();
      continue;
    }
    if (!GetWindowMessage(&msg)) return static_cast<int>(msg.wParam);
    TranslateWindowMessage(msg);
    DispatchWindowMessage(msg);
  }
}

void DispatchPendingMessages(PlatformState&) {
  Message msg;
  while (PeekWindowMessage(&msg, false) && msg.message != kWmQuit) {
    PeekWindowMessage(&msg, true);
    TranslateWindowMessage(msg);
    DispatchWindowMessage(msg);
  }
}

int WinMain(void* instance, void* previousInstance, const char* commandLine, int showMode) {
  ResetMessageQueue();
  InitPlatformState(g_platform, instance, kProgramGuid, "Veldrane", showMode);
  LoadRegistrySettings(g_app, g_netSession.identity, kRegistryKey);
  ParseCommandLine(g_app, g_netSession.identity, g_ui.netRole, g_ui.mapEditor, commandLine);
  g_formEditorRequest.open = ReadFormEditorOption(commandLine, &g_formEditorRequest.name);
  if (InitApplication(g_app) < 0) return 0;

  const int exitCode = RunMessageLoop();

  ShutdownApplication(g_app);
  SaveRegistrySettings(g_app, g_netSession.identity, kRegistryKey);
  if (g_platform.restart) {
    g_platform.restart = 0;
    WinMain(instance, previousInstance, commandLine, showMode);
  }
  return exitCode;
}
