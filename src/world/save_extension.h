#pragma once
// The extension section at the end of a save game: the state a save's own
// parts do not hold, as tagged blocks (tag, length, payload; little-endian
// words). A reader skips tags it does not know, and a save without the
// section (header word 84 is 0) loads as before.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

struct UnitRecord;
struct World;

// The steps of the units' routes: a count, then per route the unit's id,
// which route (1 the current, 2 the second), the step count and the steps.
inline constexpr uint32_t kSaveBlockRouteSteps = 0x54535452;  // "RTST"

// The unit tables walked by the minute (tables 1 to 3): a count of arrays,
// then per array its table, player and category bytes, its unit count, and
// per unit its id, countdown byte and elapsed-minutes byte, in table order.
inline constexpr uint32_t kSaveBlockUnitTables = 0x42415455;  // "UTAB"

// The computer players' standing and incoming events and field-unit lists,
// written and read by their own code through the hook below.
inline constexpr uint32_t kSaveBlockComputerPlayers = 0x4B574941;  // "AIWK"

// The spotting map, which the sighting keeps up from minute to minute: the
// cell count, a count of entries, then per byte that is not 0 its index
// (cell x 32 + player, ascending) and its value.
inline constexpr uint32_t kSaveBlockSpottingMap = 0x544F5053;  // "SPOT"

// This machine's contact choices per region (chat, voice, mute, offers,
// mail and ignored senders): six words, written and read by the interface
// through the hook below.
inline constexpr uint32_t kSaveBlockContactMasks = 0x4D544E43;  // "CNTM"

// The CRC-32 of every byte of the save before this block's head: always the
// last block, so a file damaged after it was written is refused. A save
// without it (written before it existed) loads as before.
inline constexpr uint32_t kSaveBlockChecksum = 0x4D555343;  // "CSUM"

// A block whose owner sits above the world: `write` gives its payload (empty
// for none); `read` checks a payload (empty when the save has no such block)
// and, with `apply`, takes it in once the rest of the save is in.
struct SaveBlockHook {
  std::vector<uint8_t> (*write)(World& world) = nullptr;
  bool (*read)(World& world, std::span<const uint8_t> payload, bool apply, std::string& why) = nullptr;
};
extern SaveBlockHook g_computerPlayerSaveHook;
extern SaveBlockHook g_contactMaskSaveHook;

struct SaveExtensionBlock {
  uint32_t tag = 0;
  std::span<const uint8_t> payload;
};

// The section of the world's state that needs one; empty when nothing does.
std::vector<uint8_t> BuildSaveExtension(World& world);

// The blocks of a section; false with the reason when a block runs past the
// section's end.
bool SplitSaveExtension(std::span<const uint8_t> section, std::vector<SaveExtensionBlock>& blocks, std::string& why);

// Reads the route-steps block against the units about to be loaded (found
// by id) and, only when all of it is sound, gives each route its steps.
// Reads the unit-tables block against the units about to be loaded; only
// when all of it is sound does it fill `out`.
struct SavedTableArray;
bool ReadUnitTablesBlock(std::span<const uint8_t> payload, const std::function<UnitRecord*(uint32_t)>& findUnit,
                         std::vector<SavedTableArray>& out, std::string& why);

// Reads the spotting-map block for a map of `cells` cells; only when all of
// it is sound does it fill `out` with the whole map.
bool ReadSpottingMapBlock(std::span<const uint8_t> payload, size_t cells, std::vector<uint8_t>& out, std::string& why);

bool ApplyRouteSteps(std::span<const uint8_t> payload, const std::function<UnitRecord*(uint32_t)>& findUnit,
                     std::string& why);
