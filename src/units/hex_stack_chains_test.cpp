#include "units/hex_stack_chains.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "world/world.h"

namespace {

class HexChains : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    world_->unitClasses.assign(4, UnitClassRecord{});
    world_->unitClasses[1].kind = 0;
    world_->unitClasses[2].kind = 2;
    world_->unitClasses[3].flags = kClassFacility;
    world_->cells.assign(1, HexCell{});
  }
  void TearDown() override {
    for (HexCell& c : world_->cells) {
      delete c.stack;
      c.stack = nullptr;
    }
  }

  UnitRecord& Unit(uint32_t id, float strength, int16_t classIndex = 1) {
    units_.push_back(std::make_unique<UnitRecord>());
    UnitRecord& u = *units_.back();
    u.id = id;
    u.strength = strength;
    u.classIndex = classIndex;
    return u;
  }

  std::vector<float> ChainB(int kind) const {
    std::vector<float> out;
    for (UnitRecord* u = world_->cells[0].stack->chainB[kind]; u; u = u->nextInChainB) out.push_back(u->strength);
    return out;
  }

  std::unique_ptr<World> world_;
  std::vector<std::unique_ptr<UnitRecord>> units_;
};

TEST_F(HexChains, ChainBKeepsStrengthOrderWithLaterEqualsFirst) {
  HexCell& cell = world_->cells[0];
  UnitRecord& first5 = Unit(1, 5);
  HexStackInsertOrdered(*world_, cell, first5);
  HexStackInsertOrdered(*world_, cell, Unit(2, 1));
  HexStackInsertOrdered(*world_, cell, Unit(3, 9));
  UnitRecord& later5 = Unit(4, 5);
  HexStackInsertOrdered(*world_, cell, later5);
  EXPECT_EQ(ChainB(0), (std::vector<float>{1, 5, 5, 9}));
  EXPECT_EQ(cell.stack->chainB[0]->nextInChainB, &later5);
  EXPECT_EQ(later5.nextInChainB, &first5);
}

TEST_F(HexChains, ChainAKeepsIdOrderPerKind) {
  HexCell& cell = world_->cells[0];
  for (uint32_t id : {7u, 2u, 0x90000000u, 5u}) HexStackInsertById(*world_, cell, Unit(id, 1));
  UnitRecord& sea = Unit(3, 1, 2);
  ASSERT_NE(HexStackInsertById(*world_, cell, sea), nullptr);
  std::vector<uint32_t> ids;
  for (UnitRecord* u = cell.stack->chainA[0]; u; u = u->nextInChainA) ids.push_back(u->id);
  EXPECT_EQ(ids, (std::vector<uint32_t>{2, 5, 7, 0x90000000u}));
  EXPECT_EQ(cell.stack->chainA[2], &sea);
  // Filing it twice changes nothing.
  HexStackInsertById(*world_, cell, *cell.stack->chainA[0]);
  ids.clear();
  for (UnitRecord* u = cell.stack->chainA[0]; u; u = u->nextInChainA) ids.push_back(u->id);
  EXPECT_EQ(ids.size(), 4u);
}

TEST_F(HexChains, FacilitiesAndUnitsWithoutAKindAreNeverFiled) {
  HexCell& cell = world_->cells[0];
  EXPECT_EQ(HexStackInsertById(*world_, cell, Unit(1, 1, 3)), nullptr);
  EXPECT_EQ(HexStackInsertOrdered(*world_, cell, Unit(2, 1, 3)), nullptr);
  EXPECT_EQ(HexStackInsertOrdered(*world_, cell, Unit(3, 1, 9)), nullptr);  // no such class
  EXPECT_EQ(cell.stack, nullptr);
}

TEST_F(HexChains, RemovingAUnitOnlyInChainBReturns0AndStillUnlinksIt) {
  HexCell& cell = world_->cells[0];
  UnitRecord& a = Unit(1, 2);
  UnitRecord& b = Unit(2, 3);
  HexStackInsertOrdered(*world_, cell, a);
  HexStackInsertOrdered(*world_, cell, b);
  HexStackInsertById(*world_, cell, b);
  EXPECT_EQ(HexStackRemove(*world_, cell, a), 0);
  EXPECT_EQ(ChainB(0), std::vector<float>{3});
  EXPECT_EQ(HexStackRemove(*world_, cell, b), 1);
  EXPECT_EQ(cell.stack->chainA[0], nullptr);
  EXPECT_EQ(cell.stack->chainB[0], nullptr);
  HexCell bare;
  EXPECT_EQ(HexStackRemove(*world_, bare, a), 0);
}

}  // namespace
