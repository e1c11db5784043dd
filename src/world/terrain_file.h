#pragma once
// The ".TER" file: the 256 terrain types. A 64-byte header at 0, record i
// at 1024 + 256 i, in a 138,240-byte image (zeros after the last record).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

struct World;

inline constexpr size_t kTerRecordsAt = 1024;
inline constexpr size_t kTerSlot = 256;
inline constexpr size_t kTerFileSize = 138240;

// Reads the named file into the world's terrain table (freeing the terrain
// extra buffer with the old table). kFail with a log line naming the file,
// and the world unchanged, when the file is missing or too short.
plat::Status ReadTerFile(World& world, std::string_view name);
plat::Status LoadTerImage(World& world, std::span<const uint8_t> image, const std::string& source);

// Sets the header's saved stamp and returns the file image.
std::vector<uint8_t> BuildTerImage(World& world);
plat::Status WriteTerFile(World& world, std::string_view name);

void FreeTerrainTable(World& world);
