// The whole program on the sample scenario as Kessaria, which has a silo:
// the missile stock pop-up (opened from the army's stores page) shows the
// stock capacity the stores page shows; a missile ordered from it is
// posted, missiles are finished against the silo's room within days and
// paid from the treasury, and the stores page lists them. One is loaded
// into the silo from the stores page; the facilities page's Stock button
// on the silo lists the stock beside the silo's own missiles, and a double
// click on a stock row opens its stock view; aimed on the map from the
// silo's panel, the missile is launched from its schedule.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/fpenv.h"
#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/player_policy.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/main/panels/map_screen.h"
#include "screens/military/department/military_figures.h"
#include "screens/military/facilities/military_facility_screen.h"
#include "screens/military/inventory/unit_inventory_panel.h"
#include "screens/military/silo/missile_panels.h"
#include "screens/military/silo/missile_popup.h"
#include "screens/military/silo/missile_silo_panels.h"
#include "screens/military/silo/missile_stock_popup.h"
#include "screens/military/silo/silo_popup.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/game_command.h"
#include "sim/relation_command_args.h"
#include "sim/simulation_lock.h"
#include "support/posted_since.h"
#include "support/control_layout.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "support/silo_steps.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "world/game_speed.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int32_t kTacticalMissile = 40;
constexpr int32_t kFacilitiesPage = 6;
constexpr int32_t kSampleSilo = 4011;
// A guard only: the waits end on the game's state.
constexpr int kMostDays = 30;

int RowOf(const ListBoxControl* list, int32_t id) {
  int n = 0;
  for (Control* row = list ? ListNextRow(list, nullptr) : nullptr; row; row = ListNextRow(list, row), ++n)
    if (row->id == id) return n;
  return -1;
}

// Whether the ordered unit is still being built (or not yet made by its
// command). Finished, it is out of construction, or merged into the
// region's pool of its class and retired.
bool StillBuilding(uint32_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = FindUnitById(g_world, id);
  return !u || (!(u->unitFlags & kUnitGone) && (u->orders[kPostureBits] & kPostureUnderConstruction));
}

// The first row of the list whose unit is a finished one of the class, and
// its unit; -1 for none (a click on it scrolls it into view).
int RowOfFinished(const ListBoxControl* list, int32_t classIndex, uint32_t* unit) {
  plat::CriticalSectionLock lock(g_simulationLock);
  int n = 0;
  for (Control* row = ListNextRow(list, nullptr); row; row = ListNextRow(list, row), ++n) {
    const UnitRecord* u = row->id > 0 ? FindUnitById(g_world, static_cast<uint32_t>(row->id)) : nullptr;
    if (u && u->classIndex == classIndex && u->strength >= 1.0f &&
        !(u->orders[kPostureBits] & kPostureUnderConstruction)) {
      *unit = u->id;
      return n;
    }
  }
  return -1;
}

// A missile design opened from the stock pop-up's build list by a double
// click reads as the player expects: its carriers on one row under their
// caption, each kind once, marked as one that may carry it or greyed; the
// sheet, statistics and build panel whole and apart.
TEST(MissileBuild, TheDesignsPopupNamesEachCarrierOnceUnderItsCaption) {
  plat::SetGameFloatMode();
  SampleGame game;
  const GlobalGuard<UiOptions> options(g_uiOptions);
  game.startPaused = true;
  ASSERT_NO_FATAL_FAILURE(game.Start("Kessaria"));
  g_uiOptions.bshowequipulistob = 0;
  ScreenSet& s = g_screens;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(g_world.gameState, 0);
    // The player builds by hand: the computer's build settings would cover
    // the build list.
    PlayerRecord& region = g_world.players[g_world.gameState.localPlayer];
    region.simPolicy.militaryFlags &= ~kMilitaryMissileAutoBuild;
    region.displayPolicy.militaryFlags &= ~kMilitaryMissileAutoBuild;
  }
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MILITARY"));
  SampleGame::ClickControl(FormFindControlById(s.militaryCabinetLink.currentForm, kArmyStoresPage));
  SampleGame::ClickControl(FormFindControlByTag(s.unitInventory.currentForm, "MISPOPUP"));
  WmdFilterPanel& designs = s.wmdFilter;
  const int row = RowOf(designs.list, kTacticalMissile);
  ASSERT_GE(row, 0) << "the build list offers the tactical missile";
  // Picked in the stock pop-up, its figures, carriers and order options
  // read whole and apart.
  SampleGame::ClickControl(designs.list, row);
  EXPECT_GE(TextsReadWhole(s.missiles.currentForm, "stock pop-up"), 20);
  TextsApart(s.missiles.currentForm, "stock pop-up");
  SampleGame::DoubleClickControl(designs.list, row);
  MissilePopup& view = s.missileDesignView;
  ASSERT_NE(view.currentForm->parent, nullptr) << "the double click opens the design's pop-up";
  Control* carriers = FormFindControlByTag(view.currentForm, "PLATSTAT");
  ASSERT_NE(carriers, nullptr);
  for (int32_t kind = 0; kind < 5; ++kind) {
    const bool may = ShownInTree(FormFindControlById(carriers, 490 + kind));
    EXPECT_NE(may, ShownInTree(FormFindControlById(carriers, 495 + kind))) << "kind " << kind << " reads once";
  }
  EXPECT_EQ(TextsReadWhole(carriers, "carriers"), 6) << "a caption and the five kinds";
  TextsApart(carriers, "carriers");
  EXPECT_GE(TextsReadWhole(view.currentForm, "missile pop-up"), 20);
  TextsApart(view.currentForm, "missile pop-up");
  SampleGame::ClickControl(FormFindControlByTag(view.currentForm, "CLOSEBUT"));
}

TEST(MissileBuild, AMissileOrderedFromTheStockPopupIsBuiltPaidStoredLoadedAndLaunched) {
  plat::SetGameFloatMode();
  SampleGame game;
  const GlobalGuard<UiOptions> options(g_uiOptions);
  // Paused at once: the region's automatic missile builds, switched off
  // below, must order nothing first.
  game.startPaused = true;
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
  SampleGame::PlayDays(1);


  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MILITARY"));
  SampleGame::ClickControl(FormFindControlById(s.militaryCabinetLink.currentForm, kArmyStoresPage));
  UnitInventoryPanel& stores = s.unitInventory;
  ASSERT_NE(stores.currentForm->parent, nullptr) << "MILITARY1_ss4 is shown";
  SampleGame::ClickControl(FormFindControlByTag(stores.currentForm, "MISPOPUP"));
  MissileStockPopup& popup = s.missiles;
  ASSERT_NE(popup.currentForm, nullptr) << "MISPOPUP opens POPUP_MISSILE1";
  // The day's play may have switched the computer's missile builds back on:
  // switched off on the pop-up, they uncover its build list.
  Control* computerBuilds = FormFindControlByTag(popup.currentForm, "AUTOBUILD2");
  if (computerBuilds->Selected()) SampleGame::ClickControl(computerBuilds);
  ASSERT_TRUE(FormFindControlByTag(popup.currentForm, "HIDEAUTOB")->Hidden()) << "the build list is uncovered";
  MilitaryFigures figures;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    figures = LocalMilitaryFigures(w);
  }
  EXPECT_EQ(std::string(FormFindControlByTag(popup.currentForm, "CAPACITY")->text),
            std::to_string(figures.militaryCapacity));
  EXPECT_EQ(std::string(FormFindControlByTag(popup.currentForm, "QUEUE")->text),
            std::to_string(figures.militaryCapacityUsed));
  EXPECT_EQ(std::string(FormFindControlByTag(stores.currentForm, "MCAP2")->text),
            std::to_string(figures.militaryCapacity))
      << "the stores page and the pop-up show one capacity";

  WmdFilterPanel& designs = s.wmdFilter;
  const int row = RowOf(designs.list, kTacticalMissile);
  ASSERT_GE(row, 0) << "the build list offers the tactical missile";
  SampleGame::ClickControl(designs.list, row);
  float treasury = 0.0f;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    treasury = w.players[w.gameState.localPlayer].treasury;
  }
  const PostedSince posted;
  SampleGame::ClickControl(FormFindControlByTag(designs.currentForm, "BUILD"));
  // The ordered missile's id is its command's sequence word.
  uint32_t ordered = 0;
  for (const GameCommand& c : posted.Commands())
    if (c.id == kCmdCreateUnitAt && c.player == w.gameState.localPlayer) ordered = c.sequence;
  ASSERT_NE(ordered, 0u) << "BUILD orders the missile";
  SampleGame::ClickControl(FormFindControlByTag(popup.currentForm, "CLOSEBUT"));
  // Waited for by its own state: the region's other missiles may be
  // launched meanwhile, should a neighbour go to war, so the totals prove
  // nothing. The region's standing missile production competes for the
  // silo's room: should its batches fill the room first, the order waits,
  // as it must, for room that no longer comes.
  const auto roomFull = [&] {
    const MilitaryFigures f = LocalMilitaryFigures(w);
    return f.militaryCapacityUsed > f.militaryCapacity;
  };
  SampleGame::PlayUntil(kMostDays, [&] { return !StillBuilding(ordered) || roomFull(); });
  const bool built = !StillBuilding(ordered);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    EXPECT_TRUE(built || roomFull()) << "the missile is finished within " << kMostDays << " days, or waits for room";
  }

  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (built) {
      EXPECT_LT(w.players[w.gameState.localPlayer].treasury, treasury) << "the treasury pays for the build";
    }
  }
  ASSERT_NO_FATAL_FAILURE(ShowArmyPage(kArmyStoresPage));
  bool listed = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (Control* r = stores.storedList ? stores.storedList->firstRow : nullptr; r; r = ListNextRow(stores.storedList, r))
      if (const UnitRecord* u = r->id > 0 ? FindUnitById(w, static_cast<uint32_t>(r->id)) : nullptr)
        listed = listed || u->classIndex == kTacticalMissile;
  }
  EXPECT_TRUE(listed) << "the stores page lists the finished missile";

  // Loaded into the silo from the stores page.
  uint32_t siloId = 0, stock = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* silo = OwnUnitOfClass(kSampleSilo)) siloId = silo->id;
  }
  ASSERT_NE(siloId, 0u);
  ASSERT_GE(RowOfFinished(stores.storedList, kTacticalMissile, &stock), 0);
  ASSERT_NO_FATAL_FAILURE(LoadFromTheStoresPage(stock, siloId, kMostDays));
  const uint32_t aboard = AboardOf(siloId);
  ASSERT_NE(aboard, 0u) << "the missile is loaded into the silo";

  // The facilities page's Stock button on the silo shows the stock beside
  // the silo's own missiles, the loaded one among them; a stock row opens
  // the missile's stock view.
  ASSERT_NO_FATAL_FAILURE(ShowArmyPage(kFacilitiesPage));
  Screen& facilities = *s.facilityScreen;
  auto* facilList = TagAs<ListBoxControl>(facilities.currentForm, "FACILLIST");
  ASSERT_NE(facilList, nullptr);
  const int siloRow = RowOf(facilList, static_cast<int32_t>(siloId));
  ASSERT_GE(siloRow, 0) << "the facilities page lists the silo";
  SampleGame::ClickControl(facilList, siloRow);
  SampleGame::ClickControl(FormFindControlByTag(facilities.currentForm, "DEPLOY"));
  Screen& beside = *s.siloStoredMissiles2;
  ASSERT_EQ(DockHost(s, kDockLevelThird)->firstChild, beside.currentForm) << "MAP1_ss8c2 is shown";
  auto besideList = [&](const char* tag) { return TagAs<ListBoxControl>(beside.currentForm, tag); };
  const int stockRow = RowOfFinished(besideList("STOREDLIST"), kTacticalMissile, &stock);
  ASSERT_GE(stockRow, 0) << "MAP1_ss8c2 lists the missile in stock";
  EXPECT_GE(RowOf(besideList("LIST1"), static_cast<int32_t>(aboard)), 0) << "and the silo's missile beside it";

  // Rows that open their unit on a double click: the stock row opens its
  // stock view, whose deployment panel (the stock waits in reserve by the
  // silo) offers the silo, whose row opens the silo's pop-up.
  uint32_t siloHex = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* silo = FindUnitById(w, siloId);
    siloHex = PackHex(silo->x, silo->y);
  }
  const struct {
    const char* what;
    std::function<ListBoxControl*()> list;
    uint32_t unit;
    Screen& opens;
  } opening[] = {
      {"a stock row of the silo's stock panel", [&] { return besideList("STOREDLIST"); }, stock, s.missileStockView},
      {"the silo's row of the stock's deployment panel", [&] { return s.missileDeploy.sites; }, siloId, s.siloPopup},
  };
  for (const auto& o : opening) {
    ListBoxControl* list = o.list();
    ASSERT_NE(list, nullptr) << o.what;
    const int row = RowOf(list, static_cast<int32_t>(o.unit));
    ASSERT_GE(row, 0) << o.what << " is listed";
    SampleGame::DoubleClickControl(list, row);
    ASSERT_NE(o.opens.currentForm->parent, nullptr) << o.what << " opens its unit";
    EXPECT_EQ(static_cast<uint32_t>(o.opens.id), o.unit) << o.what;
    if (&o.opens == &s.missileStockView && o.unit == stock)
      EXPECT_EQ(s.missileStockView.currentPanel, &s.missileDeploy) << "the stock in reserve may be deployed";
    else
      SampleGame::ClickControl(FormFindControlByTag(o.opens.currentForm, "CLOSEBUT"));
  }
  if (s.missileStockView.currentForm->parent)
    SampleGame::ClickControl(FormFindControlByTag(s.missileStockView.currentForm, "CLOSEBUT"));

  // At war with the region of the nearest unit the missile reaches that no
  // forces at war with it can fire at, aimed at that unit's hex by a click
  // on the map from the silo's panel and launched from its schedule: the
  // launch orders name the target, and the missile leaves the silo to
  // strike.
  uint32_t target = 0;
  int enemy = 0;
  const auto pickTarget = [&] {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* u = QuietForeignUnitNear(*FindUnitById(w, aboard), siloHex, enemy);
    target = u ? PackHex(u->x, u->y) : 0;
    enemy = u ? u->owner : 0;
  };
  // The tactical missile's reach is short: a quiet foreign unit may be
  // only a day's march away from it.
  pickTarget();
  for (int day = 0; day < 5 && target == 0; ++day) {
    SampleGame::PlayDays(1);
    pickTarget();
  }
  ASSERT_NE(target, 0u) << "a foreign unit in the missile's reach, away from the fighting";
  // As the war declaration's dialog posts it; the target is chosen again
  // from what is seen once the day has passed. The computer players' orders
  // reach the days at the moments their threads give them, so the war's
  // first day may draw every unit of that region near the silo into the
  // fighting: then another region's quiet unit is the target.
  for (int tries = 0; tries < 3; ++tries) {
    PostArgs(kCmdDeclareWar, RegionArgs{.region = static_cast<uint32_t>(enemy)});
    SampleGame::PlayDays(1);
    pickTarget();
    if (target != 0) break;
    pickTarget();
    ASSERT_NE(target, 0u) << "a foreign unit in the missile's reach, away from the fighting";
    target = 0;
  }
  ASSERT_NE(target, 0u) << "one is still there once the war has begun";
  ASSERT_NO_FATAL_FAILURE(OpenSiloPanel(siloHex));
  int missileRow = RowOf(s.siloSidePanel.list, static_cast<int32_t>(aboard));
  ASSERT_GE(missileRow, 0) << "the silo lists its missile";
  SampleGame::ClickControl(s.siloSidePanel.list, missileRow);
  SampleGame::ClickControl(FormFindControlByTag(s.siloMissileTarget.currentForm, "TARGET"));
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(target, x, y));
  SampleGame::Click(x, y);
  ASSERT_NO_FATAL_FAILURE(OpenSiloPanel(siloHex));
  missileRow = RowOf(s.siloSidePanel.list, static_cast<int32_t>(aboard));
  ASSERT_GE(missileRow, 0);
  SampleGame::ClickControl(s.siloSidePanel.list, missileRow);
  SampleGame::ClickControl(FormFindControlByTag(s.siloSidePanel.currentForm, "LAUNCH"));

  // What the region at war has standing before the launch.
  std::map<uint32_t, float> enemyStrength;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next)
      if (u->owner == enemy && !(u->unitFlags & kUnitGone)) enemyStrength[u->id] = u->strength;
  }
  const PostedSince beforeLaunch;
  SampleGame::ClickControl(FormFindControlByTag(s.siloLaunchSchedule->currentForm, "LAUNCH"));
  uint32_t launchOrders = 0;
  for (const GameCommand& c : beforeLaunch.Commands())
    if (c.arg28 == aboard && (c.id == kCmdUnitSetDestination || c.id == kCmdUnitSetFireHex))
      launchOrders += c.arg24 == target ? 1u : 0u;
  EXPECT_EQ(launchOrders, 2u) << "LAUNCH sends the missile at the target";
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* shown = FindUnitById(w, aboard);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->ordersShown[kFireHex], target) << "the missile's orders name the target";
    EXPECT_TRUE(shown->ordersShown[kOrderFlags] & kOrderLaunchCargo) << "and its launch";
  }
  SampleGame::PlayUntil(kMostDays, [&] { return AboardOf(siloId) != aboard; });
  ASSERT_NE(AboardOf(siloId), aboard) << "the missile leaves the silo";

  // The missile flies to the hex of the unit it was sent at (the day it
  // leaves or days later) and strikes it. No forces at war with the unit
  // had it in reach when it was aimed, nor at any day's end until the
  // strike, so what it loses is the missile's doing.
  uint32_t struck = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* sent = FindUnitById(w, aboard)) struck = sent->orders[kFireUnit];
  }
  ASSERT_TRUE(enemyStrength.count(struck)) << "the missile was sent at a unit of the region at war";
  const auto inFlight = [&] {
    for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next)
      if (u->classIndex == kTacticalMissile && u->owner == w.gameState.localPlayer && u->carrier == 0 &&
          !(u->unitFlags & kUnitGone) && u->orders[kFireUnit] == struck)
        return true;
    return false;
  };
  // Already struck on the day it left, or flying still.
  SampleGame::PlayUntil(kMostDays, [&] {
    const UnitRecord* u = FindUnitById(w, struck);
    EXPECT_TRUE(!u || (u->unitFlags & kUnitGone) || NoFightNear(*u, w.gameState.localPlayer))
        << "no forces at war with it in reach of it";
    return !inFlight();
  });
  plat::CriticalSectionLock lock(g_simulationLock);
  EXPECT_FALSE(inFlight()) << "the missile strikes within " << kMostDays << " days";
  const UnitRecord* hit = FindUnitById(w, struck);
  EXPECT_TRUE(!hit || (hit->unitFlags & kUnitGone) || hit->strength < enemyStrength[struck])
      << "the unit struck loses strength";
}

}  // namespace
