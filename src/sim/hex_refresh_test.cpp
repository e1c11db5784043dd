#include "sim/hex_refresh.h"

#include <gtest/gtest.h>

#include <memory>

#include "sim/facility_costs.h"
#include "units/hex_state.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "records/hex_cell.h"
#include "world/map_data.h"
#include "records/player_record.h"
#include "world/world.h"

namespace {

constexpr int16_t kFacility = 7;
constexpr int16_t kRepairer = 8;
constexpr int16_t kMarkerFacility = 9;

class HexRefreshTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    World& w = *world_;
    ASSERT_EQ(ResizeMap(w, 5, 5), 0);
    w.mapHeader.scaleSquared = 1.0f;  // hexArea of a hex of size 20
    w.unitClasses.resize(4130);
    w.unitClasses[kFacility].buildWorkPerPoint = 10.0f;
    SetClassCosts(w.unitClasses[kFacility], 100.0f, 2.0f, 4.0f);
    w.unitClasses[kRepairer].flags = kClassFortifies;
    w.unitClasses[kMarkerFacility].flags = kClassBuildsWorks | kClassRoad;
    w.unitClasses[kMarkerFacility].buildWorkPerPoint = 10.0f;
    // Terrain 0 has movement byte 0 (a hex that needs its facility);
    // terrain 1 does not.
    w.terrains.assign(kTerrainCount, TerrainRecord{});
    w.terrains[1].bytes[kTerrainMovement0At] = 3;
    for (HexCell& c : w.cells) c.word = WithCellTerrain(0, 1);
  }
  void TearDown() override {
    for (HexCell& c : world_->cells)
      if (HexUnitStack* s = LoadHexStack(c)) *s = HexUnitStack{s->extra};
  }
  HexCell& Cell(int x, int y) { return world_->cells[static_cast<size_t>(y * 5 + x)]; }
  HexUnitStack& Stack(int x, int y) { return *MakeHexStack(Cell(x, y)); }
  void Place(UnitRecord& u, int x, int y, int16_t cls, int owner) {
    u.x = static_cast<int16_t>(x);
    u.y = static_cast<int16_t>(y);
    u.classIndex = cls;
    u.owner = static_cast<uint8_t>(owner);
  }
  float Stock(int player, int p) { return ProductStock(world_->players[player], p); }
  std::unique_ptr<World> world_;
};

TEST_F(HexRefreshTest, WithoutRepairUnitsALevelZeroContestedHexLosesAThirdOverT) {
  // Owner 1, contender 2: s = 0; level 0; r = 1; T = 10:
  // ((0 / 125 + 0 + 1) / 3) x (1 / 10) x 1 x 10 = 1/3.
  Cell(2, 2).word = WithCellLoyalTo(WithCellOwner(Cell(2, 2).word, 1), 2);
  UnitRecord u{};
  Place(u, 2, 2, kFacility, 1);
  u.strength = 1.0f;
  u.targetStrength = 1.0f;
  Stack(2, 2).lead = &u;
  UnitHexDailyUpdate(*world_, u, 0);
  EXPECT_NEAR(u.strength, 0.666667f, 1e-5f);
  // Remaining time (1 - 0.66667) x 10.
  EXPECT_NEAR(u.buildWork, 3.33333f, 1e-4f);
  // Salvage: hexArea 1 x A 2 x 1/3 x 0.75 = 0.5; B 4 gives 1.0.
  EXPECT_NEAR(Stock(1, 9), 0.5f, 1e-6f);
  EXPECT_NEAR(Stock(1, 10), 1.0f, 1e-6f);
  EXPECT_EQ(u.classIndex, kFacility);
}

TEST_F(HexRefreshTest, RepairUnitsBringingFourGiveTwo) {
  // One repair unit next to (2,2), at (2,1): 1 + 1 x 1 x 150 x (1 - 0) / 50 = 4.
  UnitRecord rep{};
  Place(rep, 2, 1, kRepairer, 1);
  rep.efficiency = 1.0f;
  rep.experience = 1.0f;
  rep.strength = 150.0f;
  Stack(2, 1).chainA[0] = &rep;
  // Without the presence flag nobody looks at the chain.
  EXPECT_EQ(HexRepairFactor(*world_, 2, 2, nullptr), 1.0f);
  HexPresenceFlags(*GetHexExtra(*world_, Cell(2, 1))) = kPresenceRepair;
  EXPECT_EQ(HexRepairFactor(*world_, 2, 2, nullptr), 2.0f);
  // Worn out (wear 1.5) adds nothing; a transfer pending adds nothing.
  rep.disruption = 1.5f;
  EXPECT_EQ(HexRepairFactor(*world_, 2, 2, nullptr), 1.0f);
  rep.disruption = 0.0f;
  rep.orders[kOrderFlags] = 0x100;
  EXPECT_EQ(HexRepairFactor(*world_, 2, 2, nullptr), 1.0f);
  // (2,1) is no neighbour of (4,4).
  rep.orders[kOrderFlags] = 0;
  EXPECT_EQ(HexRepairFactor(*world_, 4, 4, nullptr), 1.0f);
}

TEST_F(HexRefreshTest, ATenthRunDownByHalfLosesExactlyATenthAndIsRetired) {
  // Owner and contender 1; the unit is the live lead with efficiency 0.5:
  // rate (0 + 0.5 + 1) / 3 = 0.5; amount 0.5 x (1 / 10) x 1 x 10 = 0.5,
  // held at the strength 0.1.
  Cell(2, 2).word = WithCellLoyalTo(WithCellOwner(Cell(2, 2).word, 1), 1);
  UnitRecord u{};
  Place(u, 2, 2, kFacility, 1);
  u.strength = 0.1f;
  u.targetStrength = 1.0f;
  u.efficiency = 0.5f;
  Stack(2, 2).lead = &u;
  UnitHexDailyUpdate(*world_, u, 0);
  EXPECT_EQ(u.strength, 0.0f);
  // Salvage for 0.1: 1 x 2 x 0.1 x 0.75 = 0.15 and 1 x 4 x 0.1 x 0.75 = 0.3.
  EXPECT_NEAR(Stock(1, 9), 0.15f, 1e-6f);
  EXPECT_NEAR(Stock(1, 10), 0.3f, 1e-6f);
  EXPECT_EQ(u.classIndex, 0) << "retired the same day";
}

TEST_F(HexRefreshTest, OnAHexThatNeedsItsFacilityTheSlotsFollowTheStrengthDown) {
  Cell(2, 2).word = WithCellTerrain(WithCellLoyalTo(WithCellOwner(0, 1), 2), 0);
  UnitRecord u{};
  Place(u, 2, 2, kFacility, 1);
  u.strength = 1.0f;
  u.targetStrength = 1.0f;
  Stack(2, 2).lead = &u;
  HexExtra& e = *GetHexExtra(*world_, Cell(2, 2));
  SetHexSlotProgress(e, 0, 1.0f);
  SetHexSlotProgress(e, 1, 0.5f);
  UnitHexDailyUpdate(*world_, u, 0);
  EXPECT_NEAR(HexSlotProgress(e, 0), 0.666667f, 1e-5f);
  EXPECT_EQ(HexSlotProgress(e, 0), u.strength);
  EXPECT_EQ(HexSlotProgress(e, 1), 0.5f);
}

TEST_F(HexRefreshTest, InstantRemovalTakesTheWholeStrengthWithoutSalvage) {
  // The owner is the contender and its rate is above 0: the whole strength
  // goes at once and nothing comes back.
  Cell(2, 2).word = WithCellLoyalTo(WithCellOwner(0, 1), 1);
  world_->players[1].efficiency = 0.4f;
  UnitRecord u{};
  Place(u, 2, 2, kFacility, 1);
  u.unitFlags = kUnitProvisional;  // not live as the lead, so the region's rate counts
  u.strength = 0.9f;
  u.orders[kStateFlags] = kStateModeCExtra | kStateModeC;
  Stack(2, 2).lead = &u;
  UnitHexDailyUpdate(*world_, u, 100);
  EXPECT_EQ(u.strength, 0.0f);
  EXPECT_EQ(Stock(1, 9), 0.0f);
  EXPECT_EQ(u.classIndex, 0);
}

TEST_F(HexRefreshTest, RetiringTheLastMarkerUnitClearsThePresenceBit) {
  UnitRecord u{};
  Place(u, 3, 3, kMarkerFacility, 1);
  u.strength = 1.0f;
  HexUnitStack& s = Stack(3, 3);
  s.lead = &u;
  HexExtra& e = *GetHexExtra(*world_, Cell(3, 3));
  HexPresenceFlags(e) = kPresenceMarkers;
  UnitRecord rep{};
  Place(rep, 3, 3, kRepairer, 1);
  s.chainA[2] = &rep;
  UnitHexRefresh(*world_, u);
  EXPECT_EQ(u.classIndex, 0);
  EXPECT_EQ(HexPresenceFlags(e), kPresenceRepair);
  // A hex without a record gets none for no flags.
  UnitRecord lone{};
  Place(lone, 4, 1, kFacility, 1);
  Stack(4, 1).lead = &lone;
  UnitHexRefresh(*world_, lone);
  EXPECT_EQ(LoadHexStack(Cell(4, 1))->extra, nullptr);
}

TEST_F(HexRefreshTest, RetiringAFacilityTheHexNeedsSettlesItsSlots) {
  // Terrain 0: the hex's slots close when its facility goes.
  Cell(2, 2).word = WithCellTerrain(0, 0);
  UnitRecord u{};
  Place(u, 2, 2, kFacility, 1);
  Stack(2, 2).lead = &u;
  HexExtra& e = *GetHexExtra(*world_, Cell(2, 2));
  e.x = 2;
  e.y = 2;
  HexSlotClass(e, 0) = 0xB6;
  HexSlotSimFlags(e, 0) = 0x13;
  UnitHexRefresh(*world_, u);
  EXPECT_EQ(HexSlotClass(e, 0), 0);
  EXPECT_EQ(HexSlotSimFlags(e, 0), 0x01);
}

}  // namespace
