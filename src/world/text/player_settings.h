#pragma once
// Player-settings files: one region's standing policy as keyed text,
// "PlayerSet\" + name + ".INI", 103 keys, one a line. Saving writes the
// region's display copy; loading turns every key found into the game command
// of the same name for the region, so the change is logged, sent to the peers
// and replayed on the simulation copy like any decision. The map editor's
// default template is read straight into the regions instead.
#include <cstdint>
#include <span>

struct PlayerPolicyBlock;
struct PlayerRecord;
struct World;

// The folder of the settings files.
inline constexpr const char* kPlayerSetDirectory = "PlayerSet\\";

// One key of a settings file, which is also the game command of the same
// name: loading a file posts the key's command, and the command's handler
// stores its values through the same entry. So the table of keys is the one
// statement of where each setting lives, read by the file reader and writer,
// the command handlers and their tests.
struct SettingKey {
  // How a value is written and read.
  enum class Form : uint8_t { kReal, kWhole, kByte, kYesNo, kMask };
  // Where value i of a key lives in the policy block.
  enum class Place : uint8_t {
    kF32,             // float at offset + 4i
    kI32,             // signed word at offset
    kU8,              // byte at offset + i
    kU32,             // word at offset + 4i
    kBit,             // bit `arg` of the word at offset, as 0 or 1
    kRefugee,         // bits 2-3 of the migration flags, as 0 to 3
    kProductReal,     // word `arg` of product i's settings, a float
    kProductBit,      // bit `arg` of product i's flags word
    kRegionFlag,      // the rules-of-engagement flags toward region i
    kCabinetIds,      // id i % 2 of post i / 2
    kCabinetControl,  // post i's control, signed 16 bits
    kCabinetPriorities,
    kCabinetLocks,
  };
  // Which commands a key posts.
  enum class Post : uint8_t {
    kOne,       // one command, value in arg28
    kFixed,     // one command, arg28 the key's index, arg32 the value
    kEach,      // one command per value, arg28 its index, arg32 the value
    kPair,      // one command, arg28 the first value, arg32 the second
    kRegions,   // one per region r: arg28 the value, arg32 r, arg36 1 (set the bits)
    kCabinet,   // one per post c: arg28 c, arg32 the first id, arg36 the second
  };

  const char* key;
  Form form;
  Place place;
  uint16_t offset;  // in the policy block
  uint8_t arg;      // bit number, product word or fixed index
  uint8_t count;    // values on the key's line
  uint16_t command;
  Post post;
  bool inTemplate;  // read by the editor's default template
};

// Every key, in the order of the file.
std::span<const SettingKey> SettingKeys();
// Value i of a key as its command carries it: a float's bits, a switch as 0
// or 1, a byte as its unsigned value, a 16-bit control sign-extended.
uint32_t SettingValue(const PlayerPolicyBlock& block, const SettingKey& key, int i);
// Stores value i of a key into the block.
void SetSettingValue(PlayerPolicyBlock& block, const SettingKey& key, int i, uint32_t value);
// Whether `id` is the command of a settings key.
bool IsSettingCommand(uint32_t id);
// The effect of settings command `id` with the words at 28, 32 and 36 on a
// block: the values land where the command's key keeps them, and region
// flags are set or cleared by the word at 36. False, with nothing changed,
// for an id no key posts; an index out of range changes nothing. The defcon
// command stores its value as given here: its handler weighs the region's
// hostility first.
bool ApplySettingCommand(PlayerPolicyBlock& block, uint32_t id, uint32_t a28, uint32_t a32, uint32_t a36);

// How the loader posts one command: id, player and the words at 28, 32 and 36.
using SettingsPoster = void (*)(uint32_t id, int32_t player, uint32_t a, uint32_t b, uint32_t c);
// Reads directory + name + ".INI" (a null directory means "PlayerSet\") and
// posts one command per value for `player`, whose record is `region`, through
// `post`; empty and missing values post the region's current display value.
// 0, or the generic failure, with nothing posted, when there is no region or
// the file cannot be read or is empty. The simulation's overloads
// (sim/scenario_players.h) post through the command pipeline.
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

// The same on the world: nothing is written or read while no region record
// is loaded (the local player's record is null). Saving writes the local
// region's settings.
int32_t SavePlayerSettings(World& world, const char* name);
int32_t LoadDefaultPlayerSettings(World& world, const char* name);
