#pragma once
// The ".PPL" file: the people block. An 80-byte header at 0, people entry j
// (56 bytes) at 1024 + 256 j for j = 0 to 255: 66,560 bytes. The people part
// of a save game is the same image.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

struct World;

inline constexpr size_t kPplEntriesAt = 1024;
inline constexpr size_t kPplSlot = 256;
inline constexpr size_t kPplFileSize = 66560;

// Reads the people into the world: the named file, or, given a buffer, the
// people part of a loaded save game. The checksum is stored only after a
// read from a file. Then the biographies named after the people file are
// read. kFail with a log line naming the file, and the world unchanged, when
// the file is missing or too short.
plat::Status ReadPplFile(World& world, std::string_view name, std::span<const uint8_t> buffer = {});

// Sets the header's saved stamp and returns the image.
std::vector<uint8_t> BuildPplImage(World& world);
plat::Status WritePplFile(World& world, std::string_view name);

// Checks a people image; the reason in `why` when it is refused.
bool CheckPplImage(std::span<const uint8_t> image, std::string& why);
