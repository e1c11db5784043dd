#pragma once
// The steps of one region's daily military upkeep, in the order the day runs
// them, and the helpers they share.
#include <cstdint>

struct World;
struct PlayerRecord;
struct UnitRecord;
struct UnitClassRecord;

// The build rate and first-target factors of the region's form of
// government (column 0 and column 1 of its row).
float BuildRateFactor(const PlayerRecord& region);
float FirstTargetFactor(const PlayerRecord& region);

// The region's build queue for the day: every unit on order pays, advances
// and, once done, is finished into the reserve (or merged into its stock).
void RunBuildQueue(World& world, int player);
// The units on the map, then the reserve with its training.
void RunMapUpkeep(World& world, int player);
void RunReserveUpkeep(World& world, int player);

// The quality drift of a non-stock unit toward the region's targets.
void DriftQuality(const PlayerRecord& owner, UnitRecord& unit);
// Free transport capacity of a carrier, folded into its owner's largest and
// smallest non-zero figures for the unit's kind.
void FoldFreeCapacity(World& world, PlayerRecord& owner, const UnitRecord& unit, const UnitClassRecord& cls);
// The slot of its build given back: a type-8 class from the owner's count,
// any other from the occupancy of the facility on its hex.
void ReleaseBuildSlot(World& world, UnitRecord& unit, const UnitClassRecord& cls);
// The m factor of weights and supply: halved for sea and submarine classes.
float SeaHalf(const UnitClassRecord& cls);
