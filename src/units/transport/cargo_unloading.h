#pragma once
// Units leaving their carriers, carried stock turned into the owner's
// reserve, and a unit withdrawn from the map into its base's reserve. Turn
// thread only, under the simulation lock; each change of a simulation order
// block is one update of the unit's outstanding count.
#include <cstdint>

struct World;
struct PlayerRecord;
struct UnitRecord;

// Takes the unit out of its carrier's chain and sets it down at its second
// hex (the carrier's hex when it has none): its movement rates worked out
// again, a landing delay for all but aircraft, its efficiency halved when it
// lands elsewhere than the carrier's hex without being amphibious, entered
// on the hex.
void UnitUnloadFromCarrier(World& world, UnitRecord& carrier, UnitRecord& unit);

// Moves as much of a carried stock unit as its order level allows (255: all)
// into its owner's reserve unit of the class (made when missing); below one
// point left it is empty, and an empty one leaves the carrier's chain and
// is destroyed. Its orders are cleared and the owner's pooled and loaded
// stock counters follow.
void UnitStockToReserve(World& world, UnitRecord& carrier, UnitRecord& stock);

// Empties the carrier: every ordinary unit lands on the carrier's hex, all
// stock goes to the reserve. A carrier with an escort then sends the
// aircraft that follow it one hex ahead of its heading, and has no escort.
void UnitUnloadAllCargo(World& world, UnitRecord& carrier);

// The direction (0 to 5) a heading (0 to 23, 15-degree steps clockwise from
// up) points most nearly along.
int HeadingDirection(uint8_t heading);

// Moves whole points of the stock unit, up to quantity, into the player's
// reserve unit of the class (made when missing); below one point left it is
// empty.
void UnitMoveStockToReserve(World& world, UnitRecord& stock, PlayerRecord& player, uint32_t quantity);

// Takes the unit off the map into the reserve of the base on its hex, when
// that base is its own side's and of the kind it wants: its orders cleared
// and given the flags and mask, its cargo unloaded, its supply back in the
// owner's stock, the counts and force values moved. 1 when done, else 0.
int UnitWithdrawToReserve(World& world, UnitRecord& unit, uint32_t orderFlags, uint32_t orderMask);
