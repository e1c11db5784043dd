// The stored weapons' panels over a small world: the platform lists, the
// load buttons, a platform's cargo, deploy-all and the offers.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "screens/military/inventory/missile_load_lists.h"
#include "screens/military/silo/missile_silo_panels.h"
#include "screens/military/inventory/unit_inventory_panel.h"
#include "screens/military/inventory/unit_offer_panel.h"
#include "screens/military/units/unit_picture_panel.h"
#include "screens/common/military_test_support.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/game_command.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "units/unit_texts.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

using militarytest::TestSheet;
using Posted = std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>;

constexpr int kLocal = 2;
constexpr int16_t kCarrier = 1, kMissile = 2, kSiloMissile = 3, kSilo = 4, kOther = 5;
constexpr uint32_t kM = 0x100, kP = 0x200;

class InventoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    World& w = g_world;
    w.mapWidth = w.mapHeight = 8;
    w.cells.assign(64, HexCell{});
    w.unitClasses.assign(6, UnitClassRecord{});
    w.gameState.localPlayer = kLocal;
    g_ui.mode = kUiInGame;
    Class(kCarrier, 0).cargoSlots = 40;
    Class(kMissile, kClassStock | kClassSpecialWeaponA).loadableMask = 0x1;
    Class(kSiloMissile, kClassStock).loadableMask = 0x10;
    Class(kSilo, kClassFacility | kClassSettlement).baseKind = 2;
    Class(kOther, kClassStock | kClassSpecialImmune);
    g_commandLog.Clear();
  }
  void TearDown() override {
    g_commandLog.Clear();
    for (ListHolder& l : g_screens.workingLists) ListHolderClear(l);
  }
  static UnitClassRecord& Class(int16_t c, uint32_t flags) {
    UnitClassRecord& r = g_world.unitClasses[static_cast<size_t>(c)];
    std::strcpy(r.name, "Class");
    r.flags = flags;
    r.slotSize = 10;
    r.strengthPerSize = 1;
    return r;
  }
  UnitRecord& Unit(uint32_t id, int16_t cls, float strength) {
    UnitRecord& u = ring_.Add(id, kLocal, cls);
    u.strength = strength;
    u.x = 2, u.y = 3;
    return u;
  }
  static ListBoxControl* List(TestSheet& sheet, const char* tag, std::vector<uint32_t> selected = {}) {
    ListBoxControl* list = ListBoxConstruct(0, 0, 100, 100, 0, 0, &sheet.owner);
    SetControlTag(list, tag);
    ControlAddChild(sheet.root, list);
    for (uint32_t id : selected) ListSelectItem(1, list, ListAddTextItem(list, "u", static_cast<int32_t>(id), 0, 0, 0, 1), 0);
    return list;
  }
  static std::vector<Posted> Log() {
    std::vector<Posted> out;
    for (const GameCommand& c : g_commandLog.Entries()) out.emplace_back(c.id, c.arg28, c.arg32, c.arg36);
    g_commandLog.Clear();
    return out;
  }

  GlobalGuard<int32_t> mode_{g_ui.mode};
  GlobalGuard<int32_t> width_{g_world.mapWidth}, height_{g_world.mapHeight};
  GlobalGuard<std::vector<HexCell>> cells_{g_world.cells};
  GlobalGuard<std::vector<UnitClassRecord>> classes_{g_world.unitClasses};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<UnitRecord*> ring0_{g_world.units};
  testsupport::UnitRing ring_;
};

TEST_F(InventoryTest, SiloModeListsSilosByPositionAndNamesNoPlatform) {
  Unit(kP, kSilo, 1.0f);
  Unit(kM, kSiloMissile, 1.0f).unitFlags = kUnitStock;
  const struct {
    uint32_t missile;
    int32_t category;
  } rows[] = {{kM, 0}, {0, kPlatformSilo}};
  for (const auto& r : rows) {
    TestSheet sheet;
    sheet.Add("PLATFORMNAM");
    ListBoxControl* list = List(sheet, "LIST5");
    const int32_t silo = FillMissileList(list, r.missile, r.category, kNoCargoKind);
    EXPECT_EQ(silo, 1) << r.category;
    ASSERT_NE(list->firstRow, nullptr);
    EXPECT_EQ(std::string(list->firstRow->text), HexPositionText(g_world, PackHex(2, 3)));
    RefreshMissileLoadPanel(sheet.root, list, nullptr, r.missile, nullptr, kP, silo, nullptr, nullptr);
    EXPECT_EQ(sheet.Text("PLATFORMNAM"), "None Selected");
  }
}

TEST_F(InventoryTest, LoadButtonsPostTheOrdersInTurn) {
  Unit(kM, kMissile, 1.0f);
  Unit(kP, kCarrier, 1.0f);
  constexpr uint32_t kSet = kCmdUnitSetOrderLevel, kAdd = kCmdUnitAddOrderLevel;
  const struct {
    const char* button;
    bool authBox;
    std::vector<Posted> posted;
  } rows[] = {
      {"LOAD", true,
       {{kCmdUnitSetLeaderUnit, kM, kP, 0}, {kCmdUnitSetOrdersHeaderBits, kM, 0x2000, 1}, {kAdd, kM, 1, 0},
        {kCmdAddOrderFlags, kM, 0x10000000, 0}}},
      {"LOAD", false, {{kCmdUnitSetLeaderUnit, kM, kP, 0}, {kAdd, kM, 1, 0}, {kCmdAddOrderFlags, kM, 0x10000000, 0}}},
      {"LOADFILL", false,
       {{kCmdUnitSetLeaderUnit, kM, kP, 0}, {kSet, kM, 255, 0}, {kCmdAddOrderFlags, kM, 0x10000000, 0}}},
  };
  for (const auto& r : rows) {
    TestSheet sheet;
    Control* button = sheet.Add(r.button);
    if (r.authBox) sheet.Add("AUTHBOX")->SetSelected(1);
    uint32_t platform = kP;
    MissilePanelCommand(sheet.root, kM, &platform, button, 0, {});
    EXPECT_EQ(Log(), r.posted) << r.button << r.authBox;
  }
  TestSheet sheet;
  Control* box = sheet.Add("AUTHBOX");
  ListBoxControl* rows3 = List(sheet, "STOREDLIST", {7, 8, 9});
  uint32_t platform = kP;
  MissilePanelCommand(sheet.root, kM, &platform, box, 0, MissilePanelHosts{.rowList = rows3});
  EXPECT_EQ(Log(), (std::vector<Posted>{{kCmdUnitSetOrdersHeaderBits, 7, 0x2000, 0},
                                        {kCmdUnitSetOrdersHeaderBits, 8, 0x2000, 0},
                                        {kCmdUnitSetOrdersHeaderBits, 9, 0x2000, 0}}));
}

TEST_F(InventoryTest, CargoListsWholeStockAndCountsAllInTheLoad) {
  UnitRecord& p = Unit(kP, kCarrier, 1.0f);
  UnitRecord& half = Unit(11, kMissile, 0.5f);
  UnitRecord& two = Unit(12, kOther, 2.0f);
  p.cargoNext = 11, half.cargoNext = 12;
  half.carrier = two.carrier = kP;
  half.unitFlags = two.unitFlags = kUnitStock;
  for (uint32_t carrier : {0u, 0x999u}) {
    p.carrier = carrier;
    TestSheet sheet;
    sheet.Texts({"CAP1", "CAP2", "UNLOADALL"});
    sheet.Add(nullptr, 1666);
    sheet.Add(nullptr, 1667);
    ListBoxControl* list = List(sheet, "LIST5");
    ListBoxControl* cargo = List(sheet, "MISSILELIST");
    uint32_t platform = 0;
    RefreshMissileLoadPanel(sheet.root, list, nullptr, 0, &platform, kP, 0, nullptr, nullptr);
    EXPECT_EQ(platform, kP);
    EXPECT_EQ(sheet.Text("CAP1"), "25");
    EXPECT_EQ(sheet.Text("CAP2"), "40");
    if (carrier) {
      EXPECT_EQ(cargo->firstRow, nullptr);
      EXPECT_TRUE(sheet.Find("UNLOADALL")->Hidden());
      continue;
    }
    ASSERT_NE(cargo->firstRow, nullptr);
    EXPECT_EQ(cargo->firstRow->id, 12);
    EXPECT_EQ(ListNextRow(cargo, cargo->firstRow), nullptr);
    EXPECT_TRUE(sheet.Find(1666)->Hidden());  // the half unit's special payload is not counted
    EXPECT_FALSE(sheet.Find(1667)->Hidden());
  }
}

TEST_F(InventoryTest, DeployAllSkipsOrCancelsPendingLoads) {
  Unit(1, kMissile, 1.0f).ordersShown[kOrderFlags] = kOrderLoadInto;
  Unit(2, kMissile, 1.0f).carrier = kP;
  Unit(3, kMissile, 1.0f);
  TestSheet sheet;
  GlobalGuard<ListBoxControl*> stored{g_screens.unitInventory.storedList, List(sheet, "STOREDLIST", {})};
  for (uint32_t id : {1, 2, 3}) ListAddTextItem(g_screens.unitInventory.storedList, "u", static_cast<int32_t>(id), 0, 0, 0, 1);
  GlobalGuard<int32_t> depth{g_ui.panelDepth};
  constexpr uint32_t kSet = kCmdUnitSetOrderLevel;
  const struct {
    const char* button;
    std::vector<Posted> posted;
  } rows[] = {
      {"OK",
       {{kSet, 2, 255, 0}, {kCmdAddOrderFlags, 2, 0x4000000, 0}, {kSet, 3, 255, 0},
        {kCmdUnitSetStateBits, 3, 0x4000000, 1}, {kCmdAddOrderFlags, 3, 0x10000000, 0}}},
      {"CANCEL",
       {{kCmdUnitCancelOrders, 1, 0, 0}, {kSet, 2, 255, 0}, {kCmdAddOrderFlags, 2, 0x4000000, 0}, {kSet, 3, 255, 0},
        {kCmdAddOrderFlags, 3, 0x4000000, 0}}},
  };
  for (const auto& r : rows) {
    ring_[0].ordersShown[kOrderFlags] = kOrderLoadInto;
    ring_[2].ordersShown[kOrderFlags] = 0;
    g_screens.deployAllConfirm->OnCommand(sheet.Add(r.button), 0);
    EXPECT_EQ(Log(), r.posted) << r.button;
  }
}

TEST(UnitOffer, FiguresByHand) {
  const struct {
    const char* name;
    uint32_t link;
    uint8_t saleFlag, domain;
    int16_t group;
    float seller;
    float cost, resale, offer, salvaged;
  } rows[] = {
      {"plain", 0, 0, 0, 4, 3.0f, 848.0f, 120.0f, 158.025f, 15.21f},
      {"no link", 0xFFFFFFFFu, 0, 0, 4, 3.0f, 848.0f, 96.0f, 134.025f, 15.21f},
      {"sale flag 2", 0, 2, 0, 4, 3.0f, 824.0f, 120.0f, 158.025f, 15.21f},
      {"sea", 0, 0, 2, 4, 3.0f, 848.0f, 120.0f, 140.025f, 8.01f},
      {"no groups", 0, 0, 0, 0, 3.0f, 848.0f, 120.0f, 122.025f, 0.81f},
      {"seller cheaper", 0, 0, 0, 4, 2.0f, 832.0f, 120.0f, 150.42f, 15.21f},
  };
  for (const auto& r : rows) {
    UnitClassRecord cls;
    cls.costPerElement = 100.0f, cls.weight = 2.0f, cls.level = 5;
    cls.strengthPerSize = r.group, cls.kind = r.domain, cls.availability = r.link;
    const OfferFigures f = UnitOfferFigures(
        cls, OfferInputs{.strength = 8.0f, .saleFlag = r.saleFlag, .sellerPrice = r.seller, .worldPrice = 2.5f});
    EXPECT_FLOAT_EQ(f.cost, r.cost) << r.name;
    EXPECT_FLOAT_EQ(f.resaleBase, r.resale) << r.name;
    EXPECT_FLOAT_EQ(f.offer, r.offer) << r.name;
    EXPECT_FLOAT_EQ(f.salvaged, r.salvaged) << r.name;
  }
}

TEST_F(InventoryTest, OkOnASaleOrdersTheUnitSold) {
  UnitOfferPanel& sale = g_screens.unitSaleOffers[0];
  GlobalGuard<uint32_t> unit{sale.unit};
  GlobalGuard<ListBoxControl*> rows{sale.rowList, nullptr};
  for (uint8_t flag : {0, 1}) {
    Unit(kM + flag, kMissile, 1.0f).byte18 = flag;
    sale.unit = kM + flag;
    TestSheet sheet;
    sale.OnCommand(sheet.Add("OK"), 0);
    uint32_t order = 0;
    for (const auto& [id, who, value, extra] : Log())
      if (id == kCmdUnitSetOrderId && who == kM + flag) order = value;
    EXPECT_EQ(order, flag ? 49u : 47u);
  }
}

TEST_F(InventoryTest, ThePlatformKindsACarrierMaskRulesOutAreCovered) {
  MissileSiloPanel& panel = g_screens.missileSiloPanel;
  GlobalGuard<Control*> form{panel.currentForm};
  GlobalGuard<ListBoxControl*> platforms{panel.platforms};
  GlobalGuard<uint32_t> missile{panel.missile, kM};
  Unit(kM, kMissile, 1.0f).unitFlags = kUnitStock;
  const struct {
    uint8_t mask;
    bool pressedAfter[5];
  } rows[] = {{0x1, {true, false, false, false, false}}, {0x6, {false, true, false, false, false}}};
  for (const auto& r : rows) {
    g_world.unitClasses[kMissile].loadableMask = r.mask;
    TestSheet sheet;
    sheet.Texts({"MISSILE", "SILOHDR"});
    for (int32_t id = 200; id <= 304; id += id == 204 ? 96 : 1) sheet.Add(nullptr, id);
    sheet.Find(201)->SetSelected(1);
    panel.currentForm = sheet.root;
    panel.platforms = List(sheet, "LIST5");
    panel.Refresh();
    for (int32_t c = 0; c < 5; ++c) {
      EXPECT_EQ(sheet.Find(300 + c)->Hidden(), ((r.mask >> c) & 1u) != 0) << int(r.mask) << " " << c;
      EXPECT_EQ(sheet.Find(200 + c)->Selected(), r.pressedAfter[c]) << int(r.mask) << " " << c;
    }
  }
}

TEST_F(InventoryTest, TheStoredListKeepsItsChoiceAndSaysWhenEmpty) {
  UnitInventoryPanel& panel = g_screens.unitInventory;
  GlobalGuard<Control*> form{panel.currentForm};
  GlobalGuard<ListBoxControl*> stored{panel.storedList};
  GlobalGuard<PlayerRecord> local{g_world.players[kLocal]};
  g_world.players[kLocal].number = kLocal;
  g_world.unitClasses[kMissile].typeByte = 8;
  TestSheet sheet;
  sheet.Texts({"DEPALL", "MCAP1", "MCAP2"});
  panel.currentForm = sheet.root;
  panel.storedList = List(sheet, "STOREDLIST");
  panel.Refresh();
  ASSERT_NE(panel.storedList->firstRow, nullptr);
  EXPECT_EQ(std::string(panel.storedList->firstRow->text), "No Undeployed");
  EXPECT_EQ(panel.storedList->firstRow->id, 0);
  EXPECT_TRUE(sheet.Find("DEPALL")->Hidden());
  for (uint32_t id : {21u, 22u}) {
    UnitRecord& u = Unit(id, kMissile, 1.0f);
    u.unitFlags = kUnitStock, u.unitType = 8, u.ordersShown[kPostureBits] = kPostureInReserve;
  }
  panel.Refresh();
  EXPECT_FALSE(sheet.Find("DEPALL")->Hidden());
  EXPECT_EQ(panel.storedList->selectedId, panel.storedList->firstRow->id);
  const int32_t second = ListNextRow(panel.storedList, panel.storedList->firstRow)->id;
  ListSetSelection(0, panel.storedList, second, 0);
  panel.Refresh();
  EXPECT_EQ(panel.storedList->selectedId, second);
}

TEST(UnitSpecItems, ByTypeNoneForType22AndType3sPastTheTable) {
  const struct {
    int32_t type;
    bool box;
    std::array<int32_t, 4> items;
  } rows[] = {{0, true, {40, 41, 54, 53}}, {8, true, {42, 40, 41, 46}}, {22, false, {}},
              {3, true, {41, 50, 36, 37}}, {24, true, {41, 50, 36, 37}}, {17, true, {34, 46, 47, 39}}};
  for (const auto& r : rows) {
    std::array<int32_t, 4> items{};
    EXPECT_EQ(UnitSpecItems(r.type, items), r.box) << r.type;
    EXPECT_EQ(items, r.items) << r.type;
  }
}

}  // namespace
