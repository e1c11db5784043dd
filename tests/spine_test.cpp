// The program's spine end to end, in process: start-up through the start-up
// frame into the front end or the editor, the game window procedure's
// handling of notifications from other threads and of the window timer, and
// shut-down.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/app_object.h"
#include "app/gfx/renderer.h"
#include "shell/shell.h"
#include "net/net_message_queue.h"
#include "platform/clock.h"
#include "platform/image_loader.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "screens/screen_set.h"
#include "sim/command_post.h"
#include "sim/game_start.h"
#include "sim/game_stop.h"
#include "sim/game_threads.h"
#include "sim/player_messages.h"
#include "sim/sim_ui_link.h"
#include "app/window_messages.h"
#include "support/fast_clock.h"
#include "support/temp_dir.h"
#include "ui/deferred_actions.h"
#include "ui/map_folders.h"
#include "ui/screen_manager.h"
#include "world/game_speed.h"
#include "world/world.h"

namespace {

// Starts the application as the entry routine does after reading its
// settings, with a small back buffer and no sound, and runs the first idle
// frame (the start-up frame).
class SpineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetClockSource(&clock_);
    std::memcpy(oldHaps_, g_app.hapsDirectory, sizeof oldHaps_);
    oldFolders_ = g_mapFolders;
  }

  void StartUp(bool mapEditor) {
    // The game's files (logs among them) go to a folder of the test's own.
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(dataRoot_.path());
    plat::ResetMessageQueue();
    plat::UnregisterAllWindowClasses();  // the game's window procedure, not one a graphics test registered
    g_app.hapsDirectory[0] = '\0';  // the forms, if any, at the data root, whatever an earlier start read
    g_app.gamerezx = 320;
    g_app.gamerezy = 240;
    g_app.gamerezbpp = 32;
    g_app.gameadapternum = 0;
    g_app.SetFlag(kSetNosoundinit, true);
    g_ui.mapEditor = mapEditor ? 1 : 0;
    g_ui.netRole = kRoleNone;
    InitPlatformState(g_platform, nullptr, kGuid, "Veldrane", 1);
    ASSERT_EQ(InitApplication(g_app), 0) << "the offscreen driver must give a window and a device";
    ASSERT_EQ(g_platform.active, 1) << "a new visible window is activated";
    ASSERT_EQ(g_platform.appMode, kModeStartup);
    RunIdleFrame();
  }

  // Closes the window and runs the loop to its end, as a player closing the window does.
  int CloseAndShutDown() {
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
    const int code = RunMessageLoop();
    ShutdownApplication(g_app);
    return code;
  }

  void TearDown() override {
    std::memcpy(g_app.hapsDirectory, oldHaps_, sizeof oldHaps_);
    g_mapFolders = oldFolders_;  // the editor's start reads maps from its own folder
    plat::SetClockSource(nullptr);
    if (!oldRoot_.empty()) plat::SetDataRoot(oldRoot_);
  }

  static constexpr uint8_t kGuid[16] = {1};
  FastClock clock_;
  TempDir dataRoot_;
  std::string oldRoot_;
  char oldHaps_[sizeof g_app.hapsDirectory] = {};
  MapFolderState oldFolders_;
};

TEST_F(SpineTest, FrontEndStartsWithTheWindowTimerAndClosesWithCodeZero) {
  StartUp(false);
  EXPECT_EQ(g_platform.appMode, kModeFrontEnd);
  EXPECT_EQ(g_ui.mode, kUiFrontEnd);
  EXPECT_EQ(g_ui.rootForm, g_ui.frontEndBackground);
  EXPECT_NE(g_ui.rootPanel, nullptr);

  // The 250 ms timer: advance past it and a WM_TIMER with id 1 is waiting.
  plat::SleepMs(300);
  plat::Message msg;
  bool sawTimer = false;
  for (int i = 0; i < 50 && !sawTimer; ++i) {
    if (plat::PeekWindowMessage(&msg, true) && msg.message == plat::kWmTimer && msg.wParam == kUiTimerId)
      sawTimer = true;
    else
      plat::SleepMs(10);
  }
  EXPECT_TRUE(sawTimer);

  EXPECT_EQ(CloseAndShutDown(), 0);
  EXPECT_FALSE(plat::IsWindowValid(g_platform.mainWindow));
  EXPECT_FALSE(WorldLocksExist(g_world));
  EXPECT_EQ(g_renderer.device, nullptr);
  // The interface's images went with the device: the next start in this
  // process reads its own files (this one's data folder had none).
  for (Texture* image : {g_ui.bitmaps.cabinet, g_ui.bitmaps.avatar, g_ui.bitmaps.background, g_ui.bitmaps.menuNew})
    EXPECT_EQ(image, nullptr);
}

// The front end's first frame draws the menu picture, every form loaded,
// the start menu's on the background.
TEST_F(SpineTest, FrontEndFirstFrameDrawsItsBackgroundOnTheShippedForms) {
  // The shipped pictures, and the forms at the root (no forms folder is set).
  const std::filesystem::path game = std::filesystem::path(VD_GAME_EXE).parent_path();
  for (const std::string folder : {"HAPS", "GRAPHICS"}) {
    for (const auto& entry : std::filesystem::directory_iterator(game / folder)) {
      std::ostringstream bytes;
      bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
      dataRoot_.Write((folder == "HAPS" ? "" : folder + "/") + entry.path().filename().string(), bytes.str());
    }
  }
  g_ui.rootForm = nullptr;  // the interface and its pictures are set up afresh on these files
  DestroyUiBitmaps(g_ui.bitmaps);
  StartUp(false);
  ASSERT_EQ(g_ui.rootForm, g_ui.frontEndBackground);
  for (Screen* s = Screen::AllScreens(); s; s = s->nextScreen) ASSERT_TRUE(!s->formName || s->currentForm) << s->formName;
  EXPECT_EQ(g_screens.startMenu.currentForm->parent, g_ui.frontEndBackground);
  RunIdleFrame();
  // The centre shows the picture's (1024 x 768 on 320 x 240), give or take the filter.
  std::vector<uint32_t> pixels;
  uint32_t w = 0, h = 0;
  plat::DecodedImage menu;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &w, &h) | plat::DecodeImageFile("GRAPHICS\\MENUNEW.PNG", &menu), plat::kOk);
  const uint32_t drawn = pixels[size_t{h / 2} * w + w / 2], texel = menu.pixels[size_t{384} * 1024 + 512];
  for (int shift : {0, 8, 16}) EXPECT_NEAR((drawn >> shift) & 0xFF, (texel >> shift) & 0xFF, 24) << "channel " << shift;
  EXPECT_EQ(CloseAndShutDown(), 0);
}

TEST_F(SpineTest, MapEditorOpensABlankWorldInModeOneWithTheGameTimer) {
  StartUp(true);
  EXPECT_EQ(g_platform.appMode, kModeGame);
  EXPECT_EQ(g_ui.mode, kUiMapEditor);
  EXPECT_EQ(g_ui.rootForm, g_ui.rootPanel);
  EXPECT_EQ(g_world.mapWidth, 240);
  EXPECT_EQ(g_world.mapHeight, 120);
  EXPECT_EQ(g_world.gameState.localPlayer, 0);
  // The editor's world logs on like a game: its clock waits for its go
  // event, and the 250 ms window timer runs.
  EXPECT_TRUE(GameThreadsRunning());

  plat::SleepMs(300);
  plat::Message msg;
  bool sawTimer = false;
  for (int i = 0; i < 50 && !sawTimer; ++i) {
    if (plat::PeekWindowMessage(&msg, true) && msg.message == plat::kWmTimer && msg.wParam == kUiTimerId)
      sawTimer = true;
    else
      plat::SleepMs(10);
  }
  EXPECT_TRUE(sawTimer);
  EXPECT_EQ(CloseAndShutDown(), 0);
  EXPECT_FALSE(GameThreadsRunning()) << "shut-down stops the game's threads";
}

TEST_F(SpineTest, AGameStartsFromTheFrontEndAndLeavesForItAgain) {
  StartUp(false);
  ASSERT_EQ(g_platform.appMode, kModeFrontEnd);
  // A loaded game of three regions, as the game set-up leaves it.
  NewGameData(g_world);
  ASSERT_EQ(LoadNewWorld(20, 12), 0);
  GameState& s = g_world.gameState;
  s.highestPlayer = 3;
  s.localPlayer = 1;
  for (int p = 1; p <= 3; ++p) {
    g_world.players[p].number = static_cast<uint8_t>(p);
    g_world.players[p].kind = kKindComputer;
  }
  StartGameSession(&g_ui, 1, 0, 0);
  EXPECT_TRUE(GameThreadsRunning());
  EXPECT_EQ(s.localPlayer, 1);
  EXPECT_EQ(g_world.players[1].kind, kKindHuman);

  // The turn thread tells the main window the turn is over.
  PostTurnEvent(1);
  plat::Message msg;
  bool sawTurnEnd = false;
  while (!sawTurnEnd && plat::PeekWindowMessage(&msg, true))
    sawTurnEnd = msg.message == kWmTurnEvent && msg.wParam == kTurnCodeTurnEnd;
  EXPECT_TRUE(sawTurnEnd);

  SwitchGameScreen(&g_ui, false);
  EXPECT_FALSE(GameThreadsRunning());
  EXPECT_EQ(g_platform.appMode, kModeFrontEnd);
  EXPECT_EQ(g_ui.mode, kUiFrontEnd);
  EXPECT_EQ(g_ui.rootForm, g_ui.frontEndBackground);
  EXPECT_EQ(g_world.localPlayerRecord, nullptr) << "the game's data is released";
  EXPECT_TRUE(g_commandLog.Empty());
  // The front end's timer runs again.
  plat::SleepMs(300);
  bool sawTimer = false;
  for (int i = 0; i < 50 && !sawTimer; ++i) {
    if (plat::PeekWindowMessage(&msg, true) && msg.message == plat::kWmTimer && msg.wParam == kUiTimerId)
      sawTimer = true;
    else
      plat::SleepMs(10);
  }
  EXPECT_TRUE(sawTimer);
  EXPECT_EQ(CloseAndShutDown(), 0);
}

TEST_F(SpineTest, PlayerLeftNotificationPausesFirstThenHandsTheRegionOver) {
  StartUp(false);
  g_world.gameState.gameSpeed = 40;
  g_world.players[5].kind = kKindComputer;
  g_commandLog.Clear();
  std::thread worker([] { plat::PostWindowMessage(g_platform.mainWindow, kWmNetEvent, kNetCodePlayerLeft | kNetCodePause, 5); });
  worker.join();

  plat::Message msg;
  ASSERT_TRUE(plat::PeekWindowMessage(&msg, true));
  ASSERT_EQ(msg.message, kWmNetEvent);
  plat::DispatchWindowMessage(msg);

  // The pause travels as a session message, so it is applied when the queue
  // drains; it was queued before the hand-over commands were posted.
  const std::vector<GameCommand> posted = g_commandLog.Entries();
  ASSERT_EQ(posted.size(), 3u);
  EXPECT_EQ(posted[0].id, 0x8002u);
  EXPECT_EQ(posted[0].arg28, 3u);
  EXPECT_EQ(posted[1].id, 142u);
  EXPECT_EQ(posted[1].arg28, 100u);
  EXPECT_EQ(posted[2].id, 143u);
  EXPECT_EQ(posted[2].arg28, 100u);
  for (const auto& c : posted) EXPECT_EQ(c.player, 5);
  g_commandLog.Clear();

  ASSERT_TRUE(plat::PeekWindowMessage(&msg, true));
  EXPECT_EQ(msg.message, kWmNetQueue);
  plat::DispatchWindowMessage(msg);
  EXPECT_EQ(g_world.gameState.gameSpeed, 0);
  EXPECT_EQ(CloseAndShutDown(), 0);
}

// A speed change asked for on another thread wakes the main thread, and the
// state takes the new speed only when the main window handles the queue.
TEST_F(SpineTest, SpeedChangeReachesTheStateThroughTheMainWindow) {
  StartUp(false);
  g_world.gameState.gameSpeed = 0;
  g_world.gameState.speedLockMode = 0;
  std::thread worker([] { SetGameSpeed(g_world.gameState, 2); });
  worker.join();
  EXPECT_EQ(g_world.gameState.gameSpeed, 0);

  plat::Message msg;
  ASSERT_TRUE(plat::PeekWindowMessage(&msg, true));
  ASSERT_EQ(msg.message, kWmNetQueue);
  EXPECT_EQ(g_world.gameState.gameSpeed, 0);
  plat::DispatchWindowMessage(msg);
  EXPECT_EQ(g_world.gameState.gameSpeed, GameSpeedOfTier(2));
  EXPECT_GT(g_world.gameState.gameSpeed, 0);
  EXPECT_EQ(CloseAndShutDown(), 0);
}

TEST_F(SpineTest, TimerWorkRunsOncePerFrame) {
  StartUp(false);
  // A screen registered for polling counts the timer's runs.
  struct Counting : Screen {
    Counting() : Screen(nullptr) {}
    void Poll(intptr_t) override { ++runs; }
    int runs = 0;
  } screen;
  int& runs = screen.runs;
  QueueDeferredUiAction(&screen, 0);
  g_ui.timerLatch = 0;
  plat::Message timer{g_platform.mainWindow, plat::kWmTimer, kUiTimerId, 0, 0};
  plat::DispatchWindowMessage(timer);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(g_ui.timerLatch, 1);

  // A second timer before the next frame does nothing; the frame releases the latch.
  plat::DispatchWindowMessage(timer);
  EXPECT_EQ(runs, 1);
  RunIdleFrame();
  EXPECT_EQ(g_ui.timerLatch, 0);
  plat::DispatchWindowMessage(timer);
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(CloseAndShutDown(), 0);
}


// The turn thread's turn-end notification makes the main window delete the
// regions' old news; a day's notification leaves them.
TEST_F(SpineTest, TurnEndNotificationExpiresOldNewsOnTheMainThread) {
  StartUp(false);
  NewGameData(g_world);
  GameState& s = g_world.gameState;
  s.highestPlayer = 2;
  s.currentDay = 1000;
  for (int p = 1; p <= 2; ++p) {
    g_world.players[p].number = static_cast<uint8_t>(p);
    g_world.players[p].kind = kKindComputer;
    auto* old = NewZeroed<PlayerMessage>();
    old->flags = kMessageNews;
    old->day = s.currentDay - 100;
    g_world.messageLists[p].Prepend(old);
  }
  const struct {
    uint32_t code;
    size_t left;  // messages each region holds afterwards
  } kRows[] = {{2, 1}, {1, 0}};
  for (const auto& row : kRows) {
    std::thread worker([&] { plat::PostWindowMessage(g_platform.mainWindow, kWmTurnEvent, row.code, 0); });
    worker.join();
    plat::Message msg;
    bool handled = false;
    while (!handled && plat::PeekWindowMessage(&msg, true)) {
      if (msg.message != kWmTurnEvent) continue;
      plat::DispatchWindowMessage(msg);
      handled = true;
    }
    ASSERT_TRUE(handled) << "code " << row.code;
    for (int p = 1; p <= 2; ++p) {
      size_t count = 0;
      ListNode& head = g_world.messageLists[p];
      for (ListNode* n = head.next(); n && n != &head; n = n->next()) ++count;
      EXPECT_EQ(count, row.left) << "code " << row.code << ", region " << p;
    }
  }
  FreeGameData(g_world);
  EXPECT_EQ(CloseAndShutDown(), 0);
  EXPECT_EQ(g_ui.popupCount, 0) << "the news pop-up's frame went with the program";
}

}  // namespace
