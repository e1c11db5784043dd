#include "sim/command_reset.h"

#include <gtest/gtest.h>

#include "units/deployment_weight.h"

#include <cstring>
#include <vector>

#include "sim/command_counts.h"
#include "sim/command_post.h"
#include "sim/command_test_world.h"
#include "world/hex_stack_chains.h"
#include "records/hex_unit_stack.h"
#include "world/unit_create.h"
#include "records/unit_record.h"
#include "world/hex_extra.h"
#include "records/le_bytes.h"
#include "world/region_figures.h"

namespace {

constexpr int kLand = 3;
constexpr int kFacility = 5;
constexpr int kFort = 6;

class Resync : public ::testing::Test {
 protected:
  void SetUp() override {
    World& w = *t.world;
    w.unitClasses.resize(8);
    w.unitClasses[kLand].strengthPerSize = 1;
    w.unitClasses[kLand].typeByte = 2;
    w.unitClasses[kLand].kind = 3;  // a submarine: its second kind byte is sea
    UnitClassRecord& f = w.unitClasses[kFacility];
    f.flags = 0x40 | 0x40000 | 0x8;
    f.strengthPerSize = 1;
    f.buildWorkPerPoint = 10.0f;
    f.hasExtra = true;
    le::StoreF32(f.extra.data(), 0.75f);  // needs 0.75 of product 0
    f.sweepLower = 4;                      // variants 4 to 7
    f.sweepUpper = 7;
    w.unitClasses[kFort].flags = 0x400000;
    w.unitClasses[kFort].kind = 0;
  }
  UnitRecord& Make(uint32_t id, int owner, int cls, int x, int y) {
    UnitRecord* u = CreateUnit(*t.world, t.world->players[owner], id, cls, 1.0f, PackHex(x, y), 0, 0);
    return *u;
  }
  HexCell& Cell(int x, int y) { return t.world->cells[static_cast<size_t>(y) * t.world->mapHeader.width + x]; }

  CommandTestWorld t;
};

TEST_F(Resync, CountersRestartFromTheUnitsAndTheLogEmpties) {
  World& w = *t.world;
  UnitRecord& a = Make(0x01000050, 1, kLand, 1, 1);
  UnitRecord& b = Make(0x02000007, 2, kLand, 2, 1);
  UnitRecord& c = Make(0x01000009, 1, kLand, 3, 1);
  UnitRecord& d = Make(0x01000060, 1, kLand, 4, 1);
  a.orders[kFireUnit] = b.id;   // links name units by id
  a.ordersShown[kLeaderUnit] = d.id;
  c.carrier = 0x05000001;            // a unit that is not there
  for (int p = 1; p <= 2; ++p) {
    w.players[p].commandCounter = 500;
    w.players[p].pendingCommands = 7;
    SetPendingDeployments(w, p, 250.0f);
  }
  a.pendingOrders = 3;
  a.ordersShown[2] = 99;
  GameCommand waiting = MakeGameCommand(w.gameState, kCmdMinWage, 1);
  PostCommand(*t.log, waiting, false);
  ASSERT_FALSE(t.log->Empty());

  ResyncCommands(w);

  EXPECT_TRUE(t.log->Empty());
  for (int p = 0; p < kMaxPlayers; ++p) EXPECT_EQ(PendingCommands(w.players[p]), 0);
  for (int p = 0; p < kMaxPlayers; ++p) EXPECT_EQ(PendingDeployments(w, p), 0.0f) << p;
  EXPECT_EQ(w.players[1].commandCounter, 3u);
  EXPECT_EQ(w.players[2].commandCounter, 1u);
  // Numbered in ring order (by old id): c, a, d for player 1.
  EXPECT_EQ(c.id, 0x01000001u);
  EXPECT_EQ(a.id, 0x01000002u);
  EXPECT_EQ(d.id, 0x01000003u);
  EXPECT_EQ(b.id, 0x02000001u);
  EXPECT_EQ(a.orders[kFireUnit], b.id) << "the link follows its unit";
  EXPECT_EQ(a.ordersShown[kLeaderUnit], a.orders[kLeaderUnit]) << "display orders are the simulation's";
  EXPECT_EQ(c.carrier, 0u) << "a link to no unit is dropped";
  EXPECT_EQ(a.pendingOrders, 0);
  EXPECT_EQ(std::memcmp(&a.ordersShown, &a.orders, sizeof(OrderBlock)), 0);
  for (const UnitRecord* u : {&a, &b, &c, &d}) {
    EXPECT_FALSE(u->unitFlags & kUnitProvisional);
    EXPECT_EQ(u->unitType, 2);
    EXPECT_EQ(u->kind, 3);
    EXPECT_EQ(u->moveKind, 2);
  }
  // The ring stays in id order.
  std::vector<uint32_t> ids;
  const UnitRecord* u = w.units;
  do {
    ids.push_back(u->id);
    EXPECT_EQ(u->next->prev, u);
    u = u->next;
  } while (u != w.units);
  EXPECT_EQ(ids, (std::vector<uint32_t>{0x01000001, 0x01000002, 0x01000003, 0x02000001}));

  // The next command of each region follows its units' numbers.
  PostCommand(*t.log, MakeGameCommand(w.gameState, kCmdMinWage, 1), false);
  PostCommand(*t.log, MakeGameCommand(w.gameState, kCmdMinWage, 2), false);
  PostCommand(*t.log, MakeGameCommand(w.gameState, kCmdMinWage, 3), false);
  const std::vector<GameCommand> log = t.log->Entries();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].sequence, 0x01000004u);
  EXPECT_EQ(log[1].sequence, 0x02000002u);
  EXPECT_EQ(log[2].sequence, 0x03000001u);
}

TEST_F(Resync, UnitsOffTheMapEndInactiveWithoutAClass) {
  UnitRecord& west = Make(0x01000001, 1, kLand, -1, 0);
  UnitRecord& south = Make(0x01000002, 1, kLand, 2, t.world->mapHeader.height);
  UnitRecord& home = Make(0x01000003, 1, kLand, 0, 0);  // in the reserve: still on the map's grid
  ResyncCommands(*t.world);
  for (UnitRecord* u : {&west, &south}) {
    EXPECT_TRUE(u->unitFlags & kUnitGone);
    EXPECT_EQ(u->classIndex, 0);
  }
  EXPECT_FALSE(home.unitFlags & kUnitGone);
  EXPECT_EQ(home.classIndex, kLand);
}

TEST_F(Resync, HexesKeepOrGetTheirStateOnlyWhenThereIsOne) {
  World& w = *t.world;
  Cell(1, 1).word = 0x12ABCDEFu;
  MakeHexStack(Cell(2, 2));                 // a stack with nothing to mark
  UnitRecord& fort = Make(0x01000001, 1, kFort, 4, 4);
  MakeHexStack(Cell(4, 4));
  ASSERT_NE(HexStackInsertById(w, Cell(4, 4), fort), nullptr);
  ResyncCommands(w);
  EXPECT_EQ(Cell(1, 1).word, 0x1200CDEFu) << "bits 16 to 23 cleared";
  EXPECT_EQ(LoadHexStack(Cell(1, 1)), nullptr) << "no stack, no extra";
  EXPECT_EQ(LoadHexStack(Cell(2, 2))->extra, nullptr) << "state 0 and no extra: none made";
  ASSERT_NE(LoadHexStack(Cell(4, 4))->extra, nullptr);
  EXPECT_EQ(LoadHexStack(Cell(4, 4))->extra->bytes10[1], 2) << "a fortifying unit marks bit 1";
}

TEST_F(Resync, ALeadThatIsNoFacilityLeavesTheMap) {
  World& w = *t.world;
  UnitRecord* lead = &Make(0x01000001, 1, kLand, 3, 3);
  UnitRecord& other = Make(0x01000002, 1, kLand, 1, 1);
  MakeHexStack(Cell(3, 3))->lead = lead;
  ListHolder& group = w.unitGroups.groups[1][0];
  NewListItem28(lead, false, 0, group);
  NewListItem28(&other, false, 0, group);
  ResyncCommands(w);
  EXPECT_EQ(LoadHexStack(Cell(3, 3))->lead, nullptr);
  EXPECT_EQ(w.units, &other);
  EXPECT_EQ(other.next, &other);
  ASSERT_NE(group.first, nullptr);
  EXPECT_EQ(static_cast<ListItem28*>(group.first)->object, &other) << "the freed unit left its group";
  EXPECT_EQ(other.id, 0x01000001u);
}

TEST_F(Resync, AYieldingFacilityIsHeldToTheShareItsHexCanReach) {
  World& w = *t.world;
  w.mapHeader.hexScale = 20;  // hex area 1.0
  w.terrains.resize(1);
  le::StoreF32(w.terrains[0].bytes, 0.0625f);  // product 0 on every hex
  le::StoreF32(w.worldEconomy.data() + 4, 2.0f);
  for (HexCell& cell : w.cells) cell.word = WithCellOwner(cell.word, 2);
  UnitRecord& f = Make(0x01000001, 1, kFacility, 3, 2);
  f.targetStrength = 1.0f;
  f.strength = 1.0f;
  f.unitFlags &= ~kUnitProvisional;  // confirmed: a provisional lead would be left alone
  uint8_t* variants = reinterpret_cast<uint8_t*>(static_cast<UnitImage*>(&f)) + 64;
  variants[0] = 9;
  MakeHexStack(Cell(3, 2))->lead = &f;
  ResyncCommands(w);
  // P = 2 x 0.0625 + 6 x 0.0625 = 0.5, Q = 0.0625, c = 0.75: a = 0.4375;
  // F = 0.75 x 2 = 1.5, A = 0.875, s = A / F.
  const float share = 0.875f / 1.5f;
  EXPECT_EQ(f.targetStrength, share);
  EXPECT_EQ(f.strength, share);
  EXPECT_EQ(f.buildWork, 0.0f);
  EXPECT_EQ(f.orders[kPostureBits] & 2u, 0u);
  EXPECT_EQ(f.owner, 2) << "a facility belongs to its hex's owner";
  EXPECT_EQ(f.controller, 2);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(variants[i], 4) << "9 mod 8 is 1, below the range: the bottom";
  EXPECT_EQ(f.classIndex, kFacility);
}

TEST_F(Resync, AFacilityWhoseHexYieldsTooLittleLosesItsClass) {
  World& w = *t.world;
  w.mapHeader.hexScale = 20;
  le::StoreF32(w.worldEconomy.data() + 4, 2.0f);
  UnitRecord& f = Make(0x01000001, 1, kFacility, 3, 2);
  MakeHexStack(Cell(3, 2))->lead = &f;
  ResyncCommands(w);
  EXPECT_EQ(f.classIndex, 0) << "no yield around: share 0";
}

TEST_F(Resync, FacilityDesignsFrom4000AreGivenToRegionsWithADesignRow) {
  World& w = *t.world;
  w.unitClasses.resize(4004);
  w.unitClasses[4000].flags = 0x40;
  w.unitClasses[4001].flags = 0x40 | 0x200000;
  w.unitClasses[4002].flags = 0x40 | 0x8000000;
  w.unitClasses[4003].flags = 0x40 | 0x100000;  // shares no bit with 0x8200000
  w.gameState.designRowBytes = 4004;
  w.designRows.assign(static_cast<size_t>(kMaxPlayers) * 4004, 0);
  ResyncCommands(w);
  const uint8_t* row = DesignRow(w, 3);
  EXPECT_EQ(row[4000], 1);
  EXPECT_EQ(row[4001], 0);
  EXPECT_EQ(row[4002], 0);
  EXPECT_EQ(row[4003], 1);
  EXPECT_EQ(row[5], 0) << "below 4000 nothing is given";
}

TEST_F(Resync, ANegativeReservePopulationBecomesZeroAndTechnologyZeroIsCleared) {
  World& w = *t.world;
  w.techs.assign(2, TechRecord{});
  w.techs[1].category = 1;  // needs nothing: clearing technology 0 leaves it
  w.gameState.techCount = 2;
  w.techRows.assign(kMaxPlayers * 2, PlayerTechState{});
  w.gameState.designRowBytes = 8;
  w.designRows.assign(kMaxPlayers * 8, 0);
  for (const float reserve : {-250.0f, 0.0f, 1200.0f}) {
    StoreRegionFloat(w.players[4], kRegionPopReserve, reserve);
    PlayerTechState* techs = TechRow(w, 4);
    techs[0] = techs[1] = PlayerTechState{2, 0, 0x10, {}};
    ResyncCommands(w);
    EXPECT_EQ(LoadRegionFloat(w.players[4], kRegionPopReserve), reserve < 0.0f ? 0.0f : reserve);
    EXPECT_EQ(techs[0].known | techs[0].projectFlags, 0);
    EXPECT_EQ(techs[1].known, 2);
  }
}

}  // namespace
