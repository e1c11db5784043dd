// A facility built, paused and converted by hex commands on the real turn
// thread: each command's display pass shows at once, its simulation pass
// runs at its time, and once none is outstanding both copies agree.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "records/command_ids.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "sim/game_session_test_support.h"
#include "sim/game_stop.h"
#include "sim/log_on.h"
#include "units/hex_geometry.h"
#include "world/hex_extra.h"

namespace {

constexpr int kDepot = 20;
constexpr int kWorks = 21;

class FacilityCommands : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    BuildWorld(8, 6, 2, true);
    GiveRegionsLand(2);
    World& w = g_world;
    w.terrains[0].bytes[120] = 1;  // open ground
    w.cellBytes.assign(w.cells.size(), 3);
    for (int cls : {kDepot, kWorks}) {
      UnitClassRecord& c = w.unitClasses[static_cast<size_t>(cls)];
      std::snprintf(c.name, sizeof c.name, "%s", cls == kDepot ? "Depot" : "Works");
      c.flags = kClassFacility;
      c.strengthPerSize = 1;
      c.valuePerPoint = 1;
      c.buildWorkPerPoint = cls == kDepot ? 10.0f : 20.0f;
    }
  }

  static UnitRecord* Lead(int x, int y) {
    HexUnitStack* s = LoadHexStack(g_world.cells[static_cast<size_t>(y * g_world.mapWidth + x)]);
    return s ? s->lead : nullptr;
  }
  static void ExpectCopiesAgree(const UnitRecord& f, const char* after) {
    EXPECT_EQ(f.pendingOrders, 0) << after;
    EXPECT_EQ(std::memcmp(&f.orders, &f.ordersShown, sizeof f.orders), 0) << after;
  }
};

TEST_F(FacilityCommands, BuiltPausedAndConvertedThroughBothPasses) {
  ASSERT_GE(LogOn(nullptr, 0, 0), 0);
  g_uiOptions.autosaveturns = 0;
  // Region 1 holds the even columns.
  const uint32_t hex = MakeHexPos(2, 3);
  ASSERT_EQ(CellOwner(g_world.cells[static_cast<size_t>(3 * g_world.mapWidth + 2)].word), 1);

  PostArgs(kCmdHexStack288, HexPlaceArgs{.hex = hex, .classIndex = kDepot, .size = 1.0f});
  UnitRecord* f = Lead(2, 3);
  ASSERT_NE(f, nullptr);  // shown at once, provisional
  EXPECT_TRUE(f->unitFlags & kUnitProvisional);
  RunDaysOnTurnThread(1);
  ASSERT_EQ(Lead(2, 3), f);
  EXPECT_FALSE(f->unitFlags & kUnitProvisional);
  EXPECT_EQ(f->classIndex, kDepot);
  EXPECT_EQ(f->targetStrength, 1.0f);
  EXPECT_TRUE(f->orders[kPostureBits] & kPostureUnderConstruction);
  EXPECT_TRUE(f->orders[kStateFlags] & kStateHeldSlot);
  ExpectCopiesAgree(*f, "288");

  PostArgs(kCmdHexStack297, HexValueArgs{.hex = hex, .value = 1});
  EXPECT_TRUE(f->ordersShown[kStateFlags] & kStatePausedBuild);  // the display pass
  RunDaysOnTurnThread(1);
  EXPECT_TRUE(f->orders[kStateFlags] & kStatePausedBuild);
  ExpectCopiesAgree(*f, "297");

  PostArgs(kCmdConvertFacility, HexConvertArgs{.hex = hex, .classIndex = kWorks});
  RunDaysOnTurnThread(1);
  EXPECT_EQ(f->classIndex, kWorks);
  EXPECT_FALSE(f->orders[kStateFlags] & kStatePausedBuild);
  EXPECT_TRUE(f->orders[kStateFlags] & kStateBit24);
  EXPECT_GE(f->strength, 0.0f);
  ExpectCopiesAgree(*f, "301");
  StopGameSession(nullptr);
}

}  // namespace
