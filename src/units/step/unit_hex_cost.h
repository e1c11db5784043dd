#pragma once
// What a hex costs a unit in its step: the cost of standing in its own hex,
// the cost of crossing into a neighbour (by its move kind, ships by the sea
// column), and the way out of a hex that gives it no cost at all.
#include <cstdint>

struct World;
struct HexCell;
struct UnitRecord;

// The cost of the unit's own hex for its class's movement type, lowered by
// a standing facility, the crossing mark and active works; stored in the
// unit's cost byte. A hex that gives nothing is replaced by FacingHexCost.
uint32_t StandingHexCost(World& world, UnitRecord& unit);

// The cost of crossing from `from` into its neighbour `to` in direction d,
// 0 when refused. entryMask: the players whose hexes the unit may enter; a
// refusal notes the entered hex's owner against the left hex's owner.
uint32_t UnitCrossingCost(World& world, const UnitRecord& unit, uint32_t entryMask, const HexCell& from,
                          const HexCell& to, int d);

// The six directions FacingHexCost tries, starting with the one the facing
// (0 to 23) points at.
void FacingTryOrder(int facing, int order[6]);

// The first neighbour, in facing order, that the unit can enter and leave
// again in the same direction: its cost byte (0 for none) and, in `way`,
// that neighbour, which the unit is to move to.
uint32_t FacingHexCost(World& world, const UnitRecord& unit, uint32_t* way = nullptr);
