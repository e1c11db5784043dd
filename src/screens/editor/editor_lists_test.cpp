// The unit tool's class lists, hex unit list and stock list over a small world.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "editor/editor_class_lists.h"
#include "editor/editor_screens.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/editor/editor_class_list_panels.h"
#include "screens/editor/editor_hex_units.h"
#include "screens/editor/editor_stock_units.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "support/world_map_guard.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "units/hex_geometry.h"
#include "world/hex_extra.h"
#include "world/hex_stack_chains.h"
#include "world/id_lookups.h"
#include "world/list_holder.h"
#include "world/scenario_settings.h"
#include "world/unit_class_flags.h"
#include "world/unit_create.h"
#include "world/unit_ring.h"
#include "world/world.h"

namespace {

constexpr int kSide = 6;
constexpr int kLocal = 1;
constexpr size_t kClasses = 12;
using TestForm = controltest::PanelForm;

std::vector<int32_t> Rows(const ListBoxControl* list) {
  std::vector<int32_t> ids;
  for (Control* row = list->firstRow; row; row = ListNextRow(list, row)) ids.push_back(row->id);
  return ids;
}
std::vector<int32_t> Sorted(std::vector<int32_t> v) {
  std::sort(v.begin(), v.end());
  return v;
}

class EditorListsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    World& w = g_world;
    w.mapWidth = w.mapHeight = kSide;
    // Units leave their hex's stack by the header's size.
    w.mapHeader.width = w.mapHeader.height = kSide;
    w.cells.assign(kSide * kSide, HexCell{});
    w.unitClasses.assign(kClasses, UnitClassRecord{});
    w.gameState.localPlayer = kLocal;
    w.gameState.designRowBytes = kClasses;
    w.designRows.assign(kClasses * 32, 0);
    w.scenario.head.gameFlags = 0;
    w.units = nullptr;
    for (int p : {kLocal, 2}) w.players[p].number = static_cast<uint8_t>(p);
    g_editorScreens.modePanels[8] = &tool_;
  }
  void TearDown() override {
    while (UnitRecord* u = g_world.units) {
      RemoveUnitFromMap(g_world, *u);
      delete u;
    }
    for (HexCell& c : g_world.cells) FreeHexStack(c);
    ListHolderClear(g_screens.SelectionList());
    ListHolderClear(HexStackList());
  }
  static UnitClassRecord& Class(size_t i, int kind, int type, int level, uint32_t flags = 0) {
    UnitClassRecord& c = g_world.unitClasses[i];
    std::snprintf(c.name, sizeof c.name, "Class %zu", i);
    c.kind = static_cast<uint8_t>(kind);
    c.typeByte = static_cast<uint8_t>(type);
    c.level = static_cast<uint8_t>(level);
    c.flags = flags;
    c.strengthPerSize = 1;
    return c;
  }
  // A complete unit at (x, y); filed in the hex's chains unless a facility.
  UnitRecord& Unit(int32_t cls, int x, int y, int owner = kLocal, uint32_t posture = 0) {
    UnitRecord* u = CreateUnit(g_world, g_world.players[owner], ++nextId_, cls, 1.0f,
                               MakeHexPos(x, y), 0, 0);
    u->orders[kPostureBits] = u->ordersShown[kPostureBits] = posture;
    u->unitFlags &= ~kUnitProvisional;
    HexCell& cell = g_world.cells[static_cast<size_t>(y * kSide + x)];
    if (g_world.unitClasses[static_cast<size_t>(cls)].flags & kClassFacility) {
      GetStackDataLocked(g_world, cell)->lead = u;
    } else {
      HexStackInsertOrdered(g_world, cell, *u);
    }
    return *u;
  }
  static void SelectHex(int16_t x, int16_t y) {
    g_world.gameState.currentHex = {x, y, static_cast<uint32_t>(y * kSide + x), 0};
  }

  WorldMapGuard map_;
  GlobalGuard<std::vector<uint8_t>> designs_{g_world.designRows};
  GlobalGuard<uint32_t> rules_{g_world.scenario.head.gameFlags};
  GlobalGuard<UnitRecord*> units_{g_world.units};
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]};
  GlobalGuard<PlayerRecord> other_{g_world.players[2]};
  GlobalGuard<EditorScreens> screens_{g_editorScreens};
  GlobalGuard<EditorUnitClassChoice> choice_{g_editorUnitClass};
  Screen tool_{"EDTOOLTEST"};
  TestForm toolForm_{tool_, "EDTOOLTEST", {"FILTERL", "FILTERR", "FILTERRES", "REPLACED"}};
  uint32_t nextId_ = 1000;
};

class EquipmentList : public EditorListsTest {
 protected:
  void SetUp() override {
    EditorListsTest::SetUp();
    Class(1, 0, 1, 3).successor = 2;
    Class(2, 0, 2, 7);
    Class(3, 0, 1, 7);
    Class(4, 0, 8, 5, kClassStock).loadableMask = 1;
    Class(5, 1, 10, 4);
    panel.BindControls();
  }
  EditorEquipmentListPanel panel;
  TestForm form{panel, "MAPEDITORB_SS6a", {"LIST5"}, {std::begin(kEquipmentListIds), std::end(kEquipmentListIds)},
                {"LIST5"}};
};

TEST_F(EquipmentList, TypeFiltersPagesAndTechLevelOrder) {
  // Levels: 2 and 3 are 7 (table order among them), 1 is 3; 4 is stock.
  struct Row { int32_t page, filterButton; std::vector<int32_t> rows; bool landButtons; };  // button 0: none
  const Row rows[] = {{0, 0, {2, 3, 1}, true}, {0, 108, {4}, true}, {0, 101, {3, 1}, true},
                      {1, 0, {5}, false}, {0, 0, {3, 1}, true}};  // the last: page 0 kept its filter
  for (const Row& r : rows) {
    panel.Show(r.page, nullptr);
    if (r.filterButton) panel.OnCommand(form[r.filterButton], r.filterButton);
    EXPECT_EQ(Rows(panel.list), r.rows) << r.page << " " << r.filterButton;
    EXPECT_EQ(!form[100]->Hidden(), r.landButtons);
    EXPECT_EQ(!form[107]->Hidden(), !r.landButtons);
  }
  // The page's class comes back with it.
  ListSetSelection(0, panel.list, 1, 0);
  EXPECT_EQ(EditorUnitClass(), 1);
  panel.Show(1, nullptr);
  EXPECT_EQ(EditorUnitClass(), 5);
  panel.Show(0, nullptr);
  EXPECT_EQ(EditorUnitClass(), 1);
}

TEST_F(EquipmentList, RegionFiltersNeedTheRegion) {
  DesignRow(g_world, kLocal)[1] = 1;
  struct Row { bool region, designs, replaced; std::vector<int32_t> rows; };
  const Row rows[] = {{false, false, false, {2, 3, 1}}, {false, true, false, {2, 3, 1}},
                      {false, false, true, {2, 3, 1}},  {true, false, true, {2, 3, 1}},
                      {true, false, false, {2, 3}},     {true, true, true, {1}}};
  for (const Row& r : rows) {
    for (auto [tag, on] : {std::pair{"FILTERR", r.region}, {"FILTERRES", r.designs}, {"REPLACED", r.replaced}})
      SetControlFlag(toolForm_[tag], kStateSelected, on ? 1 : 0);
    panel.Show(0, nullptr);
    EXPECT_EQ(Rows(panel.list), r.rows) << r.region << r.designs << r.replaced;
  }
}

TEST_F(EquipmentList, AnEmptyListOrAnImportLeavesNoStaleClass) {
  panel.Show(0, nullptr);
  ListSetSelection(0, panel.list, 3, 0);
  panel.OnCommand(form[109], 109);  // no class of type 9
  EXPECT_TRUE(Rows(panel.list).empty());
  EXPECT_EQ(EditorUnitClass(), 0);
  EXPECT_EQ(EditorBrushClass(), 3);
  panel.OnCommand(form[101], 101);
  ListSetSelection(0, panel.list, 3, 0);
  g_world.unitClasses.resize(3);  // the import's new table has no class 3
  panel.Refresh();
  EXPECT_EQ(Rows(panel.list), (std::vector<int32_t>{1}));
  EXPECT_EQ(EditorUnitClass(), 1);
}

TEST_F(EditorListsTest, HexListShowsPlacedUnitsAndClearsThem) {
  Class(1, 0, 1, 1);
  Class(2, 0, 8, 1, kClassStock).loadableMask = 1;
  Class(3, 0, 20, 1, kClassFacility);
  const auto a = static_cast<int32_t>(Unit(1, 2, 2).id), b = static_cast<int32_t>(Unit(1, 2, 2).id);
  const uint32_t kept[] = {Unit(1, 2, 2, kLocal, kPostureInReserve).id,
                           Unit(1, 2, 2, kLocal, kPostureUnderConstruction).id, Unit(3, 2, 2).id,
                           Unit(2, 2, 2).id};
  const auto enemy = static_cast<int32_t>(Unit(1, 2, 2, 2).id);
  Unit(1, 0, 0);
  std::unique_ptr<Screen> panel = MakeEditorHexUnitListPanel();
  TestForm form(*panel, "MAPEDITORB_SS6b", {"LIST1", "NAME", "CLASS", "EFFICIENCY", "CLEARBUT", "CLEARSTACK"}, {},
                {"LIST1"});
  panel->BindControls();
  ListBoxControl* list = form.List("LIST1");
  ASSERT_NE(list, nullptr);
  struct Row { int16_t x, y; uint32_t rules; std::vector<int32_t> units; };
  const Row rows[] = {{2, 2, 0, {a, b, enemy}},
                      {2, 2, kGameFlagFog | kGameFlagUnitSight, {a, b}},  // the enemy is not spotted
                      {0, 0, 0, {}}};
  for (const Row& r : rows) {
    SelectHex(r.x, r.y);
    g_world.scenario.head.gameFlags = r.rules;
    panel->Refresh();
    EXPECT_EQ(Sorted(Rows(list)), Sorted(r.units)) << r.x << " " << r.rules;
    EXPECT_EQ(form.Shown("CLEARBUT"), !r.units.empty());
  }
  // CLEARBUT on a unit the map's selection holds: it leaves the selection
  // and the next row is selected.
  SelectHex(2, 2);
  panel->Refresh();
  const uint32_t first = static_cast<uint32_t>(list->selectedId);
  NewListItem28(FindUnitById(g_world, first), true, static_cast<intptr_t>(first), g_screens.SelectionList());
  panel->OnCommand(form["CLEARBUT"], 0);
  EXPECT_EQ(FindUnitById(g_world, first), nullptr);
  EXPECT_EQ(FirstInHolder(g_screens.SelectionList()), nullptr);
  EXPECT_EQ(Rows(list).size(), 2u);
  EXPECT_EQ(list->selectedId, Rows(list).front());
  panel->OnCommand(form["CLEARSTACK"], 0);
  EXPECT_TRUE(Rows(list).empty());
  for (int32_t id : {a, b, enemy}) EXPECT_EQ(FindUnitById(g_world, static_cast<uint32_t>(id)), nullptr);
  for (uint32_t id : kept) EXPECT_NE(FindUnitById(g_world, id), nullptr) << id;
}

TEST_F(EditorListsTest, StockQuantitiesSitesAndWarheads) {
  // ADD's own steps; what the tool panel's sliders then do is its tests' part.
  g_editorUnitClass.readSliders = nullptr;
  for (const auto& [text, value] : {std::pair{"0.5", 1.0f}, {"12", 12.0f}, {"nan", 1.0f}, {"inf", 1.0f}})
    EXPECT_EQ(StockQuantity(text), value) << text;
  Class(1, 0, kStockClassType, 1, kClassStock).loadableMask = 1;
  Class(2, 0, kStockClassType, 1, kClassStock | kClassSpecialWeaponA).loadableMask = 1;
  Class(3, 0, 20, 1, kClassFacility | kClassSettlement).baseKind = 2;
  // Page 4 needs a stock site on the hex; page 3 makes a unit of 12 at (0, 0).
  EXPECT_EQ(AddStockUnit(g_world, kLocal, 1, "12", true, MakeHexPos(3, 3)), nullptr);
  Unit(3, 3, 3);
  UnitRecord* onSite = AddStockUnit(g_world, kLocal, 1, "1", true, MakeHexPos(3, 3));
  ASSERT_NE(onSite, nullptr);
  EXPECT_EQ(onSite->x, 3);
  UnitRecord* held = AddStockUnit(g_world, kLocal, 1, "12", false, MakeHexPos(3, 3));
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held->targetStrength, 12.0f);
  EXPECT_EQ(MakeHexPos(held->x, held->y), 0u);
  // Held and complete stock is listed; the special warhead only with WMDFILTER.
  for (UnitRecord* u : {onSite, held}) u->orders[kPostureBits] = u->ordersShown[kPostureBits] = kPostureInReserve;
  const auto special = static_cast<int32_t>(Unit(2, 0, 0, kLocal, kPostureInReserve).id);
  Unit(1, 0, 0, kLocal, kPostureInReserve | kPostureUnderConstruction);
  Unit(1, 0, 0, 2, kPostureInReserve);
  ListHolder units{};
  for (const bool shown : {false, true}) {
    CollectStockUnits(g_world, units, kLocal, -1, shown);
    std::vector<int32_t> ids, want{static_cast<int32_t>(onSite->id), static_cast<int32_t>(held->id)};
    for (ListItem28* i = FirstInHolder(units); i; i = NextInHolder(units, i)) ids.push_back(int32_t(i->callerWord));
    if (shown) want.push_back(special);
    EXPECT_EQ(Sorted(ids), Sorted(want)) << shown;
  }
  ListHolderClear(units);
}

}  // namespace
