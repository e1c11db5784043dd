#include "units/unit_census.h"

#include <gtest/gtest.h>

#include "units/handover_test_world.h"

namespace {

using namespace handover_test;

// Each region's counts by kind start again from the live units: tanks are
// land (0), planes air (1), ships sea (2); a facility, a stock unit and a
// unit gone count nowhere, and a count left from before is replaced.
TEST(UnitCensusTest, EachRegionCountsItsLiveUnitsByKind) {
  World6 t;
  World& w = *t.world;
  const struct {
    int owner, cls;
    bool gone, reserve;
  } units[] = {
      {3, kTank, false, false}, {3, kTank, false, true}, {3, kPlane, false, false}, {3, kShip, true, false},
      {3, kDepot, false, false}, {3, kStockClass, false, true}, {4, kShip, false, false}, {4, kTank, true, false},
  };
  for (const auto& u : units) {
    UnitRecord& r = u.reserve ? t.Reserve(u.owner, u.cls, 1.0f, 0, 0) : t.Place(u.owner, u.cls, 1.0f, 1, 1);
    if (u.gone) r.unitFlags |= kUnitGone;
  }
  w.players[4].unitCounts[0] = 9;
  w.players[5].unitCounts[3] = 2;
  UnitCensus(w);
  const struct {
    int player;
    uint16_t counts[8];
  } rows[] = {{3, {2, 1, 0, 0}}, {4, {0, 0, 1, 0}}, {5, {}}};
  for (const auto& row : rows)
    for (int k = 0; k < 8; ++k) EXPECT_EQ(w.players[row.player].unitCounts[k], row.counts[k]) << row.player << " " << k;
}

}  // namespace
