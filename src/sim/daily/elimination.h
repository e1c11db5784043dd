#pragma once
// A region's capital and elimination, the hand-over of its hexes and units,
// and the end-of-turn top-up of computer regions' treasuries.
// Steps of the daily driver, run on the turn thread.
#include <cstddef>
#include <cstdint>

#include "world/capital_hex.h"  // the capital the daily steps keep

struct GameState;
struct PlayerPolicyBlock;
struct PlayerRecord;
struct World;

// The byte of the region naming its heir.
inline constexpr size_t kRecordSuccessor = 6;  // u8: 0 none; PlayerRecord::successor

// Whether the region's capital at `at` stands: a hex of the region's own
// whose lead facility is a live settlement. (0, 0) is no capital.
bool CapitalStands(const World& world, const PlayerRecord& region, CapitalPosition at);
// The capital kept or moved, and the region eliminated when it holds no
// land, no people or no capital (or when forced): its hexes, units and
// relations handed on and the game ended when that decides it.
void CheckElimination(World& world, PlayerRecord& region, int32_t force, int32_t endReasonLastStanding,
                    int32_t endReasonLocalLost);
// Message 358 about the region to every other region, and the chat line
// `format` (one %d for the region's number, one %s for its name) to every
// player.
void AnnounceRegionGone(World& world, const PlayerRecord& region, const char* format);
// Hands the player's hexes to its neighbours, then to anyone, player 0
// included.
void DistributeHexes(World& world, int player);
void TransferOnElimination(World& world, PlayerRecord& region, int32_t endReasonLastStanding,
                           int32_t endReasonLocalLost);
void TopUpKind3Reserve(World& world);
