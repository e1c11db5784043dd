#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/text_message.h"
#include "sim/daily/elimination.h"
#include "sim/relation_commands.h"
#include "world/relation_fields.h"
#include "sim/relations.h"
#include "sim/sim_ui_link.h"
#include "support/global_guard.h"
#include "units/handover_test_world.h"
#include "world/unit_create.h"
#include "records/unit_record.h"
#include "world/region_figures.h"
#include "world/scenario_settings.h"

namespace {

using handover_test::kTank;

std::vector<std::string> g_lines;

// Region 2 holds three hexes of row 1, region 3 one hex; region 1 is the
// local player, so the game goes on after region 2 leaves it.
struct SurrenderWorld : handover_test::World6 {
  SurrenderWorld() {
    World& w = *world;
    w.gameState.localPlayer = 1;
    w.gameState.highestPlayer = 3;
    w.players[1].kind = kKindHuman;
    for (int p = 1; p <= 3; ++p) {
      if (p != 1) w.players[p].kind = kKindComputer;
      std::snprintf(w.players[p].name, sizeof w.players[p].name, "Land%d", p);
    }
    for (int x = 1; x <= 3; ++x) {
      Own(x, 1, 2);
      Cell(x, 1).word = WithCellLoyalTo(Cell(x, 1).word, 2);
    }
    Own(4, 4, 3);
    P(2).hexCount = 3;
    P(3).hexCount = 1;
    P(2).simPolicy.hostileMask = 1u << 3;
    P(3).simPolicy.hostileMask = 1u << 2;
    g_lines.clear();
    SetTextMessageTransport([](const TextMessage& m) { g_lines.emplace_back(m.text); });
  }
  ~SurrenderWorld() {
    SetTextMessageTransport(nullptr);
  }
  PlayerRecord& P(int p) { return world->players[p]; }
  // The winner's land base at its capital, where units handed over from
  // the reserve find their place.
  void WinnerBase() {
    SetCapitalHex(P(3).simPolicy, CapitalPosition{4, 4});
    Place(3, handover_test::kBase, 1.0f, 4, 4);
  }
  uint8_t Successor(int p) { return reinterpret_cast<const uint8_t*>(&P(p))[kRecordSuccessor]; }

 private:
  GlobalGuard<SimUiLink> ui_{g_simUi, SimUiLink{}};
};

TEST(Surrender, AnOrdinarySurrenderGivesTheHexesAndUnitsToTheWinnerAndIsAnnounced) {
  SurrenderWorld t;
  UnitRecord& tank = t.Place(2, kTank, 1.0f, 2, 1);
  PlayerSurrender(*t.world, 2, 3, kSurrenderMessages);
  for (int x = 1; x <= 3; ++x) {
    EXPECT_EQ(CellOwner(t.Cell(x, 1).word), 3) << x;
    EXPECT_EQ(t.Cell(x, 1).word & 3u, 2u) << x;  // the day's supply state cut to 2
  }
  EXPECT_EQ(t.P(2).hexCount, 0);
  EXPECT_EQ(t.P(3).hexCount, 4);
  EXPECT_EQ(t.P(2).kind, kKindOut);
  EXPECT_EQ(SurrenderTarget(t.P(2).simPolicy), 3);
  EXPECT_EQ(t.Successor(2), 3);
  EXPECT_EQ(tank.owner, 3);
  EXPECT_EQ(t.P(2).simPolicy.friendlyMask, 1u << 3);
  EXPECT_EQ(t.P(2).simPolicy.hostileMask, 0u);
  // No scenario winner: the winner's relations with the region go as for an
  // eliminated region.
  EXPECT_EQ(t.P(3).simPolicy.friendlyMask & (1u << 2), 0u);
  EXPECT_EQ(t.P(3).simPolicy.hostileMask & (1u << 2), 0u);
  ASSERT_EQ(g_lines.size(), 1u);
  EXPECT_EQ(g_lines[0], "Player 2 (Land2) has SURRENDERED.");
}

TEST(Surrender, UnitsNotYetFiledStillPassToTheWinner) {
  // A scenario's start presets surrender regions before the game files its
  // units in the unit tables.
  SurrenderWorld t;
  World& w = *t.world;
  t.WinnerBase();
  UnitRecord* onMap = CreateUnit(w, t.P(2), 0x900, kTank, 1.0f, 2u | (1u << 16), 0, 0);
  onMap->unitFlags &= ~kUnitProvisional;
  onMap->orders[kPostureBits] = 0;
  UnitRecord* waiting = CreateUnit(w, t.P(2), 0x901, kTank, 1.0f, 0, 0, 0);
  waiting->unitFlags &= ~kUnitProvisional;
  waiting->orders[kPostureBits] = kPostureInReserve;
  ASSERT_EQ(onMap->tableEntry, nullptr);
  PlayerSurrender(w, 2, 3, kSurrenderMessages);
  EXPECT_EQ(onMap->owner, 3);
  EXPECT_EQ(waiting->owner, 3);
  EXPECT_FALSE(waiting->unitFlags & kUnitGone);
}

TEST(Surrender, WithAScenarioWinnerTheTwoStayFriendsWithTheirTreaties) {
  SurrenderWorld t;
  t.world->gameState.scenarioWinner = 3;
  PlayerSurrender(*t.world, 2, 3, 0);
  EXPECT_TRUE(g_lines.empty());  // not told
  for (int a : {2, 3}) {
    const int b = a == 2 ? 3 : 2;
    EXPECT_EQ(t.P(a).simPolicy.friendlyMask, 1u << b) << a;
    EXPECT_EQ(t.P(a).simPolicy.hostileMask, 0u) << a;
    for (int word = 0; word < 4; ++word) EXPECT_EQ(ReciprocalMask(t.P(a).simPolicy, word), 1u << b) << a << word;
    EXPECT_EQ(ReciprocalMask(t.P(a).simPolicy, 4), 0u) << a;  // type 30 is not one of them
  }
}

TEST(Surrender, AMergerHandsTheHexesWithTheirLoyaltyAndTheHoldings) {
  SurrenderWorld t;
  World& w = *t.world;
  t.P(2).treasury = 500.0f;
  t.P(3).treasury = 100.0f;
  StoreRegionFloat(t.P(2), kRegionNationalDebtBase, 40.0f);
  StoreRegionFloat(t.P(3), kRegionNationalDebtBase, 2.0f);
  StoreRegionFloat(t.P(2), kRegionPopReserve, 7000.0f);
  StoreRegionFloat(t.P(3), kRegionPopReserve, 250.0f);
  le::StoreF32(t.P(2).products[4].bytes + kProductStockAt, 10.0f);
  le::StoreF32(t.P(3).products[4].bytes + kProductStockAt, 5.0f);
  // Research: region 2 knows technology 2 (which needs 1) and may build
  // design 4.
  w.gameState.techCount = 3;
  w.techs.assign(3, TechRecord{});
  w.techs[1].category = w.techs[2].category = 1;
  w.techs[2].prerequisites[0] = 1;
  w.techRows.assign(32 * 3, PlayerTechState{});
  TechRow(w, 2)[2].known = 2;
  w.gameState.designRowBytes = 12;
  w.designRows.assign(32 * 12, 0);
  DesignRow(w, 2)[4] = 1;
  t.WinnerBase();
  UnitRecord& reserve = t.Reserve(2, kTank, 1.0f, 0, 0);
  PlayerSurrender(w, 2, 3, kSurrenderMessages | kSurrenderLoyaltyMerge | kSurrenderResearchMerge);
  for (int x = 1; x <= 3; ++x) {
    EXPECT_EQ(CellOwner(t.Cell(x, 1).word), 3) << x;
    EXPECT_EQ(CellLoyalTo(t.Cell(x, 1).word), 3) << x;
  }
  EXPECT_EQ(t.P(3).hexCount, 4);
  EXPECT_EQ(t.P(2).hexCount, 0);
  EXPECT_EQ(t.P(3).treasury, 600.0f);
  EXPECT_EQ(t.P(2).treasury, 0.0f);
  EXPECT_EQ(LoadRegionFloat(t.P(3), kRegionNationalDebtBase), 42.0f);
  EXPECT_EQ(LoadRegionFloat(t.P(2), kRegionNationalDebtBase), 0.0f);
  EXPECT_EQ(LoadRegionFloat(t.P(3), kRegionPopReserve), 7250.0f);
  EXPECT_EQ(LoadRegionFloat(t.P(2), kRegionPopReserve), 0.0f);
  EXPECT_EQ(le::LoadF32(t.P(3).products[4].bytes + kProductStockAt), 15.0f);
  EXPECT_EQ(le::LoadF32(t.P(2).products[4].bytes + kProductStockAt), 0.0f);
  EXPECT_NE(TechRow(w, 3)[2].known, 0);
  EXPECT_NE(TechRow(w, 3)[1].known, 0);  // with its prerequisite
  EXPECT_EQ(DesignRow(w, 3)[4] & 1u, 1u);
  EXPECT_EQ(reserve.owner, 3);
  EXPECT_FALSE(reserve.unitFlags & kUnitGone);
  EXPECT_EQ(t.P(2).kind, kKindOut);
  EXPECT_TRUE(g_lines.empty());  // a merger is not announced as a surrender
}

TEST(Surrender, AMergerWithoutTheResearchOptionKeepsTheResearch) {
  SurrenderWorld t;
  World& w = *t.world;
  w.gameState.techCount = 2;
  w.techs.assign(2, TechRecord{});
  w.techs[1].category = 1;
  w.techRows.assign(32 * 2, PlayerTechState{});
  TechRow(w, 2)[1].known = 2;
  PlayerSurrender(w, 2, 3, kSurrenderLoyaltyMerge);
  EXPECT_EQ(TechRow(w, 3)[1].known, 0);
}

TEST(Surrender, NothingForBadPlayersOrARegionOutOfTheGame) {
  SurrenderWorld t;
  PlayerSurrender(*t.world, 2, 2, kSurrenderMessages);
  PlayerSurrender(*t.world, 2, 0, kSurrenderMessages);
  PlayerSurrender(*t.world, 2, 32, kSurrenderMessages);
  PlayerSurrender(*t.world, 0, 3, kSurrenderMessages);
  PlayerSurrender(*t.world, 2, 5, kSurrenderMessages);  // an empty slot
  t.P(4).kind = kKindOut;
  PlayerSurrender(*t.world, 4, 3, kSurrenderMessages);
  EXPECT_EQ(t.P(2).kind, kKindComputer);
  EXPECT_EQ(CellOwner(t.Cell(1, 1).word), 2);
  EXPECT_TRUE(g_lines.empty());
}

TEST(Surrender, TheCommandMarksTheRequestThenSurrendersOrMerges) {
  SurrenderWorld t;
  World& w = *t.world;
  SetTargetHex(t.P(2).displayPolicy, 0x00020003u);
  SurrenderCommand(w, t.P(2), 0, 3, 0);
  EXPECT_EQ(TargetHex(t.P(2).displayPolicy), 0u);
  EXPECT_EQ(SurrenderTarget(t.P(2).displayPolicy), 3);
  EXPECT_EQ(t.P(2).kind, kKindComputer);  // the display pass stops there
  SurrenderCommand(w, t.P(2), 1, 3, 0);
  EXPECT_EQ(t.P(2).kind, kKindOut);
  EXPECT_EQ(g_lines.size(), 1u);

  SurrenderWorld m;
  m.P(2).treasury = 7.0f;
  SurrenderCommand(*m.world, m.P(2), 1, 3, 1);
  EXPECT_EQ(m.P(3).treasury, 7.0f);
  EXPECT_EQ(CellLoyalTo(m.Cell(1, 1).word), 3);
  EXPECT_TRUE(g_lines.empty());
  // Not to itself, nobody or past the table.
  SurrenderWorld n;
  for (uint32_t to : {2u, 0u, 32u, 0xFFFFFFFFu}) {
    SurrenderCommand(*n.world, n.P(2), 0, to, 0);
    SurrenderCommand(*n.world, n.P(2), 1, to, 0);
  }
  EXPECT_EQ(n.P(2).kind, kKindComputer);
  EXPECT_EQ(SurrenderTarget(n.P(2).displayPolicy), 0);
}

}  // namespace
