#include "world/terrain_file.h"

#include <algorithm>
#include <cstring>

#include "world/data_checksum.h"
#include "world/data_file_io.h"
#include "records/le_bytes.h"
#include "world/world.h"

plat::Status LoadTerImage(World& world, std::span<const uint8_t> image, const std::string& source) {
  if (image.size() < kTerFileSize) {
    LogRefusedFile(source, "it holds " + std::to_string(image.size()) + " of its " + std::to_string(kTerFileSize) +
                               " bytes");
    return plat::kFail;
  }
  TerrainHeader header;
  std::memcpy(&header, image.data(), sizeof header);
  std::vector<TerrainRecord> terrains(kTerrainCount);
  for (size_t i = 0; i < terrains.size(); ++i)
    std::memcpy(&terrains[i], image.data() + kTerRecordsAt + i * kTerSlot, sizeof(TerrainRecord));

  world.terrains.swap(terrains);
  std::vector<uint8_t>().swap(world.terrainExtra);
  world.terrainHeader = header;
  world.terrainHeader.checksum = DataFileChecksum(image.data(), image.size());
  return plat::kOk;
}

plat::Status ReadTerFile(World& world, std::string_view name) {
  const std::string path = DataFileReadPath(name, ".TER");
  const auto file = ReadDataFile(path);
  if (!file) return plat::kFail;
  return LoadTerImage(world, *file, path);
}

std::vector<uint8_t> BuildTerImage(World& world) {
  world.terrainHeader.saved = FileStampNow();
  std::vector<uint8_t> out(kTerFileSize, 0);
  std::memcpy(out.data(), &world.terrainHeader, sizeof(TerrainHeader));
  le::Store32(out.data() + offsetof(TerrainHeader, checksum), 0);  // the loaded copy carries it
  const size_t count = std::min(world.terrains.size(), static_cast<size_t>(kTerrainCount));
  for (size_t i = 0; i < count; ++i)
    std::memcpy(out.data() + kTerRecordsAt + i * kTerSlot, &world.terrains[i], sizeof(TerrainRecord));
  return out;
}

plat::Status WriteTerFile(World& world, std::string_view name) {
  return WriteDataFile(DataFileWritePath(name, ".TER"), BuildTerImage(world));
}

void FreeTerrainTable(World& world) {
  std::vector<TerrainRecord>().swap(world.terrains);
  std::vector<uint8_t>().swap(world.terrainExtra);
}
