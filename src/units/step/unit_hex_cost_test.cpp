#include "units/step/unit_hex_cost.h"

#include <gtest/gtest.h>

#include "units/paths/path_test_world.h"

namespace {

constexpr int kMover = 20;

class UnitHexCost : public ::testing::Test {
 protected:
  UnitHexCost() : t_(12, 10, false) {
    t_.Terrain(2, 7);
    t_.Terrain(3, 0);
    t_.Class(kCrossingMarkClass, 0, 0);
    unit_.classIndex = kMover;
    Mode(0);
  }
  void Mode(int m) { t_.world().unitClasses[kMover].movementType = static_cast<uint8_t>(m); }
  uint32_t Crossing(uint32_t from, int d) {
    return UnitCrossingCost(t_.world(), unit_, 0xFFFFFFFFu, t_.Cell(from), t_.Cell(HexNeighbour(t_.map(), from, d)), d);
  }

  PathTestWorld t_;
  // Zeroed: the fixture may reuse the memory of the last one, and a test
  // that makes its unit a ship must not leave the next test's unit one.
  UnitRecord unit_{};
};

TEST_F(UnitHexCost, TheFacingPicksTheFirstTry) {
  struct Case {
    int facing;
    int order[6];
  };
  for (const Case& c : {Case{0, {1, 2, 0, 5, 3, 4}}, Case{12, {4, 5, 3, 2, 0, 1}}, Case{23, {1, 2, 0, 5, 3, 4}}}) {
    int order[6];
    FacingTryOrder(c.facing, order);
    EXPECT_EQ(std::vector<int>(order, order + 6), std::vector<int>(c.order, c.order + 6)) << c.facing;
  }
}

TEST_F(UnitHexCost, AUnitWithNoCostLeavesByTheFirstHexItCanCross) {
  const uint32_t at = MakeHexPos(5, 5);
  unit_.x = 5;
  unit_.y = 5;
  t_.Hex(at, 3);
  uint32_t way = 0;
  EXPECT_EQ(StandingHexCost(t_.world(), unit_), 1u);  // facing 0: up, onto plain
  EXPECT_EQ(FacingHexCost(t_.world(), unit_, &way), 1u);
  EXPECT_EQ(way, HexNeighbour(t_.map(), at, 1));
  t_.Hex(HexNeighbour(t_.map(), at, 1), 3);
  EXPECT_EQ(FacingHexCost(t_.world(), unit_, &way), 1u);
  EXPECT_EQ(way, HexNeighbour(t_.map(), at, 2));
  // Dear ground up-right: works there lower it only when they lead on in d.
  const uint32_t b = HexNeighbour(t_.map(), at, 2);
  t_.Hex(b, 2);
  t_.Class(kWorksClassA, 0, 4);
  t_.Works(b, 0, 3, 6);
  EXPECT_EQ(FacingHexCost(t_.world(), unit_, &way), 7u);
  t_.Works(b, 0, 2, 6);
  EXPECT_EQ(FacingHexCost(t_.world(), unit_, &way), 4u);
}

// Off the map there is no hex: with every hex closed but hex (0, 0) and,
// in the first row, the one above the unit, no way leads past the top edge
// and no neighbour above it lends an amphibious unit its sea cost.
TEST_F(UnitHexCost, AHexOffTheMapIsNoWayOut) {
  const struct {
    int y;
    bool amphibious;
    bool hexAboveOpen;
    uint32_t cost;
  } rows[] = {
      {1, false, true, 0u},  // up onto the open hex, but leaving it upward leaves the map
      {0, true, false, 0u},  // on the top row: the neighbours above are off the map
      {1, true, true, 3u},   // an open neighbour on the map: the sea cost holds
  };
  for (const auto& row : rows) {
    PathTestWorld w(12, 10, false);
    w.Terrain(3, 0);
    w.Terrain(4, 0);
    w.world().terrains[4].bytes[120 + 2] = 3;  // the sea column only
    w.Class(kCrossingMarkClass, 0, 0);
    for (HexCell& c : w.world().cells) c.word = WithCellTerrain(WithCellOwner(0, 1), 3);
    w.world().cells[0].word = WithCellTerrain(WithCellOwner(0, 1), 1);  // hex (0, 0), which no position names
    if (row.hexAboveOpen) w.Hex(MakeHexPos(5, 0), 1);
    const uint32_t at = MakeHexPos(5, row.y);
    w.Hex(at, row.amphibious ? 4 : 3);
    w.world().unitClasses[kMover].movementType = 0;
    w.world().unitClasses[kMover].flags = row.amphibious ? kClassAmphibious : 0;
    UnitRecord unit{};
    unit.classIndex = kMover;
    unit.x = 5;
    unit.y = static_cast<int16_t>(row.y);
    EXPECT_EQ(StandingHexCost(w.world(), unit), row.cost) << row.y << " " << row.amphibious;
  }
}

TEST_F(UnitHexCost, FacilitiesAndWorksOnTheHexLeft) {
  const uint32_t a = MakeHexPos(4, 4);
  struct Case {
    uint32_t classFlags;
    uint8_t classCost;
    int mode;
    int worksEnd;  // 6: no works
    uint32_t cost;
  };
  const Case cases[] = {
      {kClassRoad, 2, 0, 6, 2},                        // a road lowers it
      {kClassRoad, 9, 0, 6, 7},                        // only to the smaller
      {kClassHaven, 9, 0, 6, 9},                       // a haven replaces it, dearer or not
      {0, 0, 0, 3, 7},                                 // works leading elsewhere: nothing
      {0, 0, 0, 5, 2},                                 // works leading the way: lowered
      {kClassNoTerrainCost | kClassRoad, 2, 0, 6, 7},  // nothing from the facility for types 0-3
      {kClassNoTerrainCost | kClassRoad, 2, 4, 6, 2},  // but for type 4
  };
  for (const Case& c : cases) {
    PathTestWorld w(12, 10, false);
    w.Terrain(2, 7);
    w.Hex(a, 2);
    w.world().unitClasses[kMover].movementType = static_cast<uint8_t>(c.mode);
    if (c.classCost) {
      w.Class(30, c.classFlags, c.classCost);
      w.Facility(a, 30);
    }
    if (c.worksEnd != 6) {
      w.Class(kWorksClassA, c.classFlags, 2);
      w.Works(a, 1, c.worksEnd, 6);
    }
    const uint32_t b = HexNeighbour(w.map(), a, 5);
    EXPECT_EQ(UnitCrossingCost(w.world(), unit_, 0xFFFFFFFFu, w.Cell(a), w.Cell(b), 5), c.cost)
        << c.classFlags << " " << c.mode << " " << c.worksEnd;
  }
}

TEST_F(UnitHexCost, ShipsCrossBySeaOrOutOfAHaven) {
  t_.world().terrains[1].bytes[125] = 0;
  t_.world().terrains[4].bytes[125] = 3;
  unit_.moveKind = 2;
  const uint32_t a = MakeHexPos(4, 4), b = HexNeighbour(t_.map(), a, 5);
  t_.Hex(a, 4);
  EXPECT_EQ(Crossing(a, 5), 0u);  // land ahead
  t_.Class(30, kClassHaven, 1);
  t_.Facility(a, 30);
  EXPECT_EQ(Crossing(a, 5), 3u);  // out through the haven
  t_.Hex(b, 4);
  EXPECT_EQ(Crossing(a, 5), 3u);
}

}  // namespace
