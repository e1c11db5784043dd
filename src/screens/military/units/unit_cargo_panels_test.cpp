// The unit detail pop-up's cargo panels: the capacity a transport looks
// for, the base transfer's commands, the carrier's room for the unit and
// the cargo panel's buttons and marks for the row picked.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/path_request.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/local_region_fixture.h"
#include "screens/common/military_test_support.h"
#include "screens/military/units/unit_cargo_panels.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "ui/control_bits.h"
#include "ui/list_control.h"
#include "units/hex_geometry.h"
#include "world/id_lookups.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 1;

// A cargo panel's list, form and unit come back after the test.
struct PanelKeep {
  template <typename Panel>
  explicit PanelKeep(Panel& panel) : list{panel.list}, form{panel.currentForm}, unit{panel.unit} {}
  GlobalGuard<ListBoxControl*> list;
  GlobalGuard<Control*> form;
  GlobalGuard<uint32_t> unit;
};

// Units 50 and 51 of the local region, of classes 1 and 2.
class UnitCargoPanelsTest : public militarytest::LocalRegionTest<kLocal, 3> {
 protected:
  // A list with one row naming the unit, chosen.
  static std::unique_ptr<ListBoxControl> Chosen(uint32_t id) {
    std::unique_ptr<ListBoxControl> list(ListBoxConstruct(0, 0, 100, 100, 0, 1, nullptr));
    ListAddTextItem(list.get(), "row", static_cast<int32_t>(id), static_cast<intptr_t>(id), 0, 0, 1);
    ListSetSelection(0, list.get(), static_cast<int32_t>(id), 0);
    return list;
  }
  UnitRecord* units_[2] = {&ring_.Add(50, kLocal, 1), &ring_.Add(51, kLocal, 2)};
};

TEST(UnitCargoCapacity, ALoneCraftLooksForATenth) {
  const struct {
    int16_t elements;
    uint8_t kind;
    int32_t sought;
  } rows[] = {{1, 1, 4}, {1, 0, 45}, {2, 1, 45}};
  for (const auto& r : rows) {
    UnitClassRecord cls{};
    cls.strengthPerSize = r.elements, cls.kind = r.kind, cls.cargoSlots = 45;
    EXPECT_EQ(CargoCapacitySought(cls), r.sought) << r.elements << " " << int(r.kind);
  }
}

TEST_F(UnitCargoPanelsTest, TransferPostsTheOrderFlagsTheOrderAndARouteToTheBase) {
  UnitRecord& base = *units_[1];
  base.x = 12, base.y = 7;
  UnitTransferPanel& panel = g_screens.unitTransfer;
  GlobalGuard<ListBoxControl*> kept{panel.list};
  GlobalGuard<uint32_t> unit{panel.unit};
  const auto list = Chosen(base.id);
  panel.list = list.get();
  panel.unit = units_[0]->id;
  Control ok;
  SetControlTag(&ok, "OKBUT");
  panel.OnCommand(&ok, 0);
  std::vector<std::array<uint32_t, 5>> posted;
  for (const GameCommand& c : g_commandLog.Entries()) posted.push_back({c.id, c.arg24, c.arg28, c.arg32, c.arg36});
  // The route's command carries its path in the payload.
  const std::vector<std::array<uint32_t, 5>> expected = {{kCmdUnitCancelOrders, 0, 50, 0, 0},
                                                         {kCmdAddOrderFlags, 0, 50, 0x40004, 0},
                                                         {kCmdUnitSetOrderId, 0, 50, 1, 0},
                                                         {kCmdAssignUnitRoute, 0, 50, 0, 0},
                                                         {kCmdUnitSetDestination, PackHex(12, 7), 50, 0, 0},
                                                         {kCmdUnitSetStateBits, 0, 50, kStateHalt2, 1}};
  EXPECT_EQ(posted, expected) << "a unit without weapons halts first";
  ASSERT_EQ(g_commandLog.Entries().size(), expected.size());
  PathRequestImage route{};
  ASSERT_EQ(g_commandLog.Entries()[3].payload.size(), sizeof route);
  std::memcpy(&route, g_commandLog.Entries()[3].payload.data(), sizeof route);
  EXPECT_EQ(route.end, PackHex(12, 7)) << "the route leads to the base";
}

// The unit weighs 5 x 3 + 5 = 20 aboard; the carrier has 10 x room.
TEST_F(UnitCargoPanelsTest, CarrierRoomGreysBoard) {
  UnitRecord &cargo = *units_[0], &carrier = *units_[1];
  g_world.unitClasses[1].weight = 5.0f;
  g_world.unitClasses[2].carryCapacity = 10.0f;
  cargo.strength = 3.0f, cargo.ammo = 5.0f;
  UnitCargoLoadPanel& panel = g_screens.unitCargoLoad;
  const PanelKeep kept(panel);
  militarytest::TestSheet sheet;
  sheet.Texts({"CLOAD", "CLOADSTOP", "GRIDCLOAD", "CORDER", "CENTRE"});
  const auto list = Chosen(carrier.id);
  panel.list = list.get(), panel.currentForm = sheet.root, panel.unit = cargo.id;
  const struct {
    float strength;
    bool greyed;
  } rows[] = {{2.0f, false}, {1.99f, true}};
  for (const auto& r : rows) {
    carrier.strength = r.strength;
    panel.OnControlChange(list.get(), 0);
    EXPECT_FALSE(sheet.Find("CLOAD")->Hidden());
    EXPECT_EQ(sheet.Find("GRIDCLOAD")->Hidden(), !r.greyed) << r.strength;
  }
}

// The transport 51 and the stock 50: picked in AVAILABLE for the load
// buttons, aboard for the unload ones.
TEST_F(UnitCargoPanelsTest, EachLoadButtonOrdersTheLoadOrUnloadOfItsStock) {
  UnitRecord &stock = *units_[0], &transport = *units_[1];
  UnitCargoPanel& panel = g_screens.unitCargo;
  const PanelKeep kept(panel);
  militarytest::TestSheet sheet;
  sheet.Texts({"LOAD", "LOADFILL", "LOADSTOP", "UNLOADALL", "OFFLOAD"});
  Control* noLoad = sheet.Add("NOLOAD");
  panel.currentForm = sheet.root, panel.unit = transport.id;
  using Cmd = std::array<uint32_t, 3>;
  const struct {
    const char* button;
    bool aboard;
    std::vector<Cmd> want;  // among the posted: command, unit, first value
  } rows[] = {
      {"LOAD", false, {{kCmdUnitSetLeaderUnit, 50, 51}, {kCmdUnitAddOrderLevel, 50, 1}}},
      {"LOADFILL", false, {{kCmdUnitSetLeaderUnit, 50, 51}, {kCmdUnitSetOrderLevel, 50, 255}}},
      {"LOADSTOP", false, {{kCmdUnitCancelOrders, 50, 0}}},
      {"UNLOADALL", true, {{kCmdUnitSetOrdersHeaderBits, 51, kHeaderNoStockLoading}, {kCmdUnitSetOrderLevel, 50, 255}}},
      {"OFFLOAD", true, {{kCmdUnitSetOrdersHeaderBits, 51, kHeaderNoStockLoading}, {kCmdUnitAddOrderLevel, 50, 1}}},
      {"NOLOAD", false, {{kCmdUnitSetOrdersHeaderBits, 51, kHeaderNoStockLoading}}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.button);
    g_commandLog.Clear();
    stock.carrier = r.aboard ? transport.id : 0;
    // Orders post to the display copy at once: each row starts unordered.
    stock.ordersShown = stock.orders = OrderBlock{};
    // The lists the panel's form holds: the stock offered, or aboard.
    const auto offered = Chosen(stock.id);
    ListBoxControl* aboard = ListBoxConstruct(0, 0, 100, 100, 0, 2, nullptr);
    SetControlTag(aboard, "MISSILELIST");
    ControlAddChild(sheet.root, aboard);
    if (r.aboard) {
      ListAddTextItem(aboard, "row", static_cast<int32_t>(stock.id), static_cast<intptr_t>(stock.id), 0, 0, 1);
      ListSetSelection(0, aboard, static_cast<int32_t>(stock.id), 0);
    }
    panel.list = r.aboard ? nullptr : offered.get();
    SetControlFlag(noLoad, kStateSelected, 1);
    panel.OnCommand(sheet.Find(r.button), 0);
    std::vector<Cmd> posted;
    for (const GameCommand& c : g_commandLog.Entries()) posted.push_back({c.id, c.arg28, c.arg32});
    for (const Cmd& w : r.want)
      EXPECT_NE(std::find(posted.begin(), posted.end(), w), posted.end()) << w[0] << " " << w[1] << " " << w[2];
    aboard->Unlink();
    delete aboard;
  }
}

// The land transport 60 (room for 40 slots) and its stock: 61 and 63
// plain, 62 special weapons, all in store, 63 with a load onto it
// pending; 64, of the kind special weapons do not harm, aboard.
class UnitCargoPickTest : public militarytest::LocalRegionTest<kLocal, 5> {
 protected:
  void SetUp() override {
    LocalRegionTest::SetUp();
    g_world.players[kLocal].number = kLocal;
    std::vector<UnitClassRecord>& c = g_world.unitClasses;
    c[1].cargoSlots = 40, c[1].strengthPerSize = 2;
    for (int i : {2, 3, 4}) c[i].flags = kClassStock, c[i].loadableMask = 1, c[i].slotSize = 2;
    c[3].flags |= kClassSpecialWeaponA;
    c[4].flags |= kClassSpecialImmune;
    transport_.strength = 1.0f;
    for (UnitRecord* u : {&plain_, &special_, &loading_, &aboard_}) u->strength = 1.0f, u->unitFlags = kUnitStock;
    for (UnitRecord* u : {&plain_, &special_, &loading_}) u->ordersShown[kPostureBits] = 1;
    loading_.ordersShown[kOrderFlags] = kOrderLoadInto;
    aboard_.carrier = transport_.id, transport_.cargoNext = aboard_.id;
    panel_.currentForm = sheet_.root, panel_.unit = transport_.id;
    panel_.list = List("AVAILABLE");
    List("MISSILELIST");
    sheet_.Texts({"LOAD", "LOADFILL", "LOADSTOP", "OFFLOAD", "UNLOADALL"});
    for (int32_t id : {kSpecial, kImmune}) SetHidden(sheet_.Add(nullptr, id), true);
  }
  ListBoxControl* List(const char* tag) {
    ListBoxControl* list = ListBoxConstruct(0, 0, 100, 100, 0, 0, &panel_);
    SetControlTag(list, tag);
    ControlAddChild(sheet_.root, list);
    return list;
  }
  ListBoxControl* Find(const char* tag) const { return static_cast<ListBoxControl*>(sheet_.Find(tag)); }
  static std::vector<int32_t> Rows(const ListBoxControl* list) {
    std::vector<int32_t> ids;
    for (const Control* r = ListNextRow(list, nullptr); r; r = ListNextRow(list, r)) ids.push_back(r->id);
    return ids;
  }
  // A click on the row of the unit, as the list takes it.
  void Click(const char* tag, uint32_t unit) {
    ListBoxControl* list = Find(tag);
    Control* row = nullptr;
    for (Control* r = ListNextRow(list, nullptr); r && !row; r = ListNextRow(list, r))
      if (r->id == static_cast<int32_t>(unit)) row = r;
    ASSERT_NE(row, nullptr) << tag << " " << unit;
    ListSelectItem(0, list, row, 0);
    panel_.OnCommand(list, row->id);
  }
  // The buttons shown among the four that follow the row.
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    for (const char* tag : {"LOAD", "LOADFILL", "LOADSTOP", "OFFLOAD"})
      if (!sheet_.Find(tag)->Hidden()) shown.emplace_back(tag);
    return shown;
  }
  // A mark counts when it shows and is lit.
  bool Marked(int32_t id) const {
    const Control* mark = sheet_.Find(id);
    return !mark->Hidden() && mark->Selected();
  }
  static constexpr int32_t kSpecial = 1666, kImmune = 1667;
  UnitRecord& transport_ = ring_.Add(60, kLocal, 1);
  UnitRecord& plain_ = ring_.Add(61, kLocal, 2);
  UnitRecord& special_ = ring_.Add(62, kLocal, 3);
  UnitRecord& loading_ = ring_.Add(63, kLocal, 2);
  UnitRecord& aboard_ = ring_.Add(64, kLocal, 4);
  UnitCargoPanel& panel_ = g_screens.unitCargo;
  PanelKeep kept_{panel_};
  militarytest::TestSheet sheet_;
};

// Each kind of row, picked in turn on one panel, shows the buttons and marks
// it calls for and no other; a pick in one list lets go of the other's.
TEST_F(UnitCargoPickTest, TheButtonsAndMarksFollowThePickedRow) {
  panel_.Refresh();
  EXPECT_EQ(Rows(panel_.list), (std::vector<int32_t>{61, 63, 62})) << "stock in store, by class";
  EXPECT_EQ(Rows(Find("MISSILELIST")), std::vector<int32_t>{64});
  EXPECT_FALSE(sheet_.Find("UNLOADALL")->Hidden()) << "something aboard to unload";
  EXPECT_EQ(Shown(), std::vector<std::string>{}) << "nothing picked";
  using Tags = std::vector<std::string>;
  const struct {
    const char* list;
    uint32_t unit;
    Tags shown;
    bool special, immune;
  } rows[] = {
      {"AVAILABLE", 61, {"LOAD", "LOADFILL"}, false, false},
      {"AVAILABLE", 62, {"LOAD", "LOADFILL"}, true, false},
      {"AVAILABLE", 63, {"LOADSTOP"}, false, false},
      {"MISSILELIST", 64, {"OFFLOAD"}, false, true},
      {"AVAILABLE", 62, {"LOAD", "LOADFILL"}, true, false},
      {"MISSILELIST", 64, {"OFFLOAD"}, false, true},
      {"MISSILELIST", 0, {}, false, false},
      {"AVAILABLE", 63, {"LOADSTOP"}, false, false},
      {"AVAILABLE", 0, {}, false, false},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.list) + " " + std::to_string(r.unit));
    // 0: the list lets its row go.
    if (r.unit == 0) {
      ListSetSelection(0, Find(r.list), 0, 0);
    } else {
      ASSERT_NO_FATAL_FAILURE(Click(r.list, r.unit));
    }
    EXPECT_EQ(Shown(), r.shown);
    EXPECT_EQ(Marked(kSpecial), r.special);
    EXPECT_EQ(Marked(kImmune), r.immune);
    EXPECT_EQ(sheet_.Find(kSpecial)->Hidden(), !r.special) << "a mark shows only lit";
    EXPECT_EQ(sheet_.Find(kImmune)->Hidden(), !r.immune) << "a mark shows only lit";
  }
}

// Load on the picked stock keeps it picked and offers Stop; Stop offers
// Load again. With nothing aboard, Unload is not offered.
TEST_F(UnitCargoPickTest, LoadTurnsToStopAndBack) {
  transport_.cargoNext = 0, aboard_.carrier = 0;
  panel_.Refresh();
  EXPECT_TRUE(sheet_.Find("UNLOADALL")->Hidden());
  ASSERT_NO_FATAL_FAILURE(Click("AVAILABLE", 61));
  const struct {
    const char* press;
    std::vector<std::string> shown;
  } steps[] = {{"LOAD", {"LOADSTOP"}}, {"LOADSTOP", {"LOAD", "LOADFILL"}}, {"LOADFILL", {"LOADSTOP"}}};
  for (const auto& s : steps) {
    panel_.OnCommand(sheet_.Find(s.press), 0);
    EXPECT_EQ(panel_.list->selectedId, 61) << s.press;
    EXPECT_EQ(Shown(), s.shown) << s.press;
  }
}

// A double click on offered stock opens its pop-up, stepping through the
// stock offered.
TEST_F(UnitCargoPickTest, AnOfferedRowOpensItsPopUpWithTheOffer) {
  Screen& popup = g_screens.missileStockView;
  const GlobalGuard<intptr_t> id(popup.id);
  panel_.Refresh();
  ASSERT_NO_FATAL_FAILURE(Click("AVAILABLE", 62));
  panel_.OnActivate(panel_.list, 62);
  EXPECT_EQ(popup.id, 62);
  ASSERT_NE(popup.parameterList, nullptr);
  EXPECT_EQ(popup.parameterList->entries, (std::vector<intptr_t>{61, 63, 62}));
  popup.parameterList->entries.clear();
}

}  // namespace
