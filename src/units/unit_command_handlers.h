#pragma once
// The unit subsystem's side of the unit-making and disbanding commands: the
// display pass makes the record at once on every peer under the command's
// sequence word, the simulation pass finds it again by that id and confirms
// it among the units on order. Also the search of a player's reserve (or a
// carrier's aircraft) for a unit of a class.
#include <cstdint>

struct World;
struct PlayerRecord;
struct UnitRecord;

// 275, display pass: a unit of the class made as by CreateUnit at no
// position with the size as a whole number, counted as one outstanding
// command of its own. Nothing when the id is taken or the class is not in
// the table. Returns the unit or null.
UnitRecord* CreateUnitAt(World& world, PlayerRecord& owner, uint32_t id, int32_t classIndex, int32_t size,
                         uint32_t flags);
// 272, simulation pass: the player's provisional unit with that id is
// confirmed and filed among the player's units on order; a class that is
// neither a stock class nor a facility adds one to the count of units on
// order. Returns the unit, or null when the player has no provisional unit
// of that id (nothing changes).
UnitRecord* ConfirmNewUnit(World& world, PlayerRecord& player, uint32_t id);
// 275, simulation pass: as ConfirmNewUnit, without touching the count of
// units on order, and its own outstanding count falls by one (its display
// orders follow the simulation orders once none is left).
UnitRecord* ConfirmOrderedUnit(World& world, uint32_t id, PlayerRecord& player, uint32_t classIndex, uint32_t size,
                               uint32_t flags);
// 273, simulation pass: disbands the unit with that id when it waits in the
// reserve or has no class, and is neither gone nor provisional: its stores
// go back to the player's supply and fuel stocks, its value (or the part of
// its building done) to the supply stock, the counts it stood in fall, and
// it is marked gone with its orders cleared. A player of -1 is the record's
// own.
void DisbandUnit(World& world, uint32_t unitId, int32_t player, PlayerRecord& record);

// Option bits of FindInPlayerUnitList.
inline constexpr uint32_t kFindStateBits = 0x3;     // equal to stateFlags bits 26-27
inline constexpr uint32_t kFindLoadPartner = 0x1;   // equal to orderFlags bit 28
inline constexpr uint32_t kFindLaunchAllowed = 0x4; // equal to ordersHeader bit 13

// The first unit of the player's table 1, air (with a carrier), or table 2,
// stock (without), that is live and confirmed, of the class, the player's,
// carried by that carrier (0: none, and then in the reserve), with no
// partner, and whose state bits 26-27, load bit and launch bit match the
// flags. Null when none matches.
UnitRecord* FindInPlayerUnitList(World& world, const PlayerRecord& player, int32_t classIndex, uint32_t flags,
                                 uint32_t carrierId);
