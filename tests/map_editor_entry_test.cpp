// The map editor as a player starts it: the information mode, the Info tab
// pressed and editing off, so presses and drags on the map change nothing
// and the bar says so;
// with editing on, a facility brush dragged over the map places nothing;
// the terrain tab's palette frames the brush terrain's tile, the facility
// tab's the brush class's cell beside its picture; the facility types tab
// names the type a facility is raised to; Fill pressed on the terrain tab
// fills from that tab only.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/app_object.h"
#include "app/gfx/renderer.h"
#include "shell/shell.h"
#include "editor/editor_map_input.h"
#include "editor/editor_palette.h"
#include "editor/editor_screens.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "support/private_game_root.h"
#include "support/global_guard.h"
#include "support/own_options_file.h"
#include "support/whole_program.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/control.h"
#include "ui/map_folders.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

std::vector<uint32_t> Words() {
  std::vector<uint32_t> words;
  for (const HexCell& c : g_world.cells) words.push_back(c.stack && c.stack->lead ? ~c.word : c.word);
  return words;
}

void Drag(int x0, int y0, int x1, int y1) {
  const auto post = [](uint32_t m, uint32_t keys, int x, int y) {
    plat::PostWindowMessage(g_platform.mainWindow, m, keys, plat::MakeLParam(x, y));
  };
  post(plat::kWmLButtonDown, plat::kMkLButton, x0, y0);
  post(plat::kWmMouseMove, plat::kMkLButton, x1, y1);
  post(plat::kWmLButtonUp, 0, x1, y1);
  PumpWholeProgram();
}

struct Point {
  int32_t x, y;
};

// Where the frame's poll finds the pointer and the left button: the
// messages below come from there, as the window would deliver them.
PolledInput g_pointer{.x = 400, .y = 300};

// The left button pressed at the first point, held over the others and let
// go at the last.
void Stroke(const std::vector<Point>& points) {
  const auto post = [](uint32_t m, uint32_t keys, Point p) {
    g_pointer.x = p.x, g_pointer.y = p.y;
    g_pointer.left = keys == plat::kMkLButton;
    plat::PostWindowMessage(g_platform.mainWindow, m, keys, plat::MakeLParam(p.x, p.y));
    PumpWholeProgram();
  };
  post(plat::kWmMouseMove, 0, points.front());
  post(plat::kWmLButtonDown, plat::kMkLButton, points.front());
  for (const Point& p : points) post(plat::kWmMouseMove, plat::kMkLButton, p);
  post(plat::kWmLButtonUp, 0, points.back());
}

void ClickAt(const plat::Rect& r) { Stroke({{(r.left + r.right) / 2, (r.top + r.bottom) / 2}}); }

TEST(MapEditorEntry, OpensOnTheInformationModeWithEditingOff) {
  struct Restores {
    std::string root = plat::DataRoot();
    ~Restores() {
      ShutdownApplication(g_app);
      plat::SetDataRoot(root);
    }
  };
  GlobalGuard folders(g_mapFolders);
  GlobalGuard editorMap(g_editorMap);
  GlobalGuard palette(g_editorPalette);
  GlobalGuard input(g_uiInput);
  g_uiInput.poll = [] { return g_pointer; };
  plat::SetDataRoot(PrivateGameRoot());
  PrepareWholeProgram();
  g_ui.mapEditor = 1;
  // The blank map's ground is the default's, whatever another game saved.
  const OwnOptionsFile options("MapEditorEntry", OwnOptionsFile::kDefaults);
  Restores restores;
  ASSERT_EQ(InitApplication(g_app), 0);
  PumpWholeProgram();

  EXPECT_EQ(g_editorMap.mode, 0);
  Control* bar = g_screens.mapEditCmdBar.currentForm;
  ASSERT_TRUE(bar);
  EXPECT_TRUE(FormFindControlById(bar, 1)->state & kStateSelected);
  EXPECT_FALSE(g_editorMap.flags & kEditorEditing);
  const std::vector<uint32_t> before = Words();
  g_editorMap.brushKind = kBrushTerrain;
  g_editorMap.terrainBrush = 3;
  Drag(400, 300, 440, 320);
  EXPECT_EQ(Words(), before);
  // The bar says why.
  Control* hint = FormFindControlByTag(bar, "EDITHINT");
  ASSERT_TRUE(hint);
  EXPECT_EQ(hint->text, kEditingOffHint);

  // Editing on: a facility brush dragged from off the map places nothing.
  g_editorMap.flags |= kEditorEditing;
  g_editorMap.brushKind = kBrushObject;
  g_editorMap.brushValue = 1;
  EXPECT_TRUE(EditorBrushAtHex(1));
  EXPECT_EQ(Words(), before);
  g_world.gameState.currentHex = {};

  // The terrain tab: the palette shows the tile sheet with the brush
  // terrain's cell (column 1, row 1) framed in yellow.
  g_screens.mapEditCmdBar.OnCommand(FormFindControlById(bar, 2), 2);
  SetMapEditMode(kBrushTerrain, 17);
  PumpWholeProgram();
  Control* tiles = FormFindControlByTag(g_screens.editorStrip.currentForm, "TERRAINBITS");
  ASSERT_TRUE(tiles);
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
  const auto rgb = [&](int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)] & 0xFFFFFFu; };
  const plat::Rect at = ControlAbsoluteRect(tiles);
  const int32_t scale = (at.right - at.left) * 32 / 512;
  const int32_t left = at.left + scale, top = at.top + 32;
  int framed = 0;
  for (int32_t x = left; x < left + scale; ++x) framed += rgb(x, top) == 0xFFFF00u;
  EXPECT_GT(framed, scale / 2) << "the brush cell's top edge";
  EXPECT_NE(rgb(left - 2, top), 0xFFFF00u) << "the frame keeps to the cell";
  std::set<uint32_t> colours;
  for (int32_t y = at.top; y < at.top + 64; ++y)
    for (int32_t x = at.left; x < at.left + 2 * scale; ++x) colours.insert(rgb(x, y));
  EXPECT_GT(colours.size(), 8u) << "the tiles are drawn";

  // The facility tab: class 4009 is cell 9 (column 1, row 1), framed in
  // yellow, and its picture stands beside the palette.
  g_screens.mapEditCmdBar.OnCommand(FormFindControlById(bar, 5), 5);
  SetMapEditMode(kBrushObject, 4009);
  PumpWholeProgram();
  Control* cells = FormFindControlByTag(g_screens.editorStrip.currentForm, "UGBITS");
  Control* pick = FormFindControlByTag(g_screens.editorStrip.currentForm, "UGPICK");
  ASSERT_TRUE(cells && pick);
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
  const int32_t cellLeft = ControlAbsoluteRect(cells).left + 32;
  const int32_t cellTop = ControlAbsoluteRect(cells).top + 32 - g_editorPalette.facilityOffset;
  framed = 0;
  for (int32_t x = cellLeft; x < cellLeft + 32; ++x) framed += rgb(x, cellTop) == 0xFFFF00u;
  EXPECT_GT(framed, 16) << "the brush cell's top edge";
  const plat::Rect p = ControlAbsoluteRect(pick);
  colours.clear();
  for (int32_t y = p.top; y < p.bottom; ++y)
    for (int32_t x = p.left; x < p.right; ++x) colours.insert(rgb(x, y));
  EXPECT_GT(colours.size(), 3u) << "the class's picture is drawn";
  // The cells are pictures: the one under the pointer (class 4001, beside
  // the first) names its class in the palette's tooltip.
  g_pointer.x = cellLeft + 16, g_pointer.y = cellTop - 32 + 16;
  PumpWholeProgram();
  PumpWholeProgram();
  const char* town = g_world.unitClasses[4001].name;
  EXPECT_FALSE(cells->text.empty());
  EXPECT_EQ(cells->text, std::string(town, strnlen(town, sizeof g_world.unitClasses[4001].name)));

  // The facility types tab gives the class numbers of the type a facility
  // is raised to and of its ruins (0 for the sample's: none), each drawn
  // clear of its caption: blank columns lie between the caption's last
  // lit column and the number's first.
  g_screens.mapEditCmdBar.OnCommand(FormFindControlById(bar, 6), 6);
  PumpWholeProgram();
  Control* typeForm = g_screens.facilityTypePanel.currentForm;
  ASSERT_TRUE(typeForm);
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
  const int32_t formLeft = ControlAbsoluteRect(typeForm).left;
  for (const char* tag : {"UGNEXTUP", "UGRUBBLE"}) {
    SCOPED_TRACE(tag);
    Control* number = FormFindControlByTag(typeForm, tag);
    ASSERT_TRUE(number);
    EXPECT_EQ(number->text, "0");
    const plat::Rect r = ControlAbsoluteRect(number);
    const uint32_t ground = rgb(r.right - 1, r.top);
    const auto lit = [&](int32_t x) {
      for (int32_t y = r.top; y < r.bottom; ++y)
        if (rgb(x, y) != ground) return true;
      return false;
    };
    int32_t caption = -1, first = -1;
    for (int32_t x = r.left - 1; x > formLeft && caption < 0; --x)
      if (lit(x)) caption = x;
    for (int32_t x = r.left; x < r.right && first < 0; ++x)
      if (lit(x)) first = x;
    ASSERT_GE(caption, 0) << "the caption is drawn";
    ASSERT_GE(first, 0) << "the number is drawn";
    EXPECT_GT(first - caption, 2) << "the number runs into its caption";
  }

  // A stroke of the terrain brush, with editing switched on at its toggle,
  // shows on the minimap as soon as the button is let go.
  g_screens.mapEditCmdBar.OnCommand(FormFindControlById(bar, 2), 2);
  SetMapEditMode(kBrushTerrain, 3);
  g_editorMap.terrainBrush = 3;
  PumpWholeProgram();
  Control* editing = FormFindControlByTag(bar, "MAPMODE");
  ASSERT_TRUE(editing);
  if (!(editing->state & kStateSelected)) ClickAt(ControlAbsoluteRect(editing));
  ASSERT_TRUE(g_editorMap.flags & kEditorEditing);
  EXPECT_EQ(hint->text, "") << "the hint goes once editing is on";
  Control* minimap = g_mapView.minimapPane.currentForm;
  ASSERT_TRUE(minimap);
  const plat::Rect mm = ControlAbsoluteRect(minimap);
  const auto minimapPixels = [&] {
    EXPECT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
    std::vector<uint32_t> in;
    for (int32_t y = mm.top; y < mm.bottom; ++y)
      for (int32_t x = mm.left; x < mm.right; ++x) in.push_back(rgb(x, y));
    return in;
  };
  const std::vector<uint32_t> blank = minimapPixels();
  {
    // The new map, nothing painted yet, shows as empty ground, with no
    // magenta field: the ground's colour, or that colour dimmed while a
    // fade runs.
    const plat::Rect map = ControlAbsoluteRect(g_ui.mapArea);
    const uint32_t bg = g_uiOptions.mapeditbackground;
    const auto channel = [](uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFFu); };
    int magenta = 0, ground = 0;
    for (int32_t y = map.top; y < map.bottom; ++y)
      for (int32_t x = map.left; x < map.right; ++x) {
        const uint32_t c = rgb(x, y);
        magenta += c == 0xFF64FFu;
        const int g = channel(c, 8), bgG = std::max(channel(bg, 8), 1);
        ground += g > 0 && std::abs(channel(c, 16) - channel(bg, 16) * g / bgG) <= 2 &&
                  std::abs(channel(c, 0) - channel(bg, 0) * g / bgG) <= 2;
      }
    EXPECT_EQ(magenta, 0);
    EXPECT_GT(ground, (map.right - map.left) * (map.bottom - map.top) / 2);
  }
  const plat::Rect map = ControlAbsoluteRect(g_ui.mapArea);
  const int32_t y = (map.top + map.bottom) / 2, x0 = map.left + 100;
  std::vector<Point> stroke;
  for (int32_t x = x0; x < x0 + 400; x += 6) stroke.push_back({x, y});
  Stroke(stroke);
  int hexes = 0;
  for (const HexCell& c : g_world.cells) hexes += CellTerrain(c.word) == 3;
  EXPECT_GE(hexes, 10) << "the stroke paints a row of hexes";
  const std::vector<uint32_t> painted = minimapPixels();
  ASSERT_EQ(painted.size(), blank.size());
  int changed = 0;
  for (size_t i = 0; i < painted.size(); ++i) changed += painted[i] != blank[i];
  EXPECT_GT(changed, 4) << "the painted hexes show on the minimap";

  // Fill pressed on the terrain tab is that tab's: a click on the map from
  // the terrain types tab, which shows no Fill, paints its one hex; back on
  // the terrain tab Fill still stands pressed, and its next click fills and
  // lets it go.
  Control* fill = FormFindControlByTag(g_screens.terrainPaintPanel.currentForm, "FILL");
  ASSERT_TRUE(fill);
  ClickAt(ControlAbsoluteRect(fill));
  ASSERT_TRUE(fill->state & kStateSelected) << "Fill is pressed";
  const auto changedByClick = [&](int32_t x) {
    const std::vector<uint32_t> before = Words();
    Stroke({{x, map.top + 40}});
    const std::vector<uint32_t> after = Words();
    int n = 0;
    for (size_t i = 0; i < after.size(); ++i) n += after[i] != before[i];
    return n;
  };
  ClickAt(ControlAbsoluteRect(FormFindControlById(bar, 3)));
  ASSERT_EQ(g_editorMap.mode, 3) << "the terrain types tab";
  const int fromTypes = changedByClick(map.left + 100);
  EXPECT_GE(fromTypes, 1) << "the types tab paints";
  EXPECT_LE(fromTypes, 7) << "a click from the types tab flooded " << fromTypes << " hexes";
  ClickAt(ControlAbsoluteRect(FormFindControlById(bar, 2)));
  ASSERT_EQ(fill, FormFindControlByTag(g_screens.terrainPaintPanel.currentForm, "FILL"));
  EXPECT_TRUE(fill->state & kStateSelected) << "Fill still stands pressed on its tab";
  EXPECT_GT(changedByClick(map.left + 300), 100) << "its next click fills";
  EXPECT_FALSE(fill->state & kStateSelected) << "and lets it go";
}


}  // namespace
