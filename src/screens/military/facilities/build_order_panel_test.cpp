// The build order panel's figures for a facility type on the hex under the
// pointer, and the placement its list starts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/common/local_region_fixture.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/units/class_icon.h"
#include "screens/military/facilities/build_order_panel.h"
#include "sim/daily/product_fields.h"
#include "units/hex_state.h"
#include "support/global_guard.h"
#include "ui/bitmap_control.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/map_hover.h"
#include "ui/scroller.h"
#include "ui/screen_manager.h"
#include "world/hex_extra.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kSide = 6;
constexpr int kLocal = 1;
constexpr int32_t kDepot = 4020;
constexpr int32_t kEngineers = 4040;

class BuildOrderPanelTest : public militarytest::LocalMapTest<kLocal, kSide, kSide, 4130> {
 protected:
  void SetUp() override {
    LocalMapTest::SetUp();
    World& w = g_world;
    w.mapHeader.scaleSquared = 1.0f;
    w.mapHeader.hexScale = 20;
    const uint32_t own = WithCellLoyalTo(WithCellOwner(WithCellTerrain(0, 1), kLocal), kLocal);
    w.cells.assign(kSide * kSide, HexCell{nullptr, own});
    w.cellBytes.assign(kSide * kSide, 0);
    w.terrains.assign(2, TerrainRecord{});
    w.gameState.designRowBytes = 4130;
    w.designRows.assign(4130 * 2, 0);
    // Price level 1.5, goods at 50 and 20, GDP 500 a head; the hex's
    // supplier lends nothing (w = 0).
    PlayerRecord& p = w.players[kLocal] = PlayerRecord{};
    p.costFactor = 1.5f, p.gdpPerCapita = 500.0f, p.efficiency = 0.0f;
    product::Set(p, 9, product::kPrice, 50.0f);
    product::Set(p, 10, product::kPrice, 20.0f);
    // Base cost 1,000 over 10 days, goods 2 and 3, 20 staff.
    UnitClassRecord& r = w.unitClasses[kDepot];
    std::strcpy(r.name, "Depot");
    r.price = 1000.0f, r.buildWorkPerPoint = 10.0f, r.firepower = 2.0f, r.resourceB = 3.0f, r.valuePerPoint = 20;
    g_uiOptions.sidescreens = 1;
    g_mapHover.viewCell = nullptr;
  }
  static UnitClassRecord& Depot() { return g_world.unitClasses[kDepot]; }

  GlobalGuard<std::vector<uint8_t>> designs_{g_world.designRows};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<MapPlacement> placement_{g_mapPlacement};
  GlobalGuard<MapHoverState> hover_{g_mapHover};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth};
};

using TestForm = controltest::PanelForm;

TEST_F(BuildOrderPanelTest, TheCostsFollowTheTypesScaleAndFlags) {
  // COST (1,000 + 200 + (50 x 2 + 20 x 3) x 1) x 1.5; FOUNDATION 0.2 x 1,000
  // x 1.5; ANNCOST a year of running at the price level, 1,000 / 10 / 10 x
  // 1.5 x 365 = 5,475, for a kind that runs, and the staff's pay, 2 x 20 x
  // 500 = 20,000, for every kind. A linked kind counts in the hex size (20).
  struct Row { uint32_t flags; float buildTime; const char *cost, *foundation, *annual; };
  const Row rows[] = {
      {kClassSettlement, 10.0f, "$ 2,040", "300", "25,475"},
      {0, 10.0f, "$ 2,040", "300", "20,000"},                // the staff's pay alone
      {kClassSettlement, 0.0f, "$ 2,040", "300", "20,000"},  // no days: no running share
      // (20,000 + 4,000 + 160) x 1.5; 100 x 20 / 10 x 1.5 x 365 + 20,000.
      {kClassRoad, 10.0f, "$ 36,240", "6,000", "129,500"},
  };
  BuildOrderPanel panel;
  TestForm form(panel, "Military1_ss2a", {"COST", "FOUNDATION", "ANNCOST", "TIME"});
  panel.pendingType = kDepot;
  for (const Row& r : rows) {
    Depot().flags = r.flags, Depot().buildWorkPerPoint = r.buildTime;
    panel.Refresh();
    EXPECT_EQ(form.Text("COST") + "|" + form.Text("FOUNDATION") + "|" + form.Text("ANNCOST"),
              std::string(r.cost) + "|" + r.foundation + "|" + r.annual) << r.flags << " " << r.buildTime;
    EXPECT_NE(form.Text("TIME").find("Day"), std::string::npos);
  }
}

TEST_F(BuildOrderPanelTest, TheBuildTimeFollowsTheSupplyAndEngineersAroundThePointer) {
  // 10 days / (((level / 125) + 0 + 1) / 3 x e): level 250 gives 1.
  // The hex under the pointer, its level, where an engineer adding 3.0
  // stands (-1: none), then SUPPLY, TIME and whether TIME is highlighted.
  struct Row { bool hex; int cx, cy; uint8_t level; int ex, ey; const char *supply, *time; bool noSupply; };
  const Row rows[] = {
      {false, 0, 0, 250, -1, -1, "N/A", "10 Days", false},
      {true, 2, 2, 250, -1, -1, "100 %", "10 Days", false},
      {true, 2, 2, 250, 2, 1, "100 %", "5 Days", false},  // e = sqrt(1 + 3)
      {true, 2, 2, 0, -1, -1, "  0 %", "No Supply", true},
      {true, 2, 2, 0, 2, 1, "  0 %", "15 Days", false},   // engineers carry it: 10 / (1/3 x 2)
      // The corner's neighbours off the map are no hex: the engineer on
      // hex 0,0 does not reach it.
      {true, 5, 5, 0, 0, 0, "  0 %", "No Supply", true},
  };
  g_world.unitClasses[kEngineers].flags = kClassFortifies;
  UnitRecord unit{};
  unit.classIndex = kEngineers;
  unit.morale = 1.0f, unit.efficiency = 1.0f, unit.strength = 150.0f;
  Depot().flags = kClassSettlement | kClassFortifies;
  BuildOrderPanel panel;
  TestForm form(panel, "Military1_ss2a", {"SUPPLY", "TIME"});
  panel.pendingType = kDepot;
  for (const Row& r : rows) {
    for (HexCell& c : g_world.cells) FreeHexStack(c);
    if (r.ex >= 0) {
      MakeHexStack(Cell(r.ex, r.ey))->chainA[0] = &unit;
      HexPresenceFlags(*GetHexExtra(g_world, Cell(r.ex, r.ey))) = kPresenceRepair;
    }
    g_world.cellBytes[static_cast<size_t>(r.cy * kSide + r.cx)] = r.level;
    g_mapHover.viewCell = r.hex ? &Cell(r.cx, r.cy) : nullptr;
    panel.Refresh();
    EXPECT_EQ(form.Text("SUPPLY") + "|" + form.Text("TIME"), std::string(r.supply) + "|" + r.time);
    EXPECT_EQ(form["TIME"]->Selected(), r.noSupply) << r.time;
  }
}

TEST_F(BuildOrderPanelTest, OpeningStartsPlacingTheChosenTypeAndShowsItsPicture) {
  BuildOrderPanel panel;
  TestForm form(panel, "Military1_ss2a", {"LIST1", "CONFIRMBUT", "REPEATBUT", "COST", "BASEPIC"}, {}, {"BASEPIC"});
  panel.BindControls();
  ASSERT_NE(panel.list, nullptr);
  panel.id = -1;
  panel.OnOpen();
  EXPECT_TRUE(panel.list->firstRow == nullptr && g_mapPlacement.active == 0);
  Depot().flags = kClassSettlement;
  g_world.designRows[4130 * kLocal + kDepot] = 1;
  panel.OnOpen();
  EXPECT_TRUE(panel.list->selectedId == kDepot + kBuildOrderRowBase && g_mapPlacement.active == 1 &&
              g_mapPlacement.classIndex == kDepot);
  EXPECT_EQ(form.Text("COST"), "$ 2,040");
  const auto* pic = dynamic_cast<const BitmapControl*>(form["BASEPIC"]->firstChild);
  ASSERT_NE(pic, nullptr);
  const plat::Rect want = ClassIconCellFor(0, false).source, got = pic->images[kLookNormal].source;
  EXPECT_TRUE(got.left == want.left && got.top == want.top && got.right == want.right && got.bottom == want.bottom);
  for (int32_t on : {1, 0}) {
    SetControlFlag(form["CONFIRMBUT"], kStateSelected, on);
    SetControlFlag(form["REPEATBUT"], kStateSelected, !on);
    panel.OnCommand(form["CONFIRMBUT"], 0), panel.OnCommand(form["REPEATBUT"], 0);
    EXPECT_TRUE(g_mapPlacement.placementConfirm == on && g_mapPlacement.placementRepeat == !on) << on;
  }
}

// A list scrolled down among many types and opened again on a site kind
// with one type shows that type, not the space past its end.
TEST_F(BuildOrderPanelTest, AShorterListOpensWithItsRowsInView) {
  BuildOrderPanel panel;
  TestForm form(panel, "Military1_ss2a", {"LIST1", "CONFIRMBUT", "REPEATBUT", "COST", "BASEPIC"}, {}, {"BASEPIC"});
  panel.BindControls();
  ASSERT_NE(panel.list, nullptr);
  constexpr int32_t kTypes = 12, kSiteKind = 5;
  for (int32_t c = kDepot; c < kDepot + kTypes; ++c) {
    UnitClassRecord& type = g_world.unitClasses[static_cast<size_t>(c)];
    type = Depot();
    type.flags = kClassSettlement | kClassFacility;
    type.baseKind = static_cast<uint8_t>(c == kDepot ? kSiteKind : 0);
    g_world.designRows[4130 * kLocal + static_cast<size_t>(c)] = 1;
  }
  panel.id = -1;
  panel.OnOpen();
  ASSERT_EQ(static_cast<int32_t>(panel.list->rowCount), kTypes);
  panel.list->scroller->SetSelected(10000);
  ASSERT_GT(panel.list->scrollOffset, 0) << "scrolled to the last types";
  panel.id = kSiteKind;
  panel.OnOpen();
  ASSERT_EQ(panel.list->rowCount, 1u);
  const Control* row = panel.list->firstRow;
  EXPECT_LT(panel.list->scrollOffset, row->rect.bottom - row->rect.top) << "the one type is in view";
}

}  // namespace
