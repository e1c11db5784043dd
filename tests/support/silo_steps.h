#pragma once
// Steps the silo play tests share, on a game started by SampleGame: a
// list's row of a unit, the local region's silo, the map's silo panel
// opened on the silo's hex as a player opens it, a missile of the silo
// aimed at a hex from it, the orders a launch posts, a stock missile loaded
// into the silo from the army's stored weapons page (through its Deploy or
// its Load), the orders' missile strike panel opened for the silo, war
// declared on the diplomacy page, the mark a missile leaves where it strikes,
// and a foreign unit to strike where no forces at war with it can fire at
// it, so that what it loses is the missile's doing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/player_relations.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/units/unit_lists.h"
#include "screens/common/frame/side_bars.h"
#include "screens/diplomacy/diplomacy_screen.h"
#include "screens/main/panels/map_screen.h"
#include "screens/military/silo/missile_silo_panels.h"
#include "ui/panel_vocabulary.h"
#include "ui/string_control.h"
#include "screens/military/inventory/unit_inventory_panel.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "support/posted_since.h"
#include "sim/game_command.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/sim_ui_link.h"
#include "sim/simulation_lock.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "units/combat/unit_attack.h"
#include "units/hex_geometry.h"
#include "world/game_speed.h"
#include "world/id_lookups.h"
#include "world/list_holder.h"
#include "world/world.h"

// The number of the list's row whose id is the unit's, -1 for none.
inline int RowOfUnit(const ListBoxControl* list, uint32_t unit) {
  int n = 0;
  for (Control* row = list ? ListNextRow(list, nullptr) : nullptr; row; row = ListNextRow(list, row), ++n)
    if (static_cast<uint32_t>(row->id) == unit) return n;
  return -1;
}

// Clicks the row until the list has it chosen (a click on a chosen row lets
// it go).
inline void ChooseRow(ListBoxControl* list, int32_t id) {
  const int row = RowOfUnit(list, static_cast<uint32_t>(id));
  ASSERT_GE(row, 0) << "row " << id;
  for (int click = 0; click < 4 && list->selectedId != id; ++click) SampleGame::ClickControl(list, row);
  ASSERT_EQ(list->selectedId, id);
}

// The local region's first unit of the class, null for none. The
// caller holds g_simulationLock.
inline UnitRecord* OwnUnitOfClass(int32_t classIndex) {
  World& w = g_world;
  for (UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next)
    if (u->owner == w.gameState.localPlayer && u->classIndex == classIndex) return u;
  return nullptr;
}

// Whether the control is on the screen: a click in its middle reaches it.
inline bool OnScreen(Control* control) {
  int x = 0, y = 0;
  SampleGame::PointOfControl(control, -1, x, y);
  for (Control* c = ControlHitTest(g_ui.rootForm, x, y, kAnyDepth, 0); c; c = c->parent)
    if (c == control) return true;
  return false;
}

// Opens the map screen on the silo's hex and the silo panel with it (the
// hex's info button shows it when the click left the panels folded away).
inline void OpenSiloPanel(uint32_t siloHex) {
  ScreenSet& s = g_screens;
  // The map's button folds the panels of a map already shown away; the
  // next click brings them back.
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  if (g_ui.panelDepth == 0) SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(siloHex, x, y));
  SampleGame::Click(x, y);
  if (DockHost(s, kDockLevelSecond)->firstChild != s.siloSidePanel.currentForm || !OnScreen(s.siloSidePanel.currentForm))
    SampleGame::ClickControl(FormFindControlByTag(s.mapScreen.currentForm, "UGINFOBUT"));
  ASSERT_EQ(DockHost(s, kDockLevelSecond)->firstChild, s.siloSidePanel.currentForm) << "MAP1_ss8 is docked";
  ASSERT_TRUE(OnScreen(s.siloSidePanel.currentForm)) << "MAP1_ss8 is shown";
}

// The silo panel's missile row chosen, with its target panel on the screen
// (a click on a chosen row lets it go; the next takes it again).
inline void ShowMissileRow(int row) {
  ScreenSet& s = g_screens;
  for (int click = 0; click < 3 && !(DockHost(s, kDockLevelThird)->firstChild == s.siloMissileTarget.currentForm &&
                                      OnScreen(s.siloMissileTarget.currentForm));
       ++click)
    SampleGame::ClickControl(s.siloSidePanel.list, row);
  ASSERT_EQ(DockHost(s, kDockLevelThird)->firstChild, s.siloMissileTarget.currentForm) << "MAP1_ss8b is docked";
  ASSERT_TRUE(OnScreen(s.siloMissileTarget.currentForm)) << "MAP1_ss8b is shown";
}

// The missile's target panel, from its row of the silo panel.
inline void ShowMissileTarget(uint32_t siloHex, uint32_t missile) {
  ScreenSet& s = g_screens;
  ASSERT_NO_FATAL_FAILURE(OpenSiloPanel(siloHex));
  const int row = RowOfUnit(s.siloSidePanel.list, missile);
  ASSERT_GE(row, 0) << "the silo lists its missile";
  ASSERT_NO_FATAL_FAILURE(ShowMissileRow(row));
}

// Aims the silo's missile at the hex as a player does: its row of the silo
// panel, TARGET (after Clear, when it is aimed already), a click on the hex;
// then its target panel, shown again, judges the aimed hex.
inline void AimSiloMissile(uint32_t siloHex, uint32_t missile, uint32_t target) {
  ScreenSet& s = g_screens;
  ASSERT_NO_FATAL_FAILURE(OpenSiloPanel(siloHex));
  const int row = RowOfUnit(s.siloSidePanel.list, missile);
  ASSERT_GE(row, 0) << "the silo lists its missile";
  ASSERT_NO_FATAL_FAILURE(ShowMissileRow(row));
  Control* pick = FormFindControlByTag(s.siloMissileTarget.currentForm, "TARGET");
  // An aimed missile's target is cleared before another is picked.
  if (pick->Hidden()) {
    SampleGame::ClickControl(FormFindControlByTag(s.siloMissileTarget.currentForm, "CLEARTARG"));
    // The target panel shows the change once the row is chosen again.
    for (int click = 0; click < 3 && pick->Hidden(); ++click) SampleGame::ClickControl(s.siloSidePanel.list, row);
    ASSERT_NO_FATAL_FAILURE(ShowMissileRow(row));
  }
  ASSERT_EQ(DockHost(s, kDockLevelThird)->firstChild, s.siloMissileTarget.currentForm);
  ASSERT_FALSE(pick->Hidden()) << "Clear offers the pick again";
  SampleGame::ClickControl(pick);
  ASSERT_EQ(s.mapClickMode, kClickUnitDestination);
  EXPECT_EQ(g_mapClickPending.unitId, missile);
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(target, x, y));
  SampleGame::Click(x, y);
  EXPECT_EQ(s.mapClickMode, kClickNone) << "the pick ends with the click";
  ASSERT_NO_FATAL_FAILURE(ShowMissileTarget(siloHex, missile));
}

// An order posted: its command and arguments.
struct PostedOrder {
  uint32_t id, arg24, arg28, arg32, arg36;
  bool operator==(const PostedOrder&) const = default;
};

// The orders posted for the missile since `before` was made or restarted.
inline std::vector<PostedOrder> OrdersPostedSince(const PostedSince& before, uint32_t missile) {
  std::vector<PostedOrder> posted;
  for (const GameCommand& c : before.Commands())
    if (c.arg28 == missile) posted.push_back({c.id, c.arg24, c.arg28, c.arg32, c.arg36});
  return posted;
}

// The orders a launch of the missile at the hex posts.
inline std::vector<PostedOrder> FiveLaunchOrders(uint32_t missile, uint32_t target) {
  return {{kCmdUnitSetDestination, target, missile, 0, 0},
          {kCmdUnitSetFireHex, target, missile, 0, 0},
          {kCmdUnitSetOrdersHeaderBits, 0, missile, 0x2000, 1},
          {kCmdUnitSetOrderLevel, 0, missile, 1, 0},
          {kCmdAddOrderFlags, 0, missile, 0xA00, 0}};
}

// The silo panel's LAUNCH and its schedule's LAUNCH for the missile whose
// row is chosen: the orders posted for it.
inline std::vector<PostedOrder> LaunchFromTheSchedule(uint32_t missile) {
  ScreenSet& s = g_screens;
  SampleGame::ClickControl(FormFindControlByTag(s.siloSidePanel.currentForm, "LAUNCH"));
  Control* schedule = s.siloLaunchSchedule->currentForm;
  if (!schedule || DockHost(s, kDockLevelThird)->firstChild != schedule) {
    ADD_FAILURE() << "the silo panel's LAUNCH shows MAP1_ss8d";
    return {};
  }
  const PostedSince before;
  SampleGame::ClickControl(FormFindControlByTag(schedule, "LAUNCH"));
  return OrdersPostedSince(before, missile);
}

// The serial of the local region's newest message that `is` picks, 0 for
// none.
template <typename Picks>
uint32_t FirstMail(Picks is) {
  World& w = g_world;
  WorldLockGuard hold(w, kLockMail);
  ListNode& head = w.messageLists[w.gameState.localPlayer];
  for (ListNode* node = head.next(); node && node != &head; node = node->next())
    if (const auto* m = static_cast<PlayerMessage*>(node); is(*m)) return m->serial;
  return 0;
}

// The marks a missile leaves on the map where it comes down, by hex, while
// the watch lives; the map still shows each. Made with the clock stopped,
// as the turn thread reads the hook.
class StrikeMarks {
 public:
  StrikeMarks() : chained_(g_simUi.addMapEffect) {
    Chained() = chained_;
    Hexes().clear();
    g_simUi.addMapEffect = Record;
  }
  ~StrikeMarks() { g_simUi.addMapEffect = chained_; }
  StrikeMarks(const StrikeMarks&) = delete;
  StrikeMarks& operator=(const StrikeMarks&) = delete;
  // Whether a strike's mark came up on the hex.
  static bool At(uint32_t hex) {
    std::lock_guard lock(Mutex());
    return std::find(Hexes().begin(), Hexes().end(), hex) != Hexes().end();
  }

 private:
  using Hook = decltype(SimUiLink::addMapEffect);
  static Hook& Chained() {
    static Hook hook = nullptr;
    return hook;
  }
  static std::mutex& Mutex() {
    static std::mutex mutex;
    return mutex;
  }
  static std::vector<uint32_t>& Hexes() {
    static std::vector<uint32_t> hexes;
    return hexes;
  }
  // A strike's picture: the eight frames from 16 in the shot's colour.
  static void Record(uint32_t position, int32_t view, int32_t x, int32_t y, int32_t first, int32_t frames,
                     int32_t frameMs, uint32_t colour, float scale) {
    if (first == 16 && frames == 8 && colour == 0x9FFFFFFFu) {
      std::lock_guard lock(Mutex());
      Hexes().push_back(position);
    }
    if (Chained()) Chained()(position, view, x, y, first, frames, frameMs, colour, scale);
  }
  Hook chained_;
};

// Whether the local region's mail holds a report of its own missile's
// strike: the owner sees the strike on the map and hears nothing of it.
inline bool StrikeMailed() {
  return FirstMail([](const PlayerMessage& m) {
           return m.typeId == kMsgMissileStruck || m.typeId == kMsgMissileDestroyedTarget ||
                  m.typeId == kMsgMissileStruckNothing;
         }) != 0;
}

// Whether the local region's mail tells that the missile's launch was given
// up.
inline bool LaunchGivenUp(uint32_t missile) {
  return FirstMail([&](const PlayerMessage& m) { return m.typeId == kMsgLaunchDropped && m.params[0] == missile; }) != 0;
}

// The mailbox opened from the mail bar: the message's row, -1 for none.
inline int MailboxRowOf(uint32_t serial) {
  ScreenSet& s = g_screens;
  SampleGame::ClickControl(FormFindControlById(s.mailBar.currentForm, 11));
  return s.mailList.list ? RowOfUnit(s.mailList.list, serial) : -1;
}

// A stock weapon aboard the silo (of the class, with one given), 0 for none.
inline uint32_t AboardOf(uint32_t silo, int32_t classIndex = -1) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next)
    if (u->carrier == silo && (u->unitFlags & kUnitStock) && !(u->unitFlags & kUnitGone) && u->strength >= 1.0f &&
        (classIndex < 0 || u->classIndex == classIndex))
      return u->id;
  return 0;
}

inline constexpr int32_t kArmyStoresPage = 2;

// The army department's page, with the department opened first when a
// click on its command button closed it.
inline void ShowArmyPage(int32_t page) {
  ScreenSet& s = g_screens;
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MILITARY"));
  Control* button = FormFindControlById(s.militaryCabinetLink.currentForm, page);
  ASSERT_NE(button, nullptr);
  const plat::Rect r = ControlAbsoluteRect(button);
  if (ControlHitTest(g_ui.rootForm, (r.left + r.right) / 2, (r.top + r.bottom) / 2, kAnyDepth, 0) != button)
    SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MILITARY"));
  SampleGame::ClickControl(button);
}

// DEPLOY on the stored weapons page's chosen row, then the silo's row of
// the platforms offered and the button given there.
inline void DeployToTheSilo(uint32_t silo, const char* button) {
  ScreenSet& s = g_screens;
  SampleGame::ClickControl(FormFindControlByTag(s.unitInventory.currentForm, "DEPLOY"));
  MissileSiloPanel& platforms = s.missileSiloPanel;
  const int siloRow = RowOfUnit(platforms.platforms, silo);
  ASSERT_GE(siloRow, 0) << "the silo is offered";
  SampleGame::ClickControl(platforms.platforms, siloRow);
  SampleGame::ClickControl(FormFindControlByTag(platforms.currentForm, button));
}

// Loads the stock weapon into the silo as a player does: its row of the
// stored weapons page, DEPLOY, the silo's row, LOAD; then plays until it is
// aboard, at most `days` days.
inline void LoadFromTheStoresPage(uint32_t stock, uint32_t silo, uint32_t days) {
  ScreenSet& s = g_screens;
  ASSERT_NO_FATAL_FAILURE(ShowArmyPage(kArmyStoresPage));
  UnitInventoryPanel& stores = s.unitInventory;
  const int row = RowOfUnit(stores.storedList, stock);
  ASSERT_GE(row, 0) << "the stored weapons page lists the missile";
  // A click on a chosen row lets it go; the next takes it.
  for (int click = 0; click < 4 && stores.storedList->selectedId != static_cast<int32_t>(stock); ++click)
    SampleGame::ClickControl(stores.storedList, row);
  ASSERT_EQ(stores.storedList->selectedId, static_cast<int32_t>(stock));
  ASSERT_NO_FATAL_FAILURE(DeployToTheSilo(silo, "LOAD"));
  SampleGame::PlayUntil(days, [&] { return AboardOf(silo) != 0; });
  ASSERT_NE(AboardOf(silo), 0u) << "the missile is loaded into the silo";
}

// The load panel's tab of silos.
inline constexpr int32_t kLoadPanelSilos = 204;

// Loads the stock weapon into the silo the way the stored weapons page
// names it: its row, LOAD (the load panel), the Silo tab, the silo's row,
// and the panel's Load 1; then plays until it is aboard, at most `days`
// days.
inline void LoadWithTheLoadPanel(uint32_t stock, uint32_t silo, uint32_t days) {
  ScreenSet& s = g_screens;
  ASSERT_NO_FATAL_FAILURE(ShowArmyPage(kArmyStoresPage));
  UnitInventoryPanel& stores = s.unitInventory;
  const int row = RowOfUnit(stores.storedList, stock);
  ASSERT_GE(row, 0) << "the stored weapons page lists the weapon";
  // A click on a chosen row lets it go; the next takes it.
  for (int click = 0; click < 4 && stores.storedList->selectedId != static_cast<int32_t>(stock); ++click)
    SampleGame::ClickControl(stores.storedList, row);
  ASSERT_EQ(stores.storedList->selectedId, static_cast<int32_t>(stock));
  SampleGame::ClickControl(FormFindControlByTag(stores.currentForm, "VIEW"));
  Screen& load = *s.missileLoadPanel;
  ASSERT_TRUE(load.currentForm && OnScreen(load.currentForm)) << "Load shows MILITARY1_ss4c";
  // The Silo tab, unless the panel shows it pressed already (a press on a
  // pressed tab lets it go).
  Control* siloTab = FormFindControlById(load.currentForm, kLoadPanelSilos);
  ASSERT_NE(siloTab, nullptr);
  if (!siloTab->Selected()) SampleGame::ClickControl(siloTab);
  auto* platforms = TagAs<ListBoxControl>(load.currentForm, "LIST5");
  const int platformRow = RowOfUnit(platforms, silo);
  ASSERT_GE(platformRow, 0) << "the Silo tab lists the silo";
  for (int click = 0; click < 4 && platforms->selectedId != static_cast<int32_t>(silo); ++click)
    SampleGame::ClickControl(platforms, platformRow);
  Control* one = FormFindControlByTag(load.currentForm, "LOAD");
  ASSERT_NE(one, nullptr);
  ASSERT_FALSE(one->Hidden()) << "the panel offers Load 1 for the chosen weapon and silo";
  int32_t classIndex = -1;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* u = FindUnitById(g_world, stock)) classIndex = u->classIndex;
  }
  SampleGame::ClickControl(one);
  SampleGame::PlayUntil(days, [&] { return AboardOf(silo, classIndex) != 0; });
  ASSERT_NE(AboardOf(silo, classIndex), 0u) << "the weapon is loaded into the silo";
}

inline constexpr uint8_t kLandKind = 0;

// Whether the two regions are at war, as either one's simulation sees it.
// The caller holds g_simulationLock.
inline bool AtWar(int a, int b) {
  const World& w = g_world;
  return ((w.players[a & 31].simPolicy.hostileMask >> (b & 31)) & 1u) ||
         ((w.players[b & 31].simPolicy.hostileMask >> (a & 31)) & 1u);
}

// War declared as a player declares it: the diplomacy department (F5), the
// region's row, WAR and the declaration's accept button; a day passes.
inline void DeclareWarOnTheDiplomacyPage(int32_t region) {
  ScreenSet& s = g_screens;
  SampleGame::PressKey(plat::kVkF1 + 4);  // F5
  ASSERT_NO_FATAL_FAILURE(ChooseRow(s.diplomacyScreen.regionList, region));
  SampleGame::ClickControl(FormFindControlByTag(s.regionRelations->currentForm, "WAR"));
  ASSERT_NE(s.warDeclaration->currentForm->parent, nullptr) << "WAR asks to confirm the declaration";
  SampleGame::ClickControl(FormFindControlByTag(s.warDeclaration->currentForm, "WARACCPBUT"));
  SampleGame::PlayDays(1);
  plat::CriticalSectionLock lock(g_simulationLock);
  ASSERT_TRUE(AtWar(g_world.gameState.localPlayer, region)) << "the declaration's accept button declares war";
}

// Whether no unit of a region at war with the land unit's, nor of
// `striker`, stands where its weapons reach the unit (stock in flight
// aside: that is the strike). The caller holds g_simulationLock.
inline bool NoFightNear(const UnitRecord& unit, int striker) {
  const World& w = g_world;
  const HexMapShape map = MapShape(w);
  const auto hexSize = static_cast<int32_t>(w.mapHeader.hexScale);
  const uint32_t at = PackHex(unit.x, unit.y);
  for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next) {
    if (u->owner == unit.owner || (u->owner != striker && !AtWar(u->owner, unit.owner)) || u->carrier != 0 ||
        (u->x == 0 && u->y == 0) || (u->unitFlags & (kUnitGone | kUnitStock)) || u->classIndex == 0)
      continue;
    // The same hex and the next are always in reach; a range reaches a
    // hex further for every hex size it spans.
    const int32_t reach = (hexSize > 0 ? static_cast<int32_t>(UnitBoostedRange(w, *u, kLandKind)) / hexSize : 0) + 1;
    if (HexDistance(map, at, PackHex(u->x, u->y)) <= reach) return false;
  }
  return true;
}

// The nearest land unit standing on the map (not held or built at a base)
// in the missile's reach from the silo's hex, of a region that is neither
// the missile owner's nor a friend (of `region` when it is not 0), that the
// local player sees and that neither the missile owner's forces nor any at
// war with it can fire at; null for none. The caller holds
// g_simulationLock.
inline const UnitRecord* QuietForeignUnitNear(const UnitRecord& missile, uint32_t siloHex, int region = 0) {
  const World& w = g_world;
  const HexMapShape map = MapShape(w);
  const PlayerRecord& me = w.players[missile.owner & 31];
  const UnitRecord* best = nullptr;
  int32_t nearest = missile.rangeLeft + 1;
  for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next) {
    if (u->owner == 0 || (region != 0 && u->owner != region) || u->carrier != 0 || (u->x == 0 && u->y == 0) || u->classIndex == 0 ||
        (u->unitFlags & (kUnitGone | kUnitStock | kUnitFacility)) || u->strength < 1.0f ||
        (u->orders[kPostureBits] & (kPostureInReserve | kPostureUnderConstruction)) ||
        (RelationClassOf(me, 1, u->owner) & (kRelationSelf | kRelationFriendly)))
      continue;
    const int32_t d = HexDistance(map, siloHex, PackHex(u->x, u->y));
    if (d < nearest && u->kind == kLandKind && LocalPlayerSeesUnit(w, *u) && NoFightNear(*u, missile.owner & 31))
      best = u, nearest = d;
  }
  return best;
}

// A strike's target: QuietForeignUnitNear for the missile aboard its silo,
// of `region` when it is not 0; all 0 when there is none.
struct StrikeTarget {
  uint32_t silo = 0, unit = 0, hex = 0;
  int32_t region = 0;
};
inline StrikeTarget QuietStrikeTarget(uint32_t missile, uint32_t siloHex, int32_t region = 0) {
  plat::CriticalSectionLock lock(g_simulationLock);
  StrikeTarget t;
  const UnitRecord* aboard = FindUnitById(g_world, missile);
  const UnitRecord* u = aboard ? QuietForeignUnitNear(*aboard, siloHex, region) : nullptr;
  t.silo = aboard ? aboard->carrier : 0;
  if (u) t.unit = u->id, t.hex = MakeHexPos(u->x, u->y), t.region = u->owner;
  return t;
}

// The sample's missile silo class; the orders table's missile strike,
// whose list is the strike panel's.
inline constexpr int32_t kSampleSiloClass = 4011;
inline constexpr int32_t kMissileStrikeOrderId = 42;

// The stock weapons aboard the silo.
inline std::vector<uint32_t> StockAboard(uint32_t silo) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  std::vector<uint32_t> aboard;
  for (const UnitRecord* u = w.units; u; u = u->next == w.units ? nullptr : u->next)
    if (u->carrier == silo && (u->unitFlags & kUnitStock) && !(u->unitFlags & kUnitGone) && u->strength >= 1.0f)
      aboard.push_back(u->id);
  return aboard;
}

// The local region's silo (Kessaria's in the sample), and one of the
// missiles the sample keeps in reserve beside it (of the class, or of any
// with 0) loaded from the stored weapons page within `days` days. The clock
// then stands until the test lets days pass.
inline void LoadAMissile(uint32_t* siloHex, uint32_t* missile, uint32_t days, int32_t classIndex = 0) {
  World& w = g_world;
  uint32_t siloId = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    const UnitRecord* silo = OwnUnitOfClass(kSampleSiloClass);
    ASSERT_NE(silo, nullptr) << "Kessaria owns a silo";
    siloId = silo->id;
    *siloHex = MakeHexPos(silo->x, silo->y);
    for (const UnitRecord* u = w.units; u && !*missile; u = u->next == w.units ? nullptr : u->next)
      if (u->owner == w.gameState.localPlayer && (u->unitFlags & kUnitStock) && u->carrier == 0 &&
          u->strength >= 1.0f && u->x == silo->x && u->y == silo->y && (classIndex == 0 || u->classIndex == classIndex))
        *missile = u->id;
  }
  ASSERT_NE(*missile, 0u) << "Kessaria has a missile by its silo";
  const std::vector<uint32_t> before = StockAboard(siloId);
  ASSERT_NO_FATAL_FAILURE(LoadFromTheStoresPage(*missile, siloId, days));
  // What the silo took aboard may be the missile or a part split from it.
  const std::vector<uint32_t> after = StockAboard(siloId);
  ASSERT_EQ(after.size(), before.size() + 1) << "the silo took the missile aboard";
  for (const uint32_t id : after)
    if (std::find(before.begin(), before.end(), id) == before.end()) *missile = id;
  plat::CriticalSectionLock lock(g_simulationLock);
  SetGameSpeed(w.gameState, 0);
}

// The silo's orders from the platforms of a stored weapon, a control
// click on the hex for the orders aimed there, and the missile strike
// order; on its panel, the unit's row (the hex's, with none) and the
// missile's.
inline void OpenTheStrikePanel(uint32_t silo, uint32_t targetHex, uint32_t missile, uint32_t unit = 0) {
  ScreenSet& s = g_screens;
  World& w = g_world;
  ASSERT_NO_FATAL_FAILURE(ShowArmyPage(kArmyStoresPage));
  UnitInventoryPanel& stores = s.unitInventory;
  ASSERT_NE(stores.storedList->firstRow, nullptr) << "the stores page lists a stored weapon";
  for (int click = 0; click < 4 && stores.storedList->selectedId == 0; ++click)
    SampleGame::ClickControl(stores.storedList, 0);
  ASSERT_NO_FATAL_FAILURE(DeployToTheSilo(silo, "UNITORDER"));
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
  const int orderRow = RowOfUnit(s.unitOrders.ordersList, kMissileStrikeOrderId);
  ASSERT_GE(orderRow, 0) << "the silo may be given the missile strike";
  SampleGame::ClickControl(s.unitOrders.ordersList, orderRow);
  MissileStrikePanel& strike = s.missileStrike;
  ASSERT_EQ(DockHost(s, kDockLevelThird)->firstChild, strike.currentForm) << "ORDERS1_ss3e is shown";
  const int targetRow = unit ? RowOfUnit(strike.unitList, unit) : 0;
  ASSERT_GE(targetRow, 0) << "the panel offers the unit";
  SampleGame::ClickControl(strike.unitList, targetRow);
  const int missileRow = RowOfUnit(strike.missileList, missile);
  ASSERT_GE(missileRow, 0) << "the panel offers the silo's missile";
  SampleGame::ClickControl(strike.missileList, missileRow);
}
