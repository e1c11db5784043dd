#pragma once
// The rule tables a world is made of: unit and facility classes, the 256
// terrain types, the technologies and the people. Each comes with the
// header of its file, kept in the world; the records' fields belong to the
// code that uses them and travel as bytes.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "world/map_header.h"

static_assert(std::endian::native == std::endian::little, "the table headers are their own file images");

struct UnitClassHeader {
  uint32_t size;
  uint32_t checksum;   // 4: of the file last read
  uint32_t version;    // 8: 108
  int32_t classCount;  // 12
  FileStamp created;   // 16
  FileStamp saved;     // 28
  uint8_t bytes40[20];
};
static_assert(sizeof(UnitClassHeader) == 60);
static_assert(offsetof(UnitClassHeader, version) == 8);
static_assert(offsetof(UnitClassHeader, classCount) == 12);
static_assert(offsetof(UnitClassHeader, created) == 16);
static_assert(offsetof(UnitClassHeader, saved) == 28);

inline constexpr uint32_t kUnitClassVersion = 108;

struct UnitClassRecord {
  uint8_t bytes[200];
};
static_assert(sizeof(UnitClassRecord) == 200);

struct TerrainHeader {
  uint32_t size;
  uint32_t checksum;      // 4
  int32_t terrainCount;   // 8: 256
  uint32_t word12;        // 12: 0
  uint32_t word16;        // 16: 24
  FileStamp created;      // 20
  FileStamp saved;        // 32
  uint8_t bytes44[20];
};
static_assert(sizeof(TerrainHeader) == 64);
static_assert(offsetof(TerrainHeader, terrainCount) == 8);
static_assert(offsetof(TerrainHeader, word12) == 12);
static_assert(offsetof(TerrainHeader, word16) == 16);
static_assert(offsetof(TerrainHeader, created) == 20);
static_assert(offsetof(TerrainHeader, saved) == 32);

inline constexpr int kTerrainCount = 256;

struct TerrainRecord {
  uint8_t bytes[148];
  // The terrain's square in the terrain atlas.
  int32_t imageLeft;    // 148
  int32_t imageTop;     // 152
  int32_t imageRight;   // 156
  int32_t imageBottom;  // 160
};
static_assert(sizeof(TerrainRecord) == 164);
static_assert(offsetof(TerrainRecord, imageLeft) == 148);
static_assert(offsetof(TerrainRecord, imageBottom) == 160);

struct TechHeader {
  uint32_t size;
  uint32_t checksum;   // 4
  int32_t techCount;   // 8
  uint8_t bytes12[12];
  FileStamp saved;     // 24
  uint32_t stringPoolSize;  // 36
};
static_assert(sizeof(TechHeader) == 40);
static_assert(offsetof(TechHeader, techCount) == 8);
static_assert(offsetof(TechHeader, saved) == 24);
static_assert(offsetof(TechHeader, stringPoolSize) == 36);

// One technology. In the file its two texts are string-pool offsets; in
// memory they are owned strings (malloc) beside the image.
struct TechImage {
  uint8_t category;      // 0: 0 marks an empty slot
  uint8_t minimumLevel;  // 1
  uint8_t bytes2[2];
  uint32_t nameSlot;     // 4
  uint32_t textSlot;     // 8
  int16_t prerequisites[2];  // 12: technology indexes, 0 for none
  uint8_t bytes16[20];
  uint32_t flags;        // 36
};
static_assert(sizeof(TechImage) == 40);
static_assert(offsetof(TechImage, prerequisites) == 12);
static_assert(offsetof(TechImage, flags) == 36);

struct TechRecord : TechImage {
  char* name = nullptr;
  char* text = nullptr;
};

struct PeopleHeader {
  uint32_t size;
  uint32_t checksum;      // 4
  uint8_t bytes8[4];
  uint16_t peopleCount;   // 12: 256
  uint8_t bytes14[2];
  FileStamp created;      // 16
  FileStamp saved;        // 28
  uint8_t bytes40[40];
};
static_assert(sizeof(PeopleHeader) == 80);
static_assert(offsetof(PeopleHeader, peopleCount) == 12);
static_assert(offsetof(PeopleHeader, created) == 16);
static_assert(offsetof(PeopleHeader, saved) == 28);

inline constexpr size_t kPeopleEntrySize = 56;
inline constexpr size_t kPeopleBlockSize = 256 * kPeopleEntrySize;  // 14,336

// One technology's state in a region's row: byte 0 not 0 when known, byte 2
// the project marks (0x10 open, 0x20 held).
struct PlayerTechState {
  uint8_t known;
  uint8_t byte1;
  uint8_t projectFlags;
  uint8_t bytes3[5];
};
static_assert(sizeof(PlayerTechState) == 8);
