// The research pop-up and the technology sheet in a game of the sample
// scenario: the pop-up lists the region's centres, the sheet draws
// its description and picture, BEGIN on a technology Westholm does not know
// queues it, the status line says so, and the next day the simulation has
// the project running.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/gfx/renderer.h"
#include "platform/fpenv.h"
#include "screens/screen_set.h"
#include "sim/availability.h"
#include "sim/simulation_lock.h"
#include "sim/status_queue.h"
#include "support/play_days.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "world/game_speed.h"
#include "world/list_items.h"
#include "world/world.h"

namespace {

TEST(TechPopupPlay, BeginOnAnUnknownTechnologyRunsItTheNextDayAndTellsTheStatusLine) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  World& w = g_world;
  int tech = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    for (int32_t c = 1; c <= 6 && !tech; ++c) {
      const std::vector<int> open = WalkTechTable(w, w.gameState.localPlayer, c, true, 0, 0, false);
      if (!open.empty()) tech = open.front();
    }
    ClearStatusQueue(w);
  }
  ASSERT_NE(tech, 0) << "the sample leaves Westholm a technology to research";
  ResearchScreen& research = g_screens.research;
  research.Popup(0, nullptr);
  SampleGame::Pump();
  ASSERT_NE(research.centres, nullptr);
  EXPECT_GE(research.centres->rowCount, 1u) << "the research pop-up lists Westholm's centres";
  research.Close();
  TechPopup& popup = g_screens.techPopup;
  popup.Popup(tech, nullptr);
  SampleGame::Pump();
  ASSERT_NE(popup.currentForm->parent, nullptr) << "the sheet opens";
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
  for (const char* tag : {"DESCRIPTION", "TECHPIC"}) {
    const plat::Rect box = ControlAbsoluteRect(FormFindControlByTag(popup.currentForm, tag));
    const uint32_t corner = pixels[static_cast<size_t>(box.top) * width + static_cast<size_t>(box.left)];
    int drawn = 0;
    for (int32_t y = box.top; y < box.bottom && y < static_cast<int32_t>(height); ++y)
      for (int32_t x = box.left; x < box.right && x < static_cast<int32_t>(width); ++x)
        drawn += pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)] != corner;
    EXPECT_GT(drawn, 0) << tag << " is drawn";
  }
  SampleGame::ClickControl(FormFindControlByTag(popup.currentForm, "BEGIN"));
  bool told = false;
  for (const StatusLine& line : TakeStatusLines(w)) told |= line.text.rfind("Research begun:", 0) == 0;
  EXPECT_TRUE(told) << "news 464 reaches the status line";

  const uint32_t today = w.gameState.currentDay;
  ASSERT_TRUE(PlayUntilDay(today + 1));
  plat::CriticalSectionLock lock(g_simulationLock);
  const ProjectEntry* found = nullptr;
  for (const ProjectEntry* p : ListProjects(w, w.gameState.localPlayer, kProjectTechnology, 0, kProjectClosed, 1))
    if (p->index == static_cast<uint32_t>(tech)) found = p;
  ASSERT_NE(found, nullptr) << "a project for the technology";
  EXPECT_TRUE(found->simFlags & kProjectPursued);
}

}  // namespace
