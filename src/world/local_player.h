#pragma once
// The region this machine plays, found one way everywhere: the game state's
// local index when it names a slot of the player table. Otherwise (no game
// yet, an index left out of range) there is no local region, and a screen
// shows nothing rather than another region's figures.
#include <cstdint>

struct PlayerRecord;
struct World;

// Whether the index names a slot of the player table (0 to kMaxPlayers - 1).
bool IsPlayerSlot(int32_t index);
// The local region's index, or -1 when there is none.
int32_t LocalPlayerIndex(const World& world);
// The local region's record, or null when there is none.
PlayerRecord* LocalPlayer(World& world);
const PlayerRecord* LocalPlayer(const World& world);
