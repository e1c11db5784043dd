#include "sim/daily_driver.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "sim/game_session_test_support.h"
#include "records/hex_cell.h"
#include "records/le_bytes.h"

namespace {

class DailyDriverTest : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    BuildWorld(6, 4, 3);
    GiveRegionsLand(3);
  }
};

TEST_F(DailyDriverTest, KeepsYesterdaysValuesOfActiveRegions) {
  PlayerRecord& r = g_world.players[2];
  r.approval = 0.25f;
  r.secondRating = 0.5f;
  r.standing = 0.125f;
  r.creditRating = 0.75f;
  r.hexCount = 17;
  r.gdpPerCapita = 1234.5f;
  r.simPolicy.defcon = 3;
  g_world.players[3].kind = kKindOut;
  g_world.players[3].hexCount = 9;
  RunDailyProcessing(g_world);
  EXPECT_FLOAT_EQ(r.yesterdayTotals[0], 0.25f);
  EXPECT_FLOAT_EQ(r.yesterdayTotals[1], 0.5f);
  EXPECT_FLOAT_EQ(r.yesterdayTotals[3], 0.75f);
  EXPECT_EQ(r.yesterdayHexCount, 17);
  EXPECT_FLOAT_EQ(r.yesterdayGdpPerCapita, 1234.5f);
  EXPECT_EQ(r.yesterdayDefcon, 3);
  EXPECT_EQ(g_world.players[3].yesterdayHexCount, 0) << "a region out of the game keeps nothing";
}

// Region 1 holds columns 0 and 3 of the 6 x 4 map: 8 hexes of terrain 0,
// whose population level 1 gives 1 x 1 + 99 = 100 people each.
TEST_F(DailyDriverTest, TheHexPassCountsTheDaysLandAndPeople) {
  le::Store32(g_world.worldEconomy.data() + 772, std::bit_cast<uint32_t>(1000.0f));
  PlayerRecord& r = g_world.players[1];
  r.dayPopulation = 90.0f;
  r.gdpPerCapita = 2500.0f;
  RunDailyProcessing(g_world);
  EXPECT_EQ(r.hexCount, 8);
  EXPECT_FLOAT_EQ(r.dayPopulation, 800.0f) << "yesterday's figure is not carried";
  EXPECT_FLOAT_EQ(r.population, 800.0f);
  // The GDP step later in the day moves GDP per head; GDP and the cost
  // factor still follow it and the day's population.
  EXPECT_NE(r.gdpPerCapita, 2500.0f);
  EXPECT_FLOAT_EQ(r.gdp, r.gdpPerCapita * 800.0f);
  EXPECT_NEAR(r.costFactor, std::sqrt(r.gdpPerCapita / 1000.0f + 0.1f), 1e-6);
  EXPECT_EQ(g_world.players[1].kind, kKindHuman) << "a region with land, people and a capital stays";
}

TEST_F(DailyDriverTest, WithoutAWorldGdpTheCostFactorStaysFinite) {
  PlayerRecord& r = g_world.players[1];
  r.gdpPerCapita = 2500.0f;
  r.costFactor = 1.5f;
  RunDailyProcessing(g_world);
  // The driver leaves the factor alone; the GDP step divides by nothing and
  // takes the share as 0: the root of 0.1.
  EXPECT_TRUE(std::isfinite(r.costFactor));
  EXPECT_NEAR(r.costFactor, std::sqrt(0.1f), 1e-6);
}

TEST_F(DailyDriverTest, ARegionWithoutACapitalOrLandLeavesTheGame) {
  PlayerRecord& r = g_world.players[3];
  for (HexCell& cell : g_world.cells)
    if (CellOwner(cell.word) == 3) cell.word = WithCellOwner(cell.word, 2);
  RunDailyProcessing(g_world);
  EXPECT_EQ(r.kind, kKindOut);
  EXPECT_EQ(g_world.players[2].kind, kKindComputer);
  EXPECT_EQ(g_world.players[2].hexCount, 16) << "columns 1, 2, 4 and 5";
}

TEST_F(DailyDriverTest, ClearsTheDayWordAndItsRunningFlag) {
  for (int p = 0; p <= 3; ++p) g_world.players[p].dayWord = 0xABCD;
  g_world.gameState.dailyFlags = 0x80;
  RunDailyProcessing(g_world);
  for (int p = 0; p <= 3; ++p) EXPECT_EQ(g_world.players[p].dayWord, 0u);
  EXPECT_EQ(g_world.gameState.dailyFlags, 0x80) << "only bit 0 belongs to the driver";
}

TEST_F(DailyDriverTest, EndsWithTheVictoryCheck) {
  g_world.players[1].population = 10.0f;
  g_world.players[2].population = 32.0f;
  RunDailyProcessing(g_world);
  // The day's counts replace them: 8 hexes of 100 people for each of the
  // three regions.
  EXPECT_FLOAT_EQ(g_world.gameState.worldPopulation, 2400.0f);
}

}  // namespace
