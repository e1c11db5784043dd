// The whole program on the sample scenario as Westholm, from New game, with
// nothing arranged in code: a silo ordered from the army's facilities page
// and placed on the map is built and, when it comes up off, switched on from
// that page; a ballistic and a tactical missile ordered from the missile stock
// pop-up are built and loaded into it with the stored weapons page's Load.
// At war with the region of the nearest foreign facility, declared from the
// diplomacy department, the ballistic missile is aimed from the silo panel at a
// facility its target panel says it reaches and strikes; a launch of the
// tactical missile, of shorter reach, at a facility beyond the reach its
// panel shows is refused at once with the reason on the panel, and the
// launch in reach leaves the silo and strikes the facility within days. Each step's days are
// recorded as the test's properties.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/fpenv.h"
#include "platform/messages.h"
#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/player_relations.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/facilities/facility_status.h"
#include "screens/diplomacy/diplomacy_screen.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/frame/side_bars.h"
#include "screens/main/panels/map_screen.h"
#include "screens/military/facilities/build_order_panel.h"
#include "screens/military/inventory/unit_inventory_panel.h"
#include "screens/military/silo/missile_stock_popup.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/game_command.h"
#include "sim/message_ids.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "support/silo_steps.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_vocabulary.h"
#include "units/hex_geometry.h"
#include "world/id_lookups.h"
#include "world/list_items.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int32_t kSilo = 4011;
constexpr int32_t kBallisticMissile = 41;
constexpr int32_t kTacticalMissile = 40;
constexpr int32_t kFacilitiesPage = 6;
// The facilities page's button that opens the build order panel.
constexpr int32_t kNewFacility = 12;
// Guards only: each wait ends on the game's state.
constexpr uint32_t kMostBuildDays = 120;
constexpr uint32_t kMostDays = 30;

// The lead unit of the hex's stack, null for none. The caller holds
// g_simulationLock.
const UnitRecord* LeadAt(uint32_t hex) {
  World& w = g_world;
  const HexCell* cell = HexCellAt(w, MapShape(w), hex);
  const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  return stack ? stack->lead : nullptr;
}

bool Offline(const UnitRecord& facility) { return !FacilityOnLine(facility); }

// The reach in hexes the target panel shows ("Reach N hexes"), -1 for none.
int32_t ReachShown(Control* form) {
  int32_t reach = -1;
  return std::sscanf(ShownText(form, "REACH").c_str(), "Reach %d", &reach) == 1 ? reach : -1;
}

// The facilities standing on the map of regions that are neither the local
// one nor its friends (of `region` alone when it is not 0), nearest to the
// hex first, by id.
std::vector<uint32_t> ForeignFacilitiesByDistance(uint32_t from, int32_t region = 0) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const HexMapShape map = MapShape(w);
  const PlayerRecord& me = w.players[w.gameState.localPlayer];
  std::vector<std::pair<int32_t, uint32_t>> found;
  for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next)
    if ((u->unitFlags & kUnitFacility) && !(u->unitFlags & kUnitGone) && u->owner != 0 && u->x != 0 &&
        u->carrier == 0 && u->strength >= 1.0f && (region == 0 || u->owner == region) &&
        !(RelationClassOf(me, 1, u->owner) & (kRelationSelf | kRelationFriendly)))
      found.emplace_back(HexDistance(map, from, PackHex(u->x, u->y)), u->id);
  std::sort(found.begin(), found.end());
  std::vector<uint32_t> ids;
  for (const auto& f : found) ids.push_back(f.second);
  return ids;
}

// The days a step took, among the test's properties.
void RecordDays(const char* step, uint32_t days) { ::testing::Test::RecordProperty(step, static_cast<int>(days)); }

uint32_t DayNow() {
  plat::CriticalSectionLock lock(g_simulationLock);
  return g_world.gameState.currentDay;
}

TEST(MissileChainPlay, ASiloOrderedFromNewGameIsSwitchedOnLoadedAndItsMissileStrikesWhatThePanelShowsInReach) {
  plat::SetGameFloatMode();
  SampleGame game;
  const GlobalGuard<UiOptions> options(g_uiOptions);
  game.startPaused = true;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  ScreenSet& s = g_screens;
  World& w = g_world;

  // 0. The player builds missiles by hand: the computer's missile building,
  // on by default, is switched off in the missile stock pop-up.
  ASSERT_NO_FATAL_FAILURE(ShowArmyPage(kArmyStoresPage));
  UnitInventoryPanel& stores = s.unitInventory;
  SampleGame::ClickControl(FormFindControlByTag(stores.currentForm, "MISPOPUP"));
  MissileStockPopup& popup = s.missiles;
  ASSERT_NE(popup.currentForm->parent, nullptr) << "Missiles opens POPUP_MISSILE1";
  Control* autoBuild = FormFindControlByTag(popup.currentForm, "AUTOBUILD2");
  ASSERT_NE(autoBuild, nullptr);
  if (autoBuild->Selected()) SampleGame::ClickControl(autoBuild);
  EXPECT_FALSE(autoBuild->Selected()) << "the computer builds no missiles";
  SampleGame::ClickControl(FormFindControlByTag(popup.currentForm, "CLOSEBUT"));

  // 1. The silo: Army, Bases, New facility, its row, a click on a hex of
  // Westholm's the panel offers, and the build pop-up's OK.
  ASSERT_NO_FATAL_FAILURE(ShowArmyPage(kFacilitiesPage));
  Screen& facilities = *s.facilityScreen;
  ASSERT_NE(facilities.currentForm->parent, nullptr) << "MILITARY1_ss2 is shown";
  SampleGame::ClickControl(FormFindControlById(facilities.currentForm, kNewFacility));
  BuildOrderPanel& order = s.buildOrderPanel;
  ASSERT_NE(order.currentForm->parent, nullptr) << "New facility shows Military1_ss2a";
  ASSERT_GE(RowOfUnit(order.list, kSilo + kBuildOrderRowBase), 0) << "the build order panel offers the silo";
  SampleGame::ClickControl(order.list, RowOfUnit(order.list, kSilo + kBuildOrderRowBase));
  ASSERT_EQ(g_mapPlacement.classIndex, kSilo) << "choosing the silo starts placing it";
  std::vector<uint32_t> sites;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    sites = SampleGame::BuildSites(kSilo, 64);
  }
  ASSERT_FALSE(sites.empty()) << "Westholm has a hex a silo may stand on";
  const uint32_t siloHex = SampleGame::ClickFirstShown(sites);
  ASSERT_NE(siloHex, 0u) << "the map shows a hex the silo may stand on";
  if (s.upgradePopup.currentForm && s.upgradePopup.currentForm->parent)
    SampleGame::ClickControl(FormFindControlByTag(s.upgradePopup.currentForm, "OKBUT"));
  uint32_t siloId = 0;
  const uint32_t ordered = DayNow();
  const bool standing = SampleGame::PlayUntil(2, [&] {
    const UnitRecord* lead = LeadAt(siloHex);
    siloId = lead && lead->classIndex == kSilo ? lead->id : 0;
    return siloId != 0;
  });
  ASSERT_TRUE(standing) << "the silo stands on its hex the next day";
  const bool built = SampleGame::PlayUntil(kMostBuildDays, [&] {
    const UnitRecord* silo = FindUnitById(w, siloId);
    return silo && !FacilityUnderConstruction(*silo);
  });
  RecordDays("days_silo_built", DayNow() - ordered);
  ASSERT_TRUE(built) << "the silo is finished within " << kMostBuildDays << " days";

  // 2. Switched on from the facilities page, when it came up off.
  bool offline = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* silo = FindUnitById(w, siloId);
    offline = Offline(*silo);
  }
  if (offline) {
    ASSERT_NO_FATAL_FAILURE(ShowArmyPage(kFacilitiesPage));
    auto* list = TagAs<ListBoxControl>(facilities.currentForm, "FACILLIST");
    ASSERT_NO_FATAL_FAILURE(ChooseRow(list, static_cast<int32_t>(siloId)));
    Control* activate = FormFindControlByTag(facilities.currentForm, "ACTIVATE");
    ASSERT_NE(activate, nullptr);
    EXPECT_FALSE(activate->Hidden()) << "the page offers Activate for the silo that is off";
    SampleGame::ClickControl(activate);
    const uint32_t from = DayNow();
    SampleGame::PlayUntil(3, [&] { return !Offline(*FindUnitById(w, siloId)); });
    RecordDays("days_silo_switched_on", DayNow() - from);
  }
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    ASSERT_FALSE(Offline(*FindUnitById(w, siloId))) << "the silo is on (Activate switches it on within a day)";
  }

  // 3. Two missiles, one of each design the steps below need: the missile
  // stock pop-up's row of the design, BUILD.
  ASSERT_NO_FATAL_FAILURE(ShowArmyPage(kArmyStoresPage));
  SampleGame::ClickControl(FormFindControlByTag(stores.currentForm, "MISPOPUP"));
  ASSERT_NE(popup.currentForm->parent, nullptr);
  WmdFilterPanel& designs = s.wmdFilter;
  std::vector<uint32_t> missilesOrdered;
  for (const int32_t design : {kBallisticMissile, kTacticalMissile}) {
    ASSERT_NO_FATAL_FAILURE(ChooseRow(designs.list, design));
    const PostedSince posted;
    SampleGame::ClickControl(FormFindControlByTag(designs.currentForm, "BUILD"));
    for (const GameCommand& c : posted.Commands())
      if (c.id == kCmdCreateUnitAt && c.player == w.gameState.localPlayer) missilesOrdered.push_back(c.sequence);
    ASSERT_EQ(missilesOrdered.size(), design == kBallisticMissile ? 1u : 2u) << "BUILD orders the missile " << design;
  }
  SampleGame::ClickControl(FormFindControlByTag(popup.currentForm, "CLOSEBUT"));
  uint32_t from = DayNow();
  const bool missilesBuilt = SampleGame::PlayUntil(kMostBuildDays, [&] {
    for (const uint32_t id : missilesOrdered) {
      const UnitRecord* u = FindUnitById(w, id);
      if (!u || (!(u->unitFlags & kUnitGone) && (u->orders[kPostureBits] & kPostureUnderConstruction))) return false;
    }
    return true;
  });
  RecordDays("days_missiles_built", DayNow() - from);
  ASSERT_TRUE(missilesBuilt) << "the missiles are finished within " << kMostBuildDays << " days";

  // 4. Each loaded into the silo with the stored weapons page's Load.
  from = DayNow();
  for (const int32_t design : {kBallisticMissile, kTacticalMissile}) {
    SCOPED_TRACE(design);
    ASSERT_NO_FATAL_FAILURE(ShowArmyPage(kArmyStoresPage));
    uint32_t stock = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      for (Control* row = ListNextRow(stores.storedList, nullptr); row && !stock; row = ListNextRow(stores.storedList, row))
        if (const UnitRecord* u = row->id > 0 ? FindUnitById(w, static_cast<uint32_t>(row->id)) : nullptr)
          if (u->classIndex == design && u->carrier == 0 && u->strength >= 1.0f) stock = u->id;
    }
    ASSERT_NE(stock, 0u) << "the stored weapons page lists the missile " << design;
    ASSERT_NO_FATAL_FAILURE(LoadWithTheLoadPanel(stock, siloId, kMostDays));
  }
  RecordDays("days_missiles_loaded", DayNow() - from);
  const uint32_t missile = AboardOf(siloId, kBallisticMissile);
  const uint32_t shortReach = AboardOf(siloId, kTacticalMissile);

  // 5. War with the region of the nearest foreign facility the map shows,
  // declared from the diplomacy department: its region's row, WAR, and the
  // declaration's accept button.
  const std::vector<uint32_t> facilitiesNear = ForeignFacilitiesByDistance(siloHex);
  ASSERT_FALSE(facilitiesNear.empty()) << "the map shows foreign facilities";
  int32_t enemy = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    enemy = FindUnitById(w, facilitiesNear.front())->owner;
  }
  ASSERT_NO_FATAL_FAILURE(DeclareWarOnTheDiplomacyPage(enemy));

  // 6. The ballistic missile aimed from the silo panel at the enemy's facilities, nearest first,
  // until the target panel says the missile strikes what stands there.
  uint32_t target = 0;
  int32_t reach = -1;
  uint32_t nearest = 0;
  for (const uint32_t facility : ForeignFacilitiesByDistance(siloHex, enemy)) {
    uint32_t hex = 0;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const UnitRecord* f = FindUnitById(w, facility);
      if (!NoFightNear(*f, w.gameState.localPlayer)) continue;
      hex = PackHex(f->x, f->y);
      if (!nearest) nearest = facility;
    }
    ASSERT_NO_FATAL_FAILURE(AimSiloMissile(siloHex, missile, hex));
    Control* form = s.siloMissileTarget.currentForm;
    reach = ReachShown(form);
    if (ShownText(form, "STRIKES").rfind("Strikes", 0) == 0) target = hex;
    // A panel that shows no reach judges no other hex either.
    if (target != 0 || reach < 0) break;
  }
  EXPECT_GT(reach, 0) << "the target panel shows the missile's reach";
  if (target == 0) {
    ADD_FAILURE() << "the target panel shows a facility of the enemy that the missile strikes";
    // The nearest, so that the steps after report what they find.
    ASSERT_NE(nearest, 0u) << "a facility of the enemy away from the fighting";
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* f = FindUnitById(w, nearest);
    target = PackHex(f->x, f->y);
  }

  // 7. A launch of the tactical missile at the nearest of the enemy's
  // facilities beyond the reach its panel shows is refused at once, its
  // reason on the screen, and nothing is posted.
  ASSERT_NO_FATAL_FAILURE(ShowMissileTarget(siloHex, shortReach));
  reach = ReachShown(s.siloMissileTarget.currentForm);
  EXPECT_GT(reach, 0) << "the target panel shows the tactical missile's reach";
  uint32_t far = 0;
  if (reach > 0) {
    plat::CriticalSectionLock lock(g_simulationLock);
    const HexMapShape map = MapShape(w);
    for (const uint32_t facility : ForeignFacilitiesByDistance(siloHex, enemy)) {
      const UnitRecord* f = FindUnitById(w, facility);
      if (HexDistance(map, siloHex, PackHex(f->x, f->y)) > reach) {
        far = PackHex(f->x, f->y);
        break;
      }
    }
  }
  EXPECT_NE(far, 0u) << "a facility of the enemy lies beyond the reach the panel shows (" << reach << " hexes)";
  if (far != 0) {
    ASSERT_NO_FATAL_FAILURE(AimSiloMissile(siloHex, shortReach, far));
    char line[64];
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      std::snprintf(line, sizeof line, "Reach %d hexes, target %d", reach, HexDistance(MapShape(w), siloHex, far));
    }
    EXPECT_EQ(ShownText(s.siloMissileTarget.currentForm, "REACH"), line);
    EXPECT_EQ(ShownText(s.siloMissileTarget.currentForm, "STRIKES"), "Out of reach") << "the panel says so before Launch";
    EXPECT_TRUE(LaunchFromTheSchedule(shortReach).empty()) << "the launch out of reach posts nothing";
    EXPECT_EQ(ShownText(s.siloLaunchSchedule->currentForm, "STRIKES"), "Out of reach")
        << "the refusal's reason is on the panel";
  }

  // 8. The ballistic missile, aimed at the facility in reach, launched from
  // the schedule: the missile leaves the silo, and where it comes down the
  // map shows the strike; the mail says nothing of it.
  ASSERT_NO_FATAL_FAILURE(AimSiloMissile(siloHex, missile, target));
  const StrikeMarks marks;
  EXPECT_EQ(LaunchFromTheSchedule(missile), FiveLaunchOrders(missile, target)) << "LAUNCH sends the missile";
  from = DayNow();
  const bool left = SampleGame::PlayUntil(kMostDays, [&] { return AboardOf(siloId, kBallisticMissile) != missile; });
  RecordDays("days_missile_leaves", DayNow() - from);
  ASSERT_TRUE(left) << "the missile leaves the silo within " << kMostDays << " days"
                    << (LaunchGivenUp(missile) ? " (the mail says the launch was given up)" : "");
  SampleGame::PlayUntil(kMostDays, [&] { return StrikeMarks::At(target); });
  RecordDays("days_missile_strikes", DayNow() - from);
  EXPECT_TRUE(StrikeMarks::At(target)) << "the map shows the strike within " << kMostDays << " days of the launch";
  EXPECT_FALSE(StrikeMailed()) << "the striker's mail tells of the strike";
}

}  // namespace
