// The product facility list and the industry pop-up over a small world.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/le_bytes.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/economy/industry/industry_popup.h"
#include "screens/economy/industry/product_facility_list.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/daily/product_fields.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "world/hex_extra.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kSide = 16, kLocal = 1, kOther = 2, kProduct = 3;
constexpr uint32_t kA = 0x01000001, kB = 0x01000002, kC = 0x01000003, kD = 0x01000004;

class IndustryTest : public ::testing::Test {
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
    g_screens.product1.graphTimeScale = 1.0f;
    g_commandLog.Clear();
  }
  void TearDown() override {
    g_commandLog.Clear();
    for (HexCell& c : g_world.cells) FreeHexStack(c);
  }
  UnitRecord& Facility(uint32_t id, int16_t cls, int16_t x, int16_t y, float strength, bool offline = false) {
    UnitRecord& u = ring_.Add(id, kLocal, cls);
    u.x = x, u.y = y, u.strength = strength;
    u.ordersShown[kPostureBits] = offline ? 1u : 0u;
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

  GlobalGuard<int32_t> width_{g_world.mapWidth}, height_{g_world.mapHeight};
  GlobalGuard<std::vector<HexCell>> cells_{g_world.cells};
  GlobalGuard<std::vector<uint8_t>> bytes_{g_world.cellBytes};
  GlobalGuard<std::vector<UnitClassRecord>> classes_{g_world.unitClasses};
  GlobalGuard<std::vector<uint8_t>> economy_{g_world.worldEconomy};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]};
  GlobalGuard<float> period_{g_screens.product1.graphTimeScale};
  testsupport::UnitRing ring_;
  controltest::RecordingScreen owner_;
};

struct SummaryCase {
  float capacity, terrain, city;
  std::vector<int32_t> rows;
};

TEST_F(IndustryTest, SummaryRowsOnlyAboveUnitCapacity) {
  const SummaryCase cases[] = {
      {1.0f, 500.0f, 500.0f, {}}, {1.01f, 500.0f, 0.0f, {kTerrainOutputRow}},
      {1.01f, 0.5f, 3.0f, {kCityOutputRow}}, {2.0f, 3.0f, 3.0f, {kTerrainOutputRow, kCityOutputRow}}};
  ListBoxControl* list = ListBoxConstruct(0, 0, 100, 100, 0, 0, &owner_);
  for (const SummaryCase& c : cases) {
    Figure(kProduct, product::kOutput, c.capacity);
    Figure(kProduct, product::kRawOutput, c.terrain);
    Figure(kProduct, product::kCityOutput, c.city);
    BuildProductFacilityList(g_world, list, kProduct, g_screens.popupIndustryfill, nullptr, nullptr, true);
    EXPECT_EQ(RowIds(list), c.rows) << c.capacity << " " << c.terrain;
  }
  delete list;
}

TEST_F(IndustryTest, FacilitiesStrongestTypeFirstOwnHexesOnly) {
  Facility(kA, 4020, 1, 1, 1.0f);
  Facility(kB, 4021, 2, 1, 0.2f);
  Facility(kC, 4020, 3, 1, 0.5f, true);
  Facility(kD, 4021, 4, 1, 1.0f);
  g_world.cells[1 * kSide + 4].word = WithCellOwner(g_world.cells[1 * kSide + 4].word, kOther);
  ListBoxControl* list = ListBoxConstruct(0, 0, 100, 100, 0, 0, &owner_);
  int32_t working = 0, total = 0;
  BuildProductFacilityList(g_world, list, kProduct, g_screens.popupIndustryfill, &working, &total, true);
  EXPECT_EQ(RowIds(list), (std::vector<int32_t>{static_cast<int32_t>(kB), static_cast<int32_t>(kA),
                                                static_cast<int32_t>(kC)}));
  EXPECT_EQ(working, 2);
  EXPECT_EQ(total, 3);
  delete list;
}

class IndustryPopupTest : public IndustryTest {
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
  Facility(kA, 4020, 1, 1, 1.0f, true);
  g_screens.product1.graphTimeScale = 365.0f;
  Open(kProduct);
  EXPECT_EQ(form_.Text("SUPPLY"), "2");
  EXPECT_EQ(form_.Text("STOCK"), "50");
  EXPECT_EQ(form_.Text("FACIL"), "0 / 1");
  Open(kProduct + 1);
  EXPECT_EQ(form_.Text("FACIL"), "0 / 0");
}

struct ConfirmCase {
  int32_t action;
  bool posts;
};

TEST_F(IndustryPopupTest, ConfirmedActionPostsOnTheFacilitysHex) {
  Facility(kA, 4020, 7, 12, 1.0f);
  for (const ConfirmCase c : {ConfirmCase{kIndustryUpgrade, true}, ConfirmCase{28, false}}) {
    Open(kProduct);
    ListSetSelection(0, popup_.facilList, static_cast<int32_t>(kA), 0);
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
    Control* control = std::strcmp(c.tag, "USELIST") == 0   ? static_cast<Control*>(popup_.useList)
                       : std::strcmp(c.tag, "RAWLIST") == 0 ? static_cast<Control*>(popup_.rawList)
                                                             : form_[c.tag];
    if (c.activate) popup_.OnActivate(control, c.item);
    else popup_.OnCommand(control, c.item);
    EXPECT_EQ(popup_.Product(), c.to) << c.tag << " " << c.item;
    EXPECT_EQ(popup_.id, c.to) << c.tag << " " << c.item;
  }
}

}  // namespace
