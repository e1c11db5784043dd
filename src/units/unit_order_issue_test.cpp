#include "units/unit_order_issue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

#include "records/path_request.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "sim/command_post.h"
#include "units/handover_test_world.h"
#include "units/order_cancel.h"
#include "units/order_filter.h"
#include "world/text/rule_tables.h"

namespace {

using namespace handover_test;

constexpr int kOwner = 3;
constexpr int kMoveId = 1;     // flags: move (bit 18)
constexpr int kAttackId = 9;   // flags: target the hex's units (bit 14)
constexpr int kPatrolId = 3;   // flags: move and cyclic (bits 18 and 20)
constexpr int kDropId = 20;    // flags: second hex (bit 3)
constexpr int kFollowId = 15;  // flags: partner (bit 19)
constexpr int kUsedIds[] = {kMoveId, kPatrolId, kAttackId, kFollowId, kDropId};

// Sets order definitions in the shared rule table for a test and puts the
// old ones back.
class OrderTableGuard {
 public:
  OrderTableGuard() {
    for (size_t i = 0; i < std::size(kUsedIds); ++i) saved_[i] = std::move(Def(kUsedIds[i]));
  }
  ~OrderTableGuard() {
    for (size_t i = 0; i < std::size(kUsedIds); ++i) Def(kUsedIds[i]) = std::move(saved_[i]);
  }
  static OrderTypeRecord& Def(int id) { return g_ruleTables.orderTypes.entries[id]; }
  static void Set(int id, const char* name, uint32_t flags, uint32_t mask) {
    OrderTypeRecord& r = Def(id);
    r.orderFlags = flags;
    r.orderMask = mask;
    r.name.reset(strdup(name));
  }

 private:
  OrderTypeRecord saved_[std::size(kUsedIds)];
};

class OrderIssue : public ::testing::Test, public World6 {
 protected:
  OrderIssue() : log(*world) {
    World& w = *world;
    w.gameState.localPlayer = kOwner;
    w.gameState.highestPlayer = kOwner;
    w.gameState.currentTick = 100;
    w.gameState.commandLead = 3;
    w.players[kOwner].kind = kKindComputer;
    OrderTableGuard::Set(kMoveId, "Move", 1u << 18, 0);
    OrderTableGuard::Set(kPatrolId, "Patrol", (1u << 18) | (1u << 20), 0x10);
    OrderTableGuard::Set(kAttackId, "Attack Unit", 1u << 14, 0);
    OrderTableGuard::Set(kFollowId, "Follow", 1u << 19, 0);
    OrderTableGuard::Set(kDropId, "Drop", 1u << 3, 0);
  }

  struct Posted {
    uint32_t id, a24, a28, a32, a36;
    std::vector<uint8_t> payload;
  };
  std::vector<Posted> Commands() {
    std::vector<Posted> out;
    for (const GameCommand& c : log.Entries()) out.push_back({c.id, c.arg24, c.arg28, c.arg32, c.arg36, c.payload});
    return out;
  }
  std::vector<uint32_t> Ids() {
    std::vector<uint32_t> ids;
    for (const Posted& p : Commands()) ids.push_back(p.id);
    return ids;
  }

  OrderTableGuard tables;
  CommandLog log;
};

uint32_t At(int x, int y) { return unitbytes::PackPosition(static_cast<int16_t>(x), static_cast<int16_t>(y)); }

// Every order posted starts with the cancel and ends with the flags and the
// order's id; `between` is what stands in the middle.
TEST_F(OrderIssue, EachOrderPostsItsCommandsInOrder) {
  struct Case {
    const char* what;
    int order;
    uint32_t flags;  // for the custom order
    uint32_t target;
    bool withUnit;
    int32_t setting;
    bool posts;
    std::vector<uint32_t> between;
    uint32_t flagsSent;
  };
  const uint32_t mission = 0x00FF0000u;
  const uint32_t route[] = {kCmdAssignUnitRoute, kCmdUnitSetDestination};
  const Case cases[] = {
      {"custom, flags 0", kCustomOrder, 0, 0, false, -1, true, {}, 0},
      {"custom with a setting", kCustomOrder, 0, 0, false, 2, true, {kCmdUnitSetOrderSetting}, 0},
      {"a move without a place posts no route", kCustomOrder, mission, 0, false, -1, true, {}, 0},
      {"a move to a hex", kMoveId, 0, At(4, 4), false, -1, true, {route[0], route[1]}, 1u << 18},
      {"an attack on a unit", kAttackId, 0, At(3, 1), true, -1, true, {kCmdUnitSetFireHex, kCmdUnitSetFireUnit},
       1u << 14},
      {"keeping the target also moves", kCustomOrder, 1u << 17, At(3, 1), true, -1, true,
       {route[0], route[1], kCmdUnitSetFireHex, kCmdUnitSetFireUnit}, 1u << 17},
      {"a second hex", kDropId, 0, At(2, 3), false, -1, true, {kCmdUnitSetSecondHex}, 1u << 3},
      {"a second hex needs a place", kDropId, 0, 0, false, -1, true, {}, 1u << 3},
      {"a partner, moving to its hex", kFollowId, 0, At(3, 1), true, -1, true,
       {route[0], route[1], kCmdUnitSetLeaderUnit}, 1u << 19},
      {"a partner bit is a movement bit: no place, no partner", kFollowId, 0, 0, true, -1, true, {}, 0},
      {"order 255 posts nothing", 255, 0, At(4, 4), true, 1, false, {}, 0},
      {"nor does -1", -1, 0, At(4, 4), true, 1, false, {}, 0},
  };
  for (const Case& c : cases) {
    log.Clear();
    UnitRecord& u = Place(kOwner, kTank, 1.0f, 1, 1);
    UnitRecord& other = Place(kOwner + 1, kTank, 1.0f, 3, 1);
    IssueUnitOrder(*world, u, c.order, c.target, nullptr, c.withUnit ? &other : nullptr, c.flags, 0x5, c.setting);
    std::vector<uint32_t> ids;
    if (c.posts) {
      ids = {kCmdUnitCancelOrders};
      ids.insert(ids.end(), c.between.begin(), c.between.end());
      ids.insert(ids.end(), {kCmdAddOrderFlags, kCmdUnitSetOrderId});
    }
    EXPECT_EQ(Ids(), ids) << c.what;
    for (const Posted& p : Commands()) {
      EXPECT_EQ(p.a28, u.id) << c.what << " " << p.id;
      if (p.id == kCmdAddOrderFlags) {
        EXPECT_EQ(p.a32, c.flagsSent) << c.what;
      }
      if (p.id == kCmdUnitSetOrderId) {
        EXPECT_EQ(p.a32, static_cast<uint32_t>(c.order)) << c.what;
      }
      if (p.id == kCmdUnitSetDestination || p.id == kCmdUnitSetFireHex || p.id == kCmdUnitSetSecondHex) {
        EXPECT_EQ(p.a24, c.target) << c.what;
      }
      if (p.id == kCmdUnitSetFireUnit || p.id == kCmdUnitSetLeaderUnit) {
        EXPECT_EQ(p.a32, other.id) << c.what;
      }
      if (p.id == kCmdUnitSetOrderSetting) {
        EXPECT_EQ(std::make_pair(p.a32, p.a36), std::make_pair(6u, 2u)) << c.what;
      }
    }
  }
}

TEST_F(OrderIssue, ARouteLoopsOrTurnsWhenCyclicAndHaltsWhenItShould) {
  struct Case {
    const char* what;
    int order, cls, x, y;
    uint32_t goal, unitFlags, routeFlags;
    bool halts;
  };
  const Case cases[] = {
      {"a patrol back to its start loops", kPatrolId, kTank, 2, 2, At(2, 2), 0, kRouteLoop, false},
      {"a patrol elsewhere turns round", kPatrolId, kTank, 2, 2, At(4, 2), 0, kRouteTurnRound, false},
      {"a plain move neither", kMoveId, kTank, 2, 2, At(4, 2), 0, 0, false},
      {"a unit that moves while turning halts first", kMoveId, kTank, 2, 2, At(4, 2), kUnitMovesWhileTurning, 0, true},
      {"a ship without attack values halts first", kMoveId, kShip, 2, 2, At(4, 2), 0, 0, true},
      {"an aircraft never", kMoveId, kPlane, 2, 2, At(4, 2), kUnitMovesWhileTurning, 0, false},
  };
  for (const Case& c : cases) {
    log.Clear();
    UnitRecord& u = Place(kOwner, c.cls, 1.0f, c.x, c.y);
    u.unitFlags |= c.unitFlags;
    IssueUnitOrder(*world, u, c.order, c.goal, nullptr, nullptr, 0, 0, -1);
    bool halted = false;
    for (const Posted& p : Commands()) {
      if (p.id == kCmdUnitSetStateBits) {
        halted = true;
        EXPECT_EQ(std::make_pair(p.a32, p.a36), std::make_pair(kStateHalt2, 1u)) << c.what;
      }
      if (p.id != kCmdAssignUnitRoute) continue;
      ASSERT_EQ(p.payload.size(), sizeof(PathRequestImage)) << c.what;
      PathRequestImage route;
      std::memcpy(&route, p.payload.data(), sizeof route);
      EXPECT_EQ(route.start, At(c.x, c.y)) << c.what;
      EXPECT_EQ(route.end, c.goal) << c.what;
      EXPECT_EQ(route.flags & (kRouteLoop | kRouteTurnRound), c.routeFlags) << c.what;
    }
    EXPECT_EQ(halted, c.halts) << c.what;
  }
}

TEST_F(OrderIssue, ACarriedUnitTakesItsCarriersKindAndSendsItOn) {
  for (const auto& [carrierClass, extra] : {std::pair{kPlane, 1u << 4}, std::pair{kShip, 1u << 3}}) {
    SCOPED_TRACE(carrierClass);
    log.Clear();
    UnitRecord& carrier = Place(kOwner, carrierClass, 1.0f, 2, 2);
    UnitRecord& u = Place(kOwner, kTank, 1.0f, 2, 2);
    Load(carrier, u);
    IssueUnitOrder(*world, u, kMoveId, At(5, 5), nullptr, nullptr, 0, 0, -1);
    std::vector<uint32_t> carrierIds;
    for (const Posted& p : Commands()) {
      if (p.a28 == carrier.id) carrierIds.push_back(p.id);
      if (p.a28 == u.id && p.id == kCmdAddOrderFlags) {
        EXPECT_EQ(p.a32, (1u << 18) | extra);
      }
      if (p.a28 == carrier.id && p.id == kCmdUnitSetDestination) {
        EXPECT_EQ(p.a24, At(5, 5));
      }
      if (p.a28 == carrier.id && p.id == kCmdUnitSetOrderId) {
        EXPECT_EQ(p.a32, uint32_t{kMoveId});
      }
    }
    EXPECT_FALSE(carrierIds.empty());
  }
}

TEST_F(OrderIssue, TheCommandsSetTheirFieldsThroughTheExecutor) {
  UnitRecord& u = Place(kOwner, kTank, 1.0f, 1, 1);
  UnitRecord& other = Place(kOwner + 1, kTank, 1.0f, 3, 1);
  IssueUnitOrder(*world, u, kCustomOrder, At(3, 1), nullptr, &other, (1u << 18) | (1u << 14) | (1u << 3) | (1u << 19),
                 0x40, 3);
  DrainDueCommands(log, 1000);
  const OrderBlock& o = u.orders;
  EXPECT_EQ(o[kOrderId], uint32_t{kCustomOrder});
  EXPECT_EQ(o[kOrderFlags] & ((1u << 18) | (1u << 14) | (1u << 3) | (1u << 19)),
            (1u << 18) | (1u << 14) | (1u << 3) | (1u << 19));
  EXPECT_EQ(o[kOrderMask] & 0x40, 0x40u);
  EXPECT_EQ(o[kDestination], At(3, 1));
  EXPECT_EQ(o[kFireHex], At(3, 1));
  EXPECT_EQ(o[kSecondHex], At(3, 1));
  EXPECT_EQ(o[kFireUnit], other.id);
  EXPECT_EQ(o[kLeaderUnit], other.id);
  EXPECT_EQ((o[kOrdersWord] >> 12) & 3u, 3u);
  ASSERT_NE(u.route, nullptr);
  EXPECT_EQ(u.route->end, At(3, 1));
  EXPECT_EQ(u.pendingOrders, 0);
  EXPECT_EQ(std::memcmp(&u.orders, &u.ordersShown, sizeof u.orders), 0);
}

// Two selected units, land and air, against the order definitions.
TEST_F(OrderIssue, TheOrderListKeepsWhatEverySelectedUnitMayTake) {
  UnitRecord& tank = Place(kOwner, kTank, 1.0f, 1, 1);
  UnitRecord& plane = Place(kOwner, kPlane, 1.0f, 1, 1);
  tank.strength = 5.0f;   // of 10
  plane.strength = 0.5f;  // of 1
  struct Case {
    const char* what;
    uint8_t categories[4];
    uint32_t requirements, target;
    bool listed;
  };
  const Case cases[] = {
      {"both categories allowed", {1, 1, 0, 0}, 0, 0, true},
      {"land only", {1, 0, 0, 0}, 0, 0, false},
      {"air only", {0, 1, 0, 0}, 0, 0, false},
      {"a target needed and none given", {1, 1, 0, 0}, 1u << 28, 0, false},
      {"full strength needed", {1, 1, 0, 0}, 1u << 15, 0, false},
      {"weakened needed", {1, 1, 0, 0}, 1u << 16, 0, true},
  };
  OrderTableGuard::Def(kMoveId).listModes = 1;
  for (const Case& c : cases) {
    std::memcpy(OrderTableGuard::Def(kMoveId).categories, c.categories, 4);
    OrderTableGuard::Def(kMoveId).requirements = c.requirements;
    const std::vector<int> ids = OrdersForUnits(*world, {&tank, &plane}, 0, c.target);
    EXPECT_EQ(std::find(ids.begin(), ids.end(), kMoveId) != ids.end(), c.listed) << c.what;
  }
  EXPECT_TRUE(OrdersForUnits(*world, {&tank}, 1, 0).empty()) << "listed in mode 0 only";
  tank.ordersShown[kOrderId] = 5;
  plane.ordersShown[kOrderId] = 5;
  EXPECT_EQ(CommonOrderId({&tank, &plane}), 5u);
  plane.ordersShown[kOrderId] = 6;
  EXPECT_EQ(CommonOrderId({&tank, &plane}), 0u);
}

// The target part of the list: the hex's owner, its facility and the units
// seen on it, each by its relation to the local player (3; 4 related, 5 at
// war).
TEST_F(OrderIssue, ATargetHexIsTakenByItsOwnerFacilityOrSeenUnits) {
  World& w = *world;
  w.players[kOwner].displayPolicy.friendlyMask = 1u << 4;
  w.players[kOwner].displayPolicy.hostileMask = 1u << 5;
  Own(1, 1, kOwner);
  Own(2, 1, 5);
  Own(3, 1, 4);
  UnitRecord& enemy = Place(5, kTank, 1.0f, 2, 1);
  Place(4, kDepot, 1.0f, 3, 1);
  struct Case {
    const char* what;
    uint32_t target;
    uint8_t hex[4], facility[4], unit[4];
    uint32_t rules, seenBy;
    bool fits;
    int spotted = -1;  // the local player's spotting-map byte at the hex; -1: no map yet
  };
  const Case cases[] = {
      {"own hex", At(1, 1), {1, 0, 0, 0}, {}, {}, 0, 0, true},
      {"own hex, order for hostile hexes", At(1, 1), {0, 0, 0, 1}, {}, {}, 0, 0, false},
      {"hostile hex", At(2, 1), {0, 0, 0, 1}, {}, {}, 0, 0, true},
      {"related hex by its facility", At(3, 1), {}, {0, 1, 0, 0}, {}, 0, 0, true},
      {"a facility is needed for the facility byte", At(2, 1), {}, {0, 0, 0, 1}, {}, 0, 0, false},
      {"a hostile unit there", At(2, 1), {}, {}, {0, 0, 0, 1}, 0, 0, true},
      {"under fog an unseen unit counts not", At(2, 1), {}, {}, {0, 0, 0, 1}, kGameFlagFog | kGameFlagUnitSight, 0,
       false},
      {"under fog a unit the player sees", At(2, 1), {}, {}, {0, 0, 0, 1}, kGameFlagFog | kGameFlagUnitSight,
       1u << kOwner, true},
      {"no target: the relation bytes are not asked", 0, {}, {}, {}, 0, 0, true},
      {"under fog a seen unit on a hex the spotting map marks", At(2, 1), {}, {}, {0, 0, 0, 1},
       kGameFlagFog | kGameFlagUnitSight, 1u << kOwner, true, 12},
      {"under fog a seen unit on a hex the spotting map leaves dark", At(2, 1), {}, {}, {0, 0, 0, 1},
       kGameFlagFog | kGameFlagUnitSight, 1u << kOwner, false, 0},
      {"fog alone: a marked hex shows its unit", At(2, 1), {}, {}, {0, 0, 0, 1}, kGameFlagFog, 0, true, 1},
      {"fog alone: a dark hex hides its unit", At(2, 1), {}, {}, {0, 0, 0, 1}, kGameFlagFog, 0, false, 0},
  };
  // The map file's per-cell blocks are not the spotting map: marked
  // everywhere, they must not make a dark hex spotted.
  w.cellBlocks.assign(w.cells.size() * kMaxPlayers, 0x40);
  for (const Case& c : cases) {
    OrderTypeRecord& def = OrderTableGuard::Def(kMoveId);
    std::memcpy(def.hexRelation, c.hex, 4);
    std::memcpy(def.facilityRelation, c.facility, 4);
    std::memcpy(def.unitRelation, c.unit, 4);
    w.scenario.head.gameFlags = c.rules;
    enemy.seenBy = c.seenBy;
    w.spottingMap.clear();
    if (c.spotted >= 0) {
      w.spottingMap.assign(w.cells.size() * kMaxPlayers, 0);
      w.spottingMap[(static_cast<size_t>(w.mapWidth) * 1 + 2) * kMaxPlayers + kOwner] = static_cast<uint8_t>(c.spotted);
    }
    EXPECT_EQ(OrderFitsTarget(w, def, c.target), c.fits) << c.what;
  }
}

}  // namespace
