#include "sim/daily/force_ranking.h"

#include <gtest/gtest.h>

#include "records/order_words.h"
#include "records/unit_flags.h"
#include "units/handover_test_world.h"

namespace {

using namespace handover_test;

enum class State { OnMap, InReserve, Building, Gone };

struct UnitRow {
  int owner;
  int cls;
  State state;
};

// Region 3: two tanks on the map, one in the reserve, one being built, one
// destroyed, a ship and a plane. Region 4: a facility, a stock item and an
// engineer. Region 5: nothing.
constexpr UnitRow kUnits[] = {
    {3, kTank, State::OnMap},      {3, kTank, State::OnMap},  {3, kTank, State::InReserve},
    {3, kTank, State::Building},   {3, kTank, State::Gone},   {3, kShip, State::OnMap},
    {3, kPlane, State::InReserve}, {4, kDepot, State::OnMap}, {4, kStockClass, State::InReserve},
    {4, kFort, State::OnMap},
};

struct CountRow {
  int region;
  uint16_t r1, r2;
};

constexpr CountRow kCounts[] = {{3, 3, 2}, {4, 1, 0}, {5, 0, 0}};

TEST(ForceRankingTest, EachRegionCountsItsFinishedLandAndOtherUnits) {
  World6 fixture;
  World& w = *fixture.world;
  int x = 0;
  for (const UnitRow& row : kUnits) {
    ++x;
    UnitRecord& u = row.state == State::OnMap ? fixture.Place(row.owner, row.cls, 1.0f, x % 6, 1 + x / 6)
                                              : fixture.Reserve(row.owner, row.cls, 1.0f, 0, 0);
    if (row.state == State::Building) u.orders[kPostureBits] |= kPostureUnderConstruction;
    if (row.state == State::Gone) u.unitFlags |= kUnitGone;
  }
  w.players[5].rankCountR1 = 7;  // yesterday's count, no units left today
  CountRegionForces(w);
  for (const CountRow& row : kCounts) {
    SCOPED_TRACE(row.region);
    EXPECT_EQ(w.players[row.region].rankCountR1, row.r1);
    EXPECT_EQ(w.players[row.region].rankCountR2, row.r2);
  }
}

}  // namespace
