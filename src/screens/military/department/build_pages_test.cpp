// The department's build page picks the best base, and its store page
// lists the stored units with what the reserve can staff.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/local_region_fixture.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/units/build_lists.h"
#include "screens/military/department/base_unit_list_panel.h"
#include "screens/military/department/stored_units_panel.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "world/hex_extra.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kSide = 8;
constexpr int kLocal = 1;
constexpr int16_t kBase = 4020;
constexpr int16_t kAirBase = 4021;
constexpr int16_t kInfantry = 30;

class BuildPagesTest : public militarytest::LocalMapTest<kLocal, kSide, kSide, 4130> {
 protected:
  void SetUp() override {
    g_world.gameState = GameState{};
    LocalMapTest::SetUp();
    g_world.players[kLocal] = PlayerRecord{};
    g_world.players[kLocal].number = kLocal;
    Class(kBase, kClassSettlement).baseSlots = 3;
    Class(kAirBase, kClassSettlement | kClassAirBase).baseSlots = 3;
    Class(kInfantry, 0).valuePerPoint = 10;
  }
  static UnitClassRecord& Class(int16_t c, uint32_t flags) {
    UnitClassRecord& r = g_world.unitClasses[static_cast<size_t>(c)];
    return std::strcpy(r.name, "Class"), r.flags = flags, r;
  }
  UnitRecord& Base(uint32_t id, int16_t cls, int16_t x) {
    UnitRecord& u = ring_.Add(id, kLocal, cls);
    return u.unitFlags = kUnitFacility, u.x = x, u.y = 2, u;
  }

  GlobalGuard<int32_t> panX_{g_mapView.panX};
  GlobalGuard<int32_t> panY_{g_mapView.panY};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth};
  GlobalGuard<BuildListFilters> filters_{g_buildListFilters};
};

using TestForm = controltest::PanelForm;

TEST_F(BuildPagesTest, TheBestBaseHasTheMostFreeSlotsAndTheFirstOfEqualsWins) {
  // Two land bases of 3 slots at columns 1 and 3; the first's hex lead has
  // 2 units queued unless it is not yet confirmed.
  struct Row { uint8_t queued; uint32_t leadFlags; int32_t category; uint32_t want; };
  const Row rows[] = {
      {0, 0, 0, 1},                 // equal: the earlier in the ring
      {2, 0, 0, 2},                 // 3 - 2 against 3
      {2, kUnitProvisional, 0, 1},  // an unconfirmed lead counts nothing
      {0, 0, 1, 3},                 // the air base
      {0, 0, 2, 0},                 // no harbour
  };
  UnitRecord& first = Base(1, kBase, 1);
  Base(2, kBase, 3);
  Base(3, kAirBase, 5);
  UnitRecord lead{};
  lead.classIndex = kBase;
  MakeHexStack(g_world.cells[2 * kSide + 1])->lead = &lead;
  for (const Row& r : rows) {
    lead.leadValue = r.queued;
    lead.unitFlags = r.leadFlags;
    const UnitRecord* best = FindBestBuildBase(g_world, kLocal, r.category);
    EXPECT_EQ(best ? best->id : 0u, r.want) << int{r.queued} << " " << r.category;
  }
  first.ordersShown[kPostureBits] = kPostureInReserve;  // offline
  EXPECT_EQ(FindBestBuildBase(g_world, kLocal, 0)->id, 2u);
}

TEST_F(BuildPagesTest, ThePageScrollsToItsBaseOnlyWhileTheBaseStands) {
  BaseUnitListPanel panel;
  TestForm form(panel, "MIL1_ss1c", {"BASENAME"}, {20, 21, 22});
  panel.OnOpen(), panel.Refresh();
  EXPECT_TRUE(panel.baseId == 0 && form.Text("BASENAME").empty() && g_world.gameState.currentHex.x == 0);
  UnitRecord& base = Base(9, kBase, 7);
  panel.OnOpen(), panel.Refresh();
  EXPECT_TRUE(panel.baseId == 9 && form.Text("BASENAME") == "X:007 Y:002" && g_world.gameState.currentHex.x == 7);
  g_world.gameState.currentHex = HexPosition{};
  base.unitFlags |= kUnitGone;
  panel.OnCommand(form["BASENAME"], 0), panel.Refresh();
  EXPECT_TRUE(g_world.gameState.currentHex.x == 0 && form.Text("BASENAME").empty());
}

TEST_F(BuildPagesTest, TheStorePageListsStoredUnitsAndWhatTheReserveCanStaff) {
  std::unique_ptr<Screen> panel = MakeStoredUnitsPanel();
  TestForm form(
      *panel, "MIL1_ss1a2",
      {"STOREDLIST", "PARSS1A2A", "STATUS", "BASENAME", "ALL", "DEPLOY", "SELL", "INSRES", "BUTHIDE", "CENTRE"});
  panel->BindControls();
  ListBoxControl* list = form.List("STOREDLIST");
  ASSERT_NE(list, nullptr);
  panel->OnOpen(), panel->Refresh();
  const Control* row = list->firstRow;
  ASSERT_NE(row, nullptr);
  EXPECT_TRUE(row->text == "No Undeployed" && !(row->flags & 1u) && !ListNextRow(list, row));
  for (const char* tag : {"ALL", "DEPLOY", "SELL", "INSRES", "BUTHIDE", "CENTRE"})
    EXPECT_FALSE(form.Shown(tag)) << tag;

  // 10 staff a point at strength 2 need 20 people.
  UnitRecord& unit = ring_.Add(7, kLocal, kInfantry);
  unit.strength = 2.0f, unit.x = 3, unit.y = 1;
  unit.ordersShown[kPostureBits] = kPostureInReserve;
  struct Row { float reserve; bool shortOfPeople; };
  for (const Row& r : {Row{20.0f, false}, Row{19.0f, true}}) {
    g_world.players[kLocal].soldiers = r.reserve;
    panel->Refresh();
    EXPECT_TRUE(list->selectedId == 7 && form.Text("BASENAME") == "X:003 Y:001" && form.Shown("DEPLOY"));
    EXPECT_EQ(form.Shown("INSRES"), r.shortOfPeople) << r.reserve;
  }
}

}  // namespace
