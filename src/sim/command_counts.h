#pragma once
// The counters of the two-pass scheme. A player's command counter and its
// count of outstanding commands, and a unit's count, are changed by the
// posting threads under the command-log lock and by the turn thread under
// the simulation lock, so every change here is atomic: posting takes the
// next counter with one fetch-and-add, so no two commands share a sequence
// word; catching up raises the counter to a seen value and never lowers
// it; counts never go below zero.
//
// When a count falls to zero in the simulation pass the simulation copy
// replaces the display copy; that happens under the command-log lock so a
// display pass running at the same time on another thread is never
// overwritten half way.
#include <cstdint>

struct World;
struct PlayerRecord;
struct UnitRecord;

// The player's counter after adding one (the new command's counter).
uint32_t NextCommandCounter(PlayerRecord& player);
// Raises the counter to `counter` when it is lower.
void CatchUpCommandCounter(PlayerRecord& player, uint32_t counter);
uint32_t CommandCounter(const PlayerRecord& player);

// One more outstanding command of the player.
void AddPendingCommand(PlayerRecord& player);
// One fewer (not below zero); returns the count left.
int32_t DropPendingCommand(PlayerRecord& player);
int32_t PendingCommands(const PlayerRecord& player);

// The counting of the handlers that refresh the display policy block
// themselves: copy 0 counts one up; copy 1 counts one down and, when none
// is left, copies the simulation block over the display block.
void PendingCommandCount(World& world, PlayerRecord& player, int copy);

// A unit's count, with the same rule for its order blocks: pass 0 counts
// one up; pass 1 one down and, at zero, copies the simulation orders over
// the display orders.
void CountUnitOrder(World& world, UnitRecord& unit, int pass);
int32_t UnitOutstanding(const UnitRecord& unit);
