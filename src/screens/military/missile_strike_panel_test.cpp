// The missile strike panel: the missiles it offers, the quantity's bounds
// and EXECUTE's strike commands.
#include "screens/military/missile_strike_panel.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/main/map_input/order_choice.h"
#include "screens/main/map_input/selection.h"
#include "screens/military/orders_screen.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "world/text/rule_tables.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 1;
constexpr int32_t kStrikeOrder = 40;
constexpr uint32_t kTarget = 90;

// Carrier 10 holds missiles 11 (strength 4.9) and 12; carrier 20, itself
// aboard 10, holds missile 21.
class MissileStrikePanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_world.gameState.localPlayer = kLocal;
    g_world.gameState.currentHex = HexPosition{5, 3, 0, 0};
    g_world.unitClasses.assign(4, UnitClassRecord{});
    Carry(10, 0, 11, 0);
    Carry(11, 10, 12, kUnitStock).strength = 4.9f;
    Carry(12, 10, 0, kUnitStock).strength = 2.0f;
    Carry(20, 10, 21, 0);
    Carry(21, 20, 0, kUnitStock);
    ring_.Add(kTarget, 3, 1);
    Select({10, 20});
    g_ruleTables.orderTypes.entries[kStrikeOrder].orderMask = 1u << 9;
    panel_.BindControls();
    g_commandLog.Clear();
  }
  void TearDown() override {
    ListHolderClear(g_screens.SelectionList());
    ListHolderClear(panel_.missileCollection);
    ListHolderClear(g_screens.orders1Ss3d.targetCandidates);
    g_commandLog.Clear();
  }
  UnitRecord& Carry(uint32_t id, uint32_t carrier, uint32_t next, uint32_t flags) {
    UnitRecord& u = ring_.Add(id, kLocal, 1);
    std::tie(u.carrier, u.cargoNext, u.unitFlags) = std::tuple(carrier, next, flags);
    return u;
  }
  static void Select(std::initializer_list<uint32_t> ids) {
    ListHolderClear(g_screens.SelectionList());
    for (uint32_t id : ids) AddUnitRef(g_screens.SelectionList(), *FindUnitById(g_world, id));
  }
  std::vector<int32_t> MissileRows() const {
    std::vector<int32_t> rows;
    for (Control* r = panel_.missileList->firstRow; r; r = ListNextRow(panel_.missileList, r)) rows.push_back(r->id);
    return rows;
  }
  void Press(const char* tag) { panel_.OnCommand(form_[tag], 0); }
  void Type(const char* text) {
    panel_.quantityField->text = text;
    panel_.OnEndEdit(panel_.quantityField, 0);
  }
  void Choose(int32_t id) {
    ListSetSelection(0, panel_.missileList, id, 0);
    panel_.OnCommand(panel_.missileList, id);
  }

  testsupport::UnitRing ring_;
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<std::vector<UnitClassRecord>> classes_{g_world.unitClasses};
  GlobalGuard<uint32_t> order_{g_ruleTables.orderTypes.entries[kStrikeOrder].orderMask};
  MissileStrikePanel& panel_ = g_screens.orders1Ss3e;
  GlobalGuard<OrderEditState> edit_{g_screens.orders1.edit, OrderEditState{}};
  GlobalGuard<Control*> form0_{panel_.form}, form1_{panel_.currentForm};
  GlobalGuard<Control**> link_{panel_.hostLink};
  GlobalGuard<uint32_t> request_{panel_.refreshRequest};
  GlobalGuard<ListBoxControl*> units_{panel_.unitList}, missiles_{panel_.missileList};
  GlobalGuard<Control*> target_{panel_.targetParent}, parent_{panel_.missileParent}, field_{panel_.quantityField};
  GlobalGuard<int32_t> quantity_{panel_.missileQuantity};
  GlobalGuard<uint32_t> chosen_{panel_.chosenMissile};
  controltest::PanelForm form_{panel_,
                               "ORDERS1_ss3e",
                               {"UNITLIST", "MISSILELIST", "MISPARENT", "MQTY", "PLUSBUT", "MINUSBUT", "AUTO"},
                               {},
                               {"UNITLIST", "MISSILELIST", "MISPARENT"}};
};

TEST_F(MissileStrikePanelTest, OnlyUncarriedCarriersOfferTheirMissiles) {
  const struct {
    std::initializer_list<uint32_t> selected;
    std::vector<int32_t> rows;
    std::string first;
  } rows[] = {{{10, 20}, {11, 12}, ""}, {{20}, {0}, "No Missiles"}};
  for (const auto& r : rows) {
    Select(r.selected);
    panel_.Refresh();
    EXPECT_EQ(MissileRows(), r.rows);
    if (!r.first.empty()) {
      EXPECT_EQ(panel_.missileList->firstRow->text, r.first);
    }
  }
}

TEST_F(MissileStrikePanelTest, TheQuantityKeepsToTheMissileAndToOneByte) {
  panel_.Refresh();
  const struct {
    const char* name;
    int32_t chosen, start;
    const char* action;  // a button, else typed text
    int32_t want;
  } rows[] = {
      {"a chosen missile stops PLUSBUT", 11, 0, "PLUSBUT", 4},
      {"none chosen: one byte", 0, 255, "PLUSBUT", 255},
      {"typed beyond a byte", 0, 1, "5000", 255},
      {"typed 0", 0, 7, "0", 1},
      {"MINUSBUT at 1", 0, 1, "MINUSBUT", 1},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    panel_.chosenMissile = 0;
    if (r.chosen) Choose(r.chosen);
    if (r.start) panel_.missileQuantity = r.start;
    if (form_[r.action]) {
      Press(r.action);
    } else {
      Type(r.action);
    }
    EXPECT_EQ(panel_.missileQuantity, r.want);
    EXPECT_EQ(form_.Text("MQTY"), std::to_string(r.want));
  }
}

TEST_F(MissileStrikePanelTest, ChoosingARowAfterAListChangeShowsThePictureAndAutoAgain) {
  panel_.Refresh();
  panel_.OnControlChange(panel_.missileList, 12);
  ASSERT_FALSE(form_.Shown("MISPARENT") || form_.Shown("AUTO"));
  Choose(12);
  EXPECT_TRUE(form_.Shown("MISPARENT") && form_.Shown("AUTO"));
  EXPECT_FALSE(form_["AUTO"]->Selected());
  EXPECT_EQ(panel_.missileQuantity, 2);
}

TEST_F(MissileStrikePanelTest, ExecuteStrikesWithEachChosenMissile) {
  UnitOrdersPanel& orders = g_screens.orders1Ss3;
  const GlobalGuard<ListBoxControl*> ordersList(orders.ordersList);
  const GlobalGuard<int32_t> locked(g_screens.mapTargetLocked, 1);
  const GlobalGuard<SelectionState> selection(g_selection);
  GlobalGuard<decltype(g_unitOrderIssuer)> issuer(g_unitOrderIssuer);
  static std::vector<std::pair<uint32_t, int32_t>> issued;
  g_unitOrderIssuer = [](World&, UnitRecord& u, int32_t order, uint32_t, const UnitRecord*) {
    issued.emplace_back(u.id, order);
  };
  ListBoxControl list(0, 0, 100, 100, 0, 1, &orders);
  orders.ordersList = &list;
  list.selectedValue = kStrikeOrder;
  controltest::PanelForm ordersForm(orders, "ORDERS1_ss3", {"EXECUTE"});
  constexpr uint32_t kHex = (3u << 16) | 5u;
  const auto strike = [&](uint32_t id, uint32_t target, uint32_t flags) {
    return std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t, uint32_t>>{
        {kCmdUnitSetDestination, kHex, id, 0, 0},       {kCmdUnitSetOrderDword5, kHex, id, 0, 0},
        {kCmdUnitSetOrderDword7, 0, id, target, 0},     {kCmdUnitSetOrderDword13Bits, 0, id, 0x2000, 1},
        {kCmdUnitSetOrderByte43, 0, id, 3, 0},          {kCmdAddOrderFlags, 0, id, flags, 0}};
  };
  auto both = strike(11, kTarget, 0x2200);
  for (const auto& c : strike(12, kTarget, 0x2200)) both.push_back(c);
  const struct {
    const char* name;
    uint32_t target;
    std::vector<int32_t> chosen;
    std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t, uint32_t>> want;
    size_t issuedTo;
  } rows[] = {
      {"two rows at a target", kTarget, {11, 12}, both, 0},
      {"no target", 0, {12}, strike(12, 0, 0xA00), 0},
      {"no row: the plain order", kTarget, {}, {}, 2},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    Select({10, 20});  // closing the map's pop-ups drops the selection
    panel_.Refresh();
    ListDeselectAll(panel_.missileList);
    for (size_t i = 0; i < r.chosen.size(); ++i) ListSetSelection(i > 0 ? 1 : 0, panel_.missileList, r.chosen[i], 0);
    g_screens.orders1.edit.targetUnit = static_cast<int32_t>(r.target);
    panel_.missileQuantity = 3;
    g_screens.mapTargetLocked = 1;
    g_commandLog.Clear();
    issued.clear();
    orders.OnCommand(ordersForm["EXECUTE"], 0);
    std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t, uint32_t>> got;
    for (const GameCommand& c : g_commandLog.Entries()) got.emplace_back(c.id, c.arg24, c.arg28, c.arg32, c.arg36);
    if (!r.want.empty()) {
      EXPECT_EQ(got, r.want);
    }
    EXPECT_EQ(issued.size(), r.issuedTo);
    EXPECT_EQ(g_screens.mapTargetLocked, 0);
  }
}

}  // namespace
