// The facility lists over a small world: a product's sources and the
// industry pop-up, the military page's order and rows, the domestic page's
// view and condition.
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
#include "screens/economy/industry/industry_popup.h"
#include "screens/economy/industry/product_facility_list.h"
#include "screens/economy/policy/policy_facility_list.h"
#include "screens/military/facilities/military_facility_screen.h"
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

constexpr int kSide = 16, kLocal = 1, kOther = 2, kProduct = 3;
constexpr int16_t kBase = 3, kAirfield = 4, kClinic = 5;
constexpr int32_t kA = 0x01000001, kB = 0x01000002, kC = 0x01000003, kD = 0x01000004;

class FacilityListsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    World& w = g_world;
    w.mapWidth = w.mapHeight = kSide;
    w.cells.assign(kSide * kSide, HexCell{nullptr, WithCellLoyalTo(WithCellOwner(0, kLocal), kLocal)});
    w.cellBytes.assign(kSide * kSide, 250);
    w.unitClasses.assign(4130, UnitClassRecord{});
    w.worldEconomy.assign(1024, 0);
    w.gameState.localPlayer = kLocal;
    w.players[kLocal] = PlayerRecord{};
    w.players[kLocal].number = kLocal;
    for (int32_t c : {4020, 4021}) {
      UnitClassRecord& cls = w.unitClasses[static_cast<size_t>(c)];
      cls.flags = kClassFacility | kClassProduction | kClassSpecialWeaponB;
      cls.hasExtra = true;
      le::StoreF32(cls.extra.data() + 4 * kProduct, 1.0f);
    }
    w.unitClasses[0].baseSlots = 7;
    w.unitClasses[kBase].flags = w.unitClasses[kAirfield].flags = w.unitClasses[kClinic].flags =
        kClassFacility | kClassSettlement;
    w.unitClasses[kBase].loadableMask = 1;
    w.unitClasses[kAirfield].flags |= kClassAirBase;
    w.unitClasses[kClinic].baseKind = kDomesticSiteKind;
    w.gameState.currentHex = {5, 5, 5 * kSide + 5, 0};
    for (int i = 0; i < 7; ++i) words_.Set(kListUgstatus, i, "word" + std::to_string(i));
    g_screens.productScreen.graphTimeScale = 1.0f;
    g_commandLog.Clear();
  }
  void TearDown() override {
    g_commandLog.Clear();
    ListHolderClear(g_screens.workingLists[kCurrentObjectListIndex]);
    for (HexCell& c : g_world.cells) FreeHexStack(c);
  }
  UnitRecord& Facility(int32_t id, int16_t cls, int16_t x, int16_t y, float strength, uint32_t posture = 0) {
    UnitRecord& u = ring_.Add(static_cast<uint32_t>(id), kLocal, cls);
    u.x = x, u.y = y, u.strength = strength;
    u.ordersShown[kPostureBits] = posture;
    MakeHexStack(g_world.cells[static_cast<size_t>(y * kSide + x)])->lead = &u;
    return u;
  }
  static void Figure(int32_t product, size_t field, float value) {
    product::Set(g_world.players[kLocal], product, field, value);
  }
  static std::vector<int32_t> RowIds(const ListBoxControl* list) {
    std::vector<int32_t> ids;
    for (Control* row = ListNextRow(list, nullptr); row; row = ListNextRow(list, row)) ids.push_back(row->id);
    return ids;
  }

  WorldMapGuard map_;
  GlobalGuard<std::vector<uint8_t>> economy_{g_world.worldEconomy};
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]};
  GlobalGuard<float> period_{g_screens.productScreen.graphTimeScale};
  militarytest::TextPatch words_;
  testsupport::UnitRing ring_;
  controltest::RecordingScreen owner_;
};

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

TEST_F(FacilityListsTest, MilitaryPageWorkingBasesThenOfflineOnesThenBasesWithoutRoom) {
  Facility(kA, kAirfield, 1, 1, 1.0f);
  Facility(kB, kBase, 2, 1, 1.0f, 1);
  Facility(kC, kBase, 3, 1, 1.0f);
  MilitaryFacilityScreen page;
  controltest::PanelForm form(page, "MILITARY1_ss", {"FACILLIST"}, {}, {"FACILLIST"});
  page.BindControls();
  page.Refresh();
  EXPECT_EQ(RowIds(page.facilList), (std::vector<int32_t>{kC, kB, kA}));
}

struct StatusCase {
  uint8_t supply;
  uint32_t posture;
  float work;
  std::string status, progress;
};

TEST_F(FacilityListsTest, StatusRowWordAndProgress) {
  const StatusCase cases[] = {
      {0, 0, 0.0f, "word6", ""}, {250, 0, 0.0f, "word0", ""}, {250, 3, 9.0f, "word2", "9 Days"}};
  UnitRecord& u = Facility(kA, kBase, 2, 1, 1.0f);
  BaseStatusFill fill;
  controltest::PanelForm form(fill, "Military1_ss", {"BASENAME", "OFFLINE", "HIDEPAR", "STATUS", "STATUS2"});
  fill.id = kA;
  for (const StatusCase& c : cases) {
    g_world.cellBytes[kSide + 2] = c.supply;
    u.ordersShown[kPostureBits] = c.posture;
    u.ordersShown[kStateFlags] = c.posture & 2u ? kStateHeldSlot : 0u;
    u.buildWork = c.work;
    fill.OnOpen();
    EXPECT_EQ(form.Text("STATUS"), c.status) << int{c.supply} << " " << c.posture;
    EXPECT_EQ(form.Text("STATUS2"), c.progress) << c.posture;
    EXPECT_EQ(form.Shown("STATUS2"), !c.progress.empty()) << c.posture;
  }
}

TEST_F(FacilityListsTest, ConditionOfAnEmptySelectedHex) {
  BaseConditionPanel panel;
  controltest::PanelForm form(panel, "Military1_ss", {"CONDITION", "QUEUE", "CAPACITY"});
  panel.Refresh();
  EXPECT_EQ(form.Text("CONDITION"), "  0 %");
  EXPECT_EQ(form.Text("QUEUE"), "0");
  EXPECT_EQ(form.Text("CAPACITY"), "7");
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
