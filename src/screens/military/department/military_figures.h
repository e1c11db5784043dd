#pragma once
// The figures of the local region's armed forces that the military
// department's pages show, gathered from the world in one place so that
// the pages fill their controls from a plain copy.
#include <cstdint>

struct PlayerRecord;
struct World;

struct MilitaryFigures {
  // Summary.
  float techLevel = 0.0f;
  float militaryApproval = 0.0f;  // the record's second rating
  uint8_t governmentType = 0;
  int32_t defcon = 0;  // the display copy's alert value, as stored
  float militaryEfficiency = 0.0f;
  float morale = 0.0f;
  float alertLevel = 0.0f;
  int32_t kills = 0;
  int32_t losses = 0;
  float activeForce = 0.0f;
  float reservePool = 0.0f;
  float reserveDrawn = 0.0f;
  // Production and missiles.
  uint32_t militaryFlags = 0;  // display copy: bit 3 unit auto-build, bit 4 missile auto-build
  uint16_t productionCapacity = 0;
  uint16_t productionCapacityUsed[3] = {};
  uint16_t unitCounts[4] = {};  // land, air, sea, submarine
  uint16_t reserveUnitCounts[4] = {};
  uint16_t militaryCapacity = 0;
  uint16_t militaryCapacityUsed = 0;
  uint16_t missileCounts[4] = {};  // nuclear, (unshown), chemical, conventional
  uint16_t missileReserveCounts[4] = {};
  // Costs: base costs yearly at level 1.0, levels from the display copy.
  float salaryBaseCost = 0.0f;
  float milspendsalary = 0.0f;
  float intelBaseCost = 0.0f;
  float milspendintel = 0.0f;
  float maintenanceBaseCost = 0.0f;
  float milspendmaint = 0.0f;
  float researchBaseCost = 0.0f;
  float milspendresearch = 0.0f;
  float researchLevelCap = 0.0f;  // the highest research level paid for
  float readinessValue = 0.0f;  // yearly alert preparation cost
  float trainingCostDaily = 0.0f;
  float buildCostDaily = 0.0f;
  float militaryShortageDaily = 0.0f;
};

// The figures of one region, from where the daily steps keep them. The
// simulation keeps no drawn reserve: it stays 0. The production capacity in
// use is the units in build (land, air, sea with submarines); the missile
// capacity and its use are the stock room of the region's launch
// facilities and the stock weapons held and on order against it.
MilitaryFigures MilitaryFiguresOf(const PlayerRecord& region);
// The local region's; the caller holds the simulation lock. All 0 when the
// local player number is out of range.
MilitaryFigures LocalMilitaryFigures(const World& world);
// The same for the world the screens show, taken under the simulation lock.
MilitaryFigures LockedLocalMilitaryFigures();

