#include "units/facilities/hex_facility_state.h"

#include <gtest/gtest.h>

#include <utility>

#include "records/order_words.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "units/facilities/military_upkeep.h"
#include "units/hex_stack_commands.h"
#include "world/capital_hex.h"
#include "world/list_items.h"
#include "world/text/rule_tables.h"
#include "world/text/ui_options.h"
#include "units/deployment_weight.h"
#include "units/handover_test_world.h"
#include "units/unit_player_fields.h"

namespace {

using namespace handover_test;
namespace uf = unitfields;

class FacilityStateTest : public ::testing::Test, public World6 {
 protected:
  void SetUp() override {
    for (int p : {3, 4}) world->players[p].kind = kKindComputer;
    Own(2, 2, 3);
    PlayerRecord& o = world->players[3];
    o.soldiers = 1000.0f;
    uf::SetReal(o, uf::kForcesOnMap, 500.0f);
  }
  float Pending() { return PendingDeployments(*world, 3); }
};

TEST_F(FacilityStateTest, SwitchingOffAFacilityAlreadyOffDoesNothing) {
  World& w = *world;
  UnitRecord& town = Place(3, kBase, 2.0f, 2, 2);
  town.orders[kPostureBits] = kPostureInReserve;
  town.orders[kDestination] = 0x00040004;
  const UnitImage before = town;
  SetStackUnitState(w, Cell(2, 2), 1, 1);
  EXPECT_EQ(std::memcmp(&before, static_cast<UnitImage*>(&town), sizeof(UnitImage)), 0);
  EXPECT_EQ(w.players[3].soldiers, 1000.0f);
}

TEST_F(FacilityStateTest, ASettlementSwitchedOffGivesItsWeightBackToTheBudget) {
  World& w = *world;
  UnitRecord& town = Place(3, kBase, 2.0f, 2, 2);  // weight 50 x 2 = 100
  town.orders[kDestination] = 0x00040004;
  town.ordersShown[kDestination] = 0x00040004;
  SetStackUnitState(w, Cell(2, 2), 0, 1);
  EXPECT_EQ(Pending(), -100.0f);
  EXPECT_TRUE(town.ordersShown[kPostureBits] & kPostureInReserve);
  EXPECT_EQ(town.ordersShown[kDestination], 0u);
  EXPECT_EQ(town.pendingOrders, 4);  // cancel-all and the setting
  EXPECT_EQ(town.orders[kDestination], 0x00040004u);
  SetStackUnitState(w, Cell(2, 2), 1, 1);
  const PlayerRecord& o = w.players[3];
  EXPECT_EQ(o.soldiers, 1100.0f);
  EXPECT_EQ(uf::Real(o, uf::kForcesOnMap), 400.0f);
  EXPECT_EQ(Pending(), 0.0f);
  EXPECT_TRUE(town.orders[kPostureBits] & kPostureInReserve);
  EXPECT_EQ(town.orders[kDestination], 0u);
  EXPECT_EQ(town.pendingOrders, 0);
}

TEST_F(FacilityStateTest, ASettlementSwitchedOnTakesOnePointsWeightWhenTheBudgetAllows) {
  World& w = *world;
  UnitRecord& town = Place(3, kBase, 2.0f, 2, 2);
  town.orders[kPostureBits] = kPostureInReserve;
  town.ordersShown[kPostureBits] = kPostureInReserve;
  SetPendingDeployments(w, 3, 50.0f);
  SetStackUnitState(w, Cell(2, 2), 1, 0);
  EXPECT_EQ(w.players[3].soldiers, 950.0f);
  EXPECT_EQ(uf::Real(w.players[3], uf::kForcesOnMap), 550.0f);
  EXPECT_EQ(Pending(), 0.0f);
  EXPECT_FALSE(town.orders[kPostureBits] & kPostureInReserve);
  EXPECT_FALSE(town.ordersShown[kPostureBits] & kPostureInReserve);
}

TEST_F(FacilityStateTest, ASettlementStaysOffWhenTheBudgetIsTooSmall) {
  World& w = *world;
  UnitRecord& town = Place(3, kBase, 2.0f, 2, 2);
  town.orders[kPostureBits] = kPostureInReserve;
  town.ordersShown[kPostureBits] = 0;
  town.pendingOrders = 1;
  w.players[3].soldiers = 50.0f;  // not above the weight of one point
  SetStackUnitState(w, Cell(2, 2), 1, 0);
  EXPECT_EQ(w.players[3].soldiers, 50.0f);
  EXPECT_TRUE(town.orders[kPostureBits] & kPostureInReserve);
  // The display copy shows the simulation's state in any case.
  EXPECT_TRUE(town.ordersShown[kPostureBits] & kPostureInReserve);
  // On the display pass the pending deployments must leave room too.
  SetPendingDeployments(w, 3, 10.0f);
  w.players[3].soldiers = 55.0f;
  SetStackUnitState(w, Cell(2, 2), 0, 0);
  EXPECT_EQ(Pending(), 10.0f);
  w.players[3].soldiers = 70.0f;
  SetStackUnitState(w, Cell(2, 2), 0, 0);
  EXPECT_EQ(Pending(), 60.0f);
  EXPECT_FALSE(town.ordersShown[kPostureBits] & kPostureInReserve);
}

// The owner's Activate (the output command, display pass then simulation
// pass) of a settlement the budget cannot staff leaves it off in both
// copies with nothing waiting in its orders, mails the owner why for each
// order refused, and no day's upkeep switches it on later; an Activate the
// budget allows switches it on, without a word.
TEST_F(FacilityStateTest, AnActivateTheBudgetCannotStaffIsToldAndLeavesTheSettlementOff) {
  World& w = *world;
  MessageTypeTable keptTypes = std::move(g_ruleTables.messageTypes);
  const UiOptions keptOptions = g_uiOptions;
  MessageTypeTable& table = g_ruleTables.messageTypes;
  table = MessageTypeTable{};
  table.records.resize(kMsgFacilityUnstaffed + 1);
  for (auto& states : table.playerMessageState) states.assign(table.records.size(), PlayerMessageState{});
  table.records[kMsgFacilityUnstaffed].flags = kMessageEmail;
  table.records[kMsgFacilityUnstaffed].enabled = 1;
  table.records[kMsgFacilityUnstaffed].priority = 5;
  g_uiOptions.emaillevel = 0;
  w.gameState.localPlayer = 3;
  w.gameState.highestPlayer = 3;
  const auto mails = [&w] {
    size_t n = 0;
    const ListNode& head = w.messageLists[3];
    for (const ListNode* m = head.next(); m && m != &head; m = m->next())
      n += static_cast<const PlayerMessage*>(m)->typeId == kMsgFacilityUnstaffed;
    return n;
  };
  UnitRecord& town = Place(3, kBase, 2.0f, 2, 2);
  town.orders[kPostureBits] = town.ordersShown[kPostureBits] = kPostureInReserve;
  const struct {
    float budget;  // one point weighs 50: the budget must exceed it
    bool upkeep;   // a day's military upkeep first, the budget raised to 500
    bool on;
    size_t mails;
    float strength = 2.0f;  // below one point it is built up first, not staffed, and nobody is told
  } steps[] = {{50.0f, false, false, 1}, {20.0f, false, false, 2}, {50.0f, true, false, 3}, {50.5f, false, true, 3},
               {20.0f, false, false, 3, 0.5f}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.budget);
    town.strength = town.targetStrength = step.strength;
    town.orders[kPostureBits] = town.ordersShown[kPostureBits] = kPostureInReserve;
    if (step.upkeep) {
      w.players[3].soldiers = 500.0f;
      DailyMilitaryUpkeep(w);
      EXPECT_TRUE(town.orders[kPostureBits] & kPostureInReserve) << "the day switched it on by itself";
    }
    w.players[3].soldiers = step.budget;
    SetPendingDeployments(w, 3, 0.0f);
    SetFacilityOutput(w, Cell(2, 2), 0, town.targetStrength, 3);
    SetFacilityOutput(w, Cell(2, 2), 1, town.targetStrength, 3);
    const uint32_t want = step.strength < 1.0f ? kPostureInReserve | kPostureUnderConstruction
                          : step.on               ? 0u
                                                  : kPostureInReserve;
    EXPECT_EQ(town.orders[kPostureBits], want);
    EXPECT_EQ(town.ordersShown[kPostureBits], want);
    EXPECT_EQ(mails(), step.mails);
  }
  FreeRingItems(w.messageLists[3]);
  g_ruleTables.messageTypes = std::move(keptTypes);
  g_uiOptions = keptOptions;
}

TEST_F(FacilityStateTest, AWeakSettlementSwitchedOnGoesIntoBuilding) {
  World& w = *world;
  UnitRecord& town = Place(3, kBase, 0.5f, 2, 2);
  town.orders[kPostureBits] = kPostureInReserve;
  SetStackUnitState(w, Cell(2, 2), 1, 0);
  EXPECT_EQ(town.orders[kPostureBits] & 3u, 3u);
  EXPECT_TRUE(town.orders[kStateFlags] & (1u << 31));
  EXPECT_EQ(w.players[3].soldiers, 1000.0f);
}

TEST_F(FacilityStateTest, APlainFacilityGoesInAndOutOfService) {
  World& w = *world;
  UnitRecord& depot = Place(3, kDepot, 1.0f, 2, 2);
  depot.unitFlags |= 1u << 25;
  depot.disruption = 3.0f;
  depot.orders[kStateFlags] = (1u << 31) | (1u << 24) | 1u;
  SetStackUnitState(w, Cell(2, 2), 1, 1);
  EXPECT_TRUE(depot.orders[kPostureBits] & kPostureInReserve);
  EXPECT_EQ(depot.disruption, 0.0f);
  EXPECT_EQ(depot.orders[kStateFlags], 0u);  // cleared by cancel-all
  depot.tableEntry->countdown = 9;
  depot.orders[kStateFlags] = (1u << 31) | (1u << 24) | (1u << 29);
  SetStackUnitState(w, Cell(2, 2), 1, 0);
  EXPECT_FALSE(depot.orders[kPostureBits] & kPostureInReserve);
  EXPECT_EQ(depot.orders[kStateFlags], 1u << 29);
  EXPECT_FALSE(depot.unitFlags & (1u << 25));
  EXPECT_EQ(depot.tableEntry->countdown, 0);
  EXPECT_EQ(w.players[3].soldiers, 1000.0f);
}

TEST_F(FacilityStateTest, AWeakRoadFacilitySwitchedOnIsBuiltFirst) {
  World& w = *world;
  w.unitClasses[kDepot].flags |= kClassRoad;
  UnitRecord& road = Place(3, kDepot, 0.5f, 2, 2);
  road.orders[kPostureBits] = kPostureInReserve;
  SetStackUnitState(w, Cell(2, 2), 1, 0);
  EXPECT_EQ(road.orders[kPostureBits] & 3u, 3u);
}

TEST_F(FacilityStateTest, AProvisionalFacilityIsLeftAloneOnTheSimulationPass) {
  World& w = *world;
  UnitRecord& depot = Place(3, kDepot, 1.0f, 2, 2);
  depot.unitFlags |= kUnitProvisional;
  SetStackUnitState(w, Cell(2, 2), 1, 1);
  EXPECT_FALSE(depot.orders[kPostureBits] & kPostureInReserve);
  SetStackUnitState(w, Cell(2, 2), 0, 1);
  EXPECT_TRUE(depot.ordersShown[kPostureBits] & kPostureInReserve);
}

class SideEffectsTest : public FacilityStateTest {
 protected:
  void SetUp() override {
    FacilityStateTest::SetUp();
    town_ = &Place(3, kBase, 1.0f, 2, 2);
    unitbytes::LeadValue(*town_) = 6;
    w().players[3].soldiers = 100.0f;
  }
  World& w() { return *world; }
  UnitRecord& OnOrder(int cls, float size, int x, int y) {
    UnitRecord& u = Reserve(3, cls, size, x, y);
    u.orders[kPostureBits] |= kPostureUnderConstruction;
    AppendUnitPtr(w(), kUnitTableOnOrder, 3, UnitTableCategory(u), u);
    return u;
  }
  UnitRecord* town_ = nullptr;
};

TEST_F(SideEffectsTest, HeavyReserveUnitsGoToThePlayerAndOrdersAreHandedOn) {
  UnitRecord& light = Reserve(3, kTank, 1.0f, 2, 2);   // weight 30
  UnitRecord& heavy = Reserve(3, kTank, 5.0f, 2, 2);   // weight 150
  UnitRecord& elsewhere = Reserve(3, kTank, 5.0f, 3, 3);
  UnitRecord& waiting = OnOrder(kTank, 1.0f, 2, 2);
  UnitRecord& onMap = Place(3, kTank, 1.0f, 2, 2);
  onMap.unitFlags |= 0x100000;
  UnitRecord& otherMap = Place(3, kTank, 1.0f, 3, 3);
  otherMap.unitFlags |= 0x100000;
  SetTerrainByte(w().terrains[1], 98, 0);
  SetCapitalHex(w().players[4].simPolicy, CapitalPosition{1, 4});
  StackSideEffects(w(), Cell(2, 2), 0, 0, 4);
  EXPECT_EQ(light.owner, 3);
  EXPECT_FALSE(light.unitFlags & kUnitGone);
  EXPECT_EQ(heavy.owner, 4);
  EXPECT_EQ(elsewhere.owner, 3);
  EXPECT_EQ(waiting.owner, 3);  // still being built: it disappears instead
  EXPECT_TRUE(waiting.unitFlags & kUnitGone);
  EXPECT_FALSE(onMap.unitFlags & 0x100000);
  EXPECT_TRUE(otherMap.unitFlags & 0x100000);
  EXPECT_EQ(unitbytes::LeadValue(*town_), 6);
}

TEST_F(SideEffectsTest, ADeployedUnitStartsFromClearOrdersWithItsOwnersDefaults) {
  // Bits 12-13 of the orders header come from the owner's default order
  // word (0x1000 of 0x7000), the rest of the header stays; orders and the
  // destination are gone from both copies once nothing is outstanding.
  struct Row {
    const char* name;
    uint32_t defaults;
    uint32_t header;
  };
  const Row rows[] = {{"bit 12", 0x5000u, 0x80001000u}, {"bit 13", 0x2000u, 0x80002000u}, {"none", 0x4000u, 0x80000000u}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    w().players[3].simPolicy.defsetadvorders[1] = row.defaults;
    UnitRecord& u = Reserve(3, kTank, 1.0f, 2, 2);
    u.orders[kOrdersHeader] = 0x80003000u;
    u.orders[kOrderFlags] = kOrderMove | kOrderMoving;
    u.orders[kDestination] = unitbytes::PackPosition(4, 4);
    u.ordersShown = u.orders;
    StackSideEffects(w(), Cell(2, 2), 0, 0, -1);
    EXPECT_FALSE(InReserve(u));
    EXPECT_EQ(u.orders[kOrdersHeader], row.header);
    EXPECT_EQ(u.orders[kOrderFlags], 0u);
    EXPECT_EQ(u.orders[kDestination], 0u);
    EXPECT_EQ(u.ordersShown[kOrdersHeader], row.header);
    EXPECT_EQ(u.ordersShown[kDestination], 0u);
  }
}

TEST_F(SideEffectsTest, DisbandingTakesTheHeldUnitsAndReleaseEmptiesTheFacility) {
  UnitRecord& light = Reserve(3, kTank, 1.0f, 2, 2);
  UnitRecord& heavy = Reserve(3, kTank, 5.0f, 2, 2);
  UnitRecord& waiting = OnOrder(kTank, 1.0f, 2, 2);
  UnitRecord& elsewhere = OnOrder(kTank, 1.0f, 3, 3);
  StackSideEffects(w(), Cell(2, 2), 1, 1, 4);
  // Within the budget the light unit deploys onto the hex; the heavy one
  // cannot and goes.
  EXPECT_FALSE(light.unitFlags & kUnitGone);
  EXPECT_FALSE(InReserve(light));
  EXPECT_TRUE(heavy.unitFlags & kUnitGone);
  EXPECT_TRUE(waiting.unitFlags & kUnitGone);
  EXPECT_EQ(heavy.owner, 3);
  EXPECT_FALSE(elsewhere.unitFlags & kUnitGone);
  EXPECT_EQ(unitbytes::LeadValue(*town_), 0);
}

TEST_F(SideEffectsTest, AFacilityThatServesNoOneTouchesNoUnit) {
  w().unitClasses[kBase].flags &= ~kClassSettlement;
  UnitRecord& heavy = Reserve(3, kTank, 5.0f, 2, 2);
  StackSideEffects(w(), Cell(2, 2), 1, 1, 4);
  EXPECT_FALSE(heavy.unitFlags & kUnitGone);
  EXPECT_EQ(heavy.owner, 3);
  EXPECT_EQ(unitbytes::LeadValue(*town_), 0);
}

TEST_F(SideEffectsTest, AHavenServesShipsAndSubmarinesButNotLandUnits) {
  w().unitClasses[kBase].flags = kClassFacility | kClassHaven;
  w().unitClasses.push_back(w().unitClasses[kShip]);
  const int sub = static_cast<int>(w().unitClasses.size()) - 1;
  w().unitClasses[sub].kind = 3;
  UnitRecord& ship = Reserve(3, kShip, 200.0f, 2, 2);  // weight 20000
  UnitRecord& boat = Reserve(3, sub, 200.0f, 2, 2);
  UnitRecord& tank = Reserve(3, kTank, 50.0f, 2, 2);
  StackSideEffects(w(), Cell(2, 2), 0, 1, -1);
  EXPECT_TRUE(ship.unitFlags & kUnitGone);
  EXPECT_TRUE(boat.unitFlags & kUnitGone);
  EXPECT_FALSE(tank.unitFlags & kUnitGone);
}

TEST_F(SideEffectsTest, AFacilityOnTheCornerHexHoldsNoneOfTheUnitsWithoutAPlace) {
  // Position (0, 0) is no place: the units filed without one are not held
  // by a facility that stands on the corner hex.
  Own(0, 0, 3);
  UnitRecord& corner = Place(3, kBase, 1.0f, 0, 0);
  GetStackDataLocked(w(), Cell(0, 0))->lead = &corner;
  UnitRecord& light = Reserve(3, kTank, 1.0f, 0, 0);
  UnitRecord& heavy = Reserve(3, kTank, 5.0f, 0, 0);
  UnitRecord& waiting = OnOrder(kTank, 1.0f, 0, 0);
  StackSideEffects(w(), Cell(0, 0), 1, 1, 4);
  for (UnitRecord* u : {&light, &heavy, &waiting}) {
    EXPECT_FALSE(u->unitFlags & kUnitGone);
    EXPECT_EQ(u->owner, 3);
    EXPECT_NE(u->tableEntry, nullptr);
  }
}

TEST_F(SideEffectsTest, AUnitFiledAgainInTheWalkedTableIsWalkedOnce) {
  // Handed to the hex's own owner, a heavy unit is filed again at the end of
  // the very array being walked; the walk must not meet it a second time.
  UnitRecord& heavy = Reserve(3, kTank, 5.0f, 2, 2);  // weight 150
  heavy.morale = 0.8f;
  StackSideEffects(w(), Cell(2, 2), 0, 0, 3);
  EXPECT_EQ(heavy.owner, 3);
  EXPECT_EQ(heavy.morale, 0.4f);  // halved once, by one hand-over
  const UnitTableArray* reserve = w().unitTables.Slot(kUnitTableReserve, 3, 0);
  ASSERT_EQ(reserve->Count(), 3);
  EXPECT_EQ(reserve->At(1).unit, nullptr);
  EXPECT_EQ(reserve->At(2).unit, &heavy);
  EXPECT_EQ(heavy.tableEntry, &reserve->At(2));
}

TEST_F(SideEffectsTest, AFriendlyCaptorReceivesTheHeldUnitsAndAnEnemyDisbandsThem) {
  UnitRecord& heavy = Reserve(3, kTank, 5.0f, 2, 2);
  SetCapitalHex(w().players[4].simPolicy, CapitalPosition{1, 4});
  w().players[4].simPolicy.friendlyMask = 1u << 3;
  ReleaseHexReserve(w(), Cell(2, 2), 4);
  EXPECT_EQ(heavy.owner, 4);
  EXPECT_FALSE(heavy.unitFlags & kUnitGone);
  EXPECT_EQ(unitbytes::LeadValue(*town_), 0);

  UnitRecord& second = Reserve(3, kTank, 5.0f, 2, 2);
  w().players[4].simPolicy.hostileMask = 1u << 3;
  ReleaseHexReserve(w(), Cell(2, 2), 4);
  EXPECT_EQ(second.owner, 3);
  EXPECT_TRUE(second.unitFlags & kUnitGone);
}

}  // namespace
