// The sample campaign played in process with posted input: its first step
// started as Westholm from the start menu, held to the day the ceasefire
// runs out and so won; on the result screen the region changes to the third
// government form and goes on to the next scenario, which starts from the
// carried-over forces and runs a day as the campaign's second step.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>
#include <vector>

#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/screen_set.h"
#include "sim/game_threads.h"
#include "sim/simulation_lock.h"
#include "support/play_days.h"
#include "support/sample_game.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "world/game_speed.h"
#include "world/region_figures.h"
#include "world/scenario_settings.h"
#include "world/world.h"

namespace {

// Pumps the program at speed 4 until the condition holds (two minutes at
// most).
template <typename Done>
bool RunUntil(Done done) {
  SetGameSpeed(g_world.gameState, 4);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    SampleGame::Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return done();
}

// Day 2,451,544 is Jan 1, 2000; 3,896 days later.
constexpr uint32_t kSep1Of2010 = 2451544 + 3896;

// Units this strong or stronger are worn down in the first step; a few
// days of recovery leave them far below it.
constexpr float kStrong = 20.0f;

bool Shown(Screen& screen) { return screen.currentForm && screen.currentForm->parent && !screen.currentForm->Hidden(); }

// The local region's forces that a campaign carries: live units on the
// map, neither facilities nor of the small classes kept in their bases.
std::vector<UnitRecord*> CarriedForces() {
  std::vector<UnitRecord*> out;
  const int32_t local = g_world.gameState.localPlayer;
  UnitRecord* first = g_world.units;
  for (UnitRecord* u = first; u; u = u->next == first ? nullptr : u->next)
    if (IsUnitLive(*u) && u->owner == local && !(u->unitFlags & kUnitFacility) && u->classIndex > 5 &&
        (u->x != 0 || u->y != 0))
      out.push_back(u);
  return out;
}

TEST(CampaignPlay, AWonFirstStepGoesOnAsTheSecondWithTheChosenGovernmentAndItsForces) {
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start("Westholm", "Straits1"));
  ScreenSet& s = g_screens;
  const int32_t region = g_world.gameState.localPlayer;
  ASSERT_TRUE(g_world.scenario.head.gameFlags & kGameFlagCampaign) << "the scenario opens a campaign";
  // The step ends when its briefing says the ceasefire runs out, Sep 1, 2010.
  EXPECT_EQ(g_world.gameState.endDay, kSep1Of2010);

  // The region's strong units are worn down far below the strength their
  // classes start the next scenario with; the campaign's step to the next
  // scenario marks them to be carried. The ceasefire then runs out.
  std::set<int16_t> wornClasses;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    // Enough support for the third form that its change is offered.
    reinterpret_cast<uint8_t*>(&g_world.players[region])[kRegionGovtypeApproveAt + 2] = 90;
    for (UnitRecord* u : CarriedForces()) {
      if (u->strength < kStrong) continue;
      wornClasses.insert(u->classIndex);
      u->strength = 0.3125f;
    }
    ASSERT_FALSE(wornClasses.empty());
    g_world.gameState.endDay = g_world.gameState.currentDay;
  }
  ASSERT_TRUE(RunUntil([&] { return Shown(*s.endGamePreview); })) << "holding out wins";
  EXPECT_EQ(g_world.gameState.winnersMask & (1u << region), 1u << region);
  SampleGame::ClickControl(FormFindControlByTag(s.endGamePreview->currentForm, "MENUBUT"));
  ASSERT_FALSE(GameThreadsRunning());
  ASSERT_TRUE(Shown(s.victory));
  VictoryContinue& next = s.victory.continuation;
  ASSERT_TRUE(Shown(next));
  ASSERT_FALSE(FormFindControlByTag(next.currentForm, "OK")->Hidden()) << "a next scenario is offered";
  SampleGame::ClickControl(FormFindControlById(next.currentForm, 13));
  EXPECT_EQ(next.chosenForm, 3);
  EXPECT_FALSE(FormFindControlByTag(next.currentForm, "HIDECHANGE")->Hidden());
  SampleGame::ClickControl(FormFindControlByTag(next.currentForm, "OK"));

  // The second step: its briefing, then a day of play.
  ASSERT_TRUE(Shown(s.briefing)) << "the next scenario starts";
  SampleGame::ClickControl(FormFindControlByTag(s.briefing.currentForm, "START"));
  ASSERT_TRUE(GameThreadsRunning());
  EXPECT_EQ(g_world.gameState.localPlayer, region) << "the group's only human-led region";
  EXPECT_TRUE(g_world.scenario.head.gameFlags & kGameFlagCampaign);
  EXPECT_FALSE(g_world.scenario.head.gameFlags & kGameFlagCarryOver) << "the carry-over was taken at log-on";
  EXPECT_EQ(g_world.gameState.campaignStep, 1);
  ASSERT_TRUE(PlayUntilDay(g_world.gameState.currentDay + 1));
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    EXPECT_EQ(g_world.players[region].govtype, 3);
    EXPECT_EQ(g_world.gameState.campaignStep, 1);
    int carried = 0;
    for (const UnitRecord* u : CarriedForces()) carried += wornClasses.count(u->classIndex) && u->strength < kStrong / 4;
    EXPECT_GT(carried, 0) << "the first step's worn forces stand on the map";
  }

  game.Stop();
}

}  // namespace
