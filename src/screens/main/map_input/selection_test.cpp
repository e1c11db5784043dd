#include "screens/main/map_input/selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/main/popups/hex_list_popups.h"
#include "screens/common/frame/map_popups.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_selection.h"
#include "screens/main/map_input/selection_links.h"
#include "screens/main/map/map_view.h"
#include "screens/common/units/order_choice.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "sim/unit_order_args.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "ui/bitmap_control.h"
#include "ui/list_control.h"
#include "ui/string_control.h"
#include "world/hex_stack_chains.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/map_data.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

enum Cls : int16_t { kLand = 1, kShip, kCargo, kFacility, kMissile };

// An 8 x 6 map seen by the local player 1; classes: land, a sea transport
// of capacity word 40 that is a one-point class, cargo of size 10, a
// facility and a stock missile.
class SelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetUiOptions(g_uiOptions);
    ResizeMap(g_world, 8, 6);
    g_world.gameState.localPlayer = 1;
    for (int p = 0; p < kMaxPlayers; ++p) g_world.players[p].number = static_cast<uint8_t>(p);
    g_world.players[1].displayPolicy.hostileMask = 1u << 2;
    g_world.unitClasses.assign(8, UnitClassRecord{});
    for (UnitClassRecord& c : g_world.unitClasses) c.strengthPerSize = 10, c.name[0] = 'C';
    g_world.unitClasses[kShip].kind = 2;
    g_world.unitClasses[kShip].strengthPerSize = 1;
    g_world.unitClasses[kShip].cargoSlots = 40;
    g_world.unitClasses[kCargo].slotSize = 10;
    g_world.unitClasses[kFacility].flags = kClassFacility;
    g_world.unitClasses[kMissile].flags = kClassStock;
    g_commandLog.Clear();
  }
  void TearDown() override {
    ListHolderClear(g_screens.SelectionList());
    ListHolderClear(HoverStackList());
    ListHolderClear(HexStackList());
    ClearUnitGroups(g_world.unitGroups);
    for (HexCell& c : g_world.cells) FreeHexStack(c);
    FreeMapData(g_world);
    g_world.unitClasses.clear();
    g_world.players[1] = PlayerRecord{};
    g_commandLog.Clear();
    g_unitOrderIssuer = nullptr;
    g_hexMenuLinks = HexMenuLinks{};
    g_mapPlacement = MapPlacement{};
    g_screens.selectionOrdersShown = 0;
  }
  GlobalGuard<int32_t> localPlayer_{g_world.gameState.localPlayer};
  // No fog: every unit on the map is seen.
  GlobalGuard<uint32_t> gameFlags_{g_world.scenario.head.gameFlags, 0u};
  GlobalGuard<SelectionState> selection_{g_selection, SelectionState{}};

  // A unit of the class on the hex (filed in its chain B when on the map),
  // linked at the end of the unit ring.
  UnitRecord& Unit(uint32_t id, int owner, Cls cls, int16_t x = 0, int16_t y = 0, float strength = 1.0f) {
    UnitRecord& u = ring_.Add(id, owner, cls);
    u.x = x, u.y = y;
    u.kind = g_world.unitClasses[cls].kind;
    u.strength = strength;
    if (cls == kFacility) u.unitFlags |= kUnitFacility;
    if (cls == kMissile) u.unitFlags |= kUnitStock, u.ordersShown[15] = u.orders[15] = 1;
    if ((x || y) && cls != kFacility) HexStackInsertOrdered(g_world, g_world.cells[y * 8 + x], u);
    return u;
  }
  static std::vector<uint32_t> Ids(const ListHolder& list) {
    std::vector<uint32_t> out;
    for (ListItem28* i = FirstInHolder(list); i; i = NextInHolder(list, i))
      out.push_back(static_cast<UnitRecord*>(i->object)->id);
    return out;
  }
  void Select(std::initializer_list<const UnitRecord*> units) {
    for (const UnitRecord* u : units) AddUnitRef(g_screens.SelectionList(), *u);
  }

  testsupport::UnitRing ring_;
  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<GameState> state_{g_world.gameState};
};

TEST_F(SelectionTest, CollectUnitsFiltersAndOrders) {
  Unit(1, 1, kLand);
  Unit(2, 1, kFacility);
  UnitRecord& noClass = Unit(3, 1, kLand);
  noClass.classIndex = 0;
  Unit(4, 1, kMissile);  // its status bit is set
  Unit(5, 1, kMissile).ordersShown[15] = 0;
  UnitRecord& ship = Unit(6, 1, kShip, 0, 0, 2.0f);
  UnitRecord& cargo = Unit(7, 1, kCargo, 0, 0, 3.0f);
  ship.cargoNext = cargo.id;
  cargo.carrier = ship.id;
  ReindexUnits(g_world);
  // Per-item limit 40 / 10 = 4; free room 40 x 2.0 - 10 x 3.0 = 50.
  struct Row {
    int32_t category, stock, cargoRoom;
    std::vector<uint32_t> ids;
  } rows[] = {
      {-1, 0, -1, {1, 7, 6}},  // class 0 and the facility never pass; land before sea
      {5, 0, -1, {1, 7, 6}},   // category 5 is any
      {0, 0, -1, {1, 7}},
      {-1, 1, -1, {4}},        // a missile needs its status bit set
      {-1, 0, 4, {6}},
      {-1, 0, 5, {}},
  };
  for (const Row& r : rows) {
    ListHolder list{};
    CollectUnitsArgs a;
    a.resultList = &list;
    a.category = r.category, a.stock = r.stock, a.cargoRoom = r.cargoRoom;
    a.orderStatus = -1;
    EXPECT_EQ(CollectUnits(g_world, a), static_cast<int32_t>(r.ids.size())) << r.category << r.stock << r.cargoRoom;
    EXPECT_EQ(Ids(list), r.ids);
    a.resultList = nullptr;  // a null list still counts
    EXPECT_EQ(CollectUnits(g_world, a), static_cast<int32_t>(r.ids.size()));
    ListHolderClear(list);
  }
}

TEST_F(SelectionTest, SortedCollectionKeepsRingOrderOnEqualKeys) {
  // Class keys 15, 13, 15, 11 (all land) arrive in ring order.
  g_world.unitClasses.resize(16);
  const int16_t classes[] = {15, 13, 15, 11};
  for (uint32_t i = 0; i < 4; ++i) Unit(10 + i, 1, kLand).classIndex = classes[i];
  for (auto [reverse, want] : {std::pair{0, std::vector<uint32_t>{13, 11, 10, 12}},
                               std::pair{1, std::vector<uint32_t>{10, 12, 11, 13}}}) {
    ListHolder list{};
    CollectUnitsArgs a;
    a.resultList = &list;
    a.orderBit1AndSorting = 1;
    a.orderStatus = -1;
    a.reverse = reverse;  // 1 also asks for word 15 bit 1 clear: all are
    CollectUnits(g_world, a);
    EXPECT_EQ(Ids(list), want) << reverse;
    ListHolderClear(list);
  }
}

TEST_F(SelectionTest, DefaultOrderCountsTheVisibleEnemies) {
  static std::vector<std::tuple<int32_t, uint32_t, uint32_t>> issued;
  g_unitOrderIssuer = [](World&, UnitRecord&, int32_t order, uint32_t hex, const UnitRecord* target) {
    issued.emplace_back(order, hex, target ? target->id : 0);
  };
  UnitRecord& own = Unit(1, 1, kLand, 2, 2);
  g_world.gameState.currentHex = HexPosition{4, 3, 3 * 8 + 4, 0};
  struct Row {
    int enemies;
    int32_t order;
    uint32_t target;
  } rows[] = {{0, 1, 0}, {1, 9, 100}, {2, 11, 0}};
  for (const Row& r : rows) {
    for (int e = 0; e < r.enemies; ++e) Unit(100 + static_cast<uint32_t>(e), 2, kLand, 4, 3);
    issued.clear();
    Select({&own});
    ExecuteOrderChoice(g_screens, kDefaultOrderChoice);
    ASSERT_EQ(issued.size(), 1u) << r.enemies;
    EXPECT_EQ(std::get<0>(issued[0]), r.order);
    EXPECT_EQ(std::get<1>(issued[0]), PackHex(4, 3));
    EXPECT_EQ(std::get<2>(issued[0]), r.target);
    // The enemies leave the hex again.
    FreeHexStack(g_world.cells[3 * 8 + 4]);
    ring_.KeepFirst(1);
  }
}

TEST_F(SelectionTest, HexMenuRowsAct) {
  static uint32_t applied;
  applied = 0;
  g_hexMenuLinks.applyToUnitsAtHex = [](ScreenSet&, uint32_t hex) { applied = hex; };
  const uint32_t hex = PackHex(3, 2);
  HexMenuAction(g_screens, 5128, hex);
  EXPECT_EQ(g_mapPlacement.classIndex, 4128);
  EXPECT_TRUE(g_mapPlacement.active);
  HexMenuAction(g_screens, 17, hex);  // no action
  EXPECT_TRUE(g_commandLog.Entries().empty());
  HexMenuAction(g_screens, 22, hex);
  EXPECT_EQ(applied, hex);
  const std::vector<GameCommand> log = g_commandLog.Entries();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].id, kCmdHexStack291);
  EXPECT_EQ(log[0].arg24, hex);
  EXPECT_EQ(log[0].arg28, 0u);
}

// The orders panel's pending settings go out one command per changed field,
// the field's number and its value each in its own named word.
TEST_F(SelectionTest, PendingSettingsPostEachFieldWithItsOwnValue) {
  UnitRecord& u = Unit(5, 1, kLand, 2, 2);
  u.ordersShown[kOrdersWord] = 1u << 6;  // field 3 holds 1 already
  Select({&u});
  GlobalGuard<OrderEditState> edit{g_screens.ordersScreen.edit, OrderEditState{}};
  OrderEditState& e = g_screens.ordersScreen.edit;
  e.settingsChanged = 1;
  e.commonOrders[3] = 1, e.commonOrders[6] = 2, e.commonOrders[9] = 3;
  IssueOrderToSelection(g_screens, 1, PackHex(3, 2), nullptr, true, 0);
  std::vector<OrderSettingArgs> posted;
  for (const GameCommand& c : g_commandLog.Entries())
    if (c.id == kCmdUnitSetOrderSetting) posted.push_back(ArgsOf<OrderSettingArgs>(c));
  const std::vector<OrderSettingArgs> want = {{.unit = 5, .field = 6, .value = 2}, {.unit = 5, .field = 9, .value = 3}};
  EXPECT_EQ(posted, want);
}

TEST_F(SelectionTest, GroupsStoreOnceAndRecallEmpty) {
  UnitRecord& a = Unit(1, 1, kLand, 1, 1);
  UnitRecord& b = Unit(2, 1, kLand, 1, 1);
  Select({&a});
  StoreUnitGroup(g_screens, 3, 0);
  ListHolderClear(g_screens.SelectionList());
  Select({&a, &b});
  StoreUnitGroup(g_screens, 3, 1);  // a is there already: only b joins
  EXPECT_EQ(Ids(g_world.unitGroups.groups[1][3]), (std::vector<uint32_t>{1, 2}));
  // A removed unit drops out of the recalled selection.
  b.unitFlags |= kUnitGone;
  ListHolderClear(g_screens.SelectionList());
  CopyUnitList(g_world, false, g_screens.SelectionList(), g_world.unitGroups.groups[1][3]);
  EXPECT_EQ(Ids(g_screens.SelectionList()), (std::vector<uint32_t>{1}));
  ListHolderClear(g_screens.SelectionList());
  RecallUnitGroup(g_screens, 4, 0);  // empty group
  EXPECT_EQ(g_screens.SelectionList().first, nullptr);
  EXPECT_EQ(g_screens.selectionOrdersShown, 0);
}

TEST_F(SelectionTest, ClickSelectsTheOnlyOwnUnitElseTheStackListOffersAll) {
  UnitRecord& a = Unit(1, 1, kLand, 2, 2);
  Unit(2, 2, kLand, 2, 2);  // another player's unit is no candidate
  g_world.gameState.currentHex = HexPosition{2, 2, 2 * 8 + 2, 0};
  SelectUnitsAtClick(g_screens, 10, 10, -1);
  EXPECT_EQ(Ids(g_screens.SelectionList()), (std::vector<uint32_t>{1}));
  EXPECT_TRUE(a.unitFlags2 & 1u) << "marked selected";
  EXPECT_EQ(g_screens.selectionOrdersShown, 1);

  // The stack list: one unit gives no all-units row, two give one.
  HexListPopupB& popup = StackList();
  std::unique_ptr<ListBoxControl> list(ListBoxConstruct(0, 0, 100, 100, 0, 1, &popup));
  popup.list = list.get();
  for (auto [units, rows, allRow] : {std::tuple{1, 1u, false}, std::tuple{2, 3u, true}}) {
    ListHolderClear(HoverStackList());
    for (int i = 0; i < units; ++i) AddUnitRef(HoverStackList(), a);
    if (units == 2) AddUnitRef(HoverStackList(), Unit(3, 1, kLand, 2, 2));
    popup.OnOpen();
    EXPECT_EQ(list->rowCount, rows);
    EXPECT_EQ(popup.allUnitsRow != nullptr, allRow);
  }
  popup.list = nullptr;
}

TEST_F(SelectionTest, AnOrderRowMakesItsUnitTheOnlySelectedOne) {
  UnitRecord& a = Unit(1, 1, kLand, 2, 2);
  UnitRecord& b = Unit(2, 1, kLand, 3, 3);
  UnitRecord& gone = Unit(3, 1, kLand, 3, 3);
  gone.unitFlags |= kUnitGone;
  Select({&a});
  DrawUnitOrderRow(g_screens, 2);
  EXPECT_EQ(Ids(g_screens.SelectionList()), (std::vector<uint32_t>{2}));
  EXPECT_TRUE(b.unitFlags2 & 1u);
  EXPECT_EQ(g_screens.selectionOrdersShown, 1);
  // A unit gone from play, or an id no unit holds, changes nothing.
  g_screens.selectionOrdersShown = 0;
  for (int32_t id : {3, 99}) DrawUnitOrderRow(g_screens, id);
  EXPECT_EQ(Ids(g_screens.SelectionList()), (std::vector<uint32_t>{2}));
  EXPECT_EQ(g_screens.selectionOrdersShown, 0);
}

TEST_F(SelectionTest, IconCellsAndPlayerNamesStayInBounds) {
  struct Row {
    int32_t index;
    bool ok;
    IconCell cell;
  } rows[] = {{70, true, {1, 0, 56, 70, 112}}, {0, true, {0, 0, 0, 70, 56}}, {125, true, {1, 420, 448, 490, 504}},
              {126, false, {}}, {-1, false, {}}};
  for (const Row& r : rows) {
    IconCell c;
    EXPECT_EQ(IconCellOf(r.index, c), r.ok) << r.index;
    BitmapControl picture;
    IconCellRect(r.index, &picture, nullptr);
    if (!r.ok) {
      EXPECT_EQ(picture.pictureSlot, nullptr) << r.index;
      continue;
    }
    EXPECT_EQ(std::tie(c.sheet, c.left, c.top, c.right, c.bottom),
              std::tie(r.cell.sheet, r.cell.left, r.cell.top, r.cell.right, r.cell.bottom));
    // The control shows that cell of its sheet.
    EXPECT_EQ(picture.pictureSlot, r.cell.sheet ? &g_ui.bitmaps.avatar : &g_ui.bitmaps.cabinet) << r.index;
    const plat::Rect& shown = picture.images[0].source;
    EXPECT_EQ(std::tie(shown.left, shown.top, shown.right, shown.bottom),
              std::tie(r.cell.left, r.cell.top, r.cell.right, r.cell.bottom));
  }
  {
    // The caption is the person's name, the entry's bytes 40 to 55.
    const GlobalGuard<std::vector<uint8_t>> people(g_world.people);
    const GlobalGuard<PeopleHeader> header(g_world.peopleHeader);
    g_world.people.assign(kPeopleBlockSize, 7);
    std::memcpy(&g_world.people[3 * kPeopleEntrySize + 40], "Ada Lark\0", 9);
    for (const auto& [count, name] : {std::pair<uint32_t, const char*>{3, ""}, {4, "Ada Lark"}}) {
      StringControl caption;
      g_world.peopleHeader.peopleCount = count;
      IconCellRect(3, nullptr, &caption);
      EXPECT_EQ(caption.text, name) << count;
    }
  }
  EXPECT_EQ(PlayerMaskNamesText(g_world, 0), "");
  for (int p = 0; p < kMaxPlayers; ++p) std::memset(g_world.players[p].name, 'N', sizeof g_world.players[p].name - 1);
  const std::string all = PlayerMaskNamesText(g_world, 0xFFFFFFFFu);
  EXPECT_LE(all.size(), 1003u + 4u);
  EXPECT_EQ(std::count(all.begin(), all.end(), ';'), 31);
  EXPECT_EQ(PlayerMaskNamesText(g_world, 0x6u).find("; "), sizeof g_world.players[1].name - 1);
  for (int p = 0; p < kMaxPlayers; ++p) g_world.players[p] = PlayerRecord{};
}

}  // namespace

TEST_F(SelectionTest, TheBandsHexesComeFromItsMapPixelsWhereverTheViewIs) {
  MapView& v = g_mapView;
  InitMapViewGeometry(v, 8, 6, false, 0, 0);
  v.viewLeft = 100, v.viewTop = 50;  // the pane's place on the screen must not count
  // Columns: anchor hex, far corner hex of the drag; the band's two hexes.
  struct Row { Hex anchor, corner, first, last; };
  const Row rows[] = {{{2, 1}, {5, 3}, {2, 1}, {5, 3}}, {{5, 3}, {2, 1}, {2, 1}, {5, 3}}, {{1, 4}, {3, 2}, {1, 2}, {3, 4}}};
  for (const Row& r : rows) {
    const Hex a = HexCentre(r.anchor.x, r.anchor.y), b = HexCentre(r.corner.x, r.corner.y);
    v.pressX = a.x, v.pressY = a.y, v.bandDx = b.x - a.x, v.bandDy = b.y - a.y;
    uint32_t first = 0, last = 0;
    BandToHexes(first, last);
    EXPECT_EQ(UnpackHex(first), r.first) << r.anchor.x;
    EXPECT_EQ(UnpackHex(last), r.last) << r.anchor.x;
  }
  v.viewLeft = v.viewTop = v.pressX = v.pressY = v.bandDx = v.bandDy = 0;
}

// Closing the map's pop-ups while the orders show ends placement mode but
// keeps the player's two placement options (the build list asks first).
TEST_F(SelectionTest, EndingPlacementKeepsThePlacementOptions) {
  const struct {
    int32_t confirm, repeat;
  } rows[] = {{1, 0}, {0, 1}, {1, 1}};
  for (const auto& r : rows) {
    g_mapPlacement = MapPlacement{.active = 1, .classIndex = 4020, .placementConfirm = r.confirm,
                                  .placementRepeat = r.repeat};
    g_screens.selectionOrdersShown = 1;
    CloseMapPopups(g_screens);
    EXPECT_EQ(g_mapPlacement.active, 0);
    EXPECT_EQ(g_mapPlacement.placementConfirm, r.confirm);
    EXPECT_EQ(g_mapPlacement.placementRepeat, r.repeat);
  }
}
