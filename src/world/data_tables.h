#pragma once
// The rule tables a world is made of: unit and facility classes, the 256
// terrain types, the technologies and the people. Each comes with the
// header of its file, kept in the world; the records are their file images
// (with the texts and the extra block of a class held beside them), and the
// fields not named here belong to the code that uses them and travel as
// bytes.
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "world/map_header.h"
#include "world/table_text.h"
#include "world/unit_class_flags.h"

static_assert(std::endian::native == std::endian::little, "the table records are their own file images");

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
static_assert(offsetof(UnitClassHeader, checksum) == 4);
static_assert(offsetof(UnitClassHeader, version) == 8);
static_assert(offsetof(UnitClassHeader, classCount) == 12);
static_assert(offsetof(UnitClassHeader, created) == 16);
static_assert(offsetof(UnitClassHeader, saved) == 28);

inline constexpr uint32_t kUnitClassVersion = 108;

// One unit or facility class: 200 bytes, indexed by class number.
struct UnitClassImage {
  char name[24];             // 0: empty for a class not in use
  uint8_t typeByte;          // 24: copied into the unit's type byte
  uint8_t bytes25[3];
  int16_t strengthPerSize;   // 28: 0 for a class no unit may have
  uint16_t valuePerPoint;    // 30
  int16_t successor;         // 32
  uint8_t bytes34[6];
  int16_t requiredTechs[2];  // 40
  float buildWorkPerPoint;   // 44
  float upkeepFactor;        // 48
  float reach;               // 52
  uint32_t availability;     // 56
  uint32_t extraSlot;        // 60: the extra block; in a file not 0 when one follows the record
  uint8_t bytes64[8];
  uint32_t flags;            // 72: kClass... bits (world/unit_class_flags.h)
  uint8_t bytes76[4];
  float fuelUse;             // 80
  float fuelCapacity;        // 84: per strength point
  float ammoPerShot;         // 88
  float ammoCapacity;        // 92: per strength point
  uint8_t bytes96[16];
  uint8_t targetType;        // 112
  uint8_t kind;              // 113: 0 land, 1 air, 2 sea, 3 submarine
  uint8_t bytes114[86];
};
static_assert(sizeof(UnitClassImage) == 200);
static_assert(std::is_trivially_copyable_v<UnitClassImage>);
static_assert(offsetof(UnitClassImage, typeByte) == 24);
static_assert(offsetof(UnitClassImage, strengthPerSize) == 28);
static_assert(offsetof(UnitClassImage, buildWorkPerPoint) == 44);
static_assert(offsetof(UnitClassImage, extraSlot) == 60);
static_assert(offsetof(UnitClassImage, flags) == 72);
static_assert(offsetof(UnitClassImage, fuelCapacity) == 84);
static_assert(offsetof(UnitClassImage, ammoCapacity) == 92);
static_assert(offsetof(UnitClassImage, kind) == 113);

inline constexpr size_t kUnitClassExtraSize = 48;

// A class as the world holds it: the image and, when its extra-block word
// says so, the 48-byte extra block.
struct UnitClassRecord : UnitClassImage {
  UnitClassRecord() : UnitClassImage{} {}
  bool hasExtra = false;
  std::array<uint8_t, kUnitClassExtraSize> extra{};
};

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
static_assert(offsetof(TerrainHeader, checksum) == 4);
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
static_assert(std::is_trivially_copyable_v<TerrainRecord>);
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
static_assert(offsetof(TechHeader, checksum) == 4);
static_assert(offsetof(TechHeader, techCount) == 8);
static_assert(offsetof(TechHeader, saved) == 24);
static_assert(offsetof(TechHeader, stringPoolSize) == 36);

// One technology. In the file its two texts are string-pool offsets; in
// memory they are owned texts beside the image.
struct TechImage {
  uint8_t category;          // 0: 0 marks an empty slot
  uint8_t techLevel;         // 1
  int16_t value2;            // 2
  uint32_t nameSlot;         // 4
  uint32_t textSlot;         // 8
  int16_t prerequisites[2];  // 12: technology indexes, 0 for none
  uint8_t effectCodes[2];    // 16: 1-127 a multiplier, 200-231 a special effect, else none
  int8_t effectPercents[2];  // 18: signed per cent
  float researchCost;        // 20
  float price;               // 24
  int16_t popularOpinion;    // 28
  int16_t worldOpinion;      // 30
  float value32;             // 32
  uint32_t flags;            // 36
};
static_assert(sizeof(TechImage) == 40);
static_assert(std::is_trivially_copyable_v<TechImage>);
static_assert(offsetof(TechImage, nameSlot) == 4);
static_assert(offsetof(TechImage, textSlot) == 8);
static_assert(offsetof(TechImage, prerequisites) == 12);
static_assert(offsetof(TechImage, effectCodes) == 16);
static_assert(offsetof(TechImage, effectPercents) == 18);
static_assert(offsetof(TechImage, researchCost) == 20);
static_assert(offsetof(TechImage, flags) == 36);

struct TechRecord : TechImage {
  TechRecord() : TechImage{} {}
  TableText name;  // none when the file gives none
  TableText text;
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
static_assert(offsetof(PeopleHeader, checksum) == 4);
static_assert(offsetof(PeopleHeader, peopleCount) == 12);
static_assert(offsetof(PeopleHeader, created) == 16);
static_assert(offsetof(PeopleHeader, saved) == 28);

inline constexpr size_t kPeopleEntrySize = 56;
inline constexpr size_t kPeopleEntries = 256;
inline constexpr size_t kPeopleBlockSize = kPeopleEntries * kPeopleEntrySize;  // 14,336

// One technology's state in a region's row: byte 0 not 0 when known, byte 2
// the project marks (0x10 open, 0x20 held).
struct PlayerTechState {
  uint8_t known;
  uint8_t byte1;
  uint8_t projectFlags;
  uint8_t bytes3[5];
};
static_assert(sizeof(PlayerTechState) == 8);

// Project marks in a design-row byte and in a technology's projectFlags.
inline constexpr uint8_t kRowProjectOpen = 0x10;
inline constexpr uint8_t kRowProjectHeld = 0x20;
