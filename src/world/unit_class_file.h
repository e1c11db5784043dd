#pragma once
// The ".UNI" file: the unit and facility classes. A 60-byte header at 0,
// record i at 1024 + 256 i (the 200-byte class, then at +208 its 48-byte
// extra block when it has one); (classCount + 4) x 256 bytes in all.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

struct World;
struct UnitClassHeader;
struct UnitClassRecord;

inline constexpr size_t kUniRecordsAt = 1024;
inline constexpr size_t kUniSlot = 256;
inline constexpr size_t kUniExtraAt = 208;

// Reads the named file into the world's class table (the old table goes only
// once the new file has been read and checked) and widens the design rows to
// the new class count. kFail with a log line naming the file, and the world
// unchanged, when the file is missing or does not hold what its header says.
plat::Status ReadUniFile(World& world, std::string_view name);
// The same from a file image; `source` names it in the log line.
plat::Status LoadUniImage(World& world, std::span<const uint8_t> image, const std::string& source);

// The classes of a file image apart from the world; false with the reason
// when the image does not hold what its header says.
bool StageUniImage(std::span<const uint8_t> image, UnitClassHeader& header, std::vector<UnitClassRecord>& classes,
                   std::string& why);
// The classes of the named file, read as ReadUniFile would read them but
// left out of the world (a load that judges its units by them before it
// changes anything); false, silently, when the file is missing or refused.
bool StageUniFile(std::string_view name, std::vector<UnitClassRecord>& classes);

// Sets the header's saved stamp and class count and returns the file image.
std::vector<uint8_t> BuildUniImage(World& world);
plat::Status WriteUniFile(World& world, std::string_view name);

void FreeUnitClassTable(World& world);

// When the design rows are narrower than the class count: rows of the count
// rounded up to a multiple of 4, each keeping its old bytes at its start.
// Rows never shrink.
void GrowDesignBitRows(World& world);
