// The launch site, satellite, research centre and base production panels
// for the facility on a hex of a small world.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/main/panels/launch_site_panels.h"
#include "screens/main/panels/production_panels.h"
#include "screens/main/panels/research_centre_panel.h"
#include "sim/command_log.h"
#include "sim/game_command.h"
#include "sim/policy_block_fields.h"
#include "support/global_guard.h"
#include "support/world_map_guard.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "world/hex_extra.h"
#include "world/list_items.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kSide = 6;
constexpr int kLocal = 1;
constexpr int32_t kSite = 4012;

using TestForm = controltest::PanelForm;

class SitePanelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    World& w = g_world;
    w.mapWidth = w.mapHeight = kSide;
    const uint32_t own = WithCellLoyalTo(WithCellOwner(WithCellTerrain(0, 1), kLocal), kLocal);
    w.cells.assign(kSide * kSide, HexCell{nullptr, own});
    w.cellBytes.assign(kSide * kSide, 0);
    w.unitClasses.assign(4130, UnitClassRecord{});
    w.gameState.localPlayer = kLocal;
    w.gameState.highestPlayer = 4;
    w.players[kLocal] = PlayerRecord{};
    w.players[kLocal].number = kLocal;
    w.gameState.currentHex = {2, 3, 3 * kSide + 2, 0};
    lead_.classIndex = kSite;
    lead_.strength = 1.0f;
    MakeHexStack(w.cells[3 * kSide + 2])->lead = &lead_;
    SetText(kListUgstatus, 0, "Active");
    SetText(kListUgstatus, 1, "Inactive");
    SetText(kListSattypes, 1, "Comms");
    g_commandLog.Clear();
  }
  void TearDown() override {
    for (HexCell& c : g_world.cells) FreeHexStack(c);
    for (auto& [at, old] : texts_) {
      std::free(*at);
      *at = old;
    }
    g_commandLog.Clear();
  }
  void SetText(TextListId list, int index, const char* text) {
    char** at = &g_textLists.entries[TextListInfoOf(list).first + index];
    texts_.emplace_back(at, *at);
    *at = strdup(text);
  }
  static PlayerRecord& Local() { return g_world.players[kLocal]; }
  static uint32_t Hex() { return PackHex(2, 3); }

  UnitRecord lead_{};
  WorldMapGuard map_;
  GlobalGuard<std::vector<TechRecord>> techs_{g_world.techs};
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth};
  std::vector<std::pair<char**, char*>> texts_;
};

uint32_t Players(std::initializer_list<int> players) {
  uint32_t mask = 0;
  for (int p : players) mask |= 1u << p;
  return mask;
}

// The shares count whole groups: two of three allies covered is none of
// them (integer quotient), all three is the base; the region itself and the
// excluded players are left out of the others.
TEST_F(SitePanelsTest, CoverageSharesAreWholeGroups) {
  SatelliteLaunchPanel owner;  // only for its form
  TestForm form(owner, "MAP1_ss9",
                {"COVERAGE1", "COVERAGE2", "COVERAGE3", "COVERAGE4", "COVERAGE5", "GRIDDEACT", "GRIDPEND"},
                {20, 21, 22, 26, 27, 28});
  struct Row {
    float base;
    int32_t highest, self;
    uint32_t allied, excluded, covered;
    const char *c1, *c2, *c3;
  };
  const Row rows[] = {
      {0.0f, 4, 1, Players({2, 3, 4}), 0, Players({2, 3, 4}), "  0 %", "  0 %", "  0 %"},
      {0.5f, 4, 1, Players({2, 3, 4}), 0, Players({2, 3}), " 50 %", "  0 %", "  0 %"},
      {0.5f, 4, 1, Players({2, 3, 4}), 0, Players({2, 3, 4}), " 50 %", " 50 %", "  0 %"},
      {0.5f, 4, 1, Players({2}), 0, Players({2, 3, 4}), " 50 %", " 50 %", " 50 %"},
      {0.5f, 4, 1, 0, Players({3}), Players({2, 4}), " 50 %", "  0 %", " 50 %"},
      {0.5f, 4, 1, 0, 0, Players({2, 4}), " 50 %", "  0 %", "  0 %"},
      {0.5f, 4, 4, 0, 0, Players({1, 2, 3}), " 50 %", "  0 %", " 50 %"},  // the region itself is not counted
      {0.5f, 0, 1, Players({2}), 0, Players({2}), " 50 %", "  0 %", "  0 %"},  // nobody to count
  };
  for (const Row& r : rows) {
    SatelliteView v;
    v.coverageBase = r.base;
    v.highestPlayer = r.highest;
    v.self = r.self;
    v.alliedMask = r.allied;
    v.excludedMask = r.excluded;
    v.coveredMask = r.covered;
    v.coverageFigures[0] = 0.25f;
    FillSatelliteCoverage(form.root, v);
    EXPECT_EQ(form["COVERAGE1"]->text, r.c1);
    EXPECT_EQ(form["COVERAGE2"]->text, r.c2) << r.allied << " " << r.covered;
    EXPECT_EQ(form["COVERAGE3"]->text, r.c3) << r.self << " " << r.excluded << " " << r.covered;
    EXPECT_EQ(form["COVERAGE4"]->text, " 25 %");
  }
}

// A type that may not be had and has nothing in orbit reads "N/A" and its
// choice looks disabled; the marks tell of no site, else of a pending launch.
TEST_F(SitePanelsTest, OrbitCountsAndMarks) {
  SatelliteLaunchPanel owner;
  TestForm form(owner, "MAP1_ss9", {"GRIDDEACT", "GRIDPEND"}, {20, 21, 22, 26, 27, 28});
  struct Row {
    bool available;
    uint16_t inOrbit;
    bool site;
    uint8_t pending;
    const char* text;
    bool deact, pend;
  };
  const Row rows[] = {
      {false, 0, true, 0, "N/A", true, true},  {true, 0, true, 0, "0", true, true},
      {false, 2, false, 1, "2", false, true},  {true, 3, true, 2, "3", true, false},
      {true, 3, false, 0, "3", false, true},
  };
  for (const Row& r : rows) {
    SatelliteView v;
    v.availableMask = r.available ? 1u << 6 : 1u << 5;  // type 1's bit, or type 0's
    v.inOrbit[1] = r.inOrbit;
    v.siteActive = r.site;
    v.launchPending = r.pending;
    FillSatelliteCoverage(form.root, v);
    EXPECT_EQ(form[27]->text, r.text) << r.available << " " << r.inOrbit;
    EXPECT_EQ((form[21]->state & kStateDisabled) != 0, !r.available);
    EXPECT_EQ((form[20]->state & kStateDisabled) != 0, r.available) << "type 0 has the other bit";
    EXPECT_EQ(form["GRIDDEACT"]->Hidden(), r.deact) << r.site << " " << int{r.pending};
    EXPECT_EQ(form["GRIDPEND"]->Hidden(), r.pend) << r.site << " " << int{r.pending};
  }
}

// The pressed choice decides the type whatever was stored; LAUNCH hides
// with none of the type ready or while its launch is under way.
TEST_F(SitePanelsTest, TheLaunchBoxFollowsThePressedType) {
  SatelliteLaunchPanel owner;
  TestForm form(owner, "MAP1_ss9a", {"LAUNCH", "SATTYPE", "LAUNCHCOST"}, {20, 21, 22, 23, 24, 25});
  struct Row {
    int32_t pressed;  // 0 none
    int32_t stored;
    uint16_t ready;   // of every type
    uint8_t pending;
    int32_t type;
    bool hidden;
  };
  const Row rows[] = {
      {21, 2, 1, 0, 1, false}, {0, 2, 1, 0, 0, false}, {22, 0, 1, 1u << 2, 2, true},
      {22, 0, 1, 1u << 0, 2, false}, {21, 0, 0, 0, 1, true},
  };
  for (const Row& r : rows) {
    SatelliteView v;
    v.availableMask = 0xE0;
    for (uint16_t& n : v.ready) n = r.ready;
    v.launchPending = r.pending;
    v.costMultiplier = 1.5f;
    for (int32_t id : {20, 21, 22}) SetControlFlag(form[id], kStateSelected, id == r.pressed);
    int32_t type = r.stored;
    RefreshSatelliteLaunch(form.root, type, v);
    EXPECT_EQ(type, r.type) << r.pressed;
    EXPECT_EQ(form["LAUNCH"]->Hidden(), r.hidden) << r.pressed << " " << int{r.pending};
  }
  EXPECT_EQ(form["SATTYPE"]->text, "Comms");  // the last row's type 1
  EXPECT_EQ(form["LAUNCHCOST"]->text, "$ 30,000");
  EXPECT_EQ(form[24]->text, "0");
}

// Progress is 1 - days left over the type's build time (90, 110, 130 days);
// no days left shows none.
TEST_F(SitePanelsTest, BuildProgress) {
  const struct {
    float days;
    int32_t type;
    float progress;
  } rows[] = {{65.0f, 2, 0.5f}, {0.0f, 1, 0.0f}, {90.0f, 0, 0.0f}, {45.0f, 0, 0.5f}, {55.0f, 1, 0.5f}, {1.0f, 0, 89.0f / 90.0f}};
  for (const auto& r : rows) EXPECT_FLOAT_EQ(SatelliteBuildProgress(r.days, r.type), r.progress) << r.days << " " << r.type;

}

// Minus and plus post 277 with the type and -1 or +1; the launch posts 276
// with the chosen type. The shown copy counts the order at once.
TEST_F(SitePanelsTest, BuildAndLaunchButtonsPostTheirCommands) {
  SatelliteBuildPanel panel;
  TestForm form(panel, "MAP1_ss9a1", {}, {64, 65, 69, 70});
  struct Row {
    int32_t id;
    size_t commands;
    uint32_t type;
    int32_t delta;
  };
  const Row rows[] = {{69, 1, 1, 1}, {65, 1, 0, -1}, {70, 1, 2, 1}, {64, 0, 0, 0}};
  for (const Row& r : rows) {
    g_commandLog.Clear();
    panel.OnCommand(form[r.id], r.id);
    const std::vector<GameCommand> log = g_commandLog.Entries();
    ASSERT_EQ(log.size(), r.commands) << r.id;
    if (r.commands) {
      EXPECT_EQ(std::tuple(log[0].id, log[0].arg28, static_cast<int32_t>(log[0].arg32)),
                std::tuple(kCmdLaunchCount, r.type, r.delta));
    }
  }
  EXPECT_EQ(LaunchCount(Local().displayPolicy, 1), 1);

  SatelliteLaunchPanel launch;
  TestForm launchForm(launch, "MAP1_ss9a", {"LAUNCH"}, {20, 21, 22});
  SetControlFlag(launchForm[22], kStateSelected, 1);  // as the press leaves it
  launch.OnCommand(launchForm[22], 22);
  EXPECT_EQ(launch.selectedType, 2);
  g_commandLog.Clear();
  launch.OnCommand(launchForm["LAUNCH"], 0);
  const std::vector<GameCommand> log = g_commandLog.Entries();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(std::tuple(log[0].id, log[0].arg28), std::tuple(kCmdLaunchBit, 2u));
}

// A running centre lists its pursued items; an inactive one lists its status line alone and still shows EFF.
TEST_F(SitePanelsTest, TheResearchCentreListsItemsOrItsStatus) {
  g_world.unitClasses[4005].baseKind = 1;
  lead_.classIndex = 4005;
  lead_.strength = 1.3f;
  Local().researchEfficiency = 0.42f;
  g_world.techs.assign(4, TechRecord{});
  g_world.techs[3].name = TableText("Rocketry");
  std::strcpy(g_world.unitClasses[12].name, "Frigate");
  std::vector<std::unique_ptr<ProjectEntry>> projects;
  const struct { uint8_t kind; uint32_t index, flags; } items[] = {
      {kProjectTechnology, 3, kProjectPursued}, {kProjectDesign, 12, kProjectPursued},
      {kProjectTechnology, 2, kProjectPursued | kProjectClosed}, {kProjectTechnology, 1, 0}};
  for (const auto& it : items) {
    projects.push_back(std::make_unique<ProjectEntry>());
    projects.back()->kind = it.kind;
    projects.back()->index = it.index;
    projects.back()->displayFlags = it.flags;
    g_world.projectLists[kLocal].Append(projects.back().get());
  }
  ResearchCentrePanel panel;
  TestForm form(panel, "MAP1_ss7", {"BASENAME", "NOTE", "CONDITION", "EFF", "LIST1"}, {10});
  panel.BindControls();
  ASSERT_NE(panel.list, nullptr);
  struct Row {
    uint32_t posture;
    std::vector<std::string> rows;
    const char* note;
  };
  const Row rows[] = {{0, {"Frigate", "Rocketry"}, "Active"}, {1, {"Inactive"}, "Inactive"}};
  for (const Row& r : rows) {
    lead_.ordersShown[kPostureBits] = r.posture;
    panel.Refresh();
    std::vector<std::string> shown;
    for (Control* row = ListNextRow(panel.list, nullptr); row; row = ListNextRow(panel.list, row))
      shown.push_back(row->text);
    EXPECT_EQ(shown, r.rows) << r.posture;
    EXPECT_EQ(form["NOTE"]->text, r.note);
    EXPECT_EQ(form["EFF"]->text, " 42 %");
    EXPECT_EQ(form["CONDITION"]->text, "100 %");
  }
  projects.clear();
}

// Branch: naval wins over air; a facility kind of its own offers land.
// The events' mode: the panel's id, else 1 on a silo base.
TEST_F(SitePanelsTest, AutoProductionBranchAndEventMode) {
  const struct {
    uint32_t flags;
    uint8_t kind;
    int32_t branch, mode;
  } rows[] = {
      {kClassHaven | kClassAirBase, 0, 2, 0},
      {kClassAirBase, 0, 1, 0},
      {kClassSettlement, 0, 0, 0},
      {kClassHaven, 1, 0, 0},
      {kClassSettlement, 2, 0, 1},
      {kClassSettlement | kClassProduction, 2, 0, 0},
      {kClassHaven, 2, 0, 0},
  };
  for (const auto& r : rows) {
    UnitClassRecord cls{};
    cls.flags = r.flags;
    cls.baseKind = r.kind;
    EXPECT_EQ(AutoProductionBranch(&cls), r.branch) << r.flags << " " << int{r.kind};
    EXPECT_EQ(ProductionEventMode(0, &cls), r.mode) << r.flags << " " << int{r.kind};
    EXPECT_EQ(ProductionEventMode(8, &cls), 8);
  }
  EXPECT_EQ(AutoProductionBranch(nullptr), 0);
}

// Opening reads the facility's bar on automatic production and the
// region's automation; unchecking ALLOWAUTO bars it (299 with 1), checking
// allows it (0).
TEST_F(SitePanelsTest, AllowAutoPostsTheBar) {
  g_world.unitClasses[kSite].flags = kClassHaven | kClassSettlement;
  AutoProductionPanel panel;
  TestForm form(panel, "MAP1_ss6d", {"LIST5", "STATPARENT", "AUTOBUT", "CONTBUT", "HIDEAUTO", "ALLOWAUTO"});
  panel.BindControls();
  const struct {
    uint32_t state, military;
    bool allowed, hideauto;
  } opens[] = {{0, 0, true, true}, {kStateDeployDue, kMilitaryUnitAutoBuild, false, false}};
  for (const auto& o : opens) {
    lead_.ordersShown[kStateFlags] = o.state;
    Local().displayPolicy.militaryFlags = o.military;
    panel.OnOpen();
    EXPECT_EQ(panel.branch, 2);
    EXPECT_EQ(form["ALLOWAUTO"]->Selected(), o.allowed);
    EXPECT_EQ(form["HIDEAUTO"]->Hidden(), o.hideauto);
  }
  const struct {
    bool selected;
    uint32_t value;
  } rows[] = {{false, 1}, {true, 0}};
  for (const auto& r : rows) {
    SetControlFlag(form["ALLOWAUTO"], kStateSelected, r.selected);
    g_commandLog.Clear();
    panel.OnCommand(form["ALLOWAUTO"], 0);
    const std::vector<GameCommand> log = g_commandLog.Entries();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(std::tuple(log[0].id, log[0].arg24, log[0].arg28), std::tuple(kCmdHexStack299, Hex(), r.value));
  }
}

}  // namespace
