// Sight shading and overlay colours of hexes, and terrain values over a
// neighbourhood that the map's edge cuts off.
#include "screens/main/map/map_overlays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "records/le_bytes.h"
#include "screens/main/map/map_view.h"
#include "sim/facility_costs.h"
#include "world/map_data.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

TEST(MapOverlaysTest, ColoursFromTheirFigures) {
  // Alphas worked out by hand: ground defence byte 30 -> (3.0 - 0.5) x 50 =
  // 125; 50 -> 225, capped at 220. Graded sight 100 -> 120 - 100 = 20.
  // Occupation -2.0 -> 100 - 200, modulo 256.
  struct Row { const char* what; uint32_t got, want; };
  const uint32_t red = 0xFFFF0000, grey = 0x60000000;
  const Row rows[] = {
      {"ground defence 30", GroundDefenceColour(30, red), 0x7DFF0000},
      {"ground defence 50", GroundDefenceColour(50, red), 0xDCFF0000},
      {"graded sight 100", LosShadeColour(100, true, grey), 0x14000000},
      {"graded sight 120", LosShadeColour(120, true, grey), 0},
      {"graded unseen", LosShadeColour(0, true, grey), grey},
      {"graded, no spotting map", LosShadeColour(-1, true, grey), 0x77000000},
      {"two-level unseen", LosShadeColour(0, false, grey), grey},
      {"supply 0", SupplyColour(0, 0xFF0064FF), 0},
      {"occupation -2", OccupationColour(-2.0f, 0xFF0064FF), 0x9C0064FF},
  };
  for (const Row& r : rows) EXPECT_EQ(r.got, r.want) << r.what;
}

// A 6 x 5 map, not wrapping, of terrain 1 whose neighbourhood value 0 is
// 0.8 and relief 10, owned by player 1 and loyal to player 2.
std::unique_ptr<World> OverlayWorld() {
  auto w = std::make_unique<World>();
  ResizeMap(*w, 6, 5);
  w->terrains.assign(kTerrainCount, TerrainRecord{});
  for (HexCell& c : w->cells) c.word = WithCellTerrain(WithCellLoyalTo(WithCellOwner(0, 1), 2), 1);
  le::StoreF32(w->terrains[1].bytes + kTerrainNeighbourhoodAt, 0.8f);
  w->terrains[1].bytes[133] = 10;
  return w;
}

TEST(MapOverlaysTest, NeighbourhoodAveragesKeepTheirDivisorAtTheEdge) {
  // Inside, (2 + 6) x 0.8 / 8 = 0.8; on the west edge (0, 2) four
  // neighbours are on the map, (2 + 4) x 0.8 / 8 = 0.6; in the corner (5, 4)
  // two are, 0.4. Relief 10: (100 + 99)^(1/4) / 40.
  const auto w = OverlayWorld();
  struct Row { Hex hex; int32_t k; float want; };
  const Row rows[] = {{{3, 2}, 1, std::sqrt(0.8f)},
                      {{0, 2}, 1, std::sqrt(0.6f)},
                      {{5, 4}, 1, std::sqrt(0.4f)},
                      {{3, 2}, 0, std::sqrt(std::sqrt(199.0f)) / 40.0f}};
  for (const Row& r : rows)
    EXPECT_FLOAT_EQ(TerrainValueStrength(*w, r.hex, r.k, false), r.want) << r.hex.x << "," << r.hex.y << " k" << r.k;
}

TEST(MapOverlaysTest, EachSwitchAddsItsColour) {
  const auto w = OverlayWorld();
  UiOptions o;
  o.playercolor[1] = 0xFF0000FF;
  o.playercolor[2] = 0xFF00FF00;
  o.areaTagMask = 0x0A;
  le::Store32(w->terrains[1].bytes + 136, kTerrainHighGround | kTerrainCovered);
  w->cellBytes.assign(w->cells.size(), 0);
  w->cellBytes[2 * 6 + 3] = 90;
  w->players[2].approval = 0.5f;
  w->cells[2 * 6 + 3].word |= 0x06u << 16;  // area tags 1 and 2
  // Ground defence byte 0 counts as 1.0: (1.0 - 0.5) x 50 = 25. Control
  // 0.5 gives alpha 100 + 50.
  struct Row { int32_t UiOptions::*flag; std::vector<uint32_t> want; };
  const Row rows[] = {
      {&UiOptions::ovshowownership, {0x7F0000FF}},   {&UiOptions::occupationShading, {0x9600FF00}},
      {&UiOptions::ovshowsupply, {0x5A0000FF}},      {&UiOptions::ovshowhighground, {0x7F00FF00}},
      {&UiOptions::ovshowgrounddef, {0x19FF0000}},   {&UiOptions::ovshowclosecombat, {0x7FFF0000}},
      {&UiOptions::terrainValueOverlay, {0xE4FF0000}},  // index 1: sqrt(0.8) x 255
      {&UiOptions::areaTagOverlay, {0xBF00FF00}},    // tag 1 is in both: player 2's colour
  };
  MapView view;
  view.valueIndex = 1;
  for (const Row& r : rows) {
    UiOptions one = o;
    one.*r.flag = 1;
    const HexOverlayColours got = OverlayColoursOfHex(*w, one, view, {3, 2}, false);
    EXPECT_EQ(std::vector<uint32_t>(got.colour, got.colour + got.count), r.want) << (&r - rows);
  }
}

}  // namespace
