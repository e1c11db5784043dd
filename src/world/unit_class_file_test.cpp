#include "world/unit_class_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

#include "world/data_checksum.h"
#include "world/data_file_io.h"
#include "world/data_file_test_support.h"
#include "records/le_bytes.h"
#include "records/text_field.h"
#include "world/map_folders_test_support.h"
#include "world/world.h"

namespace {

using filetest::DataRootScope;
using filetest::ReadBack;

class UniFileTest : public ::testing::Test {
 protected:
  void SetUp() override { world_ = std::make_unique<World>(); }

  // n classes: class i named "C<i>", with type byte i, strength 10 + i, and
  // an extra block on every odd class.
  void MakeClasses(World& w, int n) {
    w.unitClassHeader.version = kUnitClassVersion;
    w.unitClassHeader.created = FileStampNow();
    w.unitClasses.assign(static_cast<size_t>(n), UnitClassRecord{});
    for (int i = 0; i < n; ++i) {
      UnitClassRecord& c = w.unitClasses[static_cast<size_t>(i)];
      SetFieldText(c.name, "C" + std::to_string(i));
      c.typeByte = static_cast<uint8_t>(i);
      c.strengthPerSize = static_cast<int16_t>(10 + i);
      c.flags = 0x40u * static_cast<uint32_t>(i % 2);
      // The record's last field, which only the editor reads.
      std::memset(&c.maxPopulationFactor, 0xA0 + i, sizeof c.maxPopulationFactor);
      if (i % 2) {
        c.hasExtra = true;
        for (size_t k = 0; k < c.extra.size(); ++k) c.extra[k] = static_cast<uint8_t>(i * 7 + k);
      }
    }
  }

  std::string Fingerprint() const {
    const World& w = *world_;
    std::string f(reinterpret_cast<const char*>(&w.unitClassHeader), sizeof(UnitClassHeader));
    for (const UnitClassRecord& c : w.unitClasses) {
      f.append(reinterpret_cast<const char*>(static_cast<const UnitClassImage*>(&c)), sizeof(UnitClassImage));
      f += c.hasExtra ? 'x' : '-';
      f.append(reinterpret_cast<const char*>(c.extra.data()), c.extra.size());
    }
    f.append(w.designRows.begin(), w.designRows.end());
    f += std::to_string(w.gameState.designRowBytes);
    return f;
  }

  DataRootScope root_;
  std::unique_ptr<World> world_;
};

TEST_F(UniFileTest, FileSizesFollowTheClassCount) {
  for (int n : {0, 1, 3, 13}) {
    MakeClasses(*world_, n);
    EXPECT_EQ(BuildUniImage(*world_).size(), static_cast<size_t>((n + 4) * 256)) << n;
  }
  MakeClasses(*world_, 0);
  EXPECT_EQ(BuildUniImage(*world_).size(), 1024u);
}

TEST_F(UniFileTest, ImageLayout) {
  MakeClasses(*world_, 3);
  world_->unitClassHeader.checksum = 0xDEADBEEF;
  const auto f = BuildUniImage(*world_);
  ASSERT_EQ(f.size(), 1792u);
  EXPECT_EQ(le::Load32(f.data() + 4), 0u);  // the file never carries a checksum
  EXPECT_EQ(le::Load32(f.data() + 8), 108u);
  EXPECT_EQ(le::Load32(f.data() + 12), 3u);
  EXPECT_EQ(le::Load16(f.data() + 28 + 4), 2012);  // saved stamp: year
  EXPECT_EQ(f[28 + 6], 7);
  EXPECT_EQ(f[28 + 7], 21);
  EXPECT_EQ(f[28 + 8], 16);
  EXPECT_EQ(std::memcmp(f.data() + 1024 + 256, "C1", 3), 0);
  EXPECT_EQ(f[1024 + 256 + 24], 1);                      // type byte
  EXPECT_EQ(le::Load16(f.data() + 1024 + 256 + 28), 11);  // strength per size
  EXPECT_EQ(f[1024 + 256 + 199], 0xA1);
  EXPECT_NE(le::Load32(f.data() + 1024 + 256 + 60), 0u);  // class 1 has its extra block
  EXPECT_EQ(le::Load32(f.data() + 1024 + 60), 0u);
  EXPECT_EQ(f[1024 + 256 + 208], 7);
  EXPECT_EQ(f[1024 + 256 + 255], static_cast<uint8_t>(7 + 47));
  for (size_t i = 200; i < 256; ++i) EXPECT_EQ(f[1024 + i], 0) << i;  // class 0 has none
}

TEST_F(UniFileTest, WriteReadWriteIsByteIdentical) {
  MakeClasses(*world_, 6);
  ASSERT_EQ(WriteUniFile(*world_, "SAMPLE"), 0);
  const auto first = ReadBack("MAPS\\DATA\\SAMPLE.UNI");
  World other;
  ASSERT_EQ(ReadUniFile(other, "SAMPLE"), 0);
  ASSERT_EQ(other.unitClasses.size(), 6u);
  EXPECT_EQ(other.unitClassHeader.checksum, DataFileChecksum(first.data(), first.size()));
  EXPECT_STREQ(other.unitClasses[5].name, "C5");
  EXPECT_TRUE(other.unitClasses[5].hasExtra);
  EXPECT_FALSE(other.unitClasses[4].hasExtra);
  EXPECT_EQ(other.unitClasses[5].extra[3], 5 * 7 + 3);
  ASSERT_EQ(WriteUniFile(other, "AGAIN"), 0);
  EXPECT_EQ(ReadBack("MAPS\\DATA\\AGAIN.UNI"), first);
}

TEST_F(UniFileTest, NoClassesLeavesAnEmptyTableAndTheRows) {
  world_->gameState.designRowBytes = 8;
  world_->designRows.assign(32 * 8, 0x33);
  MakeClasses(*world_, 0);
  const auto f = BuildUniImage(*world_);
  World& w = *world_;
  w.unitClasses.resize(4);
  ASSERT_EQ(LoadUniImage(w, f, "x"), 0);
  EXPECT_TRUE(w.unitClasses.empty());
  EXPECT_EQ(w.gameState.designRowBytes, 8);
  EXPECT_EQ(w.designRows, std::vector<uint8_t>(32 * 8, 0x33));
}

TEST_F(UniFileTest, WideningDesignRowsKeepsTheOldBytes) {
  World& w = *world_;
  w.gameState.designRowBytes = 10;
  w.designRows.resize(32 * 10);
  for (size_t i = 0; i < w.designRows.size(); ++i) w.designRows[i] = static_cast<uint8_t>(i % 251 + 1);
  const std::vector<uint8_t> old = w.designRows;
  MakeClasses(w, 13);
  ASSERT_EQ(LoadUniImage(w, BuildUniImage(w), "x"), 0);
  ASSERT_EQ(w.gameState.designRowBytes, 16);
  ASSERT_EQ(w.designRows.size(), 32u * 16);
  for (int p = 0; p < 32; ++p) {
    for (int k = 0; k < 16; ++k) {
      const uint8_t want = k < 10 ? old[static_cast<size_t>(p * 10 + k)] : 0;
      EXPECT_EQ(w.designRows[static_cast<size_t>(p * 16 + k)], want) << p << " " << k;
    }
  }
  // A smaller file keeps the wide rows.
  MakeClasses(w, 5);
  ASSERT_EQ(LoadUniImage(w, BuildUniImage(w), "x"), 0);
  EXPECT_EQ(w.gameState.designRowBytes, 16);
  EXPECT_EQ(w.unitClasses.size(), 5u);
}

TEST_F(UniFileTest, ManyClassesBeyondTheWorksSlots) {
  // Classes up to 4,129 (the two works slots) and more as the file says.
  MakeClasses(*world_, 4200);
  const auto f = BuildUniImage(*world_);
  EXPECT_EQ(f.size(), (4200u + 4) * 256);
  World other;
  ASSERT_EQ(LoadUniImage(other, f, "x"), 0);
  ASSERT_EQ(other.unitClasses.size(), 4200u);
  EXPECT_STREQ(other.unitClasses[4129].name, "C4129");
  EXPECT_EQ(other.gameState.designRowBytes, 4200);
}

TEST_F(UniFileTest, MissingFileLeavesTheTable) {
  MakeClasses(*world_, 3);
  const std::string before = Fingerprint();
  EXPECT_EQ(ReadUniFile(*world_, "NOSUCH"), plat::kFail);
  root_.dir().Write("MAPS/DATA/EMPTY.UNI", "");
  EXPECT_EQ(ReadUniFile(*world_, "EMPTY"), plat::kFail);
  EXPECT_EQ(Fingerprint(), before);
}

TEST_F(UniFileTest, TruncatedCopiesAreRefusedAndChangeNothing) {
  MakeClasses(*world_, 3);
  const auto good = BuildUniImage(*world_);
  ASSERT_EQ(LoadUniImage(*world_, good, "x"), 0);
  const std::string before = Fingerprint();
  for (size_t length = 0; length < good.size(); ++length) {
    ASSERT_EQ(LoadUniImage(*world_, std::span<const uint8_t>(good.data(), length), "x"), plat::kFail) << length;
    ASSERT_EQ(Fingerprint(), before) << length;
  }
}

// Every single-bit flip: a count that no longer fits is refused with nothing
// changed; anything else reads a table of the count the header gives.
TEST_F(UniFileTest, EveryBitFlipIsRefusedOrReadWhole) {
  MakeClasses(*world_, 3);
  const auto good = BuildUniImage(*world_);
  int refused = 0;
  for (size_t bit = 0; bit < good.size() * 8; ++bit) {
    ASSERT_EQ(LoadUniImage(*world_, good, "x"), 0);
    const std::string before = Fingerprint();
    auto copy = good;
    copy[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
    if (LoadUniImage(*world_, copy, "x") != 0) {
      ++refused;
      ASSERT_EQ(Fingerprint(), before) << bit;
      continue;
    }
    const int32_t count = le::LoadI32(copy.data() + 12);
    ASSERT_EQ(world_->unitClasses.size(), static_cast<size_t>(count)) << bit;
  }
  EXPECT_GT(refused, 0);
}

TEST_F(UniFileTest, FoldersFollowTheMode) {
  World& w = *world_;
  MakeClasses(w, 1);
  TestMapFolders folders(true, false);
  ASSERT_EQ(WriteUniFile(w, "ED"), 0);
  EXPECT_TRUE(plat::GameFileExists("CUSTOM\\DATA\\ED.UNI"));
  EXPECT_EQ(ReadUniFile(w, "ED"), 0);
  folders.Set(false, true);  // a custom scenario reads from CUSTOM, writes to MAPS
  EXPECT_EQ(ReadUniFile(w, "ED"), 0);
  ASSERT_EQ(WriteUniFile(w, "ED"), 0);
  EXPECT_TRUE(plat::GameFileExists("MAPS\\DATA\\ED.UNI"));
  folders.Set(false, false);
  EXPECT_EQ(ReadUniFile(w, "ED"), 0);
  EXPECT_EQ(DataFileReadPath("DEFAULT", ".UNI"), "MAPS\\DATA\\DEFAULT.UNI");
}

}  // namespace

// A damaged class file can give a target type past the attack table: it
// reads as no attack, not as the bytes that follow the table.
TEST(UnitClassAttack, TypesPastTheTableHaveNoAttackValue) {
  UnitClassRecord c;
  for (int t = 0; t < 8; ++t) c.attackValues[t] = static_cast<uint8_t>(10 + t);
  c.spotValue = c.costFigure = 0x6363;  // the fields just before and after the table
  const struct {
    int type;
    uint8_t value;
  } rows[] = {{0, 10}, {5, 15}, {7, 17}, {10, 0}, {-1, 0}, {255, 0}};
  for (const auto& r : rows) EXPECT_EQ(AttackValueAgainst(c, r.type), r.value) << r.type;
}
