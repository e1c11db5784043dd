// Launchers riding a carrier that never fires, on the turn thread: the
// carrier has no weapons and no cargo slots, so its fire phase never runs
// and its step counter never moves. With nothing in reach, a scan drops
// the target hex the launchers were given, which shows that it ran.
#include <gtest/gtest.h>

#include <cstring>

#include "sim/game_session_test_support.h"
#include "sim/game_stop.h"
#include "sim/log_on.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "world/unit_create.h"

namespace {

class CarriedLaunchScan : public GameSessionTest {
 protected:
  UnitRecord& Make(int cls, float size, int x, int y) {
    UnitRecord* u = CreateUnit(g_world, g_world.players[1], ++nextId_, cls, size, MakeHexPos(x, y), 0, 0);
    u->unitFlags &= ~kUnitProvisional;
    u->orders[kPostureBits] = 0;
    u->buildWork = 0.0f;
    return *u;
  }
  uint32_t nextId_ = 0x01000100u;
};

TEST_F(CarriedLaunchScan, LaunchersAboardACarrierThatNeverFiresStillScan) {
  // The carrier's counter as an earlier fire phase may have left it; the
  // scan comes every (2 - 0) x (8 - 0) x (2 - 0) = 32 launcher steps.
  for (const uint8_t counter : {uint8_t{1}, uint8_t{0}, uint8_t{200}}) {
    BuildWorld(8, 6, 1);
    GiveRegionsLand(1);
    World& w = g_world;
    w.terrains[0].bytes[120] = 1;
    for (int cls : {2, 3}) {
      std::strcpy(w.unitClasses[static_cast<size_t>(cls)].name, cls == 2 ? "Truck" : "Rockets");
      w.unitClasses[static_cast<size_t>(cls)].strengthPerSize = 1;
    }
    w.unitClasses[3].flags = kClassStock;
    UnitRecord& truck = Make(2, 1.0f, 2, 2);
    HexStackInsertById(w, *HexCellAt(w, MapShape(w), MakeHexPos(2, 2)), truck);
    truck.stepCounter = counter;
    UnitRecord& rockets = Make(3, 3.0f, 0, 0);
    rockets.carrier = truck.id;
    truck.cargoNext = rockets.id;
    rockets.orders[kOrdersHeader] |= kHeaderLaunchAllowed;
    rockets.orders[kFireHex] = MakeHexPos(6, 4);
    // Log-on files both with the units on the map.
    ASSERT_GE(LogOn(nullptr, 0, 0), 0);
    g_uiOptions.autosaveturns = 0;
    RunDaysOnTurnThread(1);
    EXPECT_EQ(rockets.orders[kFireHex], kNoHexPosition) << "carrier counter " << int{counter};
    EXPECT_EQ(truck.stepCounter, counter) << "the carrier never fired";
    EXPECT_EQ(rockets.carrier, truck.id);
    StopGameSession(nullptr);
  }
}

}  // namespace
