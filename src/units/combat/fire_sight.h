#pragma once
// What a side sees, as the fire rules ask it: a hex on the spotting map, a
// unit under the rule that each unit decides who sees it.
#include <cstdint>

struct World;
struct UnitRecord;

// Whether the player or a player sharing its sight spots the hex. Until a
// spotting map exists (or when it does not fit the map) every hex counts as
// spotted; a position off the map is spotted by no one.
bool SideSpotsHex(const World& world, uint32_t position, int player);

// The unit's seen-by mask holds the player or a player sharing its sight.
// A partner's own unit is not seen by this alone: the defence count of a
// computer player's facilities counts another owner's unit only so.
bool UnitSeenBySide(const World& world, const UnitRecord& unit, int player);

// The unit is visible to the player's side: always unless the fog and the
// per-unit sight rules are both on; then when it is the side's own or a
// sight partner's (what the fire and entry rules see), or it is seen by the
// side (UnitSeenBySide).
bool UnitVisibleToSide(const World& world, const UnitRecord& unit, int player);
