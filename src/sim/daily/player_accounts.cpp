#include "sim/daily/player_accounts.h"

#include "world/player_record.h"
#include "world/world.h"

void ClearPlayerTurnCounters(World&, PlayerRecord&) {
  // The turn accumulators come with the region accounts.
}

void PlayerDaySnapshot(World&, PlayerRecord&) {
  // The day accumulators come with the region accounts.
}

void PlayerDayCommit(World&, PlayerRecord&) {
  // The day's commit comes with the region accounts.
}

void SavePlayerTurnTotals(World&, PlayerRecord&) {
  // The turn's totals come with the region accounts.
}

void DailyPlayerAlerts(World&, PlayerRecord&) {
  // The daily alerts come with the region accounts.
}

void RunElection(World&, PlayerRecord&) {
  // Elections come with the region accounts.
}
