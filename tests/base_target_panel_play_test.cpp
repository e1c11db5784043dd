// The whole program on the sample scenario as Westholm: the army base's
// pop-up shows, under its action buttons, where the base gathers its new
// units (the facility target panel), in the mode of the base's gathering
// point: none or set.
#include <gtest/gtest.h>

#include "platform/fpenv.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "world/game_speed.h"
#include "world/world.h"

namespace {

constexpr int32_t kArmyBase = 4054;

TEST(BaseTargetPanelPlay, TheArmyBasesActionsShowItsGatheringPoint) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  World& w = g_world;
  UnitRecord* base = nullptr;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    UnitRecord* head = w.units;
    for (UnitRecord* u = head; u && !base; u = u->next == head ? nullptr : u->next)
      if (u->classIndex == kArmyBase && u->owner == w.gameState.localPlayer) base = u;
  }
  ASSERT_NE(base, nullptr) << "Westholm has an army base";
  const struct {
    uint32_t point;
    intptr_t mode;
  } rows[] = {{0, 0}, {MakeHexPos(base->x + 2, base->y), 1}};
  for (const auto& r : rows) {
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      base->ordersShown[kDestination] = r.point;
    }
    OpenBasePopup(s, base);
    SampleGame::Pump();
    Control* parent2 = FormFindControlByTag(s.baseActions.currentForm, "PARENT2");
    ASSERT_NE(parent2, nullptr);
    RallyPointPanel& target = s.mapScreen.rallyPointPanel;
    ASSERT_NE(target.currentForm, nullptr) << r.mode;
    EXPECT_EQ(target.currentForm->parent, parent2) << "the target panel stands in the actions' PARENT2";
    EXPECT_EQ(target.id, r.mode);
    s.basePopup.Close();
    SampleGame::Pump();
  }
}

}  // namespace
