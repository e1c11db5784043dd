// Sight shading and overlay colours of single hexes, and the terrain-value
// strength over a neighbourhood that the map's edge cuts off.
#include "screens/main/map_overlays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "records/le_bytes.h"
#include "screens/main/map_view.h"
#include "sim/facility_costs.h"
#include "world/map_data.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

TEST(MapOverlaysTest, ColoursFromTheirFigures) {
  // Alphas worked out by hand: ground defence byte 0 counts as 1.0 ->
  // (1.0 - 0.5) x 50 = 25; 30 -> 125; 50 -> 225, capped at 220. Graded sight
  // 100 -> 120 - 100 = 20. Occupation 0.5 -> 100 + 50; -2.0 -> -100 mod 256.
  struct Row {
    const char* what;
    uint32_t got, want;
  };
  const uint32_t red = 0xFFFF0000, grey = 0x60000000;
  const Row rows[] = {
      {"ground defence 0", GroundDefenceColour(0, red), 0x19FF0000},
      {"ground defence 30", GroundDefenceColour(30, red), 0x7DFF0000},
      {"ground defence 50", GroundDefenceColour(50, red), 0xDCFF0000},
      {"graded sight 100", LosShadeColour(100, true, grey), 0x14000000},
      {"graded sight 120", LosShadeColour(120, true, grey), 0},
      {"graded unseen", LosShadeColour(0, true, grey), grey},
      {"graded, no spotting map", LosShadeColour(-1, true, grey), 0x77000000},
      {"two-level unseen", LosShadeColour(0, false, grey), grey},
      {"two-level, no spotting map", LosShadeColour(-1, false, grey), 0},
      {"supply 0", SupplyColour(0, 0xFF0064FF), 0},
      {"occupation 0.5", OccupationColour(0.5f, 0xFF0064FF), 0x960064FF},
      {"occupation -2", OccupationColour(-2.0f, 0xFF0064FF), 0x9C0064FF},
      {"terrain value 0.5", TerrainValueColour(0.5f, red), 0x7FFF0000},
  };
  for (const Row& r : rows) EXPECT_EQ(r.got, r.want) << r.what;
}

// A 6 x 5 map, not wrapping, of terrain 1, owned by player 1 and loyal to
// player 2.
class MapOverlayWorldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResizeMap(w, 6, 5);
    w.terrains.assign(kTerrainCount, TerrainRecord{});
    for (HexCell& c : w.cells) c.word = WithCellTerrain(WithCellLoyalTo(WithCellOwner(0, 1), 2), 1);
    view.columns = 6;
    view.rows = 5;
  }
  HexCell& Cell(Hex h) { return w.cells[static_cast<size_t>(h.y * 6 + h.x)]; }
  void Neighbourhood(int t, int i, float v) {
    le::StoreF32(w.terrains[static_cast<size_t>(t)].bytes + kTerrainNeighbourhoodAt + 4 * static_cast<size_t>(i), v);
  }
  std::unique_ptr<World> world = std::make_unique<World>();
  World& w = *world;
  MapView view;
};

TEST_F(MapOverlayWorldTest, NeighbourhoodAveragesKeepTheirDivisorAtTheEdge) {
  // Neighbourhood value 0 of every terrain is 0.8 and no terrain yields:
  // inside, (2 + 6) x 0.8 / 8 = 0.8; on the west edge (0, 2) four
  // neighbours are on the map, (2 + 4) x 0.8 / 8 = 0.6; in a corner (5, 4)
  // (odd column) two are, 0.4. Relief 10: (100 + 99)^(1/4) / 40.
  Neighbourhood(1, 0, 0.8f);
  w.terrains[1].bytes[133] = 10;
  struct Row {
    Hex hex;
    int32_t k;
    float want;
  };
  const Row rows[] = {
      {{3, 2}, 1, std::sqrt(0.8f)},
      {{0, 2}, 1, std::sqrt(0.6f)},
      {{5, 4}, 1, std::sqrt(0.4f)},
      {{3, 2}, 2, 0.0f},
      {{3, 2}, 0, std::sqrt(std::sqrt(199.0f)) / 40.0f},
  };
  for (const Row& r : rows)
    EXPECT_FLOAT_EQ(TerrainValueStrength(w, r.hex, r.k, false), r.want) << r.hex.x << "," << r.hex.y << " k" << r.k;
}

TEST_F(MapOverlayWorldTest, EachSwitchAddsItsColourInOrder) {
  UiOptions o;
  o.playercolor[1] = 0xFF0000FF;
  o.playercolor[2] = 0xFF00FF00;
  le::Store32(w.terrains[1].bytes + 136, kTerrainHighGround | kTerrainCovered);
  w.cellBytes.assign(w.cells.size(), 0);
  w.cellBytes[2 * 6 + 3] = 90;
  w.players[2].approval = 0.5f;
  Cell({3, 2}).word |= 0x06u << 16;  // area tags 1 and 2
  struct Row {
    const char* what;
    int32_t UiOptions::*flag;
    std::vector<uint32_t> want;
  };
  const Row rows[] = {
      {"ownership", &UiOptions::ovshowownership, {0x7F0000FF}},
      {"occupation", &UiOptions::occupationShading, {0x9600FF00}},
      {"supply", &UiOptions::ovshowsupply, {0x5A0000FF}},
      {"high ground", &UiOptions::ovshowhighground, {0x7F00FF00}},
      {"ground defence", &UiOptions::ovshowgrounddef, {0x19FF0000}},
      {"close combat", &UiOptions::ovshowclosecombat, {0x7FFF0000}},
      {"area tags (tags 1, 2; mask 1, 3)", &UiOptions::areaTagOverlay, {0xBF00FF00}},
  };
  o.areaTagMask = 0x0A;
  for (const Row& r : rows) {
    UiOptions one = o;
    one.ovshowlos = 0;
    one.*r.flag = 1;
    const HexOverlayColours got = OverlayColoursOfHex(w, one, view, {3, 2}, false);
    EXPECT_EQ(std::vector<uint32_t>(got.colour, got.colour + got.count), r.want) << r.what;
  }
}

}  // namespace
