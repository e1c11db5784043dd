#include "records/player_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

const uint8_t* Bytes(const PlayerRecord& r) { return reinterpret_cast<const uint8_t*>(&r); }

std::unique_ptr<PlayerRecord> NewRecord() {
  auto r = std::make_unique<PlayerRecord>();
  std::memset(static_cast<void*>(r.get()), 0, sizeof(PlayerRecord));
  return r;
}

TEST(PlayerRecord, InitNullsEveryPointerWordAndNothingElse) {
  auto rp = NewRecord();
  PlayerRecord& r = *rp;
  std::memset(static_cast<void*>(&r), 0xA5, sizeof r);
  PlayerRecordInit(r);
  const uint8_t* b = Bytes(r);
  auto zeroAt = [&](size_t offset, size_t length) {
    for (size_t i = offset; i < offset + length; ++i)
      if (b[i] != 0) return false;
    return true;
  };
  EXPECT_TRUE(zeroAt(48, 4));
  EXPECT_TRUE(zeroAt(120 + 12, 4));
  EXPECT_TRUE(zeroAt(120 + 4900, 12));
  EXPECT_TRUE(zeroAt(5144 + 12, 4));
  EXPECT_TRUE(zeroAt(5144 + 4900, 12));
  EXPECT_TRUE(zeroAt(13168, 4));
  size_t zeros = 0;
  for (size_t i = 0; i < sizeof r; ++i) zeros += b[i] == 0;
  EXPECT_EQ(zeros, 4u + 2 * (4 + 12) + 4);
}

TEST(PlayerRecord, CopyIsByteForByte) {
  auto source = NewRecord();
  uint8_t* s = reinterpret_cast<uint8_t*>(source.get());
  for (size_t i = 0; i < sizeof(PlayerRecord); ++i) s[i] = static_cast<uint8_t>(i * 7 + 3);
  auto destination = NewRecord();
  CopyPlayerRecord(*destination, *source);
  EXPECT_EQ(std::memcmp(destination.get(), source.get(), sizeof(PlayerRecord)), 0);
  // The pointer words came over as they stood.
  EXPECT_EQ(destination->pointerSlot48, source->pointerSlot48);
  CopyPlayerRecord(*destination, *destination);
  EXPECT_EQ(std::memcmp(destination.get(), source.get(), sizeof(PlayerRecord)), 0);
}

class PolicyRestore : public ::testing::Test {
 protected:
  void SetUp() override {
    record_ = NewRecord();
    record_->displayPolicy.taxRates[0] = 0.30f;  // the player's local change
    record_->displayPolicy.friendlyMask = 0x6;
    record_->simPolicy.taxRates[0] = 0.10f;      // what the simulation has
    record_->simPolicy.friendlyMask = 0x2;
    record_->simPolicy.pointerSlots4900[1] = 0x1234;
  }
  bool DisplayIsSimulation() const {
    return std::memcmp(&record_->displayPolicy, &record_->simPolicy, sizeof(PlayerPolicyBlock)) == 0;
  }
  std::unique_ptr<PlayerRecord> record_;
};

// Two local commands outstanding: the first restore only counts down, the
// second brings the count to 0 and copies.
TEST_F(PolicyRestore, CopiesOnlyWhenNoCommandIsLeft) {
  record_->pendingCommands = 2;
  TickPolicyRestore(*record_);
  EXPECT_EQ(record_->pendingCommands, 1);
  EXPECT_EQ(record_->displayPolicy.taxRates[0], 0.30f);
  EXPECT_FALSE(DisplayIsSimulation());

  TickPolicyRestore(*record_);
  EXPECT_EQ(record_->pendingCommands, 0);
  EXPECT_EQ(record_->displayPolicy.taxRates[0], 0.10f);
  EXPECT_EQ(record_->displayPolicy.friendlyMask, 0x2u);
  EXPECT_TRUE(DisplayIsSimulation());

  // With none outstanding it copies at once and the count stays at 0.
  record_->displayPolicy.taxRates[0] = 0.55f;
  TickPolicyRestore(*record_);
  EXPECT_EQ(record_->pendingCommands, 0);
  EXPECT_TRUE(DisplayIsSimulation());
}

TEST_F(PolicyRestore, OnlyThePolicyBlockChanges) {
  record_->pendingCommands = 0;
  record_->treasury = 99.0f;
  record_->commandCounter = 5;
  auto before = std::make_unique<PlayerRecord>(*record_);
  TickPolicyRestore(*record_);
  before->displayPolicy = before->simPolicy;
  EXPECT_EQ(std::memcmp(before.get(), record_.get(), sizeof(PlayerRecord)), 0);
}

}  // namespace
