#include <algorithm>
#include <cmath>
#include <cstdint>

#include "world/hex_extra.h"
#include "world/map_data.h"
#include "world/map_imagery.h"
#include "world/object_hex.h"
#include "world/people_file.h"
#include "world/tech_file.h"
#include "world/terrain_file.h"
#include "records/text_field.h"
#include "world/unit_class_file.h"
#include "world/world.h"

bool IsValidMapSize(int32_t width, int32_t height) {
  return width > 0 && height > 0 && width <= kMaxMapSide && height <= kMaxMapSide &&
         static_cast<int64_t>(width) * height <= kMaxMapCells;
}

void FreeMapData(World& world) {
  for (HexCell& cell : world.cells) FreeHexStack(cell);
  std::vector<HexCell>().swap(world.cells);
  std::vector<uint8_t>().swap(world.cellBytes);
  std::vector<uint8_t>().swap(world.cellBlocks);
  std::vector<uint32_t>().swap(world.cellSummary);
  world.mapHeader.cellCount = 0;
  world.mapHeader.width = 0;
  world.mapHeader.height = 0;
  world.mapWidth = 0;
  world.mapHeight = 0;
  PublishObjectHexesCleared();
  if (g_mapViewHooks.resetView) g_mapViewHooks.resetView(0, 0);
}

void PrepareMapBuffers(World& world) {
  world.mapHeader.scale = std::sqrt(world.mapHeader.scaleSquared);
  PublishObjectHexesCleared();
  world.gameState.currentHex = {};
  world.gameState.viewHex = {};
  world.mapWidth = world.mapHeader.width;
  world.mapHeight = world.mapHeader.height;
  if (g_mapViewHooks.resetView) g_mapViewHooks.resetView(world.mapHeader.width, world.mapHeader.height);
}

int32_t LoadNewWorld(int32_t width, int32_t height) {
  if (!IsValidMapSize(width, height)) return plat::kInvalidArg;
  World& world = g_world;
  FreeMapData(world);

  MapHeader& h = world.mapHeader;
  h = MapHeaderWithSizes();
  h.created = FileStampNow();
  h.width = width;
  h.height = height;
  h.cellCount = width * height;
  h.newMapWord = 1;
  h.hexScale = 20;
  h.areaWord = static_cast<uint32_t>(h.cellCount) * 400u;
  h.flags = 1;
  SetFieldText(h.imageryName, "MAP");
  SetFieldText(h.terrainFileName, "DEFAULT");
  SetFieldText(h.mapTitle, "New Map");
  SetFieldText(h.unitFileName, "DEFAULT");
  SetFieldText(h.peopleFileName, "DEFAULT");
  SetFieldText(h.techFileName, "DEFAULT");
  SetFieldText(h.gameTitle, "NEW");
  h.startDay = kNewMapStartDay;
  h.tuning[0] = h.tuning[1] = 1.0f;
  h.tuning2[0] = h.tuning2[1] = 0.1f;
  h.scaleSquared = static_cast<float>(h.hexScale * h.hexScale / 400.0);

  // The data files the header names; a missing one leaves its table as it was.
  (void)ReadUniFile(world, FieldText(h.unitFileName));
  (void)ReadPplFile(world, FieldText(h.peopleFileName));
  (void)ReadTtrFile(world, FieldText(h.techFileName));
  world.cells.assign(static_cast<size_t>(h.cellCount), HexCell{});
  world.cellBytes.assign(static_cast<size_t>(h.cellCount), 0);
  (void)ReadTerFile(world, FieldText(h.terrainFileName));
  // A missing image leaves the map without a picture; the map itself stands.
  (void)LoadMapImagery(h);
  PrepareMapBuffers(world);
  return plat::kOk;
}

plat::Status ResizeMap(World& world, int32_t width, int32_t height) {
  if (!IsValidMapSize(width, height)) return plat::kInvalidArg;
  MapHeader& h = world.mapHeader;
  const size_t oldCount = world.cells.size();
  if (width == h.width && height == h.height && oldCount == static_cast<size_t>(width) * height) return plat::kOk;

  // Cells are carried over only as far as there are any: a header that
  // claims more than the cells hold (cells freed apart from it) reads none
  // beyond the end.
  std::vector<HexCell> cells(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int32_t y = 0; y < h.height; ++y) {
    for (int32_t x = 0; x < h.width; ++x) {
      const size_t at = static_cast<size_t>(y) * h.width + x;
      if (at >= oldCount) break;
      HexCell& old = world.cells[at];
      if (x < width && y < height) {
        cells[static_cast<size_t>(y) * width + x] = old;
        old.stack = nullptr;
      } else {
        FreeHexStack(old);
      }
    }
  }
  world.cells.swap(cells);
  // Each hex keeps the area it had; the map's area goes with their number.
  const int64_t oldHexes = static_cast<int64_t>(h.width) * h.height;
  const int64_t area = oldHexes > 0 ? static_cast<int64_t>(h.areaWord) * width * height / oldHexes : 0;
  h.areaWord = static_cast<uint32_t>(std::min<int64_t>(area, UINT32_MAX));
  h.width = width;
  h.height = height;
  h.cellCount = width * height;
  std::vector<uint8_t>().swap(world.cellBlocks);
  std::vector<uint32_t>().swap(world.cellSummary);
  world.cellBytes.assign(static_cast<size_t>(h.cellCount), 0);
  PrepareMapBuffers(world);
  return plat::kOk;
}
