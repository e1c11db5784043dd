#include "world/tech_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "world/data_checksum.h"
#include "world/data_file_test_support.h"
#include "records/le_bytes.h"
#include "world/world.h"

namespace {

using filetest::DataRootScope;
using filetest::ReadBack;

class TtrFileTest : public ::testing::Test {
 protected:
  void SetUp() override { world_ = std::make_unique<World>(); }

  // Technology 0 empty (no texts), 1 "Steam"/"Engines", 2 with a name and
  // an empty text, 3 with a description only.
  void MakeTechs(World& w) {
    w.techs.assign(4, TechRecord{});
    w.techs[1].category = 2;
    w.techs[1].name.assign("Steam");
    w.techs[1].text.assign("Engines");
    w.techs[1].prerequisites[0] = 3;
    w.techs[1].effectCodes[0] = 12;
    w.techs[1].effectPercents[0] = -50;
    w.techs[1].researchCost = 150.5f;
    w.techs[2].category = 1;
    w.techs[2].name.assign("Radio");
    w.techs[2].text.assign("");
    w.techs[3].category = 1;
    w.techs[3].text.assign("Only a text");
    w.techs[3].flags = 0x15;
  }

  std::string Fingerprint() const {
    const World& w = *world_;
    std::string f(reinterpret_cast<const char*>(&w.techHeader), sizeof(TechHeader));
    for (const TechRecord& t : w.techs) {
      f.append(reinterpret_cast<const char*>(static_cast<const TechImage*>(&t)), sizeof(TechImage));
      f += t.name ? std::string("n") + t.name.get() : "-";
      f += t.text ? std::string("t") + t.text.get() : "-";
    }
    f.append(reinterpret_cast<const char*>(w.techRows.data()), w.techRows.size() * sizeof(PlayerTechState));
    f += std::to_string(w.gameState.techCount);
    return f;
  }

  DataRootScope root_;
  std::unique_ptr<World> world_;
};

TEST_F(TtrFileTest, ImageLayoutWithItsStringPool) {
  MakeTechs(*world_);
  const auto f = BuildTtrImage(*world_);
  // Records to (4 + 4) x 64, then a pool of 1 + 6 + 8 + 6 + 1 + 12 = 34 bytes, stored as 256.
  ASSERT_EQ(f.size(), 8u * 64 + 256);
  EXPECT_EQ(le::Load32(f.data() + 8), 4u);
  EXPECT_EQ(le::Load32(f.data() + 36), 256u);
  const uint8_t* pool = f.data() + 512;
  EXPECT_EQ(pool[0], 0);
  const uint8_t* t0 = f.data() + 256;
  EXPECT_EQ(le::Load32(t0 + 4), 0u);  // no texts: both offsets 0
  EXPECT_EQ(le::Load32(t0 + 8), 0u);
  const uint8_t* t1 = f.data() + 256 + 64;
  EXPECT_EQ(le::Load32(t1 + 4), 1u);
  EXPECT_EQ(le::Load32(t1 + 8), 7u);
  EXPECT_STREQ(reinterpret_cast<const char*>(pool + 1), "Steam");
  EXPECT_STREQ(reinterpret_cast<const char*>(pool + 7), "Engines");
  EXPECT_EQ(le::LoadI16(t1 + 12), 3);
  EXPECT_EQ(t1[16], 12);
  EXPECT_EQ(static_cast<int8_t>(t1[18]), -50);
  EXPECT_EQ(le::LoadF32(t1 + 20), 150.5f);
  const uint8_t* t2 = f.data() + 256 + 128;
  EXPECT_EQ(le::Load32(t2 + 4), 15u);
  EXPECT_EQ(le::Load32(t2 + 8), 21u);  // the empty text still takes its terminator
  EXPECT_EQ(pool[21], 0);
  const uint8_t* t3 = f.data() + 256 + 192;
  EXPECT_EQ(le::Load32(t3 + 4), 0u);
  EXPECT_EQ(le::Load32(t3 + 8), 22u);
  EXPECT_EQ(le::Load32(t3 + 36), 0x15u);
  for (size_t k = 34; k < 256; ++k) EXPECT_EQ(pool[k], 0) << k;
}

TEST_F(TtrFileTest, WriteReadWriteIsByteIdentical) {
  MakeTechs(*world_);
  ASSERT_EQ(WriteTtrFile(*world_, "TREE"), 0);
  const auto first = ReadBack("MAPS\\DATA\\TREE.TTR");
  World other;
  ASSERT_EQ(ReadTtrFile(other, "TREE"), 0);
  ASSERT_EQ(other.techs.size(), 4u);
  EXPECT_EQ(other.techs[0].name.get(), nullptr);
  EXPECT_EQ(other.techs[0].text.get(), nullptr);
  EXPECT_STREQ(other.techs[1].name.get(), "Steam");
  EXPECT_STREQ(other.techs[1].text.get(), "Engines");
  ASSERT_NE(other.techs[2].text.get(), nullptr);
  EXPECT_STREQ(other.techs[2].text.get(), "");
  EXPECT_EQ(other.techs[3].name.get(), nullptr);
  EXPECT_EQ(other.techHeader.checksum, DataFileChecksum(first.data(), first.size()));
  ASSERT_EQ(WriteTtrFile(other, "AGAIN"), 0);
  EXPECT_EQ(ReadBack("MAPS\\DATA\\AGAIN.TTR"), first);
}

TEST_F(TtrFileTest, TechnologyRowsWidenAndNeverShrink) {
  World& w = *world_;
  w.gameState.techCount = 2;
  w.techRows.assign(32 * 2, PlayerTechState{});
  w.techRows[5 * 2 + 1].known = 9;
  w.techRows[31 * 2 + 0].projectFlags = 0x30;
  MakeTechs(w);
  ASSERT_EQ(LoadTtrImage(w, BuildTtrImage(w), "x"), 0);
  EXPECT_EQ(w.gameState.techCount, 4);
  ASSERT_EQ(w.techRows.size(), 32u * 4);
  EXPECT_EQ(w.techRows[5 * 4 + 1].known, 9);
  EXPECT_EQ(w.techRows[31 * 4 + 0].projectFlags, 0x30);
  EXPECT_EQ(w.techRows[5 * 4 + 2].known, 0);
  w.techs.resize(1);
  ASSERT_EQ(LoadTtrImage(w, BuildTtrImage(w), "x"), 0);
  EXPECT_EQ(w.gameState.techCount, 4);
  EXPECT_EQ(w.techs.size(), 1u);
}

TEST_F(TtrFileTest, TruncatedCopiesAreRefusedAndChangeNothing) {
  MakeTechs(*world_);
  const auto good = BuildTtrImage(*world_);
  ASSERT_EQ(LoadTtrImage(*world_, good, "x"), 0);
  const std::string before = Fingerprint();
  for (size_t length = 0; length < good.size(); ++length) {
    ASSERT_EQ(LoadTtrImage(*world_, std::span<const uint8_t>(good.data(), length), "x"), plat::kFail) << length;
    ASSERT_EQ(Fingerprint(), before) << length;
  }
  EXPECT_EQ(ReadTtrFile(*world_, "NOSUCH"), plat::kFail);
  EXPECT_EQ(Fingerprint(), before);
}

TEST_F(TtrFileTest, TextsOutsideThePoolAreRefused) {
  MakeTechs(*world_);
  const auto good = BuildTtrImage(*world_);
  ASSERT_EQ(LoadTtrImage(*world_, good, "x"), 0);
  const std::string before = Fingerprint();
  auto f = good;
  le::Store32(f.data() + 256 + 64 + 4, 256);  // just past the pool
  EXPECT_EQ(LoadTtrImage(*world_, f, "x"), plat::kFail);
  f = good;
  std::memset(f.data() + 512 + 1, 'x', 255);  // no terminator to the pool's end
  EXPECT_EQ(LoadTtrImage(*world_, f, "x"), plat::kFail);
  f = good;
  le::Store32(f.data() + 8, 0x7FFFFFFF);
  EXPECT_EQ(LoadTtrImage(*world_, f, "x"), plat::kFail);
  f = good;
  le::Store32(f.data() + 8, 0xFFFFFFFF);
  EXPECT_EQ(LoadTtrImage(*world_, f, "x"), plat::kFail);
  EXPECT_EQ(Fingerprint(), before);
}

TEST_F(TtrFileTest, EveryBitFlipIsRefusedOrReadWhole) {
  MakeTechs(*world_);
  const auto good = BuildTtrImage(*world_);
  int refused = 0;
  for (size_t bit = 0; bit < good.size() * 8; ++bit) {
    ASSERT_EQ(LoadTtrImage(*world_, good, "x"), 0);
    const std::string before = Fingerprint();
    auto copy = good;
    copy[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
    if (LoadTtrImage(*world_, copy, "x") != 0) {
      ++refused;
      ASSERT_EQ(Fingerprint(), before) << bit;
      continue;
    }
    ASSERT_EQ(world_->techs.size(), static_cast<size_t>(le::LoadI32(copy.data() + 8))) << bit;
    for (const TechRecord& t : world_->techs) {
      if (t.name) {
        ASSERT_LT(std::strlen(t.name.get()), 256u);
      }
      if (t.text) {
        ASSERT_LT(std::strlen(t.text.get()), 256u);
      }
    }
  }
  EXPECT_GT(refused, 0);
}

}  // namespace
