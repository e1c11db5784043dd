// The facility status index over the order bits of a hex's lead unit.
#include "screens/common/facilities/facility_status.h"

#include <gtest/gtest.h>

#include <memory>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

struct StatusRow {
  const char* what;
  uint32_t posture;  // shown posture word
  uint32_t state;    // shown state word
  uint8_t supply;    // the hex's supply level byte
  int32_t want;
};

constexpr uint32_t kRunning = 1u << 0;
constexpr uint32_t kBuilding = 1u << 1;

const StatusRow kRows[] = {
    {"status bit 0 clear is active, whatever else", 0, kStateModeC | kStateHeldSlot, 0, kFacilityActive},
    {"demolition before construction", kRunning | kBuilding, kStateModeC | kStateHeldSlot, 3, kFacilityDemolishing},
    {"paused construction, with or without supply", kRunning | kBuilding,
     kStateHeldSlot | kStatePausedBuild, 0, kFacilityPaused},
    {"construction on a hex without supply", kRunning | kBuilding, kStateHeldSlot, 0, kFacilityBuildingNoSupply},
    {"construction with supply", kRunning | kBuilding, kStateHeldSlot, 1, kFacilityBuilding},
    {"building bit without the held slot", kRunning | kBuilding, kStatePausedBuild, 1, kFacilityInactive},
    {"held slot without the building bit", kRunning, kStateHeldSlot, 1, kFacilityInactive},
    {"stopped, nothing else", kRunning, 0, 1, kFacilityInactive},
};

class FacilityStatusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_->cells.assign(2, HexCell{nullptr, 0});
    world_->cellBytes.assign(2, 0);
    lead_.classIndex = 4001;
    MakeHexStack(world_->cells[0])->lead = &lead_;
  }
  void TearDown() override {
    for (HexCell& c : world_->cells) FreeHexStack(c);
  }
  std::unique_ptr<World> world_ = std::make_unique<World>();
  UnitRecord lead_{};
};

TEST_F(FacilityStatusTest, FirstMatchingRuleGivesTheIndex) {
  for (const StatusRow& row : kRows) {
    lead_.ordersShown[kPostureBits] = row.posture;
    lead_.ordersShown[kStateFlags] = row.state;
    world_->cellBytes[0] = row.supply;
    EXPECT_EQ(FacilityStatus(*world_, 0), row.want) << row.what;
  }
}

TEST_F(FacilityStatusTest, NoFacilityOrNoCellIsInactive) {
  EXPECT_EQ(FacilityStatus(*world_, 1), kFacilityInactive) << "a hex without a stack";
  EXPECT_EQ(FacilityStatus(*world_, 2), kFacilityInactive) << "past the last cell";
  lead_.ordersShown[kPostureBits] = 0;  // would be active if present
  lead_.unitFlags = kUnitGone;
  EXPECT_EQ(FacilityStatus(*world_, 0), kFacilityInactive) << "a gone lead";
  lead_.unitFlags = 0;
  lead_.classIndex = 0;
  EXPECT_EQ(FacilityStatus(*world_, 0), kFacilityInactive) << "a lead without a class";
}

}  // namespace
