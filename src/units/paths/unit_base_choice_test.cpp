#include "units/paths/unit_base_choice.h"

#include <gtest/gtest.h>

#include "records/order_words.h"
#include "records/unit_flags.h"
#include "units/combat/fire_test_world.h"
#include "units/hex_geometry.h"

namespace {

using fire_test::FireWorld;
using fire_test::kFlyer;
using handover_test::kAirBase;
using handover_test::kShip;

// An aircraft at (1, 1) with range to spare: an airfield at (4, 1), three
// hexes away; a carrier at (2, 1), one hex away, when the row has one.
TEST(UnitChooseBaseTest, TheNearestBaseOrCarrierOfItsKind) {
  struct Row {
    const char* name;
    bool landsOnCarriers;  // the plane's class has kClassHaven
    bool carrier;
    uint8_t carrierRoom;   // class byte 180 x nominal strength 1
    bool alreadyHeadingHome;
    uint32_t target;
    bool followsCarrier;
  } rows[] = {
      {"the airfield", false, false, 0, false, MakeHexPos(4, 1), false},
      {"a carrier is nearer", true, true, 2, false, MakeHexPos(2, 1), true},
      {"a full carrier is passed over", true, true, 0, false, MakeHexPos(4, 1), false},
      {"a carrier only for those that land on one", false, true, 2, false, MakeHexPos(4, 1), false},
      {"heading for its airfield already: kept", true, true, 2, true, MakeHexPos(4, 1), false},
  };
  for (const Row& row : rows) {
    FireWorld fw;
    World& w = *fw.world;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x) fw.Own(x, y, 1);
    w.unitClasses[kFlyer].flags = row.landsOnCarriers ? kClassHaven : 0;
    w.unitClasses[kShip].flags = kClassSeaCarrier;
    w.unitClasses[kShip].baseSlots = row.carrierRoom;
    fw.Place(1, kAirBase, 1.0f, 4, 1);
    UnitRecord* ship = row.carrier ? &fw.Unit(1, kShip, 1.0f, 2, 1) : nullptr;
    UnitRecord& plane = fw.Unit(1, kFlyer, 10.0f, 1, 1);
    plane.rangeLeft = 100;
    if (row.alreadyHeadingHome) {
      plane.orders[kMoveTarget] = MakeHexPos(4, 1);
      plane.orders[kDestination] = MakeHexPos(4, 1);
    }
    EXPECT_EQ(UnitChooseBase(w, plane, false), row.target) << row.name;
    EXPECT_EQ(plane.orders[kMoveTarget], row.target) << row.name;
    EXPECT_EQ((plane.unitFlags & kUnitFollowsLeader) != 0, row.followsCarrier) << row.name;
    if (row.followsCarrier) {
      EXPECT_EQ(plane.orders[kLeaderUnit], ship->id) << row.name;
    }
  }
}

}  // namespace
