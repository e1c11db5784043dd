// The build list's pages, the facility build panel's preview and the
// settlement panel's header and pages for hexes of a small world.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/facilities/site_figures.h"
#include "screens/common/frame/map_selection.h"
#include "screens/main/panels/build_list_panel.h"
#include "screens/main/panels/facility_upgrade_panel.h"
#include "screens/main/panels/settlement_panel.h"
#include "screens/main/popups/upgrade_popup.h"
#include "sim/command_log.h"
#include "records/command_ids.h"
#include "ui/slide_bar.h"
#include "screens/screen_set.h"
#include "sim/daily/product_fields.h"
#include "sim/daily/elimination.h"
#include "units/hex_state.h"
#include "world/relation_fields.h"
#include "support/global_guard.h"
#include "support/world_map_guard.h"
#include "ui/screen_manager.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "world/hex_extra.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kSide = 6;
constexpr int kLocal = 1;
constexpr int32_t kIndustry = 4050;  // outside the classes a region factor scales

void PutFloat(uint8_t* at, float v) { std::memcpy(at, &v, sizeof v); }

class BuildPanelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    World& w = g_world;
    w.mapWidth = w.mapHeight = kSide;
    w.mapHeader.width = w.mapHeader.height = kSide;
    w.mapHeader.scaleSquared = 1.0f;
    const uint32_t own = WithCellLoyalTo(WithCellOwner(WithCellTerrain(0, 1), kLocal), kLocal);
    w.cells.assign(kSide * kSide, HexCell{nullptr, own});
    w.cellBytes.assign(kSide * kSide, 0);
    w.terrains.assign(2, TerrainRecord{});
    w.terrains[1].bytes[120] = 3;  // land a facility may stand on
    w.unitClasses.assign(4130, UnitClassRecord{});
    w.worldEconomy.assign(1024, 0);
    PutFloat(w.worldEconomy.data() + 4, 2.0f);    // product 0's output weight
    PutFloat(w.worldEconomy.data() + 804, 1.0f);  // the goods scale
    w.gameState.localPlayer = kLocal;
    w.gameState.designRowBytes = 4130;
    w.designRows.assign(4130 * 2, 0);
    w.players[kLocal] = PlayerRecord{};
    w.players[kLocal].number = kLocal;
    w.players[kLocal].efficiency = 1.0f;
    w.players[kLocal].costFactor = 1.5f;
    product::Set(w.players[kLocal], 0, product::kProductivity, 1.0f);
    product::Set(w.players[kLocal], 9, product::kPrice, 1.0f);
    savedFactor_ = w.techEffects[kLocal][product::kOutputFactor];
    w.techEffects[kLocal][product::kOutputFactor] = 1.0f;
  }
  void TearDown() override {
    for (HexCell& c : g_world.cells) FreeHexStack(c);
    g_world.techEffects[kLocal][product::kOutputFactor] = savedFactor_;
  }
  static HexCell& Cell(int x, int y) { return g_world.cells[static_cast<size_t>(y * kSide + x)]; }
  static void Select(HexPosition& hex, int16_t x, int16_t y) {
    hex = {x, y, static_cast<uint32_t>(y * kSide + x), 0};
  }
  static UnitClassRecord& Class(int32_t c, const char* name, uint32_t flags) {
    UnitClassRecord& r = g_world.unitClasses[static_cast<size_t>(c)];
    std::strncpy(r.name, name, sizeof r.name - 1);
    r.flags = flags;
    return r;
  }
  // An industry needing one of product 0: costBase 100, labourCost 30.
  static UnitClassRecord& Industry(uint32_t extraFlags = 0) {
    UnitClassRecord& r = Class(kIndustry, "Works", kClassProduction | kClassSpecialWeaponB | extraFlags);
    r.hasExtra = true;
    PutFloat(r.extra.data(), 1.0f);
    r.price = 100.0f;
    r.firepower = 30.0f;
    r.buildWorkPerPoint = 30.0f;
    return r;
  }
  static void Spill(float v) { PutFloat(g_world.terrains[1].bytes + 48, v); }

  WorldMapGuard map_;
  GlobalGuard<std::vector<uint8_t>> economy_{g_world.worldEconomy};
  GlobalGuard<std::vector<uint8_t>> designs_{g_world.designRows};
  GlobalGuard<std::vector<TechRecord>> techs_{g_world.techs};
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<MapPlacement> placement_{g_mapPlacement};
  GlobalGuard<float> timeScale_{g_screens.productScreen.graphTimeScale};
  // Opening a docked panel sets the dock's depth; the build list shows the
  // build panel.
  GlobalGuard<int32_t> depth_{g_ui.panelDepth};
  GlobalGuard<intptr_t> shownClass_{g_screens.mapScreen.facilityUpgrade.id};
  float savedFactor_ = 0.0f;
};

using TestForm = controltest::PanelForm;

std::vector<int32_t> RowIds(const ListBoxControl* list) {
  std::vector<int32_t> ids;
  for (Control* row = list->firstRow; row; row = ListNextRow(list, row)) ids.push_back(row->id);
  return ids;
}

TEST_F(BuildPanelsTest, TheBuildListPagesListWhatThePlayerMayBuild) {
  for (int32_t c : {4002, 4004, 4006, 4013}) Class(c, "Fixed", 0);
  Class(4128, "Road", kClassRoad);
  Class(4020, "Base", kClassSettlement);
  Class(4021, "Old base", kClassSettlement | kClassObsolete);
  Class(4030, "Works", kClassProduction).requiredTechs[0] = 500;  // beyond the table: met
  Class(4031, "Old works", kClassProduction | kClassObsolete);
  Class(4032, "Unknown works", kClassProduction).requiredTechs[0] = 1;  // not held
  g_world.techs.assign(2, TechRecord{});
  g_world.techs[1].name = TableText("Chemistry");
  uint8_t* design = g_world.designRows.data() + 4130 * kLocal;
  for (int32_t c : {4020, 4021, 4030, 4031, 4032}) design[c] = 1;

  BuildListPanel panel;
  TestForm form(panel, "MAP1_ss1", {"LIST1", "CANBUT"});
  panel.BindControls();
  ASSERT_NE(panel.list, nullptr);
  EXPECT_EQ(panel.id, kBuildPageStart);
  EXPECT_EQ(g_mapPlacement.placementConfirm, 1);
  EXPECT_EQ(g_mapPlacement.placementRepeat, 0);
  struct Row { int32_t page; std::vector<int32_t> ids; };
  const Row rows[] = {
      {1, {5002, 5004, 5006, 5013}},  // untested
      {2, {5020}},
      {3, {5030}},
      {4, {}},
      {5, {5128}},  // 4129 is not in the table
  };
  for (const Row& r : rows) {
    panel.Show(r.page, nullptr);
    EXPECT_EQ(RowIds(panel.list), r.ids) << r.page;
  }
  // A page change keeps the scroll and selects nothing.
  panel.Show(1, nullptr);
  ListSetSelection(0, panel.list, 5004, 0);
  panel.list->scrollOffset = 12;
  panel.list->rect.bottom = panel.list->rect.top + 24;
  panel.Show(1, nullptr);
  EXPECT_EQ(panel.list->scrollOffset, 12);
  EXPECT_EQ(panel.list->selectedId, 0);
  // Row 5013 starts placing class 4013.
  panel.OnCommand(panel.list, 5013);
  EXPECT_EQ(g_mapPlacement.active, 1);
  EXPECT_EQ(g_mapPlacement.classIndex, 4013);
  EXPECT_EQ(g_screens.mapScreen.facilityUpgrade.id, 4013);
  panel.OnCommand(form["CANBUT"], 0);
  EXPECT_EQ(g_mapPlacement.active, 0);
}

TEST_F(BuildPanelsTest, ThePreviewFollowsTheHexUnderThePointer) {
  // costBase 100 x 1, labourCost 1 x 30, mult 1.5. Every hex spills 0.5 of
  // product 0 and holds none: avail 0.5, used 0; the works need 1.0 at price
  // 2: potential 2, actual 1, eff 0.5.
  Spill(0.5f);
  FacilityUpgradePanel panel;
  TestForm form(panel, "MAP1_ss1a1",
                {"FACTSTR", "COST", "FOUNDATION", "TIME", "SUPPLY", "HEXCAP", "INVBUILD", "HIDEBOX2"}, {1});
  struct Row {
    bool hex;
    uint8_t level;
    uint32_t flags;   // besides the works'
    bool engineer;    // a supply unit at work next door
    const char* fact;
    float cost;
    const char* time;  // TIME's text
    bool timePressed;
    const char* supply;
  };
  const Row rows[] = {
      {false, 0, 0, false, "100 %", 225.0f, "30 Days", false, "N/A"},
      // 30 / ((125 / 125 + 1 + 1) / 3 x 1) x 0.5 = 15 days.
      {true, 125, 0, false, " 50 %", 127.5f, "15 Days", false, " 50 %"},
      {true, 0, 0, false, " 50 %", 127.5f, "No Supply", true, "  0 %"},
      // Engineers of 3.0 give S = 2: 30 / (2/3 x 2) x 0.5 = 11.25, shown 12.
      {true, 0, kClassFortifies, true, " 50 %", 127.5f, "12 Days", false, "  0 %"},
      // (2 + 1 + 1) / 3: 11.25 days, shown 12.
      {true, 250, 0, false, " 50 %", 127.5f, "12 Days", false, "100 %"},
  };
  Class(4040, "Engineers", kClassFortifies);
  UnitRecord unit{};
  unit.classIndex = 4040;
  unit.morale = 1.0f, unit.efficiency = 1.0f, unit.strength = 150.0f;
  for (const Row& r : rows) {
    Industry(r.flags);
    g_world.gameState.viewHex = {};
    if (r.hex) Select(g_world.gameState.viewHex, 2, 2);
    g_world.cellBytes[2 * kSide + 2] = r.level;
    HexUnitStack& next = *MakeHexStack(Cell(2, 1));
    next.chainA[0] = r.engineer ? &unit : nullptr;
    HexPresenceFlags(*GetHexExtra(g_world, Cell(2, 1))) = kPresenceRepair;
    panel.id = kIndustry;
    panel.Refresh();
    const BuildPreview p = PreviewBuild(g_world, kIndustry, r.hex ? &Cell(2, 2) : nullptr);
    EXPECT_EQ(form["FACTSTR"]->text, r.fact) << r.time;
    EXPECT_FLOAT_EQ(p.cost, r.cost) << r.time;
    EXPECT_FLOAT_EQ(p.foundation, 30.0f) << r.time;
    EXPECT_EQ(form["TIME"]->text, r.time);
    EXPECT_EQ(form["TIME"]->Selected(), r.timePressed) << r.time;
    EXPECT_EQ(form["SUPPLY"]->text, r.supply) << r.time;
    EXPECT_EQ(form["HEXCAP"]->Hidden(), !r.hex) << r.time;
  }
  // HEXCAP: (0.5 - 0.5 x 0.5 x 0.3) x 2 x 1 = 0.85 a year, or a 365th of
  // it a day.
  Industry();
  Select(g_world.gameState.viewHex, 2, 2);
  g_world.cellBytes[2 * kSide + 2] = 125;
  EXPECT_FLOAT_EQ(PreviewBuild(g_world, kIndustry, &Cell(2, 2)).output, 0.85f);
  panel.Refresh();
  EXPECT_EQ(form["HEXCAP"]->text, "0.85");
  g_screens.productScreen.graphTimeScale = 365.0f;
  panel.Refresh();
  EXPECT_EQ(form["HEXCAP"]->text, "0.00");
}

// Without a local region nothing is priced for another region: not even
// region 0, whose factors would otherwise stand in.
TEST_F(BuildPanelsTest, WithoutALocalRegionThePreviewCountsNothing) {
  GlobalGuard<PlayerRecord> first{g_world.players[0]};
  g_world.players[0].costFactor = 2.0f;
  product::Set(g_world.players[0], 0, product::kOutput, 5.0f);
  Industry();
  struct Row {
    int32_t local;
    float foundation, costFactor, output;
  };
  // The foundation: costBase 100 x a fifth x the region's cost factor.
  for (const Row& r : {Row{kLocal, 30.0f, 1.5f, 0.0f}, Row{0, 40.0f, 2.0f, 5.0f}, Row{-1, 0.0f, 0.0f, 0.0f},
                       Row{kMaxPlayers, 0.0f, 0.0f, 0.0f}}) {
    g_world.gameState.localPlayer = r.local;
    EXPECT_FLOAT_EQ(PreviewBuild(g_world, kIndustry, nullptr).foundation, r.foundation) << r.local;
    EXPECT_FLOAT_EQ(LocalCostFactor(g_world), r.costFactor) << r.local;
    EXPECT_FLOAT_EQ(LocalOutput(g_world, 0), r.output) << r.local;
  }
}

TEST_F(BuildPanelsTest, TheSettlementPanelShowsTheHexAsItsOwnerMayActOnIt) {
  SettlementPanel panel;
  TestForm form(panel, "MAP1_ss1b",
                {"HEADER", "NOTE", "CAPITOL", "GRIDCAP1", "GRIDCAP2", "REPAIRBUT", "DESTRANSP", "REPTRANSP",
                 "NAMEBUT", "BASEDETAILS", "INDPIC", "HIDE1", "HIDE2", "SUBPARENT1", "SUBPARENT2", "SUBPARENT3"},
                {kSettlementActionsId});
  panel.BindControls();
  Class(4010, "Town", kClassSettlementPopulation);
  Class(4011, "Depot", kClassSettlement).baseRoom = 5.0f;
  UnitRecord lead{};
  HexUnitStack& stack = *MakeHexStack(Cell(3, 3));
  stack.lead = &lead;
  HexExtra& label = *GetHexExtra(g_world, Cell(3, 3));
  label.pairA[0] = 0x10;  // an intact link
  Select(g_world.gameState.currentHex, 3, 3);
  const uint32_t here = 3u | 3u << 16, elsewhere = 1u | 1u << 16;
  struct Row {
    int16_t cls;
    int owner;
    uint32_t pending, capital;
    bool noCapitalMove;
    const char* note;  // null: not checked
    bool gridcap2, foreignHidden;
  };
  const Row rows[] = {
      {4010, kLocal, here, here, false, "CAPITAL", false, false},
      {4010, kLocal, elsewhere, here, false, " Previous Capital", false, false},
      {4010, kLocal, elsewhere, elsewhere, true, "", true, false},
      {4010, kLocal, elsewhere, elsewhere, false, "", false, false},
      {4011, 2, 0, 0, false, nullptr, false, true},
  };
  for (const Row& r : rows) {
    lead.classIndex = r.cls;
    Cell(3, 3).word = WithCellLoyalTo(WithCellOwner(Cell(3, 3).word, r.owner), r.owner);
    g_world.cellBytes[3 * kSide + 3] = 100;
    SetTargetHex(g_world.players[kLocal].displayPolicy, r.pending);
    SetCapitalHex(g_world.players[kLocal].displayPolicy, CapitalPosition{static_cast<int16_t>(r.capital & 0xFFFF),
                                                                          static_cast<int16_t>(r.capital >> 16)});
    g_world.scenario.head.gameFlags = r.noCapitalMove ? kGameFlagNoCapitalMove : 0;
    panel.Refresh();
    if (r.note) {
      EXPECT_EQ(form["NOTE"]->text, r.note) << r.cls << " " << r.pending;
    }
    EXPECT_EQ(form["GRIDCAP2"]->Hidden(), !r.gridcap2) << r.pending;
    for (const char* tag : {"REPAIRBUT", "BASEDETAILS", "INDPIC", "HIDE1", "HIDE2"}) {
      if (r.foreignHidden) {
        EXPECT_TRUE(form[tag]->Hidden()) << tag;
      }
    }
    EXPECT_EQ(form["DESTRANSP"]->Hidden(), r.foreignHidden);
    EXPECT_TRUE(form["REPTRANSP"]->Hidden());
  }
  g_world.scenario.head.gameFlags = 0;
}

TEST_F(BuildPanelsTest, TheSettlementPagesShowConditionAndPopulation) {
  SettlementConditionPage condition;
  TestForm conditionForm(condition, "MAP1_ss1b5", {"CONDITION"});
  SettlementPopulationPage population;
  TestForm populationForm(population, "MAP1_ss1b2", {"POPULATION"});
  Class(4010, "Town", kClassSettlementPopulation);
  UnitRecord lead{};
  lead.classIndex = 4010;
  MakeHexStack(Cell(3, 3))->lead = &lead;
  Select(g_world.gameState.currentHex, 3, 3);
  struct Row { float strength; uint8_t density; const char* condition, *population; };
  const Row rows[] = {
      {1.3f, 3, "100 %", "108"},  // capped at 1.0; 3 x 3 + 99
      {0.456f, 0, " 46 %", "0"},
  };
  for (const Row& r : rows) {
    lead.strength = r.strength;
    g_world.terrains[1].bytes[98] = r.density;
    condition.Refresh();
    population.Refresh();
    EXPECT_EQ(conditionForm["CONDITION"]->text, r.condition);
    EXPECT_EQ(populationForm["POPULATION"]->text, r.population);
  }
}

// A works yielding product 0 at 1 an element, on hexes of a quarter of the
// goods scale: its Output is the value 1 x weight 2 x the goods scale 1 = 2 a
// day, and the region counts 1 x 2 x the area 0.25 = 0.5 of it, which is
// 125 % of the region's 0.4 (the value over the amount read 500 %).
TEST_F(BuildPanelsTest, AWorksProvidesItsShareOfTheRegionsOutput) {
  FacilityOutputPage page;
  TestForm form(page, "MAP1_ss1b4", {"CONDITION", "CAPACITY", "DYTOGGLE", "PROVIDE"});
  Industry(kClassFullAvailability);
  UnitRecord lead{};
  lead.classIndex = kIndustry;
  lead.strength = lead.efficiency = 1.0f;
  MakeHexStack(Cell(3, 3))->lead = &lead;
  Select(g_world.gameState.currentHex, 3, 3);
  g_world.cellBytes[3 * kSide + 3] = 125;
  g_world.mapHeader.scaleSquared = 0.25f;
  g_screens.productScreen.graphTimeScale = 1.0f;
  product::Set(g_world.players[kLocal], 0, product::kOutput, 0.4f);
  page.Refresh();
  EXPECT_EQ(form["CAPACITY"]->text, "2.00");
  EXPECT_EQ(form["PROVIDE"]->text, "125 %");
}

TEST_F(BuildPanelsTest, TheConstructionCostADayOfANoTimeBuildIsNothing) {
  SettlementConstructionPage page;
  TestForm form(page, "MAP1_ss1b3", {"CONSTRUCT", "DAYS", "CONSTRUCT3"});
  UnitClassRecord& works = Industry();
  UnitRecord lead{};
  lead.classIndex = kIndustry;
  lead.strength = 0.25f;
  MakeHexStack(Cell(3, 3))->lead = &lead;
  Select(g_world.gameState.currentHex, 3, 3);
  struct Row { float days; const char* perDay; };
  // 100 / 20 x 1.5 x the scale 1 = 7.5 a day.
  const Row rows[] = {{20.0f, "$ 7"}, {0.0f, "$ 0"}, {-5.0f, "$ 0"}};
  for (const Row& r : rows) {
    works.buildWorkPerPoint = r.days;
    page.Refresh();
    EXPECT_EQ(form["CONSTRUCT3"]->text, r.perDay) << r.days;
    EXPECT_EQ(form["CONSTRUCT"]->text, " 25 %");
  }
}

TEST_F(BuildPanelsTest, TheBuildPopUpCountsWhatTheBaseCostsToBuildAndKeep) {
  // Cost 1000, build time 10, no goods, scale 1, flag 0x20000, factors 1.
  UnitClassRecord& base = Class(4020, "Depot", kClassSettlement);
  base.price = 1000.0f;
  g_world.players[kLocal].costFactor = 1.0f;
  Cell(2, 2).word = WithCellLoyalTo(Cell(2, 2).word, 0);  // held against its loyalty: G = 0
  Class(4040, "Engineers", kClassFortifies);
  UnitRecord unit{};
  unit.classIndex = 4040;
  unit.morale = 1.0f, unit.efficiency = 1.0f;
  MakeHexStack(Cell(2, 1))->chainA[0] = &unit;
  HexPresenceFlags(*GetHexExtra(g_world, Cell(2, 1))) = kPresenceRepair;
  // The hex's owner earns 448 a head: the upkeep share at strength s is
  // (s + 1) x the price a build day / 1,000 a day; the running cost a tenth
  // of the price a build day at the builder's price level (1).
  g_world.players[CellOwner(Cell(2, 2).word)].gdpPerCapita = 448.0f;
  struct Row { float buildTime, s, timeScale, contribution, mainCost, cost, foundation, days; };
  const Row rows[] = {
      // 1000 / 10 = 100 a build day: (10 + 0.2) x 365 a year.
      {10.0f, 1.0f, 1.0f, 0.0f, 3723.0f, 1200.0f, 200.0f, 30.0f},
      {10.0f, 1.0f, 365.0f, 0.0f, 10.2f, 1200.0f, 200.0f, 30.0f},
      // (F x s + 0.2 F): 500 + 200; (10 + 1.5 x 100 / 1,000) x 365.
      {10.0f, 0.5f, 1.0f, 0.0f, 3704.75f, 700.0f, 200.0f, 15.0f},
      // Level 0, G 0, E 1: 60 / (1 / 3); (1.667 + 2 x 16.67 / 1,000) x 365.
      {60.0f, 1.0f, 1.0f, 0.0f, 620.5f, 1200.0f, 200.0f, 180.0f},
      // Engineers of 3.0: E = sqrt(4) = 2.
      {60.0f, 1.0f, 1.0f, 3.0f, 620.5f, 1200.0f, 200.0f, 90.0f},
      // No build time: nothing a day to keep, not infinity.
      {0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 1200.0f, 200.0f, 0.0f},
  };
  for (const Row& r : rows) {
    base.buildWorkPerPoint = r.buildTime;
    g_screens.productScreen.graphTimeScale = r.timeScale;
    unit.strength = r.contribution * 50.0f;
    const UpgradeCosts c = ComputeUpgradeCosts(g_world, base, &Cell(2, 2), r.s, 1.0f);
    EXPECT_NEAR(c.mainCost, r.mainCost, 0.01f) << r.buildTime << " " << r.timeScale;
    EXPECT_FLOAT_EQ(c.cost, r.cost) << r.s;
    EXPECT_FLOAT_EQ(c.foundation, r.foundation);
    EXPECT_FLOAT_EQ(c.days, r.days) << r.contribution;
  }
}

TEST_F(BuildPanelsTest, TheBuildPopUpsStrengthStopsAtWhatTheHexCarries) {
  // The hex holds 'have' of product 0 and uses none of it; the works need
  // 1.0: the ceiling is 'have'.
  Industry();
  HexSlotSimFlags(*GetHexExtra(g_world, Cell(2, 2)), 0) |= kSlotNoYield;
  Select(g_world.gameState.currentHex, 2, 2);
  UpgradePopup popup;
  TestForm form(popup, "POPUP_UPGRADE", {"FACTSTR", "INDPARENT"});
  auto* level = static_cast<SlideBarControl*>(ControlAddChild(
      form.root, new SlideBarControl(controltest::Init("SUPSLDR", &popup, 0, 0, 100, 12), {})));
  popup.BindControls();
  popup.classIndex = kIndustry;
  UpgradeStrengthPanel& panel = popup.strengthPanel;
  TestForm panelForm(panel, "POPUP_UPGRADE_ss1", {"ADJNOTE", "SETSTRHDR", "FACTCAP"});
  auto* slider = static_cast<SlideBarControl*>(ControlAddChild(
      panelForm.root, new SlideBarControl(controltest::Init("ADJSTR", &panel, 0, 0, 100, 12), {})));
  struct Row { float have, slider; bool shown; const char* strength; };
  const Row rows[] = {
      {0.15f, 1.0f, false, " 15 %"},
      {0.16f, 1.0f, true, " 16 %"},
      {0.16f, 0.0f, true, " 10 %"},   // the slider's foot is a tenth
      {0.05f, 0.0f, false, "  5 %"},  // unless the hex carries less
  };
  for (const Row& r : rows) {
    PutFloat(g_world.terrains[1].bytes, r.have);
    panel.OnOpen();
    EXPECT_FLOAT_EQ(panel.ceiling, r.have);
    EXPECT_EQ(slider->Hidden(), !r.shown) << r.have;
    EXPECT_EQ(panelForm["ADJNOTE"]->Hidden(), !r.shown) << r.have;
    EXPECT_EQ(panelForm["SETSTRHDR"]->Selected(), !r.shown) << r.have;
    SliderSetValueFloat(slider, r.slider);
    panel.OnControlChange(slider, 0);
    EXPECT_EQ(form["FACTSTR"]->text, r.strength) << r.have << " " << r.slider;
  }
  g_world.cellBytes[2 * kSide + 2] = 255;
  FillUpgradeCosts(popup);
  EXPECT_EQ(SliderGetValueInt(level), 255);
  EXPECT_EQ(level->text, "102 %");
}

TEST_F(BuildPanelsTest, BuildingFromThePopUpPostsThePlacementAndKeepsPlacingWhenAsked) {
  Class(4020, "Depot", kClassSettlement);
  Select(g_world.gameState.currentHex, 2, 3);
  // Another region's hex: the posted command's display pass builds nothing
  // into the world.
  Cell(2, 3).word = WithCellOwner(Cell(2, 3).word, 2);
  GlobalGuard<decltype(g_ui.mode)> mode(g_ui.mode, kUiInGame);
  UpgradePopup popup;
  TestForm form(popup, "POPUP_UPGRADE", {"OKBUT", "CANBUT", "INDPARENT"});
  popup.BindControls();
  struct Row { const char* button; int32_t placementRepeat; size_t commands; int32_t stillPlacing; };
  const Row rows[] = {{"OKBUT", 0, 1, 0}, {"OKBUT", 1, 1, 1}, {"CANBUT", 1, 0, 1}, {"CANBUT", 0, 0, 0}};
  for (const Row& r : rows) {
    g_mapPlacement = MapPlacement{.active = 1, .classIndex = 4020, .placementConfirm = 1, .placementRepeat = r.placementRepeat};
    popup.OnOpen();
    g_commandLog.Clear();
    popup.OnCommand(form[r.button], 0);
    const std::vector<GameCommand> log = g_commandLog.Entries();
    ASSERT_EQ(log.size(), r.commands) << r.button << r.placementRepeat;
    for (const GameCommand& c : log)
      EXPECT_EQ(std::tuple(c.id, c.arg24, c.arg28, c.arg32),
                std::tuple(kCmdHexStack288, 2u | 3u << 16, 4020u, 0x3F800000u));
    EXPECT_EQ(g_mapPlacement.active, r.stillPlacing) << r.button << r.placementRepeat;
  }
  g_commandLog.Clear();
}

TEST_F(BuildPanelsTest, TheSettlementButtonsPostTheirCommandsForTheSelectedHex) {
  Class(4010, "Town", kClassSettlementPopulation);
  Industry();
  UnitRecord lead{};
  MakeHexStack(Cell(3, 4))->lead = &lead;
  Select(g_world.gameState.currentHex, 3, 4);
  Cell(3, 4).word = WithCellOwner(Cell(3, 4).word, 2);  // the commands' display passes change nothing
  const uint32_t hex = 3u | 4u << 16;
  GlobalGuard<decltype(g_ui.mode)> mode(g_ui.mode, kUiInGame);
  SettlementPanel panel;
  TestForm form(panel, "MAP1_ss1b", {"REPAIRBUT", "CAPITOL"});
  SettlementOutputCancel& cancel = panel.outputCancel;
  TestForm cancelForm(cancel, "MAP1_ss1b6b1", {"CANBUT6B1"});
  struct Row {
    Screen* screen;
    Control* button;
    bool pressed;
    int16_t cls;
    float strength, outputSetting;
    uint32_t id, arg28, arg32;
  };
  const Row rows[] = {
      {&panel, form["REPAIRBUT"], false, 4010, 1.0f, 1.0f, kCmdHexStack294, 1, 0},  // released: 1
      {&panel, form["REPAIRBUT"], true, 4010, 1.0f, 1.0f, kCmdHexStack294, 0, 0},
      {&panel, form["CAPITOL"], false, 4010, 1.0f, 1.0f, kCmdRelationSet298, 0, 0},
      // An industry of a tenth or more stops; anything else asks again for
      // its own output setting.
      {&cancel, cancelForm["CANBUT6B1"], false, kIndustry, 0.1f, 0.5f, kCmdHexStack292, 0, 0},
      {&cancel, cancelForm["CANBUT6B1"], false, kIndustry, 0.05f, 0.5f, kCmdSetFacilityOutput, 0, 0x3F000000},
      {&cancel, cancelForm["CANBUT6B1"], false, 4010, 1.0f, 0.75f, kCmdSetFacilityOutput, 0, 0x3F400000},
  };
  for (const Row& r : rows) {
    lead.classIndex = r.cls;
    lead.strength = r.strength;
    lead.targetStrength = r.outputSetting;
    SetControlFlag(r.button, kStateSelected, r.pressed);
    g_commandLog.Clear();
    r.screen->OnCommand(r.button, 0);
    const std::vector<GameCommand> log = g_commandLog.Entries();
    ASSERT_EQ(log.size(), 1u) << r.id;
    EXPECT_EQ(std::tuple(log[0].id, log[0].arg24, log[0].arg28, log[0].arg32), std::tuple(r.id, hex, r.arg28, r.arg32));
  }
  g_commandLog.Clear();
}

}  // namespace
