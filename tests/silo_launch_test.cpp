// The whole program on the sample scenario as Kessaria: a missile in the
// silo, picked from the silo panel, is aimed by a click on the map and
// launched from its schedule panel; the five launch orders reach the log,
// and after the day its orders hold the target.
#include <gtest/gtest.h>

#include <vector>

#include "platform/fpenv.h"
#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/main/bars/side_bars.h"
#include "screens/main/map/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "screens/main/map_input/map_click.h"
#include "screens/main/panels/map_screen.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "support/sample_game.h"
#include "support/silo_steps.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "units/transport/cargo_boarding.h"
#include "world/game_speed.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {

constexpr int32_t kSampleSilo = 4011;

struct Cmd {
  uint32_t id, arg24, arg28, arg32, arg36;
  bool operator==(const Cmd&) const = default;
};

TEST(SiloLaunch, AMissileAimedOnTheMapAndLaunchedFromItsScheduleKeepsItsTargetAfterTheDay) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start("Kessaria"));
  ScreenSet& s = g_screens;
  World& w = g_world;
  uint32_t siloHex = 0, missile = 0, target = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    UnitRecord* silo = OwnUnitOfClass(kSampleSilo);
    ASSERT_NE(silo, nullptr) << "Kessaria owns a silo";
    siloHex = MakeHexPos(silo->x, silo->y);
    // The sample keeps Kessaria's missiles in reserve by the silo; one is
    // put aboard.
    for (UnitRecord* u = w.units; u && !missile; u = u->next == w.units ? nullptr : u->next)
      if (u->owner == w.gameState.localPlayer && (u->unitFlags & kUnitStock) && u->carrier == 0 &&
          u->strength >= 1.0f && u->x == silo->x && u->y == silo->y) {
        LinkIntoCargoChain(w, *silo, *u);
        missile = u->id;
      }
    ASSERT_NE(missile, 0u) << "Kessaria has a missile by its silo";
    target = MakeHexPos(silo->x + 2, silo->y);
  }

  ASSERT_NO_FATAL_FAILURE(OpenSiloPanel(siloHex));
  int row = RowOfUnit(s.map1.silo.list, missile);
  ASSERT_GE(row, 0) << "the silo lists its missile";
  SampleGame::ClickControl(s.map1.silo.list, row);
  ASSERT_EQ(DockHost(s, kDockLevelThird)->firstChild, s.map1.ss8b.currentForm) << "MAP1_ss8b is shown";
  SampleGame::ClickControl(FormFindControlByTag(s.map1.ss8b.currentForm, "TARGET"));
  EXPECT_EQ(s.mapClickMode, kClickUnitDestination);
  EXPECT_EQ(g_mapClickPending.unitId, missile);
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(target, x, y));
  SampleGame::Click(x, y);
  EXPECT_EQ(s.mapClickMode, kClickNone) << "the pick ends with the click";

  ASSERT_NO_FATAL_FAILURE(OpenSiloPanel(siloHex));
  row = RowOfUnit(s.map1.silo.list, missile);
  ASSERT_GE(row, 0);
  SampleGame::ClickControl(s.map1.silo.list, row);
  SampleGame::ClickControl(FormFindControlByTag(s.map1.silo.currentForm, "LAUNCH"));
  ASSERT_EQ(DockHost(s, kDockLevelThird)->firstChild, s.map1.ss8d.currentForm) << "MAP1_ss8d is shown";
  const size_t before = g_commandLog.Entries().size();
  SampleGame::ClickControl(FormFindControlByTag(s.map1.ss8d.currentForm, "LAUNCH"));
  std::vector<Cmd> posted;
  const std::vector<GameCommand> log = g_commandLog.Entries();
  for (size_t i = before; i < log.size(); ++i)
    if (log[i].arg28 == missile) posted.push_back({log[i].id, log[i].arg24, log[i].arg28, log[i].arg32, log[i].arg36});
  const std::vector<Cmd> launch = {
      {kCmdUnitSetDestination, target, missile, 0, 0},       {kCmdUnitSetFireHex, target, missile, 0, 0},
      {kCmdUnitSetOrdersHeaderBits, 0, missile, 0x2000, 1}, {kCmdUnitSetOrderLevel, 0, missile, 1, 0},
      {kCmdAddOrderFlags, 0, missile, 0xA00, 0},
  };
  EXPECT_EQ(posted, launch);

  SampleGame::PlayDays(1);
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* aimed = FindUnitById(w, missile);
  ASSERT_NE(aimed, nullptr);
  EXPECT_EQ(aimed->orders[kFireHex], target);
}

}  // namespace
