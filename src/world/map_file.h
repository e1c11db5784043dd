#pragma once
// The ".MAP" file: the header in a 1 KB block, the cells, the per-cell side
// parts the header announces, the label slots and the string pool. The map
// part of a save game is the same image.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

struct World;
struct UnitRecord;
struct MapHeader;
struct HexCell;

inline constexpr size_t kMapHeaderBlock = 1024;
inline constexpr size_t kHexLabelSlot = 256;

// "MAPS\" + name + ".MAP" outside the map editor (and, for reading, when no
// custom scenario is being played), else under "CUSTOM\".
std::string MapReadPath(std::string_view name);
std::string MapWritePath(std::string_view name);

// Reads a map into the world: the named file, or, given a buffer, the map
// part of a loaded save game. Everything in the image is checked before the
// world is touched: a bad or missing file gives kFail with a log line naming
// it, and the map loaded before stays as it was. After a read from a file the
// header holds the file's checksum.
plat::Status ReadMapFile(World& world, std::string_view name, std::span<const uint8_t> buffer = {});

// The image of the world's map: for a ".MAP" file with the cell summaries,
// for a save game with the cell bytes (and the cell blocks when they exist).
// Updates the header's part flags, label count, saved stamp and pool words.
std::vector<uint8_t> BuildMapImage(World& world, bool forSaveGame);

// Writes the map as a ".MAP" file (whole, or not at all). kFail with a log
// line when it cannot be written.
plat::Status WriteMapFile(World& world, std::string_view name);

// A map read and checked but not yet in the world (for the save game, which
// reads all its parts before it changes anything).
struct StagedMap;
struct StagedMapDeleter {
  void operator()(StagedMap* map) const;
};
using StagedMapPtr = std::unique_ptr<StagedMap, StagedMapDeleter>;
// Finds the unit a cell names as its lead.
using UnitIdLookup = std::function<UnitRecord*(uint32_t id)>;

// Checks a map image and builds it apart from the world, the cells' lead
// units found through the lookup; null, with the reason in `why`, when it is
// refused.
StagedMapPtr StageMapImage(std::span<const uint8_t> image, const UnitIdLookup& lookup, std::string& why);
// The number of cells of a staged map.
size_t StagedMapCellCount(const StagedMap& map);
// The staged map's header and cells (each cell's stack holds the lead unit
// its id found).
const MapHeader& StagedMapHeader(const StagedMap& map);
std::span<const HexCell> StagedMapCells(const StagedMap& map);
// Frees the world's map and hands it the staged one (left empty); loads the
// imagery and resets the map buffers. With a checksum (a read from a file)
// the header takes it.
void CommitStagedMap(World& world, StagedMap& map, std::optional<uint32_t> fileChecksum);
