// Launchers riding a carrier that never fires, on the turn thread: the
// carrier has no weapons and no cargo slots of its own, so its fire phase
// never runs and its step counter never moves; the launchers still look
// for targets every few of their own steps. With nothing in reach, a look
// drops the target hex they were given, which is what shows it happened.
#include <gtest/gtest.h>

#include <cstring>

#include "records/unit_record.h"
#include "sim/game_session_test_support.h"
#include "sim/game_stop.h"
#include "sim/log_on.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "world/unit_create.h"

namespace {

constexpr int kTruckClass = 2;
constexpr int kRocketClass = 3;
constexpr int kSide = 1;

class CarriedLaunchScan : public GameSessionTest {
 protected:
  // Region 1, led from this machine, holds an 8 x 6 map of open ground.
  void Build() {
    BuildWorld(8, 6, 1);
    GiveRegionsLand(1);
    World& w = g_world;
    w.mapHeader.hexScale = 10;
    w.mapHeader.scale = 1.0f;
    for (auto& factors : w.techEffects) factors[13] = 1.0f;
    w.terrains[0].bytes[120] = 1;
    w.cellBytes.assign(w.cells.size(), 50);
    UnitClassRecord& truck = w.unitClasses[kTruckClass];
    std::strcpy(truck.name, "Truck");
    truck.strengthPerSize = 1;
    truck.valuePerPoint = 1;
    truck.speed = 100;
    UnitClassRecord& rockets = w.unitClasses[kRocketClass];
    std::strcpy(rockets.name, "Rockets");
    rockets.flags = kClassStock;
    rockets.strengthPerSize = 1;
    rockets.valuePerPoint = 1;
  }

  UnitRecord& Make(int cls, float size, int x, int y) {
    World& w = g_world;
    UnitRecord* u = CreateUnit(w, w.players[kSide], ++nextId_, cls, size, MakeHexPos(x, y), 0, 0);
    u->unitFlags &= ~kUnitProvisional;
    u->orders[kPostureBits] = 0;
    u->buildWork = 0.0f;
    u->efficiency = u->morale = 1.0f;
    return *u;
  }

  uint32_t nextId_ = 0x01000100u;
};

TEST_F(CarriedLaunchScan, LaunchersAboardACarrierThatNeverFiresStillScan) {
  // The carrier's counter as an earlier fire phase may have left it; the
  // scan period is (2 - 0) x (8 - 0) x (2 - 0) = 32 steps.
  for (const uint8_t counter : {uint8_t{1}, uint8_t{0}, uint8_t{200}}) {
    Build();
    World& w = g_world;
    UnitRecord& truck = Make(kTruckClass, 1.0f, 2, 2);
    HexStackInsertById(w, *HexCellAt(w, MapShape(w), MakeHexPos(2, 2)), truck);
    truck.stepCounter = counter;
    truck.ordersShown = truck.orders;

    UnitRecord& rockets = Make(kRocketClass, 3.0f, 0, 0);
    rockets.carrier = truck.id;
    truck.cargoNext = rockets.id;
    rockets.orders[kOrdersHeader] |= kHeaderLaunchAllowed;
    rockets.orders[kFireHex] = MakeHexPos(6, 4);
    rockets.ordersShown = rockets.orders;

    // Log-on files both in the table of units on the map; a day on the
    // turn thread steps them.
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
