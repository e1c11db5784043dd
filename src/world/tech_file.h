#pragma once
// The ".TTR" file: the technologies. A 40-byte header at 0, record i at
// 256 + 64 i (the 40-byte technology, whose two texts are string-pool
// offsets), (techCount + 4) x 64 bytes, then the string pool.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

struct World;

inline constexpr size_t kTtrRecordsAt = 256;
inline constexpr size_t kTtrSlot = 64;

// Reads the named file into the world's technology table and widens the
// players' technology rows to the new count. kFail with a log line naming
// the file, and the world unchanged, when the file is missing, its records
// or pool run past its end, or a text lies outside the pool.
plat::Status ReadTtrFile(World& world, std::string_view name);
plat::Status LoadTtrImage(World& world, std::span<const uint8_t> image, const std::string& source);

// Sets the saved stamp, the count and the pool size and returns the image.
std::vector<uint8_t> BuildTtrImage(World& world);
plat::Status WriteTtrFile(World& world, std::string_view name);

void FreeTechTable(World& world);

// When the technology rows hold fewer entries than the table: rows of the
// table's count, each keeping its old entries at its start; the game's
// technology count follows. Rows never shrink.
void GrowTechStateRows(World& world);
