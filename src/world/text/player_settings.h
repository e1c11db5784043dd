#pragma once
// Player-settings files: one region's standing policy as keyed text,
// "PlayerSet\" + name + ".INI", 103 keys, one a line. Saving writes the
// region's display copy; loading turns every key found into the game command
// of the same name for the region, so the change is logged, sent to the peers
// and replayed on the simulation copy like any decision. The map editor's
// default template is read straight into the regions instead.
#include <cstdint>

struct PlayerRecord;
struct World;

// The folder of the settings files.
inline constexpr const char* kPlayerSetDirectory = "PlayerSet\\";

// Reads directory + name + ".INI" (a null directory means "PlayerSet\") and
// posts one command per value for `player`, whose record is `region`; empty
// and missing values post the region's current display value. 0, or the
// generic failure, with nothing posted, when there is no region or the file
// cannot be read or is empty.
int32_t LoadPlayerSettings(const PlayerRecord* region, int32_t player, const char* name, const char* directory);

// How the loader posts one command: id, player and the words at 28, 32 and 36.
using SettingsPoster = void (*)(uint32_t id, int32_t player, uint32_t a, uint32_t b, uint32_t c);
// The same, posting through `post` instead of the command pipeline.
int32_t LoadPlayerSettings(const PlayerRecord* region, int32_t player, const char* name, const char* directory,
                           SettingsPoster post);

// Writes the region's display settings to "PlayerSet\" + name + ".INI",
// making the folder when it is missing. 0, or the generic failure when the
// file cannot be written (the old file is then kept).
int32_t SavePlayerSettings(const PlayerRecord* region, const char* name);

// The editor's default template: reads "PlayerSet\" + name + ".INI" into the
// simulation copy of region 1 (every key but defcon, the four military
// spending keys and bconscript), copies it to region 1's display copy and
// over both copies of regions 2 to 31, each of which keeps its defcon,
// military spending, religionstate, conscription bit and wage-flags bit 2.
// Region 0 and regions past `count` are not touched. 0, or the generic
// failure, with nothing changed, when the file cannot be read or there are
// fewer than two regions.
int32_t LoadDefaultPlayerSettings(PlayerRecord* players, int32_t count, const char* name);

// The same on the world: the region is `player`'s record, and nothing is
// read, posted or written while no region record is loaded (the local
// player's record is null). Saving writes the local region's settings.
int32_t LoadPlayerSettings(World& world, const char* name, int32_t player, const char* directory);
int32_t SavePlayerSettings(World& world, const char* name);
int32_t LoadDefaultPlayerSettings(World& world, const char* name);
