#include "sim/daily/player_accounts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/calendar.h"
#include "sim/daily/economy_fields.h"
#include "sim/daily/elimination.h"
#include "sim/daily/hex_pass.h"
#include "sim/daily/product_fields.h"
#include "sim/daily/research_fields.h"
#include "sim/message_test_support.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

namespace {

std::vector<uint32_t> g_turnCodes;

class PlayerAccountsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_turnCodes.clear();
    for (uint32_t id : {10u, 295u, 340u, 59u, 55u, 105u, 86u, 270u, 279u, 339u, 330u, 331u, 338u, 332u, 103u, 104u, 9u, 296u})
      t.Type(id);
    g_simUi.postTurnEvent = [](uint32_t code) { g_turnCodes.push_back(code); };
    World& w = *t.world;
    w.gameState.currentDay = 2451544;
    PlayerRecord& r = w.players[1];
    r.govtype = 1;
    r.secondRating = 0.65f;
    r.unemployment = 0.1f;
    r.approval = 0.5f;
  }
  bool Has(int player, uint32_t type) {
    const std::vector<uint32_t> types = t.TypesOf(player);
    return std::find(types.begin(), types.end(), type) != types.end();
  }
  MessageTestWorld t;
};

TEST_F(PlayerAccountsTest, TheCommitHoldsApprovalBetweenAHundredthAndOne) {
  World& w = *t.world;
  PlayerRecord& r = w.players[1];
  r.approval = 0.4f;
  PlayerDaySnapshot(w, r);
  EXPECT_FLOAT_EQ(r.dayApproval, 0.8f);
  r.dayApproval = 0.0f;
  PlayerDayCommit(w, r);
  EXPECT_FLOAT_EQ(r.approval, 0.01f);
  r.dayApproval = 3.0f;
  PlayerDayCommit(w, r);
  EXPECT_FLOAT_EQ(r.approval, 1.0f);
  r.dayApproval = 1.2f;
  PlayerDayCommit(w, r);
  EXPECT_FLOAT_EQ(r.approval, 0.6f);
}

TEST_F(PlayerAccountsTest, TheSnapshotStartsTheDayAndTheCommitKeepsIt) {
  World& w = *t.world;
  PlayerRecord& r = w.players[1];
  r.secondRating = 0.3f;
  r.dayInterestPaid = 1.0f;
  r.dayInterestReceived = 2.0f;
  PlayerDaySnapshot(w, r);
  EXPECT_FLOAT_EQ(r.daySecondRating, 0.3f);
  EXPECT_FLOAT_EQ(r.dayInterestPaid, 0.0f);
  EXPECT_FLOAT_EQ(r.dayInterestReceived, 0.0f);
  r.daySecondRating = 0.35f;
  le::StoreF32(r.products[7].bytes + 8, 50.0f);
  le::StoreF32(r.products[6].bytes + 8, 50.0f);
  r.simPolicy.defcon = 3;
  r.displayPolicy.defcon = 5;
  r.pendingCommands = 0;
  PlayerDayCommit(w, r);
  EXPECT_FLOAT_EQ(r.secondRating, 0.35f);
  // Product 7 is not kept from day to day.
  EXPECT_FLOAT_EQ(le::LoadF32(r.products[7].bytes + 8), 0.0f);
  EXPECT_FLOAT_EQ(le::LoadF32(r.products[6].bytes + 8), 50.0f);
  EXPECT_EQ(r.displayPolicy.defcon, 3) << "nothing outstanding: the display copy follows";
  // With a command outstanding the display copy stays.
  r.pendingCommands = 1;
  r.simPolicy.defcon = 2;
  PlayerDayCommit(w, r);
  EXPECT_EQ(r.pendingCommands, 1);
  EXPECT_EQ(r.displayPolicy.defcon, 3);
}

TEST_F(PlayerAccountsTest, NothingOfProduct7IsLeftForSaleOvernight) {
  World& w = *t.world;
  PlayerRecord& r = w.players[1];
  for (int p : {6, 7}) {
    le::StoreF32(r.products[p].bytes + product::kForSale, 20.0f);
    SetProductReal(r.simPolicy.productPolicy[p], kProductSellParam, 15.0f);
    SetProductReal(r.displayPolicy.productPolicy[p], kProductSellParam, 15.0f);
  }
  r.pendingCommands = 1;  // the display copy is not refreshed from the simulation copy
  PlayerDayCommit(w, r);
  EXPECT_EQ(le::LoadF32(r.products[7].bytes + product::kForSale), 0.0f);
  EXPECT_EQ(ProductReal(r.simPolicy.productPolicy[7], kProductSellParam), 0.0f);
  EXPECT_EQ(ProductReal(r.displayPolicy.productPolicy[7], kProductSellParam), 0.0f);
  // Other products keep theirs.
  EXPECT_EQ(le::LoadF32(r.products[6].bytes + product::kForSale), 20.0f);
  EXPECT_EQ(ProductReal(r.simPolicy.productPolicy[6], kProductSellParam), 15.0f);
  EXPECT_EQ(ProductReal(r.displayPolicy.productPolicy[6], kProductSellParam), 15.0f);
  // The world supplier keeps product 7 like any other.
  PlayerRecord& supplier = w.players[0];
  supplier.kind = kKindWorld;
  le::StoreF32(supplier.products[7].bytes + product::kStock, 30.0f);
  le::StoreF32(supplier.products[7].bytes + product::kForSale, 20.0f);
  SetProductReal(supplier.simPolicy.productPolicy[7], kProductSellParam, 15.0f);
  PlayerDayCommit(w, supplier);
  EXPECT_EQ(le::LoadF32(supplier.products[7].bytes + product::kStock), 30.0f);
  EXPECT_EQ(le::LoadF32(supplier.products[7].bytes + product::kForSale), 20.0f);
  EXPECT_EQ(ProductReal(supplier.simPolicy.productPolicy[7], kProductSellParam), 15.0f);
}

TEST_F(PlayerAccountsTest, TheHexFiguresStartAtZeroAndTheCommitPublishesThem) {
  World& w = *t.world;
  PlayerRecord& r = w.players[1];
  ASSERT_TRUE(DailyHexPassRuns(w));
  r.population = 5000.0f;
  r.hexCount = 12;
  r.dayPopulation = 90.0f;
  r.dayHexCount = 7;
  PlayerDaySnapshot(w, r);
  EXPECT_FLOAT_EQ(r.dayPopulation, 0.0f);
  EXPECT_EQ(r.dayHexCount, 0);
  // What the hex pass would count during the day.
  r.dayPopulation = 300.0f;
  r.dayHexCount = 3;
  r.dayLeadValue = 12.5f;
  r.dayYearlyCostFacilities = 40.0f;
  r.dayYearlyCostHexLead = 7.0f;
  r.dayPortCapacity = 2.1f;
  PlayerDayCommit(w, r);
  EXPECT_FLOAT_EQ(r.population, 300.0f);
  EXPECT_EQ(r.hexCount, 3);
  EXPECT_FLOAT_EQ(r.leadValue, 12.5f);
  EXPECT_FLOAT_EQ(r.yearlyCostFacilities, 40.0f);
  EXPECT_FLOAT_EQ(r.yearlyCostHexLead, 7.0f);
  // 2.1 + 0.9 is just below 3.0 in round-toward-zero, so the count is 2;
  // 2.2 + 0.9 gives 3.
  EXPECT_EQ(r.portCapacity, 2);
  PlayerDaySnapshot(w, r);
  r.dayPortCapacity = 2.2f;
  PlayerDayCommit(w, r);
  EXPECT_EQ(r.portCapacity, 3);
}

TEST_F(PlayerAccountsTest, WithoutAMapTheHexFiguresAreNeitherStartedNorCommitted) {
  World& w = *t.world;
  std::vector<HexCell>().swap(w.cells);
  PlayerRecord& r = w.players[1];
  ASSERT_FALSE(DailyHexPassRuns(w));
  r.population = 5000.0f;
  r.hexCount = 12;
  r.dayPopulation = 90.0f;
  PlayerDaySnapshot(w, r);
  EXPECT_FLOAT_EQ(r.dayPopulation, 90.0f);
  PlayerDayCommit(w, r);
  EXPECT_FLOAT_EQ(r.population, 5000.0f);
  EXPECT_EQ(r.hexCount, 12);
}

TEST_F(PlayerAccountsTest, TheTurnResetClearsTheTurnAccumulators) {
  World& w = *t.world;
  PlayerRecord& r = w.players[1];
  r.turnBuildSpending = 1.0f;
  r.turnUnpaidBuildCost = 2.0f;
  r.turnDefaulted = 3.0f;
  r.turnProductTotals[11] = 4.0f;
  r.turnBestHex[0] = 3;
  r.turnBestHexValue = 9.0f;
  ClearPlayerTurnCounters(w, r);
  EXPECT_FLOAT_EQ(r.turnBuildSpending, 0.0f);
  EXPECT_FLOAT_EQ(r.turnUnpaidBuildCost, 0.0f);
  EXPECT_FLOAT_EQ(r.turnDefaulted, 0.0f);
  EXPECT_FLOAT_EQ(r.turnProductTotals[11], 0.0f);
  EXPECT_EQ(r.turnBestHex[0], 0);
  EXPECT_FLOAT_EQ(r.turnBestHexValue, 0.0f);
}

TEST_F(PlayerAccountsTest, ElectionCountdown) {
  World& w = *t.world;
  PlayerRecord& r = w.players[1];
  // 100 days ahead: no countdown yet.
  r.electionDay = w.gameState.currentDay + 100;
  RunElection(w, r);
  EXPECT_FALSE(Has(1, 270));
  // 98 days ahead: 270, and 98 = 7 x 14 so 279 as well.
  r.electionDay = w.gameState.currentDay + 98;
  RunElection(w, r);
  EXPECT_TRUE(Has(1, 270));
  EXPECT_TRUE(Has(1, 279));
  // On the day: 339.
  r.electionDay = w.gameState.currentDay;
  RunElection(w, r);
  EXPECT_TRUE(Has(1, 339));
  EXPECT_TRUE(g_turnCodes.empty());
}

TEST_F(PlayerAccountsTest, ALostElectionEndsTheLocalPlayersSingleGame) {
  World& w = *t.world;
  PlayerRecord& r = w.players[1];
  // Approval 0.1 with party 0 ruling: shares 0.1, 0.45, 0.45, 0.15 (second
  // rating 0.65 and unemployment 0.1 move nothing): party 1 wins.
  r.approval = 0.1f;
  r.rulingParty = 0;
  r.electionDay = w.gameState.currentDay - 1;
  RunElection(w, r);
  ASSERT_EQ(g_turnCodes.size(), 1u);
  EXPECT_EQ(g_turnCodes[0], 97u);
  EXPECT_TRUE(Has(1, 332));
  // The next election is four years after the last one: 31 December 2003.
  GameDate d;
  d.dayNumber = static_cast<int32_t>(r.electionDay);
  DayNumberToDate(d);
  EXPECT_EQ(d.year, 2003);
  EXPECT_EQ(d.month, 12);
  EXPECT_EQ(d.day, 31);
  // A computer-led region only has the news broadcast.
  PlayerRecord& c = w.players[2];
  c.govtype = 1;
  c.approval = 0.1f;
  c.secondRating = 0.65f;
  c.unemployment = 0.1f;
  c.electionDay = w.gameState.currentDay - 1;
  RunElection(w, c);
  EXPECT_EQ(g_turnCodes.size(), 1u);
}

TEST_F(PlayerAccountsTest, AWonElectionIsReported) {
  World& w = *t.world;
  PlayerRecord& r = w.players[1];
  // Approval 0.7: shares 0.7, 0.15, 0.15, 0.05: the ruling party 0 wins
  // with more than 0.4.
  r.approval = 0.7f;
  r.rulingParty = 0;
  r.electionDay = w.gameState.currentDay - 3;
  RunElection(w, r);
  EXPECT_TRUE(Has(1, 331));
  EXPECT_FALSE(Has(1, 338)) << "the news goes to the others";
  EXPECT_TRUE(g_turnCodes.empty());
}

TEST_F(PlayerAccountsTest, ShortagesOfYesterdayAreReported) {
  World& w = *t.world;
  PlayerRecord& r = w.players[1];
  // Product 9: stock 3 + used 4 = 7 below the demand 8: short. Product 10:
  // 5 + 3 = 8, not below 8. Product 2: 0 + 0 below 0.5: short.
  auto set = [&](int p, size_t at, float v) { le::StoreF32(r.products[p].bytes + at, v); };
  set(9, 8, 3.0f);
  set(9, 40, 4.0f);
  set(9, 44, 8.0f);
  set(10, 8, 5.0f);
  set(10, 40, 3.0f);
  set(10, 44, 8.0f);
  set(2, 44, 0.5f);
  RunElection(w, r);
  EXPECT_TRUE(Has(1, 295));
  EXPECT_FALSE(Has(1, 10));
  EXPECT_TRUE(Has(1, 340));
}

TEST_F(PlayerAccountsTest, ADefconChangeIsAnnounced) {
  World& w = *t.world;
  PlayerRecord& r = w.players[1];
  w.gameState.turnNumber = 1;
  r.simPolicy.defcon = 2;
  r.yesterdayDefcon = 2;
  DailyPlayerAlerts(w, r);
  EXPECT_FALSE(Has(1, 59));
  r.simPolicy.defcon = 3;
  DailyPlayerAlerts(w, r);
  EXPECT_TRUE(Has(1, 59));
}

TEST_F(PlayerAccountsTest, TheTurnSaveKeepsTheTurnsFiguresAsTheLastTurns) {
  World& w = *t.world;
  PlayerRecord& r = w.players[1];
  r.turnBuildSpending = 11.0f;
  r.turnUnpaidBuildCost = 12.0f;
  r.turnAmountC = 13.0f;
  r.turnUpkeepMarked = 14.0f;
  r.turnUpkeepOther = 15.0f;
  r.turnDefaulted = 16.0f;
  r.turnSalesRevenue = 21.0f;
  r.turnPurchaseCost = 22.0f;
  product::SetRecordReal(r, product::kTurnAutoPurchase, 23.0f);
  product::SetRecordReal(r, product::kTurnAutoSale, 24.0f);
  economy::SetReal(r, economy::kTurnSumD, 25.0f);
  economy::SetReal(r, economy::kTurnSumE, 26.0f);
  for (int p = 0; p < 12; ++p) r.turnProductTotals[p] = 100.0f + static_cast<float>(p);
  // The byte where a twelfth product record's total would sit.
  uint8_t* pastTable = reinterpret_cast<uint8_t*>(&r) + offsetof(PlayerRecord, products) + 11 * 96 + 84;
  le::StoreF32(pastTable, -7.0f);
  r.turnBestHex[0] = 5;
  r.turnBestHex[1] = 9;
  SavePlayerTurnTotals(w, r);
  EXPECT_EQ(r.lastTurnBuildSpending, 11.0f);
  EXPECT_EQ(r.lastTurnUnpaidBuildCost, 12.0f);
  EXPECT_EQ(r.lastTurnAmountC, 13.0f);
  EXPECT_EQ(r.lastTurnUpkeepMarked, 14.0f);
  EXPECT_EQ(r.lastTurnUpkeepOther, 15.0f);
  EXPECT_EQ(r.lastTurnDefaulted, 16.0f);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(r.lastTurnFigures[i], 21.0f + static_cast<float>(i)) << i;
  EXPECT_EQ(r.lastTurnFigures[6], 0.0f);
  for (int p = 0; p < 11; ++p)
    EXPECT_EQ(le::LoadF32(r.products[p].bytes + product::kLastTurnTotal), 100.0f + static_cast<float>(p)) << p;
  EXPECT_EQ(le::LoadF32(pastTable), -7.0f) << "no product record 11: nothing written past the table";
  EXPECT_EQ(CapitalHex(r.simPolicy), (CapitalPosition{5, 9}));
  EXPECT_EQ(CapitalHex(r.displayPolicy), (CapitalPosition{5, 9}));
  // The turn's own figures stay until the next turn reset.
  EXPECT_EQ(r.turnBuildSpending, 11.0f);

  // A turn without a best hex leaves the capital as it was.
  ClearPlayerTurnCounters(w, r);
  SavePlayerTurnTotals(w, r);
  EXPECT_EQ(CapitalHex(r.simPolicy), (CapitalPosition{5, 9}));
  EXPECT_EQ(r.lastTurnBuildSpending, 0.0f);
  EXPECT_EQ(r.lastTurnFigures[0], 0.0f);
}

TEST_F(PlayerAccountsTest, TheTurnResetAlsoClearsTheOtherStepsTurnFigures) {
  World& w = *t.world;
  PlayerRecord& r = w.players[1];
  r.turnAmountC = 1.0f;
  r.turnSalesRevenue = 2.0f;
  r.turnPurchaseCost = 3.0f;
  product::SetRecordReal(r, product::kTurnAutoPurchase, 4.0f);
  product::SetRecordReal(r, product::kTurnAutoSale, 5.0f);
  economy::SetReal(r, economy::kTurnSumD, 6.0f);
  economy::SetReal(r, economy::kTurnSumE, 7.0f);
  ClearPlayerTurnCounters(w, r);
  EXPECT_EQ(r.turnAmountC, 0.0f);
  EXPECT_EQ(r.turnSalesRevenue, 0.0f);
  EXPECT_EQ(r.turnPurchaseCost, 0.0f);
  EXPECT_EQ(product::RecordReal(r, product::kTurnAutoPurchase), 0.0f);
  EXPECT_EQ(product::RecordReal(r, product::kTurnAutoSale), 0.0f);
  EXPECT_EQ(economy::Real(r, economy::kTurnSumD), 0.0f);
  EXPECT_EQ(economy::Real(r, economy::kTurnSumE), 0.0f);
}

TEST_F(PlayerAccountsTest, TheCommitClearsTheDaysUseDemandAndAlertFigures) {
  World& w = *t.world;
  PlayerRecord& r = w.players[1];
  for (int p = 0; p < kProductCount; ++p) {
    le::StoreF32(r.products[p].bytes + product::kDayUse, 1.0f + static_cast<float>(p));
    le::StoreF32(r.products[p].bytes + product::kDayDemand, 2.0f);
    le::StoreF32(r.products[p].bytes + product::kLastDayUse, 3.0f);
  }
  economy::SetReal(r, economy::kDayExtraDeaths, 1500.0f);
  r.dayAlertValueB = 2000.0f;
  PlayerDayCommit(w, r);
  for (int p = 0; p < kProductCount; ++p) {
    EXPECT_EQ(le::LoadF32(r.products[p].bytes + product::kDayUse), 0.0f) << p;
    EXPECT_EQ(le::LoadF32(r.products[p].bytes + product::kDayDemand), 0.0f) << p;
    EXPECT_EQ(le::LoadF32(r.products[p].bytes + product::kLastDayUse), 3.0f) << "yesterday's use stays";
  }
  EXPECT_EQ(economy::Real(r, economy::kDayExtraDeaths), 0.0f);
  EXPECT_EQ(r.dayAlertValueB, 0.0f);
}

TEST_F(PlayerAccountsTest, TheSnapshotCountsTheSitesAfresh) {
  World& w = *t.world;
  PlayerRecord& r = w.players[1];
  for (int k = 0; k < 5; ++k) SetRecordF32(r, kDayCapacityByKind + 4 * static_cast<size_t>(k), 9.0f);
  SetRecordF32(r, kDayKind1Strength, 4.0f);
  SetRecordF32(r, kCapacityByKind + 4, 6.0f);
  PlayerDaySnapshot(w, r);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(RecordF32(r, kDayCapacityByKind + 4 * static_cast<size_t>(k)), 0.0f) << k;
  EXPECT_EQ(RecordF32(r, kDayKind1Strength), 0.0f);
  EXPECT_EQ(RecordF32(r, kCapacityByKind + 4), 6.0f) << "the committed count waits for the hex pass";
}

TEST_F(PlayerAccountsTest, HeavyLossesAndUnrestAreAnnouncedAboveAThousand) {
  World& w = *t.world;
  PlayerRecord& r = w.players[1];
  economy::SetReal(r, economy::kDayExtraDeaths, 1000.0f);
  r.dayAlertValueB = 1000.0f;
  DailyPlayerAlerts(w, r);
  EXPECT_FALSE(Has(1, 103)) << "exactly 1000 is not above it";
  EXPECT_FALSE(Has(1, 104));
  economy::SetReal(r, economy::kDayExtraDeaths, 1000.5f);
  DailyPlayerAlerts(w, r);
  EXPECT_TRUE(Has(1, 103));
  EXPECT_FALSE(Has(1, 104));
  r.dayAlertValueB = 1001.0f;
  DailyPlayerAlerts(w, r);
  EXPECT_TRUE(Has(1, 104));
}

TEST_F(PlayerAccountsTest, LastTurnsOverrunsAreReportedToTheRegion) {
  World& w = *t.world;
  PlayerRecord& r = w.players[1];
  r.lastTurnAmountC = 1.0f;
  r.lastTurnUnpaidBuildCost = 1.0f;
  RunElection(w, r);
  EXPECT_FALSE(Has(1, 9)) << "1.0 is not above 1.0";
  EXPECT_FALSE(Has(1, 296));
  r.lastTurnAmountC = 1.5f;
  RunElection(w, r);
  EXPECT_TRUE(Has(1, 9));
  EXPECT_FALSE(Has(1, 296));
  r.lastTurnUnpaidBuildCost = 250.0f;
  RunElection(w, r);
  EXPECT_TRUE(Has(1, 296));
}

}  // namespace
