// The unit symbols and bars on the map, read back from the draw hook.
#include "screens/main/map/map_units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "screens/main/map/map_layers_test_support.h"
#include "screens/main/map/unit_bars.h"
#include "world/scenario_settings.h"

namespace {

using MapUnitsTest = maptest::MapLayersTest;

TEST_F(MapUnitsTest, SymbolFrameTextureAndTint) {
  // (u, v, w, h): the frame in its sheet; texture: the entry of the first table.
  struct Row { const char* what; int facing; bool layout; int16_t symbol; int owner, bunitcolor;
               float u, v, w, h; bool mirrored; int texture; uint32_t tint; };
  // Player 1 is at war with 2 and friends with 3. Hex (5, 3) is odd: its
  // symbols start at (5 x 18 - 29, 3 x 22 - 9) = (61, 57).
  const Row rows[] = {
      {"facing 18 is frame 6 mirrored", 18, false, 3, 1, 0, 2, 170, 164, 80, true, 3, 0xFFFFFFFF},
      {"the layout bit's frames", 18, true, 3, 1, 0, 34, 206, 100, 100, true, 3, 0xFFFFFFFF},
      {"facing 4 unmirrored", 4, false, 3, 1, 0, 170, 86, 164, 80, false, 3, 0xFFFFFFFF},
      {"symbol 500 shows symbol 0", 0, false, 500, 1, 0, 2, 2, 164, 80, false, 0, 0xFFFFFFFF},
      {"hostile", 0, false, 3, 2, 1, 2, 2, 164, 80, false, 3, 0xFFCBFFCB},
      {"friendly", 0, false, 3, 3, 1, 2, 2, 164, 80, false, 3, 0xFFE2E2E2},
      {"own", 0, false, 3, 1, 1, 2, 2, 164, 80, false, 3, 0xFFE2E2E2},
      {"other", 0, false, 3, 4, 1, 2, 2, 164, 80, false, 3, 0xFFFFFFCB},
  };
  g_world.players[1].displayPolicy.hostileMask = 1u << 2;
  g_world.players[1].displayPolicy.friendlyMask = 1u << 3;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    g_uiOptions.bunitcolor = r.bunitcolor;
    SetSymbols(1, r.symbol, 0, r.layout);
    AddUnit(5, 3, 0, r.owner, 1).heading = uint8_t(r.facing);
    maptest::QuadRecorder rec;
    DrawAllUnitsLayer(view_);
    const auto& q = rec.Flush();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_FLOAT_EQ(q[0].x, 61); EXPECT_FLOAT_EQ(q[0].y, 57); EXPECT_FLOAT_EQ(q[0].w, 82); EXPECT_FLOAT_EQ(q[0].h, 40);
    EXPECT_EQ(q[0].u0 > q[0].u1, r.mirrored);
    EXPECT_NEAR(std::min(q[0].u0, q[0].u1), r.u, 0.01); EXPECT_NEAR(q[0].v0, r.v, 0.01);
    EXPECT_NEAR(std::fabs(q[0].u1 - q[0].u0), r.w, 0.01); EXPECT_NEAR(q[0].v1 - q[0].v0, r.h, 0.01);
    EXPECT_EQ(q[0].texture, g_ui.bitmaps.unitPictures[r.texture]->deviceTexture);
    EXPECT_EQ(q[0].colour, r.tint);
    g_world.cells[3 * kColumns + 5].stack = nullptr;
  }
}

TEST_F(MapUnitsTest, AirUnitsLastAndHigherAndUnseenEnemiesNotAtAll) {
  SetSymbols(1, 3, 0, false);
  AddUnit(4, 2, 1, 1, 1);                         // air
  AddUnit(4, 2, 0, 1, 1);                         // land
  AddUnit(4, 2, 2, 2, 1).seenBy = 1u << 5;        // sea, seen by another side only
  AddUnit(4, 2, 3, 2, 1).seenBy = 1u << 1;        // submarine, seen by player 1
  g_world.scenario.head.gameFlags = kGameFlagFog | kGameFlagUnitSight;
  g_uiOptions.bunithudmulti = 0;
  maptest::QuadRecorder rec;
  DrawAllUnitsLayer(view_);
  const std::vector<maptest::Quad> symbols = rec.Flush();
  // Submarine, land, then air 5 pixels higher; the unseen sea unit nowhere.
  // Hex (4, 2) is even: (4 x 18 - 29, 2 x 22 - 20) = (43, 24).
  ASSERT_EQ(symbols.size(), 3u);
  EXPECT_FLOAT_EQ(symbols[0].y, 24); EXPECT_FLOAT_EQ(symbols[1].y, 24); EXPECT_FLOAT_EQ(symbols[2].y, 19);
  rec.quads.clear();
  DrawUnitHudBars(view_);
  // Three bars counted (2, 1, 0); with multi off only index 0 draws, a
  // readiness square and the air unit's bar: kind 1 is 1.0 x 1.0 + 6 long.
  ASSERT_EQ(rec.Flush().size(), 2u);
  EXPECT_FLOAT_EQ(rec.quads[1].w, 7);
}

TEST_F(MapUnitsTest, BarsStackDownwardAndKeepTheirSpacingUnderTheCap) {
  // Hex (5, 3): bars from (5 x 18 - 27, 3 x 22 - 8) = (63, 58), anchor
  // 63 + 23; a bar's top is 6 above its row.
  for (int i = 0; i < 3; ++i) AddUnit(5, 3, 0, 1, 1);
  UnitRecord& single = AddUnit(7, 3, 0, 1, 1);
  single.pixelX = 3, single.pixelY = 4, single.morale = 1.0f, single.efficiency = 2.0f / 3.0f;
  single.disruption = 0.1f, single.ammo = 1.0f;  // readiness 1.0, halved: ammunition is half a fifth
  g_world.unitClasses[1].ammoCapacity = 10.0f;
  g_uiOptions.bunithudssize = 0;  // lengths by the full-strength count
  maptest::QuadRecorder rec;
  DrawUnitHudBars(view_);
  const auto& q = rec.Flush();
  // Stack: bar 2, bar 1, square and bar 0; single: square and bar at -1.
  ASSERT_EQ(q.size(), 6u);
  EXPECT_FLOAT_EQ(q[0].y, 64); EXPECT_FLOAT_EQ(q[1].y, 58); EXPECT_FLOAT_EQ(q[3].y, 52);
  EXPECT_FLOAT_EQ(q[2].x, 86); EXPECT_FLOAT_EQ(q[2].u0, 160);  // the stacked square
  // The single unit at (7, 3): anchor 99 + 23 + 3, row 58 + 4, its own square.
  EXPECT_FLOAT_EQ(q[4].x, 125); EXPECT_FLOAT_EQ(q[4].y, 56); EXPECT_FLOAT_EQ(q[4].u0, 128);
  EXPECT_EQ(q[4].colour, 0xFFFF7F00u);
  EXPECT_FLOAT_EQ(q[5].w, 5);  // 1.0 x 30 / 10 + 2

  rec.quads.clear();
  view_.zoom = 0.5f;
  g_world.unitClasses[1].strengthPerSize = 0;  // counts as 1: 32 long
  DrawHexHudBars(view_, PackHex(5, 3), *g_world.cells[3 * kColumns + 5].stack, -1);
  const auto& z = rec.Flush();
  ASSERT_EQ(z.size(), 4u);
  EXPECT_FLOAT_EQ(z[0].y - z[1].y, 6); EXPECT_FLOAT_EQ(z[1].y - z[3].y, 6); EXPECT_FLOAT_EQ(z[0].w, 32);
}

TEST_F(MapUnitsTest, ABarNeverOutgrowsAFullBar) {
  // (kind, strength, bunithudssize, length): a land unit counted in men, or
  // one above its class's full strength of 10, stops at a full bar.
  const float rows[][4] = {{0, 600, 1, 32}, {0, 20, 1, 16}, {2, 1, 1, 32}, {0, 5, 0, 17}, {0, 20, 0, 32}};
  for (const auto& r : rows) {
    g_uiOptions.bunithudssize = int(r[2]);
    UnitRecord u{};
    u.kind = uint8_t(r[0]), u.strength = r[1];
    EXPECT_FLOAT_EQ(UnitBarLength(u, g_world.unitClasses[1]), r[3]) << r[0] << " " << r[1];
  }
}

}  // namespace
