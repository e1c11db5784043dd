#pragma once
// The unit subsystem's side of the unit-making and bookkeeping commands: the
// display pass makes the record at once on every peer under the command's
// sequence word, the simulation pass finds it again by that id and confirms
// it.
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
// 272, simulation pass: the unit with that id is no longer provisional.
void ReleaseUnitA(World& world, uint32_t id);
// 275, simulation pass: the unit with that id is no longer provisional, and
// its own count falls by one (its display orders follow the simulation
// orders once none is left).
void ReleaseUnitB(World& world, PlayerRecord& owner, uint32_t id, uint32_t arg28, uint32_t arg32, uint32_t arg36);
// 273, simulation pass: disbands the unit with that id when it waits in the
// reserve or has no class, and is neither gone nor provisional. A player of
// -1 is the record's own.
void UnitBookkeeping(World& world, PlayerRecord& owner, uint32_t unitId, int32_t player);
// 274: (re)registers the unit in its owner's unit tables and its hex's
// chains, in the copy of the pass.
void ScheduleUnit(World& world, UnitRecord& unit, int pass);
