#include "world/unit_class_file.h"

#include <algorithm>
#include <cstring>

#include "platform/paths.h"
#include "world/data_checksum.h"
#include "world/data_file_io.h"
#include "records/le_bytes.h"
#include "world/world.h"

namespace {

void DecodeHeader(const uint8_t* image, UnitClassHeader& h) {
  std::memcpy(&h, image, sizeof h);
  le::LoadField(image, offsetof(UnitClassHeader, size), h.size);
  le::LoadField(image, offsetof(UnitClassHeader, checksum), h.checksum);
  le::LoadField(image, offsetof(UnitClassHeader, version), h.version);
  le::LoadField(image, offsetof(UnitClassHeader, classCount), h.classCount);
}

}  // namespace

bool StageUniImage(std::span<const uint8_t> image, UnitClassHeader& header, std::vector<UnitClassRecord>& classes,
                   std::string& why) {
  if (image.size() < kUniRecordsAt) {
    why = "shorter than its header";
    return false;
  }
  DecodeHeader(image.data(), header);
  if (header.classCount < 0 ||
      (static_cast<uint64_t>(header.classCount) + 4) * kUniSlot > static_cast<uint64_t>(image.size())) {
    why = "its " + std::to_string(header.classCount) + " classes do not fit its " + std::to_string(image.size()) +
          " bytes";
    return false;
  }
  classes.assign(static_cast<size_t>(header.classCount), UnitClassRecord{});
  for (size_t i = 0; i < classes.size(); ++i) {
    const uint8_t* slot = image.data() + kUniRecordsAt + i * kUniSlot;
    UnitClassRecord& c = classes[i];
    std::memcpy(static_cast<UnitClassImage*>(&c), slot, sizeof(UnitClassImage));
    c.hasExtra = c.extraSlot != 0;
    if (c.hasExtra) std::memcpy(c.extra.data(), slot + kUniExtraAt, kUnitClassExtraSize);
  }
  return true;
}

bool StageUniFile(std::string_view name, std::vector<UnitClassRecord>& classes) {
  const auto file = plat::ReadFileBytes(DataFileReadPath(name, ".UNI"));
  UnitClassHeader header;
  std::string why;
  return file && StageUniImage(*file, header, classes, why);
}

plat::Status LoadUniImage(World& world, std::span<const uint8_t> image, const std::string& source) {
  UnitClassHeader header;
  std::vector<UnitClassRecord> classes;
  std::string why;
  if (!StageUniImage(image, header, classes, why)) {
    LogRefusedFile(source, why);
    return plat::kFail;
  }
  world.unitClasses.swap(classes);
  world.unitClassHeader = header;
  world.unitClassHeader.checksum = DataFileChecksum(image.data(), image.size());
  GrowDesignBitRows(world);
  return plat::kOk;
}

plat::Status ReadUniFile(World& world, std::string_view name) {
  const std::string path = DataFileReadPath(name, ".UNI");
  const auto file = ReadDataFile(path);
  if (!file) return plat::kFail;
  return LoadUniImage(world, *file, path);
}

std::vector<uint8_t> BuildUniImage(World& world) {
  UnitClassHeader& h = world.unitClassHeader;
  h.saved = FileStampNow();
  h.classCount = static_cast<int32_t>(world.unitClasses.size());
  std::vector<uint8_t> out((world.unitClasses.size() + 4) * kUniSlot, 0);
  std::memcpy(out.data(), &h, sizeof h);
  // A file cannot carry its own checksum: the loaded copy takes it on read,
  // and the file keeps 0 so that writing what was read gives the same bytes.
  le::Store32(out.data() + offsetof(UnitClassHeader, checksum), 0);
  for (size_t i = 0; i < world.unitClasses.size(); ++i) {
    const UnitClassRecord& c = world.unitClasses[i];
    uint8_t* slot = out.data() + kUniRecordsAt + i * kUniSlot;
    UnitClassImage image = c;
    image.extraSlot = c.hasExtra ? (c.extraSlot ? c.extraSlot : 1u) : 0u;
    std::memcpy(slot, &image, sizeof image);
    if (c.hasExtra) std::memcpy(slot + kUniExtraAt, c.extra.data(), kUnitClassExtraSize);
  }
  return out;
}

plat::Status WriteUniFile(World& world, std::string_view name) {
  return WriteDataFile(DataFileWritePath(name, ".UNI"), BuildUniImage(world));
}

void FreeUnitClassTable(World& world) { std::vector<UnitClassRecord>().swap(world.unitClasses); }

void GrowDesignBitRows(World& world) {
  const size_t count = world.unitClasses.size();
  const int32_t oldWidth = world.gameState.designRowBytes > 0 ? world.gameState.designRowBytes : 0;
  if (static_cast<size_t>(oldWidth) >= count) return;
  const size_t width = (count + 3) & ~size_t{3};
  std::vector<uint8_t> rows(kMaxPlayers * width, 0);
  for (size_t p = 0; p < static_cast<size_t>(kMaxPlayers); ++p) {
    const size_t from = p * static_cast<size_t>(oldWidth);
    if (from >= world.designRows.size()) break;
    const size_t n = std::min(static_cast<size_t>(oldWidth), world.designRows.size() - from);
    std::memcpy(rows.data() + p * width, world.designRows.data() + from, n);
  }
  world.designRows.swap(rows);
  world.gameState.designRowBytes = static_cast<int32_t>(width);
}
