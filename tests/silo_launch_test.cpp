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

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
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
#include "screens/diplomacy/diplomacy_screen.h"
#include "screens/diplomacy/mail/mail_window.h"
#include "screens/main/map/map_view.h"
#include "screens/main/panels/map_screen.h"
#include "screens/military/operations/launch_panel.h"
#include "screens/military/operations/wmd_targeting_panels.h"
#include "screens/military/orders/missile_strike_panel.h"
#include "screens/military/orders/orders_screen.h"
#include "screens/military/silo/launch_keypad.h"
#include "screens/military/silo/silo_popup.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/game_command.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/simulation_lock.h"
#include "sim/status_queue.h"
#include "support/posted_since.h"
#include "support/control_layout.h"
#include "support/sample_game.h"
#include "support/silo_steps.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "units/step/unit_step_phases.h"
#include "ui/string_control.h"
#include "world/unit_class.h"
#include "records/player_relations.h"
#include "world/game_speed.h"
#include "world/id_lookups.h"
#include "world/list_items.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int32_t kCruiseMissile = 39;
// A guard only: the waits end on the game's state.
constexpr int kMostDays = 10;

uint32_t AboardCarrierOf(uint32_t unit) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = FindUnitById(g_world, unit);
  return u ? u->carrier : 0;
}

// What the target panel says a missile aimed at a facility of the class
// strikes.
std::string StrikesCaption(int32_t facilityClass) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitClassRecord* cls = ClassRecordAt(g_world, facilityClass);
  EXPECT_NE(cls, nullptr) << facilityClass;
  return "Strikes " + (cls ? std::string(cls->name, strnlen(cls->name, sizeof cls->name)) : std::string());
}

int32_t ReachOf(uint32_t missile) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* u = FindUnitById(g_world, missile);
  return u ? u->rangeLeft : 0;
}

// The hex of another region's live facility that the local player sees,
// nearest to the silo within the reach (or nearest beyond it), on ground
// not the local region's nor a friend's; 0 for none.
uint32_t ForeignFacilityHex(uint32_t siloHex, int32_t reach, bool within, int32_t* region, int32_t* facilityClass) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  const HexMapShape map = MapShape(w);
  const int32_t local = w.gameState.localPlayer;
  uint32_t best = 0;
  int32_t bestDistance = 0;
  for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next) {
    if (!(u->unitFlags & kUnitFacility) || !IsUnitLive(*u) || (u->unitFlags & kUnitProvisional) || u->owner == local)
      continue;
    const uint32_t at = MakeHexPos(u->x, u->y);
    HexCell* cell = HexCellAt(w, map, at);
    if (!cell || LiveLeadFacility(*cell) != u) continue;
    const int owner = CellOwner(cell->word);
    if (owner == 0 || owner == local ||
        (RelationClassOf(w.players[local], 1, owner) & (kRelationSelf | kRelationFriendly)))
      continue;
    const int32_t d = HexDistance(map, siloHex, at);
    if ((d <= reach) != within || (best != 0 && d >= bestDistance)) continue;
    best = at, bestDistance = d, *region = owner, *facilityClass = u->classIndex;
  }
  return best;
}

// The live facility on the hex: its id and strength.
std::pair<uint32_t, float> FacilityOn(uint32_t hex) {
  plat::CriticalSectionLock lock(g_simulationLock);
  HexCell* cell = HexCellAt(g_world, MapShape(g_world), hex);
  const UnitRecord* f = cell ? LiveLeadFacility(*cell) : nullptr;
  return f ? std::pair{f->id, f->strength} : std::pair{0u, 0.0f};
}

// Whether the facility struck is gone or has less strength than it had.
bool Weakened(const std::pair<uint32_t, float>& before) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const UnitRecord* f = FindUnitById(g_world, before.first);
  return !f || !IsUnitLive(*f) || f->strength < before.second;
}

int32_t DistanceTo(uint32_t from, uint32_t to) {
  plat::CriticalSectionLock lock(g_simulationLock);
  return HexDistance(MapShape(g_world), from, to);
}

// Kessaria's game with a missile loaded into its silo.
class SiloLaunch : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetGameFloatMode();
    ASSERT_NO_FATAL_FAILURE(game.Start("Kessaria"));
    ASSERT_NO_FATAL_FAILURE(LoadAMissile(&siloHex, &missile, kMostDays));
  }
  // The nearest foreign facility within the missile's reach (or beyond it),
  // its region at war with Kessaria: its hex and class.
  void AtWarWithAForeignFacility(bool inReach, uint32_t* hex, int32_t* facilityClass) {
    int32_t region = 0;
    *hex = ForeignFacilityHex(siloHex, ReachOf(missile), inReach, &region, facilityClass);
    ASSERT_NE(*hex, 0u) << "a foreign facility " << (inReach ? "in" : "beyond") << " the missile's reach";
    ASSERT_NO_FATAL_FAILURE(DeclareWarOnTheDiplomacyPage(region));
  }
  SampleGame game;
  uint32_t siloHex = 0, missile = 0;
};

TEST_F(SiloLaunch, ALaunchAtAnOwnHexIsRefusedAtOnceWithItsReason) {
  ScreenSet& s = g_screens;
  World& w = g_world;
  const uint32_t target = MakeHexPos(HexX(siloHex) + 2, HexY(siloHex));
  bool facility = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    HexCell* cell = HexCellAt(w, MapShape(w), target);
    ASSERT_NE(cell, nullptr);
    ASSERT_EQ(CellOwner(cell->word), w.gameState.localPlayer) << "a hex of Kessaria's";
    facility = LiveLeadFacility(*cell) != nullptr;
  }
  // Nothing there to strike, or own ground: the panel says so before the launch.
  const std::string reason = facility ? "Own or friendly hex" : "Nothing to strike there";
  ASSERT_NO_FATAL_FAILURE(AimSiloMissile(siloHex, missile, target));
  EXPECT_EQ(ShownText(s.siloMissileTarget.currentForm, "STRIKES"), reason);

  TextsApart(s.siloSidePanel.currentForm, "silo panel");
  // The silo's missile rows read whole, the aimed one with its mark.
  for (const Control* r = ListNextRow(s.siloSidePanel.list, nullptr); r; r = ListNextRow(s.siloSidePanel.list, r))
    TextsReadWhole(r->firstChild, "silo missile row");
  Control* panel = s.siloMissileTarget.currentForm;
  const PostedSince before;
  SampleGame::ClickControl(FormFindControlByTag(panel, "LAUNCH"));
  EXPECT_TRUE(OrdersPostedSince(before, missile).empty()) << "the launch is refused";
  EXPECT_EQ(ShownText(panel, "STRIKES"), reason) << "with its reason";
  TextsReadWhole(panel, "target panel");
}

TEST_F(SiloLaunch, ALaunchAtAForeignFacilityInReachStrikesItAndTheMapShowsWhere) {
  ScreenSet& s = g_screens;
  uint32_t target = 0;
  int32_t facilityClass = 0;
  ASSERT_NO_FATAL_FAILURE(AtWarWithAForeignFacility(true, &target, &facilityClass));
  ASSERT_NO_FATAL_FAILURE(AimSiloMissile(siloHex, missile, target));
  const std::string strikes = StrikesCaption(facilityClass);
  EXPECT_EQ(ShownText(s.siloMissileTarget.currentForm, "STRIKES"), strikes) << "the panel names what it strikes";
  EXPECT_NE(ShownText(s.siloMissileTarget.currentForm, "REACH").find("Reach "), std::string::npos);
  TextsReadWhole(s.siloMissileTarget.currentForm, "target panel");

  const StrikeMarks marks;
  const PostedSince before;
  const auto facility = FacilityOn(target);
  ASSERT_NE(facility.first, 0u);
  SampleGame::ClickControl(FormFindControlByTag(s.siloMissileTarget.currentForm, "LAUNCH"));
  EXPECT_EQ(OrdersPostedSince(before, missile), FiveLaunchOrders(missile, target));

  // Kessaria sees the strike where it lands; its mail says nothing of it.
  SampleGame::PlayUntil(kMostDays, [&] { return StrikeMarks::At(target); });
  ASSERT_TRUE(StrikeMarks::At(target)) << "the map shows the strike within " << kMostDays << " days";
  EXPECT_TRUE(Weakened(facility)) << "the facility struck loses strength";
  EXPECT_EQ(LaunchGivenUp(missile), false) << "the launch was not given up";
  EXPECT_FALSE(StrikeMailed()) << "the striker's mail tells of the strike";
}

// The launch page of the region as a player opens it (F3, MILOPS, the
// region's row, INTELBUT), its capital's row picked, LAUNCH and OK.
void LaunchAtTheCapitalFromItsPage(int32_t region, int32_t cell) {
  ScreenSet& s = g_screens;
  SampleGame::PressKey(plat::kVkF1 + 2);  // F3
  SampleGame::ClickControl(FormFindControlByTag(s.operationsScreen.currentForm, "MILOPS"));
  ASSERT_NE(s.wmdTargeting->currentForm->parent, nullptr) << "OPS1_SS4 is shown";
  auto* regions = TagAs<ListBoxControl>(s.wmdTargeting->currentForm, "REGIONLIST");
  ASSERT_NE(regions, nullptr);
  ASSERT_NO_FATAL_FAILURE(ChooseRow(regions, region)) << "the page offers the region";
  SampleGame::ClickControl(FormFindControlByTag(s.wmdTargeting->currentForm, "INTELBUT"));
  LaunchPanel& page = s.launchPanel;
  ASSERT_NE(page.currentForm->parent, nullptr) << "OPS1_SS4b is shown";
  TextsReadWhole(page.currentForm, "launch page");
  ASSERT_EQ(RowOfUnit(page.list, static_cast<uint32_t>(TargetRowId(cell))), 0) << "the capital is listed";
  EXPECT_EQ(TextsReadWhole(ListNextRow(page.list, nullptr)->firstChild, "target row"), 2) << "owner and place";
  if (page.list->selectedId != TargetRowId(cell)) SampleGame::ClickControl(page.list, 0);
  SampleGame::ClickControl(FormFindControlByTag(page.currentForm, "LAUNCH"));
  SampleGame::ClickControl(FormFindControlByTag(page.currentForm, "LOK"));
}

// Types the launch code on the keypad the page opened: the code the README
// gives (0 is the key with id 10), then LAUNCH unless told not to.
void GiveTheLaunchCode(bool launch = true) {
  LaunchKeypad& keypad = g_screens.launchKeypad;
  ASSERT_NE(keypad.currentForm->parent, nullptr) << "the keypad asks for the code";
  for (const int32_t digit : {7, 3, 0, 9})
    SampleGame::ClickControl(FormFindControlById(keypad.currentForm, digit == 0 ? 10 : digit));
  if (!launch) return;
  SampleGame::ClickControl(FormFindControlByTag(keypad.currentForm, "LAUNCH"));
  EXPECT_EQ(keypad.currentForm->parent, nullptr) << "the keypad closes";
}

// The foreign region whose capital lies nearest the silo beyond the reach,
// or within it; region 0 for none.
int32_t ForeignCapital(uint32_t siloHex, int32_t reach, bool within, int32_t* cell) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  int32_t region = 0, best = 0;
  for (int32_t r = 1; r < kMaxPlayers; ++r) {
    const int32_t c = r == w.gameState.localPlayer ? -1 : CapitalCell(w, w.players[r]);
    if (c < 0 || (RelationClassOf(w.players[w.gameState.localPlayer], 1, r) & (kRelationSelf | kRelationFriendly)))
      continue;
    const int32_t d = HexDistance(MapShape(w), siloHex, MakeHexPos(c % w.mapWidth, c / w.mapWidth));
    if ((d <= reach) != within || (region != 0 && d >= best)) continue;
    region = r, best = d, *cell = c;
  }
  return region;
}

TEST_F(SiloLaunch, AMissileAimedAtAForeignCapitalIsLaunchedFromTheLaunchPageThroughTheKeypad) {
  World& w = g_world;
  // The sample's Cruise missile reaches a foreign capital; Kessaria keeps
  // two beside its silo.
  uint32_t cruise = 0;
  ASSERT_NO_FATAL_FAILURE(LoadAMissile(&siloHex, &cruise, kMostDays, kCruiseMissile));
  int32_t cell = -1;
  const int32_t region = ForeignCapital(siloHex, ReachOf(cruise), true, &cell);
  ASSERT_NE(region, 0) << "a foreign capital in the Cruise missile's reach";
  const uint32_t capital = MakeHexPos(cell % w.mapWidth, cell / w.mapWidth);
  ASSERT_NO_FATAL_FAILURE(AimSiloMissile(siloHex, cruise, capital));

  ASSERT_NO_FATAL_FAILURE(LaunchAtTheCapitalFromItsPage(region, cell));
  const PostedSince before;
  ASSERT_NO_FATAL_FAILURE(GiveTheLaunchCode(false));
  EXPECT_TRUE(OrdersPostedSince(before, cruise).empty()) << "nothing goes before LAUNCH";
  SampleGame::ClickControl(FormFindControlByTag(g_screens.launchKeypad.currentForm, "LAUNCH"));
  EXPECT_EQ(OrdersPostedSince(before, cruise), FiveLaunchOrders(cruise, capital)) << "the aimed missile goes";
  EXPECT_TRUE(OrdersPostedSince(before, missile).empty()) << "the Tactical missile cannot reach it";
  plat::CriticalSectionLock lock(g_simulationLock);
  EXPECT_TRUE(w.players[w.gameState.localPlayer].flags56 & kPlayerLaunchAuthorised) << "the code is given for good";
}

// Not aimed first: the page sends a loaded missile that reaches the
// capital, or says why none may and sends nothing.
TEST_F(SiloLaunch, TheLaunchPageSaysWhyNoMissileMayStrikeACapitalOrLaunchesOneThatMay) {
  ScreenSet& s = g_screens;
  World& w = g_world;
  int32_t cell = -1;
  const int32_t region = ForeignCapital(siloHex, ReachOf(missile), false, &cell);
  ASSERT_NE(region, 0) << "a foreign capital beyond the Tactical missile's reach";
  const uint32_t capital = MakeHexPos(cell % w.mapWidth, cell / w.mapWidth);
  ASSERT_NO_FATAL_FAILURE(DeclareWarOnTheDiplomacyPage(region));

  PostedSince before;
  ASSERT_NO_FATAL_FAILURE(LaunchAtTheCapitalFromItsPage(region, cell));
  ASSERT_NO_FATAL_FAILURE(GiveTheLaunchCode());
  EXPECT_EQ(ShownText(s.launchPanel.currentForm, "REACH"), "Cannot launch: Out of reach");
  EXPECT_TRUE(OrdersPostedSince(before, missile).empty()) << "nothing goes";

  uint32_t cruise = 0;
  ASSERT_NO_FATAL_FAILURE(LoadAMissile(&siloHex, &cruise, kMostDays, kCruiseMissile));
  ASSERT_GE(ReachOf(cruise), ReachOf(missile));
  const StrikeMarks marks;
  before.Restart();
  ASSERT_NO_FATAL_FAILURE(LaunchAtTheCapitalFromItsPage(region, cell));
  EXPECT_EQ(ShownText(s.launchPanel.currentForm, "REACH"), "1 missile ordered to launch") << "the code is given";
  EXPECT_EQ(OrdersPostedSince(before, cruise), FiveLaunchOrders(cruise, capital));
  EXPECT_TRUE(OrdersPostedSince(before, missile).empty());
  SampleGame::PlayUntil(kMostDays, [&] { return StrikeMarks::At(capital); });
  EXPECT_TRUE(StrikeMarks::At(capital)) << "the map shows the strike";
}

TEST_F(SiloLaunch, AMissileAimedAtAnEnemyUnitFromTheStrikePanelStrikesIt) {
  ScreenSet& s = g_screens;
  World& w = g_world;
  // A foreign unit in reach that no forces at war with it can fire at, its
  // region at war with Kessaria (as the declaration's dialog posts it).
  const StrikeTarget quiet = QuietStrikeTarget(missile, siloHex);
  ASSERT_NE(quiet.unit, 0u) << "a foreign unit in the missile's reach, away from the fighting";
  ASSERT_NO_FATAL_FAILURE(DeclareWarOnTheDiplomacyPage(quiet.region));
  const uint32_t target = QuietStrikeTarget(missile, siloHex, quiet.region).unit;
  ASSERT_NE(target, 0u) << "one is still there once the war has begun";
  uint32_t targetHex = 0;
  float before = 0.0f;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* u = FindUnitById(w, target);
    targetHex = MakeHexPos(u->x, u->y);
    before = u->strength;
  }

  // The unit's row, the missile's row, EXECUTE.
  ASSERT_NO_FATAL_FAILURE(OpenTheStrikePanel(AboardCarrierOf(missile), targetHex, missile, target));
  uint32_t quantity = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    quantity = static_cast<uint32_t>(FindUnitById(w, missile)->strength);
  }
  const PostedSince posted;
  SampleGame::ClickControl(FormFindControlByTag(s.unitOrders.currentForm, "EXECUTE"));
  const std::vector<PostedOrder> strikeOrders = {{kCmdUnitSetDestination, targetHex, missile, 0, 0},
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

// The silo pop-up as O opens it, with the missile's row of its missile list
// chosen: its target panel shows in the pop-up.
void ShowTheMissileInTheSiloPopup(uint32_t missile) {
  ScreenSet& s = g_screens;
  if (!s.siloPopup.currentForm || !s.siloPopup.currentForm->parent) SampleGame::PressKey('O');
  ASSERT_NE(s.siloPopup.currentForm->parent, nullptr) << "O opens POPUP_SILO1";
  const int row = RowOfUnit(s.siloMissiles.list, missile);
  ASSERT_GE(row, 0) << "the pop-up lists the silo's missile";
  for (int click = 0; click < 3 && !(s.siloTarget->currentForm->parent && OnScreen(s.siloTarget->currentForm)); ++click)
    SampleGame::ClickControl(s.siloMissiles.list, row);
  ASSERT_TRUE(s.siloTarget->currentForm->parent && OnScreen(s.siloTarget->currentForm)) << "POPUP_SILO1g1 is shown";
}

// The status lines queued now that were not in `before`.
std::vector<std::string> NewStatusLines(const std::vector<std::string>& before = {}) {
  std::vector<std::string> added;
  WorldLockGuard hold(g_world, kLockLocalNews);
  for (ListNode* n = g_statusQueue.head.next(); n && n != &g_statusQueue.head; n = n->next()) {
    const char* text = static_cast<StatusQueueItem*>(n)->text;
    if (text && std::find(before.begin(), before.end(), text) == before.end()) added.emplace_back(text);
  }
  return added;
}

// From the silo pop-up as a player works it: the missile's row, Pick (the
// pop-up closes with its hint shown; Escape ends the pick with no target),
// Pick again and a click on the foreign facility, neither pick posting a
// status line; the pop-up again showing what it strikes with the pick's
// hint gone, LAUNCH and the schedule's LAUNCH; at war declared on the
// diplomacy page. The missile leaves the silo and the news and the mail
// report what it struck.
TEST_F(SiloLaunch, ALaunchFromTheSiloPopupAtAFacilityInReachStrikesItAndTheNewsAndMailSaySo) {
  ScreenSet& s = g_screens;
  uint32_t target = 0;
  int32_t facilityClass = 0;
  ASSERT_NO_FATAL_FAILURE(AtWarWithAForeignFacility(true, &target, &facilityClass));
  const uint32_t silo = AboardCarrierOf(missile);

  Control* panel = nullptr;
  for (const bool lands : {false, true}) {
    SCOPED_TRACE(lands ? "the pick that lands" : "the pick given up");
    ASSERT_NO_FATAL_FAILURE(ShowTheMissileInTheSiloPopup(missile));
    panel = s.siloTarget->currentForm;
    Control* pick = FormFindControlByTag(panel, "TARGET");
    ASSERT_TRUE(ShownInTree(pick)) << "the missile has no target yet: Pick is offered";
    const std::vector<std::string> queued = NewStatusLines();
    SampleGame::ClickControl(pick);
    EXPECT_EQ(s.siloPopup.currentForm->parent, nullptr) << "the pop-up makes way for the map";
    EXPECT_EQ(s.mapClickMode, kClickUnitDestination);
    EXPECT_FALSE(FormFindControlByTag(panel, "HIDE2")->Hidden()) << "the pick's hint";
    if (lands) {
      int32_t x = 0, y = 0;
      ASSERT_TRUE(SampleGame::PointOn(target, x, y));
      SampleGame::Click(x, y);
      EXPECT_EQ(s.mapClickMode, kClickNone) << "the pick ends with the click";
    } else {
      SampleGame::PressKey(plat::kVkEscape);
      EXPECT_EQ(s.mapClickMode, kClickNone) << "Escape ends the pick";
    }
    EXPECT_EQ(NewStatusLines(queued), std::vector<std::string>{}) << "no status line tells of the pick";
  }

  ASSERT_NO_FATAL_FAILURE(ShowTheMissileInTheSiloPopup(missile));
  panel = s.siloTarget->currentForm;
  const std::string strikes = StrikesCaption(facilityClass);
  EXPECT_EQ(ShownText(panel, "STRIKES"), strikes) << "the panel names what it strikes";
  EXPECT_FALSE(ShownInTree(FormFindControlByTag(panel, "HIDE2"))) << "the pick's hint is gone once a target is set";
  SampleGame::ClickControl(FormFindControlByTag(panel, "LAUNCH"));
  Control* schedule = s.siloSchedule->currentForm;
  ASSERT_TRUE(schedule->parent && OnScreen(schedule)) << "LAUNCH shows POPUP_SILO1g2";
  const StrikeMarks marks;
  const PostedSince before;
  const auto facility = FacilityOn(target);
  ASSERT_NE(facility.first, 0u);
  SampleGame::ClickControl(FormFindControlByTag(schedule, "LAUNCH"));
  EXPECT_EQ(OrdersPostedSince(before, missile), FiveLaunchOrders(missile, target));
  SampleGame::ClickControl(FormFindControlByTag(s.siloPopup.currentForm, "CLOSEBUT"));

  SampleGame::PlayUntil(kMostDays, [&] { return StrikeMarks::At(target); });
  EXPECT_EQ(LaunchGivenUp(missile), false) << "the launch was not given up";
  const std::vector<uint32_t> aboard = StockAboard(silo);
  EXPECT_EQ(std::find(aboard.begin(), aboard.end(), missile), aboard.end()) << "the missile left the silo";
  EXPECT_TRUE(StrikeMarks::At(target)) << "the map shows the strike within " << kMostDays << " days";
  EXPECT_TRUE(Weakened(facility)) << "the facility struck loses strength";
  EXPECT_FALSE(StrikeMailed()) << "the striker's mail tells of the strike";
}

TEST_F(SiloLaunch, TheStrikePanelShowsTheReachAndRefusesAStrikeOutOfReach) {
  ScreenSet& s = g_screens;
  uint32_t target = 0;
  int32_t facilityClass = 0;
  ASSERT_NO_FATAL_FAILURE(AtWarWithAForeignFacility(false, &target, &facilityClass));
  const int32_t reach = ReachOf(missile);
  // The hex itself, and the missile.
  ASSERT_NO_FATAL_FAILURE(OpenTheStrikePanel(AboardCarrierOf(missile), target, missile));
  MissileStrikePanel& strike = s.missileStrike;
  EXPECT_EQ(s.ordersScreen.edit.targetUnit, 0) << "the hex row is the target";
  char line[64];
  std::snprintf(line, sizeof line, "Reach %d hexes, target %d", reach, DistanceTo(siloHex, target));
  EXPECT_EQ(ShownText(strike.currentForm, "REACH"), line);
  EXPECT_EQ(ShownText(strike.currentForm, "STRIKES"), "Out of reach");
  TextsReadWhole(strike.currentForm, "strike panel");

  const PostedSince before;
  SampleGame::ClickControl(FormFindControlByTag(s.unitOrders.currentForm, "EXECUTE"));
  EXPECT_TRUE(before.Commands().empty()) << "EXECUTE posts nothing";
  EXPECT_EQ(DockHost(s, kDockLevelThird)->firstChild, strike.currentForm) << "the panel stays";
  EXPECT_EQ(ShownText(strike.currentForm, "STRIKES"), "Out of reach") << "with the reason";
}

}  // namespace
