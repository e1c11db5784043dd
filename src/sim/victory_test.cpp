#include "sim/victory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "sim/game_session_test_support.h"

namespace {

struct PostedMessage {
  int32_t recipient;
  int32_t typeId;
  uint32_t p1;
  bool operator==(const PostedMessage&) const = default;
};

std::vector<PostedMessage>& Posted() {
  static std::vector<PostedMessage> posted;
  return posted;
}

class VictoryTest : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    BuildWorld(6, 4, 2);
    // A zero head (difficulty 0, no victory condition) as when the test runs
    // alone: an earlier test's tear-down leaves the set-up defaults, whose
    // difficulty comes from the options.
    g_world.scenario.head = ScenarioHead{};
    Posted().clear();
    g_playerMessageLink.post = [](World&, PlayerRecord& recipient, int32_t, int32_t typeId, uint32_t p1) {
      Posted().push_back({recipient.number, typeId, p1});
    };
  }

  // Runs the check on one day and returns what it posted and told the window.
  std::pair<std::vector<PostedMessage>, std::vector<uint32_t>> Day(uint32_t day) {
    Posted().clear();
    TurnEventRecorder::Get().Reset();
    g_world.gameState.currentDay = day;
    CheckVictoryConditions(g_world);
    return {Posted(), TurnEventRecorder::Get().Codes()};
  }
};

TEST_F(VictoryTest, ScenarioWinnerCountsDownTheLastDaysAndEndsTheDayAfter) {
  constexpr uint32_t kEnd = 2452000;
  GameState& s = g_world.gameState;
  g_world.scenario.head.svictorycond = 3;
  s.endDay = kEnd;
  g_world.players[1].approval = 0.5f;
  g_world.players[2].approval = 0.5f;
  g_world.players[1].population = 100.0f;
  g_world.players[2].population = 1000.0f;

  for (uint32_t day = kEnd - 101; day <= kEnd - 100; ++day) {
    const auto [posted, codes] = Day(day);
    EXPECT_TRUE(posted.empty()) << "100 or more days left, on day " << day;
    EXPECT_TRUE(codes.empty());
  }
  for (uint32_t left = 99; left >= 1; --left) {
    const auto [posted, codes] = Day(kEnd - left);
    EXPECT_EQ(posted, (std::vector<PostedMessage>{{1, 268, left}, {1, 327, left}})) << left << " days left";
    EXPECT_TRUE(codes.empty());
  }
  {
    const auto [posted, codes] = Day(kEnd);
    EXPECT_EQ(posted, (std::vector<PostedMessage>{{1, 272, 0}}));
    EXPECT_TRUE(codes.empty());
    EXPECT_EQ(s.endReason, 0u);
  }
  {
    const auto [posted, codes] = Day(kEnd + 1);
    EXPECT_TRUE(posted.empty());
    EXPECT_EQ(codes, (std::vector<uint32_t>{98})) << "region 2 leads; the local region 1 lost";
    EXPECT_EQ(s.endReason, 95u);
    EXPECT_EQ(s.scenarioWinner, 2);
    EXPECT_EQ(s.winnersMask, 1u << 2);
  }
  // The decision is not taken again on the following days.
  for (uint32_t day = kEnd + 2; day < kEnd + 5; ++day) {
    const auto [posted, codes] = Day(day);
    EXPECT_TRUE(posted.empty());
    EXPECT_TRUE(codes.empty());
  }
  EXPECT_EQ(s.endReason, 95u);
}

TEST_F(VictoryTest, ScenarioWinnerThatIsTheLocalPlayerWins) {
  GameState& s = g_world.gameState;
  g_world.scenario.head.svictorycond = 3;
  s.endDay = 2452000;
  g_world.players[1].approval = 0.5f;
  g_world.players[2].approval = 0.5f;
  g_world.players[1].population = 1000.0f;
  g_world.players[2].population = 100.0f;
  const auto [posted, codes] = Day(2452001);
  EXPECT_EQ(codes, (std::vector<uint32_t>{99}));
  EXPECT_EQ(s.endReason, 5u);
  EXPECT_EQ(s.winnersMask, 1u << 1);
}

TEST_F(VictoryTest, AStatisticVictoryGoesToTheFirstOfEqualsAtTheDayLimit) {
  GameState& s = g_world.gameState;
  g_world.scenario.head.svictorycond = 6;
  s.endDay = 2452000;
  s.localPlayer = 2;
  g_world.players[1].statValues[6] = 7.0f;
  g_world.players[2].statValues[6] = 7.0f;
  EXPECT_TRUE(Day(2452000).second.empty()) << "not before the limit has passed";
  EXPECT_EQ(Day(2452001).second, (std::vector<uint32_t>{98}));
  EXPECT_EQ(s.endReason, 4u);
  EXPECT_EQ(s.winnersMask, 1u << 1);
}

TEST_F(VictoryTest, AStatisticVictoryOfTheLocalPlayer) {
  GameState& s = g_world.gameState;
  g_world.scenario.head.svictorycond = 9;
  s.endDay = 2452000;
  g_world.players[1].statValues[9] = 3.0f;
  g_world.players[2].statValues[9] = -2.0f;
  EXPECT_EQ(Day(2452001).second, (std::vector<uint32_t>{99}));
  EXPECT_EQ(s.winnersMask, 1u << 1);
}

TEST_F(VictoryTest, TimeoutVictoryAndPlainDayLimit) {
  GameState& s = g_world.gameState;
  g_world.scenario.head.svictorycond = 6;
  s.endDay = 2452000;
  g_world.players[1].timeoutVictory = 1;
  EXPECT_EQ(Day(2452001).second, (std::vector<uint32_t>{99}));
  EXPECT_EQ(s.endReason, 8u);
  EXPECT_EQ(s.winnersMask, 1u << 1);

  s.endReason = 0;
  s.winnersMask = 0;
  g_world.players[1].timeoutVictory = 0;
  g_world.scenario.head.svictorycond = 1;
  EXPECT_EQ(Day(2452001).second, (std::vector<uint32_t>{98}));
  EXPECT_EQ(s.endReason, 98u);
  EXPECT_EQ(s.winnersMask, 0u);
}

TEST_F(VictoryTest, ANetworkGameEndsOnlyByTheScenarioWinner) {
  GameState& s = g_world.gameState;
  g_commandNet.role = kNetGameHost;
  g_world.scenario.head.svictorycond = 6;
  s.endDay = 2452000;
  EXPECT_TRUE(Day(2452100).second.empty());
  EXPECT_EQ(s.endReason, 0u);
  g_world.scenario.head.svictorycond = 3;
  EXPECT_FALSE(Day(2452100).second.empty());
}

TEST_F(VictoryTest, NoDayLimitNoEnd) {
  g_world.scenario.head.svictorycond = 3;
  EXPECT_TRUE(Day(2452100).first.empty());
  g_world.scenario.head.svictorycond = 6;
  EXPECT_TRUE(Day(2452100).second.empty());
  EXPECT_EQ(g_world.gameState.endReason, 0u);
}

TEST_F(VictoryTest, EndGameHappensOnce) {
  EndGame(g_world, kEndElectionLost, 0, kTurnCodeElectionLost);
  EXPECT_EQ(g_world.gameState.endReason, 97u);
  EndGame(g_world, kEndScenarioWon, 2, kTurnCodeGameWon);
  EXPECT_EQ(g_world.gameState.endReason, 97u);
  EXPECT_EQ(g_world.gameState.winnersMask, 0u);
  EXPECT_EQ(TurnEventRecorder::Get().Codes(), (std::vector<uint32_t>{97}));
}

TEST_F(VictoryTest, StandingMovesTowardTheLeaders) {
  // Region 1 leads by count R1; nobody by R2. Region 2 is computer-led and
  // neutral toward it; difficulty 0.
  g_world.players[1].rankCountR1 = 5;
  g_world.players[2].rankCountR1 = 3;
  g_world.players[1].standing = 0.5f;
  g_world.players[1].tradeOpenness = 0.5f;
  g_world.players[1].approval = 0.3f;  // at the human target of 0.3: no drift
  CheckVictoryConditions(g_world);
  const PlayerRecord& leader = g_world.players[1];
  const PlayerRecord& other = g_world.players[2];
  EXPECT_FLOAT_EQ(leader.standing, 0.5f * 0.999f);
  EXPECT_FLOAT_EQ(leader.tradeOpenness, 0.5f * 0.998f);
  EXPECT_FLOAT_EQ(other.belligerence[1], 0.0015f);
  EXPECT_FLOAT_EQ(other.civilAttitude[1], -0.002f);
  EXPECT_FLOAT_EQ(other.diplomaticRelation[1], -0.002f);
  EXPECT_FLOAT_EQ(other.standing, 0.0015f) << "a drift of -0.0005 needs a standing above 0.01";
  EXPECT_NEAR(other.tradeOpenness, 0.0015f * 0.0015f, 1e-9);
  // Scores: [1] 10 x standing, [4] 10 x approval, [2] the budget term is 0.
  EXPECT_FLOAT_EQ(leader.scoreSums[1], 10.0f * leader.standing);
  EXPECT_FLOAT_EQ(leader.scoreSums[4], 3.0f);
  EXPECT_FLOAT_EQ(leader.scoreSums[2], 5.0f);
  EXPECT_NEAR(g_world.gameState.worldPopulation, 0.0f, 0.0f);
}

TEST_F(VictoryTest, FriendsGrowFondOfEachOther) {
  PlayerRecord& a = g_world.players[1];
  PlayerRecord& b = g_world.players[2];
  a.simPolicy.friendlyMask = 1u << 2;
  b.approval = 0.4f;
  CheckVictoryConditions(g_world);
  EXPECT_FLOAT_EQ(a.civilAttitude[2], 0.4f / 400.0f);
  EXPECT_FLOAT_EQ(a.diplomaticRelation[2], 0.0005f);
}

TEST_F(VictoryTest, HarderGamesTurnComputerRegionsAgainstPeople) {
  // Difficulty 3: f = 0.002, negated toward a person.
  g_world.scenario.head.difficulty = 3;
  PlayerRecord& computer = g_world.players[2];
  const PlayerRecord& person = g_world.players[1];
  CheckVictoryConditions(g_world);
  const float f = -0.002f;
  EXPECT_FLOAT_EQ(computer.civilAttitude[1], (1.5f - person.approval) * f);
  EXPECT_FLOAT_EQ(computer.belligerence[1], -((1.0f - 0.0f) * f));
}

class StatTablesTest : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    BuildWorld(6, 4, 2);
  }
};

TEST_F(StatTablesTest, InfluenceSharesAndRanksByHand) {
  PlayerRecord& a = g_world.players[1];
  PlayerRecord& b = g_world.players[2];
  a.approval = 0.2f;
  a.population = 100.0f;
  b.approval = 0.6f;
  b.population = 300.0f;
  UpdateStatTables(g_world);
  // Region 1 weighs itself (3 x 0.2 + 1) x 1.0 = 1.6 and region 2 at 3.0:
  // 100 x 1.6 / 4.6 and 100 x 3.0 / 4.6. Region 2 weighs region 1 at 1.0 and
  // itself (1.8 + 1) x 3.0 = 8.4: 300 x 1 / 9.4 and 300 x 8.4 / 9.4.
  const WorldStatTables& t = g_world.stats;
  const float one = 100.0f * 1.6f / 4.6f + 300.0f / 9.4f;
  const float two = 100.0f * 3.0f / 4.6f + 300.0f * 8.4f / 9.4f;
  EXPECT_NEAR(t.influence[1], one, 1e-3);
  EXPECT_NEAR(t.influence[2], two, 1e-3);
  EXPECT_NEAR(t.influence[1], 66.6975f, 1e-3);
  EXPECT_NEAR(t.influence[2], 333.3025f, 1e-3);
  EXPECT_EQ(t.leader, 2);
  EXPECT_NEAR(t.share[1], 66.6975f / 400.0f, 1e-5);
  EXPECT_NEAR(t.share[2], 333.3025f / 400.0f, 1e-5);
  EXPECT_EQ(t.rank[2], 1);
  EXPECT_EQ(t.rank[1], 2);

  const float before = t.influence[1];
  b.population = 0.0f;
  UpdateStatTables(g_world);
  EXPECT_FLOAT_EQ(t.previousInfluence[1], before);
  EXPECT_EQ(t.previousRank[2], 1);
}

TEST_F(StatTablesTest, ARegionWhoseWeightsAreAllZeroAddsNothingAndNoShareIsNaN) {
  g_world.players[2].kind = kKindEmpty;
  g_world.players[1].population = 500.0f;  // weighs only itself, at zero
  UpdateStatTables(g_world);
  const WorldStatTables& t = g_world.stats;
  EXPECT_EQ(t.influence[1], 0.0f);
  EXPECT_EQ(t.share[1], 0.0f);
  EXPECT_FALSE(std::isnan(t.share[1]));
  EXPECT_EQ(t.leader, 0);
  EXPECT_EQ(t.rank[1], 1);
}

TEST_F(StatTablesTest, HostilityBelowZeroCountsAsNoWeight) {
  PlayerRecord& a = g_world.players[1];
  PlayerRecord& b = g_world.players[2];
  a.approval = 0.2f;
  a.population = 100.0f;
  b.approval = 0.6f;
  a.belligerence[2] = 10.0f;  // 3.0 - 50 < 0: region 1 gives region 2 nothing
  UpdateStatTables(g_world);
  EXPECT_NEAR(g_world.stats.influence[1], 100.0f, 1e-4);
  EXPECT_EQ(g_world.stats.influence[2], 0.0f);
}

TEST_F(StatTablesTest, EqualInfluenceRanksTheHigherIndexFirst) {
  g_world.gameState.highestPlayer = 3;
  g_world.players[3].kind = kKindComputer;
  // Nobody has any weight: all influences are 0 and equal.
  UpdateStatTables(g_world);
  const WorldStatTables& t = g_world.stats;
  EXPECT_EQ(t.rank[3], 1);
  EXPECT_EQ(t.rank[2], 2);
  EXPECT_EQ(t.rank[1], 3);
}

}  // namespace
