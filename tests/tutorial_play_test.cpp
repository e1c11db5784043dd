// The shipped tutorial played in process with posted clicks: the start
// menu's Tutorial loads its pages and its saved game, the briefing's start
// opens the window over the paused game as Westholm, Next walks every page
// with each marker on a control the game screen shows, and Leave ends the
// game for the start menu with no page and no pop-up of it kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/app_object.h"
#include "app/gfx/renderer.h"
#include "shell/shell.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "screens/frontend/tutorial_window.h"
#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "sim/game_stop.h"
#include "sim/game_threads.h"
#include "support/fast_clock.h"
#include "support/global_guard.h"
#include "support/whole_program.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "world/text/tutorial_table.h"
#include "world/world.h"

namespace {

bool Open(const Screen& s) { return s.currentForm && s.currentForm->parent; }

TEST(TutorialPlay, TheStartMenusTutorialWalksItsPagesAndLeavesForTheMenu) {
  const GlobalGuard<InputPoll> pointer(g_uiInput.poll, [] { return PolledInput{.x = 400, .y = 300}; });
  FastClock clock;
  plat::SetClockSource(&clock);
  const std::string oldRoot = plat::DataRoot();
  plat::SetDataRoot(std::filesystem::path(VD_GAME_EXE).parent_path().string());
  PrepareWholeProgram();
  ASSERT_EQ(InitApplication(g_app), 0);
  struct StopsTheGame {
    std::string root;
    ~StopsTheGame() {
      if (GameThreadsRunning()) StopGameSession(&g_ui);
      plat::SetDataRoot(root);
      plat::SetClockSource(nullptr);
    }
  } stopsTheGame{oldRoot};
  RunStartupFrameSkippingSplash(clock);
  ScreenSet& s = g_screens;
  ASSERT_TRUE(Open(s.startMenu));
  Control* entry = FormFindControlByTag(s.startMenu.currentForm, "TUTORIAL");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->text, "Tutorial");

  ClickControl(entry, -1);
  ASSERT_NE(g_tutorialSteps, nullptr) << "the pages are loaded";
  ASSERT_TRUE(Open(s.briefing));
  ClickControl(FormFindControlByTag(s.briefing.currentForm, "START"), -1);
  ASSERT_EQ(g_ui.mode, kUiInGame);
  ASSERT_TRUE(GameThreadsRunning());
  EXPECT_EQ(g_world.gameState.localPlayer, 1) << "Westholm";
  EXPECT_EQ(g_world.gameState.gameSpeed, 0) << "the tutorial pauses the game";
  TutorialWindow& t = s.tutorial;
  ASSERT_TRUE(TutorialWindowOpen(t));
  ASSERT_EQ(t.page, g_tutorialSteps);
  EXPECT_EQ(g_world.gameState.currentHex.x, 78) << "the capital is selected";
  EXPECT_EQ(g_world.gameState.currentHex.y, 26);

  // Each shown page (chained ones run through) with its markers placed
  // round controls still seen through them, and the pop-ups open on it.
  std::vector<std::tuple<std::string, int, int>> shown;
  for (;;) {
    int markers = 0;
    RunIdleFrame();
    std::vector<uint32_t> frame;
    uint32_t width = 0, height = 0;
    ASSERT_EQ(g_renderer.device->ReadBackBuffer(&frame, &width, &height), plat::kOk);
    const std::string title = FormFindControlByTag(t.currentForm, "TITLE")->text;
    for (int i = 0; i < kTutorialMarkers; ++i) {
      const BitmapControl* m = t.markers[i];
      if (!m || !m->parent) continue;
      ++markers;
      const plat::Rect r = ControlAbsoluteRect(m);
      const uint32_t centre = frame[static_cast<size_t>((r.top + r.bottom) / 2) * width + (r.left + r.right) / 2];
      const bool red = ((centre >> 16) & 0xFF) > 200 && ((centre >> 8) & 0xFF) < 60 && (centre & 0xFF) < 60;
      EXPECT_FALSE(red) << "a marker hides its control";
      // The frame stands round the control the page names, where the
      // screen shows it now.
      const char* tag = t.page->texts[kTutorialClickTags + i].get();
      const Control* marked = nullptr;
      for (Control* box : g_ui.bottomBoxes)
        if (!marked) marked = FormFindControlByTag(box, tag);
      if (!marked) marked = FormFindControlByTag(g_ui.rootForm, tag);
      ASSERT_NE(marked, nullptr) << tag;
      const plat::Rect c = ControlAbsoluteRect(marked);
      EXPECT_EQ(std::make_tuple(r.left + 10, r.top + 10, r.right - 10, r.bottom - 10),
                std::make_tuple(c.left, c.top, c.right, c.bottom))
          << title << ": " << tag;
    }
    // The hex a page speaks of is in view, not under the window.
    if (t.page->extra[0] > 0) {
      const TutorialPoint hex = TutorialHexPoint(g_mapView, t.page->extra[0], t.page->extra[1]);
      const plat::Rect window = ControlAbsoluteRect(t.currentForm);
      const plat::Rect view{g_mapView.viewLeft, g_mapView.viewTop, g_mapView.viewRight, g_mapView.viewBottom};
      EXPECT_TRUE(hex.x >= view.left && hex.x < view.right && hex.y >= view.top && hex.y < view.bottom) << title;
      EXPECT_FALSE(hex.x >= window.left && hex.x < window.right && hex.y >= window.top && hex.y < window.bottom)
          << title;
    }
    shown.emplace_back(title, markers, g_ui.popupCount);
    Control* next = FormFindControlByTag(t.currentForm, "NEXT");
    if (next->Hidden() || shown.size() == 12) break;
    ClickControl(next, -1);
  }
  const std::vector<std::tuple<std::string, int, int>> expected = {
      {"Welcome to Westholm", 1, 0}, {"The map panel", 3, 0},  {"Selecting units", 0, 0},
      {"The hex menu", 0, 1},        {"A unit's pop-up", 0, 1}, {"Your forces", 1, 0},
      {"Your neighbours and your purse", 4, 0}, {"Over to you", 1, 0}};
  EXPECT_EQ(shown, expected);
  EXPECT_TRUE(TutorialWindowOpen(t)) << "no page closed the window";

  // Back to the page with the unit's pop-up, and Leave from there: the
  // pop-up goes with the game instead of standing over the next one.
  for (int back = 0; back < 8 && FormFindControlByTag(t.currentForm, "TITLE")->text != "A unit's pop-up"; ++back)
    ClickControl(FormFindControlByTag(t.currentForm, "PREV"), -1);
  ASSERT_EQ(g_ui.popupCount, 1) << FormFindControlByTag(t.currentForm, "TITLE")->text;
  ClickControl(FormFindControlByTag(t.currentForm, "TCLOSE"), -1);
  EXPECT_EQ(g_ui.popupCount, 0);
  EXPECT_EQ(g_ui.mode, kUiFrontEnd);
  EXPECT_FALSE(GameThreadsRunning());
  EXPECT_FALSE(TutorialWindowOpen(t));
  EXPECT_EQ(g_tutorialSteps, nullptr);
  EXPECT_EQ(t.page, nullptr);
  EXPECT_TRUE(Open(s.startMenu));

  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
  EXPECT_EQ(RunMessageLoop(), 0);
  ShutdownApplication(g_app);
}

}  // namespace
