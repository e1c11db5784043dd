// The terrain panel's rows and the comparison panel's distance for hexes of
// a small world.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "screens/main/panels/hex_distance_panel.h"
#include "screens/common/owned_test_form.h"
#include "screens/main/panels/hex_info_panel.h"
#include "screens/common/name_hex_popup.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "records/hex_cell.h"
#include "support/global_guard.h"
#include "support/world_map_guard.h"
#include "ui/control_focus.h"
#include "ui/edit_control.h"
#include "world/hex_extra.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/slide_bar.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr size_t kWrapByte = 67;  // of the map header

class HexPanelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_world.terrains.assign(2, TerrainRecord{});
    UseMap(10, 10, false, 20);
    for (int i = 0; i < 10; ++i) SetText(kListHexinfo, i, "info" + std::to_string(i));
  }
  void TearDown() override {
    for (const auto& [list, index] : texts_) {
      char*& entry = g_textLists.entries[TextListInfoOf(list).first + index];
      std::free(entry);
      entry = nullptr;
    }
  }

  static void UseMap(int32_t columns, int32_t rows, bool wraps, uint32_t km) {
    g_world.mapHeader.width = columns;
    g_world.mapHeader.height = rows;
    g_world.mapWidth = columns;
    g_world.mapHeight = rows;
    g_world.mapHeader.hexScale = km;
    reinterpret_cast<uint8_t*>(&g_world.mapHeader)[kWrapByte] = wraps ? 1 : 0;
    g_world.cells.assign(static_cast<size_t>(columns * rows), HexCell{});
    for (HexCell& c : g_world.cells) c.word = 1u << 24;  // terrain 1
  }
  static void Place(HexPosition& hex, int16_t x, int16_t y) {
    hex = {x, y, static_cast<uint32_t>(y * g_world.mapHeader.width + x), 0};
  }
  void SetText(TextListId list, int index, const std::string& text) {
    char*& entry = g_textLists.entries[TextListInfoOf(list).first + index];
    std::free(entry);
    entry = strdup(text.c_str());
    texts_.emplace_back(list, index);
  }

  WorldMapGuard map_;
  GlobalGuard<UiOptions> options_{g_uiOptions};
  std::vector<std::pair<TextListId, int>> texts_;
};

TEST_F(HexPanelsTest, DistanceInHexesOrKilometres) {
  HexDistancePanel panel;
  const OwnedTestForm owned(panel, new Control(controltest::Init("MAP1_ss5a", &panel, 0, 0, 220, 194)));
  Control* form = owned.root;
  Control* label = ControlAddChild(form, new Control(controltest::Init("DISTTEXT", &panel, 0, 0, 80, 16)));
  Control* text = ControlAddChild(form, new Control(controltest::Init("DISTANCE", &panel, 0, 0, 80, 16)));

  // Rows worked out on the column-offset grid: between neighbouring
  // columns rows meet half a hex apart.
  struct Row {
    int16_t xa, ya, xb, yb;
    int32_t columns;
    bool wraps, inHexes;
    const char* want;  // null: the distance is hidden
  };
  const Row rows[] = {
      {2, 2, 3, 3, 10, false, true, " 2.0 Hexes"},
      {2, 2, 3, 3, 10, false, false, "40.0 km"},   // 2 hexes of 20 km
      {1, 1, 2, 1, 10, false, true, " 1.0 Hexes"},  // a neighbour, not 2
      {0, 5, 99, 5, 100, true, true, " 1.0 Hexes"}, // across the seam
      {0, 5, 99, 5, 100, false, true, "99.0 Hexes"},
      {3, 3, 0, 0, 10, false, true, nullptr},       // no target
  };
  for (const Row& r : rows) {
    UseMap(r.columns, 10, r.wraps, 20);
    g_uiOptions.bdistancehexes = r.inHexes ? 1 : 0;
    Place(g_world.gameState.currentHex, r.xa, r.ya);
    Place(g_world.gameState.viewHex, r.xb, r.yb);
    panel.distanceShown = {};
    panel.Refresh();
    EXPECT_EQ(text->Hidden(), r.want == nullptr) << r.xb;
    EXPECT_EQ(label->Hidden(), r.want == nullptr) << r.xb;
    if (r.want) {
      EXPECT_EQ(text->text, r.want);
    }
  }
  // The same pair again prints nothing new.
  ControlSetText(text, "kept");
  UseMap(10, 10, false, 20);
  Place(g_world.gameState.currentHex, 2, 2);
  Place(g_world.gameState.viewHex, 3, 3);
  panel.Refresh();
  panel.Refresh();
  ControlSetText(text, "kept");
  panel.Refresh();
  EXPECT_EQ(text->text, "kept");

}

TEST_F(HexPanelsTest, DefenceRowsAndSpecialProperties) {
  HexInfoPanel panel;
  const OwnedTestForm owned(panel, new Control(controltest::Init("MAP1_ss5", &panel, 0, 0, 300, 194)));
  Control* form = owned.root;
  Control* spec = ControlAddChild(form, new Control(controltest::Init("SPECPARENT", &panel, 0, 0, 100, 40)));
  Control* rows[2];
  for (int i = 0; i < 2; ++i) {
    ControlInit init = controltest::Init("ROW", &panel, 0, 0, 100, 16);
    init.id = 3 + i;
    rows[i] = ControlAddChild(spec, new Control(init));
  }
  ControlInit barInit = controltest::Init("DEF1", &panel, 0, 0, 100, 12);
  barInit.id = 101;
  auto* defence = static_cast<SlideBarControl*>(ControlAddChild(form, new SlideBarControl(barInit, {})));
  Place(g_world.gameState.currentHex, 2, 2);

  // Columns: the first defence byte, the terrain's special flags; the first
  // row's factor (a tenth of the byte, below 0.3 counted as 1.0), the
  // special texts shown ("hexinfo" 3 + flag bit) and whether the section
  // and its second row show.
  struct Row {
    uint8_t defence;
    uint32_t special;
    float wantFactor;
    const char *want3, *want4;
    bool wantSection, wantRow4;
  };
  const Row cases[] = {
      {2, 0, 1.0f, "", "", false, true},
      {20, 1u << 0, 2.0f, "info3", "", true, false},
      {35, (1u << 6) | (1u << 5) | (1u << 1), 3.5f, "info4", "info8", true, true},
  };
  for (const Row& r : cases) {
    TerrainRecord& t = g_world.terrains[1];
    t = TerrainRecord{};
    t.bytes[120] = 10;  // movement: the sections show
    t.bytes[128] = r.defence;
    t.bytes[136] = static_cast<uint8_t>(r.special);
    for (Control* row : rows) ControlSetText(row, "");
    panel.Refresh();
    EXPECT_NEAR(SliderGetValueFloat(defence), r.wantFactor, 0.01f) << int{r.defence};
    EXPECT_EQ(rows[0]->text, r.want3) << r.special;
    EXPECT_EQ(rows[1]->text, r.want4) << r.special;
    EXPECT_EQ(!spec->Hidden(), r.wantSection) << r.special;
    EXPECT_EQ(!rows[1]->Hidden(), r.wantRow4) << r.special;
  }

}

TEST_F(HexPanelsTest, FortificationIsTheCoverOfTheHexsReadyFacility) {
  HexInfoPanel panel;
  const OwnedTestForm owned(panel, new Control(controltest::Init("MAP1_ss5", &panel, 0, 0, 300, 194)));
  Control* form = owned.root;
  auto* bar = static_cast<SlideBarControl*>(
      ControlAddChild(form, new SlideBarControl(controltest::Init("CFORTSLDR", &panel, 0, 0, 100, 12), {})));
  const GlobalGuard<std::vector<UnitClassRecord>> classes(g_world.unitClasses);
  g_world.unitClasses.assign(3, UnitClassRecord{});
  g_world.unitClasses[2].defenceValues[3] = 50;  // the cover it gives
  Place(g_world.gameState.currentHex, 2, 2);
  UnitRecord lead{};
  HexUnitStack stack{.lead = &lead};
  lead.classIndex = 2;
  g_world.cells[g_world.gameState.currentHex.cellIndex].stack = &stack;
  // The figure is the byte, its text the byte / 2.5 as a percentage; a
  // facility not yet built or standing down gives none.
  struct Row { uint32_t unitFlags, posture; int32_t want; const char* wantText; };
  const Row rows[] = {{0, 0, 50, "20 %"}, {kUnitProvisional, 0, 0, "0 %"}, {0, 1, 0, "0 %"}};
  for (const Row& r : rows) {
    lead.unitFlags = r.unitFlags;
    lead.orders[kPostureBits] = r.posture;
    panel.Refresh();
    EXPECT_EQ(std::tuple(SliderGetValueInt(bar), bar->text), std::tuple(r.want, std::string(r.wantText)));
  }
  g_world.cells[g_world.gameState.currentHex.cellIndex].stack = nullptr;
}

TEST_F(HexPanelsTest, NamingAHexPostsANameOnlyForASelectedHexAndAText) {
  std::unique_ptr<Screen> popup = MakeNameHexPopup();
  const OwnedTestForm owned(*popup, new Control(controltest::Init("POPUP_NAMEHX", popup.get(), 0, 0, 456, 116)));
  Control* form = owned.root;
  auto* field = static_cast<EditControl*>(
      ControlAddChild(form, new EditControl(controltest::Init("HEXNAME", popup.get(), 12, 34, 432, 26), {}, 47, 0)));
  Control* ok = ControlAddChild(form, new Control(controltest::Init("OKBUT", popup.get(), 12, 74, 112, 28)));
  // Hex (7, 3) is the local region's, which may rename it; the command's
  // display pass renames it at once.
  GlobalGuard<uint8_t> number(g_world.players[1].number, 1);
  g_world.gameState.localPlayer = 1;
  g_world.cells[3 * 10 + 7].word = WithCellOwner(g_world.cells[3 * 10 + 7].word, 1);
  HexExtra label{};
  label.text = strdup("Old port");
  HexUnitStack stack{.extra = &label};
  g_world.cells[3 * 10 + 7].stack = &stack;
  struct Row { int16_t x, y; const char* typed; std::string wantField; std::vector<uint8_t> wantPayload; };
  const Row rows[] = {{7, 3, "Ab", "Old port", {'A', 'b', 0}}, {7, 3, "", "Ab", {}}, {0, 0, "Ef", "", {}}};
  for (const Row& r : rows) {
    Place(g_world.gameState.currentHex, r.x, r.y);
    popup->OnOpen();
    EXPECT_EQ(field->sourceText, r.wantField);
    field->sourceText = r.typed;
    g_commandLog.Clear();
    popup->OnCommand(ok, 0);
    const std::vector<GameCommand> log = g_commandLog.Entries();
    ASSERT_EQ(log.size(), r.wantPayload.size() > 0 ? 1u : 0u) << r.typed;
    for (const GameCommand& c : log)
      EXPECT_EQ(std::tuple(c.id, c.arg24, c.payload), std::tuple(kCmdNameHex, PackHex(r.x, r.y), r.wantPayload));
  }
  EndTextEdit(), g_commandLog.Clear();
  g_world.cells[3 * 10 + 7].stack = nullptr;
  std::free(label.text);
}

}  // namespace
