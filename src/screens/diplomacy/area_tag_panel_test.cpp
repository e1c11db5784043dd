// Area tags: counting them from the map, emptying one, and the panel that
// picks, draws and empties them.
#include "screens/diplomacy/area_tag_panel.h"

#include <gtest/gtest.h>

#include <string>

#include "screens/diplomacy/hex_area.h"
#include "screens/main/map/map_view.h"
#include "screens/main/map_input/map_click.h"
#include "screens/main/panels/main_layout.h"
#include "screens/screen_set.h"
#include "sim/hex_state.h"
#include "sim/mail_ui_link.h"
#include "support/global_guard.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/screen_manager.h"
#include "world/hex_extra.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int kColumns = 10, kRows = 6;
constexpr int32_t kPeopleTerrain = 1;  // population byte 10

class AreaTagTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_world.mapWidth = kColumns, g_world.mapHeight = kRows;
    g_world.cells.assign(kColumns * kRows, HexCell{});
    g_world.terrains.assign(2, TerrainRecord{});
    g_world.terrains[kPeopleTerrain].bytes[98] = 10;
    g_world.mapHeader.hexScale = 20;
    g_ui.mapView = &g_mapView;
    g_mapView.panX = kUntouchedPan;
  }
  void TearDown() override {
    for (HexCell& c : g_world.cells) FreeHexStack(c);
    g_world.cells.clear(), g_world.terrains.clear();
    g_world.mapWidth = g_world.mapHeight = 0;
  }
  static HexCell& Cell(int x, int y) { return g_world.cells[static_cast<size_t>(y * kColumns + x)]; }
  static void Tag(int x, int y, int32_t tag) { SetCellTagBit(Cell(x, y), tag, true); }
  // Tag 0 on (3, 2) and (4, 2), tag 1 on (4, 2), which holds people.
  static void MarkTwoHexes() {
    Cell(4, 2).word = WithCellTerrain(Cell(4, 2).word, kPeopleTerrain);
    SetHexSettlementPopulation(*GetHexExtra(g_world, Cell(4, 2)), 50.5f);
    Tag(3, 2, 0), Tag(4, 2, 0), Tag(4, 2, 1);
  }

  static constexpr int32_t kUntouchedPan = 12345;
  GlobalGuard<int32_t> mapWidth_{g_world.mapWidth};
  GlobalGuard<int32_t> mapHeight_{g_world.mapHeight};
  GlobalGuard<MapHeader> header_{g_world.mapHeader};
  GlobalGuard<HexAreaTable> areas_{g_screens.hexAreas};
  GlobalGuard<MapView*> view_{g_ui.mapView};
  GlobalGuard<int32_t> panX_{g_mapView.panX};
  GlobalGuard<int32_t> panY_{g_mapView.panY};
  GlobalGuard<uint8_t> mask_{g_uiOptions.areaTagMask};
  GlobalGuard<int32_t> overlay_{g_uiOptions.areaTagOverlay};
  GlobalGuard<int32_t> clickMode_{g_screens.mapClickMode};
  GlobalGuard<MapClickPending> pending_{g_mapClickPending};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth};
  GlobalGuard<int32_t> sidePopup_{g_ui.sidePopupOpen};
  GlobalGuard<int32_t> marker_{g_screens.cmdBar.dockedPanelMarker};
  GlobalGuard<uint8_t[10]> panelFlags_{g_panelFlags};
};

TEST_F(AreaTagTest, RecountSumsEachTagsHexesPeopleAndFirstHex) {
  MarkTwoHexes();
  RecountHexAreas(g_screens);
  struct Row {
    int32_t tag;
    uint32_t hexes;
    float people;
    uint32_t first;
  };
  const Row rows[] = {
      {0, 2, 249.5f, 3u | 2u << 16},
      {1, 1, 249.5f, 4u | 2u << 16},
      {2, 0, 0.0f, 0},
  };
  for (const Row& r : rows) {
    const AreaTagRecord& got = g_screens.hexAreas.tags[r.tag];
    EXPECT_EQ(got.hexCount, r.hexes) << r.tag;
    EXPECT_EQ(got.population, r.people) << r.tag;
    EXPECT_EQ(PackedFirstHex(got), r.first) << r.tag;
  }
}

TEST_F(AreaTagTest, ATagOnlyAtTheCornerCountsButNeverMovesTheMap) {
  Tag(0, 0, 3);
  AreaTagPanel panel;
  controltest::PanelForm form{panel, "DIPL1_SS4", {"HEXES", "SELECT"}, {1, 2, 3, 4}};
  RecountHexAreas(g_screens);
  panel.OnCommand(form[4], 4);
  EXPECT_EQ(g_screens.hexAreas.tags[3].hexCount, 1u);
  panel.OnCommand(form["SELECT"], 0);
  EXPECT_EQ(g_mapView.panX, kUntouchedPan);
  EXPECT_EQ(form.Text("HEXES"), "1");
}

TEST_F(AreaTagTest, ClearEmptiesOneTagAndLeavesTheRestAndTheMask) {
  for (int32_t t = 0; t < kAreaTagCount; ++t) Tag(5, 1, t);
  g_uiOptions.areaTagMask = 0x0F;
  AreaTagPanel panel;
  controltest::PanelForm form{panel, "DIPL1_SS4", {"CLEAR"}};
  panel.id = 2;
  panel.OnCommand(form["CLEAR"], 0);
  EXPECT_EQ(CellTagByte(Cell(5, 1).word), 0xFBu);
  EXPECT_EQ(g_uiOptions.areaTagMask, 0x0F);
  EXPECT_EQ(g_screens.hexAreas.tags[2].hexCount, 0u);
  EXPECT_EQ(g_screens.hexAreas.tags[3].hexCount, 1u);
}

TEST_F(AreaTagTest, PanelKeepsItsTagShowsFiguresAndEndsMarkingOnlyOnMark) {
  MarkTwoHexes();
  AreaTagPanel panel;
  controltest::PanelForm form{
      panel, "DIPL1_SS4", {"POP", "AREA", "HEXES", "CLEAR", "SELECT", "MARK", "BACK"}, {1, 2, 3, 4, 11, 12, 13, 14}};
  panel.OnOpen();
  panel.OnCommand(form[1], 1);
  EXPECT_EQ(form.Text("AREA"), "800");
  EXPECT_EQ(form.Text("HEXES"), "2");
  EXPECT_TRUE(form.Shown("CLEAR"));
  EXPECT_TRUE(form.Shown("MARK"));
  // Tag 3 is empty: its box, CLEAR and MARK go.
  panel.OnCommand(form[4], 4);
  EXPECT_TRUE(form[14]->Hidden());
  EXPECT_FALSE(form[11]->Hidden());
  EXPECT_FALSE(form.Shown("CLEAR"));
  EXPECT_FALSE(form.Shown("MARK"));
  // Opened again, the panel is on tag 3 still.
  panel.OnOpen();
  EXPECT_EQ(panel.CurrentTag(), 3);
  EXPECT_EQ(g_mapClickPending.areaTag, 3);
  EXPECT_TRUE(form[4]->Selected());
  struct Row {
    const char* button;
    int32_t mode;
  };
  const Row rows[] = {{"SELECT", kClickAreaPaint}, {"BACK", kClickAreaPaint}, {"MARK", kClickNone}};
  for (const Row& r : rows) {
    panel.OnCommand(form[r.button], 0);
    EXPECT_EQ(g_screens.mapClickMode, r.mode) << r.button;
  }
}

}  // namespace
