#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "editor/editor_fill.h"
#include "editor/editor_map_input.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "editor/terrain_paint_panel.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "records/hex_cell.h"
#include "support/global_guard.h"
#include "support/temp_dir.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "units/hex_geometry.h"
#include "world/map_data.h"
#include "world/world.h"

namespace {

constexpr uint8_t kGround = 1;
constexpr uint8_t kBrush = 2;
constexpr uint8_t kWall = 3;

class EditorBrushTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_editorMap = EditorMapState{};
    g_editorMap.flags = kEditorEditing | kEditorKeepAttributes;
    g_editorMap.terrainBrush = kBrush;
    g_editorScreens = EditorScreens{};
    g_editorLinks = EditorScreenLinks{};
    g_world.terrains.assign(kTerrainCount, TerrainRecord{});
    Map(10, 8, false);
  }
  void Map(int width, int height, bool wraps) {
    ASSERT_EQ(ResizeMap(g_world, width, height), 0);
    reinterpret_cast<uint8_t*>(&g_world.mapHeader)[kMapWrapByte] = wraps ? 1 : 0;
    for (HexCell& c : g_world.cells) c.word = WithCellTerrain(0, kGround);
  }
  static HexCell& Cell(int x, int y) { return g_world.cells[static_cast<size_t>(y * g_world.mapWidth + x)]; }
  static int Terrain(int x, int y) { return CellTerrain(Cell(x, y).word); }
  static void Select(int x, int y) {
    g_world.gameState.currentHex = HexPosition{static_cast<int16_t>(x), static_cast<int16_t>(y),
                                               static_cast<uint32_t>(y * g_world.mapWidth + x), 0};
  }
  static int Count(uint8_t terrain) {
    int n = 0;
    for (const HexCell& c : g_world.cells) n += CellTerrain(c.word) == terrain;
    return n;
  }

  GlobalGuard<std::vector<HexCell>> cells_{g_world.cells};
  GlobalGuard<std::vector<uint8_t>> cellBytes_{g_world.cellBytes};
  GlobalGuard<std::vector<uint16_t>> ranges_{g_world.rangeMap};
  GlobalGuard<std::vector<TerrainRecord>> terrains_{g_world.terrains};
  GlobalGuard<MapHeader> header_{g_world.mapHeader};
  GlobalGuard<int32_t> width_{g_world.mapWidth};
  GlobalGuard<int32_t> height_{g_world.mapHeight};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<EditorMapState> map_{g_editorMap};
  GlobalGuard<EditorPaletteState> palette_{g_editorPalette};
  GlobalGuard<EditorScreens> screens_{g_editorScreens};
  GlobalGuard<EditorScreenLinks> links_{g_editorLinks};
};

TEST_F(EditorBrushTest, TheLargeBrushPaintsTheNeighboursOnTheMap) {
  struct Row {
    int x, y;
    bool wraps;
    int painted;
  };
  // (5, 0) and (4, 0) lose the neighbours above the map; (0, 0) is no
  // one's neighbour and has none; column 0 of a wrapping map reaches
  // column 9.
  for (const Row& row : {Row{5, 5, false, 7}, {5, 0, false, 6}, {4, 0, false, 4}, {0, 0, false, 1},
                         {0, 3, false, 5}, {0, 3, true, 7}}) {
    Map(10, 8, row.wraps);
    g_editorMap.flags |= kEditorLargeBrush;
    Select(row.x, row.y);
    EXPECT_TRUE(EditorBrushAtHex(0));
    EXPECT_EQ(Count(kBrush), row.painted) << row.x << "," << row.y;
    EXPECT_EQ(Terrain(row.x, row.y), kBrush);
    if (row.x != 0 || row.y != 0) {
      EXPECT_EQ(Terrain(0, 0), kGround) << row.x << "," << row.y;
    }
    if (row.wraps) {
      EXPECT_EQ(Terrain(9, 3), kBrush);
    }
  }
}

TEST_F(EditorBrushTest, WithEditingOffNothingChangesAndNothingRedraws) {
  g_editorMap.flags &= ~kEditorEditing;
  Select(5, 5);
  EXPECT_FALSE(EditorBrushAtHex(0));
  EXPECT_FALSE(EditorBrushAtHex(1));
  EXPECT_EQ(Count(kBrush), 0);
}

TEST_F(EditorBrushTest, TheFillReachesTheWholeRegionAcrossTheSeamOnly) {
  struct Row {
    bool wraps;
    int painted;
  };
  // 301 x 204: rows 0-1 and 202-203 and the column 150 are walls, so the
  // region right of the wall is reached from the left only over the seam.
  for (const Row& row : {Row{true, 60000}, {false, 30000}}) {
    Map(301, 204, row.wraps);
    for (int x = 0; x < 301; ++x)
      for (int y : {0, 1, 202, 203}) Cell(x, y).word = WithCellTerrain(0, kWall);
    for (int y = 0; y < 204; ++y) Cell(150, y).word = WithCellTerrain(0, kWall);
    FloodFillHexes(g_world, MakeHexPos(100, 100));
    EXPECT_EQ(Count(kBrush), row.painted);
    EXPECT_EQ(Count(kWall), 301 * 4 + 200);
  }
}

TEST_F(EditorBrushTest, TheFillWritesItsBackupAndReleasesTheFillButton) {
  TempDir dir;
  struct RootGuard {
    std::string old = plat::DataRoot();
    ~RootGuard() { plat::SetDataRoot(old); }
  } root;
  plat::SetDataRoot(dir.path());
  TerrainPaintPanel panel;
  controltest::PanelForm form(panel, "MAPEDITORB_SS0", {"FILL"});
  g_editorScreens.terrainPaint = &panel;
  // Fill is read on the terrain tab, the panel's mode.
  g_editorScreens.modePanels[2] = &panel;
  g_editorMap.mode = 2;
  // The panel reads whether editing is on from the command bar's toggle.
  MapEditCmdBar bar;
  controltest::PanelForm barForm(bar, "MAPEDITCMDBR", {"MAPMODE"});
  SetControlFlag(barForm["MAPMODE"], kStateSelected, 1);
  g_editorScreens.cmdBar = &bar;
  for (uint8_t start : {kBrush, kGround}) {
    Cell(3, 3).word = WithCellTerrain(0, start);
    SetControlFlag(form["FILL"], kStateSelected, 1);
    Select(3, 3);
    EditorBrushAtHex(0);
    EXPECT_FALSE(form["FILL"]->state & kStateSelected);
    int backups = 0;
    for (const auto& f : std::filesystem::recursive_directory_iterator(dir.path()))
      backups += f.path().stem() == "AUTOBACKUPFILL";
    EXPECT_EQ(backups, 2) << "the map and the game, even when the fill changes nothing";
  }
  EXPECT_EQ(Count(kBrush), 10 * 8 - 1) << "all but (0, 0), which is no one's neighbour";
}

TEST_F(EditorBrushTest, TheLinkToolTakesTwoClicks) {
  static int32_t pending, selected, linked;
  pending = 0, selected = -1, linked = -1;
  g_editorLinks.pendingSelection = &pending;
  g_editorLinks.setMapSelection = [](World&, int32_t kind) { selected = kind; };
  g_editorLinks.linkAlongRoute = [](int32_t cls) { linked = cls; };
  g_editorMap.flags = kEditorEditing;
  g_editorMap.brushKind = kBrushObject;
  g_editorMap.brushValue = 4062;
  Select(4, 4);
  EditorBrushAtHex(1);  // a drag places nothing
  EXPECT_EQ(g_editorMap.brushValue, 4062);
  EditorBrushAtHex(0);
  EXPECT_EQ(g_editorMap.brushValue, 4128);
  EXPECT_EQ(pending, 1);
  EXPECT_EQ(selected, 0);
  EditorBrushAtHex(0);
  EXPECT_EQ(linked, 4128);
  EXPECT_EQ(pending, 0);
}

TEST_F(EditorBrushTest, ThePanelWritesTheLowBitsOfTheOwner) {
  TerrainPaintPanel panel;
  controltest::PanelForm form(panel, "MAPEDITORB_SS0", {"HEXOWN", "HEXLOYAL", "HEXEQ", "HEXH"});
  g_editorScreens.terrainPaint = &panel;
  struct Row {
    const char* owner;
    int stored;
  };
  for (const Row& row : {Row{"33", 1}, {"7", 7}, {"x", 0}}) {
    form["HEXOWN"]->SetText(row.owner);
    form["HEXLOYAL"]->SetText("2");
    SetControlFlag(form["HEXH"], kStateSelected, 1);
    Select(2, 2);
    PaintHexAttributes(panel);
    EXPECT_EQ(CellOwner(Cell(2, 2).word), row.stored) << row.owner;
    EXPECT_EQ(CellLoyalTo(Cell(2, 2).word), 2);
    EXPECT_TRUE(Cell(2, 2).word & kCellFlagH);
    EXPECT_FALSE(Cell(2, 2).word & kCellFlagEq);
  }
}

TEST(TerrainPalette, CellsAreSixteenToARowAndOutsideTheTableIsZero) {
  struct Row {
    int32_t right, x, y, scroll, index;
  };
  for (const Row& row : {Row{512, 40, 40, 0, 17}, {512, 40, 8, 32, 17}, {256, 40, 8, 0, 2}, {512, 40, 400, 0, 0}})
    EXPECT_EQ(TerrainPaletteIndex(0, 0, row.right, row.x, row.y, row.scroll, 40), row.index) << row.x << "," << row.y;
}

TEST_F(EditorBrushTest, AWheelNotchScrollsThePaletteInHalves) {
  TerrainPaintPanel panel;
  controltest::PanelForm form(panel, "MAPEDITORB_SS0", {"TERRAINBITS"});
  panel.OnControlMessage(0, 0, 0, static_cast<int32_t>(plat::kWmMouseWheel), static_cast<intptr_t>(-120) << 16, 0, 0,
                         form["TERRAINBITS"], 0);
  int32_t offset = 0;
  for (int32_t expected : {10, 15, 17, 18, 18}) {
    offset = ScrollPalette(g_editorPalette.pendingScroll, offset, 186, kTerrainSheetHeight);
    EXPECT_EQ(offset, expected);
  }
}

}  // namespace
