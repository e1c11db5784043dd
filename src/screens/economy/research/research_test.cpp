// The research pages: item status, the queue buttons, the shares, beginning
// research along its path, and the lists.
#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/duration_text.h"
#include "platform/fpenv.h"
#include "records/command_ids.h"
#include "records/order_words.h"
#include "records/player_record.h"
#include "records/unit_record.h"
#include "screens/common/posted_command_rows.h"
#include "screens/economy/research/research_budget_panel.h"
#include "screens/economy/research/research_funding_panel.h"
#include "screens/common/research_queue.h"
#include "screens/economy/research/research_screen.h"
#include "screens/economy/research/tech_list_panels.h"
#include "screens/economy/research/tech_popup.h"
#include "screens/common/units/unit_class_row.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "sim/daily/research_fields.h"
#include "sim/game_command.h"
#include "sim/message_ids.h"
#include "sim/status_queue.h"
#include "support/global_guard.h"
#include "support/world_map_guard.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "world/data_tables.h"
#include "world/id_lookups.h"
#include "world/list_items.h"
#include "world/text/rule_tables.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 2;
constexpr int kTechs = 8;
constexpr int kClasses = 10;

using TestForm = controltest::PanelForm;

using paneltest::Log;
using paneltest::Posted;
float Real(uint32_t bits) { return std::bit_cast<float>(bits); }

// Eight technologies of category 1 at level 0 and ten classes, none known;
// research funded with every share at a third.
class ResearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    World& w = g_world;
    w.gameState.localPlayer = kLocal;
    w.gameState.highestPlayer = 4;
    w.gameState.techCount = kTechs;
    w.gameState.designRowBytes = kClasses;
    w.techs.assign(kTechs, TechRecord{});
    for (int i = 1; i < kTechs; ++i) w.techs[static_cast<size_t>(i)].category = 1;
    w.unitClasses.assign(kClasses, UnitClassRecord{});
    w.techRows.assign(32 * kTechs, PlayerTechState{});
    w.designRows.assign(32 * kClasses, 0);
    Local() = PlayerRecord{};
    Local().number = kLocal;
    Local().displayPolicy.milspendresearch = 1.0f;
    for (float& s : Local().displayPolicy.milResearch) s = 1.0f / 3.0f;
    g_uiOptions.statuslevel = 0;
    g_commandLog.Clear();
  }
  void TearDown() override {
    projects_.clear();
    FreeRingItems(g_world.projectLists[kLocal]);  // those the posts made
    ClearStatusQueue(g_world);
    g_commandLog.Clear();
  }
  static PlayerRecord& Local() { return g_world.players[kLocal]; }
  static PlayerTechState& Tech(int i) { return g_world.techRows[kLocal * kTechs + static_cast<size_t>(i)]; }
  static uint8_t& Design(int i) { return g_world.designRows[kLocal * kClasses + static_cast<size_t>(i)]; }
  ProjectEntry* Project(uint8_t kind, uint32_t index, uint32_t flags, uint32_t id = 0) {
    projects_.push_back(std::make_unique<ProjectEntry>());
    ProjectEntry* p = projects_.back().get();
    p->kind = kind;
    p->index = index;
    p->displayFlags = flags;
    p->id = id ? id : (static_cast<uint32_t>(kLocal) << 24) | static_cast<uint32_t>(projects_.size());
    g_world.projectLists[kLocal].Append(p);
    return p;
  }

  std::vector<std::unique_ptr<ProjectEntry>> projects_;
  GlobalGuard<std::vector<TechRecord>> techs_{g_world.techs};
  WorldMapGuard map_;
  GlobalGuard<std::vector<PlayerTechState>> techRows_{g_world.techRows};
  GlobalGuard<std::vector<uint8_t>> designRows_{g_world.designRows};
  GlobalGuard<PlayerRecord> local_{g_world.players[kLocal]};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth};
};

TEST_F(ResearchTest, ItemStatusFollowsKnowledgeProjectFundingAndPrerequisites) {
  struct Row {
    const char* name;
    int32_t kind, index;
    uint32_t projectFlags;  // 0: no project
    uint8_t known, designBits;
    float spending, share1;
    int16_t prerequisite;
    int32_t status;
  };
  const Row rows[] = {
      {"unknown, no project", 1, 3, 0, 0, 0, 1, 0.3f, 0, 0},
      {"known", 1, 3, 0, 1, 0, 1, 0.3f, 0, 4},
      {"out of range", 1, kTechs, 0, 0, 0, 1, 0.3f, 0, 4},
      {"active", 1, 3, kProjectPursued, 0, 0, 1, 0.3f, 0, 2},
      {"paused", 1, 3, kProjectPursued | kProjectHeld, 0, 0, 1, 0.3f, 0, 3},
      {"cancelled", 1, 3, kProjectPursued | kProjectClosed, 0, 0, 1, 0.3f, 0, 0},
      {"no spending", 1, 3, kProjectPursued, 0, 0, 0, 0.3f, 5, 5},
      {"share 1 at 0", 1, 3, kProjectPursued, 0, 0, 1, 0.0f, 5, 5},
      {"prerequisite unknown", 1, 3, kProjectPursued, 0, 0, 1, 0.3f, 5, 6},
      {"design available", 2, 4, 0, 0, 0x1, 1, 0.3f, 0, 4},
      {"design under research", 2, 4, 0, 0, 0x10, 1, 0.3f, 0, 2},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    SetUp();
    Tech(3).known = r.known;
    Design(4) = r.designBits;
    g_world.techs[3].prerequisites[0] = r.prerequisite;
    Local().displayPolicy.milspendresearch = r.spending;
    Local().displayPolicy.milResearch[1] = r.share1;
    const ProjectEntry* p = r.projectFlags ? Project(static_cast<uint8_t>(r.kind), static_cast<uint32_t>(r.index),
                                                     r.projectFlags)
                                           : nullptr;
    EXPECT_EQ(ResearchItemStatus(g_world, kLocal, r.kind, r.index, p), r.status);
    TearDown();
  }
}

// The funding page's buttons act on the selected row's project; a project
// gone after the list was filled posts nothing.
TEST_F(ResearchTest, QueueButtonsPostForTheSelectedProject) {
  const ProjectEntry* tech = Project(kProjectTechnology, 3, kProjectPursued);
  const uint32_t id = tech->id;
  ResearchFundingPanel panel;
  TestForm form(panel, "MILITARY1_ss03", {"LIST1", "HOLD", "UNPAUSE", "CANCEL", "UP"}, {}, {"LIST1"});
  panel.BindControls();
  panel.Refresh();
  ASSERT_NE(panel.list, nullptr);
  ListSetSelection(0, panel.list, static_cast<int32_t>(id), 0);
  ASSERT_EQ(panel.list->selectedId, static_cast<int32_t>(id));
  struct Row {
    const char* tag;
    std::vector<Posted> posted;
    uint8_t mark;
  };
  const Row rows[] = {
      {"HOLD", {{kCmdAvailabilityBit, id, kProjectHeld, 1}}, kRowProjectHeld},
      {"UNPAUSE", {{kCmdAvailabilityBit, id, kProjectHeld, 0}}, 0},
      {"UP", {}, 0},
      {"CANCEL", {{kCmdProjectClose, id, 0, 0}}, 0},
  };
  for (const Row& r : rows) {
    g_commandLog.Clear();
    panel.OnCommand(form[r.tag], 0);
    EXPECT_EQ(Log(), r.posted) << r.tag;
    EXPECT_EQ(Tech(3).projectFlags & kRowProjectHeld, r.mark) << r.tag;
  }
  const uint32_t gone = Project(kProjectTechnology, 4, kProjectPursued)->id;
  panel.Refresh();
  ListSetSelection(0, panel.list, static_cast<int32_t>(gone), 0);
  ASSERT_EQ(panel.list->selectedId, static_cast<int32_t>(gone));
  projects_.clear();
  g_commandLog.Clear();
  panel.OnCommand(form["HOLD"], 0);
  EXPECT_TRUE(Log().empty());
}

TEST_F(ResearchTest, ProjectsAreListedOldestFirst) {
  PostCommand_28_32_36(kCmdProjectCreate, kProjectTechnology, 5, 0);
  PostCommand_28_32_36(kCmdProjectCreate, kProjectTechnology, 2, 0);
  const std::vector<GameCommand> made = g_commandLog.Entries();
  ASSERT_EQ(made.size(), 2u);
  ResearchFundingPanel panel;
  TestForm form(panel, "MILITARY1_ss03", {"LIST1"}, {}, {"LIST1"});
  panel.BindControls();
  panel.Refresh();
  std::vector<uint32_t> listed;
  for (Control* row = ListNextRow(panel.list, nullptr); row; row = ListNextRow(panel.list, row))
    listed.push_back(static_cast<uint32_t>(row->id));
  EXPECT_EQ(listed, (std::vector<uint32_t>{made[0].sequence, made[1].sequence}));
}

TEST_F(ResearchTest, MovingAShareRebalancesTheOthers) {
  struct Row {
    const char* name;
    bool locked[3];
    float shares[3];
  };
  const Row rows[] = {{"none locked", {false, false, false}, {0.35f, 0.6f, 0.05f}},
                      {"share 2 locked", {false, false, true}, {0.2f, 0.6f, 0.2f}}};
  for (const Row& r : rows) {
    Local().displayPolicy.milResearch[0] = 0.5f;
    Local().displayPolicy.milResearch[1] = 0.3f;
    Local().displayPolicy.milResearch[2] = 0.2f;
    ResearchBudgetPanel panel(false);
    TestForm form(panel, "MILITARY1_ss3", {}, {2, 3, 5, 6, 8, 9});
    for (int32_t slider : {1, 4, 7})
      ControlAddChild(form.root, new SlideBarControl(controltest::Init(nullptr, &panel, 0, 0, 100, 8), {}))->id =
          slider;
    for (int32_t i = 0; i < 3; ++i) SetControlFlag(form[3 * i + 2], kStateSelected, r.locked[i] ? 1 : 0);
    auto* moved = static_cast<SlideBarControl*>(form[4]);
    SliderSetMaxFloat(moved, 1.0f);
    SliderSetPosition(moved, 6000);  // 0.6 of the track
    g_commandLog.Clear();
    panel.OnControlChange(moved, 4);
    const std::vector<Posted> log = Log();
    ASSERT_EQ(log.size(), 3u) << r.name;
    for (uint32_t i = 0; i < 3; ++i) {
      EXPECT_EQ(log[i].id, kCmdMilResearch) << r.name;
      EXPECT_EQ(log[i].a28, i) << r.name;
      EXPECT_NEAR(Real(log[i].a32), r.shares[i], 1e-6) << r.name << " share " << i;
    }
  }
}

// RESET's own shares sum to one only within rounding: opening again must
// not repair them. Shares of 0.6 each are lowered 2, 0, 1.
TEST_F(ResearchTest, ResetAndOpeningRepairTheShares) {
  struct GameRounding {
    int kept = std::fegetround();
    GameRounding() { plat::SetGameFloatMode(); }
    ~GameRounding() { std::fesetround(kept); }
  } rounding;
  ResearchBudgetPanel panel(false);
  TestForm form(panel, "MILITARY1_ss3", {"RESET"});
  panel.OnCommand(form["RESET"], 0);
  EXPECT_EQ(Log(), (std::vector<Posted>{{kCmdMilResearch, 0, 0x3EAE147B, 0},
                                        {kCmdMilResearch, 1, 0x3EA3D70A, 0},
                                        {kCmdMilResearch, 2, 0x3EAE147B, 0}}));
  g_commandLog.Clear();
  panel.OnOpen();
  EXPECT_TRUE(Log().empty());
  for (float& s : Local().displayPolicy.milResearch) s = 0.6f;
  panel.OnOpen();
  const std::vector<Posted> log = Log();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(std::pair(log[0].a28, Real(log[0].a32)), std::pair(2u, 0.6f));
  EXPECT_EQ(log[1].a28, 0u);
  EXPECT_NEAR(Real(log[1].a32), 0.4f, 1e-6);
  EXPECT_EQ(std::pair(log[2].a28, Real(log[2].a32)), std::pair(1u, 0.0f));
}

// A design needing an unknown technology: the technology first, then the
// design, and one news line.
TEST_F(ResearchTest, BeginningADesignQueuesItsPathThenTheNews) {
  g_world.unitClasses[5].requiredTechs[0] = 3;
  std::vector<MessageTypeRecord> kept = std::move(g_ruleTables.messageTypes.records);
  g_ruleTables.messageTypes.records.resize(kMsgDesignResearchBegun + 1);
  g_ruleTables.messageTypes.records[kMsgDesignResearchBegun].priority = 5;
  g_ruleTables.messageTypes.records[kMsgDesignResearchBegun].statusTemplate = OwnedText(strdup("Research begun"));
  auto list = std::make_unique<ListBoxControl>(0, 0, 100, 100, 0, 0, nullptr);
  ListAddTextItem(list.get(), "Tank", 0, 5, 0, 0, 0);
  ListSelectAll(list.get());
  BeginSelectedResearch(list.get(), kProjectDesign);
  EXPECT_EQ(Log(), (std::vector<Posted>{{kCmdProjectCreate, kProjectTechnology, 3, 0},
                                        {kCmdProjectCreate, kProjectDesign, 5, 0}}));
  EXPECT_EQ(TakeStatusLines(g_world).size(), 1u);
  g_ruleTables.messageTypes.records = std::move(kept);
}

// No category button checked lists category 6; a technology above the
// region's level is never listed.
TEST_F(ResearchTest, TheTechnologyListShowsTheCheckedCategoryWithinTheLevel) {
  Local().techLevel = 2.9f;
  const struct {
    int tech, category, level;
  } techs[] = {{2, 6, 0}, {3, 6, 3}, {4, 2, 1}, {5, 6, 2}, {6, 2, 0}};
  for (const auto& t : techs) {
    g_world.techs[static_cast<size_t>(t.tech)].category = static_cast<uint8_t>(t.category);
    g_world.techs[static_cast<size_t>(t.tech)].techLevel = static_cast<uint8_t>(t.level);
  }
  Tech(6).projectFlags = kRowProjectOpen;
  struct Row {
    int32_t checked;  // 0: none
    std::vector<intptr_t> listed;
  };
  const Row rows[] = {{0, {2, 5}}, {12, {4}}};
  for (const Row& r : rows) {
    TechDetailPanel panel;
    TestForm form(panel, "MILITARY1_ss3b", {"LIST1"}, {11, 12, 13, 14, 15, 16}, {"LIST1"});
    panel.BindControls();
    if (r.checked) SetControlFlag(form[r.checked], kStateSelected, 1);
    panel.Refresh();
    std::vector<intptr_t> listed;
    for (Control* row = ListNextRow(panel.list, nullptr); row; row = ListNextRow(panel.list, row))
      listed.push_back(ListRowValue(row));
    EXPECT_EQ(listed, r.listed) << r.checked;
  }
}

TEST(ResearchTime, SlowResearchIsUnknown) {
  struct Row {
    float cost, rate;
    const char* text;
    bool unknown;
  };
  const Row rows[] = {{30.0f, 0.005f, "UNKNOWN", true}, {30.0f, 2.0f, "15 Days", false}, {30.0f, 0.0f, "UNKNOWN", true}};
  for (const Row& r : rows) {
    const ResearchTimeText t = ResearchTime(r.cost, r.rate);
    EXPECT_STREQ(t.text, r.text) << r.rate;
    EXPECT_EQ(t.unknown, r.unknown) << r.rate;
  }
}

// A research centre's year is a year of what the day charges for running
// it: a class priced 448 a build day at a price scale of 1, strength 1, GDP
// 1,000 a head. The staff's pay and the running rate are charged for
// nothing, so they count for nothing.
TEST(ResearchCentreCost, AYearOfTheDaysRunningCharge) {
  auto world = std::make_unique<World>();
  world->mapHeader.scaleSquared = 1.0f;
  UnitClassRecord cls{};
  cls.price = 448.0f;
  cls.valuePerPoint = 10;
  UnitRecord centre{};
  centre.strength = centre.targetStrength = 1.0f;
  auto owner = std::make_unique<PlayerRecord>();
  owner->gdpPerCapita = 1000.0f;
  owner->costFactor = 0.01f;
  const struct { uint32_t flags; float days; uint32_t posture, state; float cost; } rows[] = {
      {kClassSettlement, 1.0f, 0, 0, 730.0f},                                // 2 a day working
      {kClassProduction, 1.0f, kPostureInReserve, 0, 273.75f},              // 0.75 a day idle
      {kClassSettlement, 1.0f, kPostureInReserve, kStatePausedBuild, 0.0f},  // mothballed
      {kClassSettlement, 0.0f, 0, 0, 0.0f},                                  // no build time
      {0, 1.0f, 0, 0, 0.0f},  // neither a settlement nor a production facility
  };
  for (const auto& r : rows) {
    cls.flags = r.flags;
    cls.buildWorkPerPoint = r.days;
    centre.ordersShown[kPostureBits] = r.posture;
    centre.ordersShown[kStateFlags] = r.state;
    const float cost = CentreYearlyCost(*world, centre, cls, *owner);
    EXPECT_NEAR(cost, r.cost, 0.01f) << r.flags << " " << r.days << " " << r.posture << " " << r.state;
  }
}

TEST_F(ResearchTest, TheTechnologySheetRatesDescribesAndWalksEachItemOnce) {
  const struct { int32_t rating, index; } opinions[] = {{-10000, 0}, {0, 2}, {8000, 4}};
  for (const auto& o : opinions) EXPECT_EQ(OpinionIndex(o.rating), o.index) << o.rating;
  OwnedText effect = std::move(g_ruleTables.techTreeEffects.entries[3].name);
  g_ruleTables.techTreeEffects.entries[3].name.reset(strdup("Morale"));
  EXPECT_EQ(TechEffectLine(3, -5), "Morale -5 %");
  EXPECT_EQ(TechEffectLine(0, 7), "");
  g_ruleTables.techTreeEffects.entries[3].name = std::move(effect);
  UnitClassRecord land{};
  land.strengthPerSize = 10, land.buildWorkPerPoint = 2.0f;
  EXPECT_EQ(FormatDuration(DesignResearchPoints(land)), "63 Days");

  // 5 needs 3 and 4, both of which need 2; 2 is known. Then 6 and 7 need
  // each other.
  auto& t = g_world.techs;
  t[5].prerequisites[0] = 3, t[5].prerequisites[1] = 4;
  t[3].prerequisites[0] = 2, t[4].prerequisites[0] = 2;
  t[6].prerequisites[0] = 7, t[7].prerequisites[0] = 6;
  for (int i = 2; i < kTechs; ++i) t[static_cast<size_t>(i)].name.assign(std::to_string(i));
  Tech(2).known = 1;
  std::vector<std::pair<int32_t, bool>> rows;
  for (const TechTreeRow& r : PrerequisiteRows(g_world, kLocal, 5, kProjectTechnology)) rows.push_back({r.index, r.unknown});
  EXPECT_EQ(rows, (std::vector<std::pair<int32_t, bool>>{{3, true}, {2, false}, {4, true}}));
  EXPECT_EQ(PrerequisiteRows(g_world, kLocal, 6, kProjectTechnology).size(), 2u);
  EXPECT_EQ(DependentTechRows(g_world, kLocal, 6).size(), 1u);
  g_world.unitClasses[4].name[0] = 'T', g_world.unitClasses[4].requiredTechs[0] = 7;
  g_world.unitClasses[4].availability = Local().classMask = 1;
  EXPECT_EQ(DependentDesignRows(g_world, kLocal, 6).size(), 1u);

  // A project id names its item until the project goes.
  const uint32_t id = Project(kProjectTechnology, 5, kProjectPursued)->id;
  EXPECT_EQ(DecodeTechParameter(g_world, id).index, 5);
  EXPECT_EQ(DecodeTechParameter(g_world, -4).kind, kProjectDesign);
  projects_.clear();
  EXPECT_EQ(DecodeTechParameter(g_world, id).kind, 0);
  TechPopup& popup = g_screens.techPopup;
  const GlobalGuard<intptr_t> popupId(popup.id);
  const GlobalGuard<TechItem> item(popup.item, TechItem{kProjectTechnology, 5, 0});
  popup.Popup(id, nullptr);
  EXPECT_EQ(popup.item.kind, 0);
}

// The sheet names a technology's category (as its negative) or a design's
// role in the class row at CLASSPAR.
TEST_F(ResearchTest, TheSheetShowsItsClassRowInClassPar) {
  EXPECT_NE(dynamic_cast<UnitClassRow*>(g_screens.techPopup.classRow), nullptr);
  g_world.techs[5].category = 3;
  g_world.unitClasses[4].typeByte = 7;
  const struct { intptr_t parameter, row; } rows[] = {{5, -3}, {-4, 7}};
  TechPopup& popup = g_screens.techPopup;
  const GlobalGuard<Control*> form0(popup.form), current(popup.currentForm);
  const GlobalGuard<intptr_t> popupId(popup.id);
  const GlobalGuard<TechItem> item(popup.item);
  const GlobalGuard<TextBoxControl*> description(popup.description, nullptr);
  TestForm form(popup, "POPUP_TECH", {"CLASSPAR"}, {}, {"CLASSPAR"});
  Screen classRow("MILITARY_CLASS");
  const GlobalGuard<Screen*> row(popup.classRow, &classRow);
  for (const auto& r : rows) {
    SetHidden(form["CLASSPAR"], true);
    popup.id = r.parameter;
    popup.OnOpen();
    EXPECT_EQ(classRow.id, r.row) << r.parameter;
    EXPECT_EQ(classRow.host, form["CLASSPAR"]);
    EXPECT_FALSE(form["CLASSPAR"]->Hidden()) << r.parameter;
  }
}

// A design's sheet opens the class behind it: a stock class in the missile
// pop-up, any other in the unit build pop-up, as the player's VIEWUNIT press
// asks. Only the stock bit of the class word decides.
TEST_F(ResearchTest, ViewUnitOpensTheMissileSheetForAStockClassOnly) {
  ScreenSet& s = g_screens;
  TechPopup& popup = s.techPopup;
  const GlobalGuard<Control*> form0(popup.form), current(popup.currentForm);
  const GlobalGuard<TechItem> item(popup.item);
  const GlobalGuard<intptr_t> missileId(s.missileDesignView.id), buildId(s.unitBuild.id);
  const GlobalGuard<int32_t> missileClass(s.missileDesignView.classIndex), buildClass(s.unitBuild.classIndex);
  // The sheets each pop-up shows on opening.
  const GlobalGuard<intptr_t> sheet(s.unitClassSheet.id), stats(s.unitClassStats.id), extra(s.unitExtraFill.id),
      missileExtra(s.missileExtraFill.id), missileSheet(s.missileClassPanels[0].id), missileStats(s.missileClassStats[0].id);
  const GlobalGuard<int32_t> statsClass(s.unitClassStats.classIndex), missileStatsClass(s.missileClassStats[0].classIndex);
  TestForm form(popup, "POPUP_TECH", {"VIEWUNIT"});
  struct Row {
    uint32_t flags;
    bool missile;
  };
  const Row rows[] = {{kClassStock, true},
                      {kClassStock | kClassSpecialWeaponA, true},
                      {kClassFacility, false},
                      {kClassStock << 1, false},
                      {0, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.flags);
    g_world.unitClasses[3].flags = r.flags;
    popup.item = TechItem{kProjectDesign, 3, 0};
    s.missileDesignView.id = s.unitBuild.id = -1;
    popup.OnCommand(form["VIEWUNIT"], 0);
    EXPECT_EQ(s.missileDesignView.id, r.missile ? 3 : -1);
    EXPECT_EQ(s.unitBuild.id, r.missile ? -1 : 3);
  }
}

}  // namespace
