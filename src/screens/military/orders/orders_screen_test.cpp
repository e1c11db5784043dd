// The orders screen: what opening and ADD put in the orders list and the
// selection, the cancel button's commands, the totals and the summary row.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/audio/sound_system.h"
#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/unit_selection.h"
#include "screens/common/units/unit_lists.h"
#include "screens/common/local_region_fixture.h"
#include "screens/common/military_test_support.h"
#include "screens/military/orders/orders_screen.h"
#include "screens/military/orders/orders_lock_panels.h"
#include "screens/common/units/orders_summary.h"
#include "screens/military/orders/orders_training.h"
#include "screens/common/units/order_choice.h"
#include "sim/unit_order_args.h"
#include "world/text/rule_tables.h"
#include "screens/common/units/unit_command_grid.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "world/id_lookups.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 1;

class OrdersScreenTest : public militarytest::LocalRegionTest<kLocal, 4> {
 protected:
  void SetUp() override {
    LocalRegionTest::SetUp();
    g_world.mapHeader.width = 8;
    g_world.mapHeader.height = 4;
    g_world.cells.assign(32, HexCell{});
    g_uiOptions.bshowallulistob = 0;
    Orders().unitListBox = ListBoxConstruct(0, 0, 100, 100, 0, 1, &Orders());
  }
  void TearDown() override {
    delete Orders().unitListBox;
    ListHolderClear(Orders().unitList);
    ListHolderClear(g_screens.SelectionList());
    LocalRegionTest::TearDown();
  }
  static OrdersScreen& Orders() { return g_screens.ordersScreen; }
  UnitRecord& Unit(uint32_t id, int owner = kLocal, int16_t cls = 1) { return ring_.Add(id, owner, cls); }
  static void Select(std::initializer_list<uint32_t> ids) {
    ListHolderClear(g_screens.SelectionList());
    for (uint32_t id : ids) AddUnitRef(g_screens.SelectionList(), *FindUnitById(g_world, id));
  }
  static std::vector<uint32_t> Ids(const ListHolder& list) {
    std::vector<uint32_t> ids;
    for (ListItem28* i = FirstInHolder(list); i; i = NextInHolder(list, i))
      if (const UnitRecord* u = RefUnit(g_world, *i)) ids.push_back(u->id);
    return ids;
  }

  HexUnitStack stack_;
  GlobalGuard<std::vector<HexCell>> cells_{g_world.cells};
  GlobalGuard<MapHeader> header_{g_world.mapHeader};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<int32_t> redraw_{g_mapView.redrawPending};
  GlobalGuard<OrderEditState> edit_{g_screens.ordersScreen.edit, OrderEditState{}};
  GlobalGuard<int32_t> added_{g_screens.ordersScreen.addedFlag};
  GlobalGuard<ListBoxControl*> listBox_{g_screens.ordersScreen.unitListBox};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth};
  GlobalGuard<int32_t> marker_{g_screens.cmdBar.dockedPanelMarker};
  GlobalGuard<intptr_t> shownA_{g_screens.selectionTotals->id};
  GlobalGuard<intptr_t> shownB_{g_screens.selectedUnitBox.id};
  GlobalGuard<intptr_t> shownSummary_{g_screens.orderSheets[0].id};
};

// Unit 10 stands at (3, 2) with aircraft based on it: 11 is based there and
// has 10 as its home, 12 is based on another unit, 13 is not based. 20 is
// in reserve. Opening with 10 alone lists 11 beside it but selects 10
// only; with 20 as well the list holds both (no aircraft: two units) and
// the selection loses 20; without based units no aircraft join.
TEST_F(OrdersScreenTest, OpeningListsTheSelectionAndItsAircraft) {
  UnitRecord& carrierUnit = Unit(10);
  carrierUnit.x = 3, carrierUnit.y = 2;
  UnitRecord* air[3] = {&Unit(11), &Unit(12), &Unit(13)};
  const uint32_t homes[3] = {10, 99, 10};
  for (int i = 0; i < 3; ++i) {
    air[i]->kind = 1;
    air[i]->unitFlags = i == 2 ? 0u : kUnitInBase;
    air[i]->orders[kLeaderUnit] = homes[i];
    if (i > 0) air[i - 1]->nextInChainA = air[i];
  }
  stack_.chainA[1] = air[0];
  g_world.cells[2 * 8 + 3].stack = &stack_;
  Unit(20).ordersShown[kPostureBits] = 1;
  const struct {
    std::vector<uint32_t> selected;
    uint8_t based;
    std::vector<uint32_t> listed, selection;
  } rows[] = {
      {{10}, 1, {10, 11}, {10}},
      {{10, 20}, 1, {10, 20}, {10}},
      {{10}, 0, {10}, {10}},
  };
  for (const auto& r : rows) {
    carrierUnit.carriedCount = r.based;
    ListHolderClear(g_screens.SelectionList());
    for (uint32_t id : r.selected) AddUnitRef(g_screens.SelectionList(), *FindUnitById(g_world, id));
    Orders().OnOpen();
    EXPECT_EQ(Ids(Orders().unitList), r.listed) << r.selected.size() << " " << int{r.based};
    EXPECT_EQ(Ids(g_screens.SelectionList()), r.selection) << r.selected.size() << " " << int{r.based};
    EXPECT_EQ(Orders().addedFlag, 0);
  }
  g_world.cells[2 * 8 + 3].stack = nullptr;
}

// Class 2: 30 is selected, 31 has no order, 32 has one, 33 is carried, 34
// is another player's, 35 is of class 3. The first ADD by class takes 31;
// the second takes 32 as well; neither takes 33, 34 or 35.
TEST_F(OrdersScreenTest, AddByClassSkipsOrderedUnitsOnlyTheFirstTime) {
  for (uint32_t id = 30; id <= 35; ++id) Unit(id, id == 34 ? 2 : kLocal, id == 35 ? 3 : 2);
  FindUnitById(g_world, 32)->ordersShown[kOrderId] = 5;
  FindUnitById(g_world, 33)->carrier = 30;
  Select({30});
  Orders().OnOpen();
  Control add(controltest::Init("ADD", &Orders(), 0, 0, 10, 10));
  const struct {
    std::vector<uint32_t> listed;
    int32_t added;
  } rows[] = {{{30, 31}, 1}, {{30, 31, 32}, 1}};
  for (const auto& r : rows) {
    Orders().OnCommand(&add, 51);
    EXPECT_EQ(Ids(Orders().unitList), r.listed);
    EXPECT_EQ(Ids(g_screens.SelectionList()), r.listed);
    EXPECT_EQ(Orders().addedFlag, r.added);
  }
}

// A land unit and an aircraft that has moved: a 336 for each, and a 337
// (2, 0) right after the aircraft's, nothing else.
TEST_F(OrdersScreenTest, CancelPostsForEveryUnitAndRecallsAircraft) {
  Unit(40);
  UnitRecord& plane = Unit(41);
  plane.kind = 1;
  plane.unitFlags = kUnitMoved;
  UnitRecord& carried = Unit(42);
  carried.kind = 1;
  carried.unitFlags = kUnitMoved;
  carried.carrier = 40;
  Select({40, 41, 42});
  Control cancel(controltest::Init(nullptr, &Orders(), 0, 0, 10, 10));
  Orders().OnCommand(&cancel, 16);
  struct Posted {
    uint32_t id, arg28, arg32, arg36;
    bool operator==(const Posted&) const = default;
  };
  std::vector<Posted> posted;
  for (const GameCommand& c : g_commandLog.Entries()) posted.push_back({c.id, c.arg28, c.arg32, c.arg36});
  const std::vector<Posted> expected = {
      {kCmdUnitCancelOrders, 40, 0, 0},
      {kCmdUnitCancelOrders, 41, 0, 0},
      {kCmdAddOrderFlags, 41, 2, 0},
      {kCmdUnitCancelOrders, 42, 0, 0},
  };
  EXPECT_EQ(posted, expected);
}

// Totals: A has fuel 50 of 100 and no ammunition room (ratio 1), B no fuel
// room (1) and ammunition 30 of 60: (0.5 + 1 + 1 + 0.5) / 4 = 75 %.
// Summary rows: a one-element class at 0.75 shows a percentage, a class
// without fuel puts the fuel bar at its end and "0/0", and a unit of
// strength 0 shows no rounds rather than a quotient by zero.
TEST_F(OrdersScreenTest, TotalsAndSummary) {
  UnitClassRecord& fuelled = g_world.unitClasses[1];
  fuelled.fuelCapacity = 10.0f, fuelled.valuePerPoint = 4, fuelled.strengthPerSize = 10;
  UnitClassRecord& armed = g_world.unitClasses[2];
  armed.ammoCapacity = 6.0f, armed.ammoPerShot = 2.0f, armed.strengthPerSize = 10;
  UnitRecord& a = Unit(50, kLocal, 1);
  a.strength = 10.0f, a.fuel = 50.0f;
  UnitRecord& b = Unit(51, kLocal, 2);
  b.strength = 10.0f, b.ammo = 30.0f;
  const std::vector<const UnitRecord*> both = {&a, &b};
  const SelectionTotals t = TotalsOf(g_world, both);
  EXPECT_EQ(t.count, 2);
  EXPECT_FLOAT_EQ(t.personnel, 40.0f);
  EXPECT_FLOAT_EQ(t.supply, 0.75f);
  militarytest::TestSheet sheet;
  sheet.Texts({"CSUP", "TOT", "NAME", "ORDERS"});
  for (int32_t id : {401, 402, 403, 404, 405, 408}) sheet.Add(nullptr, id);
  auto* fuelBar = sheet.Add<SlideBarControl>("FUELSLDR");
  Select({50, 51});
  std::unique_ptr<Screen> totals = MakeOrdersScreenA();
  totals->currentForm = sheet.root;
  totals->Refresh();
  EXPECT_EQ(sheet.Text("CSUP"), " 75 %");
  EXPECT_EQ(sheet.Text("TOT"), "2");
  totals->currentForm = nullptr;

  g_world.unitClasses[3].strengthPerSize = 1;
  g_world.unitClasses[3].ammoPerShot = 2.0f;
  g_world.unitClasses[3].ammoCapacity = 6.0f;
  UnitRecord& single = Unit(52, kLocal, 3);
  const struct {
    UnitRecord* unit;
    float strength;
    int32_t id;
    const char* text;
  } rows[] = {
      {&single, 0.75f, 401, "75 %"}, {&b, 10.0f, 401, "10/0"}, {&b, 10.0f, 402, "0/0"},
      {&b, 10.0f, 403, "2/3"},       {&b, 0.0f, 403, "0/0"},   {&a, 10.0f, 402, "50/100"},
  };
  OrdersUnitSummary summary;
  summary.currentForm = sheet.root;
  for (const auto& r : rows) {
    r.unit->strength = r.strength;
    DrawUnitSummary(summary, r.unit);
    EXPECT_EQ(sheet.Text(r.id), r.text) << r.unit->id << " " << r.strength << " " << r.id;
  }
  DrawUnitSummary(summary, &b);
  EXPECT_EQ(fuelBar->position, 10000);
  summary.currentForm = nullptr;
}

// The grid for one unit, by its flags, strength, crew need and carrier:
// the control checked and whether it is hidden. The reserve is 20.
TEST_F(OrdersScreenTest, CommandGridVisibility) {
  g_world.players[kLocal].soldiers = 20.0f;
  UnitClassRecord& k = g_world.unitClasses[1];
  k.strengthPerSize = 10, k.valuePerPoint = 4;
  Unit(60);
  militarytest::TestSheet sheet;
  for (int32_t id : {102, 103, 108, 110, 111, 113}) sheet.Add(nullptr, id);
  sheet.Texts({"GRIDDEPLOY", "GRIDSPLIT1"});
  const struct {
    uint32_t flags;
    float strength;
    uint32_t posture, carrier;
    int32_t id;
    const char* tag;
    bool hidden;
  } rows[] = {
      {kUnitGone, 5.0f, 0, 0, 110, nullptr, false},   {kUnitGone, 5.0f, 0, 0, 108, nullptr, true},
      {kUnitGone, 5.0f, 0, 0, 103, nullptr, true},    {0, 5.0f, 0, 0, 108, nullptr, false},
      {0, 5.0f, 0, 0, 0, "GRIDSPLIT1", false},        {0, 5.5f, 0, 0, 0, "GRIDSPLIT1", true},
      {0, 5.0f, 1, 0, 0, "GRIDDEPLOY", true},         {0, 5.125f, 1, 0, 0, "GRIDDEPLOY", false},
      {0, 5.0f, 0, 60, 102, nullptr, false},          {0, 5.0f, 0, 60, 113, nullptr, true},
      {0, 5.0f, 0, 0, 102, nullptr, true},            {0, 5.0f, 0, 0, 113, nullptr, false},
  };
  UnitRecord& u = Unit(61);
  for (const auto& r : rows) {
    u.unitFlags = r.flags, u.strength = r.strength, u.carrier = r.carrier;
    u.ordersShown[kPostureBits] = r.posture;
    UpdateUnitCommandGrid(sheet.root, 61);
    Control* c = r.tag ? sheet.Find(r.tag) : sheet.Find(r.id);
    EXPECT_EQ(c->Hidden(), r.hidden) << r.flags << " " << r.strength << " " << r.carrier << " " << r.id;
  }
  // Stop on a carried aircraft cancels its orders and calls nothing home.
  u.kind = 1, u.carrier = 60, u.unitFlags = 0, u.ordersShown[kPostureBits] = 0;
  Control stop(controltest::Init(nullptr, nullptr, 0, 0, 10, 10));
  EXPECT_TRUE(OnUnitCommandGrid(nullptr, &stop, 111, 61, nullptr, nullptr));
  ASSERT_EQ(g_commandLog.Entries().size(), 1u);
  EXPECT_EQ(g_commandLog.Entries()[0].id, kCmdUnitCancelOrders);
  EXPECT_EQ(g_commandLog.Entries()[0].arg28, 61u);
}

// Strengths 10, 5 and 5 on programme 2 (2.0 a day for 10 days) cost 400;
// OK orders every selected unit into it, covered or not; with one unit in
// training rows 1-4 are covered and no row for its category.
TEST_F(OrdersScreenTest, TrainingCostOrdersAndCovers) {
  TrainingRecord& p = g_ruleTables.trainingTypes.entries[2];
  GlobalGuard<float> cost(p.costPerDay, 2.0f), days(p.durationDays, 10.0f);
  std::vector<std::unique_ptr<GlobalGuard<int32_t>>> masks;
  for (int i = 1; i <= kTrainingProgrammes; ++i)
    masks.push_back(std::make_unique<GlobalGuard<int32_t>>(g_ruleTables.trainingTypes.entries[i].kindMask, 1));
  GlobalGuard<decltype(g_unitOrderIssuer)> issuer(g_unitOrderIssuer);
  static std::vector<std::pair<uint32_t, int32_t>> issued;
  issued.clear();
  g_unitOrderIssuer = [](World&, UnitRecord& u, int32_t order, uint32_t, const UnitRecord*) {
    issued.emplace_back(u.id, order);
  };
  const float strengths[] = {10.0f, 5.0f, 5.0f};
  for (uint32_t i = 0; i < 3; ++i) Unit(70 + i).strength = strengths[i];
  FindUnitById(g_world, 71)->unitFlags = 1u << 2;
  Select({70, 71, 72});
  militarytest::TestSheet sheet;
  sheet.Texts({"TRCOST", "TRNUM", "HIDEBOX", "OK", "BACK", "SELECTED", "TRDAYS"});
  for (int32_t id = 151; id <= 170; ++id) sheet.Add(nullptr, id);
  for (int32_t id = 181; id <= 184; ++id) sheet.Add(nullptr, id);
  FillBenefitBox(sheet.root, nullptr, g_screens.SelectionList());
  for (int32_t id = 151; id <= 160; ++id) EXPECT_TRUE(sheet.Find(id)->Hidden()) << id;
  for (int32_t id = 181; id <= 184; ++id) EXPECT_FALSE(sheet.Find(id)->Hidden()) << id;
  FillTrainingDetails(sheet.root, nullptr, g_screens.SelectionList(), 2);
  EXPECT_EQ(sheet.Text("TRCOST"), "$ 400");
  EXPECT_EQ(sheet.Text("TRNUM"), "3");
  EXPECT_FALSE(sheet.Find("OK")->Hidden());
  OrderBenefitBox box;
  box.programme = 2;
  Control ok(controltest::Init("OK", &box, 0, 0, 10, 10));
  box.OnCommand(&ok, 0);
  EXPECT_EQ(issued, (std::vector<std::pair<uint32_t, int32_t>>{{70, 4}, {71, 4}, {72, 4}}));
  std::vector<OrderValueArgs> programmes;
  for (const GameCommand& c : g_commandLog.Entries())
    if (c.id == kCmdUnitSetOrderLevel) programmes.push_back(ArgsOf<OrderValueArgs>(c));
  EXPECT_EQ(programmes, (std::vector<OrderValueArgs>{{70, 2}, {71, 2}, {72, 2}}));
}

// The lock box, ticked, unticked and ticked while muted: 355 with the new
// state each time, sound 9 only while sound is on.
TEST_F(OrdersScreenTest, LockPostsTheStateAndSounds) {
  GlobalGuard<PopupSoundSeam> seam(g_popupSounds);
  GlobalGuard<uint32_t> muted(g_sound.muted);
  static std::vector<int32_t> sounds;
  sounds.clear();
  g_popupSounds.uiSound = [](int32_t n) { sounds.push_back(n); };
  OrdersLockPanel panel;
  panel.unit = 80;
  Control lock(controltest::Init("LOCK", &panel, 0, 0, 10, 10));
  const struct {
    bool ticked, mute;
    uint32_t value;
    size_t sounds;
  } rows[] = {{true, false, 1, 1}, {false, false, 0, 2}, {true, true, 1, 2}};
  for (const auto& r : rows) {
    g_commandLog.Clear();
    g_sound.muted = r.mute ? 1 : 0;
    lock.state = r.ticked ? kStateSelected : 0;
    panel.OnCommand(&lock, 0);
    ASSERT_EQ(g_commandLog.Entries().size(), 1u);
    EXPECT_EQ(g_commandLog.Entries()[0].id, kCmdUnitSetNoAutoDeploy);
    EXPECT_EQ(ArgsOf<OrderValueArgs>(g_commandLog.Entries()[0]), (OrderValueArgs{80, r.value}));
    EXPECT_EQ(sounds.size(), r.sounds) << r.ticked << r.mute;
  }
  EXPECT_EQ(sounds, (std::vector<int32_t>{kSoundOrdersLocked, kSoundOrdersLocked}));
}

// Rows: the hex (-1), units 90, 91, 92. Nothing kept: word 8's unit, else
// word 7's, else the first row; a kept row wins. The hex row aims at no
// unit and hides the class box.
TEST_F(OrdersScreenTest, TargetListPreselectsTheSharedTarget) {
  OrdersUnitListPanel panel;
  militarytest::TestSheet sheet;
  Control* stat = sheet.Add("STATPARENT");
  panel.statParent = stat;
  std::unique_ptr<ListBoxControl> list{ListBoxConstruct(0, 0, 100, 100, 0, 1, &panel)};
  panel.unitList = list.get();
  const intptr_t values[] = {-1, 90, 91, 92};
  for (int32_t i = 0; i < 4; ++i) ListAddTextItem(list.get(), "row", i + 1, values[i], 0, 0, 0);
  const struct {
    intptr_t kept;
    int32_t order8, order7;
    intptr_t chosen;
  } rows[] = {{0, 92, 91, 92}, {0, -1, 91, 91}, {0, -2, -1, -1}, {90, 92, 91, 90}, {0, 55, -1, -1}};
  for (const auto& r : rows) {
    ListDeselectAll(list.get());
    OrderEditState edit;
    edit.commonOrder8 = r.order8, edit.commonOrder7 = r.order7;
    PreselectTarget(list.get(), r.kept, edit);
    EXPECT_EQ(list->selectedValue, r.chosen) << r.kept << " " << r.order8 << " " << r.order7;
  }
  g_screens.ordersScreen.edit.targetUnit = 90;
  panel.OnControlChange(list.get(), 1);
  EXPECT_EQ(g_screens.ordersScreen.edit.targetUnit, 0);
  EXPECT_TRUE(stat->Hidden());
}

}  // namespace
