// Facility symbols and hex connections, the close-up and the minimap box.
#include "screens/main/map/facility_icons.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "records/hex_cell.h"
#include "screens/main/panels/hex_closeup.h"
#include "screens/main/map/map_layers_test_support.h"
#include "screens/main/bars/minimap_box.h"
#include "sim/daily/elimination.h"
#include "units/hex_state.h"
#include "ui/control.h"
#include "units/hex_geometry.h"
#include "world/unit_class_flags.h"

namespace {

using FacilityIconsTest = maptest::MapLayersTest;

TEST_F(FacilityIconsTest, FacingColourFadeAndPreview) {
  // idleBit: the order block's last word, bit 0; (u, v): the frame's corner.
  struct Row { const char* what; uint32_t classFlags; int heading; uint32_t idleBit; float fade; int32_t preview;
               float u, v; uint32_t colour; };
  // Hex (5, 3) is player 1's capital, with two connection pieces; the
  // symbol is at (5 x 18 - 12, 3 x 22 - 4) = (78, 62), 48 x 30.
  const Row rows[] = {
      {"capital symbol faces 12", 1u << 20, 2, 0, 1.0f, 0, 0, 336, 0xFFFFFFFF},
      {"others keep their facing", 0, 2, 0, 1.0f, 0, 336, 0, 0xFFFFFFFF},
      {"idle keeps the layer's tint", 0, 0, 1, 1.0f, 0, 0, 0, 0x4FFFFFFF},
      {"faded to half", 0, 0, 0, 0.5f, 0, 0, 0, 0x7FFFFFFF},
      {"bit 17 never fades", 1u << 17, 0, 0, 0.5f, 0, 0, 0, 0xFFFFFFFF},
      {"bit 23 alone never fades", 1u << 23, 0, 0, 0.5f, 0, 0, 0, 0xFFFFFFFF},
      {"bit 23 with the capital bit does", (1u << 23) | (1u << 20), 0, 0, 0.5f, 0, 0, 336, 0x7FFFFFFF},
      {"a preview: facing 0, the tint, no connections", 1u << 20, 2, 0, 1.0f, 1, 0, 0, 0x8FFFFFFF},
  };
  SetCapitalHex(g_world.players[1].simPolicy, CapitalPosition{5, 3});
  HexExtra extra{};
  HexSlotClass(extra, 0) = 0 | (3 << 3);  // directions 0 and 3: two straight pieces
  HexSlotDisplayFlags(extra, 0) = kSlotReach0 | kSlotReach1;
  SetSymbols(2, 3, 0, false);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    g_world.unitClasses[2].flags = kClassFacility | r.classFlags;
    UnitRecord& f = AddFacility(5, 3, 1, 2);
    g_world.cells[3 * kColumns + 5].word = WithCellOwner(0, 1);
    g_world.cells[3 * kColumns + 5].stack->extra = &extra;
    f.heading = uint8_t(r.heading);
    f.ordersShown[kPostureBits] = r.idleBit;
    view_.facilityFade = r.fade;
    maptest::QuadRecorder rec;
    if (r.preview)
      DrawHexFacilityIcon(view_, PackHex(5, 3), 1, 1, 0x8FFFFFFF, 2, 6, 6);
    else
      DrawFacilityIconsPass1(view_);
    const auto& q = rec.Flush();
    ASSERT_EQ(q.size(), r.preview ? 1u : 3u);
    const maptest::Quad& s = q.back();
    EXPECT_FLOAT_EQ(s.x, 78); EXPECT_FLOAT_EQ(s.y, 62); EXPECT_FLOAT_EQ(s.w, 48);
    EXPECT_NEAR(s.u0, r.u, 0.01); EXPECT_NEAR(s.v0, r.v, 0.01); EXPECT_NEAR(s.u1 - s.u0, 168, 0.01);
    EXPECT_EQ(s.colour, r.colour);
    g_world.cells[3 * kColumns + 5].stack = nullptr;
  }
}

TEST_F(FacilityIconsTest, CloseUpWithoutASelectedHexDrawsNothing) {
  g_world.gameState.currentHex = HexPosition{};
  plat::Viewport after;
  g_renderer.device->SetViewport(plat::Viewport{3, 4, 50, 60});
  maptest::QuadRecorder rec;
  DrawMapBase(view_, plat::Rect{10, 10, 138, 138});
  EXPECT_TRUE(rec.Flush().empty());
  g_renderer.device->GetViewport(&after);
  EXPECT_EQ(after.x, 3u); EXPECT_EQ(after.y, 4u); EXPECT_EQ(after.width, 50u); EXPECT_EQ(after.height, 60u);
}

TEST_F(FacilityIconsTest, CloseUpUnitSymbolsSitInsideTheirHexes) {
  // The close-up stretches the 72 x 66 map pixels around the selected hex
  // (5, 3) over the panel, 180 x 132 here: 2.5 x 2.0 screen pixels to a map
  // pixel, a hex about 60 x 44. A symbol keeps the 82 x 40 it has on the
  // map, where its picture lies within a hex of 24 x 22, so a symbol
  // centred inside a hex of the close-up stays in it.
  struct Row { const char* what; int k, category; };
  const Row rows[] = {{"the hex itself", 6, 0}, {"a ship there", 6, 2}, {"upper-left", 0, 0},
                      {"upper", 1, 0},          {"lower-right", 5, 0}};
  const plat::Rect panel{10, 10, 190, 142};
  const uint32_t selected = PackHex(5, 3);
  g_world.gameState.currentHex = HexPosition{5, 3, 0, 0};
  SetSymbols(1, 3, 0, false);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const uint32_t hex = r.k == 6 ? selected : HexNeighbour(MapShape(g_world), selected, r.k);
    const Hex at = UnpackHex(hex);
    AddUnit(at.x, at.y, r.category, 1, 1);
    maptest::QuadRecorder rec;
    DrawMapBase(view_, panel);
    std::vector<maptest::Quad> symbols;
    for (const maptest::Quad& q : rec.Flush())
      if (q.texture == g_ui.bitmaps.unitPictures[3]->deviceTexture) symbols.push_back(q);
    ASSERT_EQ(symbols.size(), 1u);
    const maptest::Quad& q = symbols[0];
    EXPECT_FLOAT_EQ(q.w, 82); EXPECT_FLOAT_EQ(q.h, 40);
    // The hex's centre in map pixels from the close-up's corner, and on
    // the screen.
    const float mx = float(at.x * 18 + 12 - (5 * 18 - 24));
    const float my = float(at.y * 22 + 11 - ((at.x & 1) ? 0 : 11) - (3 * 22 - 22));
    const float dx = q.x + q.w / 2 - (panel.left + mx * 2.5f), dy = q.y + q.h / 2 - (panel.top + my * 2.0f);
    // Inside the flat-topped hex: half width 30, half height 22.
    EXPECT_LE(std::fabs(dy), 22.0f) << dx << ", " << dy;
    EXPECT_LE(std::fabs(dx), 30.0f - std::fabs(dy) * 15.0f / 22.0f) << dx << ", " << dy;
    g_world.cells[size_t(at.y * kColumns + at.x)].stack = nullptr;
  }
  g_world.gameState.currentHex = HexPosition{};
}

TEST(MinimapBoxTest, FitsTheMapAndFollowsThePan) {
  struct Row { const char* what; int32_t columns, rows; float zoom; int32_t panX, panY; plat::Rect minimap;
               int32_t boxLeft, boxTop, boxWidth, boxHeight; };
  // 22 x 9 hexes are 396 x 198 map pixels, 2:1; a 100 x 80 view at zoom 1
  // covers (118 / 396, 102 / 198) of it.
  const Row rows[] = {
      {"2:1 in a square, pan at the corner", 22, 9, 1.0f, 0, 0, {0, 50, 200, 150}, 1, 1, 59, 51},
      {"panned to hex (10, 4)", 22, 9, 1.0f, 180, 88, {0, 50, 200, 150}, 90, 44, 59, 51},
      {"zoomed out to the whole map", 22, 9, 4.0f, 0, 0, {0, 50, 200, 150}, 0, 0, 200, 100},
      {"1:2 in a square", 11, 18, 1.0f, 0, 0, {50, 0, 150, 200}, 1, 1, 59, 51},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    MapView view;
    Control minimap, box;
    minimap.rect = {0, 0, 200, 200};
    view.minimapPane.currentForm = &minimap, view.dragPanPane.currentForm = &box;
    InitMapViewGeometry(view, r.columns, r.rows, false, 0, 0);
    view.viewRight = 100, view.viewBottom = 80, view.zoom = r.zoom;
    FitMinimapToMap(view);
    EXPECT_EQ(minimap.rect.left, r.minimap.left); EXPECT_EQ(minimap.rect.top, r.minimap.top);
    EXPECT_EQ(minimap.rect.right, r.minimap.right); EXPECT_EQ(minimap.rect.bottom, r.minimap.bottom);
    view.panX = r.panX, view.panY = r.panY, view.minimapRedrawPending = 1;
    SyncMinimapViewBox(view);
    EXPECT_EQ(box.rect.left, r.boxLeft); EXPECT_EQ(box.rect.top, r.boxTop);
    EXPECT_EQ(box.rect.right - box.rect.left, r.boxWidth); EXPECT_EQ(box.rect.bottom - box.rect.top, r.boxHeight);
  }
}

}  // namespace
