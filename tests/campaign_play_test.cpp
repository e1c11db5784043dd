// The sample campaign played in process with posted input: its first step
// started as Westholm from the start menu, held to the day the ceasefire
// runs out (brought to today) and so won; on the result screen the region changes to
// the third government form and goes on to the next scenario, which starts
// from the carried-over forces and runs a day as the campaign's second step.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <utility>
#include <thread>

#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/screen_set.h"
#include "sim/game_threads.h"
#include "sim/simulation_lock.h"
#include "support/play_days.h"
#include "support/sample_game.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "units/unit_queries.h"
#include "world/game_speed.h"
#include "world/region_figures.h"
#include "world/scenario_settings.h"
#include "world/unit_class.h"
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

// Classes 1 to 5, the infantry, stay behind in their garrisons.
constexpr int kLastSmallClass = 5;

// Day 2,451,544 is Jan 1, 2000; 3,896 days later.
constexpr uint32_t kSep1Of2010 = 2451544 + 3896;

bool Shown(Screen& screen) { return screen.currentForm && screen.currentForm->parent && !screen.currentForm->Hidden(); }

// The kinds of base a campaign hands carried units out to.
enum BaseKind { kLandBase, kAirBase, kSeaBase, kBaseKindCount };
const char* const kBaseKindNames[] = {"land", "air", "sea"};

// The local region's army as the campaign counts it: live units that are
// not facilities, and the room its bases of each kind hold.
struct Army {
  int room[kBaseKindCount] = {};
  int carried[kBaseKindCount] = {};  // units of the classes that go along, by the base they wait at
};

int WaitsAt(const UnitClassRecord& cls) { return cls.kind == 3 ? static_cast<int>(kSeaBase) : cls.kind; }

Army CountArmy() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Army army;
  const int32_t local = g_world.gameState.localPlayer;
  UnitRecord* first = g_world.units;
  for (UnitRecord* u = first; u; u = u->next == first ? nullptr : u->next) {
    const UnitClassRecord* cls = UnitClassOf(g_world, *u);
    if (!IsUnitLive(*u) || u->owner != local || !cls) continue;
    if (u->unitFlags & kUnitFacility) {
      const int kind = BaseKindOf(*cls);
      if (kind >= 0 && cls->baseKind == 0 && (u->x != 0 || u->y != 0)) army.room[kind] += cls->baseSlots * cls->strengthPerSize;
      continue;
    }
    if (u->classIndex > kLastSmallClass && !(u->unitFlags & kUnitStock)) ++army.carried[WaitsAt(*cls)];
  }
  return army;
}

TEST(CampaignPlay, AWonFirstStepGoesOnAsTheSecondWithTheChosenGovernmentAndItsForces) {
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start("Westholm", "Straits1"));
  ScreenSet& s = g_screens;
  const int32_t region = g_world.gameState.localPlayer;
  ASSERT_TRUE(g_world.scenario.head.gameFlags & kGameFlagCampaign) << "the scenario opens a campaign";
  // The step ends when its briefing says the ceasefire runs out, Sep 1, 2010.
  EXPECT_EQ(g_world.gameState.endDay, kSep1Of2010);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    // Enough support for the third form that its change is offered.
    reinterpret_cast<uint8_t*>(&g_world.players[region])[kRegionGovtypeApproveAt + 2] = 90;
    // The ceasefire runs out today: the step's years would take minutes.
    g_world.gameState.endDay = g_world.gameState.currentDay;
  }
  ASSERT_TRUE(RunUntil([&] { return Shown(*s.endGamePreview); })) << "holding out wins";
  EXPECT_EQ(g_world.gameState.winnersMask & (1u << region), 1u << region);
  const Army end = CountArmy();
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

  // The second step's army, as its briefing opens: every unit of a class
  // that goes along, at full strength, at a base of its kind (the bases
  // take them in turn up to their room, then share the rest); no infantry
  // but the garrisons the step names; facilities of its own.
  ASSERT_TRUE(Shown(s.briefing)) << "the next scenario starts";
  const Army start = CountArmy();
  for (int k = 0; k < kBaseKindCount; ++k) {
    // Full bases share what is left: with a base of its kind, nothing is lost.
    EXPECT_EQ(start.carried[k], start.room[k] > 0 ? end.carried[k] : 0) << kBaseKindNames[k];
  }
  EXPECT_GT(end.carried[kSeaBase], 0) << "a navy to carry";
  EXPECT_GT(end.carried[kAirBase], 0) << "an air force to carry";
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    int arrived = 0;
    std::set<std::pair<int, uint32_t>> bases;  // kind, position
    UnitRecord* first = g_world.units;
    for (UnitRecord* u = first; u; u = u->next == first ? nullptr : u->next)
      if (const UnitClassRecord* cls = UnitClassOf(g_world, *u); cls && IsUnitLive(*u) && u->owner == region)
        if (u->unitFlags & kUnitFacility) bases.insert({BaseKindOf(*cls), static_cast<uint16_t>(u->x) | static_cast<uint32_t>(u->y) << 16});
    for (UnitRecord* u = first; u; u = u->next == first ? nullptr : u->next) {
      const UnitClassRecord* cls = UnitClassOf(g_world, *u);
      if (!IsUnitLive(*u) || u->owner != region || !cls || (u->unitFlags & kUnitFacility)) continue;
      if (u->classIndex <= kLastSmallClass) {
        EXPECT_TRUE(u->unitFlags & kUnitInBase) << "infantry of the new step stays only as its garrison";
        continue;
      }
      ++arrived;
      EXPECT_EQ(u->id >> 24, static_cast<uint32_t>(region));
      EXPECT_FLOAT_EQ(u->strength, static_cast<float>(cls->strengthPerSize) * u->targetStrength) << "arrives whole";
      const uint32_t at = static_cast<uint16_t>(u->x) | static_cast<uint32_t>(u->y) << 16;
      EXPECT_TRUE(bases.count({WaitsAt(*cls), at})) << "class " << u->classIndex << " waits at a base of its kind";
    }
    EXPECT_EQ(arrived, start.carried[kLandBase] + start.carried[kAirBase] + start.carried[kSeaBase]);
  }

  // A day of play in the second step.
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
  }

  game.Stop();
}

}  // namespace
