#include "world/map_file.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "app/app_object.h"
#include "app/log.h"
#include "platform/paths.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/data_checksum.h"
#include "world/hex_extra.h"
#include "records/le_bytes.h"
#include "world/map_data.h"
#include "world/map_folders.h"
#include "world/map_imagery.h"
#include "world/id_lookups.h"
#include "world/world.h"

// A map read but not yet in the world. Until it is handed over it owns the
// stacks and labels it made.
struct StagedMap {
  MapHeader header{};
  std::vector<HexCell> cells;
  std::vector<uint8_t> cellBytes;
  std::vector<uint8_t> cellBlocks;
  std::vector<uint32_t> cellSummary;

  StagedMap() = default;
  StagedMap(const StagedMap&) = delete;
  StagedMap& operator=(const StagedMap&) = delete;
  ~StagedMap() {
    for (HexCell& cell : cells) FreeHexStack(cell);
  }
};

namespace {

constexpr size_t kCellBlockSize = 32;

std::string MapPath(const char* folder, std::string_view name) {
  std::string path = folder;
  path += name;
  path += ".MAP";
  return path;
}

size_t SidePartBytesPerCell(uint8_t partFlags) {
  size_t n = 0;
  if (partFlags & kMapPartCellBytes) n += 1;
  if (partFlags & kMapPartCellBlocks) n += kCellBlockSize;
  if (partFlags & kMapPartSummaries) n += 4;
  return n;
}

char* CopyText(const char* text, size_t length) {
  auto* copy = static_cast<char*>(std::malloc(length + 1));
  std::memcpy(copy, text, length);
  copy[length] = 0;
  return copy;
}

// Checks the image and builds the map from it. On failure `why` says what is
// wrong and nothing outside `out` has changed.
bool ParseMapImage(std::span<const uint8_t> data, const UnitIdLookup& lookup, StagedMap& out, std::string& why) {
  const uint64_t size = data.size();
  if (size < kMapHeaderBlock) {
    why = "shorter than its header";
    return false;
  }
  MapHeader& h = out.header;
  DecodeMapHeader(data.data(), h);
  if (h.version < kMapOldestVersion || h.version > kMapVersion) {
    why = "version " + std::to_string(h.version) + " is not one this program reads";
    return false;
  }
  if (h.cellSize != kMapCellImageSize) {
    why = "cell size " + std::to_string(h.cellSize) + " is not 8";
    return false;
  }
  if (h.width <= 0 || h.height <= 0 || h.width > kMaxMapSide || h.height > kMaxMapSide ||
      static_cast<int64_t>(h.width) * h.height != h.cellCount) {
    why = "its size " + std::to_string(h.width) + " x " + std::to_string(h.height) + " does not match its " +
          std::to_string(h.cellCount) + " cells";
    return false;
  }
  if (h.labelCount < 0) {
    why = "negative label count";
    return false;
  }
  const uint64_t cellCount = static_cast<uint64_t>(h.cellCount);
  const uint64_t cellsAt = kMapHeaderBlock;
  const uint64_t sidesAt = cellsAt + cellCount * kMapCellImageSize;
  const uint64_t labelsAt = sidesAt + cellCount * SidePartBytesPerCell(h.partFlags);
  const uint64_t labelsEnd = labelsAt + static_cast<uint64_t>(h.labelCount) * kHexLabelSlot;
  if (labelsEnd > size) {
    why = "its cells, side parts and labels run past the end of the file";
    return false;
  }
  const uint64_t poolAt = h.stringPoolOffset;
  const uint64_t poolSize = h.stringPoolSize;
  if (poolAt + poolSize > size) {
    why = "its string pool runs past the end of the file";
    return false;
  }
  const uint8_t* pool = data.data() + poolAt;

  // Label texts first: a label that names text outside the pool spoils the file.
  for (int32_t i = 0; i < h.labelCount; ++i) {
    const uint32_t textAt = le::Load32(data.data() + labelsAt + static_cast<uint64_t>(i) * kHexLabelSlot);
    if (textAt == 0) continue;
    if (textAt >= poolSize || !std::memchr(pool + textAt, 0, poolSize - textAt)) {
      why = "label " + std::to_string(i) + " has a text outside the string pool";
      return false;
    }
  }

  const size_t n = static_cast<size_t>(cellCount);
  out.cells.assign(n, HexCell{});
  for (size_t i = 0; i < n; ++i) {
    const uint8_t* image = data.data() + cellsAt + i * kMapCellImageSize;
    const uint32_t unitId = le::Load32(image);
    out.cells[i].word = le::Load32(image + 4);
    if (unitId != 0) MakeHexStack(out.cells[i])->lead = lookup ? lookup(unitId) : nullptr;
  }
  const uint8_t* side = data.data() + sidesAt;
  if (h.partFlags & kMapPartCellBytes) {
    out.cellBytes.assign(side, side + n);
    side += n;
  } else {
    out.cellBytes.assign(n, 0xFF);
  }
  out.cellBlocks.assign(n * kCellBlockSize, 0);
  if (h.partFlags & kMapPartCellBlocks) {
    std::memcpy(out.cellBlocks.data(), side, n * kCellBlockSize);
    side += n * kCellBlockSize;
  }
  if (h.partFlags & kMapPartSummaries) {
    out.cellSummary.resize(n);
    for (size_t i = 0; i < n; ++i) out.cellSummary[i] = le::Load32(side + i * 4);
  }

  for (int32_t i = 0; i < h.labelCount; ++i) {
    HexExtraImage image;
    DecodeHexExtra(data.data() + labelsAt + static_cast<uint64_t>(i) * kHexLabelSlot, image);
    // Labels off the map are dropped; columns wrap.
    if (image.y < 0 || image.y >= h.height || image.x >= h.width) continue;
    const int32_t x = WrapX(image.x, h.width);
    HexCell& cell = out.cells[static_cast<size_t>(image.y) * static_cast<size_t>(h.width) + x];
    HexUnitStack* stack = MakeHexStack(cell);
    // Of two labels for one hex the later one stands.
    FreeHexExtra(stack->extra);
    auto* extra = new HexExtra{};
    static_cast<HexExtraImage&>(*extra) = image;
    extra->HexExtraImage::text = 0;
    extra->x = static_cast<int16_t>(x);
    if (image.text != 0) {
      const char* text = reinterpret_cast<const char*>(pool + image.text);
      extra->text = CopyText(text, std::strlen(text));
    }
    stack->extra = extra;
  }
  return true;
}

// Rounds half to even, whatever the floating-point mode.
int64_t RoundNearest(double v) {
  const double r = std::floor(v);
  const double frac = v - r;
  int64_t i = static_cast<int64_t>(r);
  if (frac > 0.5 || (frac == 0.5 && (i & 1))) ++i;
  return i;
}

// The low byte of the strength times 240, rounded.
uint32_t StrengthByte(float strength) {
  const double v = static_cast<double>(strength) * 240.0;
  if (!std::isfinite(v) || v >= 9.0e15 || v <= -9.0e15) return 0;
  return static_cast<uint32_t>(RoundNearest(v)) & 0xFFu;
}

// What a map file keeps of a hex's lead unit, for units made again on load.
uint32_t CellSummaryOf(const UnitRecord& lead) {
  // The class goes in as a whole signed word: a class below 4000 fills the
  // upper bits too, and the loader then makes no unit for the hex.
  uint32_t summary = static_cast<uint32_t>(static_cast<int32_t>(lead.classIndex) - 4000);
  summary |= StrengthByte(lead.strength) << 8;
  const bool active = IsUnitLive(lead) && !(lead.orders[15] & kPostureInReserve);
  uint32_t marker = lead.heading & 0x0Fu;
  if (!active) marker |= 1;
  summary |= marker << 24;
  return summary;
}

}  // namespace

std::string MapReadPath(std::string_view name) {
  const bool custom = ReadsCustomFolder();
  return MapPath(custom ? "CUSTOM\\" : "MAPS\\", name);
}

std::string MapWritePath(std::string_view name) {
  return MapPath(InMapEditor() ? "CUSTOM\\" : "MAPS\\", name);
}

plat::Status ReadMapFile(World& world, std::string_view name, std::span<const uint8_t> buffer) {
  const bool fromFile = buffer.data() == nullptr;
  const std::string path = fromFile ? MapReadPath(name) : std::string(name);
  std::optional<std::vector<uint8_t>> file;
  if (fromFile) {
    file = plat::ReadFileBytes(path);
    if (!file || file->empty()) {
      std::string why = plat::FileReadRefusal(path);
      if (why.empty()) why = "the file cannot be read";
      LogWrite(g_platform, "Map file %s could not be read: %s.\n", path.c_str(), why.c_str());
      return plat::kFail;
    }
    buffer = *file;
  }

  std::string why;
  StagedMapPtr staged = StageMapImage(buffer, [&world](uint32_t id) { return FindUnitById(world, id); }, why);
  if (!staged) {
    LogWrite(g_platform, "Map file %s refused: %s.\n", path.c_str(), why.c_str());
    return plat::kFail;
  }
  std::optional<uint32_t> checksum;
  if (fromFile) checksum = DataFileChecksum(buffer.data(), buffer.size());
  CommitStagedMap(world, *staged, checksum);
  return plat::kOk;
}

void StagedMapDeleter::operator()(StagedMap* map) const { delete map; }

size_t StagedMapCellCount(const StagedMap& map) { return map.cells.size(); }
const MapHeader& StagedMapHeader(const StagedMap& map) { return map.header; }
std::span<const HexCell> StagedMapCells(const StagedMap& map) { return map.cells; }

StagedMapPtr StageMapImage(std::span<const uint8_t> image, const UnitIdLookup& lookup, std::string& why) {
  StagedMapPtr staged(new StagedMap);
  if (!ParseMapImage(image, lookup, *staged, why)) return nullptr;
  return staged;
}

void CommitStagedMap(World& world, StagedMap& staged, std::optional<uint32_t> fileChecksum) {
  FreeMapData(world);
  world.mapHeader = staged.header;
  world.cells.swap(staged.cells);
  world.cellBytes.swap(staged.cellBytes);
  world.cellBlocks.swap(staged.cellBlocks);
  world.cellSummary.swap(staged.cellSummary);
  if (fileChecksum) world.mapHeader.checksum = *fileChecksum;
  // A missing picture does not spoil the map.
  (void)LoadMapImagery(world.mapHeader);
  PrepareMapBuffers(world);
}

std::vector<uint8_t> BuildMapImage(World& world, bool forSaveGame) {
  WorldLockGuard writing(world, kLockRecurring);
  MapHeader& h = world.mapHeader;
  const size_t n = world.cells.size();

  if (forSaveGame) {
    h.partFlags = world.cellBlocks.empty() ? kMapPartCellBytes : kMapPartCellBytes | kMapPartCellBlocks;
  } else {
    h.partFlags = kMapPartSummaries;
    if (world.cellSummary.size() != n) world.cellSummary.assign(n, 0);
  }
  const bool summaries = h.partFlags & kMapPartSummaries;

  std::vector<HexCellImage> cells(n);
  std::vector<const HexExtra*> labels;
  std::vector<uint8_t> pool(1, 0);
  std::vector<uint8_t> labelSlots;
  {
    WorldLockGuard extras(world, kLockHexExtras);
    for (size_t i = 0; i < n; ++i) {
      const HexCell& cell = world.cells[i];
      cells[i] = {0, cell.word};
      if (summaries) world.cellSummary[i] = 0;
      const HexUnitStack* stack = cell.stack;
      if (!stack) continue;
      const UnitRecord* lead = stack->lead;
      if (lead && !(lead->unitFlags & kUnitGone)) {
        cells[i].leadUnitId = lead->id;
        if (summaries) world.cellSummary[i] = CellSummaryOf(*lead);
      }
      if (stack->extra) labels.push_back(stack->extra);
    }
    labelSlots.assign(labels.size() * kHexLabelSlot, 0);
    for (size_t i = 0; i < labels.size(); ++i) {
      HexExtraImage image = *labels[i];
      image.text = 0;
      if (labels[i]->text) {
        image.text = static_cast<uint32_t>(pool.size());
        const size_t length = std::strlen(labels[i]->text);
        pool.insert(pool.end(), labels[i]->text, labels[i]->text + length + 1);
      }
      EncodeHexExtra(image, labelSlots.data() + i * kHexLabelSlot);
    }
  }

  // The pool is stored rounded up to 256 bytes; the padding is zeros.
  const size_t poolSize = (pool.size() + 256) & ~size_t{0xFF};
  pool.resize(poolSize, 0);

  h.labelCount = static_cast<int32_t>(labels.size());
  h.saved = FileStampNow();
  h.stringPoolSize = static_cast<uint32_t>(poolSize);
  h.stringPoolOffset = static_cast<uint32_t>(kMapHeaderBlock + kHexLabelSlot * labels.size() +
                                             n * (kMapCellImageSize + SidePartBytesPerCell(h.partFlags)));
  SetMapHeaderSizes(h);

  std::vector<uint8_t> out(kMapHeaderBlock, 0);
  out.reserve(h.stringPoolOffset + poolSize);
  EncodeMapHeader(h, out.data());
  // A file cannot carry its own checksum: the loaded copy takes it on read,
  // and the file keeps 0 so that writing what was read gives the same bytes.
  le::Store32(out.data() + offsetof(MapHeader, checksum), 0);
  for (const HexCellImage& cell : cells) {
    uint8_t image[8];
    le::Store32(image, cell.leadUnitId);
    le::Store32(image + 4, cell.word);
    out.insert(out.end(), image, image + 8);
  }
  if (h.partFlags & kMapPartCellBytes) {
    const size_t have = world.cellBytes.size() < n ? world.cellBytes.size() : n;
    out.insert(out.end(), world.cellBytes.begin(), world.cellBytes.begin() + static_cast<ptrdiff_t>(have));
    out.insert(out.end(), n - have, 0xFF);
  }
  if (h.partFlags & kMapPartCellBlocks) {
    const size_t want = n * kCellBlockSize;
    const size_t have = world.cellBlocks.size() < want ? world.cellBlocks.size() : want;
    out.insert(out.end(), world.cellBlocks.begin(), world.cellBlocks.begin() + static_cast<ptrdiff_t>(have));
    out.insert(out.end(), want - have, 0);
  }
  if (summaries) {
    for (uint32_t summary : world.cellSummary) {
      uint8_t word[4];
      le::Store32(word, summary);
      out.insert(out.end(), word, word + 4);
    }
  }
  out.insert(out.end(), labelSlots.begin(), labelSlots.end());
  out.insert(out.end(), pool.begin(), pool.end());
  return out;
}

plat::Status WriteMapFile(World& world, std::string_view name) {
  const std::string path = MapWritePath(name);
  const std::vector<uint8_t> image = BuildMapImage(world, false);
  const size_t slash = path.rfind('\\');
  if (slash != std::string::npos) plat::MakeGameDirectories(path.substr(0, slash));
  if (plat::Failed(plat::WriteFileReplacing(path, image.data(), image.size()))) {
    LogWrite(g_platform, "Map file %s could not be written.\n", path.c_str());
    return plat::kFail;
  }
  return plat::kOk;
}
