// The missile strike panel: the quantity's bounds, and the missiles it
// offers with EXECUTE's strike commands for them, or its refusal of a
// strike out of reach.
#include "screens/military/orders/missile_strike_panel.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/local_region_fixture.h"
#include "screens/common/units/order_choice.h"
#include "screens/common/frame/unit_selection.h"
#include "screens/military/orders/orders_screen.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "world/hex_stack_chains.h"
#include "world/text/rule_tables.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 1;
constexpr int32_t kStrikeOrder = 40;
constexpr uint32_t kTarget = 90;

// Carrier 10 at (3, 3) holds missiles 11 (strength 4.9) and 12; carrier
// 20, itself aboard 10, holds missile 21. Enemy unit 90 stands two hexes
// away on the marked hex (5, 3); the missiles' warhead harms it.
class MissileStrikePanelTest : public militarytest::LocalMapTest<kLocal, 8, 6, 4> {
 protected:
  void SetUp() override {
    LocalMapTest::SetUp();
    g_world.gameState.currentHex = HexPosition{5, 3, 0, 0};
    g_world.players[kLocal].simPolicy.hostileMask = 1u << 3;
    g_world.unitClasses[1].attackValues[0] = 5;
    UnitRecord& carrier = Carry(10, 0, 11, 0);
    std::tie(carrier.x, carrier.y) = std::tuple(3, 3);
    Carry(11, 10, 12, kUnitStock).strength = 4.9f;
    Carry(12, 10, 0, kUnitStock).strength = 2.0f;
    Carry(20, 10, 21, 0);
    Carry(21, 20, 0, kUnitStock);
    UnitRecord& target = ring_.Add(kTarget, 3, 1);
    std::tie(target.x, target.y) = std::tuple(5, 3);
    HexStackInsertById(g_world, Cell(5, 3), target);
    Select({10, 20});
    g_ruleTables.orderTypes.entries[kStrikeOrder].orderMask = 1u << 9;
    panel_.BindControls();
  }
  void TearDown() override {
    ListHolderClear(g_screens.SelectionList());
    ListHolderClear(panel_.missileCollection);
    ListHolderClear(g_screens.ordersUnitList.targetCandidates);
    LocalMapTest::TearDown();
  }
  static void Select(std::initializer_list<uint32_t> ids) {
    ListHolderClear(g_screens.SelectionList());
    for (uint32_t id : ids) AddUnitRef(g_screens.SelectionList(), *FindUnitById(g_world, id));
  }
  UnitRecord& Carry(uint32_t id, uint32_t carrier, uint32_t next, uint32_t flags) {
    UnitRecord& u = ring_.Add(id, kLocal, 1);
    std::tie(u.carrier, u.cargoNext, u.unitFlags) = std::tuple(carrier, next, flags);
    return u;
  }

  GlobalGuard<uint32_t> order_{g_ruleTables.orderTypes.entries[kStrikeOrder].orderMask};
  MissileStrikePanel& panel_ = g_screens.missileStrike;
  GlobalGuard<OrderEditState> edit_{g_screens.ordersScreen.edit, OrderEditState{}};
  GlobalGuard<Control*> form0_{panel_.form}, form1_{panel_.currentForm};
  GlobalGuard<Control**> link_{panel_.hostLink};
  GlobalGuard<uint32_t> request_{panel_.refreshRequest};
  GlobalGuard<ListBoxControl*> units_{panel_.unitList}, missiles_{panel_.missileList};
  GlobalGuard<Control*> target_{panel_.targetParent}, parent_{panel_.missileParent}, field_{panel_.quantityField};
  GlobalGuard<int32_t> quantity_{panel_.missileQuantity};
  GlobalGuard<uint32_t> chosen_{panel_.chosenMissile};
  controltest::PanelForm form_{panel_, "ORDERS1_ss3e",
                               {"UNITLIST", "MISSILELIST", "MISPARENT", "MQTY", "PLUSBUT", "MINUSBUT", "AUTO",
                                "REACH", "STRIKES"},
                               {},
                               {"UNITLIST", "MISSILELIST", "MISPARENT"}};
};

TEST_F(MissileStrikePanelTest, TheQuantityKeepsToTheMissileAndToOneByte) {
  panel_.Refresh();
  // A change in the list hides the picture and AUTO; choosing shows them.
  panel_.OnControlChange(panel_.missileList, 11);
  const struct {
    int32_t chosen, start;
    const char* action;  // a button, else typed text
    int32_t want;
  } rows[] = {{11, 0, "PLUSBUT", 4}, {0, 255, "PLUSBUT", 255}, {0, 1, "5000", 255}, {0, 7, "0", 1}, {0, 1, "MINUSBUT", 1}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.action);
    panel_.chosenMissile = 0;
    if (r.chosen) {
      ListSetSelection(0, panel_.missileList, r.chosen, 0);
      panel_.OnCommand(panel_.missileList, r.chosen);
      EXPECT_TRUE(form_.Shown("MISPARENT") && form_.Shown("AUTO") && !form_["AUTO"]->Selected());
    }
    if (r.start) panel_.missileQuantity = r.start;
    if (form_[r.action]) {
      panel_.OnCommand(form_[r.action], 0);
    } else {
      panel_.quantityField->text = r.action;
      panel_.OnEndEdit(panel_.quantityField, 0);
    }
    EXPECT_EQ(form_.Text("MQTY"), std::to_string(r.want));
  }
}

TEST_F(MissileStrikePanelTest, ExecuteStrikesWithEachChosenMissile) {
  UnitOrdersPanel& orders = g_screens.unitOrders;
  const GlobalGuard<ListBoxControl*> ordersList(orders.ordersList);
  const GlobalGuard<int32_t> locked(g_screens.mapTargetLocked);
  const GlobalGuard<SelectionState> selection(g_selection);
  GlobalGuard<decltype(g_unitOrderIssuer)> issuer(g_unitOrderIssuer);
  static int issued;
  g_unitOrderIssuer = [](World&, UnitRecord&, int32_t, uint32_t, const UnitRecord*) { ++issued; };
  ListBoxControl list(0, 0, 100, 100, 0, 1, &orders);
  orders.ordersList = &list;
  list.selectedValue = kStrikeOrder;
  controltest::PanelForm ordersForm(orders, "ORDERS1_ss3", {"EXECUTE"});
  using Posted = std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t, uint32_t>>;
  const auto strike = [](uint32_t id, uint32_t target, uint32_t flags) {
    constexpr uint32_t kHex = (3u << 16) | 5u;
    return Posted{{kCmdUnitSetDestination, kHex, id, 0, 0}, {kCmdUnitSetFireHex, kHex, id, 0, 0},
                  {kCmdUnitSetFireUnit, 0, id, target, 0}, {kCmdUnitSetOrdersHeaderBits, 0, id, 0x2000, 1},
                  {kCmdUnitSetOrderLevel, 0, id, 3, 0},      {kCmdAddOrderFlags, 0, id, flags, 0}};
  };
  Posted both = strike(11, kTarget, 0x2200);
  for (const auto& c : strike(12, kTarget, 0x2200)) both.push_back(c);
  // Carrier 20 is itself carried: alone it offers nothing, and the order
  // goes to it as a plain one. With a reach of 1 the unit two hexes away
  // is out of reach: nothing goes and the panels stay, saying why.
  const struct {
    std::initializer_list<uint32_t> selected;
    std::vector<std::string> listed;
    uint32_t target;
    std::vector<int32_t> chosen;
    int32_t reach;
    Posted want;
    int issuedTo;
    const char* strikes;
  } rows[] = {{{10, 20}, {"11", "12"}, kTarget, {11, 12}, 10, both, 0, "Strikes "},
              {{10, 20}, {"11", "12"}, 0, {12}, 10, strike(12, 0, 0xA00), 0, "Strikes "},
              {{10, 20}, {"11", "12"}, kTarget, {}, 10, {}, 2, "Strikes "},
              {{20}, {"No Missiles"}, kTarget, {}, 10, {}, 1, ""},
              {{10, 20}, {"11", "12"}, kTarget, {12}, 1, {}, 0, "Out of reach"},
              {{10, 20}, {"11", "12"}, 0, {}, 1, {}, 0, "Out of reach"}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.strikes);
    for (const uint32_t id : {11u, 12u}) FindUnitById(g_world, id)->rangeLeft = r.reach;
    Select(r.selected);  // closing the map's pop-ups drops the selection
    panel_.Refresh();
    std::vector<std::string> listed;
    for (Control* row = panel_.missileList->firstRow; row; row = ListNextRow(panel_.missileList, row))
      listed.push_back(row->id ? std::to_string(row->id) : row->text);
    EXPECT_EQ(listed, r.listed);
    ListDeselectAll(panel_.missileList);
    for (size_t i = 0; i < r.chosen.size(); ++i) ListSetSelection(i > 0 ? 1 : 0, panel_.missileList, r.chosen[i], 0);
    g_screens.ordersScreen.edit.targetUnit = static_cast<int32_t>(r.target);
    panel_.missileQuantity = 3;
    g_screens.mapTargetLocked = 1;
    g_commandLog.Clear();
    issued = 0;
    orders.OnCommand(ordersForm["EXECUTE"], 0);
    Posted got;
    for (const GameCommand& c : g_commandLog.Entries())
      if (r.issuedTo == 0) got.emplace_back(c.id, c.arg24, c.arg28, c.arg32, c.arg36);
    EXPECT_EQ(got, r.want) << r.target;
    EXPECT_EQ(issued, r.issuedTo) << r.target;
    const bool refused = r.want.empty() && r.issuedTo == 0;
    EXPECT_EQ(g_screens.mapTargetLocked, refused ? 1 : 0);
    EXPECT_EQ(form_.Text("STRIKES").rfind(r.strikes, 0), 0u) << form_.Text("STRIKES");
  }
}

}  // namespace
