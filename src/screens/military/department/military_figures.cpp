#include "screens/military/department/military_figures.h"

#include <algorithm>

#include "records/player_record.h"
#include "sim/daily/economy_fields.h"
#include "sim/player_services.h"
#include "sim/simulation_lock.h"
#include "units/facilities/upkeep_fields.h"
#include "units/unit_player_fields.h"
#include "world/world.h"

namespace {

namespace uf = unitfields;
namespace kf = upkeepfields;

// A running 16-bit count as the pages show it: a count driven below 0 by a
// lost update shows none.
uint16_t Count(const PlayerRecord& region, size_t at, int k) {
  const int16_t v = uf::Short(region, at + 2 * static_cast<size_t>(k));
  return static_cast<uint16_t>(v > 0 ? v : 0);
}

// The committed site count of the day's census, in whole sites.
uint16_t SiteCount(float sites) {
  if (!(sites > 0.0f)) return 0;
  return sites >= 65535.0f ? uint16_t{65535} : static_cast<uint16_t>(sites);
}

}  // namespace

MilitaryFigures MilitaryFiguresOf(const PlayerRecord& region) {
  const PlayerPolicyBlock& b = region.displayPolicy;
  MilitaryFigures f;
  f.techLevel = region.techLevel;
  f.militaryApproval = region.secondRating;
  f.governmentType = region.govtype;
  f.defcon = b.defcon;
  f.militaryFlags = b.militaryFlags;
  // The targets the daily upkeep sets and every unit's efficiency and
  // morale drift toward are the forces' standing ones.
  f.militaryEfficiency = uf::Real(region, kf::kQualityTarget1);
  f.morale = uf::Real(region, kf::kQualityTarget2);
  f.alertLevel = region.militarySpendIndex;
  f.kills = uf::Int(region, uf::kUnitsDestroyed);
  f.losses = uf::Int(region, uf::kUnitsLost);
  // Deploying moves soldiers from the pool to the forces on the map; nothing
  // draws on the pool for the active force otherwise, so reserveDrawn stays 0.
  f.activeForce = uf::Real(region, uf::kForcesOnMap);
  f.reservePool = region.soldiers;
  f.productionCapacity = SiteCount(economy::Real(region, economy::kCapacityByKind));
  // The units the build queue has in hand by category, submarines with
  // the sea.
  f.productionCapacityUsed[0] = Count(region, kf::kUnitsInBuild, 0);
  f.productionCapacityUsed[1] = Count(region, kf::kUnitsInBuild, 1);
  f.productionCapacityUsed[2] = static_cast<uint16_t>(
      std::min(Count(region, kf::kUnitsInBuild, 2) + Count(region, kf::kUnitsInBuild, 3), 65535));
  // The stock room the daily upkeep counts, which the build queue and the
  // computer players' missile batches keep within.
  f.militaryCapacity = kf::Word(region, kf::kStockCapacity);
  f.militaryCapacityUsed = kf::Word(region, kf::kStockUsed);
  for (int k = 0; k < 4; ++k) {
    f.unitCounts[k] = Count(region, uf::kMapCounts, k);
    f.reserveUnitCounts[k] = Count(region, uf::kReserveCounts, k);
    f.missileCounts[k] = Count(region, uf::kLoadedStock, k);
    f.missileReserveCounts[k] = Count(region, uf::kPooledStock, k);
  }
  f.salaryBaseCost = region.salaryBaseCost;
  f.milspendsalary = b.milspendsalary;
  f.intelBaseCost = region.intelBaseCost;
  f.milspendintel = b.milspendintel;
  f.maintenanceBaseCost = region.maintenanceBaseCost;
  f.milspendmaint = b.milspendmaint;
  f.researchBaseCost = region.researchBudget;
  f.milspendresearch = b.milspendresearch;
  f.researchLevelCap = ResearchLevelCap(region);
  f.readinessValue = b.readinessValue;
  f.trainingCostDaily = uf::Real(region, kf::kTrainingSpent);
  f.buildCostDaily = uf::Real(region, kf::kBuildSpent);
  f.militaryShortageDaily = uf::Real(region, kf::kBuildShortfall);
  return f;
}

MilitaryFigures LocalMilitaryFigures(const World& world) {
  const int32_t local = world.gameState.localPlayer;
  if (local < 0 || local >= kMaxPlayers) return {};
  MilitaryFigures f = MilitaryFiguresOf(world.players[local]);
  // What training and unit building took from the treasury on the last day,
  // which on a large treasury is more than the payments' own sum.
  if (const DayLedger* day = LastDayLedger(world, local)) {
    f.trainingCostDaily = static_cast<float>(day->Of(Ledger::kTraining));
    f.buildCostDaily = static_cast<float>(day->Of(Ledger::kUnitPurchases));
  }
  return f;
}

MilitaryFigures LockedLocalMilitaryFigures() {
  plat::CriticalSectionLock lock(g_simulationLock);
  return LocalMilitaryFigures(g_world);
}
