// The facility pop-ups and their panels over a small world: the upgrade
// time, the status and progress, the base header's figures, the lists, the
// class sheets, the renaming and the launch choice.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/duration_text.h"
#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/common/local_region_fixture.h"
#include "screens/military/facilities/base_popup.h"
#include "screens/military/facilities/base_sheets.h"
#include "screens/military/facilities/facility_panels.h"
#include "screens/military/facilities/facility_popups.h"
#include "screens/common/military_test_support.h"
#include "sim/command_log.h"
#include "sim/daily/research_fields.h"
#include "sim/game_command.h"
#include "support/global_guard.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_test_support.h"
#include "ui/edit_control.h"
#include "ui/list_control.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/object_hex.h"
#include "world/record_helpers.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

using TestForm = controltest::PanelForm;
using militarytest::TestSheet;
using militarytest::TextPatch;

constexpr int kWidth = 240, kLocal = 1, kOther = 2;
constexpr int32_t kBase = 3, kUpgraded = 4, kTroops = 5;
constexpr uint32_t kCell = 3 * kWidth + 17;

class FacilityPopupsTest : public militarytest::LocalMapTest<kLocal, kWidth, 8, 8> {
 protected:
  void SetUp() override {
    LocalMapTest::SetUp();
    World& w = g_world;
    w.cells.assign(kWidth * 8, HexCell{nullptr, WithCellLoyalTo(WithCellOwner(0, kLocal), kLocal)});
    w.cellBytes.assign(kWidth * 8, 0);
    w.gameState.currentHex = {17, 3, kCell, 0};
    w.players[kLocal] = PlayerRecord{};
    w.players[kLocal].number = kLocal;
    std::strcpy(w.unitClasses[kBase].name, "Army Base");
    w.unitClasses[kBase].flags = kClassSettlement;
    std::strcpy(w.unitClasses[kTroops].name, "Troops");
    w.unitClasses[kTroops].strengthPerSize = 1;
    lead_.id = 40;
    lead_.owner = kLocal;
    lead_.classIndex = kBase;
    lead_.strength = lead_.targetStrength = 1.0f;
    lead_.x = 17, lead_.y = 3;
    MakeHexStack(Cell())->lead = &lead_;
  }
  static HexCell& Cell() { return g_world.cells[kCell]; }
  void Building(uint32_t posture) {
    lead_.ordersShown[kPostureBits] = posture;
    lead_.ordersShown[kStateFlags] = kStateHeldSlot;
  }
  static std::vector<GameCommand> Log() {
    std::vector<GameCommand> out = g_commandLog.Entries();
    g_commandLog.Clear();
    return out;
  }
  static ListBoxControl* AddList(TestForm& form, Screen& owner, const char* tag) {
    ListBoxControl* list = ListBoxConstruct(0, 0, 100, 100, 0, 0, &owner);
    SetControlTag(list, tag);
    ControlAddChild(form.root, list);
    return list;
  }
  static std::string FirstRow(ListBoxControl* list) { return list->firstRow ? list->firstRow->text : ""; }

  UnitRecord lead_{};
  GlobalGuard<UiOptions> options_{g_uiOptions};
};

TEST_F(FacilityPopupsTest, UpgradeTakesTheTargetsDaysButFiveOverTheDifference) {
  const struct {
    float target, current, eta;
  } rows[] = {{12.0f, 10.0f, 7.0f}, {8.0f, 10.0f, 5.0f}, {4.0f, 0.0f, 4.0f}};
  for (const auto& r : rows) EXPECT_EQ(UpgradeEtaDays(r.target, r.current), r.eta) << r.target << " " << r.current;

  std::unique_ptr<Screen> panel = MakeBaseUpgradePanel();
  TestForm form(*panel, "BASE1a1", {"ETA", "OKBUT", "CANBUT"});
  panel->Refresh();
  EXPECT_EQ(form.Text("ETA"), "--");
  EXPECT_FALSE(form.Shown("OKBUT"));
  panel->OnCommand(form["CANBUT"], 0);
  EXPECT_TRUE(Log().empty());

  g_world.unitClasses[kBase].successor = kUpgraded;
  g_world.unitClasses[kBase].buildWorkPerPoint = 10.0f;
  g_world.unitClasses[kUpgraded].buildWorkPerPoint = 12.0f;
  panel->Refresh();
  EXPECT_EQ(form.Text("ETA"), FormatDuration(7.0f));
  EXPECT_TRUE(form.Shown("OKBUT"));
  panel->OnCommand(form["OKBUT"], 0);
  const std::vector<GameCommand> log = Log();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].id, kCmdConvertFacility);
  EXPECT_EQ(ArgWordsOf(log[0]), (CommandArgWords{.arg24 = 0x00030011u, .arg28 = kUpgraded}));
  EXPECT_TRUE(log[0].payload.empty());
}

TEST_F(FacilityPopupsTest, StatusAndDaysLeft) {
  TextPatch texts;
  texts.Set(kListUgstatshort, 1, "Inactive");
  texts.Set(kListUgstatshort, 6, "No supply");
  const struct {
    bool present;
    uint8_t level;
    const char *condition, *days;
  } rows[] = {
      {false, 0, "  0 %", "Inactive"},
      {true, 0, " 50 %", "No supply"},
      // (250 / 125 + 1 + 1) / 3 a day: 30 of work is 22.5 days, shown as 23.
      {true, 250, " 50 %", "23"},
  };
  std::unique_ptr<Screen> status = MakeBaseStatusPanel();
  std::unique_ptr<Screen> progress = MakeBaseProgressPanel();
  TestForm statusForm(*status, "BASE1a", {"STATUS", "STATUSOFF", "CONDITION"});
  TestForm progressForm(*progress, "BASE1b", {"PROGBAR", "DAYS"});
  status->id = progress->id = kCell;
  for (const auto& r : rows) {
    Cell().stack->lead = r.present ? &lead_ : nullptr;
    Building(kPostureInReserve | kPostureUnderConstruction);
    lead_.strength = 0.5f;
    lead_.buildWork = 30.0f;
    lead_.efficiency = 1.0f;
    g_world.cellBytes[kCell] = r.level;
    status->Refresh();
    progress->Refresh();
    EXPECT_EQ(statusForm.Text("CONDITION"), r.condition) << r.days;
    EXPECT_FALSE(statusForm["STATUS"]->Selected());
    // Offline while it is built, and named so: "Online" is not shown.
    EXPECT_TRUE(statusForm["STATUS"]->Hidden());
    EXPECT_FALSE(statusForm["STATUSOFF"]->Hidden());
    EXPECT_EQ(progressForm.Text("DAYS"), r.days);
  }
}

TEST_F(FacilityPopupsTest, HeaderCostAndStaff) {
  UnitClassRecord& cls = g_world.unitClasses[kBase];
  cls.valuePerPoint = 100;
  cls.price = 448000.0f;
  g_world.mapHeader.scaleSquared = 2.0f;
  PlayerRecord& p = g_world.players[kLocal];
  p.gdpPerCapita = 1.0f;
  p.costFactor = 1.0f;
  std::strcpy(p.name, "Westholm");
  // The staff's pay 2 x V x 1, V = 100 x the strength of a working base, 100
  // of an idle one; a year of running at the price level, 448,000 / 4 x 2 /
  // 10 x the strength x 365 (twice that with 36 sites: 36 / 18), and one
  // day's upkeep, (strength + 1) x 448,000 / 4 x 2 / 448,000 working,
  // (2 x strength + 1) x 224,000 / 1,792,000 idle.
  const struct {
    float days, sites;
    uint32_t posture;
    float strength;
    const char *cost, *staff;
  } rows[] = {
      {4.0f, 9.0f, 0, 1.0f, "$ 8,176,201", "100"},            // 200 + 8,176,000 + 1
      {4.0f, 36.0f, 0, 1.0f, "$ 16,352,201", "100"},          // 200 + 16,352,000 + 1
      {4.0f, 9.0f, kPostureInReserve, 0.5f, "$ 4,088,200", "100"},  // 200 + 4,088,000 + 0.25
      {4.0f, 9.0f, 0, 0.5f, "$ 4,088,100", "50"},             // 100 + 4,088,000 + 0.75, cut
      {0.0f, 9.0f, 0, 1.0f, "$ 200", "100"},                  // no build days: the pay alone
  };
  BasePopup owner;
  TestForm form(owner, "BASE1", {"BASENAME", "REGION", "ANNCOST", "STAFF", "QUEUE", "CAPACITY", "BASEDESC"});
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.days << " days, " << r.sites << " sites, posture " << r.posture << ", "
                                    << r.strength);
    cls.buildWorkPerPoint = r.days;
    SetRecordF32(p, kCapacityByKind, r.sites);
    lead_.ordersShown[kPostureBits] = r.posture;
    lead_.strength = r.strength;
    FillBaseHeader(form.root, kCell, nullptr);
    EXPECT_EQ(form.Text("ANNCOST"), r.cost);
    EXPECT_EQ(form.Text("STAFF"), r.staff);
    EXPECT_EQ(form.Text("BASEDESC"), "Army Base");
    EXPECT_EQ(form.Text("REGION"), "Westholm") << "the owner by its region's name, not its player's";
  }
  // Another player's hidden base shows no class and no queue.
  Cell().word = WithCellLoyalTo(WithCellOwner(0, kOther), kOther);
  lead_.owner = kOther;
  lead_.unitFlags = kUnitProvisional;
  lead_.leadValue = 5;
  FillBaseHeader(form.root, kCell, nullptr);
  EXPECT_EQ(VisibleLeadClass(g_world, &Cell()), 0);
  EXPECT_EQ(form.Text("QUEUE"), "0");
  EXPECT_EQ(form.Text("BASEDESC"), "");
}

TEST_F(FacilityPopupsTest, ListsShowWhatTheBaseIsDoing) {
  UnitRecord queued{};
  queued.id = 41;
  queued.owner = kLocal;
  queued.classIndex = kTroops;
  queued.strength = 1.0f;
  queued.x = 17, queued.y = 3;
  queued.ordersShown[kPostureBits] = kPostureInReserve | kPostureUnderConstruction;
  const struct {
    bool building, queue;
    const char *prod, *stored;
    bool offline;
  } rows[] = {
      {true, false, "Base Under Construction", "Inactive", true},
      {false, false, "Idle", "", false},
      {false, true, "Retooling", "", false},
  };
  BasePopup popup;
  TestForm form(popup, "BASE1", {"OFFLINE", "ALL", "CLEAR", "ALLOWAUTO"});
  ListBoxControl* prod = AddList(form, popup, "PRODLIST");
  AddList(form, popup, "QUELIST");
  ListBoxControl* stored = AddList(form, popup, "STOREDLIST");
  for (const auto& r : rows) {
    Building(r.building ? kPostureInReserve | kPostureUnderConstruction : 0);
    queued.next = queued.prev = &queued;
    g_world.units = r.queue ? &queued : nullptr;
    ReindexUnits(g_world), ++g_unitRecordEpoch;
    RefreshBaseProduction(form.root, kCell, nullptr, popup.units, nullptr);
    EXPECT_EQ(FirstRow(prod), r.prod);
    EXPECT_EQ(FirstRow(stored), r.stored) << r.prod;
    EXPECT_EQ(form.Shown("OFFLINE"), r.offline) << r.prod;
    EXPECT_EQ(form.Shown("CLEAR"), r.queue) << r.prod;
  }
  popup.cellIndex = kCell;
  popup.OnCommand(form["ALLOWAUTO"], 0);
  const std::vector<GameCommand> log = Log();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].id, kCmdHexStack299);
  EXPECT_EQ(ArgWordsOf(log[0]), (CommandArgWords{.arg24 = 0x00030011u, .arg28 = 1u}));
}

TEST_F(FacilityPopupsTest, SheetRowsCompressAndScale) {
  g_world.gameState.sightRangeBoost = 2.0f;
  g_world.gameState.rangeBoostAddend = 0.0f;
  UnitClassRecord near{}, far{};
  near.attackValues[0] = 160;
  near.attackValues[1] = 150;
  near.sightDistance = 100.0f;
  far.sightDistance = 200.0f;
  const int32_t kinds[4] = {40, 41, 34, 0};
  for (int32_t view : {0, 1}) {
    g_uiOptions.buishowspecsliders = view;
    TestSheet sheet;
    for (int32_t row = 1; row <= 3; ++row)
      for (int32_t at : {100, 101, 900}) sheet.Add(nullptr, row * 1000 + at);
    FillUnitSpecRows(near, kinds, sheet.root);
    const char* shown[] = {"250", "150", "150 km"};
    for (int32_t row = 1; row <= 3; ++row) {
      Control* text = sheet.Find(row * 1000 + 100);
      EXPECT_EQ(sheet.Text(row * 1000 + 100), shown[row - 1]);
      EXPECT_EQ(text->Hidden(), view != 0);
      EXPECT_EQ(sheet.Text(row * 1000 + 900), view ? shown[row - 1] : "") << row;
    }
    FillUnitSpecRows(far, kinds, sheet.root);
    EXPECT_EQ(sheet.Text(3100), "200 km");
  }
}

// The ammunition sheet shows the unit's own load while it stands, and its
// class's full load once the unit is gone.
TEST_F(FacilityPopupsTest, AmmunitionSheetShowsTheUnitThenItsClassOnceGone) {
  g_world.unitClasses[kTroops].ammoCapacity = 5.0f;
  g_world.unitClasses[kTroops].strengthPerSize = 4;
  UnitRecord& unit = ring_.Add(77, kLocal, kTroops);
  unit.strength = 1.0f;
  unit.ammo = 3.0f;
  const std::unique_ptr<Screen> sheet = MakeBasePopup2();
  TestSheet form;
  form.Add(nullptr, 231);
  sheet->currentForm = form.root;
  sheet->id = unit.id;
  const struct {
    uint32_t flags;
    const char* shown;
  } rows[] = {{0, "3"}, {kUnitGone, "20"}};
  for (const auto& r : rows) {
    unit.unitFlags = r.flags;
    sheet->OnOpen();
    sheet->Refresh();
    EXPECT_EQ(form.Text(231), r.shown) << r.flags;
  }
  sheet->currentForm = nullptr;
}

TEST_F(FacilityPopupsTest, RenamingPostsTheNameOnce) {
  HexExtra* extra = GetHexExtra(g_world, Cell());
  extra->text = strdup("Westholm");
  // The posted name runs on this peer at once, so an empty edit puts back
  // the hex's label as the long name left it: cut to 47 characters.
  const std::string sixty(60, 'n'), cut(47, 'n');
  const struct {
    std::string typed;
    size_t posted;
    const char* after;
  } rows[] = {{"A", 2, "A"}, {sixty, 48, sixty.c_str()}, {"", 0, cut.c_str()}};
  BasePopup owner;
  owner.cellIndex = kCell;
  TestForm form(owner, "BASE1", {"RENBASEBUT"});
  auto* name = static_cast<EditControl*>(
      ControlAddChild(form.root, new EditControl(controltest::Init("BASENAME", &owner, 0, 0, 40, 12), {}, 64, 0)));
  for (const auto& r : rows) {
    StartBaseRename(form.root);
    EXPECT_FALSE(form.Shown("RENBASEBUT"));
    name->sourceText = r.typed;
    EndTextEdit();
    EXPECT_TRUE(form.Shown("RENBASEBUT"));
    EXPECT_EQ(name->sourceText, r.after);
    const std::vector<GameCommand> log = Log();
    ASSERT_EQ(log.size(), r.posted ? 1u : 0u) << r.typed;
    if (!r.posted) continue;
    EXPECT_EQ(std::make_tuple(log[0].id, log[0].arg24, log[0].payloadLength),
              std::make_tuple(kCmdNameHex, 0x00030011u, static_cast<uint32_t>(r.posted)));
    EXPECT_EQ(log[0].payload.back(), 0);
    EXPECT_EQ(std::string(log[0].payload.begin(), log[0].payload.end() - 1), r.typed.substr(0, 47));
  }
}

TEST_F(FacilityPopupsTest, LaunchNamesTheChosenSatelliteType) {
  LaunchSitePopup popup;
  Control pressed;
  const struct {
    int32_t id;
    uint32_t launched;
  } rows[] = {{22, 2}, {19, 2}, {23, 2}, {20, 0}};
  TestForm form(popup, "LNCH1", {"LAUNCH"});
  for (const auto& r : rows) {
    pressed.id = r.id;
    popup.OnCommand(&pressed, r.id);
    EXPECT_TRUE(Log().empty()) << r.id;
    popup.OnCommand(form["LAUNCH"], 0);
    const std::vector<GameCommand> log = Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(std::make_tuple(log[0].id, log[0].arg28), std::make_tuple(kCmdLaunchBit, r.launched)) << r.id;
  }
}

}  // namespace
