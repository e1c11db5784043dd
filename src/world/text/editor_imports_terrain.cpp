// The terrain import: the 256 terrain types from one line each.
#include <algorithm>
#include <cstring>
#include <vector>

#include "records/le_bytes.h"
#include "world/text/editor_imports.h"
#include "world/text/import_reader.h"
#include "world/world.h"

namespace {

constexpr size_t kYieldsAt = 0;
constexpr size_t kNeighbourhoodAt = 48;
constexpr int kTerrainReals = 12;
constexpr size_t kLowBytesAt = 96;       // 4 bytes, 98 the population level
constexpr size_t kNameAt = 100;
constexpr size_t kNameSize = 16;
constexpr size_t kClimateAt = 116;       // eight 4-bit values
constexpr size_t kMovementAt = 120;      // 8 bytes, one per movement type
constexpr size_t kFurtherAt = 128;       // 4 bytes
constexpr size_t kSingleBytes[] = {132, 133, 134};
constexpr size_t kFlagsAt = 136;         // bits 0 to 6
constexpr int kTerrainFlags = 7;

const char* const kClimateNames[8] = {"winter temperature", "spring temperature", "summer temperature",
                                      "autumn temperature", "winter rain",        "spring rain",
                                      "summer rain",        "autumn rain"};

// A terrain with no line: empty, with its default tile in the atlas.
TerrainRecord DefaultTerrain(int index) {
  TerrainRecord t{};
  t.imageLeft = 32 * (index % 16);
  t.imageTop = 32 * (index / 16);
  t.imageRight = t.imageLeft + 32;
  t.imageBottom = t.imageTop + 32;
  return t;
}

bool ReadByte(ImportReader& in, const char* what, uint8_t& byte) {
  int64_t v = 0;
  if (!in.Int(what, 0, 255, v)) return false;
  byte = static_cast<uint8_t>(v);
  return true;
}

bool ReadTerrain(ImportReader& in, TerrainRecord& t) {
  std::string name;
  if (!in.Text("name", name)) return false;
  std::memcpy(t.bytes + kNameAt, name.data(), std::min(name.size(), kNameSize - 1));
  for (int i = 0; i < kTerrainReals; ++i) {
    float v = 0.0f;
    if (!in.Real("yield", v)) return false;
    le::StoreF32(t.bytes + kYieldsAt + 4 * static_cast<size_t>(i), v);
  }
  for (int i = 0; i < kTerrainReals; ++i) {
    float v = 0.0f;
    if (!in.Real("neighbourhood value", v)) return false;
    le::StoreF32(t.bytes + kNeighbourhoodAt + 4 * static_cast<size_t>(i), v);
  }
  for (size_t i = 0; i < 4; ++i)
    if (!ReadByte(in, i == 2 ? "population level" : "terrain byte", t.bytes[kLowBytesAt + i])) return false;
  uint32_t climate = 0;
  for (int i = 0; i < 8; ++i) {
    int64_t v = 0;
    if (!in.Int(kClimateNames[i], 0, 15, v)) return false;
    climate |= static_cast<uint32_t>(v) << (4 * i);
  }
  le::Store32(t.bytes + kClimateAt, climate);
  for (size_t i = 0; i < 8; ++i)
    if (!ReadByte(in, "movement value", t.bytes[kMovementAt + i])) return false;
  for (size_t i = 0; i < 4; ++i)
    if (!ReadByte(in, "further value", t.bytes[kFurtherAt + i])) return false;
  for (const size_t at : kSingleBytes)
    if (!ReadByte(in, "terrain byte", t.bytes[at])) return false;
  uint32_t flags = 0;
  for (int i = 0; i < kTerrainFlags; ++i) {
    bool on = false;
    if (!in.Bool("terrain flag", on)) return false;
    if (on) flags |= 1u << i;
  }
  le::Store32(t.bytes + kFlagsAt, flags);
  int32_t* const rectangle[4] = {&t.imageRight, &t.imageLeft, &t.imageBottom, &t.imageTop};
  const char* const rectangleNames[4] = {"tile right", "tile left", "tile bottom", "tile top"};
  for (int i = 0; i < 4; ++i) {
    int64_t v = 0;
    if (!in.Int(rectangleNames[i], INT32_MIN, INT32_MAX, v)) return false;
    *rectangle[i] = static_cast<int32_t>(v);
  }
  return true;
}

}  // namespace

int32_t ImportTerrainCsv(World& world, const char* name, std::string* error) {
  ImportReader in;
  if (in.Load(name) < 0) return in.Refuse(error);
  if (!in.FindLineKey("STARTTERRAIN")) {
    in.Fail("there is no STARTTERRAIN line");
    return in.Refuse(error);
  }
  in.NextLine();

  std::vector<TerrainRecord> terrains;
  terrains.reserve(kTerrainCount);
  for (int i = 0; i < kTerrainCount; ++i) terrains.push_back(DefaultTerrain(i));
  int index = 0;
  while (!in.AtEnd() && index < kTerrainCount) {
    if (in.LineIsBlank()) {  // an empty row keeps its place: the type stays empty
      ++index;
      in.NextLine();
      continue;
    }
    in.BeginLine();
    TerrainRecord t{};
    if (!ReadTerrain(in, t)) return in.Refuse(error);
    terrains[static_cast<size_t>(index++)] = t;
    in.NextLine();
  }

  std::vector<uint8_t>().swap(world.terrainExtra);
  world.terrains = std::move(terrains);
  world.terrainHeader.terrainCount = kTerrainCount;
  return plat::kOk;
}
