// The load order of stock units: pooled points one a step into a ship,
// single stock units whole once they stand on its hex.
#include <gtest/gtest.h>

#include "records/le_bytes.h"
#include "units/transport/cargo_boarding.h"
#include "units/hex_geometry.h"
#include "units/transport/stock_loading.h"
#include "units/unit_player_fields.h"
#include "units/step/unit_step_test_world.h"
#include "world/id_lookups.h"

namespace {

using namespace step_test;
namespace uf = unitfields;

class LoadWorld : public CargoWorld {
 public:
  UnitRecord& Pool(float size, UnitRecord& target, uint8_t level) {
    UnitRecord& s = Reserve(kOwner, kStockClass, size, 0, 0);
    s.orders[kOrderFlags] |= kOrderLoadInto;
    s.orders[kLeaderUnit] = target.id;
    unitbytes::SetOrderLevel(s.orders, level);
    return s;
  }
  int16_t Loaded() { return uf::Short(world->players[kOwner], uf::kLoadedStock + 2 * 3); }
};

// A pool moves one point a step until its level or quantity runs out; full
// slots cancel the order, a hex without rights only delays it.
TEST(StockLoading, APoolMovesOnePointAStepUntilItsLevelQuantityOrRoomRunsOut) {
  struct Row {
    const char* what;
    float quantity;
    uint8_t level;
    int steps;
    float shipStrength;
    int hexOwner;
    float aboard;  // after the steps
    bool orderLeft;
  };
  const Row rows[] = {
      {"three points over three steps, then the order ends", 5.0f, 3, 3, 1.0f, kOwner, 3.0f, false},
      {"still loading after two", 5.0f, 3, 2, 1.0f, kOwner, 2.0f, true},
      {"no limit: until the pool is empty", 4.0f, 255, 4, 1.0f, kOwner, 4.0f, false},
      {"an empty pool loads nothing more", 4.0f, 255, 6, 1.0f, kOwner, 4.0f, false},
      {"exactly one point finishes with it", 1.0f, 255, 1, 1.0f, kOwner, 1.0f, false},
      {"room", 3.0f, 255, 1, 1.0f, kOwner, 1.0f, true},
      {"no slots", 3.0f, 255, 1, 0.05f, kOwner, 0.0f, false},  // 10 x 0.05 = 0.5 slots
      {"a third player's hex", 3.0f, 255, 1, 1.0f, 9, 0.0f, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    LoadWorld t;
    UnitRecord& ship = t.Ship();
    ship.strength = r.shipStrength;
    t.Own(2, 2, r.hexOwner);
    UnitRecord& pool = t.Pool(r.quantity, ship, r.level);
    for (int i = 0; i < r.steps; ++i) RunStockLoadOrder(*t.world, pool);
    EXPECT_FLOAT_EQ(t.Aboard(ship), r.aboard);
    EXPECT_FLOAT_EQ(pool.strength, r.quantity - r.aboard);
    EXPECT_EQ((pool.orders[kOrderFlags] & kOrderLoadInto) != 0, r.orderLeft);
    EXPECT_EQ(t.Loaded(), static_cast<int16_t>(r.aboard));
  }
}

TEST(StockLoading, APointJoinsTheStockOfItsClassAlreadyAboard) {
  LoadWorld t;
  UnitRecord& ship = t.Ship();
  UnitRecord& pool = t.Pool(3.0f, ship, 255);
  RunStockLoadOrder(*t.world, pool);
  RunStockLoadOrder(*t.world, pool);
  const UnitRecord* first = FindUnitById(*t.world, ship.cargoNext);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->cargoNext, 0u);  // one group of two, not two of one
  EXPECT_FLOAT_EQ(first->strength, 2.0f);
  EXPECT_EQ(first->carrier, ship.id);
  EXPECT_EQ(MakeHexPos(first->x, first->y), kNoHexPosition);
}

TEST(StockLoading, ASingleStockUnitIsSentToTheShipAndLoadsOnlyOnItsHex) {
  LoadWorld t;
  UnitRecord& ship = t.Ship();
  UnitRecord& single = t.Place(kOwner, kStockClass, 1.0f, 3, 2);
  single.unitFlags &= ~kUnitStock;  // one unit, not a pool
  single.orders[kOrderFlags] |= kOrderLoadInto;
  single.orders[kLeaderUnit] = ship.id;
  RunStockLoadOrder(*t.world, single);
  EXPECT_EQ(ship.cargoNext, 0u);
  EXPECT_EQ(single.orders[kDestination], MakeHexPos(2, 2));

  HexStackRemove(*t.world, t.Cell(3, 2), single);
  single.x = 2;
  HexStackInsertById(*t.world, t.Cell(2, 2), single);
  single.supply = 4.0f;
  RunStockLoadOrder(*t.world, single);
  EXPECT_EQ(ship.cargoNext, single.id);
  EXPECT_EQ(single.carrier, ship.id);
  EXPECT_FALSE(t.InChainA(2, 2, single));
  EXPECT_EQ(single.orders[kOrderFlags] & kOrderLoadInto, 0u);
  // Its supply went to the ship, whose ammunition room (none) sends it on
  // into the ship's supply cargo.
  EXPECT_FLOAT_EQ(single.supply, 0.0f);
  EXPECT_FLOAT_EQ(ship.supply, 4.0f);
}

TEST(StockLoading, NoOrderOrNoTargetLeavesTheIdleFlag) {
  LoadWorld t;
  UnitRecord& ship = t.Ship();
  UnitRecord& pool = t.Pool(3.0f, ship, 255);
  pool.unitFlags |= kUnitStepped;
  pool.orders[kLeaderUnit] = 0xDEAD;
  EXPECT_FALSE(RunStockLoadOrder(*t.world, pool));
  EXPECT_TRUE(pool.unitFlags & kUnitStepped);
  pool.orders[kLeaderUnit] = ship.id;
  EXPECT_TRUE(RunStockLoadOrder(*t.world, pool));
  EXPECT_FALSE(pool.unitFlags & kUnitStepped);
}

}  // namespace
