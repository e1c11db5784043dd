#pragma once
// The header of a save game: the first 100 bytes of a ".SAV" file, kept in
// the world after a load. Its layout is a file format.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "world/map_header.h"

inline constexpr uint32_t kSaveHeaderSize = 100;
inline constexpr uint32_t kSaveVersion = 113;

struct SaveHeader {
  uint32_t size;      // 0: 100
  uint32_t checksum;  // 4: 0 in the file; after a load the whole file's checksum (1 when that is 0)
  uint32_t version;   // 8: 113
  uint8_t bytes12[4];
  FileStamp created;  // 16: when the file was written
  FileStamp saved;    // 28: the same moment
  uint8_t bytes40[40];
  uint32_t gamePartOffset;      // 80
  uint32_t extensionOffset;     // 84: the trailing extension section, 0 when the file has none
  uint32_t mapPartOffset;       // 88
  uint32_t peoplePartOffset;    // 92
  uint32_t snapshotPartOffset;  // 96: 0 when the file has no snapshot
};
static_assert(std::is_trivially_copyable_v<SaveHeader>);
static_assert(std::endian::native == std::endian::little, "the save header is its own file image");
static_assert(sizeof(SaveHeader) == kSaveHeaderSize);
static_assert(offsetof(SaveHeader, checksum) == 4);
static_assert(offsetof(SaveHeader, version) == 8);
static_assert(offsetof(SaveHeader, created) == 16);
static_assert(offsetof(SaveHeader, saved) == 28);
static_assert(offsetof(SaveHeader, gamePartOffset) == 80);
static_assert(offsetof(SaveHeader, extensionOffset) == 84);
static_assert(offsetof(SaveHeader, mapPartOffset) == 88);
static_assert(offsetof(SaveHeader, peoplePartOffset) == 92);
static_assert(offsetof(SaveHeader, snapshotPartOffset) == 96);
