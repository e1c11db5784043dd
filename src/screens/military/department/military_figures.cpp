#include "screens/military/department/military_figures.h"

#include "records/player_record.h"
#include "sim/player_services.h"
#include "units/unit_player_fields.h"
#include "world/world.h"

MilitaryFigures MilitaryFiguresOf(const PlayerRecord& region) {
  const PlayerPolicyBlock& b = region.displayPolicy;
  MilitaryFigures f;
  f.techLevel = region.techLevel;
  f.militaryApproval = region.secondRating;
  f.governmentType = region.govtype;
  f.defcon = b.defcon;
  f.militaryFlags = b.militaryFlags;
  f.kills = unitfields::Int(region, unitfields::kUnitsDestroyed);
  f.losses = unitfields::Int(region, unitfields::kUnitsLost);
  for (int k = 0; k < 4; ++k) {
    f.unitCounts[k] = region.unitCounts[k];
    const int16_t reserve = unitfields::Short(region, unitfields::kReserveCounts + 2 * static_cast<size_t>(k));
    f.reserveUnitCounts[k] = static_cast<uint16_t>(reserve > 0 ? reserve : 0);
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
  return f;
}

MilitaryFigures LocalMilitaryFigures(const World& world) {
  const int32_t local = world.gameState.localPlayer;
  if (local < 0 || local >= kMaxPlayers) return {};
  return MilitaryFiguresOf(world.players[local]);
}
