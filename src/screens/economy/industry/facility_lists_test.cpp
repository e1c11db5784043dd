// The facility lists over a small world: a product's sources and the
// industry pop-up, the domestic page's view and condition.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "screens/common/facilities/facility_list_services.h"
#include "screens/common/facilities/facility_list_test_world.h"
#include "screens/economy/industry/industry_popup.h"
#include "screens/economy/industry/product_facility_list.h"
#include "screens/economy/policy/policy_facility_list.h"
#include "screens/common/military_test_support.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/daily/product_fields.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "support/world_map_guard.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "ui/scroller.h"
#include "world/hex_extra.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

using namespace facilitylisttest;

struct SummaryCase {
  float capacity, terrain, city;
  std::vector<int32_t> rows;
};

TEST_F(FacilityListsTest, SummaryRowsOnlyAboveUnitCapacity) {
  const SummaryCase cases[] = {{1.0f, 500.0f, 500.0f, {}},
                               {1.01f, 500.0f, 0.5f, {kTerrainOutputRow}},
                               {2.0f, 3.0f, 3.0f, {kTerrainOutputRow, kCityOutputRow}}};
  std::unique_ptr<ListBoxControl> list(ListBoxConstruct(0, 0, 100, 100, 0, 0, &owner_));
  for (const SummaryCase& c : cases) {
    Figure(kProduct, product::kOutput, c.capacity);
    Figure(kProduct, product::kRawOutput, c.terrain);
    Figure(kProduct, product::kCityOutput, c.city);
    BuildProductFacilityList(g_world, list.get(), kProduct, g_screens.industryTypeFill, nullptr, nullptr, true);
    EXPECT_EQ(RowIds(list.get()), c.rows) << c.capacity;
  }
}

TEST_F(FacilityListsTest, FacilitiesStrongestTypeFirstOwnHexesOnly) {
  Facility(kA, 4020, 1, 1, 1.0f);
  Facility(kB, 4021, 2, 1, 0.2f);
  Facility(kC, 4020, 3, 1, 0.5f, 1);
  Facility(kD, 4021, 4, 1, 1.0f);
  g_world.cells[kSide + 4].word = WithCellOwner(g_world.cells[kSide + 4].word, kOther);
  std::unique_ptr<ListBoxControl> list(ListBoxConstruct(0, 0, 100, 100, 0, 0, &owner_));
  int32_t working = 0, total = 0;
  BuildProductFacilityList(g_world, list.get(), kProduct, g_screens.industryTypeFill, &working, &total, true);
  EXPECT_EQ(RowIds(list.get()), (std::vector<int32_t>{kB, kA, kC}));
  EXPECT_EQ(working, 2);
  EXPECT_EQ(total, 3);
}

class IndustryPopupTest : public FacilityListsTest {
 protected:
  IndustryPopupTest()
      : form_(popup_, "POPUP_INDUS",
              {"FACILLIST", "RAWLIST", "USELIST", "INDPIC", "SUPPLY", "STOCK", "FACIL", "NEXTBUT", "PREVBUT",
               "UPGBUT", "CONFBUT", "HIDEBOX1", "HIDEBOX2", "ACTION"},
              {}, {"FACILLIST", "RAWLIST", "USELIST", "INDPIC", "HIDEBOX1", "HIDEBOX2"}) {
    popup_.BindControls();
  }
  void Open(int32_t product) {
    popup_.id = product;
    popup_.OnOpen();
    popup_.Refresh();
  }
  IndustryPopup popup_;
  controltest::PanelForm form_;
};

TEST_F(IndustryPopupTest, FiguresPerDayAndFacilityCount) {
  Figure(kProduct, product::kProduction, 730.0f);
  Figure(kProduct, product::kStock, 50.0f);
  Figure(kProduct, product::kDemand, 60.0f * 365.0f);
  Facility(kA, 4020, 1, 1, 1.0f, 1);
  g_screens.productScreen.graphTimeScale = 365.0f;
  Open(kProduct);
  EXPECT_EQ(form_.Text("SUPPLY"), "2");
  EXPECT_EQ(form_.Text("STOCK"), "50");
  EXPECT_EQ(form_.Text("FACIL"), "0 / 1");
  EXPECT_TRUE(popup_.indPic->flags & kCtlTintFrame) << "a day's demand of 60 against 2 + 50 + 1";
  EXPECT_EQ(popup_.indPic->fills[0], kShortTint);
  Open(kProduct + 1);
  EXPECT_EQ(form_.Text("FACIL"), "0 / 0");
  EXPECT_FALSE(popup_.indPic->flags & kCtlTintFrame);
  EXPECT_EQ(popup_.indPic->fills[0], popup_.indPicFill) << "the next product's picture keeps no red behind it";
  EXPECT_NE(popup_.indPicFill, kShortTint);
  // A product falling short while the pop-up shows it is tinted at the
  // next frame, and untinted when it recovers.
  for (const float demand : {60.0f * 365.0f, 0.0f}) {
    Figure(kProduct + 1, product::kDemand, demand);
    popup_.indPic->state &= ~kStateDirty;
    popup_.Refresh();
    EXPECT_EQ((popup_.indPic->flags & kCtlTintFrame) != 0, demand > 0.0f) << demand;
    EXPECT_TRUE(popup_.indPic->state & kStateDirty) << demand;
  }
}

struct ConfirmCase {
  int32_t action;
  bool posts;
};

TEST_F(IndustryPopupTest, ConfirmedActionPostsOnTheFacilitysHex) {
  Facility(kA, 4020, 7, 12, 1.0f);
  for (const ConfirmCase c : {ConfirmCase{kIndustryUpgrade, true}, ConfirmCase{28, false}}) {
    Open(kProduct);
    ListSetSelection(0, popup_.facilList, kA, 0);
    form_["UPGBUT"]->id = c.action;
    popup_.OnCommand(form_["UPGBUT"], 0);
    EXPECT_TRUE(form_.Shown("HIDEBOX2"));
    popup_.OnCommand(form_["CONFBUT"], 0);
    const std::vector<GameCommand> log = g_commandLog.Entries();
    g_commandLog.Clear();
    EXPECT_TRUE(form_.Shown("HIDEBOX1")) << c.action;
    EXPECT_FALSE(form_.Shown("HIDEBOX2")) << c.action;
    ASSERT_EQ(log.size(), c.posts ? 1u : 0u) << c.action;
    if (!c.posts) continue;
    EXPECT_EQ(log[0].id, kCmdSetFacilityOutput);
    EXPECT_EQ(log[0].arg24, 0x000C0007u);
    EXPECT_EQ(log[0].arg28, 0u);
    EXPECT_EQ(log[0].arg32, 0x3F800000u);
  }
}

struct StepCase {
  const char* tag;
  bool activate;
  int32_t from, item, to;
};

TEST_F(IndustryPopupTest, StepsAndListsReopenOnlyRealProducts) {
  const StepCase cases[] = {{"NEXTBUT", false, 10, 0, 0},  {"PREVBUT", false, 0, 0, 10}, {"NEXTBUT", false, 4, 0, 5},
                            {"USELIST", true, 3, 12, 3},   {"RAWLIST", true, 3, 12, 3},  {"RAWLIST", true, 3, 11, 10},
                            {"USELIST", true, 3, 1, 0}};
  for (const StepCase& c : cases) {
    Open(c.from);
    Control* control = form_[c.tag];
    if (c.activate) control = c.tag[0] == 'U' ? popup_.useList : popup_.rawList;
    if (c.activate) popup_.OnActivate(control, c.item);
    else popup_.OnCommand(control, c.item);
    EXPECT_EQ(popup_.Product(), c.to) << c.tag << " " << c.item;
    EXPECT_EQ(popup_.id, c.to) << c.tag << " " << c.item;
  }
}

TEST_F(FacilityListsTest, DomesticPageRefreshKeepsItsView) {
  for (int16_t x = 0; x < kSide; ++x) Facility(kA + x, kClinic, x, 2, 1.0f);
  PolicyFacilityListPanel panel;
  controltest::PanelForm form(panel, "DOMPOLICY1_S", {"FACILLIST"}, {}, {"FACILLIST"});
  panel.BindControls();
  panel.Refresh();
  ListBoxControl* list = panel.facilList;
  ListSetSelection(0, list, kA + 3, 0);
  list->scrollOffset = 60;
  ScrollerSetPosition(list->scroller, 4000);
  const int32_t position = ScrollerPosition(list->scroller);
  panel.Refresh();
  EXPECT_EQ(RowIds(list).size(), static_cast<size_t>(kSide));
  EXPECT_EQ(list->selectedId, kA + 3);
  EXPECT_EQ(list->scrollOffset, 60);
  EXPECT_EQ(ScrollerPosition(list->scroller), position);
}

TEST_F(FacilityListsTest, DomesticPageListsTheCentresByTheirSiteKind) {
  struct Row {
    uint32_t flags;
    uint8_t siteKind;
    bool listed;
  };
  const Row rows[] = {{kClassFacility | kClassSettlement, kDomesticSiteKind, true},
                      {kClassFacility, kDomesticSiteKind, true},
                      {kClassFacility | kClassSettlement, kDomesticSiteKind + 1, false},
                      {kClassFacility | kClassSettlement, 0, false}};
  Facility(kA, kClinic, 1, 1, 1.0f);
  PolicyFacilityListPanel panel;
  controltest::PanelForm form(panel, "DOMPOLICY1_S", {"FACILLIST"}, {}, {"FACILLIST"});
  panel.BindControls();
  for (const Row& row : rows) {
    g_world.unitClasses[kClinic].flags = row.flags;
    g_world.unitClasses[kClinic].baseKind = row.siteKind;
    panel.Refresh();
    EXPECT_EQ(RowIds(panel.facilList), row.listed ? std::vector<int32_t>{kA} : std::vector<int32_t>{})
        << row.flags << " " << int{row.siteKind};
  }
}

TEST_F(FacilityListsTest, DomesticConditionOfTheFacilityInHand) {
  const std::pair<float, std::string> cases[] = {{1.3f, "100 %"}, {0.456f, " 46 %"}};
  UnitRecord& u = Facility(kA, kClinic, 1, 1, 1.0f);
  FacilityConditionPanel panel;
  controltest::PanelForm form(panel, "DOMPOLICY1_S", {"CONDITION"});
  panel.Refresh();
  EXPECT_EQ(form.Text("CONDITION"), "  0 %");
  for (const auto& [strength, text] : cases) {
    u.strength = strength;
    SetCurrentFacility(g_screens, g_world, kA);
    panel.Refresh();
    EXPECT_EQ(form.Text("CONDITION"), text) << strength;
  }
}

}  // namespace
