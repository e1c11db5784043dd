#include "units/hex_stack_commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "units/hex_state.h"
#include "units/facilities/facility_build.h"
#include "units/handover_test_world.h"
#include "units/hex_geometry.h"
#include "units/unit_orders.h"
#include "records/hex_unit_stack.h"
#include "world/hex_stack_chains.h"
#include "world/unit_class.h"

using namespace handover_test;

namespace {

constexpr int kMill = 3;  // a facility with a needs table: one resource

class HexWorld : public World6 {
 public:
  HexWorld() {
    World& w = *world;
    w.cellBytes.assign(w.cells.size(), 3);
    OwnAll(1);
    UnitClassRecord& mill = w.unitClasses[kMill];
    std::strcpy(mill.name, "Mill");
    mill.strengthPerSize = 1;
    mill.valuePerPoint = 5;
    mill.flags = kClassFacility | kClassSpecialWeaponB;
    mill.hasExtra = true;
    le::StoreF32(mill.extra.data(), 1.0f);  // needs all of resource 0
    // Resource 0: the hex uses 0.5 of it, its neighbours spill 0.8.
    le::StoreF32(w.terrains[1].bytes + 0, 0.5f);
    le::StoreF32(w.terrains[1].bytes + 48, 0.8f);
    w.worldEconomy.assign(1024, 0);
    le::StoreF32(w.worldEconomy.data() + 4, 2.0f);    // price of resource 0
    le::StoreF32(w.worldEconomy.data() + 804, 5.0f);  // goods scale
    w.unitClasses[kDepot].buildWorkPerPoint = 10.0f;
    w.unitClasses[kAirBase].buildWorkPerPoint = 10.0f;
  }
  UnitRecord& Facility(int cls, float strength) {
    UnitRecord& f = Place(1, cls, 1.0f, 2, 2);
    f.strength = strength;
    f.targetStrength = strength;
    return f;
  }
  HexExtra& Sites(int x, int y, int inUse) {
    HexExtra* e = GetHexExtra(*world, Cell(x, y));
    for (int i = 0; i < inUse; ++i) {
      HexSlotSimFlags(*e, i) |= kSlotReach0;
      HexSlotDisplayFlags(*e, i) |= kSlotReach0;
    }
    return *e;
  }
  static uint32_t Bits(float f) { return std::bit_cast<uint32_t>(f); }
};

class HexCommandTest : public ::testing::Test, public HexWorld {};

TEST_F(HexCommandTest, ResourceShares) {
  struct Row {
    float q, need, available, used, cap, usable;
  } rows[] = {
      {1.0f, 0.5f, 0.8f, 0.3f, 0.5f, 0.5f},
      {3.0f, 0.5f, 0.8f, 0.3f, 1.0f, 0.5f},    // the cap stops at 1.0
      {1.0f, 0.5f, 0.8f, 0.9f, 0.5f, -0.1f},   // more used than there is
  };
  for (const Row& r : rows) {
    const ResourceShare s = SiteResourceShare(r.q, r.need, r.available, r.used, false);
    EXPECT_FLOAT_EQ(s.cap, r.cap) << r.q << " " << r.used;
    EXPECT_NEAR(s.usable, r.usable, 1e-6f) << r.q << " " << r.used;
  }
}

TEST_F(HexCommandTest, SizeTheSupplyCarries) {
  struct Row {
    float need, supply, asked, size;
  } rows[] = {
      {5.0f, 5.0f, 2.0f, 1.0f},   // supply 5 against 10
      {5.0f, 5.0f, 1.0f, 1.0f},
      {10.0f, 3.0f, 1.0f, 0.3f},
      {0.0f, -1.0f, 2.0f, 2.0f},  // nothing needed: the level asked stays
      {5.0f, 5.0f, 0.0f, 0.0f},
  };
  for (const Row& r : rows) EXPECT_NEAR(SupplyCarriedSize({r.need, r.supply}, r.asked), r.size, 1e-6f) << r.asked;
}

TEST_F(HexCommandTest, OffTheMapSpillsNothing) {
  // Hex (0, 0) spills a great deal; a hex on the top edge shares the spill
  // of its three neighbours on the map (and twice its own) over eight.
  World& w = *world;
  le::StoreF32(w.terrains[3].bytes + 48, 8.0f);
  Cell(0, 0).word = WithCellTerrain(Cell(0, 0).word, 3);
  struct Row {
    int x, y;
    float supply;
  } rows[] = {
      {2, 2, 3.0f},  // average 0.8: 0.8 - 0.5 of a need of 1, x 2 x 5
      {2, 0, 0.0f},  // average (2 + 3) x 0.8 / 8 = 0.5: nothing left over
      {4, 0, 0.0f},
  };
  for (const Row& r : rows) {
    const SiteSupply s = HexSiteSupply(w, Cell(r.x, r.y), w.unitClasses[kMill], kMill, 1);
    EXPECT_FLOAT_EQ(s.need, 10.0f) << r.x << "," << r.y;
    EXPECT_NEAR(s.supply, r.supply, 1e-5f) << r.x << "," << r.y;
  }
}

TEST_F(HexCommandTest, OutputLevelFollowsTheGround) {
  // Need 1 x 2 x 5 = 10 at level 1; usable 0.8 - 0.5 = 0.3, supply 3.
  struct Row {
    float asked, strength, target;
    bool building;
  } rows[] = {{1.0f, 0.1f, 0.3f, true}, {1.0f, 0.5f, 0.5f, false}, {0.2f, 0.1f, 0.2f, true}};
  for (const Row& r : rows) {
    HexWorld t;
    UnitRecord& f = t.Facility(kMill, r.strength);
    HexStackCommand290(*t.world, t.Cell(2, 2), 1, Bits(r.asked), 1);
    EXPECT_NEAR(f.targetStrength, r.target, 1e-6f) << r.asked << " " << r.strength;
    EXPECT_EQ((f.orders[kPostureBits] & kPostureUnderConstruction) != 0, r.building) << r.asked;
  }
}

TEST_F(HexCommandTest, ConversionCostsStrength) {
  struct Row {
    float newCost, oldCost, strength, after;
  } rows[] = {
      {10.0f, 12.0f, 0.8f, 0.3f},   // at least 5.0 of work
      {20.0f, 10.0f, 1.0f, 0.25f},
      {10.0f, 0.0f, 0.2f, 0.0f},    // never below 0
      {0.0f, 10.0f, 0.7f, 0.7f},    // a class without build work costs nothing
  };
  for (const Row& r : rows) {
    HexWorld t;
    t.world->unitClasses[kDepot].buildWorkPerPoint = r.oldCost;
    t.world->unitClasses[kAirBase].buildWorkPerPoint = r.newCost;
    UnitRecord& f = t.Facility(kDepot, r.strength);
    HexStackCommand301(*t.world, t.Cell(2, 2), 1, kAirBase, 1);
    EXPECT_EQ(f.classIndex, kAirBase);
    EXPECT_NEAR(f.strength, r.after, 1e-6f) << r.newCost << " " << r.oldCost;
    EXPECT_EQ(f.pendingOrders, 0);
    EXPECT_TRUE(f.orders[kStateFlags] & kStateBit24);
  }
}

TEST_F(HexCommandTest, WhoMayAct) {
  // Player 3 is on player 1's side (byte 4 of its record); 2 is not.
  enum Cmd { k288, k289, k295, k296, k297, k300, k304 };
  struct Row {
    Cmd cmd;
    int sender;
    bool acts;
  } rows[] = {
      {k297, 1, true},  {k297, 2, false}, {k297, 3, false},
      {k288, 2, false}, {k295, 2, false}, {k296, 2, false},
      {k300, 2, true},  {k289, 3, true},  {k289, 2, false},
      {k304, 3, true},  {k304, 2, false}, {k295, 1, true},
  };
  for (const Row& r : rows) {
    for (int pass = 0; pass < 2; ++pass) {
      HexWorld t;
      World& w = *t.world;
      w.players[1].number = 3;
      UnitRecord& f = t.Facility(kDepot, 1.0f);
      HexExtra& e = t.Sites(2, 2, 1);
      HexCell& cell = t.Cell(2, 2);
      HexCell& empty = t.Cell(4, 4);
      const UnitImage before = f;
      const uint8_t siteBefore = pass ? HexSlotSimFlags(e, 0) : HexSlotDisplayFlags(e, 0);
      bool acted = false;
      switch (r.cmd) {
        case k288:
          HexStackCommand288(w, empty, pass, 0x7000001, kDepot, Bits(1.0f), r.sender);
          acted = LoadHexStack(empty) && LoadHexStack(empty)->lead;
          break;
        case k289:
          HexStackCommand289(w, cell, pass, 0x7000002, r.sender, 4128, 2);
          acted = (pass ? HexSlotSimFlags(e, 1) : HexSlotDisplayFlags(e, 1)) & kSlotInUse;
          break;
        case k295:
          HexStackCommand295(w, cell, pass, r.sender);
          acted = (pass ? HexSlotSimFlags(e, 0) : HexSlotDisplayFlags(e, 0)) != siteBefore;
          break;
        case k296:
          HexStackCommand296(w, cell, pass, r.sender);
          acted = (pass ? HexSlotSimFlags(e, 0) : HexSlotDisplayFlags(e, 0)) != siteBefore;
          break;
        case k297:
          HexStackCommand297(w, cell, pass, r.sender, 1);
          acted = std::memcmp(&before, static_cast<UnitImage*>(&f), sizeof before) != 0;
          break;
        case k300:
          LeadUnitSetDestination(w, cell, pass, MakeHexPos(3, 3));
          acted = PassOrders(f, pass)[kDestination] == MakeHexPos(3, 3);
          break;
        case k304: {
          const std::vector<uint8_t> text = {'H', 'i', 0};
          HexStackCommand304(w, cell, r.sender, text);
          acted = e.text && std::string(e.text) == "Hi";
          break;
        }
      }
      EXPECT_EQ(acted, r.acts) << "command " << int{r.cmd} << " from " << r.sender << " pass " << pass;
      if (!r.acts) {
        EXPECT_EQ(f.pendingOrders, before.pendingOrders);
      }
    }
  }
}

TEST_F(HexCommandTest, TakingUpSitesByTheFacilitysStrength) {
  struct Row {
    float strength;
    bool building;
  } rows[] = {{0.99f, true}, {1.0f, false}};
  for (const Row& r : rows) {
    HexWorld t;
    t.Facility(kDepot, r.strength);
    HexExtra& e = t.Sites(2, 2, 2);
    HexSlotSimFlags(e, 0) |= kSlotRemoving | kSlotBuilding;
    HexStackCommand296(*t.world, t.Cell(2, 2), 1, 1);
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ((HexSlotSimFlags(e, i) & kSlotBuilding) != 0, r.building) << r.strength << " site " << i;
      EXPECT_FALSE(HexSlotSimFlags(e, i) & kSlotRemoving);
    }
  }
}

TEST_F(HexCommandTest, PeersArgumentsOutsideTheRulesDoNothing) {
  struct Row {
    const char* what;
    int command;
    uint32_t arg;
  } rows[] = {
      {"288 unknown class", 288, 9999},
      {"288 class 0", 288, 0},
      {"301 unknown class", 301, 9999},
      {"301 class without a name", 301, 2},
      {"290 level NaN", 290, std::bit_cast<uint32_t>(std::numeric_limits<float>::quiet_NaN())},
      {"290 level negative", 290, std::bit_cast<uint32_t>(-1.0f)},
      {"290 level infinite", 290, std::bit_cast<uint32_t>(std::numeric_limits<float>::infinity())},
  };
  for (const Row& r : rows) {
    for (int pass = 0; pass < 2; ++pass) {
      HexWorld t;
      World& w = *t.world;
      UnitRecord& f = t.Facility(kMill, 0.5f);
      const UnitImage before = f;
      HexCell& empty = t.Cell(4, 4);
      switch (r.command) {
        case 288: HexStackCommand288(w, empty, pass, 0x7000001, r.arg, Bits(1.0f), 1); break;
        case 290: HexStackCommand290(w, t.Cell(2, 2), pass, r.arg, 1); break;
        case 301: HexStackCommand301(w, t.Cell(2, 2), pass, r.arg, 1); break;
      }
      EXPECT_EQ(std::memcmp(&before, static_cast<UnitImage*>(&f), sizeof before), 0) << r.what << " pass " << pass;
      EXPECT_FALSE(LoadHexStack(empty) && LoadHexStack(empty)->lead) << r.what;
    }
  }
}

TEST_F(HexCommandTest, BuildingFacilitiesAndSites) {
  World& w = *world;
  // A check-only build makes no record.
  EXPECT_EQ(ProcessUnitStack(w, Cell(4, 4), 1, 0x7000001, kMill, 1.0f, true, false), 1);
  EXPECT_FALSE(LoadHexStack(Cell(4, 4)) && LoadHexStack(Cell(4, 4))->lead);
  // Supply 3 against a demand of 10 makes a size of 1.0 into 0.3.
  EXPECT_EQ(ProcessUnitStack(w, Cell(4, 4), 1, 0x7000001, kMill, 1.0f, false, true), 1);
  UnitRecord* f = LoadHexStack(Cell(4, 4))->lead;
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->classIndex, kMill);
  EXPECT_NEAR(f->targetStrength, 0.3f, 1e-6f);
  EXPECT_NEAR(f->strength, 0.3f, 1e-6f);
  // A hex with a live facility refuses another.
  EXPECT_EQ(ProcessUnitStack(w, Cell(4, 4), 1, 0x7000003, kDepot, 1.0f, true, false), 0);
  // A need of nothing on ground that uses more than it has (1.5 against
  // an availability capped at 1.0): no facility of NaN size.
  le::StoreF32(w.unitClasses[kMill].extra.data(), 0.0f);
  le::StoreF32(w.terrains[1].bytes + 0, 1.5f);
  le::StoreF32(w.terrains[1].bytes + 48, 2.0f);
  EXPECT_EQ(ProcessUnitStack(w, Cell(1, 3), 1, 0x7000004, kMill, 1.0f, false, false), 0);
  // Both sites in use: no third.
  Sites(3, 1, 2);
  EXPECT_EQ(BuildHexSite(w, Cell(3, 1), 1, 0x7000005, 4128, 3, false, false), 0);
  Sites(3, 3, 1);
  EXPECT_EQ(BuildHexSite(w, Cell(3, 3), 1, 0x7000006, 4128, 3, true, false), 1);
}

// The lead unit's value and strength calls, on a bare world with one hex
// and a facility class: the lead must be a facility of a class.
TEST(LeadUnit, LeadValueStaysWithinAByteAndStrengthChangesOnlyInTheSimulationPass) {
  auto world = std::make_unique<World>();
  world->unitClasses.assign(4, UnitClassRecord{});
  world->unitClasses[3].flags = kClassFacility;
  world->cells.assign(1, HexCell{});
  HexCell& cell = world->cells[0];
  world->unitClasses[3].buildWorkPerPoint = 2.0f;
  UnitRecord facility{};
  facility.id = 1;
  facility.classIndex = 3;
  facility.strength = 0.0f;
  facility.targetStrength = 1.0f;
  GetStackDataLocked(*world, cell)->lead = &facility;
  struct Case {
    int start, delta, result;
  };
  for (const Case& c : {Case{0, -1, 0}, Case{250, 10, 255}, Case{5, 3, 8}}) {
    facility.leadValue = static_cast<uint8_t>(c.start);
    EXPECT_EQ(LeadUnitAddValue(*world, cell, c.delta), c.result);
  }
  LeadUnitSetStrength(*world, cell, 0, 0.5f);
  EXPECT_EQ(facility.strength, 0.0f);
  LeadUnitSetStrength(*world, cell, 1, 0.5f);
  EXPECT_EQ(facility.strength, 0.5f);
  EXPECT_EQ(facility.buildWork, 1.0f);
  EXPECT_TRUE(facility.ordersShown[kPostureBits] & kPostureUnderConstruction);
  LeadUnitSetTargetStrength(*world, cell, 1, 0.5f);
  EXPECT_EQ(facility.buildWork, 0.0f);
  EXPECT_FALSE(facility.orders[kPostureBits] & kPostureUnderConstruction);
  facility.unitFlags |= kUnitProvisional;  // provisional: left alone
  EXPECT_EQ(LeadUnitAddValue(*world, cell, 1), -1);
  delete cell.stack;
  cell.stack = nullptr;
}


// The mode and state-bit forms reach the hex's facility in the copy of
// their pass, and leave a gone facility (and, on the simulation pass, a
// provisional one) alone: mode C sets state bit 29, mode A bit 31, the
// state-bit form bit 27.
TEST(LeadUnit, TheModeAndStateBitFormsActOnALiveFacilityInTheirPass) {
  enum Form { kModeC, kModeA, kStateBit };
  const struct {
    Form form;
    int pass;
    uint32_t facilityFlags;
    uint32_t bitSet;  // in the pass's copy; 0 when left alone
  } rows[] = {
      {kModeC, 1, 0, kStateModeC},          {kModeC, 0, 0, kStateModeC},
      {kModeC, 1, kUnitProvisional, 0},     {kModeC, 0, kUnitProvisional, kStateModeC},
      {kModeA, 1, 0, kStateHeldSlot},       {kModeA, 1, kUnitGone, 0},
      {kStateBit, 1, 0, kStateDeployDue},   {kStateBit, 0, 0, kStateDeployDue},
      {kStateBit, 1, kUnitProvisional, 0},  {kStateBit, 0, kUnitGone, 0},
  };
  for (const auto& row : rows) {
    HexWorld t;
    World& w = *t.world;
    UnitRecord& f = t.Facility(kDepot, 1.0f);
    f.unitFlags |= row.facilityFlags;
    HexCell& cell = t.Cell(2, 2);
    switch (row.form) {
      case kModeC: LeadUnitSetModeC(w, cell, row.pass, 1, 0); break;
      case kModeA: LeadUnitSetModeA(w, cell, row.pass, 1); break;
      case kStateBit: LeadUnitSetStateBit(w, cell, row.pass, 1); break;
    }
    const uint32_t mask = kStateModeC | kStateHeldSlot | kStateDeployDue;
    EXPECT_EQ(PassOrders(f, row.pass)[kStateFlags] & mask, row.bitSet) << int{row.form} << " pass " << row.pass;
    if (row.form == kStateBit && row.bitSet) {
      LeadUnitSetStateBit(w, cell, row.pass, 0);
      EXPECT_EQ(PassOrders(f, row.pass)[kStateFlags] & kStateDeployDue, 0u) << "and cleared again";
    }
  }
}

}  // namespace
