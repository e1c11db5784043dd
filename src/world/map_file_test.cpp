#include "world/map_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/paths.h"
#include "support/temp_dir.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/data_checksum.h"
#include "world/hex_extra.h"
#include "records/le_bytes.h"
#include "world/map_data.h"
#include "world/map_folders_test_support.h"
#include "world/world.h"
#include "support/fixed_clock.h"

namespace {

// The checksum worked out word by word with 64-bit arithmetic, as a cross
// check of the one the reader uses.
uint32_t SlowChecksum(const std::vector<uint8_t>& bytes) {
  uint64_t h = 0;
  for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    uint64_t w = bytes[i] + 256ull * bytes[i + 1] + 65536ull * bytes[i + 2] + 16777216ull * bytes[i + 3];
    h = (h * 3 + w) % 4294967296ull;
  }
  return static_cast<uint32_t>(h);
}

class MapFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetClockSource(&clock_);
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(dir_.path());
    world_ = std::make_unique<World>();
  }
  void TearDown() override {
    FreeMapData(*world_);
    world_->units = nullptr;  // the test's own units, not the world's to free
    world_.reset();
    plat::SetDataRoot(oldRoot_);
    plat::SetClockSource(nullptr);
  }

  // A small map by hand: terrain and owners in the cell words, three labels
  // (one without text), two units (one removed).
  void MakeSmallMap(int32_t width = 6, int32_t height = 4) {
    World& w = *world_;
    w.mapHeader = MapHeaderWithSizes();
    w.mapHeader.width = width;
    w.mapHeader.height = height;
    w.mapHeader.cellCount = width * height;
    w.mapHeader.scaleSquared = 2.25f;
    w.mapHeader.scale = 1.5f;  // as a load recomputes it
    std::strcpy(w.mapHeader.mapTitle, "Small");
    w.mapHeader.reserved452[7] = 0x5A;  // a byte nobody names survives
    w.cells.assign(static_cast<size_t>(width * height), HexCell{});
    w.cellBytes.assign(static_cast<size_t>(width * height), 0);
    for (int32_t i = 0; i < width * height; ++i)
      w.cells[i].word = WithCellTerrain(WithCellOwner(WithCellLoyalTo(0, i % 7), i % 5), i * 3);
    SetLabel(1, 2, "Harbour");
    SetLabel(5, 3, nullptr);
    SetLabel(0, 0, "North Cape");
    units_[0].id = 0x01000007;
    units_[0].classIndex = 4005;
    units_[0].strength = 0.5f;
    units_[0].heading = 3;
    units_[1].id = 0x02000009;
    units_[1].classIndex = 4010;
    units_[1].unitFlags = kUnitGone;
    LinkUnits();
    MakeHexStack(w.cells[2 * width + 3])->lead = &units_[0];
    MakeHexStack(w.cells[1 * width + 4])->lead = &units_[1];
  }

  void SetLabel(int x, int y, const char* text) {
    HexExtra* extra = GetHexExtra(*world_, world_->cells[y * world_->mapHeader.width + x]);
    ASSERT_EQ(extra->x, x);
    ASSERT_EQ(extra->y, y);
    extra->byte9 = 7;
    extra->pairA[1] = 0x42;
    if (text) extra->text = strdup(text);
  }

  void LinkUnits() {
    for (int i = 0; i < 2; ++i) {
      units_[i].next = &units_[(i + 1) % 2];
      units_[i].prev = &units_[(i + 1) % 2];
    }
    world_->units = &units_[0];
  }

  std::vector<uint8_t> ReadBack(const std::string& gamePath) {
    auto bytes = plat::ReadFileBytes(gamePath);
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or(std::vector<uint8_t>{});
  }

  // What must not change when a read is refused.
  std::string Fingerprint() const {
    const World& w = *world_;
    std::string f(reinterpret_cast<const char*>(&w.mapHeader), sizeof(MapHeader));
    for (const HexCell& cell : w.cells) {
      f.append(reinterpret_cast<const char*>(&cell.word), 4);
      f.append(reinterpret_cast<const char*>(&cell.stack), sizeof cell.stack);
      if (cell.stack && cell.stack->extra && cell.stack->extra->text) f += cell.stack->extra->text;
    }
    f.append(w.cellBytes.begin(), w.cellBytes.end());
    f += std::to_string(w.cellSummary.size());
    return f;
  }

  FixedClock clock_{{.year = 2011, .month = 3, .day = 14, .hour = 9, .minute = 26, .second = 53, .milliseconds = 589}, 1000};
  TempDir dir_;
  std::string oldRoot_;
  std::unique_ptr<World> world_;
  UnitRecord units_[2]{};
};

TEST(HexWrap, ColumnsWrapEastToWest) {
  EXPECT_EQ(WrapX(-1, 240), 239);
  EXPECT_EQ(WrapX(240, 240), 0);
  EXPECT_EQ(WrapX(0, 240), 0);
  EXPECT_EQ(WrapX(239, 240), 239);
  EXPECT_EQ(WrapX(-240, 240), 0);
  EXPECT_EQ(WrapX(-241, 240), 239);
  EXPECT_EQ(WrapX(485, 240), 5);
}

TEST(HexCellWord, FieldsSitWhereTheFileKeepsThem) {
  uint32_t w = WithCellTerrain(WithCellLoyalTo(WithCellOwner(0, 31), 17), 200);
  EXPECT_EQ(w, (31u << 3) | (17u << 11) | (200u << 24));
  EXPECT_EQ(CellOwner(w), 31);
  EXPECT_EQ(CellLoyalTo(w), 17);
  EXPECT_EQ(CellTerrain(w), 200);
  EXPECT_EQ(CellOwner(WithCellOwner(w | kCellFlagEq, 2)), 2);
  EXPECT_TRUE(WithCellOwner(w | kCellFlagEq, 2) & kCellFlagEq);
}

TEST(DataChecksum, FollowsTheRule) {
  const uint8_t two[] = {1, 0, 0, 0, 2, 0, 0, 0};
  EXPECT_EQ(DataFileChecksum(two, 8), 5u);  // (0 x 3 + 1) x 3 + 2
  const uint8_t six[] = {1, 0, 0, 0, 9, 9};
  EXPECT_EQ(DataFileChecksum(six, 6), 1u);  // only the first whole word counts
  EXPECT_EQ(DataFileChecksum(six, 3), 0u);
  const uint8_t wrap[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  // (2^32 - 1) x 3 + (2^32 - 1) = 4 x 2^32 - 4, which is 2^32 - 4 modulo 2^32.
  EXPECT_EQ(DataFileChecksum(wrap, 8), 0xFFFFFFFCu);
}

TEST_F(MapFileTest, NewMapHeaderImage) {
  MapHeader h = MapHeaderWithSizes();
  h.width = 240;
  h.height = 120;
  h.cellCount = 28800;
  h.stringPoolSize = 256;
  h.tuning2[0] = 0.1f;
  uint8_t image[kMapHeaderSize];
  EncodeMapHeader(h, image);
  EXPECT_EQ(le::Load32(image + 0), 672u);
  EXPECT_EQ(le::Load32(image + 4), 164u);
  EXPECT_EQ(le::Load32(image + 8), 8u);
  EXPECT_EQ(le::Load32(image + 12), 48u);
  EXPECT_EQ(le::Load32(image + 16), 0x6971u);
  EXPECT_EQ(le::Load32(image + 52), 240u);
  EXPECT_EQ(le::Load32(image + 56), 120u);
  EXPECT_EQ(le::Load32(image + 280), 28800u);
  EXPECT_EQ(le::Load32(image + 312), 0x3DCCCCCDu);  // 0.1f
  EXPECT_EQ(le::Load32(image + 668), 256u);
  MapHeader back;
  DecodeMapHeader(image, back);
  EXPECT_EQ(std::memcmp(&back, &h, sizeof h), 0);
}

TEST_F(MapFileTest, NewWorldHasTheDefaults) {
  ASSERT_EQ(LoadNewWorld(240, 120), 0);
  const MapHeader& h = g_world.mapHeader;
  EXPECT_EQ(h.size, 672u);
  EXPECT_EQ(h.version, 113);
  EXPECT_EQ(h.versionTag, 105);
  EXPECT_EQ(h.width, 240);
  EXPECT_EQ(h.height, 120);
  EXPECT_EQ(h.cellCount, 28800);
  EXPECT_EQ(h.newMapWord, 1u);
  EXPECT_EQ(h.hexScale, 20u);
  EXPECT_EQ(h.areaWord, 28800u * 400u);
  EXPECT_EQ(h.flags, 1);
  EXPECT_STREQ(h.imageryName, "MAP");
  EXPECT_STREQ(h.terrainFileName, "DEFAULT");
  EXPECT_STREQ(h.mapTitle, "New Map");
  EXPECT_STREQ(h.unitFileName, "DEFAULT");
  EXPECT_STREQ(h.peopleFileName, "DEFAULT");
  EXPECT_STREQ(h.techFileName, "DEFAULT");
  EXPECT_STREQ(h.gameTitle, "NEW");
  GameDate may1;
  may1.year = 2010;
  may1.month = 5;
  may1.day = 1;
  DateToDayNumber(may1);
  EXPECT_EQ(h.startDay, static_cast<uint32_t>(may1.dayNumber));
  EXPECT_EQ(h.startDay, 2455317u);
  EXPECT_EQ(h.tuning[0], 1.0f);
  EXPECT_EQ(h.tuning2[1], 0.1f);
  EXPECT_EQ(h.scaleSquared, 1.0f);
  EXPECT_EQ(h.scale, 1.0f);
  EXPECT_EQ(h.created.date.year, 2011);
  EXPECT_EQ(h.created.date.month, 3);
  EXPECT_EQ(h.created.date.day, 14);
  EXPECT_EQ(h.created.hour, 9);
  EXPECT_EQ(h.created.minute, 26);
  EXPECT_EQ(h.created.milliseconds, 53589);
  EXPECT_EQ(g_world.cells.size(), 28800u);
  EXPECT_EQ(g_world.cellBytes.size(), 28800u);
  EXPECT_EQ(g_world.mapWidth, 240);
  EXPECT_EQ(g_world.mapHeight, 120);

  // An impossible size leaves the map as it was.
  g_world.cells[5].word = 77;
  EXPECT_EQ(LoadNewWorld(0, 10), plat::kInvalidArg);
  EXPECT_EQ(LoadNewWorld(40000, 10), plat::kInvalidArg);
  EXPECT_EQ(LoadNewWorld(30000, 30000), plat::kInvalidArg);
  EXPECT_EQ(g_world.cells[5].word, 77u);
  EXPECT_EQ(g_world.mapHeader.width, 240);
  FreeMapData(g_world);
  EXPECT_TRUE(g_world.cells.empty());
  EXPECT_EQ(g_world.mapHeader.cellCount, 0);
}

TEST_F(MapFileTest, WriteReadWriteIsByteIdentical) {
  MakeSmallMap();
  world_->mapHeader.checksum = 0xDEADBEEF;  // as if another map had been read
  ASSERT_EQ(WriteMapFile(*world_, "SMALL"), 0);
  const std::vector<uint8_t> first = ReadBack("MAPS\\SMALL.MAP");

  // Read into a fresh map that has the same units.
  FreeMapData(*world_);
  ASSERT_EQ(ReadMapFile(*world_, "SMALL"), 0);
  EXPECT_EQ(world_->mapHeader.checksum, SlowChecksum(first));
  EXPECT_EQ(world_->mapHeader.checksum, DataFileChecksum(first.data(), first.size()));
  EXPECT_EQ(world_->mapHeader.width, 6);
  EXPECT_EQ(world_->mapHeader.labelCount, 3);
  EXPECT_EQ(world_->mapHeader.reserved452[7], 0x5A);
  EXPECT_STREQ(world_->mapHeader.mapTitle, "Small");
  for (int i = 0; i < 24; ++i)
    EXPECT_EQ(world_->cells[i].word, WithCellTerrain(WithCellOwner(WithCellLoyalTo(0, i % 7), i % 5), i * 3));
  // A .MAP carries no cell bytes: they come back as 0xFF.
  EXPECT_EQ(world_->cellBytes, std::vector<uint8_t>(24, 0xFF));
  ASSERT_NE(world_->cells[15].stack, nullptr);
  EXPECT_EQ(world_->cells[15].stack->lead, &units_[0]);
  // The removed unit was stored as no unit at all.
  EXPECT_EQ(world_->cells[10].stack, nullptr);
  const HexExtra* harbour = world_->cells[2 * 6 + 1].stack->extra;
  ASSERT_NE(harbour, nullptr);
  EXPECT_STREQ(harbour->text, "Harbour");
  EXPECT_EQ(harbour->x, 1);
  EXPECT_EQ(harbour->y, 2);
  EXPECT_EQ(harbour->byte9, 7);
  EXPECT_EQ(harbour->pairA[1], 0x42);
  EXPECT_STREQ(world_->cells[0].stack->extra->text, "North Cape");
  EXPECT_EQ(world_->cells[3 * 6 + 5].stack->extra->text, nullptr);

  ASSERT_EQ(WriteMapFile(*world_, "SMALL2"), 0);
  std::vector<uint8_t> second = ReadBack("MAPS\\SMALL2.MAP");
  ASSERT_EQ(second.size(), first.size());
  // The checksum slot is 0 in every written file (only the loaded copy
  // carries one), so the second file is the first byte for byte.
  EXPECT_EQ(le::Load32(first.data() + 284), 0u);
  EXPECT_EQ(le::Load32(second.data() + 284), 0u);
  EXPECT_EQ(world_->mapHeader.checksum, SlowChecksum(first));
  for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(second[i], first[i]) << "byte " << i;
}

TEST_F(MapFileTest, FileLayoutFollowsTheHeader) {
  MakeSmallMap();
  ASSERT_EQ(WriteMapFile(*world_, "SMALL"), 0);
  const std::vector<uint8_t> f = ReadBack("MAPS\\SMALL.MAP");
  EXPECT_EQ(f[65], 4);                      // summaries only
  EXPECT_EQ(le::Load32(f.data() + 288), 3u);  // labels
  // Pool: a zero, "North Cape" (cell 0), "Harbour" (cell 13); the label of
  // cell 23 has none. 1 + 11 + 8 = 20 bytes, stored as 256.
  const uint32_t poolAt = 1024 + 3 * 256 + 24 * 12;
  EXPECT_EQ(le::Load32(f.data() + 664), poolAt);
  EXPECT_EQ(le::Load32(f.data() + 668), 256u);
  ASSERT_EQ(f.size(), poolAt + 256u);
  EXPECT_EQ(f[poolAt], 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(&f[poolAt + 1]), "North Cape");
  EXPECT_STREQ(reinterpret_cast<const char*>(&f[poolAt + 12]), "Harbour");
  for (size_t i = poolAt + 20; i < f.size(); ++i) ASSERT_EQ(f[i], 0) << i;
  // Label slots in cell order with their pool offsets.
  const size_t labels = 1024 + 24 * 12;
  EXPECT_EQ(le::Load32(f.data() + labels), 1u);
  EXPECT_EQ(le::Load32(f.data() + labels + 256), 12u);
  EXPECT_EQ(le::Load32(f.data() + labels + 512), 0u);
  EXPECT_EQ(le::Load16(f.data() + labels + 256 + 12), 1u);
  EXPECT_EQ(le::Load16(f.data() + labels + 256 + 14), 2u);
  // Cells: the live lead unit's id, none for the removed one.
  EXPECT_EQ(le::Load32(f.data() + 1024 + 15 * 8), 0x01000007u);
  EXPECT_EQ(le::Load32(f.data() + 1024 + 10 * 8), 0u);
  // Summaries: class 4005 -> 5, strength 0.5 x 240 = 120, marker 3.
  const size_t summaries = 1024 + 24 * 8;
  EXPECT_EQ(le::Load32(f.data() + summaries + 15 * 4), 0x03007805u);
  EXPECT_EQ(le::Load32(f.data() + summaries + 10 * 4), 0u);
  // The saved stamp of the write.
  EXPECT_EQ(le::Load16(f.data() + 32 + 4), 2011u);
  EXPECT_EQ(f[32 + 8], 9);
}

TEST_F(MapFileTest, SummaryOfInactiveAndLowClassUnits) {
  MakeSmallMap();
  units_[0].orders[15] = kPostureInReserve;
  units_[0].heading = 0x12;  // only the low four bits are kept
  units_[0].strength = 1.0f;
  ASSERT_EQ(WriteMapFile(*world_, "S"), 0);
  auto f = ReadBack("MAPS\\S.MAP");
  // 240 = 0xF0; marker 2 with bit 0 set for not active.
  EXPECT_EQ(le::Load32(f.data() + 1024 + 24 * 8 + 15 * 4), 0x0300F005u);
  units_[0].orders[15] = 0;
  units_[0].classIndex = 3999;  // -1 as a whole word fills every bit
  ASSERT_EQ(WriteMapFile(*world_, "S"), 0);
  f = ReadBack("MAPS\\S.MAP");
  EXPECT_EQ(le::Load32(f.data() + 1024 + 24 * 8 + 15 * 4), 0xFFFFFFFFu);
}

TEST_F(MapFileTest, MapWithoutLabelsHasAMinimalPool) {
  MakeSmallMap();
  for (HexCell& cell : world_->cells) FreeHexStack(cell);
  ASSERT_EQ(WriteMapFile(*world_, "BARE"), 0);
  const auto f = ReadBack("MAPS\\BARE.MAP");
  EXPECT_EQ(le::Load32(f.data() + 668), 256u);
  EXPECT_EQ(le::Load32(f.data() + 664), 1024u + 24 * 12);
  EXPECT_EQ(f.size(), 1024u + 24 * 12 + 256);
}

TEST_F(MapFileTest, SaveGamePartCarriesCellBytesAndBlocks) {
  MakeSmallMap();
  world_->cellBytes[3] = 0x33;
  auto image = BuildMapImage(*world_, true);
  EXPECT_EQ(image[65], 1);
  EXPECT_EQ(le::Load32(image.data() + 664), 1024u + 3 * 256 + 24 * 9);
  EXPECT_EQ(image[1024 + 24 * 8 + 3], 0x33);

  world_->cellBlocks.assign(24 * 32, 0);
  world_->cellBlocks[32 * 5 + 1] = 0x44;
  image = BuildMapImage(*world_, true);
  EXPECT_EQ(image[65], 3);
  EXPECT_EQ(le::Load32(image.data() + 664), 1024u + 3 * 256 + 24 * 41);

  // Read back from the buffer: the bytes and blocks return, no checksum is taken.
  World other;
  other.units = world_->units;
  ASSERT_EQ(ReadMapFile(other, "save", image), 0);
  EXPECT_EQ(other.cellBytes[3], 0x33);
  EXPECT_EQ(other.cellBlocks[32 * 5 + 1], 0x44);
  EXPECT_TRUE(other.cellSummary.empty());
  EXPECT_EQ(other.mapHeader.checksum, 0u);
  EXPECT_STREQ(other.cells[13].stack->extra->text, "Harbour");
  FreeMapData(other);
  other.units = nullptr;  // borrowed from the fixture
}

TEST_F(MapFileTest, VersionsAndSizesTheReaderRefuses) {
  MakeSmallMap();
  const auto good = BuildMapImage(*world_, false);
  World other;
  for (int v : {110, 111, 112, 113}) {
    auto f = good;
    f[16] = static_cast<uint8_t>(v);
    EXPECT_EQ(ReadMapFile(other, "x", f), 0) << v;
  }
  for (int v : {0, 109, 114, 255}) {
    auto f = good;
    f[16] = static_cast<uint8_t>(v);
    EXPECT_EQ(ReadMapFile(other, "x", f), plat::kFail) << v;
  }
  auto f = good;
  le::Store32(f.data() + 8, 16);
  EXPECT_EQ(ReadMapFile(other, "x", f), plat::kFail);
  f = good;
  le::Store32(f.data() + 280, 25);
  EXPECT_EQ(ReadMapFile(other, "x", f), plat::kFail);
  f = good;
  le::Store32(f.data() + 52, 0x80000006u);  // huge width, product wraps in 32 bits
  EXPECT_EQ(ReadMapFile(other, "x", f), plat::kFail);
  f = good;
  le::Store32(f.data() + 288, 0xFFFFFFFFu);
  EXPECT_EQ(ReadMapFile(other, "x", f), plat::kFail);
  f = good;
  le::Store32(f.data() + 1024 + 24 * 12, 300);  // a label text past the pool
  EXPECT_EQ(ReadMapFile(other, "x", f), plat::kFail);
  f = good;
  le::Store32(f.data() + 664, 0xFFFFFF00u);
  EXPECT_EQ(ReadMapFile(other, "x", f), plat::kFail);
  // The last good read stands.
  EXPECT_EQ(other.mapHeader.width, 6);
  EXPECT_STREQ(other.cells[13].stack->extra->text, "Harbour");
  FreeMapData(other);
}

TEST_F(MapFileTest, MissingFileLeavesTheMapLoaded) {
  MakeSmallMap();
  const std::string before = Fingerprint();
  EXPECT_EQ(ReadMapFile(*world_, "NOSUCH"), plat::kFail);
  dir_.Write("MAPS/EMPTY.MAP", "");
  EXPECT_EQ(ReadMapFile(*world_, "EMPTY"), plat::kFail);
  EXPECT_EQ(Fingerprint(), before);
}

TEST_F(MapFileTest, LabelsOffTheMapAreDroppedAndColumnsWrap) {
  MakeSmallMap();
  auto f = BuildMapImage(*world_, false);
  const size_t labels = 1024 + 24 * 12;
  le::Store16(f.data() + labels + 12, static_cast<uint16_t>(-1));  // x -1: column 5
  le::Store16(f.data() + labels + 14, 1);
  le::Store16(f.data() + labels + 256 + 14, 4);  // row 4 of 4: off the map
  World other;
  ASSERT_EQ(ReadMapFile(other, "x", f), 0);
  ASSERT_NE(other.cells[1 * 6 + 5].stack, nullptr);
  EXPECT_STREQ(other.cells[1 * 6 + 5].stack->extra->text, "North Cape");
  EXPECT_EQ(other.cells[1 * 6 + 5].stack->extra->x, 5);
  EXPECT_EQ(other.cells[2 * 6 + 1].stack, nullptr);  // Harbour dropped
  int withLabel = 0;
  for (const HexCell& c : other.cells) withLabel += c.stack && c.stack->extra;
  EXPECT_EQ(withLabel, 2);

  // Two labels for one hex: the later stands, the earlier is freed.
  le::Store16(f.data() + labels + 512 + 12, 5);
  le::Store16(f.data() + labels + 512 + 14, 1);
  ASSERT_EQ(ReadMapFile(other, "x", f), 0);
  EXPECT_EQ(other.cells[1 * 6 + 5].stack->extra->text, nullptr);
  FreeMapData(other);
}

TEST_F(MapFileTest, TruncatedCopiesAreRefusedAndChangeNothing) {
  MakeSmallMap();
  const auto good = BuildMapImage(*world_, false);
  ASSERT_EQ(ReadMapFile(*world_, "x", good), 0);
  const std::string before = Fingerprint();
  for (size_t length = 1; length < good.size(); ++length) {
    ASSERT_EQ(ReadMapFile(*world_, "x", std::span<const uint8_t>(good.data(), length)), plat::kFail) << length;
    ASSERT_EQ(Fingerprint(), before) << length;
  }
}

// Every single-bit flip, then many random rewrites of whole words: each copy
// is either refused, leaving the map as it was, or read into a map whose
// parts agree with each other.
TEST_F(MapFileTest, CorruptedCopiesAreRefusedCleanly) {
  MakeSmallMap();
  const auto good = BuildMapImage(*world_, false);
  ASSERT_EQ(ReadMapFile(*world_, "x", good), 0);
  std::string before = Fingerprint();
  int refused = 0;
  auto check = [&](const std::vector<uint8_t>& copy) {
    if (ReadMapFile(*world_, "x", copy) == plat::kFail) {
      ++refused;
      ASSERT_EQ(Fingerprint(), before);
      return;
    }
    const World& w = *world_;
    ASSERT_EQ(w.cells.size(), static_cast<size_t>(w.mapHeader.width) * w.mapHeader.height);
    ASSERT_EQ(w.cellBytes.size(), w.cells.size());
    for (size_t i = 0; i < w.cells.size(); ++i) {
      const HexUnitStack* stack = w.cells[i].stack;
      if (stack && stack->extra) {
        ASSERT_EQ(stack->extra->x, static_cast<int>(i % w.mapHeader.width));
        if (stack->extra->text) {
          ASSERT_LT(std::strlen(stack->extra->text), good.size());
        }
      }
    }
    ASSERT_EQ(ReadMapFile(*world_, "x", good), 0);
    before = Fingerprint();
  };
  for (size_t bit = 0; bit < good.size() * 8; ++bit) {
    auto copy = good;
    copy[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
    const int refusedBefore = refused;
    check(copy);
    // Any change to the cell size, the version (but 113 to 112, which is
    // read alike), the width, the height or the cell count is refused.
    const size_t at = bit / 8;
    if ((at >= 8 && at < 12) || (at == 16 && bit % 8 != 0) || (at >= 52 && at < 60) || (at >= 280 && at < 284)) {
      EXPECT_EQ(refused, refusedBefore + 1) << "byte " << at << " bit " << bit % 8;
    }
  }
  uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return seed;
  };
  for (int round = 0; round < 3000; ++round) {
    auto copy = good;
    const int words = 1 + static_cast<int>(next() % 4);
    for (int k = 0; k < words; ++k) {
      const size_t at = (next() % (good.size() / 4)) * 4;
      const uint32_t value = (next() & 1) ? next() : next() % 64;
      le::Store32(copy.data() + at, value);
    }
    check(copy);
  }
  EXPECT_GT(refused, 0);
}

TEST_F(MapFileTest, ResizeKeepsTheOverlap) {
  MakeSmallMap();
  world_->cellSummary.assign(24, 9);
  world_->cellBlocks.assign(24 * 32, 1);
  ASSERT_EQ(ResizeMap(*world_, 4, 5), 0);
  EXPECT_EQ(world_->mapHeader.width, 4);
  EXPECT_EQ(world_->mapHeader.height, 5);
  EXPECT_EQ(world_->mapHeader.cellCount, 20);
  EXPECT_EQ(world_->mapWidth, 4);
  ASSERT_EQ(world_->cells.size(), 20u);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 4; ++x) {
      const uint32_t want = y < 4 ? WithCellTerrain(WithCellOwner(WithCellLoyalTo(0, (y * 6 + x) % 7), (y * 6 + x) % 5),
                                                    (y * 6 + x) * 3)
                                  : 0u;
      EXPECT_EQ(world_->cells[y * 4 + x].word, want) << x << "," << y;
    }
  }
  EXPECT_STREQ(world_->cells[2 * 4 + 1].stack->extra->text, "Harbour");
  EXPECT_EQ(world_->cells[2 * 4 + 3].stack->lead, &units_[0]);
  int labels = 0;
  for (const HexCell& c : world_->cells) labels += c.stack && c.stack->extra;
  EXPECT_EQ(labels, 2);  // the label at column 5 went with its column
  EXPECT_TRUE(world_->cellSummary.empty());
  EXPECT_TRUE(world_->cellBlocks.empty());
  EXPECT_EQ(world_->cellBytes, std::vector<uint8_t>(20, 0));
  EXPECT_EQ(ResizeMap(*world_, 4, 0), plat::kInvalidArg);
  EXPECT_EQ(world_->cells.size(), 20u);
  // Cells freed apart from the header: the same size again makes them anew
  // (the header alone would leave none), and a header larger than the cells
  // reads nothing beyond them.
  for (const size_t left : {size_t{0}, size_t{6}}) {
    for (HexCell& c : world_->cells) FreeHexStack(c);
    world_->cells.resize(left);
    ASSERT_EQ(ResizeMap(*world_, 4, 5), 0);
    EXPECT_EQ(world_->cells.size(), 20u) << left;
  }
}

TEST_F(MapFileTest, FoldersFollowTheMode) {
  TestMapFolders folders;
  EXPECT_EQ(MapReadPath("EUROPE"), "MAPS\\EUROPE.MAP");
  EXPECT_EQ(MapWritePath("EUROPE"), "MAPS\\EUROPE.MAP");
  folders.Set(false, true);
  EXPECT_EQ(MapReadPath("EUROPE"), "CUSTOM\\EUROPE.MAP");
  EXPECT_EQ(MapWritePath("EUROPE"), "MAPS\\EUROPE.MAP");
  folders.Set(true, false);
  EXPECT_EQ(MapReadPath("EUROPE"), "CUSTOM\\EUROPE.MAP");
  EXPECT_EQ(MapWritePath("EUROPE"), "CUSTOM\\EUROPE.MAP");
}

}  // namespace
