// Area tags: counting them from the map, emptying one, and the panel that
// picks, draws and empties them.
#include "screens/diplomacy/areas/area_tag_panel.h"

#include <memory>

#include <gtest/gtest.h>

#include "screens/diplomacy/areas/hex_area.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/map_click.h"
#include "screens/screen_set.h"
#include "units/hex_state.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/screen_manager.h"
#include "world/hex_extra.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int kColumns = 10, kUntouchedPan = 12345;

class AreaTagTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_world.mapWidth = kColumns, g_world.mapHeight = 6;
    g_world.cells.assign(kColumns * 6, HexCell{});
    g_world.terrains.assign(2, TerrainRecord{});
    g_world.terrains[1].bytes[98] = 10;  // population byte 10: weight 199
    g_world.mapHeader.hexScale = 20;
    g_ui.mapView = &g_mapView, g_mapView.panX = kUntouchedPan;
    // Tag 0 on (3, 2) and (4, 2), tag 1 on (4, 2), which holds people.
    Cell(4, 2).word = WithCellTerrain(0, 1);
    SetHexSettlementPopulation(*GetHexExtra(g_world, Cell(4, 2)), 50.5f);
    SetCellTagBit(Cell(3, 2), 0, true), SetCellTagBit(Cell(4, 2), 0, true), SetCellTagBit(Cell(4, 2), 1, true);
  }
  void TearDown() override {
    for (HexCell& c : g_world.cells) FreeHexStack(c);
    g_world.cells.clear(), g_world.terrains.clear();
  }
  static HexCell& Cell(int x, int y) { return g_world.cells[static_cast<size_t>(y * kColumns + x)]; }

  GlobalGuard<int32_t> mapWidth_{g_world.mapWidth}, mapHeight_{g_world.mapHeight};
  GlobalGuard<MapHeader> header_{g_world.mapHeader};
  GlobalGuard<HexAreaTable> areas_{g_screens.hexAreas};
  GlobalGuard<MapView*> view_{g_ui.mapView};
  GlobalGuard<int32_t> panX_{g_mapView.panX}, panY_{g_mapView.panY};
  GlobalGuard<uint8_t> mask_{g_uiOptions.areaTagMask};
  GlobalGuard<int32_t> overlay_{g_uiOptions.areaTagOverlay};
  GlobalGuard<int32_t> clickMode_{g_screens.mapClickMode};
  GlobalGuard<MapClickPending> pending_{g_mapClickPending};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth}, sidePopup_{g_ui.sidePopupOpen};
  GlobalGuard<int32_t> marker_{g_screens.cmdBar.dockedPanelMarker};
  GlobalGuard<uint8_t[10]> panelFlags_{g_panelFlags};
};

TEST_F(AreaTagTest, RecountSumsEachTagsHexesPeopleAndFirstHexAndClearEmptiesOneTag) {
  SetCellTagBit(Cell(0, 0), 3, true);
  RecountHexAreas(g_screens);
  const struct {
    int32_t tag;
    uint32_t hexes;
    float people;
    uint32_t first;
  } rows[] = {{0, 2, 249.5f, 3u | 2u << 16}, {1, 1, 249.5f, 4u | 2u << 16}, {2, 0, 0.0f, 0}, {3, 1, 0.0f, 0}};
  for (const auto& r : rows) {
    const AreaTagRecord& got = g_screens.hexAreas.tags[r.tag];
    EXPECT_EQ(got.hexCount, r.hexes) << r.tag;
    EXPECT_EQ(got.population, r.people) << r.tag;
    EXPECT_EQ(PackedFirstHex(got), r.first) << r.tag;
  }
  for (int32_t t = 0; t < kAreaTagCount; ++t) SetCellTagBit(Cell(5, 1), t, true);
  g_uiOptions.areaTagMask = 0x0F;
  ClearHexTagBit(g_screens, 2);
  EXPECT_EQ(CellTagByte(Cell(5, 1).word), 0xFBu);
  EXPECT_EQ(g_uiOptions.areaTagMask, 0x0F);
}

TEST_F(AreaTagTest, PanelKeepsItsTagShowsFiguresAndEndsMarkingOnlyOnMark) {
  SetCellTagBit(Cell(0, 0), 2, true);
  std::unique_ptr<Screen> panel = MakeAreaTagPanel();
  controltest::PanelForm form{
      *panel, "DIPL1_SS4", {"POP", "AREA", "HEXES", "CLEAR", "SELECT", "MARK", "BACK"}, {1, 2, 3, 4, 11, 12, 13, 14}};
  panel->OnOpen();
  panel->OnCommand(form[1], 1);
  EXPECT_EQ(form.Text("AREA"), "800");
  EXPECT_TRUE(form.Shown("CLEAR") && form.Shown("MARK"));
  // Tag 2 lies only at (0, 0): choosing it leaves the map where it was.
  g_mapView.panX = kUntouchedPan;
  panel->OnCommand(form[3], 3);
  EXPECT_EQ(g_mapView.panX, kUntouchedPan);
  EXPECT_EQ(form.Text("HEXES"), "1");
  // Tag 3 is empty: its box, CLEAR and MARK go; opened again, the panel is on it.
  panel->OnCommand(form[4], 4);
  EXPECT_TRUE(form[14]->Hidden() && !form[11]->Hidden());
  EXPECT_FALSE(form.Shown("CLEAR") || form.Shown("MARK"));
  panel->OnOpen();
  EXPECT_EQ(g_mapClickPending.areaTag, 3);
  EXPECT_TRUE(form[4]->Selected());
  const struct {
    const char* button;
    int32_t mode;
  } rows[] = {{"SELECT", kClickAreaPaint}, {"BACK", kClickAreaPaint}, {"MARK", kClickNone}};
  for (const auto& r : rows) {
    panel->OnCommand(form[r.button], 0);
    EXPECT_EQ(g_screens.mapClickMode, r.mode) << r.button;
  }
}

}  // namespace
