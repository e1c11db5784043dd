#include "world/tech_file.h"

#include <algorithm>
#include <cstring>

#include "world/data_checksum.h"
#include "world/data_file_io.h"
#include "records/le_bytes.h"
#include "world/world.h"

namespace {

// A text at a pool offset: none for 0; false when it is not a whole text of the pool.
bool PoolText(const uint8_t* pool, uint64_t poolSize, uint32_t offset, TableText& out) {
  if (offset == 0) return true;
  if (offset >= poolSize) return false;
  const void* end = std::memchr(pool + offset, 0, static_cast<size_t>(poolSize - offset));
  if (!end) return false;
  out.assign(std::string_view(reinterpret_cast<const char*>(pool + offset),
                              static_cast<const uint8_t*>(end) - (pool + offset)));
  return true;
}

uint32_t AppendText(std::vector<uint8_t>& pool, const TableText& text) {
  if (!text) return 0;
  const auto offset = static_cast<uint32_t>(pool.size());
  const char* s = text.get();
  pool.insert(pool.end(), s, s + std::strlen(s) + 1);
  return offset;
}

}  // namespace

plat::Status LoadTtrImage(World& world, std::span<const uint8_t> image, const std::string& source) {
  if (image.size() < sizeof(TechHeader)) {
    LogRefusedFile(source, "shorter than its header");
    return plat::kFail;
  }
  TechHeader header;
  std::memcpy(&header, image.data(), sizeof header);
  if (header.techCount < 0) {
    LogRefusedFile(source, "negative technology count");
    return plat::kFail;
  }
  const uint64_t poolAt = (static_cast<uint64_t>(header.techCount) + 4) * kTtrSlot;
  const uint64_t poolSize = header.stringPoolSize;
  if (poolAt + poolSize > image.size()) {
    LogRefusedFile(source, "its " + std::to_string(header.techCount) + " technologies and string pool run past its end");
    return plat::kFail;
  }
  const uint8_t* pool = image.data() + poolAt;
  std::vector<TechRecord> techs(static_cast<size_t>(header.techCount));
  for (size_t i = 0; i < techs.size(); ++i) {
    TechRecord& t = techs[i];
    std::memcpy(static_cast<TechImage*>(&t), image.data() + kTtrRecordsAt + i * kTtrSlot, sizeof(TechImage));
    if (!PoolText(pool, poolSize, t.nameSlot, t.name) || !PoolText(pool, poolSize, t.textSlot, t.text)) {
      LogRefusedFile(source, "technology " + std::to_string(i) + " has a text outside the string pool");
      return plat::kFail;
    }
    t.nameSlot = t.textSlot = 0;
  }

  world.techs.swap(techs);
  world.techHeader = header;
  world.techHeader.checksum = DataFileChecksum(image.data(), image.size());
  GrowTechStateRows(world);
  return plat::kOk;
}

plat::Status ReadTtrFile(World& world, std::string_view name) {
  const std::string path = DataFileReadPath(name, ".TTR");
  const auto file = ReadDataFile(path);
  if (!file) return plat::kFail;
  return LoadTtrImage(world, *file, path);
}

std::vector<uint8_t> BuildTtrImage(World& world) {
  TechHeader& h = world.techHeader;
  const size_t count = world.techs.size();
  std::vector<uint8_t> out((count + 4) * kTtrSlot, 0);
  std::vector<uint8_t> pool(1, 0);
  for (size_t i = 0; i < count; ++i) {
    const TechRecord& t = world.techs[i];
    TechImage image = t;
    image.nameSlot = AppendText(pool, t.name);
    image.textSlot = AppendText(pool, t.text);
    std::memcpy(out.data() + kTtrRecordsAt + i * kTtrSlot, &image, sizeof image);
  }
  // The pool is stored rounded up to 256 bytes; the padding is zeros.
  pool.resize((pool.size() + 256) & ~size_t{0xFF}, 0);
  h.techCount = static_cast<int32_t>(count);
  h.saved = FileStampNow();
  h.stringPoolSize = static_cast<uint32_t>(pool.size());
  std::memcpy(out.data(), &h, sizeof h);
  le::Store32(out.data() + offsetof(TechHeader, checksum), 0);  // the loaded copy carries it
  out.insert(out.end(), pool.begin(), pool.end());
  return out;
}

plat::Status WriteTtrFile(World& world, std::string_view name) {
  return WriteDataFile(DataFileWritePath(name, ".TTR"), BuildTtrImage(world));
}

void FreeTechTable(World& world) { std::vector<TechRecord>().swap(world.techs); }

void GrowTechStateRows(World& world) {
  const size_t count = world.techs.size();
  const int32_t oldCount = world.gameState.techCount > 0 ? world.gameState.techCount : 0;
  if (static_cast<size_t>(oldCount) >= count) return;
  std::vector<PlayerTechState> rows(kMaxPlayers * count, PlayerTechState{});
  for (size_t p = 0; p < static_cast<size_t>(kMaxPlayers); ++p) {
    const size_t from = p * static_cast<size_t>(oldCount);
    if (from >= world.techRows.size()) break;
    const size_t n = std::min(static_cast<size_t>(oldCount), world.techRows.size() - from);
    std::copy_n(world.techRows.begin() + static_cast<ptrdiff_t>(from), n,
                rows.begin() + static_cast<ptrdiff_t>(p * count));
  }
  world.techRows.swap(rows);
  world.gameState.techCount = static_cast<int32_t>(count);
}
