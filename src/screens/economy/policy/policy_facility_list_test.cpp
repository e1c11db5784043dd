// The domestic facility page keeps its view over a refresh; the condition
// panel shows the facility in hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/economy/industry/facility_list_services.h"
#include "screens/economy/policy/policy_facility_list.h"
#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "ui/scroller.h"
#include "world/hex_extra.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kSide = 12, kLocal = 1;
constexpr int16_t kClinic = 5;

class PolicyFacilityListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    World& w = g_world;
    w.mapWidth = w.mapHeight = kSide;
    w.cells.assign(kSide * kSide, HexCell{nullptr, WithCellLoyalTo(WithCellOwner(0, kLocal), kLocal)});
    w.unitClasses.assign(8, UnitClassRecord{});
    w.unitClasses[kClinic].flags = kClassFacility | kClassSettlement;
    w.unitClasses[kClinic].baseKind = kDomesticSiteKind;
    w.gameState.localPlayer = kLocal;
    for (int16_t x = 0; x < kSide; ++x) {
      UnitRecord& u = ring_.Add(0x01000001u + static_cast<uint32_t>(x), kLocal, kClinic);
      u.x = x, u.y = 2;
      MakeHexStack(w.cells[static_cast<size_t>(2 * kSide + x)])->lead = &u;
    }
  }
  void TearDown() override {
    ListHolderClear(g_screens.workingLists[kCurrentObjectListIndex]);
    for (HexCell& c : g_world.cells) FreeHexStack(c);
  }

  GlobalGuard<int32_t> width_{g_world.mapWidth}, height_{g_world.mapHeight};
  GlobalGuard<std::vector<HexCell>> cells_{g_world.cells};
  GlobalGuard<std::vector<UnitClassRecord>> classes_{g_world.unitClasses};
  GlobalGuard<GameState> state_{g_world.gameState};
  testsupport::UnitRing ring_;
};

TEST_F(PolicyFacilityListTest, RefreshKeepsTheViewAndSelection) {
  PolicyFacilityListPanel panel;
  controltest::PanelForm form(panel, "DOMPOLICY1_S", {"FACILLIST"}, {}, {"FACILLIST"});
  panel.BindControls();
  panel.Refresh();
  ListBoxControl* list = panel.facilList;
  ASSERT_NE(list, nullptr);
  ListSetSelection(0, list, 0x01000004, 0);
  list->scrollOffset = 60;
  ScrollerSetPosition(list->scroller, 4000);
  const int32_t position = ScrollerPosition(list->scroller);
  panel.Refresh();
  EXPECT_EQ(list->rowCount, static_cast<uint32_t>(kSide));
  EXPECT_EQ(list->selectedId, 0x01000004);
  EXPECT_EQ(list->scrollOffset, 60);
  EXPECT_EQ(ScrollerPosition(list->scroller), position);
}

TEST_F(PolicyFacilityListTest, ConditionOfTheFacilityInHand) {
  const std::pair<float, std::string> cases[] = {{1.3f, "100 %"}, {0.456f, " 46 %"}};
  FacilityConditionPanel panel;
  controltest::PanelForm form(panel, "DOMPOLICY1_S", {"CONDITION"});
  panel.Refresh();
  EXPECT_EQ(form.Text("CONDITION"), "  0 %");
  for (const auto& [strength, text] : cases) {
    ring_[3].strength = strength;
    SetCurrentFacility(g_screens, g_world, static_cast<int32_t>(ring_[3].id));
    panel.Refresh();
    EXPECT_EQ(form.Text("CONDITION"), text) << strength;
  }
}

}  // namespace
