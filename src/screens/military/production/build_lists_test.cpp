// The build item row, the build list's orders and the production lists'
// buttons over a small world.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "records/command_ids.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/units/build_item_row.h"
#include "screens/common/units/build_lists.h"
#include "screens/common/military_test_support.h"
#include "screens/common/units/deploy_readiness.h"
#include "screens/common/units/unit_sheets.h"
#include "screens/military/production/production_lists.h"
#include "screens/military/units/unit_list_popup.h"
#include "sim/command_log.h"
#include "sim/daily/product_fields.h"
#include "sim/daily/research_fields.h"
#include "sim/message_ids.h"
#include "sim/status_queue.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "platform/messages.h"
#include "ui/control_bits.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/list_holder.h"
#include "world/unit_groups.h"
#include "world/text/rule_tables.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

using militarytest::TestSheet;

constexpr int kLocal = 1;
constexpr int32_t kRifles = 5, kShells = 6;

class BuildListsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    World& w = g_world;
    w.mapWidth = 32, w.mapHeight = 8;
    w.cells.assign(32 * 8, HexCell{nullptr, WithCellOwner(0, kLocal)});
    w.unitClasses.assign(10, UnitClassRecord{});
    w.gameState.localPlayer = kLocal;
    w.players[kLocal] = PlayerRecord{};
    w.players[kLocal].number = kLocal;
    w.players[kLocal].soldiers = 1.0e9f;
    g_ui.mode = kUiInGame;
    Class(kRifles, "Rifles", 0, 0);
    Class(kShells, "Shells", kClassStock, kStockMilitaryClass);
    g_commandLog.Clear();
  }
  void TearDown() override {
    g_commandLog.Clear();
    // The units a posted build created are the world's, in its ring.
    std::vector<UnitRecord*> made;
    for (UnitRecord* u = g_world.units; u; u = u->next == g_world.units ? nullptr : u->next) {
      bool ours = false;
      for (UnitRecord& o : units_) ours = ours || &o == u;
      if (!ours) made.push_back(u);
    }
    testsupport::LinkUnitRing({});
    for (HexCell& c : g_world.cells) FreeHexStack(c);
    for (UnitRecord* u : made) delete u;
  }
  static UnitClassRecord& Class(int32_t c, const char* name, uint32_t flags, uint8_t military) {
    UnitClassRecord& r = g_world.unitClasses[static_cast<size_t>(c)];
    std::strncpy(r.name, name, sizeof r.name - 1);
    r.flags = flags;
    r.typeByte = military;
    r.strengthPerSize = 10;
    return r;
  }
  UnitRecord& Unit(uint32_t id) {
    UnitRecord& u = units_.emplace_back();
    u.id = id;
    u.owner = kLocal;
    u.classIndex = kRifles;
    u.strength = u.targetStrength = 1.0f;
    u.x = 2, u.y = 2;
    return u;
  }
  // A list of the units, tagged, in the sheet; rows selected as asked.
  static ListBoxControl* List(TestSheet& sheet, const char* tag, std::vector<std::pair<uint32_t, bool>> rows) {
    ListBoxControl* list = ListBoxConstruct(0, 0, 100, 100, 0, 0, &sheet.owner);
    SetControlTag(list, tag);
    ControlAddChild(sheet.root, list);
    for (const auto& [id, selected] : rows) {
      Control* row = ListAddTextItem(list, "u", static_cast<int32_t>(id), 0, 0, 0, 1);
      if (selected) ListSelectItem(1, list, row, 0);
    }
    return list;
  }
  using Posted = std::tuple<uint32_t, uint32_t, uint32_t, uint32_t, uint32_t>;
  static std::vector<Posted> Log() {
    std::vector<Posted> out;
    for (const GameCommand& c : g_commandLog.Entries()) out.emplace_back(c.id, c.arg24, c.arg28, c.arg32, c.arg36);
    g_commandLog.Clear();
    return out;
  }

  std::deque<UnitRecord> units_;
  GlobalGuard<int32_t> mode_{g_ui.mode};
  GlobalGuard<int32_t> width_{g_world.mapWidth}, height_{g_world.mapHeight};
  GlobalGuard<std::vector<HexCell>> cells_{g_world.cells};
  GlobalGuard<std::vector<UnitClassRecord>> classes_{g_world.unitClasses};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<BuildListFilters> filters_{g_buildListFilters};
  GlobalGuard<UnitRecord*> ring_{g_world.units};
  GlobalGuard<std::atomic<float>> promised_{g_world.pendingDeployments[kLocal]};
};

TEST_F(BuildListsTest, BuildItemRowPricesTimesAndStrength) {
  // 5 money and 2 goods an element, goods at 3 a unit of weight:
  // n x 5 x q' + (n x 2 x h x q + 0.9) x 3 + 0.9, with q' the square root of
  // a share below one and h a half at sea; days n x build days x q' + 1,
  // any part of a day counted whole. A whole unit's price is its class
  // sheet's money at the same goods price.
  const struct {
    int32_t design;
    int16_t elements;
    uint8_t kind;
    float buildDays, research, quantity;
    const char *price, *days, *restime;
    bool unknown, sliderHidden;
    float quantityAfter;
  } rows[] = {
      // A quarter: 10 x 5 x 0.5 + (10 x 2 x 0.25 + 0.9) x 3 + 0.9 = 43.6;
      // 10 x 2 x 0.5 + 1 = 11 days.
      {0, 10, 0, 2.0f, 0.0f, 0.25f, "43", "11 Days", "", false, false, 0.25f},
      // Without a slider the unit is ordered whole, and priced whole:
      // 2 x 5 + (2 x 2 + 0.9) x 3 + 0.9 = 25.6; 2 x 2 + 1 = 5 days.
      {0, 2, 0, 2.0f, 0.0f, 0.25f, "25", "5 Days", "", false, true, 1.0f},
      // 50 + (20 + 0.9) x 3 + 0.9 = 113.6; 16.5 days read 17.
      {0, 10, 0, 1.55f, 0.0f, 1.0f, "113", "17 Days", "", false, false, 1.0f},
      // At sea the weight counts half: 50 + (10 + 0.9) x 3 + 0.9 = 83.6.
      {0, 10, 2, 2.0f, 0.0f, 1.0f, "83", "21 Days", "", false, false, 1.0f},
      {1, 10, 0, 2.0f, 0.005f, 1.0f, "152", "21 Days", "UNKNOWN", true, false, 1.0f},
      {1, 10, 0, 2.0f, 0.01f, 1.0f, "152", "21 Days", "17.3 Years", false, false, 1.0f},
  };
  for (const auto& r : rows) {
    PlayerRecord& local = g_world.players[kLocal];
    product::Set(local, 10, product::kUnitCost, 3.0f);
    SetRecordF32(local, kResearchSpentToday, r.research);
    UnitClassRecord& cls = g_world.unitClasses[kRifles];
    cls.strengthPerSize = r.elements, cls.costPerElement = 5.0f, cls.weight = 2.0f, cls.buildWorkPerPoint = r.buildDays;
    cls.kind = r.kind;
    // A facility's cost base and building resource price no unit.
    cls.price = 40.0f, cls.resourceB = 1.0f;
    local.costFactor = 3.0f;
    TestSheet sheet, classSheet;
    classSheet.Texts({"DOLCOST"});
    FillUnitClassSheet(classSheet.root, cls, nullptr, nullptr);
    sheet.Texts({"PRICEBUILD", "DAYS", "RESTIME", "STR", "BUILDHIDE"});
    auto* slider = sheet.Add<SlideBarControl>("STRSLDR");
    SetHidden(sheet.Find("BUILDHIDE"), true);
    float quantity = r.quantity;
    DrawBuildItemRow(sheet.root, r.design, cls, &quantity, 0);
    EXPECT_EQ(sheet.Text("PRICEBUILD"), r.price) << r.elements << r.design;
    EXPECT_EQ(sheet.Text("DAYS"), r.days) << r.elements << r.design;
    EXPECT_EQ(sheet.Text("RESTIME"), r.restime) << r.research;
    EXPECT_EQ(sheet.Find("RESTIME")->Selected(), r.unknown) << r.research;
    EXPECT_EQ(sheet.Find("BUILDHIDE")->Hidden(), r.design != 0);
    if (r.design == 0) {
      EXPECT_EQ(slider->Hidden(), r.sliderHidden) << r.elements;
    }
    EXPECT_EQ(quantity, r.quantityAfter) << r.elements;
    if (r.design == 0 && r.quantity == 1.0f) {
      EXPECT_EQ(classSheet.Text("DOLCOST"), std::string("$ ") + r.price);
    }
  }
}

// Type 463 alone gives a status line; the table and queue are put back.
struct BuildNewsTypes {
  BuildNewsTypes() : saved(std::exchange(g_ruleTables.messageTypes, MessageTypeTable{})) {
    g_ruleTables.messageTypes.records.resize(kMsgUnitBuildOrdered + 1);
    MessageTypeRecord& type = g_ruleTables.messageTypes.records[kMsgUnitBuildOrdered];
    type.flags = 4, type.enabled = 1, type.paramKinds[0] = 3;
    type.statusTemplate.reset(strdup("Ordered %s"));
    g_uiOptions.statuslevel = 0;  // the fixture puts the options back
  }
  ~BuildNewsTypes() { ClearStatusQueue(g_world), g_ruleTables.messageTypes = std::move(saved); }
  MessageTypeTable saved;
};

TEST_F(BuildListsTest, BuildPostsOneOrderPerUnitOrOneForStock) {
  BuildNewsTypes news;
  const uint32_t site = 3 * 32 + 17;
  using Words = std::vector<Posted>;
  const Posted unit272{kCmdCreateUnit, 0x00030011u, kRifles, 0x3F800000u, 5u};
  const struct {
    int32_t cls;
    bool authBox, hasSite;
    uint32_t classFlags;
    Words posted;
    std::vector<std::string> lines;  // the news of the order, after its commands
  } rows[] = {
      {kRifles, true, true, 0, {unit272, unit272, unit272}, {"Ordered 5"}},
      {kShells, true, true, kClassStock, {{kCmdCreateUnitAt, 0, kShells, 3, 5}}, {"Ordered 6"}},
      // No AUTHBOX: the class's authorisation default sets bit 2.
      {kRifles, false, true, kClassBatchStock, {unit272, unit272, unit272}, {"Ordered 5"}},
      {kRifles, true, false, 0, {}, {}},
  };
  for (const auto& r : rows) {
    g_world.unitClasses[static_cast<size_t>(r.cls)].flags = r.classFlags;
    TestSheet sheet;
    sheet.Texts({"AUTOBUT", "CONTBUT", "BUILD", "QTY"});
    if (r.authBox) SetControlFlag(sheet.Add("AUTHBOX"), kStateSelected, 1);
    SetControlFlag(sheet.Find("AUTOBUT"), kStateSelected, 1);
    BuildListState state{.selected = &g_world.unitClasses[static_cast<size_t>(r.cls)], .category = 0, .quantity = 3};
    const HexCell* at = r.hasSite ? &g_world.cells[site] : nullptr;
    OnBuildListCommand(sheet.root, state, at, sheet.Find("BUILD"), 0, nullptr, nullptr);
    EXPECT_EQ(Log(), r.posted) << r.cls << r.authBox << r.hasSite;
    std::vector<std::string> lines;
    for (const StatusLine& line : TakeStatusLines(g_world)) lines.push_back(line.text);
    EXPECT_EQ(lines, r.lines) << r.cls << r.hasSite;
  }
}

TEST_F(BuildListsTest, QuantityAndStrengthKeepTheirRanges) {
  TestSheet sheet;
  sheet.Texts({"PLUSBUT", "MINUSBUT", "QTY", "STR"});
  auto* slider = sheet.Add<SlideBarControl>("STRSLDR");
  BuildListState state{.quantity = 9};
  OpenBuildList(sheet.root, state, 0, nullptr);
  OnBuildListCommand(sheet.root, state, nullptr, sheet.Find("PLUSBUT"), 0, nullptr, nullptr);
  EXPECT_EQ(state.quantity, 9);
  EXPECT_EQ(sheet.Text("QTY"), "9");
  const struct {
    const char* typed;
    int32_t quantity;
  } typed[] = {{"50", 9}, {"0", 1}, {"4", 4}};
  for (const auto& t : typed) {
    SetControlText(sheet.Find("QTY"), t.typed);
    OnBuildListChange(sheet.Find("QTY"), sheet.root, state, 0, {});
    EXPECT_EQ(state.quantity, t.quantity) << t.typed;
  }
  OnBuildListCommand(sheet.root, state, nullptr, sheet.Find("MINUSBUT"), 0, nullptr, nullptr);
  EXPECT_EQ(state.quantity, 3);
  const struct {
    float value, strength;
    const char* text;
  } strengths[] = {{0.0f, 0.5f, " 50 %"}, {1.0f, 1.5f, "150 %"}};
  for (const auto& s : strengths) {
    SliderSetValueFloat(slider, s.value);
    OnBuildListChange(slider, sheet.root, state, 0, {});
    EXPECT_FLOAT_EQ(state.strength, s.strength);
    EXPECT_EQ(sheet.Text("STR"), s.text);
  }
}

TEST_F(BuildListsTest, QueueButtonsPostTheirFlags) {
  UnitRecord& a = Unit(0x201);
  UnitRecord& b = Unit(0x202);
  testsupport::LinkUnitRing({&a, &b});
  const Posted hold{kCmdUnitSetStateBits, 0, 0x201, kStatePausedBuild, 1}, cancel{kCmdUnitSetStateBits, 0, 0x201, kStateModeC, 1};
  const Posted disband{kCmdDisbandUnit, 0, 0x201, 0, 0};
  {
    TestSheet sheet;
    sheet.Texts({"REMBUT", "CLEAR"});
    List(sheet, "QUELIST", {{0x201, true}, {0x202, false}});
    OnProductionListCommand(sheet.root, sheet.Find("REMBUT"), 0);
    EXPECT_EQ(Log(), (std::vector<Posted>{hold, cancel, disband}));
    OnProductionListCommand(sheet.root, sheet.Find("CLEAR"), 0);
    const std::vector<Posted> cleared = Log();
    ASSERT_EQ(cleared.size(), 6u);
    EXPECT_EQ(std::get<2>(cleared[3]), 0x202u);
    // One unit's REMBUT first takes it out of production.
    OnQueueButton(sheet.Find("REMBUT"), 0x201, sheet.root);
    EXPECT_EQ(Log(), (std::vector<Posted>{{kCmdUnitSetStateBits, 0, 0x201, kStateHeldSlot, 0}, hold, cancel, disband}));
  }
}

TEST_F(BuildListsTest, DeployPlacesReadyUnitsFirst) {
  g_world.unitClasses[kRifles].deployFirst = 1;
  g_world.unitClasses[kRifles].placementsA = 1;
  Class(7, "Guns", 0, 4);  // deploy byte 0: never ready
  UnitRecord& a = Unit(0x301);
  a.classIndex = 7;
  UnitRecord& b = Unit(0x302);
  UnitRecord& c = Unit(0x303);
  c.ordersShown[kStateFlags] = kStateDeployRefused;
  testsupport::LinkUnitRing({&a, &b, &c});
  TestSheet sheet;
  sheet.Texts({"DEPLOY", "ALL"});
  List(sheet, "STOREDLIST", {{0x301, false}, {0x302, false}, {0x303, true}});
  OnProductionListCommand(sheet.root, sheet.Find("DEPLOY"), 0);
  EXPECT_EQ(Log(), (std::vector<Posted>{{kCmdUnitSetStateBits, 0, 0x303, kStateDeployRefused, 0}}));
  OnProductionListCommand(sheet.root, sheet.Find("ALL"), 0);
  std::vector<uint32_t> placed;
  for (const Posted& p : Log()) placed.push_back(std::get<0>(p) == kCmdScheduleUnit ? std::get<2>(p) : 0);
  EXPECT_EQ(placed, (std::vector<uint32_t>{0x302, 0x303, 0x301}));
}

TEST_F(BuildListsTest, DeployReadinessConditions) {
  const struct {
    uint8_t deploy, second, countA;
    uint32_t classFlags;
    uint8_t placement;
    uint32_t word13, word11;
    float strength;
    int owner;
    int32_t ready;
  } rows[] = {
      {1, 0, 1, 0, 0, 0, 0, 1.0f, kLocal, 0},
      {0, 0, 1, 0, 0, 0, 0, 1.0f, kLocal, 1},
      {1, 0, 1, 0x4000000, 0, 0, 0, 1.0f, kLocal, 1},
      {1, 0, 1, 0, 1, 0, 0, 1.0f, kLocal, 1},
      {1, 1, 1, 0, 2, 0, 0, 1.0f, kLocal, 0},
      {1, 0, 0, 0, 0, 0, 0, 1.0f, kLocal, 1},
      {1, 0, 1, 0, 0, 0x4000, 0, 1.0f, kLocal, 1},
      {1, 0, 1, 0, 0, 0x4000, 0x10000, 1.0f, kLocal, 0},
      {1, 0, 1, 0, 0, 0, 0, 2.0f, 2, 1},
      {1, 0, 1, 0, 0, 0, 0, 2.0f, kLocal, 0},
  };
  for (const auto& r : rows) {
    UnitClassRecord& cls = g_world.unitClasses[kRifles];
    cls.deployFirst = r.deploy, cls.secondPlacement = r.second, cls.placementsA = r.countA, cls.flags = r.classFlags;
    UnitRecord& u = Unit(0x400);
    u.byte18 = r.placement;
    u.orders[kOrdersHeader] = r.word13, u.orders[kOrderFlags] = r.word11;
    u.strength = r.strength;
    g_world.cells[2 * 32 + 2].word = WithCellOwner(0, r.owner);
    EXPECT_EQ(DeployReadiness(g_world, u), r.ready) << int{r.deploy} << int{r.placement} << r.word13 << r.strength;
  }
}

// Rows by class type x 10000 + class, ties in ring order; a unit carried as
// a missile only in reserve.
TEST_F(BuildListsTest, UnitListSortsAndFilters) {
  Class(7, "Guns", 0, 4);
  Class(8, "Scouts", 0, 1);
  const struct {
    uint32_t id;
    int16_t cls;
    uint32_t posture, flags;
  } units[] = {{0x501, 7, 0, 0}, {0x502, kRifles, 0, 0}, {0x503, 8, 0, 0}, {0x504, kRifles, 0, 0},
               {0x505, kRifles, 1, kUnitStock}, {0x506, kRifles, 0, kUnitStock}, {0x507, kRifles, 1, 0}};
  std::vector<UnitRecord*> ring;
  for (const auto& u : units) {
    UnitRecord& r = Unit(u.id);
    r.classIndex = u.cls, r.ordersShown[kPostureBits] = u.posture, r.unitFlags = u.flags;
    ring.push_back(&r);
  }
  testsupport::LinkUnitRing(ring);
  g_world.unitClasses[kRifles].typeByte = 0;
  const struct {
    int32_t mode;
    std::vector<uint32_t> ids;
  } rows[] = {{0, {0x502, 0x504, 0x503, 0x501}}, {1, {0x505, 0x507}}, {2, {}}};
  for (const auto& r : rows) EXPECT_EQ(UnitListUnits(g_world, 0, r.mode), r.ids) << r.mode;
}

TEST_F(BuildListsTest, ProductionPanelTogglesAutomaticDeploy) {
  std::unique_ptr<Screen> panel = MakeUnitListProductionPanel();
  TestSheet sheet;
  Control* autoButton = sheet.Add("AUTOBUT");
  panel->id = 0x601;
  const struct {
    bool checked;
    uint32_t value;
  } rows[] = {{true, 1}, {false, 0}};
  for (const auto& r : rows) {
    SetControlFlag(autoButton, kStateSelected, r.checked ? 1 : 0);
    panel->OnCommand(autoButton, 0);
    EXPECT_EQ(Log(), (std::vector<Posted>{{kCmdUnitSetStateBits, 0, 0x601, kStateDeployRefused, r.value}}));
  }
}

// A group button assigns the picked unit; with Shift the pick moves on, so
// the next click assigns the next unit. With no local player there are no
// groups: the buttons do nothing.
TEST_F(BuildListsTest, GroupButtonsAssignAndShiftMovesOn) {
  GlobalGuard<uint32_t> keys{g_ui.keyState};
  UnitRecord& a = Unit(0x701);
  UnitRecord& b = Unit(0x702);
  testsupport::LinkUnitRing({&a, &b});
  const struct {
    int32_t local;
    uint32_t keys;
    int32_t members, pickedAfter;
  } rows[] = {{kLocal, 0, 1, 0x701}, {kLocal, plat::kMkShift, 1, 0x702}, {-1, plat::kMkShift, 0, 0x701}};
  for (const auto& r : rows) {
    g_world.gameState.localPlayer = r.local;
    g_ui.keyState = r.keys;
    UnitListPopup popup;
    TestSheet sheet;
    popup.list = List(sheet, "LIST1", {{0x701, false}, {0x702, false}});
    ListSelectItem(0, popup.list, popup.list->firstRow, 0);
    Control* button = sheet.Add("GROUP", 240);
    SetControlFlag(button, kStateSelected, 1);
    popup.OnCommand(button, 240);
    ListHolder& group = g_world.unitGroups.groups[kLocal][0];
    EXPECT_EQ(group.first ? 1 : 0, r.members) << r.local << r.keys;
    EXPECT_EQ(popup.list->selectedId, r.pickedAfter) << r.local << r.keys;
    ListHolderClear(group);
  }
}

}  // namespace

