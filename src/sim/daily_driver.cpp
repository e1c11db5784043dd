#include "sim/daily_driver.h"

#include "sim/daily/elimination.h"
#include "sim/daily/force_ranking.h"
#include "sim/daily/gdp.h"
#include "sim/daily/hex_pass.h"
#include "sim/daily/military_research.h"
#include "sim/daily/player_accounts.h"
#include "sim/daily/population.h"
#include "sim/daily/product_economy.h"
#include "sim/daily/recurring_payments.h"
#include "sim/daily/world_body.h"
#include "sim/daily/world_market.h"
#include "sim/victory.h"
#include "units/facilities/military_upkeep.h"
#include "units/spotting/range_map.h"
#include "world/derived_tables.h"
#include "world/world.h"

namespace {

bool IsActive(const PlayerRecord& region) { return region.kind == kKindHuman || region.kind == kKindComputer; }

int32_t HighestPlayer(const World& world) {
  const int32_t highest = world.gameState.highestPlayer;
  return highest < kMaxPlayers ? highest : kMaxPlayers - 1;
}

void KeepYesterday(PlayerRecord& region) {
  region.yesterdayTotals[0] = region.approval;
  region.yesterdayTotals[1] = region.secondRating;
  region.yesterdayTotals[2] = region.standing;
  region.yesterdayTotals[3] = region.creditRating;
  region.yesterdayHexCount = region.hexCount;
  region.yesterdayGdpPerCapita = region.gdpPerCapita;
  region.yesterdayDefcon = region.simPolicy.defcon;
}

// The day's population and GDP, and the cost factor that follows from the
// region's GDP per head against the world's.
void UpdateDayEconomy(World& world, PlayerRecord& region) {
  region.dayPopulation += region.dayLeadValue;
  region.gdp = region.dayPopulation * region.gdpPerCapita;
  UpdateCostFactor(world, region);
}

}  // namespace

void RunDailyProcessing(World& world) {
  GameState& state = world.gameState;
  const int32_t highest = HighestPlayer(world);
  state.dailyFlags |= kDailyDriverRunning;

  for (int32_t p = 0; p <= highest; ++p) {
    PlayerRecord& region = world.players[p];
    if (!IsActive(region)) continue;
    DailyPlayerAlerts(world, region);
    KeepYesterday(region);
    PlayerDaySnapshot(world, region);
  }

  BuildRangeMap(world);
  DailyHexPass(world);
  DailyMilitaryUpkeep(world);

  for (int32_t p = 0; p <= highest; ++p) {
    PlayerRecord& region = world.players[p];
    CheckElimination(world, region, 0, 2, 96);
    if (!IsActive(region)) continue;
    UpdateDayEconomy(world, region);
    DailyProductPrices(world, region);
    DailyProductOutput(world, region);
    DailyProduction(world, region);
    RunRecurringItems(world, region);
  }

  ClearWorldMarket(world);

  for (int32_t p = 0; p <= highest; ++p) {
    PlayerRecord& region = world.players[p];
    if (region.kind == kKindWorld) {
      RunWorldBodyDay(world, region);
      continue;
    }
    if (!IsActive(region)) continue;
    DailyBudgetAndTrade(world, region);
    DailyPopulation(world, region);
    DailySociety(world, region);
    DailyMilitaryResearch(world, region);
    DailyGdpCalc(world, region);
    PlayerDayCommit(world, region);
    RunElection(world, region);
  }

  CountRegionForces(world);
  CheckVictoryConditions(world);
  state.dailyFlags &= static_cast<uint8_t>(~kDailyDriverRunning);
  for (int32_t p = 0; p <= highest; ++p) world.players[p].dayWord = 0;
  CloseDayLedgers(world);
}
