#include "world/terrain_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "world/data_checksum.h"
#include "world/data_file_test_support.h"
#include "records/le_bytes.h"
#include "world/world.h"

namespace {

using filetest::DataRootScope;
using filetest::Lcg;
using filetest::ReadBack;

class TerFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    ResetWorldDataTables(*world_);
  }

  std::string Fingerprint() const {
    const World& w = *world_;
    std::string f(reinterpret_cast<const char*>(&w.terrainHeader), sizeof(TerrainHeader));
    f.append(reinterpret_cast<const char*>(w.terrains.data()), w.terrains.size() * sizeof(TerrainRecord));
    f += std::to_string(w.terrainExtra.size());
    return f;
  }

  DataRootScope root_;
  std::unique_ptr<World> world_;
};

TEST_F(TerFileTest, DefaultTableCarriesTheAtlasSquares) {
  const auto f = BuildTerImage(*world_);
  ASSERT_EQ(f.size(), 138240u);
  EXPECT_EQ(le::Load32(f.data() + 8), 256u);
  EXPECT_EQ(le::Load32(f.data() + 12), 0u);
  EXPECT_EQ(le::Load32(f.data() + 16), 24u);
  EXPECT_EQ(le::Load16(f.data() + 32 + 4), 2012);  // the saved stamp's year
  for (int i = 0; i < 256; ++i) {
    const uint8_t* r = f.data() + 1024 + 256 * i;
    EXPECT_EQ(le::LoadI32(r + 148), 32 * (i % 16)) << i;
    EXPECT_EQ(le::LoadI32(r + 152), 32 * (i / 16)) << i;
    EXPECT_EQ(le::LoadI32(r + 156), 32 * (i % 16) + 32) << i;
    EXPECT_EQ(le::LoadI32(r + 160), 32 * (i / 16) + 32) << i;
    for (int k = 164; k < 256; ++k) ASSERT_EQ(r[k], 0) << i << " " << k;
  }
  for (size_t k = 1024 + 256 * 256; k < f.size(); ++k) ASSERT_EQ(f[k], 0) << k;
}

TEST_F(TerFileTest, WriteReadWriteIsByteIdentical) {
  for (int i = 0; i < 256; ++i) world_->terrains[static_cast<size_t>(i)].bytes[i % 148] = static_cast<uint8_t>(i);
  ASSERT_EQ(WriteTerFile(*world_, "LAND"), 0);
  const auto first = ReadBack("MAPS\\DATA\\LAND.TER");
  World other;
  other.terrainExtra.assign(10, 1);
  ASSERT_EQ(ReadTerFile(other, "LAND"), 0);
  EXPECT_TRUE(other.terrainExtra.empty());
  ASSERT_EQ(other.terrains.size(), 256u);
  EXPECT_EQ(other.terrains[77].bytes[77], 77);
  EXPECT_EQ(other.terrains[255].imageTop, 480);
  EXPECT_EQ(other.terrainHeader.checksum, DataFileChecksum(first.data(), first.size()));
  ASSERT_EQ(WriteTerFile(other, "AGAIN"), 0);
  EXPECT_EQ(ReadBack("MAPS\\DATA\\AGAIN.TER"), first);
}

TEST_F(TerFileTest, MissingOrShortFilesChangeNothing) {
  const auto good = BuildTerImage(*world_);
  ASSERT_EQ(LoadTerImage(*world_, good, "x"), 0);
  const std::string before = Fingerprint();
  EXPECT_EQ(ReadTerFile(*world_, "NOSUCH"), plat::kFail);
  EXPECT_EQ(Fingerprint(), before);
  for (size_t length = 0; length < good.size(); ++length) {
    ASSERT_EQ(LoadTerImage(*world_, std::span<const uint8_t>(good.data(), length), "x"), plat::kFail) << length;
    if (length % 4099 == 0) {
      ASSERT_EQ(Fingerprint(), before) << length;
    }
  }
  EXPECT_EQ(Fingerprint(), before);
}

// The records are moved as bytes: any corruption reads back exactly as it
// stands in the file.
TEST_F(TerFileTest, CorruptedCopiesReadAsTheyStand) {
  const auto good = BuildTerImage(*world_);
  Lcg rng(99);
  for (int round = 0; round < 200; ++round) {
    auto copy = good;
    const size_t at = rng.Next() % copy.size();
    copy[at] ^= static_cast<uint8_t>(1u << (rng.Next() % 8));
    ASSERT_EQ(LoadTerImage(*world_, copy, "x"), 0);
    le::Store32(copy.data() + 4, 0);
    auto again = BuildTerImage(*world_);
    // Only the saved stamp and the bytes no record holds may differ.
    for (size_t k = 0; k < copy.size(); ++k) {
      const bool inRecord = k >= 1024 && k < 1024 + 256 * 256 && (k - 1024) % 256 < 164;
      const bool inHeader = k < 64 && !(k >= 32 && k < 44);
      if (inRecord || inHeader) {
        ASSERT_EQ(again[k], copy[k]) << round << " " << k;
      }
    }
  }
}

}  // namespace
