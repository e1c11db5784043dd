// The whole program on the sample scenario as Kessaria, which has a silo:
// the missile stock pop-up (opened from the army's stores page) shows the
// stock capacity the stores page shows; a missile ordered from it is
// posted, missiles are finished against the silo's room within days and
// paid from the treasury, and the stores page lists them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/fpenv.h"
#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/player_policy.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/military/department/military_figures.h"
#include "screens/military/inventory/unit_inventory_panel.h"
#include "screens/military/missile_stock_popup.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "world/game_speed.h"
#include "world/id_lookups.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int32_t kTacticalMissile = 40;
constexpr int32_t kStoresPage = 2;
constexpr int kMostDays = 12;

int RowOf(const ListBoxControl* list, int32_t id) {
  int n = 0;
  for (Control* row = list ? ListNextRow(list, nullptr) : nullptr; row; row = ListNextRow(list, row), ++n)
    if (row->id == id) return n;
  return -1;
}

// The local region's finished missiles of the class, by strength, and
// those still on order.
struct Missiles {
  float held = 0.0f;
  int ordered = 0;
};
Missiles MissilesOf(int32_t classIndex) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  Missiles m;
  for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next) {
    if (u->owner != w.gameState.localPlayer || u->classIndex != classIndex || (u->unitFlags & kUnitGone)) continue;
    if (u->orders[kPostureBits] & kPostureUnderConstruction) {
      ++m.ordered;
    } else {
      m.held += u->strength;
    }
  }
  return m;
}

void RunDays(int days) {
  World& w = g_world;
  const uint32_t until = w.gameState.currentDay + static_cast<uint32_t>(days);
  SetGameSpeed(w.gameState, 4);
  while (std::atomic_ref<uint32_t>(w.gameState.currentDay).load() < until) {
    SampleGame::Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  plat::CriticalSectionLock lock(g_simulationLock);
  SetGameSpeed(w.gameState, 0);
}

TEST(MissileBuild, AMissileOrderedFromTheStockPopupIsBuiltPaidAndStored) {
  plat::SetGameFloatMode();
  SampleGame game;
  const GlobalGuard<UiOptions> options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start("Kessaria"));
  g_uiOptions.bnoconfirmturn = 1;
  g_uiOptions.bfiltershownbc = 1;
  // Text rows: every design of the short build list lies in its box.
  g_uiOptions.bshowequipulistob = 0;
  ScreenSet& s = g_screens;
  World& w = g_world;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    // The player builds by hand: with the automatic builds on, the pop-up
    // covers its build list.
    PlayerRecord& region = w.players[w.gameState.localPlayer];
    region.simPolicy.militaryFlags &= ~kMilitaryMissileAutoBuild;
    region.displayPolicy.militaryFlags &= ~kMilitaryMissileAutoBuild;
  }
  // A day for the upkeep to count the silo's room.
  RunDays(1);
  const Missiles before = MissilesOf(kTacticalMissile);

  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MILITARY"));
  SampleGame::ClickControl(FormFindControlById(s.military1b.currentForm, kStoresPage));
  UnitInventoryPanel& stores = s.military1Ss4;
  ASSERT_NE(stores.currentForm->parent, nullptr) << "MILITARY1_ss4 is shown";
  SampleGame::ClickControl(FormFindControlByTag(stores.currentForm, "MISPOPUP"));
  MissileStockPopup& popup = s.missiles;
  ASSERT_NE(popup.currentForm, nullptr) << "MISPOPUP opens POPUP_MISSILE1";
  MilitaryFigures figures;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    figures = LocalMilitaryFigures(w);
  }
  ASSERT_GT(figures.militaryCapacity, 0) << "the silo gives the region stock room";
  EXPECT_EQ(std::string(FormFindControlByTag(popup.currentForm, "CAPACITY")->text),
            std::to_string(figures.militaryCapacity));
  EXPECT_EQ(std::string(FormFindControlByTag(popup.currentForm, "QUEUE")->text),
            std::to_string(figures.militaryCapacityUsed));
  EXPECT_EQ(std::string(FormFindControlByTag(stores.currentForm, "MCAP2")->text),
            std::to_string(figures.militaryCapacity))
      << "the stores page and the pop-up show one capacity";

  WmdFilterPanel& designs = s.popupMissile1f;
  const int row = RowOf(designs.list, kTacticalMissile);
  ASSERT_GE(row, 0) << "the build list offers the tactical missile";
  SampleGame::ClickControl(designs.list, row);
  float treasury = 0.0f;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    treasury = w.players[w.gameState.localPlayer].treasury;
  }
  const size_t posted = g_commandLog.Entries().size();
  SampleGame::ClickControl(FormFindControlByTag(designs.currentForm, "BUILD"));
  bool ordered = false;
  {
    const std::vector<GameCommand> log = g_commandLog.Entries();
    for (size_t i = posted; i < log.size(); ++i)
      ordered = ordered || (log[i].id == kCmdCreateUnitAt && log[i].player == w.gameState.localPlayer);
  }
  EXPECT_TRUE(ordered) << "BUILD orders the missile";
  RunDays(1);

  Missiles after = MissilesOf(kTacticalMissile);
  for (int day = 0; day < kMostDays && after.held <= before.held; ++day) {
    RunDays(1);
    after = MissilesOf(kTacticalMissile);
  }
  EXPECT_GT(after.held, before.held) << "the missile is finished within " << kMostDays << " days";
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    EXPECT_LT(w.players[w.gameState.localPlayer].treasury, treasury) << "the treasury pays for the build";
  }
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MILITARY"));
  SampleGame::ClickControl(FormFindControlById(s.military1b.currentForm, kStoresPage));
  bool listed = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (Control* r = stores.storedList ? stores.storedList->firstRow : nullptr; r; r = ListNextRow(stores.storedList, r))
      if (const UnitRecord* u = r->id > 0 ? FindUnitById(w, static_cast<uint32_t>(r->id)) : nullptr)
        listed = listed || u->classIndex == kTacticalMissile;
  }
  EXPECT_TRUE(listed) << "the stores page lists the finished missile";
}

}  // namespace
