#pragma once
// Read-only questions about units and unit classes: what a unit carries,
// where the nearest usable base of a kind is, whether a class can be built
// or used, and a figure of a class for the computer players' weighing. The
// interface and the computer players ask them without the simulation lock;
// none changes the world.
#include <cstdint>

struct World;
struct UnitRecord;
struct UnitClassRecord;

// The load of the unit: its own stores (ownStores) and, unless it is itself
// carried, what it carries: each carried unit with strength counted by the
// ordinary and stock switches, as its stores, weight and ammunition.
float UnitLoadTotal(const World& world, const UnitRecord& unit, bool ownStores, bool ordinary, bool stock);
// The unit's own weight and ammunition, its stores (ownStores) and the same
// sum of each counted carried unit.
float UnitCarriedSum(const World& world, const UnitRecord& unit, bool ownStores, bool ordinary, bool stock);

// The kind of base a facility class makes: 2 a haven, 1 an airfield, 0 a
// settlement that loads units; -1 none.
int BaseKindOf(const UnitClassRecord& c);

// The position of the nearest usable base of the kind (-1: the kind the unit
// wants; 0 land, 1 air, 2 sea) of the unit's side to position (0: the first
// found), or, unless ownSideOnly, of a player granting basing of that kind
// when strictly nearer. requireLoadable asks for a class that loads units.
// 0 when there is none.
uint32_t FindNearestBase(const World& world, const UnitRecord& unit, int baseKind, uint32_t position,
                         bool ownSideOnly, bool requireLoadable);

// The player's availability byte for the class (bit 0 available, bit 4
// available for design); 0 where the rows do not reach.
uint8_t ClassAvailabilityByte(const World& world, int player, int32_t classIndex);

// The four switches of the interface's class lists.
struct ClassListFilters {
  bool showHidden = false;       // classes whose availability has bit 3
  bool onlyMarked = false;       // only classes whose availability has bit 1
  bool ignoreSuccessor = false;  // no successor check
  bool ignoreThreshold = false;  // no build-queue threshold test
};

// Whether the class can be had: in use, of the level, for the player (-1:
// anyone) in the availability mode, not replaced by an available successor
// (with checkSuccessor), of the capacity, category mask, wanted category
// (-1: any) and cargo kind (0 any, 1 plain stock, 2 special stock). 1 or 0.
int UnitClassAvailable(const World& world, int32_t classIndex, int wantedCategory, int level, int player,
                       bool checkSuccessor, int mode, const ClassListFilters* filters, int cargoKind,
                       int minCapacity, uint32_t categoryMask);

// A figure of the class by statistic id (attack and defence ratings,
// speed, capacity, costs...), for the computer players' weighing.
float UnitClassStat(const World& world, int32_t classIndex, int statistic);
