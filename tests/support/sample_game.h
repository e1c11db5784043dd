#pragma once
// The whole program in process on the sample scenario, played as Westholm
// (or the region Start names):
// started with clicks posted on the front end, then fed mouse messages
// posted to its window as the window would deliver them. Start and Stop
// hold fatal assertions; call them under ASSERT_NO_FATAL_FAILURE.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/app_object.h"
#include "app/settings.h"
#include "shell/shell.h"
#include "net/net_session.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "platform/threads.h"
#include "sim/game_threads.h"
#include "sim/region_names.h"
#include "sim/simulation_lock.h"
#include "support/private_game_root.h"
#include "support/control_layout.h"
#include "support/fast_clock.h"
#include "support/play_days.h"
#include "support/global_guard.h"
#include "support/whole_program.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "units/facilities/facility_build.h"
#include "units/hex_geometry.h"
#include "world/hex_extra.h"
#include "world/game_speed.h"
#include "world/text/ui_options.h"
#include "world/world.h"

class SampleGame {
 public:
  // A point of the hex over the map control, with the map centred on it.
  static bool PointOn(uint32_t hex, int32_t& x, int32_t& y) {
    MapView& view = *g_ui.mapView;
    CentreMapOnHex(view, hex);
    Pump();
    const Hex centre = HexCentre(HexX(hex), HexY(hex));
    const int32_t cx = view.viewLeft + static_cast<int32_t>(static_cast<float>(centre.x - view.panX) / view.zoom);
    const int32_t cy = view.viewTop + static_cast<int32_t>(static_cast<float>(centre.y - view.panY) / view.zoom);
    for (y = cy - 12; y <= cy + 12; ++y)
      for (x = cx - 8; x <= cx + 8; ++x) {
        const Hex p = ScreenToMapPixel(view, x, y);
        const Hex h = MapPixelToHex(view, p.x, p.y);
        if (PackHex(h.x, h.y) == hex && ControlHitTest(g_ui.rootForm, x, y, kAnyDepth, 0) == g_ui.mapArea) return true;
      }
    return false;
  }

  static void Pump() {
    plat::Message msg;
    while (plat::PeekWindowMessage(&msg, true)) plat::DispatchWindowMessage(msg);
    RunIdleFrame();
  }

  // A mouse message at (x, y) as the window posts it; the frame's poll
  // finds the pointer there.
  static void Post(uint32_t message, uint32_t keys, int x, int y) {
    pointer_.x = x, pointer_.y = y;
    plat::PostWindowMessage(g_platform.mainWindow, message, keys, plat::MakeLParam(x, y));
  }

  // A click of the left (or right) button without moving between press and
  // release; the pointer first comes to rest there.
  static void Click(int x, int y, bool right = false) {
    Post(plat::kWmMouseMove, 0, x, y);
    Pump();
    Post(right ? plat::kWmRButtonDown : plat::kWmLButtonDown, right ? plat::kMkRButton : plat::kMkLButton, x, y);
    Post(right ? plat::kWmRButtonUp : plat::kWmLButtonUp, 0, x, y);
    Pump();
  }

  // A key pressed and let go, as the window reports it (plat::kVkF1 + 2 is F3).
  static void PressKey(uint32_t key) {
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyDown, key, 0);
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyUp, key, 0);
    Pump();
  }

  // The middle of a control (row >= 0: of that row of a list, scrolled
  // into view first).
  static void PointOfControl(Control* control, int row, int& x, int& y) {
    ASSERT_NE(control, nullptr);
    const plat::Rect r = ControlAbsoluteRect(control);
    x = (r.left + r.right) / 2;
    y = (r.top + r.bottom) / 2;
    if (row >= 0) {
      const auto* list = static_cast<ListBoxControl*>(control);
      const Control* c = ListRowAt(list, row);
      ASSERT_NE(c, nullptr);
      ScrollRowIntoView(list, c, Post, Pump);
      const plat::Rect at = ListRowScreenRect(list, c);
      y = (at.top + at.bottom) / 2;
    }
  }

  // A click in the middle of a control (row >= 0: that row of a list).
  static void ClickControl(Control* control, int row = -1) {
    int x = 0, y = 0;
    ASSERT_NO_FATAL_FAILURE(PointOfControl(control, row, x, y));
    Click(x, y);
  }

  // A click in the middle of a button that nothing lies over: a pop-up or
  // panel left on top fails the test instead of taking the click.
  static void ClickOnTop(Control* button) {
    ASSERT_NE(button, nullptr);
    const plat::Rect at = ControlAbsoluteRect(button);
    const Control* top = ControlHitTest(g_ui.rootForm, (at.left + at.right) / 2, (at.top + at.bottom) / 2, kAnyDepth, 0);
    ASSERT_EQ(top, button) << "found " << (top ? TagOf(top) : std::string());
    ClickControl(button);
  }

  // Two quick clicks there: the second press comes as the window reports
  // it, a double click.
  static void DoubleClickControl(Control* control, int row = -1) {
    int x = 0, y = 0;
    ASSERT_NO_FATAL_FAILURE(PointOfControl(control, row, x, y));
    Click(x, y);
    Post(plat::kWmLButtonDblClk, plat::kMkLButton, x, y);
    Post(plat::kWmLButtonUp, 0, x, y);
    Pump();
  }

  // The region of the sample with that shown name, or 0.
  static int32_t RegionNamed(const char* name) {
    for (int32_t p = 1; p < kMaxPlayers; ++p)
      if (std::strcmp(RegionDisplayName(g_world, p), name) == 0) return p;
    return 0;
  }

  // The local region's units standing on the map (not aboard anything,
  // placed), of the class or of any class with -1, in ring order. The
  // caller holds g_simulationLock.
  static std::vector<const UnitRecord*> OwnUnitsOnMap(int32_t classIndex = -1) {
    const World& w = g_world;
    std::vector<const UnitRecord*> found;
    for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next)
      if (u->owner == w.gameState.localPlayer && u->carrier == 0 && u->x != 0 &&
          (classIndex < 0 || u->classIndex == classIndex))
        found.push_back(u);
    return found;
  }

  // Up to `count` empty, supplied hexes off the map's edges where the local
  // region may build the facility class, in map order. The caller holds
  // g_simulationLock.
  static std::vector<uint32_t> BuildSites(int32_t classIndex, size_t count = 8) {
    World& w = g_world;
    const HexMapShape shape = MapShape(w);
    std::vector<uint32_t> sites;
    for (int32_t i = 2 * shape.width; i < (shape.height - 2) * shape.width && sites.size() < count; ++i) {
      HexCell& cell = w.cells[static_cast<size_t>(i)];
      if (!LoadHexStack(cell) && HexLevelByte(w, cell) > 0 && i % shape.width > 1 &&
          ProcessUnitStack(w, cell, 0, 0, classIndex, 1.0f, true, true, true))
        sites.push_back(MakeHexPos(i % shape.width, i / shape.width));
    }
    return sites;
  }

  // Clicks the first of the hexes the map shows clear of panels; that hex,
  // or 0 when none is shown.
  static uint32_t ClickFirstShown(const std::vector<uint32_t>& hexes) {
    int32_t x = 0, y = 0;
    for (uint32_t hex : hexes)
      if (PointOn(hex, x, y)) {
        Click(x, y);
        return hex;
      }
    return 0;
  }

  // Makes the hex the game's current one, as a click on it would. The
  // caller holds g_simulationLock.
  static void MakeCurrentHex(uint32_t hex) {
    World& w = g_world;
    const HexMapShape shape = MapShape(w);
    w.gameState.currentHex = HexPosition{static_cast<int16_t>(HexX(hex)), static_cast<int16_t>(HexY(hex)),
                                         static_cast<uint32_t>(HexY(hex) * shape.width + HexX(hex)), 0};
  }

  // Plays day by day, at most `days` days, until `done` holds; says
  // whether it held. `done` is asked under g_simulationLock at each day's
  // end with the clock stopped there (see play_days.h).
  template <typename Done>
  static bool PlayUntil(uint32_t days, Done done) {
    return PlayDaysUntil(days, done);
  }

  // Plays the days, stops at the last one's end, and lets the screens take
  // in the last of them (its messages post more, so two frames).
  static void PlayDays(uint32_t days) {
    EXPECT_TRUE(PlayUntilDay(g_world.gameState.currentDay + days)) << "the days pass";
    Pump();
    Pump();
  }

  // Start with the end-of-turn question off, for a test that lets days
  // pass; the options are as they were again once the game has stopped.
  void StartUnasked(const char* region = "Westholm", const char* scenario = "Channel") {
    options_.emplace(g_uiOptions);
    Start(region, scenario);
    g_uiOptions.bnoconfirmturn = 1;
  }

  // A new game of the scenario (its definition's name) as the region, in a
  // window of the size given.
  void Start(const char* region = "Westholm", const char* scenario = "Channel", int32_t width = 1024,
             int32_t height = 768) {
    plat::SetClockSource(&clock_);
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(PrivateGameRoot());
    PrepareWholeProgram();
    // Whatever this test's games save to the options file is put back at
    // its end: the next test starts on the options it found.
    optionsFile_ = std::string("INI\\") + g_app.optionsFile + ".INI";
    keptOptionsFile_ = plat::ReadFileBytes(optionsFile_);
    g_app.gamerezx = width;
    g_app.gamerezy = height;
    pointer_ = PolledInput{.x = 400, .y = 300};
    g_uiInput.poll = [] { return pointer_; };
    ASSERT_EQ(InitApplication(g_app), 0);
    started_ = true;
    RunStartupFrameSkippingSplash(clock_);
    ScreenSet& s = g_screens;
    GameChoiceScreen& choice = s.gameChoice;
    ClickControl(FormFindControlByTag(s.startMenu.currentForm, "NEWGAME"));
    const int row = RowOf(choice.scenarios, scenario);
    ASSERT_GE(row, 0) << scenario;
    ClickControl(FormFindControlByTag(choice.currentForm, "SCENLIST"), row);
    const int played = RowOf(choice.regions, region);
    ASSERT_GE(played, 0) << region;
    ClickControl(FormFindControlByTag(choice.currentForm, "REGIONLIST"), played);
    ClickControl(FormFindControlByTag(choice.currentForm, "START"));
    if (startPaused) {
      // The Pause key pressed with the click that starts the game, as the
      // window delivers them: the game is paused before its first day can
      // pass, however busy the machine.
      int x = 0, y = 0;
      ASSERT_NO_FATAL_FAILURE(PointOfControl(FormFindControlByTag(s.briefing.currentForm, "START"), -1, x, y));
      Post(plat::kWmMouseMove, 0, x, y);
      Pump();
      Post(plat::kWmLButtonDown, plat::kMkLButton, x, y);
      Post(plat::kWmLButtonUp, 0, x, y);
      plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyDown, plat::kVkPause, 0);
      plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyUp, plat::kVkPause, 0);
      Pump();
    } else {
      ClickControl(FormFindControlByTag(s.briefing.currentForm, "START"));
    }
    ASSERT_EQ(g_ui.mode, kUiInGame);
    ASSERT_TRUE(GameThreadsRunning());
  }

  // Set before Start: the game starts paused.
  bool startPaused = false;

  void Stop() {
    if (!started_) return;
    started_ = false;
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 0);
    ShutdownApplication(g_app);
    EXPECT_FALSE(GameThreadsRunning());
    // A program closed with a game on leaves its world to the process: the
    // next test's game would load over it and lose its units.
    FreeGameData(g_world);
  }

  ~SampleGame() {
    Stop();
    if (keptOptionsFile_)
      (void)plat::WriteFileReplacing(optionsFile_, keptOptionsFile_->data(), keptOptionsFile_->size());
    g_uiInput.poll = nullptr;
    plat::SetDataRoot(oldRoot_);
    plat::SetClockSource(nullptr);
  }

 private:
  template <typename Row>
  static int RowOf(const std::vector<Row>& rows, const char* key) {
    for (size_t i = 0; i < rows.size(); ++i) {
      if constexpr (requires { rows[i].file; }) {
        if (rows[i].file == key) return static_cast<int>(i);
      } else {
        if (rows[i].name == key) return static_cast<int>(i);
      }
    }
    return -1;
  }

  static inline PolledInput pointer_;
  FastClock clock_;
  std::string oldRoot_;
  bool started_ = false;
  std::optional<GlobalGuard<UiOptions>> options_;
  std::string optionsFile_;
  std::optional<std::vector<uint8_t>> keptOptionsFile_;
};
