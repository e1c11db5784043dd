#pragma once
// The rule tables a world is made of: unit and facility classes, the 256
// terrain types, the technologies and the people. Each comes with the
// header of its file, kept in the world; the records are their file images
// (with the texts and the extra block of a class held beside them). The
// unit-class record names every byte the code reads; in the other records
// the fields not named here belong to the code that uses them and travel as
// bytes.
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
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

// The facility kinds of a class's baseKind that have panels of their own;
// silos and launch sites also give a region its room for stock weapons.
inline constexpr uint8_t kBaseKindResearchCentre = 1;
inline constexpr uint8_t kBaseKindSilo = 2;
inline constexpr uint8_t kBaseKindLaunchSite = 3;

// One unit or facility class: 200 bytes, indexed by class number. Each byte
// the code reads has one name here; where the code once knew a byte by
// other names too, its comment gives them so an old note still finds it.
// The bytes no code reads stay in the reserved arrays.
struct UnitClassImage {
  char name[24];             // 0: empty for a class not in use
  uint8_t typeByte;          // 24: copied into the unit's type byte; also the class's role
  uint8_t facilityType;      // 25: 0 none, 1 research centre, 2 silo, 3 launch site
  uint8_t level;             // 26: the technology level (the lists group classes by type)
  uint8_t productSlot;       // 27: the product whose class-slot output its hex feeds, 0 none
  int16_t strengthPerSize;   // 28: 0 for a class no unit may have
  uint16_t valuePerPoint;    // 30
  int16_t successor;         // 32: the upgrade class, 0 none
  uint8_t deployFirst;       // 34: non-zero for a class whose new units deploy of themselves
  uint8_t secondPlacement;   // 35
  uint8_t placementsA;       // 36: the two placement counts deployment weighs
  uint8_t placementsB;       // 37
  int16_t rubbleClass;       // 38: what a destroyed facility leaves, 0 none
  int16_t requiredTechs[2];  // 40
  float buildWorkPerPoint;   // 44: the build days of one element
  float costPerElement;      // 48: the money one element costs to build; also the upkeep factor and base cost
  float reach;               // 52
  uint32_t availability;     // 56
  uint32_t extraSlot;        // 60: the extra block; in a file not 0 when one follows the record
  int16_t sweepMode;         // 64: how a facility sweeps its surroundings; also fixedFacing
  int16_t speed;             // 66
  uint8_t sweepLower;        // 68: also the bottom of the class's variant range and fixedFacingFrame
  uint8_t sweepUpper;        // 69: also the top of the variant range
  uint8_t baseKind;          // 70: was also the map screen's facility kind (1 research centre, 2 silo,
                             // 3 launch site)
  uint8_t movementType;      // 71
  uint32_t flags;            // 72: kClass... bits (world/unit_class_flags.h)
  uint32_t secondFlags;      // 76: bit 0 the large frame layout of the map symbol
  float fuelUse;             // 80
  float fuelCapacity;        // 84: per strength point
  float ammoPerShot;         // 88
  float ammoCapacity;        // 92: per strength point
  uint16_t cargoSlots;       // 96: what a carrier or silo holds; also the weapon word and the capacity word
  uint8_t hexMoveCost;       // 98: the movement cost a class gives its own hex (land)
  uint8_t hexSeaMoveCost;    // 99: the same at sea
  float price;               // 100: a facility type's cost base; a unit's build is priced from costPerElement
                             // and weight, never from this
  float weight;              // 104: per strength point; also the goods one element takes to build (cargoWeight)
  float carryCapacity;       // 108: per strength point; also the storage figure and the supply capacity
  uint8_t targetType;        // 112
  uint8_t kind;              // 113: 0 land, 1 air, 2 sea, 3 submarine
  uint8_t reloadFactor;      // 114: also the fire rate and the target-search rate
  uint8_t buildThreshold;    // 115: the technology level past which it is no longer offered
  uint16_t targetSize;       // 116: the hit chance's spread; its low byte was the size class
  uint16_t spotValue;        // 118: the sight value
  uint8_t attackValues[8];   // 120: by target type; the computer players read them as four rating pairs
  uint8_t bytes128[2];
  uint16_t costFigure;       // 130: what the hex menu compares with the funds; also the census rating
  uint8_t coveredAttack;     // 132: attack against cover
  uint8_t loadableMask;      // 133: also the event level and the stock category mask
  uint8_t slotSize;          // 134: what one point of a stock class takes; was both ClassSlotSize and CargoSize
  uint8_t costByte;          // 135: the editor's costs panel shows it
  uint8_t defenceValues[4];  // 136: by fire mode; 139 also the cover a fortification gives its hex
  float strikeYield;         // 140
  float weaponRanges[4];     // 144: by target kind, in map distance units; 0 none
  float stockRange;          // 160: also the operating range
  float sightDistance;       // 164: the spotting range
  float firepower;           // 168: per strength point; also the first building resource
  float resourceB;           // 172: the second building resource per strength point
  float baseRoom;            // 176
  uint8_t baseSlots;         // 180: was also the build capacity, the census size and the carrier capacity
  uint8_t censusKind;        // 181: 0 counts towards the region's capacity, 1-4 towards their own counts
  uint8_t byte182;
  uint8_t onOffer;           // 183: not 0 when the world body offers the class at all
  uint8_t offerWeight;       // 184: how keenly it offers it
  uint8_t byte185;
  int16_t turretMarker;      // 186: 0 the body turns with the weapon
  uint8_t fireSounds[3];     // 188: direct (also the launch sound), bombardment, at aircraft
  uint8_t destructionSound;  // 191
  int16_t symbol;            // 192: the first symbol table
  int16_t secondSymbol;      // 194
  float maxPopulationFactor; // 196: a settlement's people as a share of the map's scale
};
static_assert(sizeof(UnitClassImage) == 200);
static_assert(alignof(UnitClassImage) == 4);
static_assert(std::is_trivially_copyable_v<UnitClassImage>);
static_assert(offsetof(UnitClassImage, typeByte) == 24);
static_assert(offsetof(UnitClassImage, facilityType) == 25);
static_assert(offsetof(UnitClassImage, level) == 26);
static_assert(offsetof(UnitClassImage, deployFirst) == 34);
static_assert(offsetof(UnitClassImage, productSlot) == 27);
static_assert(offsetof(UnitClassImage, strengthPerSize) == 28);
static_assert(offsetof(UnitClassImage, buildWorkPerPoint) == 44);
static_assert(offsetof(UnitClassImage, costPerElement) == 48);
static_assert(offsetof(UnitClassImage, extraSlot) == 60);
static_assert(offsetof(UnitClassImage, sweepMode) == 64);
static_assert(offsetof(UnitClassImage, speed) == 66);
static_assert(offsetof(UnitClassImage, sweepLower) == 68);
static_assert(offsetof(UnitClassImage, sweepUpper) == 69);
static_assert(offsetof(UnitClassImage, baseKind) == 70);
static_assert(offsetof(UnitClassImage, movementType) == 71);
static_assert(offsetof(UnitClassImage, flags) == 72);
static_assert(offsetof(UnitClassImage, secondFlags) == 76);
static_assert(offsetof(UnitClassImage, fuelCapacity) == 84);
static_assert(offsetof(UnitClassImage, ammoCapacity) == 92);
static_assert(offsetof(UnitClassImage, cargoSlots) == 96);
static_assert(offsetof(UnitClassImage, hexMoveCost) == 98);
static_assert(offsetof(UnitClassImage, hexSeaMoveCost) == 99);
static_assert(offsetof(UnitClassImage, price) == 100);
static_assert(offsetof(UnitClassImage, weight) == 104);
static_assert(offsetof(UnitClassImage, carryCapacity) == 108);
static_assert(offsetof(UnitClassImage, targetType) == 112);
static_assert(offsetof(UnitClassImage, kind) == 113);
static_assert(offsetof(UnitClassImage, reloadFactor) == 114);
static_assert(offsetof(UnitClassImage, buildThreshold) == 115);
static_assert(offsetof(UnitClassImage, targetSize) == 116);
static_assert(offsetof(UnitClassImage, spotValue) == 118);
static_assert(offsetof(UnitClassImage, attackValues) == 120);
static_assert(offsetof(UnitClassImage, costFigure) == 130);
static_assert(offsetof(UnitClassImage, coveredAttack) == 132);
static_assert(offsetof(UnitClassImage, loadableMask) == 133);
static_assert(offsetof(UnitClassImage, slotSize) == 134);
static_assert(offsetof(UnitClassImage, defenceValues) == 136);
static_assert(offsetof(UnitClassImage, strikeYield) == 140);
static_assert(offsetof(UnitClassImage, weaponRanges) == 144);
static_assert(offsetof(UnitClassImage, stockRange) == 160);
static_assert(offsetof(UnitClassImage, sightDistance) == 164);
static_assert(offsetof(UnitClassImage, firepower) == 168);
static_assert(offsetof(UnitClassImage, resourceB) == 172);
static_assert(offsetof(UnitClassImage, baseRoom) == 176);
static_assert(offsetof(UnitClassImage, baseSlots) == 180);
static_assert(offsetof(UnitClassImage, censusKind) == 181);
static_assert(offsetof(UnitClassImage, onOffer) == 183);
static_assert(offsetof(UnitClassImage, offerWeight) == 184);
static_assert(offsetof(UnitClassImage, turretMarker) == 186);
static_assert(offsetof(UnitClassImage, fireSounds) == 188);
static_assert(offsetof(UnitClassImage, destructionSound) == 191);
static_assert(offsetof(UnitClassImage, symbol) == 192);
static_assert(offsetof(UnitClassImage, secondSymbol) == 194);
static_assert(offsetof(UnitClassImage, rubbleClass) == 38);
static_assert(offsetof(UnitClassImage, costByte) == 135);
static_assert(offsetof(UnitClassImage, maxPopulationFactor) == 196);

inline constexpr size_t kUnitClassExtraSize = 48;

// A class as the world holds it: the image and, when its extra-block word
// says so, the 48-byte extra block.
// The attack value against a target type. A type past the table, which
// only a damaged class file holds, has none.
inline uint8_t AttackValueAgainst(const UnitClassImage& c, int targetType) {
  return targetType >= 0 && targetType < 8 ? c.attackValues[targetType] : uint8_t{0};
}

// A class that sweeps turns on its own, so its picture does not follow a
// unit's facing of the moment: it always shows the sweep's first frame.
inline bool ClassHasFixedFacing(const UnitClassImage& c) { return c.sweepMode != 0; }
inline uint8_t ClassFixedFacingFrame(const UnitClassImage& c) { return c.sweepLower; }

// The facility type browser's upgrade class is the class's successor.
inline int16_t ClassUpgradeClass(const UnitClassImage& c) { return c.successor; }

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
  // The name: 16 bytes at 100, NUL-padded (a full name has no NUL).
  static constexpr size_t kNameAt = 100;
  static constexpr size_t kNameSize = 16;
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

inline std::string TerrainName(const TerrainRecord& terrain) {
  const auto* name = reinterpret_cast<const char*>(terrain.bytes + TerrainRecord::kNameAt);
  return std::string(name, strnlen(name, TerrainRecord::kNameSize));
}

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
// Design-row bits the player keeps for himself, written without a command.
inline constexpr uint8_t kDesignFavourite = 0x02;
inline constexpr uint8_t kDesignFiltered = 0x08;
