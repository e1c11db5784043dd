// The whole program on the sample scenario as Westholm: war declared on
// Kessaria on the diplomacy page, a jet at its airbase picked with a click
// on the base (the base's units listed, the jet's row chosen) and sent on
// an Air Strike at the nearest Kessarian facility from the order menu;
// with the clock run on Page Down it takes off, flies there and hits the
// facility within a few days.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fpenv.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/main/popups/hex_list_popups.h"
#include "screens/screen_set.h"
#include "sim/sim_ui_link.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "support/silo_steps.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/string_control.h"
#include "units/hex_geometry.h"
#include "world/game_speed.h"
#include "world/id_lookups.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int32_t kSampleJets = 18;

// Runs the clock on Page Down until `done` holds (asked under the
// simulation lock); Page Up then stops it. `done` bounds the game days
// itself: the ten minutes only keep a broken game from hanging the run,
// and are far beyond what the days take under the sanitizers on a busy
// machine.
template <typename Done>
bool RunClockUntil(Done done) {
  for (int i = 0; i < 4; ++i) SampleGame::PressKey(plat::kVkNext);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(10);
  bool held = false;
  while (!held && std::chrono::steady_clock::now() < deadline) {
    SampleGame::Pump();
    plat::CriticalSectionLock lock(g_simulationLock);
    held = done();
  }
  for (int i = 0; i < 8; ++i) SampleGame::PressKey(plat::kVkPrior);
  return held;
}

// Whether the jet fired at the hex while it lives. A shot is announced
// before the shooter's ammunition is spent, and every shot of the local
// side's jet is announced: a shot at the hex was the jet's when, by the
// next announcement or look, the jet's ammunition per strength point has
// fallen (a hit on the jet costs ammunition and strength alike). Installed
// and removed with the clock stopped; the hook and Saw() run under the
// simulation lock.
class ShotWatch {
 public:
  ShotWatch(uint32_t jet, uint32_t hex) : chained_(g_simUi.unitFired) {
    Watch() = {jet, hex, -1.0f, false, chained_};
    g_simUi.unitFired = Record;
  }
  ~ShotWatch() { g_simUi.unitFired = chained_; }
  ShotWatch(const ShotWatch&) = delete;
  ShotWatch& operator=(const ShotWatch&) = delete;
  static bool Saw() {
    Settle();
    return Watch().jetFired;
  }

 private:
  using Hook = decltype(SimUiLink::unitFired);
  struct State {
    uint32_t jet, hex;
    float ammoAtShot;  // the jet's per strength point at a shot at the hex, -1 none
    bool jetFired;
    Hook chained;
  };
  static State& Watch() {
    static State state{};
    return state;
  }
  static float JetAmmo() {
    const UnitRecord* jet = FindUnitById(g_world, Watch().jet);
    return jet && jet->strength > 0.0f ? jet->ammo / jet->strength : -1.0f;
  }
  static void Settle() {
    State& w = Watch();
    if (w.ammoAtShot >= 0.0f && JetAmmo() >= 0.0f && JetAmmo() < w.ammoAtShot * 0.9999f) w.jetFired = true;
    w.ammoAtShot = -1.0f;
  }
  static void Record(uint32_t hex, int32_t x, int32_t y, int sound) {
    Settle();
    if (hex == Watch().hex) Watch().ammoAtShot = JetAmmo();
    if (Watch().chained) Watch().chained(hex, x, y, sound);
  }
  Hook chained_;
};

struct Target {
  uint32_t id = 0;
  uint32_t hex = 0;
  float strength = 0.0f;
};

// Kessaria's live facility nearest to the hex. The caller holds
// g_simulationLock.
Target NearestFacility(int32_t owner, uint32_t from) {
  const World& w = g_world;
  const HexMapShape shape = MapShape(w);
  Target best;
  int32_t bestDistance = 0;
  for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next) {
    if (u->owner != owner || !(u->unitFlags & kUnitFacility) || !IsUnitLive(*u) || u->x == 0) continue;
    const uint32_t at = MakeHexPos(u->x, u->y);
    const int32_t d = HexDistance(shape, from, at);
    if (!best.id || d < bestDistance) best = {u->id, at, u->strength}, bestDistance = d;
  }
  return best;
}

TEST(AirStrikePlay, JetsOrderedToStrikeAKessarianFacilityHitItWithinDays) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  ScreenSet& s = g_screens;
  World& w = g_world;
  SetGameSpeed(w.gameState, 0);
  const int32_t local = w.gameState.localPlayer;
  const int32_t kessaria = SampleGame::RegionNamed("Kessaria");
  ASSERT_NE(kessaria, 0);

  // War, as the diplomacy page declares it.
  SampleGame::PressKey(plat::kVkF1 + 4);  // F5
  ASSERT_NO_FATAL_FAILURE(ChooseRow(s.diplomacyScreen.regionList, kessaria));
  SampleGame::ClickControl(FormFindControlByTag(s.regionRelations->currentForm, "WAR"));
  if (Control* sure = FormFindControlByTag(s.warDeclaration->currentForm, "WARACCPBUT"); sure && ShownInTree(sure))
    SampleGame::ClickControl(sure);
  ASSERT_TRUE(RunClockUntil([&] { return (w.players[local].simPolicy.hostileMask & (1u << kessaria)) != 0; }))
      << "the war is declared";

  std::vector<uint32_t> jets;
  uint32_t base = 0;
  Target target;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (const UnitRecord* u : SampleGame::OwnUnitsOnMap(kSampleJets))
      if (IsUnitLive(*u)) jets.push_back(u->id);
    ASSERT_FALSE(jets.empty());
    const UnitRecord* first = FindUnitById(w, jets.front());
    base = MakeHexPos(first->x, first->y);
    target = NearestFacility(kessaria, base);
    ASSERT_NE(target.id, 0u) << "Kessaria has a facility";
  }
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(base, x, y));
  SampleGame::Click(x, y);
  // The base holds both jets: the click lists its units, and the player
  // picks the first jet's row.
  HexListPopupB& stack = s.stackList;
  ASSERT_TRUE(stack.currentForm && ShownInTree(stack.currentForm)) << "the click lists the base's units";
  ASSERT_NO_FATAL_FAILURE(ChooseRow(stack.list, static_cast<int32_t>(jets.front()))) << "the list shows the jet";
  ASSERT_TRUE(s.selectionOrdersShown) << "the jets are picked";
  ASSERT_TRUE(SampleGame::PointOn(target.hex, x, y));
  SampleGame::Click(x, y, true);
  HexListPopupA& menu = s.hexListA;
  ASSERT_TRUE(menu.currentForm && ShownInTree(menu.currentForm)) << "the order menu opens on the facility's hex";
  int strike = -1;
  int row = 0;
  for (const Control* r = ListNextRow(menu.list, nullptr); r; r = ListNextRow(menu.list, r), ++row)
    if (const auto* t = dynamic_cast<const StringControl*>(r); t && t->text == "Air Strike") strike = row;
  ASSERT_GE(strike, 0) << "the menu offers Air Strike";
  SampleGame::ClickControl(menu.list, strike);

  const uint32_t startDay = w.gameState.currentDay;
  // Other sides at war with Kessaria strike it too: the shot asked for is
  // the jet's own.
  ShotWatch shots(jets.front(), target.hex);
  bool struck = false, jetFired = false;
  ASSERT_TRUE(RunClockUntil([&] {
    const UnitRecord* f = FindUnitById(w, target.id);
    struck = struck || !f || !IsUnitLive(*f) || f->strength < target.strength;
    jetFired = jetFired || ShotWatch::Saw();
    return (struck && jetFired) || w.gameState.currentDay > startDay + 4;
  }));
  EXPECT_TRUE(struck) << "the facility is struck within four days";
  EXPECT_TRUE(jetFired) << "the jet itself fired at the facility's hex";
}

}  // namespace
