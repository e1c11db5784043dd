// The standing-orders settings: gathering the selection, each control's
// change, the three posts, the settings panel's EXECUTE and the schedule
// box, over a small world of the local player's and a foreign unit.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/units/order_choice.h"
#include "screens/common/local_region_fixture.h"
#include "screens/common/frame/unit_selection.h"
#include "screens/common/units/order_settings.h"
#include "screens/military/orders/schedule_popup.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/unit_order_args.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "ui/control.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "world/game_time.h"
#include "world/id_lookups.h"
#include "world/text/rule_tables.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 1;

class OrderSettingsTest : public militarytest::LocalRegionTest<kLocal, 4> {
 protected:
  void TearDown() override {
    ListHolderClear(g_screens.SelectionList());
    g_unitOrderIssuer = nullptr;
    LocalRegionTest::TearDown();
  }
  // A unit of the owner with its display header and orders word, linked at
  // the end of the unit ring.
  UnitRecord& Unit(uint32_t id, int owner, uint32_t header, uint32_t word, int16_t cls = 1) {
    UnitRecord& u = ring_.Add(id, owner, cls);
    u.ordersShown[kOrdersHeader] = header;
    u.ordersShown[kOrdersWord] = word;
    return u;
  }
  static void Select(std::initializer_list<const UnitRecord*> units) {
    for (const UnitRecord* u : units) AddUnitRef(g_screens.SelectionList(), *u);
  }
  static void Gather() {
    std::vector<UnitRecord*> units = SelectedUnits(g_world, g_screens);
    GatherSelectionOrders(Edit(), units);
  }
  static OrderEditState& Edit() { return g_screens.ordersScreen.edit; }
  // A check control standing for the form's control of the id.
  static void Choose(int32_t id, bool checked) {
    Control c(controltest::Init(nullptr, nullptr, 0, 0, 10, 10));
    c.id = id;
    c.state = checked ? kStateSelected : 0;
    ApplyOrderControl(Edit(), &c, id, nullptr);
  }
  static std::vector<GameCommand> Posted(uint32_t id) {
    std::vector<GameCommand> out;
    for (const GameCommand& c : g_commandLog.Entries())
      if (c.id == id) out.push_back(c);
    return out;
  }

  GlobalGuard<OrderEditState> edit_{g_screens.ordersScreen.edit, OrderEditState{}};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<int32_t> pending_{g_pendingOrder};
  GlobalGuard<int32_t> orderModes_{g_ruleTables.orderTypes.entries[40].listModes};
  // A control change asks for a full refresh.
  GlobalGuard<int32_t> refreshAll_{g_ui.modal};
};

// Field 7 differs (1 and 2), the headers share 0x100: the tactic is mixed.
// Tactic 2 (control 112) then goes to the unit that had 1 only; the
// header was not touched, so no 349. Option 124 on A (0x10) and B (0) sets
// bit 5 on both and leaves A's bit 4.
TEST_F(OrderSettingsTest, GatherAndApply) {
  UnitRecord& a = Unit(7, kLocal, 0x100, 1u << 14);
  UnitRecord& b = Unit(8, kLocal, 0x120, 2u << 14);
  Select({&a, &b});
  Gather();
  EXPECT_EQ(Edit().commonOrders[kFieldTactic], kOrderMixed);
  EXPECT_EQ(Edit().commonOrders[kFieldSpeed], 0);
  EXPECT_EQ(Edit().commonHeaderBits, 0x100u);
  EXPECT_STREQ(OrderFieldName(kListOrdtactic, Edit().commonOrders[kFieldTactic]), "Mixed");
  g_unitOrderIssuer = [](World&, UnitRecord&, int32_t, uint32_t, const UnitRecord*) {};
  Choose(112, true);
  IssueOrderToSelection(g_screens, 40, 0, nullptr, false, 0);
  const std::vector<GameCommand> fields = Posted(kCmdUnitSetOrderSetting);
  ASSERT_EQ(fields.size(), 1u);
  EXPECT_EQ(ArgsOf<OrderSettingArgs>(fields[0]), (OrderSettingArgs{.unit = 7, .field = 7, .value = 2}));
  EXPECT_TRUE(Posted(kCmdUnitSetOrdersHeader).empty());

  g_commandLog.Clear();
  ListHolderClear(g_screens.SelectionList());
  UnitRecord& c = Unit(9, kLocal, 0x10, 0);
  UnitRecord& d = Unit(10, kLocal, 0, 0);
  Select({&c, &d});
  Gather();
  Choose(124, true);
  IssueOrderToSelection(g_screens, 0, 0, nullptr, true, 0);
  std::vector<OrderValueArgs> headers;
  for (const GameCommand& cmd : Posted(kCmdUnitSetOrdersHeader)) headers.push_back(ArgsOf<OrderValueArgs>(cmd));
  EXPECT_EQ(headers, (std::vector<OrderValueArgs>{{9, 0x80000030u}, {10, 0x80000020u}}));
  const std::vector<GameCommand> routes = Posted(kCmdAssignRouteSteps);
  ASSERT_EQ(routes.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(routes[i].arg28, i == 0 ? 9u : 10u);
    EXPECT_EQ(routes[i].arg32, 0u);
  }
}

// Each header control as a row: checked or not, from a header, what the
// header and the changed mask become.
TEST_F(OrderSettingsTest, HeaderControls) {
  const struct {
    int32_t id;
    bool checked;
    uint32_t header, after, marked;
  } rows[] = {
      {41, true, 0, 0x1, 0x1},         {41, false, 0x3, 0x2, 0x1},       {120, true, 0x8, 0, 0x8},
      {121, false, 0, 0, 0x8},         {122, true, 0x20, 0x10, 0x30},    {124, true, 0x10, 0x20, 0x20},
      {142, true, 0x20, 0x100, 0x120}, {144, true, 0x100, 0x20, 0x20},   {143, true, 0x120, 0, 0x120},
      {146, true, 0, 0x800, 0x800},    {147, true, 0, 0x400, 0x400},     {140, true, 0, 0x80, 0x80},
  };
  for (const auto& r : rows) {
    Edit() = OrderEditState{};
    Edit().commonHeaderBits = r.header;
    Choose(r.id, r.checked);
    EXPECT_EQ(Edit().commonHeaderBits, r.after) << r.id;
    EXPECT_EQ(Edit().changedHeaderMask, r.marked) << r.id;
    EXPECT_EQ(Edit().settingsChanged, 1) << r.id;
  }
  Choose(33, true);
  EXPECT_EQ(Edit().commonOrders[kFieldSpeed], 2);
  Choose(33, false);
  EXPECT_EQ(Edit().commonOrders[kFieldSpeed], kOrderMixed);
  Choose(151, true);
  EXPECT_EQ(Edit().commonFlag12, 1);
}

// DEFAULT with header 0: 349 and 354 only where the unit's words differ,
// none to custom, gone, class-0 or foreign units; then 260 with bit 31.
// Fields 0 = 1, 1 = 2, 3 = -1, the rest 0 pack as 0xC9.
TEST_F(OrderSettingsTest, Defaults) {
  Edit().commonHeaderBits = 0;
  for (int32_t& f : Edit().commonOrders) f = 0;
  Edit().commonOrders[0] = 1, Edit().commonOrders[1] = 2, Edit().commonOrders[3] = kOrderMixed;
  Edit().settingsChanged = 1;
  EXPECT_EQ(PackOrderSettings(Edit()), 0xC9u);
  Unit(1, kLocal, 0x80000000u, 0xC9);  // both words already so
  Unit(2, kLocal, 0x4, 0xC9);          // header differs
  Unit(3, kLocal, 0x80000000u, 0);     // word differs
  Unit(4, kLocal, 0, 0).unitFlags2 |= kUnit2CustomOrders;
  Unit(5, kLocal, 0, 0).unitFlags |= kUnitGone;
  Unit(6, kLocal, 0, 0, 0);
  Unit(7, 2, 0, 0);
  PostUnitOrderSettings(Edit(), g_world);
  PostDefaultOrderSettings(Edit());
  std::vector<std::pair<uint32_t, uint32_t>> posted;
  for (const GameCommand& c : g_commandLog.Entries()) posted.emplace_back(c.id, c.arg28);
  const std::vector<std::pair<uint32_t, uint32_t>> want = {
      {kCmdUnitSetOrdersHeader, 2}, {kCmdUnitSetOrdersWord, 3}, {kCmdDefSetAdvOrders, 0x80000000u}};
  EXPECT_EQ(posted, want);
  EXPECT_EQ(Posted(kCmdDefSetAdvOrders).at(0).arg32, 0xC9u);
  EXPECT_EQ(Edit().settingsChanged, 0);
  // Loading the defaults back: fields and header as the player keeps them.
  g_world.players[kLocal].displayPolicy.defsetadvorders[0] = 0x30;
  g_world.players[kLocal].displayPolicy.defsetadvorders[1] = 0xC9;
  UnpackOrderSettings(Edit(), g_world);
  EXPECT_EQ(Edit().commonOrders[3], 3);
  EXPECT_EQ(Edit().commonHeaderBits, 0x30u);
  EXPECT_EQ(Edit().commonFlag12, kOrderNone);
}

// EXECUTE: hidden with no marked hex for an order lacking availability bit
// 2, shown with one; no order resets the pending order to the option.
TEST_F(OrderSettingsTest, ExecuteFollowsTheChosenOrder) {
  GlobalGuard<SelectionState> selection{g_selection, SelectionState{}};
  UnitOrdersPanel& panel = g_screens.unitOrders;
  Control* root = new Control(controltest::Init("ORDERS1_ss3", &panel, 0, 0, 220, 194));
  Control* execute = ControlAddChild(root, new Control(controltest::Init("EXECUTE", &panel, 0, 0, 20, 12)));
  Control* list = ControlAddChild(root, new Control(controltest::Init("ORDERSLIST", &panel, 0, 0, 20, 12)));
  panel.currentForm = panel.form = root;
  g_uiOptions.unitorderdefault = 5;
  const struct {
    int32_t marked, listModes, order;
    bool hidden;
    int32_t pending;
  } rows[] = {{0, 0, 40, true, 40}, {1, 0, 40, false, 40}, {0, 4, 40, false, 40}, {1, 4, 0, true, 5}};
  for (const auto& r : rows) {
    g_selection.orderMenu = r.marked;
    g_ruleTables.orderTypes.entries[40].listModes = r.listModes;
    panel.OnControlChange(list, r.order);
    EXPECT_EQ(execute->Hidden(), r.hidden) << r.marked << " " << r.listModes << " " << r.order;
    EXPECT_EQ(g_pendingOrder, r.pending);
  }
  panel.currentForm = panel.form = nullptr;
  delete root;
}

// A mixed selection opens the mission and rules panels with the sliders at
// their fallbacks (1, 2, 0) and the fields still mixed.
TEST_F(OrderSettingsTest, MixedSelectionStartsTheSlidersAtTheirFallbacks) {
  GlobalGuard<int32_t> depth{g_ui.panelDepth};
  GlobalGuard<intptr_t> missionId{g_screens.missionPanel.id}, rulesId{g_screens.contactOptions->id};
  Select({&Unit(1, kLocal, 0, 0x15540u), &Unit(2, kLocal, 0, 0x2A880u)});
  Gather();
  struct Panel {
    Screen& screen;
    int32_t id;
    int32_t value;
    int field;
  };
  for (const Panel& p : {Panel{g_screens.missionPanel, 116, 1, kFieldImportance}, Panel{g_screens.missionPanel, 117, 2, kFieldLossTolerance},
                         Panel{*g_screens.contactOptions, 118, 0, kFieldInitiative}}) {
    Control* root = new Control(controltest::Init("ROOT", &p.screen, 0, 0, 220, 194));
    auto* bar = new SlideBarControl();
    bar->id = p.id;
    ControlAddChild(root, bar);
    p.screen.currentForm = p.screen.form = root;
    p.screen.id = 0;
    p.screen.OnOpen();
    EXPECT_EQ(SliderGetValueInt(bar), p.value) << p.id;
    EXPECT_EQ(Edit().commonOrders[p.field], kOrderMixed) << p.id;
    p.screen.currentForm = p.screen.form = nullptr;
    delete root;
  }
}

TEST(SchedulePopup, HourTexts) {
  const struct {
    int32_t hour;
    bool clock24;
    const char* text;
  } rows[] = {{0, false, "12 AM"}, {12, false, "12 PM"}, {13, false, " 1 PM"}, {13, true, "13h"}, {0, true, "00h"}};
  for (const auto& r : rows) EXPECT_EQ(ScheduleHourText(r.hour, r.clock24), r.text) << r.hour;
}

// A day back from now + 600 goes below now (the panel raises it to now);
// near minute 0 it stops at 0 instead of wrapping far ahead.
TEST(SchedulePopup, ADayBackStopsAtNow) {
  const struct {
    uint32_t now, moved;
  } rows[] = {{100000, 100000}, {100, 100}};
  GlobalGuard<GameState> state{g_world.gameState};
  ScheduleTimePanel panel("CALENDAR1b");
  for (const auto& r : rows) {
    g_world.gameState.currentTick = r.now;
    panel.time = r.now + 600;
    panel.OnCommand(nullptr, 1002);
    EXPECT_EQ(panel.time, r.moved) << r.now;
    EXPECT_LE(MoveScheduledTime(r.now + 600, 1002), r.now + 600);
  }
  EXPECT_EQ(MoveScheduledTime(100, 1000), 40u);
  EXPECT_EQ(MoveScheduledTime(30, 1000), 0u);
  EXPECT_EQ(MoveScheduledTime(600, 1002), 0u);
}

// A month back keeps the day of the month and the time of day.
TEST(SchedulePopup, AMonthBackCarriesIntoTheYear) {
  GlobalGuard<MapHeader> header{g_world.mapHeader};
  GameDate start{.dayNumber = 0, .year = 2010, .month = 12, .day = 1};
  DateToDayNumber(start);
  g_world.mapHeader.startDay = static_cast<uint32_t>(start.dayNumber);
  GameDate from{.dayNumber = 0, .year = 2011, .month = 1, .day = 15};
  DateToDayNumber(from);
  const uint32_t time = static_cast<uint32_t>(from.dayNumber - start.dayNumber) * 1440 + 600;
  const GameDateTime back = GameMinutesToDate(g_world, MoveScheduledTime(time, 1004));
  EXPECT_EQ(back.date.year, 2010);
  EXPECT_EQ(back.date.month, 12);
  EXPECT_EQ(back.date.day, 15);
  EXPECT_EQ(back.hour, 10);
  EXPECT_EQ(back.minute, 0);
}

}  // namespace
