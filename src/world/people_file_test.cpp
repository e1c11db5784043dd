#include "world/people_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "world/data_checksum.h"
#include "world/data_file_test_support.h"
#include "records/le_bytes.h"
#include "world/text/people_bio.h"
#include "world/world.h"

namespace {

using filetest::DataRootScope;
using filetest::ReadBack;

class PplFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    ResetWorldDataTables(*world_);
    for (size_t i = 0; i < world_->people.size(); ++i) world_->people[i] = static_cast<uint8_t>(i * 13 + 5);
  }

  std::string Fingerprint() const {
    const World& w = *world_;
    std::string f(reinterpret_cast<const char*>(&w.peopleHeader), sizeof(PeopleHeader));
    f.append(w.people.begin(), w.people.end());
    return f;
  }

  DataRootScope root_;
  std::unique_ptr<World> world_;
};

TEST_F(PplFileTest, ImageLayout) {
  const auto f = BuildPplImage(*world_);
  ASSERT_EQ(f.size(), 66560u);
  EXPECT_EQ(le::Load16(f.data() + 12), 256);
  EXPECT_EQ(le::Load16(f.data() + 28 + 4), 2012);  // saved stamp
  for (size_t j = 0; j < 256; ++j) {
    ASSERT_EQ(std::memcmp(f.data() + 1024 + 256 * j, world_->people.data() + 56 * j, 56), 0) << j;
    for (size_t k = 56; k < 256; ++k) ASSERT_EQ(f[1024 + 256 * j + k], 0) << j;
  }
}

TEST_F(PplFileTest, WriteReadWriteIsByteIdenticalAndReadsTheBiographies) {
  ASSERT_EQ(WritePplFile(*world_, "FOLK"), 0);
  const auto first = ReadBack("MAPS\\DATA\\FOLK.PPL");
  root_.dir().Write("INI/FOLKBio.CSV", "First life\nSecond life\n");
  World other;
  ASSERT_EQ(ReadPplFile(other, "FOLK"), 0);
  EXPECT_EQ(other.people, world_->people);
  EXPECT_EQ(other.peopleHeader.checksum, DataFileChecksum(first.data(), first.size()));
  EXPECT_STREQ(g_peopleBio.slots[1].c_str(), "Second life");
  ASSERT_EQ(WritePplFile(other, "AGAIN"), 0);
  EXPECT_EQ(ReadBack("MAPS\\DATA\\AGAIN.PPL"), first);
  g_peopleBio.slots[0].reset();
  g_peopleBio.slots[1].reset();
}

TEST_F(PplFileTest, FromASaveGameBufferNoChecksumIsTaken) {
  const auto image = BuildPplImage(*world_);
  World other;
  other.peopleHeader.checksum = 77;
  ASSERT_EQ(ReadPplFile(other, "NOBIO", image), 0);
  EXPECT_EQ(other.people, world_->people);
  EXPECT_EQ(other.peopleHeader.checksum, 0u);  // as the image holds it
}

TEST_F(PplFileTest, MissingOrShortImagesChangeNothing) {
  const std::string before = Fingerprint();
  EXPECT_EQ(ReadPplFile(*world_, "NOSUCH"), plat::kFail);
  const auto good = BuildPplImage(*world_);
  const std::string stamped = Fingerprint();
  for (size_t length = 1; length < good.size(); ++length) {
    ASSERT_EQ(ReadPplFile(*world_, "x", std::span<const uint8_t>(good.data(), length)), plat::kFail) << length;
    if (length % 1021 == 0) {
      ASSERT_EQ(Fingerprint(), stamped) << length;
    }
  }
  EXPECT_EQ(Fingerprint(), stamped);
  EXPECT_NE(before, stamped);  // only the writer's saved stamp
}

}  // namespace
