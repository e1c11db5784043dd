#include "sim/victory.h"

#include <cmath>

#include "net/command_network.h"
#include "sim/daily/elimination.h"
#include "sim/daily/unit_handover.h"
#include "sim/message_ids.h"
#include "sim/player_message_link.h"
#include "sim/relations.h"
#include "sim/sim_ui_link.h"
#include "world/derived_tables.h"
#include "world/world.h"

namespace {

constexpr float kStandingStep = 0.0015f;
constexpr float kPairCeiling = 0.9f;
constexpr float kPairFloor = -0.9f;
constexpr float kNoValue = -1000000000.0f;
constexpr int32_t kDaysOfWarning = 100;
constexpr int32_t kStatisticKindFirst = 4;
constexpr int32_t kStatisticKindLast = 9;
constexpr int32_t kScenarioWinnerKind = 3;
// Units handed over at the game's end go to the winner even when they stand
// off the map.
constexpr int32_t kTransferAtGameEnd = 1;

enum RelationClass { kRelSelf = 1, kRelFriendly = 2, kRelNeutral = 4, kRelHostile = 8 };


int32_t HighestPlayer(const World& world) {
  const int32_t highest = world.gameState.highestPlayer;
  return highest < kMaxPlayers ? highest : kMaxPlayers - 1;
}

int RelationOf(const World& world, int p, int q) {
  if (p == q) return kRelSelf;
  const PlayerPolicyBlock& block = world.players[p].simPolicy;
  const uint32_t bit = 1u << q;
  if (block.hostileMask & bit) return kRelHostile;
  if (block.friendlyMask & bit) return kRelFriendly;
  return kRelNeutral;
}

void AddBelow(float& value, float amount, float ceiling) {
  if (value < ceiling) value += amount;
}

void AddAbove(float& value, float amount, float floor) {
  if (value > floor) value += amount;
}

// Leader A holds the most of count R1, leader B of count R2; the first of
// equals wins, and nobody leads while every count is 0.
void FindLeaders(World& world, int& leaderA, int& leaderB) {
  GameState& state = world.gameState;
  state.worldPopulation = 0.0f;
  leaderA = 0;
  leaderB = 0;
  uint16_t bestA = 0;
  uint16_t bestB = 0;
  for (int p = 0; p < kMaxPlayers; ++p) {
    const PlayerRecord& region = world.players[p];
    if (!TakesPart(region)) continue;
    state.worldPopulation += region.population;
    if (region.rankCountR1 > bestA) {
      bestA = region.rankCountR1;
      leaderA = p;
    }
    if (region.rankCountR2 > bestB) {
      bestB = region.rankCountR2;
      leaderB = p;
    }
  }
}

void MoveStandingTowardLeader(World& world, int p, int leader, float step) {
  if (leader == 0) return;
  PlayerRecord& region = world.players[p];
  if (leader == p) {
    region.standing *= 0.999f;
    region.tradeOpenness *= 0.998f;
    return;
  }
  if (RelationOf(world, p, leader) != kRelFriendly) {
    region.belligerence[leader] += kStandingStep;
    AddAbove(region.civilAttitude[leader], -0.002f, kPairFloor);
    AddAbove(region.diplomaticRelation[leader], -0.002f, kPairFloor);
  }
  AddBelow(region.standing, step, kPairCeiling);
  AddBelow(region.tradeOpenness, step * region.standing, kPairCeiling);
}

void AddScores(PlayerRecord& region) {
  const PlayerPolicyBlock& block = region.simPolicy;
  const float research = block.milspendresearch;
  region.scoreSums[3] += 5.0f * std::sqrt(research > 0.0f ? research : 0.0f);
  region.scoreSums[1] += 10.0f * region.standing;
  region.scoreSums[4] += 10.0f * region.approval;
  region.scoreSums[5] += 10.0f * region.secondRating;
  const float balance = block.budgetBalance;
  const float divisor = std::fabs(balance) + block.budgetSpending + 1.0f;
  const float budgetTerm = divisor != 0.0f ? 20.0f * balance / divisor : 0.0f;
  region.scoreSums[2] += 2.0f * region.creditRating + budgetTerm + 5.0f;
  region.scoreSums[0] += 10.0f * (region.approval + region.standing + research);
}

void DriftStanding(PlayerRecord& region, float difficulty) {
  const bool human = region.kind == kKindHuman;
  const float target = human ? 0.3f + 0.1f * difficulty : 0.2f - 0.1f * difficulty;
  const float g = (region.approval - target) / 400.0f;
  if (g < 0.0f && region.standing > 0.01f) {
    region.standing = (g + 1.0f) * region.standing + g;
    if (region.tradeOpenness > 0.01f) region.tradeOpenness = (g + 1.0f) * region.tradeOpenness + difficulty * g;
  } else if (g > 0.0f && region.standing < kPairCeiling) {
    region.standing = (g + 1.0f) * region.standing + g;
    const float h = human ? 0.0f : difficulty * g;
    if (region.tradeOpenness < kPairCeiling) region.tradeOpenness = (g + 1.0f) * region.tradeOpenness + h;
  }
}

void MoveOpinions(World& world, int p, uint8_t difficulty) {
  PlayerRecord& region = world.players[p];
  const int32_t highest = HighestPlayer(world);
  for (int q = 1; q <= highest; ++q) {
    if (q == p) continue;
    const PlayerRecord& other = world.players[q];
    const int relation = RelationOf(world, p, q);
    if (relation == kRelFriendly) {
      AddBelow(region.civilAttitude[q], other.approval / 400.0f, kPairCeiling);
      AddBelow(region.diplomaticRelation[q], 0.0005f, kPairCeiling);
      continue;
    }
    if (relation != kRelNeutral || region.kind == kKindHuman || difficulty <= 1) continue;
    float f = static_cast<float>(difficulty - 1) * 0.001f;
    if (other.kind == kKindHuman) f = -f;
    if (f > 0.0f) {
      AddBelow(region.civilAttitude[q], 2.0f * f * other.approval, kPairCeiling);
      AddBelow(region.diplomaticRelation[q], 2.0f * f * other.standing, kPairCeiling);
    } else if (f < 0.0f) {
      AddAbove(region.civilAttitude[q], (1.5f - other.approval) * f, kPairFloor);
      AddAbove(region.diplomaticRelation[q], (2.0f - other.standing) * f, kPairFloor);
      AddBelow(region.belligerence[q], -((1.0f - other.standing) * f), kPairCeiling);
    }
  }
}

void DecideScenarioWinner(World& world) {
  GameState& state = world.gameState;
  if (state.endDay == 0) return;
  if (state.localPlayer < 0 || state.localPlayer >= kMaxPlayers) return;
  PlayerRecord& local = world.players[state.localPlayer];
  if (state.currentDay > state.endDay) {
    const int leader = world.stats.leader;
    state.scenarioWinner = static_cast<uint8_t>(leader);
    const int32_t highest = HighestPlayer(world);
    for (int q = 1; q <= highest; ++q) {
      if (q == leader || !TakesPart(world.players[q])) continue;
      PlayerSurrender(world, q, leader, kSurrenderAllOptions);
      TransferPlayerUnits(world, world.players[q], kTransferAtGameEnd);
    }
    const bool won = leader == state.localPlayer;
    EndGame(world, won ? kEndScenarioWon : kEndScenarioLost, 1u << leader, won ? kTurnCodeGameWon : kTurnCodeGameLost);
    return;
  }
  if (state.currentDay == state.endDay) {
    PostPlayerMessageTo(world, local, state.localPlayer, kMsgLastDay, 0);
    return;
  }
  const uint32_t daysLeft = state.endDay - state.currentDay;
  if (daysLeft < static_cast<uint32_t>(kDaysOfWarning)) {
    PostPlayerMessageTo(world, local, state.localPlayer, kMsgDaysLeftA, daysLeft);
    PostPlayerMessageTo(world, local, state.localPlayer, kMsgDaysLeftB, daysLeft);
  }
}

void DecideAtDayLimit(World& world, int32_t victoryKind, bool networkGame) {
  GameState& state = world.gameState;
  if (networkGame || state.endDay == 0 || state.currentDay <= state.endDay) return;
  const int local = state.localPlayer;
  if (local < 0 || local >= kMaxPlayers) return;
  if (world.players[local].timeoutVictory) {
    EndGame(world, kEndTimeoutVictory, 1u << local, kTurnCodeGameWon);
    return;
  }
  if (victoryKind < kStatisticKindFirst || victoryKind > kStatisticKindLast) {
    EndGame(world, kEndDayLimit, 0, kTurnCodeGameLost);
    return;
  }
  int winner = local;
  float best = kNoValue;
  const int32_t highest = HighestPlayer(world);
  for (int q = 1; q <= highest; ++q) {
    const PlayerRecord& region = world.players[q];
    if (!TakesPart(region)) continue;
    if (region.statValues[victoryKind] > best) {
      best = region.statValues[victoryKind];
      winner = q;
    }
  }
  EndGame(world, kEndStatisticWinner, 1u << winner, winner == local ? kTurnCodeGameWon : kTurnCodeGameLost);
}

}  // namespace

void EndGame(World& world, uint32_t reason, uint32_t winners, uint32_t code) {
  GameState& state = world.gameState;
  if (state.endReason != 0) return;
  state.endReason = reason;
  state.winnersMask |= winners;
  PostTurnEvent(code);
}

void UpdateStatTables(World& world) {
  WorldStatTables& stats = world.stats;
  const int32_t highest = HighestPlayer(world);
  for (int p = 1; p <= highest; ++p) {
    stats.previousInfluence[p] = stats.influence[p];
    stats.previousShare[p] = stats.share[p];
    stats.previousRank[p] = stats.rank[p];
    stats.influence[p] = 0.0f;
    stats.share[p] = 0.0f;
    stats.rank[p] = 0;
  }

  for (int p = 1; p <= highest; ++p) {
    const PlayerRecord& region = world.players[p];
    if (!TakesPart(region)) continue;
    float weights[kMaxPlayers] = {};
    float sum = 0.0f;
    for (int q = 1; q <= highest; ++q) {
      const PlayerRecord& other = world.players[q];
      if (!TakesPart(other)) continue;
      float w = 5.0f * other.approval + 3.0f * other.gdpInput2 + 2.0f * other.creditRating +
                2.0f * other.standing + other.efficiency + other.gdpInput6 + other.gdpInput4 + other.gdpInput1 +
                other.secondRating;
      if (q == p) {
        w = (3.0f * region.approval + 1.0f) * w;
      } else {
        w = 8.0f * region.civilAttitude[q] + 2.0f * (other.civilAttitude[p] + region.diplomaticRelation[q]) +
            (w - 5.0f * region.belligerence[q]) + other.diplomaticRelation[p];
      }
      if (!(w > 0.0f)) w = 0.0f;
      weights[q] = w;
      sum += w;
    }
    // A region whose weights are all zero spreads nothing.
    if (!(sum > 0.0f)) continue;
    for (int q = 1; q <= highest; ++q) stats.influence[q] += weights[q] / sum * region.population;
  }

  stats.leader = 0;
  float best = 0.0f;
  float total = 0.0f;
  for (int q = 1; q <= highest; ++q) {
    total += stats.influence[q];
    if (stats.influence[q] > best) {
      best = stats.influence[q];
      stats.leader = q;
    }
  }
  for (int q = 1; q <= highest; ++q) {
    stats.share[q] = total != 0.0f ? stats.influence[q] / total : 0.0f;
    if (!TakesPart(world.players[q])) continue;
    int32_t rank = 1;
    for (int r = 1; r <= highest; ++r) {
      if (r == q || !TakesPart(world.players[r])) continue;
      if (stats.influence[r] > stats.influence[q] || (stats.influence[r] == stats.influence[q] && r > q)) ++rank;
    }
    stats.rank[q] = rank;
  }
}

void CheckVictoryConditions(World& world) {
  GameState& state = world.gameState;
  int leaderA = 0;
  int leaderB = 0;
  FindLeaders(world, leaderA, leaderB);
  ApplyTechEffects(world);

  const uint8_t difficulty = world.scenario.head.difficulty;
  const int32_t highest = HighestPlayer(world);
  for (int p = 1; p <= highest; ++p) {
    PlayerRecord& region = world.players[p];
    if (!TakesPart(region)) continue;
    const float step =
        region.kind == kKindHuman ? kStandingStep / (static_cast<float>(difficulty) + 1.0f) : kStandingStep;
    MoveStandingTowardLeader(world, p, leaderA, step);
    MoveStandingTowardLeader(world, p, leaderB, step);
    AddScores(region);
    DriftStanding(region, static_cast<float>(difficulty));
    MoveOpinions(world, p, difficulty);
  }

  UpdateStatTables(world);

  // An ended game stays ended: the decision is not taken again.
  if (state.endReason != 0) return;
  const int32_t victoryKind = world.scenario.head.svictorycond;
  if (victoryKind == kScenarioWinnerKind)
    DecideScenarioWinner(world);
  else
    DecideAtDayLimit(world, victoryKind, IsNetworkGame(g_commandNet));
}
