#include "sim/visibility_decay.h"

#include <gtest/gtest.h>

#include "sim/game_session_test_support.h"

namespace {

class VisibilityDecayTest : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    BuildWorld(4, 3, 2);
    g_world.spottingMap.assign(g_world.cells.size() * kMaxPlayers, 0);
  }
  uint8_t& Spot(int x, int y, int player) {
    return g_world.spottingMap[static_cast<size_t>((y * 4 + x) * kMaxPlayers + player)];
  }
  uint32_t Cell(int x, int y) const { return static_cast<uint32_t>(y * 4 + x); }
};

TEST_F(VisibilityDecayTest, SightFadesAndTheOwnerSeesItsHexAndItsNeighbours) {
  World& w = g_world;
  w.players[1].spottingLevel = 0.2f;  // keeps 4
  w.players[2].spottingLevel = 0.5f;  // keeps 10; its own hexes 60 + 10
  w.cells[Cell(1, 1)].word = WithCellOwner(1u, 2);  // supply state 1
  Spot(1, 1, 1) = 50;
  Spot(1, 1, 2) = 0;
  Spot(2, 2, 2) = 45;
  DecayHexVisibility(w, Cell(1, 1));
  EXPECT_EQ(Spot(1, 1, 1), 40) << "falls by 10 and stays above the player's own 4";
  EXPECT_EQ(Spot(1, 1, 2), 70);
  // The neighbours of odd column 1, row 1: (0,1) (1,0) (2,1) (0,2) (1,2) (2,2).
  EXPECT_EQ(Spot(0, 1, 2), 30);
  EXPECT_EQ(Spot(1, 0, 2), 30);
  EXPECT_EQ(Spot(2, 1, 2), 30);
  EXPECT_EQ(Spot(0, 2, 2), 30);
  EXPECT_EQ(Spot(1, 2, 2), 30);
  EXPECT_EQ(Spot(2, 2, 2), 45) << "raised only, never lowered";
  EXPECT_EQ(Spot(3, 1, 2), 0) << "not a neighbour";
}

TEST_F(VisibilityDecayTest, AHexAlreadyWellSeenByItsOwnerLeavesTheNeighboursAlone) {
  World& w = g_world;
  w.cells[Cell(1, 1)].word = WithCellOwner(0u, 2);  // own level 30
  Spot(1, 1, 2) = 45;
  DecayHexVisibility(w, Cell(1, 1));
  EXPECT_EQ(Spot(1, 1, 2), 35);
  EXPECT_EQ(Spot(1, 0, 2), 0);
}

TEST_F(VisibilityDecayTest, NeighboursOffTheMapAreNoHex) {
  World& w = g_world;
  // Even column 2 of the top row: three of its neighbours lie above the map.
  w.cells[Cell(2, 0)].word = WithCellOwner(3u, 1);  // supply 3: 240 and 120
  DecayHexVisibility(w, Cell(2, 0));
  EXPECT_EQ(Spot(2, 0, 1), 240);
  EXPECT_EQ(Spot(1, 0, 1), 120);
  EXPECT_EQ(Spot(3, 0, 1), 120);
  EXPECT_EQ(Spot(2, 1, 1), 120);
  EXPECT_EQ(Spot(0, 0, 1), 0) << "hex (0, 0) does not stand in for an off-map neighbour";
}

TEST_F(VisibilityDecayTest, ColumnsWrapAroundTheMap) {
  World& w = g_world;
  w.cells[Cell(0, 1)].word = WithCellOwner(0u, 1);
  DecayHexVisibility(w, Cell(0, 1));
  EXPECT_EQ(Spot(3, 0, 1), 15) << "west of column 0 in row 0 is column 3";
  EXPECT_EQ(Spot(3, 1, 1), 15);
}

TEST_F(VisibilityDecayTest, EachMinuteVisitsItsStepsInRegisterOrder) {
  World& w = g_world;
  GameState& s = w.gameState;
  s.visibilitySteps = 1;
  s.visibilityLfsr = 1;
  for (size_t c = 0; c < w.cells.size(); ++c) w.spottingMap[c * kMaxPlayers + 1] = 100;
  DecayVisibility(w);
  const uint32_t x = s.visibilityLfsr;
  ASSERT_GE(x, 1u);
  ASSERT_LE(x, 12u) << "the register walks on until a step lands on the map";
  for (size_t c = 0; c < w.cells.size(); ++c)
    EXPECT_EQ(w.spottingMap[c * kMaxPlayers + 1], c == x - 1 ? 90 : 100) << "cell " << c;
}

TEST_F(VisibilityDecayTest, TheMapIsMadeWhenItsSizeChanged) {
  g_world.spottingMap.clear();
  g_world.gameState.visibilitySteps = 3;
  DecayVisibility(g_world);
  EXPECT_EQ(g_world.spottingMap.size(), g_world.cells.size() * kMaxPlayers);
}

}  // namespace
