// The whole program on the sample scenario as Kessaria: a missile in the
// silo, picked from the silo panel, is aimed by a click on the map and
// launched from its schedule panel; the five launch orders reach the log.
// Aimed at a hex of its own region, where it may strike nothing, the launch
// is given up and the region's mailbox says why. Aimed at a foreign capital,
// it is launched from the launch page of the operations department once
// the launch code is entered on the keypad. Aimed at an enemy unit from the
// orders' missile strike panel (the silo's orders opened from the stored
// weapons' platforms), it strikes the unit.
#include <gtest/gtest.h>

#include <vector>

#include "platform/fpenv.h"
#include "platform/messages.h"
#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/unit_lists.h"
#include "screens/diplomacy/mail/mail_window.h"
#include "screens/main/map/map_view.h"
#include "screens/main/panels/map_screen.h"
#include "screens/military/operations/launch_panel.h"
#include "screens/military/operations/wmd_targeting_panels.h"
#include "screens/military/orders/missile_strike_panel.h"
#include "screens/military/orders/orders_screen.h"
#include "screens/military/silo/launch_keypad.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/game_command.h"
#include "sim/message_ids.h"
#include "sim/relation_command_args.h"
#include "sim/simulation_lock.h"
#include "support/control_layout.h"
#include "support/sample_game.h"
#include "support/silo_steps.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "world/game_speed.h"
#include "world/id_lookups.h"
#include "world/list_items.h"
#include "world/world.h"

namespace {

constexpr int32_t kSampleSilo = 4011;
// The orders table's missile strike: its list is the strike panel's.
constexpr int32_t kMissileStrikeOrder = 42;
// A guard only: the waits end on the game's state.
constexpr int kMostDays = 10;

struct Cmd {
  uint32_t id, arg24, arg28, arg32, arg36;
  bool operator==(const Cmd&) const = default;
};

// Kessaria's silo, and one of the missiles the sample keeps in reserve
// beside it loaded from the stored weapons page. The clock then stands
// until the test lets days pass.
void LoadAMissile(uint32_t* siloHex, uint32_t* missile) {
  World& w = g_world;
  uint32_t siloId = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    const UnitRecord* silo = OwnUnitOfClass(kSampleSilo);
    ASSERT_NE(silo, nullptr) << "Kessaria owns a silo";
    siloId = silo->id;
    *siloHex = MakeHexPos(silo->x, silo->y);
    for (const UnitRecord* u = w.units; u && !*missile; u = u->next == w.units ? nullptr : u->next)
      if (u->owner == w.gameState.localPlayer && (u->unitFlags & kUnitStock) && u->carrier == 0 &&
          u->strength >= 1.0f && u->x == silo->x && u->y == silo->y)
        *missile = u->id;
  }
  ASSERT_NE(*missile, 0u) << "Kessaria has a missile by its silo";
  ASSERT_NO_FATAL_FAILURE(LoadFromTheStoresPage(*missile, siloId, kMostDays));
  const uint32_t aboard = AboardOf(siloId);
  ASSERT_NE(aboard, 0u);
  // What the silo took aboard may be the missile or a part split from it.
  *missile = aboard;
  plat::CriticalSectionLock lock(g_simulationLock);
  SetGameSpeed(w.gameState, 0);
}

// Aims the silo's missile at the hex as a player does: its row of the silo
// panel, TARGET, a click on the hex.
void AimFromTheSiloPanel(uint32_t siloHex, uint32_t missile, uint32_t target) {
  ScreenSet& s = g_screens;
  ASSERT_NO_FATAL_FAILURE(OpenSiloPanel(siloHex));
  const int row = RowOfUnit(s.siloSidePanel.list, missile);
  ASSERT_GE(row, 0) << "the silo lists its missile";
  SampleGame::ClickControl(s.siloSidePanel.list, row);
  ASSERT_EQ(DockHost(s, kDockLevelThird)->firstChild, s.siloMissileTarget.currentForm) << "MAP1_ss8b is shown";
  SampleGame::ClickControl(FormFindControlByTag(s.siloMissileTarget.currentForm, "TARGET"));
  EXPECT_EQ(s.mapClickMode, kClickUnitDestination);
  EXPECT_EQ(g_mapClickPending.unitId, missile);
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(target, x, y));
  SampleGame::Click(x, y);
  EXPECT_EQ(s.mapClickMode, kClickNone) << "the pick ends with the click";
}

uint32_t AboardCarrierOf(uint32_t unit) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = FindUnitById(g_world, unit);
  return u ? u->carrier : 0;
}

std::vector<Cmd> OrdersPostedSince(size_t before, uint32_t missile) {
  std::vector<Cmd> posted;
  const std::vector<GameCommand> log = g_commandLog.Entries();
  for (size_t i = before; i < log.size(); ++i)
    if (log[i].arg28 == missile) posted.push_back({log[i].id, log[i].arg24, log[i].arg28, log[i].arg32, log[i].arg36});
  return posted;
}

std::vector<Cmd> FiveLaunchOrders(uint32_t missile, uint32_t target) {
  return {{kCmdUnitSetDestination, target, missile, 0, 0},
          {kCmdUnitSetFireHex, target, missile, 0, 0},
          {kCmdUnitSetOrdersHeaderBits, 0, missile, 0x2000, 1},
          {kCmdUnitSetOrderLevel, 0, missile, 1, 0},
          {kCmdAddOrderFlags, 0, missile, 0xA00, 0}};
}

// The serial of the local region's message of the type about the unit, 0
// for none.
uint32_t MailAbout(uint32_t type, uint32_t unit) {
  World& w = g_world;
  WorldLockGuard hold(w, kLockMail);
  ListNode& head = w.messageLists[w.gameState.localPlayer];
  for (ListNode* node = head.next(); node && node != &head; node = node->next()) {
    const auto* m = static_cast<PlayerMessage*>(node);
    if (m->typeId == type && m->params[0] == unit) return m->serial;
  }
  return 0;
}

// Kessaria's game with a missile loaded into its silo.
class SiloLaunch : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetGameFloatMode();
    ASSERT_NO_FATAL_FAILURE(game.Start("Kessaria"));
    ASSERT_NO_FATAL_FAILURE(LoadAMissile(&siloHex, &missile));
  }
  SampleGame game;
  uint32_t siloHex = 0, missile = 0;
};

TEST_F(SiloLaunch, AMissileLaunchedAtAnOwnHexFromItsScheduleIsGivenUpAndTheMailSaysWhy) {
  ScreenSet& s = g_screens;
  World& w = g_world;
  const uint32_t target = MakeHexPos(HexX(siloHex) + 2, HexY(siloHex));
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const HexCell* cell = HexCellAt(w, MapShape(w), target);
    ASSERT_NE(cell, nullptr);
    ASSERT_EQ(CellOwner(cell->word), w.gameState.localPlayer) << "a hex of Kessaria's";
  }
  ASSERT_NO_FATAL_FAILURE(AimFromTheSiloPanel(siloHex, missile, target));

  ASSERT_NO_FATAL_FAILURE(OpenSiloPanel(siloHex));
  const int row = RowOfUnit(s.siloSidePanel.list, missile);
  ASSERT_GE(row, 0);
  TextsApart(s.siloSidePanel.currentForm, "silo panel");
  // The silo's missile rows read whole, the aimed one with its mark.
  for (const Control* r = ListNextRow(s.siloSidePanel.list, nullptr); r; r = ListNextRow(s.siloSidePanel.list, r))
    TextsReadWhole(r->firstChild, "silo missile row");
  SampleGame::ClickControl(s.siloSidePanel.list, row);
  SampleGame::ClickControl(FormFindControlByTag(s.siloSidePanel.currentForm, "LAUNCH"));
  ASSERT_EQ(DockHost(s, kDockLevelThird)->firstChild, s.siloLaunchSchedule->currentForm) << "MAP1_ss8d is shown";
  const size_t before = g_commandLog.Entries().size();
  SampleGame::ClickControl(FormFindControlByTag(s.siloLaunchSchedule->currentForm, "LAUNCH"));
  EXPECT_EQ(OrdersPostedSince(before, missile), FiveLaunchOrders(missile, target));

  EXPECT_EQ(MailAbout(kMsgLaunchDropped, missile), 0u) << "nothing is said before the launch is tried";
  SampleGame::PlayUntil(kMostDays, [&] { return MailAbout(kMsgLaunchDropped, missile); });
  const uint32_t told = MailAbout(kMsgLaunchDropped, missile);
  ASSERT_NE(told, 0u) << "the mail tells that the launch was given up";
  // The mail bar's button opens the mailbox, which lists it.
  SampleGame::ClickControl(FormFindControlById(s.mailBar.currentForm, 11));
  ASSERT_NE(s.mailList.list, nullptr);
  EXPECT_GE(RowOfUnit(s.mailList.list, told), 0) << "the mailbox lists the message";
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* aimed = FindUnitById(w, missile);
  ASSERT_NE(aimed, nullptr);
  EXPECT_EQ(aimed->carrier, OwnUnitOfClass(kSampleSilo)->id) << "the missile stays in the silo";
  EXPECT_FALSE(aimed->orders[kOrderFlags] & kOrderLaunchCargo) << "and its launch is no longer ordered";
}

TEST_F(SiloLaunch, AMissileAimedAtAForeignCapitalIsLaunchedFromTheLaunchPageThroughTheKeypad) {
  ScreenSet& s = g_screens;
  World& w = g_world;

  // The first foreign region with a capital on the map.
  int32_t region = 0, cell = -1;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (int32_t r = 1; r < kMaxPlayers && cell < 0; ++r)
      if (r != w.gameState.localPlayer && (cell = CapitalCell(w, w.players[r])) >= 0) region = r;
  }
  ASSERT_GE(cell, 0) << "a foreign region has a capital";
  const uint32_t capital = MakeHexPos(cell % w.mapWidth, cell / w.mapWidth);
  ASSERT_NO_FATAL_FAILURE(AimFromTheSiloPanel(siloHex, missile, capital));

  // Its launch page: the capital's row, LAUNCH, OK, then the code.
  SampleGame::PressKey(plat::kVkF1 + 2);  // F3
  SampleGame::ClickControl(FormFindControlByTag(s.operationsScreen.currentForm, "MILOPS"));
  ASSERT_NE(s.wmdTargeting->currentForm->parent, nullptr) << "OPS1_SS4 is shown";
  auto* regions = TagAs<ListBoxControl>(s.wmdTargeting->currentForm, "REGIONLIST");
  ASSERT_NE(regions, nullptr);
  const int regionRow = RowOfUnit(regions, static_cast<uint32_t>(region));
  ASSERT_GE(regionRow, 0) << "the page offers the region";
  // A click on a chosen row lets it go; the next takes it.
  for (int click = 0; click < 4 && regions->selectedId != region; ++click)
    SampleGame::ClickControl(regions, regionRow);
  ASSERT_EQ(regions->selectedId, region);
  SampleGame::ClickControl(FormFindControlByTag(s.wmdTargeting->currentForm, "INTELBUT"));
  LaunchPanel& page = s.launchPanel;
  ASSERT_NE(page.currentForm->parent, nullptr) << "OPS1_SS4b is shown";
  TextsReadWhole(page.currentForm, "launch page");
  ASSERT_EQ(RowOfUnit(page.list, static_cast<uint32_t>(TargetRowId(cell))), 0) << "the capital is listed";
  EXPECT_EQ(TextsReadWhole(ListNextRow(page.list, nullptr)->firstChild, "target row"), 2) << "owner and place";
  SampleGame::ClickControl(page.list, 0);
  SampleGame::ClickControl(FormFindControlByTag(page.currentForm, "LAUNCH"));
  SampleGame::ClickControl(FormFindControlByTag(page.currentForm, "LOK"));
  LaunchKeypad& keypad = s.launchKeypad;
  ASSERT_NE(keypad.currentForm->parent, nullptr) << "the keypad asks for the code";
  const size_t before = g_commandLog.Entries().size();
  for (const int32_t digit : {7, 3, 0, 9})  // the code the README gives; 0 is the key with id 10
    SampleGame::ClickControl(FormFindControlById(keypad.currentForm, digit == 0 ? 10 : digit));
  EXPECT_TRUE(OrdersPostedSince(before, missile).empty()) << "nothing goes before LAUNCH";
  SampleGame::ClickControl(FormFindControlByTag(keypad.currentForm, "LAUNCH"));
  EXPECT_EQ(keypad.currentForm->parent, nullptr) << "the keypad closes";
  EXPECT_EQ(OrdersPostedSince(before, missile), FiveLaunchOrders(missile, capital));
  plat::CriticalSectionLock lock(g_simulationLock);
  EXPECT_TRUE(w.players[w.gameState.localPlayer].flags56 & kPlayerLaunchAuthorised) << "the code is given for good";
}

TEST_F(SiloLaunch, AMissileAimedAtAnEnemyUnitFromTheStrikePanelStrikesIt) {
  ScreenSet& s = g_screens;
  World& w = g_world;
  // A foreign unit in reach that no forces at war with it can fire at, its
  // region at war with Kessaria (as the declaration's dialog posts it).
  uint32_t target = 0;
  int32_t enemy = 0;
  const auto pickTarget = [&] {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* aboard = FindUnitById(w, missile);
    const UnitRecord* u = aboard ? QuietForeignUnitNear(*aboard, siloHex, enemy) : nullptr;
    target = u ? u->id : 0;
    enemy = u ? u->owner : 0;
  };
  pickTarget();
  ASSERT_NE(target, 0u) << "a foreign unit in the missile's reach, away from the fighting";
  PostArgs(kCmdDeclareWar, RegionArgs{.region = static_cast<uint32_t>(enemy)});
  SampleGame::PlayDays(1);
  pickTarget();
  ASSERT_NE(target, 0u) << "one is still there once the war has begun";
  uint32_t targetHex = 0;
  float before = 0.0f;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* u = FindUnitById(w, target);
    targetHex = MakeHexPos(u->x, u->y);
    before = u->strength;
  }

  // The silo's orders from the platforms of a stored weapon, a control
  // click on the unit's hex for the orders aimed there, and the missile
  // strike order.
  ASSERT_NO_FATAL_FAILURE(ShowArmyPage(kArmyStoresPage));
  UnitInventoryPanel& stores = s.unitInventory;
  ASSERT_NE(stores.storedList->firstRow, nullptr) << "the stores page lists a stored weapon";
  for (int click = 0; click < 4 && stores.storedList->selectedId == 0; ++click)
    SampleGame::ClickControl(stores.storedList, 0);
  SampleGame::ClickControl(FormFindControlByTag(stores.currentForm, "DEPLOY"));
  MissileSiloPanel& platforms = s.missileSiloPanel;
  const uint32_t silo = AboardCarrierOf(missile);
  const int siloRow = RowOfUnit(platforms.platforms, silo);
  ASSERT_GE(siloRow, 0) << "the silo is offered";
  SampleGame::ClickControl(platforms.platforms, siloRow);
  SampleGame::ClickControl(FormFindControlByTag(platforms.currentForm, "UNITORDER"));
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    ListItem28* first = FirstInHolder(s.SelectionList());
    ASSERT_NE(first, nullptr);
    const UnitRecord* selected = RefUnit(w, *first);
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->id, silo) << "the silo is the selection";
  }
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(targetHex, x, y));
  SampleGame::Post(plat::kWmMouseMove, 0, x, y);
  SampleGame::Pump();
  SampleGame::Post(plat::kWmLButtonDown, plat::kMkLButton | plat::kMkControl, x, y);
  SampleGame::Post(plat::kWmLButtonUp, plat::kMkControl, x, y);
  SampleGame::Pump();
  ASSERT_EQ(DockHost(s, kDockLevelSecond)->firstChild, s.unitOrders.currentForm) << "ORDERS1_ss3 is shown";
  const int orderRow = RowOfUnit(s.unitOrders.ordersList, kMissileStrikeOrder);
  ASSERT_GE(orderRow, 0) << "the silo may be given the missile strike";
  SampleGame::ClickControl(s.unitOrders.ordersList, orderRow);
  MissileStrikePanel& strike = s.missileStrike;
  ASSERT_EQ(DockHost(s, kDockLevelThird)->firstChild, strike.currentForm) << "ORDERS1_ss3e is shown";

  // The unit's row, the missile's row, EXECUTE.
  const int targetRow = RowOfUnit(strike.unitList, target);
  ASSERT_GE(targetRow, 0) << "the panel offers the unit";
  SampleGame::ClickControl(strike.unitList, targetRow);
  const int missileRow = RowOfUnit(strike.missileList, missile);
  ASSERT_GE(missileRow, 0) << "the panel offers the silo's missile";
  SampleGame::ClickControl(strike.missileList, missileRow);
  uint32_t quantity = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    quantity = static_cast<uint32_t>(FindUnitById(w, missile)->strength);
  }
  const size_t posted = g_commandLog.Entries().size();
  SampleGame::ClickControl(FormFindControlByTag(s.unitOrders.currentForm, "EXECUTE"));
  const std::vector<Cmd> strikeOrders = {{kCmdUnitSetDestination, targetHex, missile, 0, 0},
                                         {kCmdUnitSetFireHex, targetHex, missile, 0, 0},
                                         {kCmdUnitSetFireUnit, 0, missile, target, 0},
                                         {kCmdUnitSetOrdersHeaderBits, 0, missile, 0x2000, 1},
                                         {kCmdUnitSetOrderLevel, 0, missile, quantity, 0},
                                         {kCmdAddOrderFlags, 0, missile, 0x2200, 0}};
  EXPECT_EQ(OrdersPostedSince(posted, missile), strikeOrders);

  // The missile leaves and strikes. No forces at war with the unit had it
  // in reach when it was aimed, nor at any day's end until the strike, so
  // what it loses is the missile's doing.
  const auto inFlight = [&] {
    for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next)
      if ((u->unitFlags & kUnitStock) && u->owner == w.gameState.localPlayer && !(u->unitFlags & kUnitGone) &&
          u->strength > 0.0f && u->orders[kFireUnit] == target)
        return true;
    return false;
  };
  const auto struck = [&] {
    const UnitRecord* u = FindUnitById(w, target);
    EXPECT_TRUE(!u || (u->unitFlags & kUnitGone) || NoFightNear(*u, w.gameState.localPlayer))
        << "no forces at war with it in reach of it";
    return !inFlight();
  };
  SampleGame::PlayUntil(kMostDays, struck);
  plat::CriticalSectionLock lock(g_simulationLock);
  EXPECT_FALSE(inFlight()) << "the missile strikes within " << kMostDays << " days";
  const UnitRecord* hit = FindUnitById(w, target);
  EXPECT_TRUE(!hit || (hit->unitFlags & kUnitGone) || hit->strength < before) << "the unit loses strength";
}

}  // namespace
