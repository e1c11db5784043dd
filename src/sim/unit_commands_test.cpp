#include "sim/unit_commands.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>

#include "sim/command_counts.h"
#include "sim/command_executor.h"
#include "sim/command_post.h"
#include "sim/command_test_world.h"
#include "records/hex_unit_stack.h"
#include "world/unit_create.h"
#include "records/unit_record.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/list_items.h"

namespace {

class UnitCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    t.world->unitClasses.resize(4);
    t.world->unitClasses[3].strengthPerSize = 4;
  }
  UnitRecord& MakeUnit(uint32_t id, int owner) {
    UnitRecord* u = CreateUnit(*t.world, t.world->players[owner], id, 3, 1.0f, 0x00020002, 0, 0);
    u->unitFlags &= ~kUnitProvisional;
    return *u;
  }
  void Post(uint32_t id, int player, uint32_t a24, uint32_t a28, uint32_t a32 = 0, uint32_t a36 = 0) {
    GameCommand c = MakeGameCommand(t.world->gameState, id, player);
    c.arg24 = a24;
    c.arg28 = a28;
    c.arg32 = a32;
    c.arg36 = a36;
    PostCommand(*t.log, c, false);
  }
  void NextTick() { ++t.world->gameState.currentTick; }
  PlayerRecord& P(int p) { return t.world->players[p]; }
  HexCell& Cell(int x, int y) { return t.world->cells[static_cast<size_t>(y) * t.world->mapHeader.width + x]; }
  std::string Label(int x, int y) {
    HexUnitStack* s = LoadHexStack(Cell(x, y));
    return s && s->extra && s->extra->text ? s->extra->text : "";
  }

  CommandTestWorld t;
};

TEST_F(UnitCommands, DisplayOrdersFollowTheSimulationOnlyAfterTheLastOutstandingCommand) {
  UnitRecord& u = MakeUnit(0x01000100, 1);
  u.ordersShown[0] = 0x55;  // shown, not simulated: goes when the display copy is replaced
  Post(kCmdUnitSetOrderId, 1, 0, u.id, 7);            // order id, due 103
  NextTick();
  Post(kCmdUnitSetFireHex, 1, 0x00050004, u.id);      // fire hex, due 104
  NextTick();
  Post(kCmdUnitSetOrderLevel, 1, 0, u.id, 0x109);        // order level, due 105
  EXPECT_EQ(UnitOutstanding(u), 3);
  EXPECT_EQ(u.ordersShown[2], 7u);
  EXPECT_EQ(u.ordersShown[5], 0x00050004u);
  EXPECT_EQ(u.ordersShown[10] >> 24, 9u);
  EXPECT_EQ(u.orders[2], 0u);
  for (uint32_t tick = 103; tick <= 104; ++tick) {
    DrainDueCommands(*t.log, tick);
    EXPECT_EQ(u.ordersShown[0], 0x55u) << "still outstanding after tick " << tick;
    EXPECT_EQ(u.ordersShown[10] >> 24, 9u);
  }
  EXPECT_EQ(UnitOutstanding(u), 1);
  EXPECT_EQ(u.orders[10] >> 24, 0u);
  DrainDueCommands(*t.log, 105);
  EXPECT_EQ(UnitOutstanding(u), 0);
  EXPECT_EQ(std::memcmp(&u.ordersShown, &u.orders, sizeof(OrderBlock)), 0);
  EXPECT_EQ(u.ordersShown[0], 0u);
  EXPECT_EQ(u.orders[2], 7u);
  EXPECT_EQ(u.orders[5], 0x00050004u);
  EXPECT_EQ(u.orders[10] >> 24, 9u);
  EXPECT_EQ(PendingCommands(P(1)), 0);
}

TEST_F(UnitCommands, CancelAllCountsThreeTimesAndEndsWhereItBegan) {
  UnitRecord& u = MakeUnit(0x01000101, 1);
  u.pendingOrders = 2;
  u.orders[11] = 0xFFFFFFFF;
  u.ordersShown[11] = 0xFFFFFFFF;
  u.orders[13] = 0;
  P(1).displayPolicy.defsetadvorders[1] = 0x2000;
  P(1).simPolicy.defsetadvorders[1] = 0x1000;
  GameCommand c = MakeGameCommand(t.world->gameState, kCmdUnitCancelOrders, 1);
  c.arg28 = u.id;
  ExecuteCommand(*t.world, c, 0);
  EXPECT_EQ(UnitOutstanding(u), 5);
  EXPECT_EQ(u.ordersShown[11], 0u);
  EXPECT_EQ(u.ordersShown[13] & 0x3000u, 0x2000u) << "the display settings' defaults in the display pass";
  ExecuteCommand(*t.world, c, 1);
  EXPECT_EQ(UnitOutstanding(u), 2);
  EXPECT_EQ(u.orders[13] & 0x3000u, 0x1000u) << "the simulation settings' defaults in the simulation pass";
}

TEST_F(UnitCommands, CancelMovementAndTaskClearTheirWordsAndTheUnitFieldsOnlyInTheSimulationPass) {
  UnitRecord& u = MakeUnit(0x01000102, 1);
  for (OrderBlock* o : {&u.orders, &u.ordersShown}) {
    (*o)[2] = 44;
    (*o)[3] = 0x00030003;
    (*o)[5] = 0x00040004;
    (*o)[7] = 0x01000999;
    (*o)[11] = (1u << 18) | (1u << 23) | (1u << 15);
    (*o)[12] = 0xFFFF;
  }
  u.x2 = 5;
  u.y2 = 6;
  u.unitFlags |= (1u << 18) | (1u << 19) | (1u << 22);
  u.fireTargetPos = 0x00070007;
  GameCommand move = MakeGameCommand(t.world->gameState, kCmdUnitCancelMove, 1);
  move.arg28 = u.id;
  ExecuteCommand(*t.world, move, 0);
  EXPECT_EQ(u.ordersShown[3], 0u);
  EXPECT_EQ(u.ordersShown[11], 1u << 15);
  EXPECT_EQ(u.ordersShown[12], 0xFF00u);
  EXPECT_EQ(u.ordersShown[2], 0u) << "only bit 15 was left";
  EXPECT_EQ(u.x2, 5) << "unit fields wait for the simulation pass";
  ExecuteCommand(*t.world, move, 1);
  EXPECT_EQ(u.x2, 0);
  EXPECT_EQ(u.y2, 0);
  EXPECT_EQ(u.unitFlags & ((1u << 18) | (1u << 22)), 0u);
  GameCommand task = MakeGameCommand(t.world->gameState, kCmdUnitCancelTask, 1);
  task.arg28 = u.id;
  ExecuteCommand(*t.world, task, 1);
  EXPECT_EQ(u.orders[5], 0u);
  EXPECT_EQ(u.orders[7], 0u);
  EXPECT_EQ(u.orders[11], 0u);
  EXPECT_EQ(u.fireTargetPos, 0u);
  EXPECT_EQ(u.unitFlags & (1u << 19), 0u);
}

TEST_F(UnitCommands, AnOrderForAUnitThatDoesNotExistChangesNothingButCountsForThePlayer) {
  UnitRecord& u = MakeUnit(0x01000103, 1);
  const UnitImage before = u;
  Post(kCmdUnitSetOrderId, 1, 0, 0x01009999, 7);
  EXPECT_EQ(PendingCommands(P(1)), 1);
  EXPECT_EQ(std::memcmp(static_cast<const UnitImage*>(&u), &before, sizeof(UnitImage)), 0);
  DrainDueCommands(*t.log, 1000);
  EXPECT_EQ(PendingCommands(P(1)), 0);
}

TEST_F(UnitCommands, OrderSettersWriteTheirFields) {
  UnitRecord& u = MakeUnit(0x01000104, 1);
  UnitRecord& other = MakeUnit(0x01000105, 1);
  auto run = [&](uint32_t id, uint32_t a24, uint32_t a32, uint32_t a36 = 0) {
    GameCommand c = MakeGameCommand(t.world->gameState, id, 1);
    c.arg24 = a24;
    c.arg28 = u.id;
    c.arg32 = a32;
    c.arg36 = a36;
    ExecuteCommand(*t.world, c, 1);
  };
  run(kCmdUnitSetDestination, 0x00010002, 0);
  EXPECT_EQ(u.orders[3], 0x00010002u);
  run(kCmdUnitSetFireUnit, 0, other.id);
  EXPECT_EQ(u.orders[7], other.id);
  run(kCmdUnitSetFireUnit, 0, 0x01777777);
  EXPECT_EQ(u.orders[7], 0u) << "a unit not found is none";
  u.unitFlags |= (1u << 24) | (1u << 20);
  run(kCmdUnitSetLeaderUnit, 0, other.id);
  EXPECT_EQ(u.orders[8], other.id);
  EXPECT_EQ(u.unitFlags & ((1u << 24) | (1u << 20)), 0u);
  run(kCmdUnitSetSecondHex, 0x00030004, 0);
  EXPECT_EQ(u.orders[6], 0x00030004u);
  u.orders[13] = 0x0F;
  run(kCmdUnitSetOrdersHeaderBits, 0, 0x30, 1);
  EXPECT_EQ(u.orders[13], 0x3Fu);
  run(kCmdUnitSetOrdersHeaderBits, 0, 0x05, 0);
  EXPECT_EQ(u.orders[13], 0x3Au);
  run(kCmdUnitSetOrdersHeader, 0, 0x12);
  EXPECT_EQ(u.orders[13], 0x80000012u);
  u.orders[14] = 0xFFFFFFFF;
  run(kCmdUnitSetOrderSetting, 0, 3, 1);
  EXPECT_EQ(u.orders[14], 0xFFFFFF7Fu);
  run(kCmdUnitSetOrderSetting, 0, 16, 0);
  EXPECT_EQ(u.orders[14], 0xFFFFFF7Fu) << "there is no field 16";
  run(kCmdUnitSetOrderLevel, 0, 10);
  run(kCmdUnitAddOrderLevel, 0, 300);
  EXPECT_EQ(u.orders[10] >> 24, 255u);
  run(kCmdUnitSetOrderLevel, 0, 10);
  run(kCmdUnitAddOrderLevel, 0, static_cast<uint32_t>(-20));
  EXPECT_EQ(u.orders[10] >> 24, 0u);
  run(kCmdUnitSetOrderId, 0, 251);
  EXPECT_EQ(u.orders[2], 251u);
  run(kCmdUnitSetOrdersWord, 0, 0xA5A5A5A5);
  EXPECT_EQ(u.orders[14], 0xA5A5A5A5u);
  run(kCmdUnitSetNoAutoDeploy, 0, 3);
  EXPECT_EQ(u.orders[15] & 4u, 4u);
  run(kCmdUnitSetNoAutoDeploy, 0, 2);
  EXPECT_EQ(u.orders[15] & 4u, 0u);
  // Bits 29 and 30 of the state word move only while the unit is being built.
  u.orders[15] &= ~2u;
  u.orders[12] = 0;
  run(kCmdUnitSetStateBits, 0, (1u << 30) | 1u, 1);
  EXPECT_EQ(u.orders[12], 0u);
  u.orders[15] |= 2u;
  run(kCmdUnitSetStateBits, 0, (1u << 30) | 1u, 1);
  EXPECT_EQ(u.orders[12], (1u << 30) | 1u);
  run(kCmdAddOrderFlags, 0, 0x44, 0x2);
  EXPECT_EQ(u.orders[11] & 0x44u, 0x44u);
  EXPECT_EQ(u.orders[1] & 0x2u, 0x2u);
}

TEST_F(UnitCommands, ARouteInThePayloadPassesToTheUnitInTheSimulationPass) {
  UnitRecord& u = MakeUnit(0x01000106, 1);
  GameCommand c = MakeGameCommand(t.world->gameState, kCmdAssignUnitRoute, 1);
  c.arg28 = u.id;
  PathRequestImage sent{};
  sent.start = 0x00020002;
  sent.end = 0x00030005;
  sent.waypoints[0] = 0x00020002;
  sent.stepCount = 4;  // its steps stay with the sender
  sent.stepsSlot = 0x1234;
  c.payload.resize(sizeof sent);
  std::memcpy(c.payload.data(), &sent, sizeof sent);
  c.payloadLength = 64;
  ExecuteCommand(*t.world, c, 0);
  EXPECT_EQ(u.route, nullptr);
  EXPECT_EQ(c.payload.size(), 64u);
  ExecuteCommand(*t.world, c, 1);
  ASSERT_NE(u.route, nullptr);
  EXPECT_EQ(u.route->start, 0x00020002u);
  EXPECT_EQ(u.route->stepsSlot, 0u);
  EXPECT_EQ(u.route->stepCount, 0u) << "it waits for a search of its way";
  EXPECT_TRUE(c.payload.empty()) << "the unit took it";
  EXPECT_EQ(c.payloadLength, 0u);
  // Its steps follow in 341 and belong to the route.
  GameCommand steps = MakeGameCommand(t.world->gameState, 341, 1);
  steps.arg28 = u.id;
  steps.payload = {5, 5, 4};
  steps.payloadLength = 3;
  ExecuteCommand(*t.world, steps, 0);
  EXPECT_TRUE(u.route->steps.empty());
  ExecuteCommand(*t.world, steps, 1);
  EXPECT_EQ(u.route->steps, (std::vector<uint8_t>{5, 5, 4}));
}

TEST_F(UnitCommands, HexColumnsWrapAndRowsOffTheMapAreIgnoredButCounted) {
  const int w = t.world->mapHeader.width;
  P(0).number = 0;
  Cell(w - 1, 2).word = WithCellOwner(0, 1);
  Cell(0, 3).word = WithCellOwner(0, 1);
  auto name = [&](int x, int y, const char* text) {
    GameCommand c = MakeGameCommand(t.world->gameState, kCmdNameHex, 1);
    c.arg24 = PackHex(x, y);
    c.payload.assign(text, text + std::strlen(text) + 1);
    c.payloadLength = static_cast<uint32_t>(c.payload.size());
    PostCommand(*t.log, c, false);
  };
  name(-1, 2, "West");
  EXPECT_EQ(Label(w - 1, 2), "West");
  name(w, 3, "East");
  EXPECT_EQ(Label(0, 3), "East");
  const int16_t pending = P(1).pendingCommands;
  name(0, t.world->mapHeader.height, "Nowhere");
  name(0, -1, "Nowhere");
  EXPECT_EQ(P(1).pendingCommands, pending + 2) << "counted though ignored";
  for (int y = 0; y < t.world->mapHeader.height; ++y)
    for (int x = 0; x < w; ++x) EXPECT_NE(Label(x, y), "Nowhere");
  DrainDueCommands(*t.log, 1000);
  EXPECT_EQ(P(1).pendingCommands, 0);
}

TEST_F(UnitCommands, NameHexTakesOnlyTheOwnersTextAndOnlyInTheDisplayPass) {
  Cell(1, 1).word = WithCellOwner(0, 2);
  GameCommand c = MakeGameCommand(t.world->gameState, kCmdNameHex, 1);
  c.arg24 = PackHex(1, 1);
  c.payload = {'M', 'i', 'n', 'e', 0, 'X'};
  c.payloadLength = 6;
  ExecuteCommand(*t.world, c, 0);
  EXPECT_EQ(Label(1, 1), "") << "player 1 does not own the hex";
  c.player = 2;
  ExecuteCommand(*t.world, c, 1);
  EXPECT_EQ(Label(1, 1), "") << "the simulation pass names nothing";
  ExecuteCommand(*t.world, c, 0);
  EXPECT_EQ(Label(1, 1), "Mine") << "up to the first NUL";
  c.payload.assign(1000, 'a');
  c.payloadLength = 1000;
  ExecuteCommand(*t.world, c, 0);
  EXPECT_EQ(Label(1, 1), std::string(255, 'a'));
}

TEST_F(UnitCommands, UnitsMadeAtPostingAreConfirmedByTheSimulationPass) {
  Post(kCmdCreateUnitAt, 2, 0, 3, 2, 0);
  const uint32_t id = 0x02000001;
  UnitRecord* made = FindUnitById(*t.world, id);
  ASSERT_NE(made, nullptr);
  EXPECT_TRUE(made->unitFlags & kUnitProvisional);
  EXPECT_EQ(made->targetStrength, 2.0f);
  EXPECT_EQ(UnitOutstanding(*made), 1);
  Post(kCmdCreateUnit, 2, 0, 99, std::bit_cast<uint32_t>(1.0f));  // a class not in the table
  Post(kCmdCreateUnit, 2, 0, 3, std::bit_cast<uint32_t>(-1.0f));  // no unit has a negative size
  EXPECT_EQ(FindUnitById(*t.world, 0x02000002), nullptr);
  EXPECT_EQ(FindUnitById(*t.world, 0x02000003), nullptr);
  DrainDueCommands(*t.log, 1000);
  EXPECT_FALSE(made->unitFlags & kUnitProvisional);
  EXPECT_EQ(UnitOutstanding(*made), 0);
  EXPECT_EQ(PendingCommands(P(2)), 0);
}

TEST_F(UnitCommands, ProjectsAreMadeUnderTheSequenceWordPursuedAndClosed) {
  t.world->gameState.techCount = 4;
  t.world->techRows.assign(kMaxPlayers * 4, PlayerTechState{});
  t.world->techs.resize(4);
  t.world->techs[2].category = 1;  // both in use
  t.world->techs[3].category = 1;
  t.world->techs[3].prerequisites[0] = 2;  // tech 3 needs tech 2
  t.world->techs[2].researchCost = 750.0f;
  Post(kCmdProjectCreate, 2, 0, kProjectTechnology, 2, 0x2);
  Post(kCmdProjectCreate, 2, 0, kProjectTechnology, 3, 0x0);
  ProjectEntry* first = FindProjectById(*t.world, 0x02000001);
  ProjectEntry* second = FindProjectById(*t.world, 0x02000002);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(first->displayFlags, 0x3u);
  EXPECT_EQ(first->simFlags, 0x2u);
  EXPECT_EQ(first->remainingCost, 750.0f) << "a technology costs its research cost";
  EXPECT_EQ(TechRow(*t.world, 2)[2].projectFlags & 0x10, 0x10);
  DrainDueCommands(*t.log, 1000);
  EXPECT_EQ(first->simFlags, 0x3u);
  EXPECT_EQ(second->simFlags, 0x1u);
  Post(kCmdAvailabilityBit, 2, 0, second->id, 0x20, 1);
  EXPECT_EQ(second->displayFlags, 0x21u);
  EXPECT_EQ(second->simFlags, 0x1u) << "nothing copies one flag word to the other";
  Post(kCmdProjectClose, 2, 0, first->id);
  EXPECT_TRUE(first->displayFlags & kProjectClosed);
  EXPECT_TRUE(second->displayFlags & kProjectClosed) << "the technology that needs it closes too";
  EXPECT_FALSE(first->simFlags & kProjectClosed);
  DrainDueCommands(*t.log, 1000);
  EXPECT_TRUE(first->simFlags & kProjectClosed);
  EXPECT_EQ(TechRow(*t.world, 2)[2].projectFlags & 0x30, 0);
  EXPECT_EQ(PendingCommands(P(2)), 0);
}

TEST_F(UnitCommands, SystemCommandsActOnlyInTheSimulationPass) {
  GameCommand kind = MakeGameCommand(t.world->gameState, kCmdSetPlayerKind, 4);
  kind.arg28 = kKindOut;
  ExecuteCommand(*t.world, kind, 0);
  EXPECT_EQ(P(4).kind, kKindComputer);
  ExecuteCommand(*t.world, kind, 1);
  EXPECT_EQ(P(4).kind, kKindOut);
  kind.arg28 = 4;  // no region has kind 4
  ExecuteCommand(*t.world, kind, 1);
  EXPECT_EQ(P(4).kind, kKindOut);
  GameCommand sync = MakeGameCommand(t.world->gameState, kCmdSyncCheck, 4);
  sync.payload.assign(40, 1);
  sync.payloadLength = 40;
  ExecuteCommand(*t.world, sync, 0);
  EXPECT_EQ(sync.payload.size(), 40u);
  ExecuteCommand(*t.world, sync, 1);
  EXPECT_TRUE(sync.payload.empty()) << "the check takes the entries";
  EXPECT_EQ(sync.payloadLength, 0u);
}

TEST_F(UnitCommands, TheHexLeadTakesADestinationWithoutCountingOnIt) {
  UnitRecord& lead = MakeUnit(0x01000107, 1);
  MakeHexStack(Cell(2, 2))->lead = &lead;
  GameCommand c = MakeGameCommand(t.world->gameState, kCmdLeadUnitSetDestination, 1);
  c.arg24 = PackHex(2, 2);
  c.arg28 = 0x00040005;
  ExecuteCommand(*t.world, c, 0);
  EXPECT_EQ(lead.ordersShown[3], 0x00040005u);
  EXPECT_EQ(UnitOutstanding(lead), 0);
  lead.unitFlags |= kUnitProvisional;
  ExecuteCommand(*t.world, c, 1);
  EXPECT_EQ(lead.orders[3], 0u) << "a provisional facility is left alone by the simulation pass";
}

}  // namespace
