#pragma once
// A region's day and turn accumulators, its daily alerts and its elections.
// Steps of the daily driver, run on the turn thread.
#include <cstdint>

struct PlayerRecord;
struct World;

void ClearPlayerTurnCounters(World& world, PlayerRecord& region);
void PlayerDaySnapshot(World& world, PlayerRecord& region);
void PlayerDayCommit(World& world, PlayerRecord& region);
void SavePlayerTurnTotals(World& world, PlayerRecord& region);
void DailyPlayerAlerts(World& world, PlayerRecord& region);
void RunElection(World& world, PlayerRecord& region);
