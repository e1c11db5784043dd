#pragma once
// How fast a unit moves over the map and how many hexes its fuel and supply
// carry it, worked out again whenever it is filed on the map or deployed.
#include <cstdint>

#include "world/data_tables.h"
#include "records/le_bytes.h"

struct World;
struct UnitRecord;
struct OrderBlock;

// A class's speed is 0 when it cannot move; its movement type runs 0 to 7
// (5 sea, 6 lands anywhere, 7 carrier-borne aircraft); a stock class's range
// below 1000 eases its consumption.

// Where the speed percentage comes from. The orders' speed setting (field 0
// of the settings word: 50, 100, 150 or 200) is what a player's movement
// orders ask for; the stored percentage (orders byte 42, 0 read as 100) is
// what the unit step last set, circling or approaching included.
enum class SpeedSource { kStoredPercent, kOrderedSetting };

// The speed percentage the orders' setting asks for: (field 0 + 1) x 50.
uint8_t OrderedSpeedPercent(const OrderBlock& orders);

// Sets the unit's moveRate, speedFactor and rateRatio from its class, its
// orders' speed percentage and the map, and its rangeLeft from its load and
// the class's consumption. A unit of an immobile class gets rate and factor
// 0 and keeps its range. A unit without a class is left alone. With the
// ordered setting the simulation orders' byte 42 is first set from it.
// The hexes the unit's fuel and supply carry it at its present speed
// factor (the rangeLeft that RecomputeMovementRates stores); the unit's
// own value for a unit without a class.
int32_t UnitRangeLeft(const World& world, const UnitRecord& unit);

void RecomputeMovementRates(World& world, UnitRecord& unit, SpeedSource source = SpeedSource::kStoredPercent);
