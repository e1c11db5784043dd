// Lifts on the minute loop: a land unit ordered across the water to an
// island of its own side meets a free ship at a port, boards, sails and
// lands; ordered to be flown there, it is fetched by an aircraft that lands
// anywhere, flown over and set down.
#include <gtest/gtest.h>

#include <cstring>

#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "sim/game_session_test_support.h"
#include "sim/turn_thread.h"
#include "units/transport/cargo_boarding.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "world/movement_rates.h"
#include "world/unit_create.h"
#include "world/unit_tables.h"
#include "world/terrain_flags.h"

namespace {

constexpr int kTankClass = 2;
constexpr int kShipClass = 3;
constexpr int kPortClass = 5;
constexpr int kPlaneClass = 6;
constexpr int kLand = 0, kWater = 1, kCoast = 2;
constexpr int kSide = 1;
constexpr int kMaxMinutes = 6 * 1440;

class UnitLift : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    BuildWorld(12, 8, 1, true);
    GiveRegionsLand(1);
    World& w = g_world;
    w.mapHeader.hexScale = 10;
    w.mapHeader.scale = 1.0f;
    for (auto& factors : w.techEffects) factors[13] = 1.0f;
    w.gameState.gameSpeed = 1 << 30;
    // Land: walked and flown over. Water: sailed and flown over. Coast:
    // both walked and sailed (the port's hex).
    w.terrains[kLand].bytes[120] = 1;
    w.terrains[kLand].bytes[126] = 1;
    w.terrains[kWater].bytes[125] = 1;
    w.terrains[kWater].bytes[126] = 1;
    le::Store32(w.terrains[kWater].bytes + kTerrainFlagsAt, kTerrainWater);
    w.terrains[kCoast].bytes[120] = 1;
    w.terrains[kCoast].bytes[125] = 1;
    w.terrains[kCoast].bytes[126] = 1;
    // The mainland is columns 0 to 3, the water 4 to 9, the island 10 and
    // 11; all of it the side's.
    for (int y = 0; y < w.mapHeight; ++y)
      for (int x = 4; x <= 9; ++x) Cell(x, y).word = WithCellTerrain(Cell(x, y).word, kWater);
    Cell(3, 3).word = WithCellTerrain(Cell(3, 3).word, kCoast);
    w.cellBytes.assign(w.cells.size(), 50);

    UnitClassRecord& tank = MakeClass(kTankClass, "Tank", 0, 0, 10);
    tank.weight = 1.0f;  // weight a point
    UnitClassRecord& ship = MakeClass(kShipClass, "Transport", 2, 5, 1);
    ship.carryCapacity = 50.0f;  // carries 50 a point
    UnitClassRecord& plane = MakeClass(kPlaneClass, "Carrier plane", 1, 6, 1);
    plane.carryCapacity = 50.0f;
    UnitClassRecord& port = MakeClass(kPortClass, "Port", 0, 0, 1);
    port.flags = kClassFacility | kClassHaven;
    port.speed = 0;
  }

  HexCell& Cell(int x, int y) { return g_world.cells[static_cast<size_t>(y * g_world.mapWidth + x)]; }

  UnitClassRecord& MakeClass(int index, const char* name, uint8_t kind, uint8_t movementType, int16_t perSize) {
    UnitClassRecord& c = g_world.unitClasses[static_cast<size_t>(index)];
    std::strcpy(c.name, name);
    c.kind = kind;
    c.strengthPerSize = perSize;
    c.valuePerPoint = 1;
    c.movementType = movementType;
    c.speed = 100;  // speed
    return c;
  }

  UnitRecord& Make(int cls, int x, int y) {
    World& w = g_world;
    UnitRecord* u = CreateUnit(w, w.players[kSide], ++nextId_, cls, 1.0f, MakeHexPos(x, y), 0, 0);
    u->unitFlags &= ~kUnitProvisional;
    u->orders[kPostureBits] = 0;
    u->ordersShown = u->orders;
    u->buildWork = 0.0f;
    u->efficiency = u->morale = 1.0f;
    if (u->unitFlags & kUnitFacility) {
      GetStackDataLocked(w, Cell(x, y))->lead = u;
    } else {
      HexStackInsertById(w, Cell(x, y), *u);
      HexStackInsertOrdered(w, Cell(x, y), *u);
      RecomputeMovementRates(w, *u);
    }
    AppendUnitPtr(w, kUnitTableOnMap, kSide, UnitTableCategory(*u), *u);
    return *u;
  }

  // Runs the minute loop until the unit stands on the hex (or time is up);
  // the transports seen carrying it on the way.
  std::vector<uint32_t> RunUntilAt(UnitRecord& unit, uint32_t hex) {
    std::vector<uint32_t> carriers;
    World& w = g_world;
    for (int minute = 0; minute < kMaxMinutes; ++minute) {
      w.gameState.minutesLeft = 1;
      EXPECT_EQ(RunDayMinutes(w), 0u);
      if (unit.carrier != 0 && (carriers.empty() || carriers.back() != unit.carrier)) carriers.push_back(unit.carrier);
      if (unit.carrier == 0 && MakeHexPos(unit.x, unit.y) == hex) break;
    }
    return carriers;
  }

  // A tank at (1,3) told to be lifted (sea or air) to the island.
  UnitRecord& TankForLift(uint32_t liftBit) {
    UnitRecord& tank = Make(kTankClass, 1, 3);
    tank.orders[kOrderFlags] |= liftBit;
    tank.orders[kSecondHex] = kIsland;
    tank.ordersShown = tank.orders;
    return tank;
  }
  static constexpr uint32_t kIsland = MakeHexPos(10, 3);

  uint32_t nextId_ = 0x01000100u;
};

TEST_F(UnitLift, ALandUnitMeetsAShipAtThePortSailsAndLandsOnTheIsland) {
  Make(kPortClass, 3, 3);
  UnitRecord& ship = Make(kShipClass, 6, 3);
  UnitRecord& tank = TankForLift(kOrderSeaLift);
  const uint32_t island = kIsland;

  const std::vector<uint32_t> carriers = RunUntilAt(tank, island);
  EXPECT_EQ(carriers, std::vector<uint32_t>{ship.id});
  EXPECT_EQ(tank.carrier, 0u);
  EXPECT_EQ(MakeHexPos(tank.x, tank.y), island);
  EXPECT_EQ(tank.orders[kOrderFlags] & kOrderLiftBits, 0u);
  EXPECT_EQ(ship.cargoNext, 0u);
  EXPECT_LE(HexDistance(MapShape(g_world), MakeHexPos(ship.x, ship.y), island), 1);
  EXPECT_EQ(Cell(ship.x, ship.y).word >> 24, static_cast<uint32_t>(kWater));
}

TEST_F(UnitLift, ALandUnitIsFetchedByAnAircraftFlownOverAndSetDown) {
  UnitRecord& plane = Make(kPlaneClass, 2, 6);
  plane.fuel = 1000.0f;
  UnitRecord& tank = TankForLift(kOrderAirLift);
  const uint32_t island = kIsland;

  const std::vector<uint32_t> carriers = RunUntilAt(tank, island);
  EXPECT_EQ(carriers, std::vector<uint32_t>{plane.id});
  EXPECT_EQ(tank.carrier, 0u);
  EXPECT_EQ(MakeHexPos(tank.x, tank.y), island);
  EXPECT_EQ(plane.cargoNext, 0u);
  EXPECT_EQ(MakeHexPos(plane.x, plane.y), island);
}

}  // namespace
