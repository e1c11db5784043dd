#pragma once
// The ".GAM" file: everything of a game that is not map or rule data. The
// GameState in a 1 KB block, the world economy (1 KB), a 16 KB slot per
// region, a 512-byte slot per unit (the record, then its second and its
// first route block), a 256-byte slot per recurring item, the pending
// commands, the design and technology rows, the extended part (player
// items, messages, projects, unit groups) and the string pool. The game
// part of a save game is the same image.
//
// Unit links are stored as unit ids and each unit's saved-self word holds
// its own id, so the post-load pass maps every link to the reloaded unit
// that carried it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

struct MapHeader;
struct HexCell;

struct World;
struct UnitRecord;
struct UnitClassRecord;

inline constexpr size_t kGamHeaderBlock = 1024;
inline constexpr size_t kGamEconomyBlock = 1024;
inline constexpr size_t kGamPlayerSlot = 16384;
inline constexpr size_t kGamUnitSlot = 512;
inline constexpr size_t kGamSecondRouteAt = 384;
inline constexpr size_t kGamFirstRouteAt = 448;
inline constexpr size_t kGamRecurringSlot = 256;
inline constexpr size_t kGamItemSize = 48;
inline constexpr size_t kGamMessageSize = 96;
inline constexpr size_t kGamProjectSize = 48;
inline constexpr int32_t kGamGroupsWritten = 10;

// "MAPS\" + name + ".GAM" outside the map editor (and, for reading, when no
// custom scenario is played), else under "CUSTOM\".
std::string GameReadPath(std::string_view name);
std::string GameWritePath(std::string_view name);

// Reads a game into the world: the named file, or, given a buffer, the game
// part of a loaded save game. With playersOnly the read stops after the
// players (the players and the economy are filled, everything else is left
// empty). Everything in the image is checked before the world is touched: a
// bad or missing file gives kFail with a log line naming it, and the game
// loaded before stays as it was. After a read from a file the state holds
// the file's checksum.
plat::Status ReadGamFile(World& world, std::string_view name, std::span<const uint8_t> buffer = {},
                         bool playersOnly = false);

// The image of the world's game. Updates the state's counts, file flags,
// saved stamp, pool size and version, and each written unit's saved-self
// word, as the file records them.
std::vector<uint8_t> BuildGameImage(World& world);
// The same with the pending commands already taken from the command log
// (the save game takes them before its file-save lock, as the command-log
// lock comes before the world's other locks).
struct PendingCommandImage;
std::vector<uint8_t> BuildGameImage(World& world, std::vector<PendingCommandImage> logged);
// Writes the game as a ".GAM" file (whole, or not at all).
plat::Status WriteGamFile(World& world, std::string_view name);

// A game read and checked but not yet in the world (for the save game, which
// reads all its parts before it changes anything).
struct StagedGame;
struct StagedGameDeleter {
  void operator()(StagedGame* game) const;
};
using StagedGamePtr = std::unique_ptr<StagedGame, StagedGameDeleter>;

// Checks a game image and builds it apart from the world; null, with the
// reason in `why`, when it is refused.
StagedGamePtr StageGameImage(std::span<const uint8_t> image, bool playersOnly, std::string& why);
// The staged unit with that id (the first in file order), or null.
UnitRecord* FindStagedUnit(const StagedGame& game, uint32_t id);
// The version word of the staged game.
uint32_t StagedGameVersion(const StagedGame& game);

// Checks a staged game against the staged map saved with it: the last
// region in play is one of the file's regions, every unit belongs to one and
// stands on the map, every hex belongs to a region in play, a hex's lead
// unit stands on it and each region in play counts the hexes it holds.
// False, with the reason in `why`, when one does not.
bool CheckStagedGameOnMap(const StagedGame& game, const MapHeader& header, std::span<const HexCell> cells,
                          std::string& why);
// Checks each staged unit's strength against its class in `classes` (the
// classes the game will play with); false, with the unit and its figure in
// `why`, when one is stronger than its class lets a unit be.
bool CheckStagedUnitsAgainstClasses(const StagedGame& game, std::span<const UnitClassRecord> classes,
                                    std::string& why);
// Frees the world's game and hands it the staged one (which is left empty).
// With a checksum (a read from a file) the state takes it.
void CommitStagedGame(World& world, StagedGame& game, std::optional<uint32_t> fileChecksum);
