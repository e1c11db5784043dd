#include "sim/daily_driver.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "sim/game_session_test_support.h"
#include "world/le_bytes.h"

namespace {

class DailyDriverTest : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    BuildWorld(6, 4, 3);
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

TEST_F(DailyDriverTest, DayPopulationGdpAndCostFactor) {
  le::Store32(g_world.worldEconomy.data() + 772, std::bit_cast<uint32_t>(1000.0f));
  PlayerRecord& r = g_world.players[1];
  r.dayPopulation = 90.0f;
  r.dayLeadValue = 10.0f;
  r.gdpPerCapita = 2500.0f;
  RunDailyProcessing(g_world);
  EXPECT_FLOAT_EQ(r.dayPopulation, 100.0f);
  // The GDP step later in the day moves GDP per head; GDP and the cost
  // factor still follow it and the day's population.
  EXPECT_NE(r.gdpPerCapita, 2500.0f);
  EXPECT_FLOAT_EQ(r.gdp, r.gdpPerCapita * 100.0f);
  EXPECT_NEAR(r.costFactor, std::sqrt(r.gdpPerCapita / 1000.0f + 0.1f), 1e-6);
}

TEST_F(DailyDriverTest, WithoutAWorldGdpTheCostFactorStaysFinite) {
  PlayerRecord& r = g_world.players[1];
  r.gdpPerCapita = 2500.0f;
  r.costFactor = 1.5f;
  RunDailyProcessing(g_world);
  EXPECT_FLOAT_EQ(r.costFactor, 1.5f);
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
  EXPECT_FLOAT_EQ(g_world.gameState.worldPopulation, 42.0f);
}

}  // namespace
