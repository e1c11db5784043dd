#include "units/hex_geometry.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

namespace {

constexpr HexMapShape kFlat{10, 8, false};
constexpr HexMapShape kWrapped{10, 8, true};

TEST(HexGeometry, PositionWordsPackColumnLowAndRowHigh) {
  EXPECT_EQ(MakeHexPos(3, 5), 0x00050003u);
  EXPECT_EQ(MakeHexPos(-1, 2), 0x0002FFFFu);
  EXPECT_EQ(HexX(0x0002FFFFu), -1);
  EXPECT_EQ(HexY(0xFFFE0004u), -2);
  EXPECT_EQ(OppositeDirection(0), 5);
  EXPECT_EQ(OppositeDirection(4), 1);
}

TEST(HexGeometry, DistanceWorkedValues) {
  EXPECT_EQ(HexDistance(kFlat, MakeHexPos(0, 0), MakeHexPos(1, 1)), 2);
  EXPECT_EQ(HexDistance(kFlat, MakeHexPos(0, 0), MakeHexPos(1, -1)), 1);
  EXPECT_EQ(HexDistance(kFlat, MakeHexPos(1, 0), MakeHexPos(0, 1)), 1);
  EXPECT_EQ(HexDistance(kFlat, MakeHexPos(1, 0), MakeHexPos(0, -1)), 2);
  EXPECT_EQ(HexDistance(kFlat, MakeHexPos(4, 4), MakeHexPos(4, 4)), 0);
  EXPECT_EQ(HexDistance(kFlat, MakeHexPos(2, 1), MakeHexPos(2, 6)), 5);
  EXPECT_EQ(HexDistance(kFlat, MakeHexPos(1, 3), MakeHexPos(7, 3)), 6);
}

TEST(HexGeometry, DistanceAcrossTheSeam) {
  EXPECT_EQ(HexDistance(kWrapped, MakeHexPos(1, 3), MakeHexPos(8, 3)), 3);
  EXPECT_EQ(HexDistance(kFlat, MakeHexPos(1, 3), MakeHexPos(8, 3)), 7);
  EXPECT_EQ(HexDistance(kWrapped, MakeHexPos(0, 3), MakeHexPos(9, 3)), 1);
}

TEST(HexGeometry, NeighboursFromEvenAndOddColumns) {
  const uint32_t even = MakeHexPos(4, 4);
  const uint32_t odd = MakeHexPos(5, 4);
  const int evenExpected[6][2] = {{3, 3}, {4, 3}, {5, 3}, {3, 4}, {4, 5}, {5, 4}};
  const int oddExpected[6][2] = {{4, 4}, {5, 3}, {6, 4}, {4, 5}, {5, 5}, {6, 5}};
  for (int d = 0; d < 6; ++d) {
    EXPECT_EQ(HexNeighbour(kFlat, even, d), MakeHexPos(evenExpected[d][0], evenExpected[d][1])) << d;
    EXPECT_EQ(HexNeighbour(kFlat, odd, d), MakeHexPos(oddExpected[d][0], oddExpected[d][1])) << d;
    // Stepping back the opposite way returns to the start.
    EXPECT_EQ(HexNeighbour(kFlat, HexNeighbour(kFlat, odd, d), OppositeDirection(d)), odd) << d;
  }
  EXPECT_EQ(HexNeighbour(kFlat, even, 6), even);
  EXPECT_EQ(HexNeighbour(kFlat, even, 7), even);
}

TEST(HexGeometry, NullPositionAndEdges) {
  for (int d = 0; d < 8; ++d) EXPECT_EQ(HexNeighbour(kWrapped, kNoHexPosition, d), kNoHexPosition);
  // Off the sides of a flat map, off the top and bottom of any map.
  EXPECT_EQ(HexNeighbour(kFlat, MakeHexPos(0, 3), 0), kNoHexPosition);
  EXPECT_EQ(HexNeighbour(kFlat, MakeHexPos(9, 3), 5), kNoHexPosition);
  EXPECT_EQ(HexNeighbour(kWrapped, MakeHexPos(4, 0), 1), kNoHexPosition);
  EXPECT_EQ(HexNeighbour(kWrapped, MakeHexPos(5, 7), 4), kNoHexPosition);
  // A neighbour that is hex (0, 0) is no position.
  EXPECT_EQ(HexNeighbour(kFlat, MakeHexPos(1, 0), 0), kNoHexPosition);
  EXPECT_EQ(HexNeighbour(kFlat, MakeHexPos(0, 1), 1), kNoHexPosition);
}

TEST(HexGeometry, NeighboursWrapEastWest) {
  EXPECT_EQ(HexNeighbour(kWrapped, MakeHexPos(0, 3), 0), MakeHexPos(9, 2));
  EXPECT_EQ(HexNeighbour(kWrapped, MakeHexPos(0, 3), 3), MakeHexPos(9, 3));
  EXPECT_EQ(HexNeighbour(kWrapped, MakeHexPos(9, 3), 5), MakeHexPos(0, 4));
  EXPECT_EQ(HexNeighbour(kWrapped, MakeHexPos(9, 3), 2), MakeHexPos(0, 3));
}

TEST(HexGeometry, CellIndex) {
  EXPECT_EQ(HexCellIndex(kFlat, MakeHexPos(3, 2)), 23);
  EXPECT_EQ(HexCellIndex(kFlat, kNoHexPosition), -1);
  EXPECT_EQ(HexCellIndex(kFlat, MakeHexPos(10, 2)), -1);
  EXPECT_EQ(HexCellIndex(kWrapped, MakeHexPos(10, 2)), 20);
  EXPECT_EQ(HexCellIndex(kWrapped, MakeHexPos(-1, 2)), 29);
  EXPECT_EQ(HexCellIndex(kWrapped, MakeHexPos(3, 8)), -1);
}

// Breadth-first steps over the neighbour rule give the distance formula on
// every pair of hexes below the top row (the null hex is never stepped on).
void CheckDistanceAgainstSteps(const HexMapShape& map) {
  const int32_t n = map.width * map.height;
  for (int32_t sy = 1; sy < map.height; ++sy)
    for (int32_t sx = 0; sx < map.width; ++sx) {
      std::vector<int> steps(static_cast<size_t>(n), -1);
      std::deque<uint32_t> queue{MakeHexPos(sx, sy)};
      steps[static_cast<size_t>(HexCellIndex(map, queue.front()))] = 0;
      while (!queue.empty()) {
        const uint32_t p = queue.front();
        queue.pop_front();
        const int here = steps[static_cast<size_t>(HexCellIndex(map, p))];
        for (int d = 0; d < 6; ++d) {
          const uint32_t b = HexNeighbour(map, p, d);
          if (b == kNoHexPosition) continue;
          int& s = steps[static_cast<size_t>(HexCellIndex(map, b))];
          if (s < 0) {
            s = here + 1;
            queue.push_back(b);
          }
        }
      }
      for (int32_t y = 1; y < map.height; ++y)
        for (int32_t x = 0; x < map.width; ++x)
          ASSERT_EQ(HexDistance(map, MakeHexPos(sx, sy), MakeHexPos(x, y)),
                    steps[static_cast<size_t>(y * map.width + x)])
              << sx << "," << sy << " to " << x << "," << y << (map.wraps ? " wrapped" : "");
    }
}

TEST(HexGeometry, DistanceMatchesStepsOnFlatAndWrappedMaps) {
  CheckDistanceAgainstSteps(HexMapShape{9, 7, false});
  CheckDistanceAgainstSteps(HexMapShape{12, 9, true});
}

}  // namespace
