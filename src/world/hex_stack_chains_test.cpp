#include "world/hex_stack_chains.h"

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

TEST_F(HexChains, MovesCycleChainBToItsEndAndBringAUnitToItsHead) {
  HexCell& cell = world_->cells[0];
  UnitRecord& a = Unit(1, 1);
  UnitRecord& b = Unit(2, 2);
  UnitRecord& c = Unit(3, 3);
  for (UnitRecord* u : {&a, &b, &c}) HexStackInsertOrdered(*world_, cell, *u);
  struct Case {
    UnitRecord* unit;
    bool toEnd;
    std::vector<float> chain;
  };
  const Case cases[] = {
      {&a, true, {2, 3, 1}},  {&c, false, {3, 2, 1}}, {&a, false, {1, 3, 2}},
      {&b, true, {1, 3, 2}},  // already last
      {&a, false, {1, 3, 2}},  // already first
  };
  for (const Case& k : cases) {
    if (k.toEnd)
      HexStackMoveToEnd(*world_, cell, *k.unit);
    else
      HexStackMoveToFront(*world_, cell, *k.unit);
    EXPECT_EQ(ChainB(0), k.chain);
  }
  UnitRecord& stranger = Unit(4, 4);
  HexStackMoveToFront(*world_, cell, stranger);  // not in the chain: nothing
  EXPECT_EQ(ChainB(0), (std::vector<float>{1, 3, 2}));
  EXPECT_EQ(stranger.nextInChainB, nullptr);
}

TEST_F(HexChains, ReserveUnitsAtAHexAreCountedFromTheRing) {
  World& w = *world_;
  w.mapWidth = 1;
  HexCell& cell = w.cells[0];
  const uint32_t reserve = kPostureInReserve;
  struct Case {
    uint32_t state, flags;
    int16_t x;
    bool counted;
  };
  const Case cases[] = {{reserve, 0, 0, true},
                        {reserve | kPostureUnderConstruction, 0, 0, false},
                        {0, 0, 0, false},
                        {reserve, kUnitProvisional, 0, false},
                        {reserve, kUnitFacility, 0, false},
                        {reserve, kUnitGone, 0, false},
                        {reserve, 0, 1, false}};
  int expected = 0;
  std::vector<UnitRecord*> ring;
  for (const Case& c : cases) {
    UnitRecord& u = Unit(static_cast<uint32_t>(ring.size() + 1), 1);
    u.ordersShown[kPostureBits] = c.state;
    u.unitFlags = c.flags;
    u.x = c.x;
    ring.push_back(&u);
    expected += c.counted ? 1 : 0;
  }
  for (size_t i = 0; i < ring.size(); ++i) {
    ring[i]->next = ring[(i + 1) % ring.size()];
    ring[i]->prev = ring[(i + ring.size() - 1) % ring.size()];
  }
  w.units = ring[0];
  EXPECT_EQ(CountReserveUnitsAtHex(w, cell), expected);
  w.units = nullptr;  // the fixture's own units
}

TEST_F(HexChains, OwnerMasksFollowFilingRemovalAndOwnerChanges) {
  World& w = *world_;
  HexCell& cell = w.cells[0];
  UnitRecord& land3 = Unit(1, 1);
  UnitRecord& land3b = Unit(2, 1);
  UnitRecord& land5 = Unit(3, 1);
  UnitRecord& sea7 = Unit(4, 1, 2);
  land3.owner = land3b.owner = 3;
  land5.owner = 5;
  sea7.owner = 7;
  enum Step { kFile, kRemove, kOwner9 };
  struct Case {
    Step step;
    UnitRecord* unit;
    uint32_t land, sea;  // the masks of kinds 0 and 2 afterwards
  };
  const Case cases[] = {
      {kFile, &land3, 1u << 3, 0},
      {kFile, &land3b, 1u << 3, 0},
      {kFile, &land5, (1u << 3) | (1u << 5), 0},
      {kFile, &sea7, (1u << 3) | (1u << 5), 1u << 7},
      {kRemove, &land3, (1u << 3) | (1u << 5), 1u << 7},  // land3b still stands for owner 3
      {kRemove, &land5, 1u << 3, 1u << 7},
      {kOwner9, &land3b, 1u << 9, 1u << 7},  // changed in place, noted
      {kRemove, &sea7, 1u << 9, 0},
  };
  for (const Case& c : cases) {
    if (c.step == kFile) HexStackInsertById(w, cell, *c.unit);
    if (c.step == kRemove) HexStackRemove(w, cell, *c.unit);
    if (c.step == kOwner9) {
      c.unit->owner = 9;
      NoteUnitOwnerChange(w);
    }
    HexUnitStack& stack = *cell.stack;
    EXPECT_EQ(HexStackOwnersA(w, stack, 0), c.land) << c.unit->id;
    EXPECT_EQ(HexStackOwnersA(w, stack, 2), c.sea) << c.unit->id;
    EXPECT_EQ(HexStackOwnersA(w, stack, -1), c.land | c.sea) << c.unit->id;
  }
}

TEST_F(HexChains, LockedTextReplacesTheOldText) {
  char* slot = nullptr;
  SetLockedText(*world_, slot, "Northgate");
  ASSERT_NE(slot, nullptr);
  EXPECT_STREQ(slot, "Northgate");
  SetLockedText(*world_, slot, "Ford");
  EXPECT_STREQ(slot, "Ford");
  SetLockedText(*world_, slot, nullptr);
  EXPECT_EQ(slot, nullptr);
}

}  // namespace
