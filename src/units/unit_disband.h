#pragma once
// Disbanding a unit: its stores go back to its owner, its cargo is set down,
// and its worth is refunded (into the supply stock, or sold for money at
// the supply market price) before it leaves the world. Turn thread, under
// the simulation lock.
#include <cstdint>

struct World;
struct UnitRecord;
struct UnitClassRecord;

// The weight-based value a disbanded unit returns: full strength x weight
// per point x (strength / full strength) x 0.9, halved for ships and
// submarines; 0 for a class without a full strength.
float DisbandBaseValue(const UnitClassRecord& cls, float strength);

// Returns the unit's fuel, ammunition and supply cargo to its owner's
// stocks, unloads what it carries (the cargo stays in the world), refunds
// its value (sell 0: into the supply stock; otherwise sold into the
// treasury), tells the local player, and destroys it quietly. A unit
// already gone is left alone.
void UnitDisbandToStock(World& world, UnitRecord& unit, uint32_t sell);
