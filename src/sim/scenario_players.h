#pragma once
// A scenario's per-region files read into the running game through the
// simulation's rules: the scenario definition's players, whose treaties the
// relations make, and a region's settings file, posted as game commands.
#include <cstdint>

struct PlayerRecord;
struct World;

// The scenario definition's player sections for the world's scenario: the
// folder rule follows the world's map folder state; the players are the
// world's up to its highest player, and treaties are made with the
// relations' treaty operation.
int32_t LoadScenarioPlayers(World& world, const char* directory, const char* name);

// Reads directory + name + ".INI" (a null directory means "PlayerSet\") and
// posts one command per value for `player`, whose record is `region`, through
// the command pipeline; empty and missing values post the region's current
// display value. 0, or the generic failure, with nothing posted, when there
// is no region or the file cannot be read or is empty.
int32_t LoadPlayerSettings(const PlayerRecord* region, int32_t player, const char* name, const char* directory);

// The same on the world: the region is `player`'s record, and nothing is read
// or posted while no region record is loaded (the local player's record is
// null).
int32_t LoadPlayerSettings(World& world, const char* name, int32_t player, const char* directory);
