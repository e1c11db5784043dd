#pragma once
// The map's header: the first 672 bytes of a ".MAP" file and the map part of
// every save game, so its layout is a file format. Bytes the map code does
// not name are kept as read and written back unchanged.
#include <cstddef>
#include <cstdint>

#include "app/calendar.h"

// When a file was made or last written.
struct FileStamp {
  GameDate date;
  uint8_t hour = 0;
  uint8_t minute = 0;
  uint16_t milliseconds = 0;  // seconds x 1000 plus milliseconds
};
static_assert(sizeof(FileStamp) == 12);
static_assert(offsetof(FileStamp, hour) == 8);
static_assert(offsetof(FileStamp, milliseconds) == 10);

// Which per-cell parts follow the cells in a map image.
enum MapPartFlags : uint8_t {
  kMapPartCellBytes = 1,
  kMapPartCellBlocks = 2,
  kMapPartSummaries = 4,
};

// Bit of MapHeader::flags: the map is drawn over its picture, "MAPS\Imagery\"
// + the imagery name + ".PNG", instead of its terrain tiles. A new map sets it.
inline constexpr uint8_t kMapFlagImagery = 1;

inline constexpr uint32_t kMapHeaderSize = 672;
inline constexpr uint32_t kTerrainRecordSize = 164;
inline constexpr uint32_t kMapCellImageSize = 8;
inline constexpr uint32_t kHexLabelSize = 48;
inline constexpr uint8_t kMapVersion = 113;
inline constexpr uint8_t kMapOldestVersion = 110;
inline constexpr uint8_t kMapVersionTag = 105;  // the byte after the version

struct MapHeader {
  uint32_t size;               // 0
  uint32_t terrainRecordSize;  // 4
  uint32_t cellSize;           // 8
  uint32_t labelSize;          // 12
  uint8_t version;             // 16
  uint8_t versionTag;          // 17
  uint8_t reserved18[2];
  FileStamp created;  // 20
  FileStamp saved;    // 32
  uint32_t newMapWord;  // 44: the level in metres (1 to 1024); 1 for a new map
  uint32_t hexScale;    // 48
  int32_t width;        // 52
  int32_t height;       // 56
  uint32_t areaWord;    // 60: width x height x 400 for a new map
  uint8_t flags;        // 64: bit 0 set for a new map
  uint8_t partFlags;    // 65: MapPartFlags
  uint8_t reserved66[2];
  char name68[20];
  char imageryName[20];  // 88
  char name108[20];
  char terrainFileName[20];  // 128
  uint32_t word148;
  uint8_t reserved152[40];
  char mapTitle[20];  // 192
  uint8_t reserved212[68];
  int32_t cellCount;   // 280
  uint32_t checksum;   // 284
  int32_t labelCount;  // 288
  uint32_t startDay;   // 292
  uint8_t reserved296[8];
  float tuning[2];    // 304: a new game copies them into its state
  float tuning2[2];   // 312
  uint8_t reserved320[32];
  char unitFileName[20];    // 352
  char peopleFileName[20];  // 372
  char techFileName[20];    // 392
  uint8_t reserved412[20];
  char gameTitle[20];  // 432
  uint8_t reserved452[144];
  float scaleSquared;  // 596
  uint32_t word600;
  uint8_t reserved604[4];
  float scale;  // 608
  uint8_t reserved612[52];
  uint32_t stringPoolOffset;  // 664
  uint32_t stringPoolSize;    // 668
};
static_assert(sizeof(MapHeader) == kMapHeaderSize);
static_assert(offsetof(MapHeader, version) == 16);
static_assert(offsetof(MapHeader, created) == 20);
static_assert(offsetof(MapHeader, saved) == 32);
static_assert(offsetof(MapHeader, newMapWord) == 44);
static_assert(offsetof(MapHeader, hexScale) == 48);
static_assert(offsetof(MapHeader, width) == 52);
static_assert(offsetof(MapHeader, height) == 56);
static_assert(offsetof(MapHeader, areaWord) == 60);
static_assert(offsetof(MapHeader, flags) == 64);
static_assert(offsetof(MapHeader, partFlags) == 65);
static_assert(offsetof(MapHeader, name68) == 68);
static_assert(offsetof(MapHeader, imageryName) == 88);
static_assert(offsetof(MapHeader, name108) == 108);
static_assert(offsetof(MapHeader, terrainFileName) == 128);
static_assert(offsetof(MapHeader, word148) == 148);
static_assert(offsetof(MapHeader, mapTitle) == 192);
static_assert(offsetof(MapHeader, cellCount) == 280);
static_assert(offsetof(MapHeader, checksum) == 284);
static_assert(offsetof(MapHeader, labelCount) == 288);
static_assert(offsetof(MapHeader, startDay) == 292);
static_assert(offsetof(MapHeader, tuning) == 304);
static_assert(offsetof(MapHeader, tuning2) == 312);
static_assert(offsetof(MapHeader, unitFileName) == 352);
static_assert(offsetof(MapHeader, peopleFileName) == 372);
static_assert(offsetof(MapHeader, techFileName) == 392);
static_assert(offsetof(MapHeader, gameTitle) == 432);
static_assert(offsetof(MapHeader, scaleSquared) == 596);
static_assert(offsetof(MapHeader, word600) == 600);
static_assert(offsetof(MapHeader, scale) == 608);
static_assert(offsetof(MapHeader, stringPoolOffset) == 664);
static_assert(offsetof(MapHeader, stringPoolSize) == 668);

// A zeroed header with the size words and the version the program writes.
MapHeader MapHeaderWithSizes();
// Sets the size words and the version (written as the word 0x6971).
void SetMapHeaderSizes(MapHeader& header);

// The header from, and into, its little-endian 672-byte image.
void DecodeMapHeader(const uint8_t* image, MapHeader& header);
void EncodeMapHeader(const MapHeader& header, uint8_t* image);

// A stamp of the local time now.
FileStamp FileStampNow();
