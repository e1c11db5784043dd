// The unit detail pop-up's cargo panels: the capacity a transport looks
// for, the base transfer's commands and the carrier's room for the unit.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/path_request.h"
#include "records/unit_record.h"
#include "screens/common/local_region_fixture.h"
#include "screens/common/military_test_support.h"
#include "screens/military/units/unit_cargo_panels.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "ui/list_control.h"
#include "units/hex_geometry.h"
#include "world/id_lookups.h"
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

}  // namespace
