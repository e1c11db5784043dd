// The unit build pop-up over a small world: which panel a design gets, the
// research figures, BEGIN and the player's own design marks.
#include "screens/military/production/unit_build_popup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/common/local_region_fixture.h"
#include "screens/common/military_test_support.h"
#include "sim/command_log.h"
#include "sim/daily/research_fields.h"
#include "sim/sim_ui_link.h"
#include "support/global_guard.h"
#include "ui/control_bits.h"
#include "ui/screen_manager.h"
#include "world/data_tables.h"
#include "world/list_items.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

using militarytest::TestSheet;

constexpr int kLocal = 1;
constexpr int32_t kTanks = 3;
constexpr int32_t kClasses = 6;

class UnitBuildPopupTest : public militarytest::LocalRegionTest<kLocal, kClasses> {
 protected:
  void SetUp() override {
    LocalRegionTest::SetUp();
    World& w = g_world;
    w.gameState.designRowBytes = kClasses;
    w.gameState.techCount = 0;
    w.designRows.assign(32 * kClasses, 0);
    w.players[kLocal] = PlayerRecord{};
    w.players[kLocal].techLevel = 5.0f;
    w.players[kLocal].classMask = 0x4;
    UnitClassRecord& c = w.unitClasses[kTanks];
    std::strncpy(c.name, "Tanks", sizeof c.name - 1);
    c.level = 3;
    c.availability = 0x6;
  }
  void TearDown() override {
    ListNode& head = g_world.projectLists[kLocal];
    while (head.next() && head.next() != &head) DeleteZeroed(static_cast<ProjectEntry*>(head.next()));
    LocalRegionTest::TearDown();
  }
  static uint8_t& Bits() { return g_world.designRows[kLocal * kClasses + kTanks]; }
  static std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>> Log() {
    std::vector<std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>> out;
    for (const GameCommand& c : g_commandLog.Entries()) out.emplace_back(c.id, c.arg28, c.arg32, c.arg36);
    return out;
  }

  GlobalGuard<std::vector<uint8_t>> rows_{g_world.designRows};
};

TEST_F(UnitBuildPopupTest, PanelFollowsTheDesignState) {
  const struct {
    const char* what;
    uint8_t bits;
    uint32_t flags;
    uint8_t obsoleteLevel;
    uint32_t regions;
    int player;
    DesignPanel panel;
  } rows[] = {
      {"available", kDesignAvailable, 0, 0, 0x6, kLocal, DesignPanel::kBuildSite},
      {"available though past its levels", kDesignAvailable, 0, 2, 0x1, kLocal, DesignPanel::kBuildSite},
      {"under research", kRowProjectOpen, 0, 0, 0x6, kLocal, DesignPanel::kResearch},
      {"researchable", 0, 0, 0, 0x6, kLocal, DesignPanel::kResearch},
      {"within the top level", 0, 0, 5, 0x6, kLocal, DesignPanel::kResearch},
      {"a facility", 0, kClassFacility, 0, 0x6, kLocal, DesignPanel::kNone},
      {"above the top level", 0, 0, 4, 0x6, kLocal, DesignPanel::kNone},
      {"outside the regions", 0, 0, 0, 0x1, kLocal, DesignPanel::kNone},
      {"barred from research", 0, 1u << 31, 0, 0x6, kLocal, DesignPanel::kNone},
      {"no player: below its level", 0, 0, 0, 0x6, -1, DesignPanel::kNone},
  };
  for (const auto& r : rows) {
    UnitClassRecord& c = g_world.unitClasses[kTanks];
    c.flags = r.flags, c.buildThreshold = r.obsoleteLevel, c.availability = r.regions;
    Bits() = r.bits;
    EXPECT_EQ(ChooseDesignPanel(g_world, r.player, kTanks), r.panel) << r.what;
  }
}

TEST_F(UnitBuildPopupTest, ResearchPanelShowsCostTimeAndState) {
  const struct {
    uint8_t domain;
    float rate;
    float weight;
    uint8_t bits;
    const char *cost, *time;
    bool unknown, header;
  } rows[] = {
      {1, 0.5f, 5.0f, 0, "$ 2,001", "204 Days", false, false},
      {1, 0.0f, 5.0f, kRowProjectOpen, "$ 2,001", "UNKNOWN", true, true},
      // 0.5 a day for (10 x 39.5 + 1) x 1 = 396: 792 days.
      {3, 0.5f, 39.5f, 0, "$ 1,000", "2.2 Years", false, false},
  };
  for (const auto& r : rows) {
    UnitClassRecord& c = g_world.unitClasses[kTanks];
    c.strengthPerSize = 10, c.costPerElement = 100.0f, c.buildWorkPerPoint = r.weight, c.kind = r.domain;
    SetRecordF32(g_world.players[kLocal], kResearchSpentToday, r.rate);
    Bits() = r.bits;
    TestSheet sheet;
    sheet.Texts({"COST", "RESTIME", "RUNITNAME", "HEADER1", "TECH1", "TECH2"});
    UnitResearchPanel panel("TESTFORM");
    panel.currentForm = sheet.root;
    panel.id = kTanks;
    panel.Refresh();
    EXPECT_EQ(sheet.Text("COST"), r.cost) << r.domain;
    EXPECT_EQ(sheet.Text("RESTIME"), r.time) << r.rate;
    EXPECT_EQ(sheet.Find("RESTIME")->Selected(), r.unknown) << r.rate;
    EXPECT_EQ(sheet.Find("HEADER1")->Selected(), r.header) << int{r.bits};
    EXPECT_EQ(sheet.Text("TECH1"), "None");
    EXPECT_TRUE(sheet.Find("TECH2")->Hidden());
    panel.currentForm = nullptr;
  }
}

TEST_F(UnitBuildPopupTest, BeginAsksForTheDesignOnlyForALocalPlayer) {
  const struct {
    int local;
    size_t posted;
  } rows[] = {{kLocal, 1}, {-1, 0}};
  for (const auto& r : rows) {
    g_world.gameState.localPlayer = r.local;
    TestSheet sheet;
    Control* begin = sheet.Add("BEGIN");
    UnitResearchPanel panel("TESTFORM");
    panel.id = kTanks;
    panel.OnCommand(begin, 0);
    const auto log = Log();
    ASSERT_EQ(log.size(), r.posted) << r.local;
    if (r.posted) {
      EXPECT_EQ(log[0], std::make_tuple(kCmdProjectCreate, uint32_t{kProjectDesign}, uint32_t{kTanks}, 0u));
      // The project the pop-up's project panel shows, and the research panel it keeps.
      EXPECT_NE(FindDesignProject(g_world, kLocal, kTanks), nullptr);
      EXPECT_EQ(ChooseDesignPanel(g_world, kLocal, kTanks), DesignPanel::kResearch);
    }
    g_commandLog.Clear();
  }
}

TEST_F(UnitBuildPopupTest, MarksAreWrittenOnlyForALocalPlayersKnownClass) {
  const struct {
    int local;
    intptr_t cls;
    uint8_t bits;
  } rows[] = {
      {kLocal, kTanks, kDesignFiltered | kDesignFavourite | kDesignAvailable},
      {-1, kTanks, kDesignAvailable},
      {kLocal, kClasses, kDesignAvailable},
  };
  for (const auto& r : rows) {
    g_world.gameState.localPlayer = r.local;
    Bits() = kDesignAvailable;
    TestSheet sheet;
    SetControlFlag(sheet.Add("FILTER"), kStateSelected, 1);
    SetControlFlag(sheet.Add("FAV"), kStateSelected, 1);
    UnitBuildFilterPanel panel;
    panel.currentForm = sheet.root;
    panel.id = r.cls;
    panel.OnCommand(sheet.Find("FAV"), 0);
    EXPECT_EQ(int{Bits()}, int{r.bits}) << r.local << " " << r.cls;
    panel.currentForm = nullptr;
  }
}

TEST_F(UnitBuildPopupTest, TypedQuantityKeepsToOneOrder) {
  const struct {
    const char* typed;
    int32_t quantity;
  } rows[] = {{"0", 1}, {"-3", 1}, {"4", 4}, {"40", 9}};
  for (const auto& r : rows) {
    TestSheet sheet;
    SetControlText(sheet.Add("QTY"), r.typed);
    UnitBuildSitePanel panel;
    panel.currentForm = sheet.root;
    panel.OnControlChange(sheet.Find("QTY"), 0);
    EXPECT_EQ(panel.state.quantity, r.quantity) << r.typed;
    panel.currentForm = nullptr;
  }
}

TEST_F(UnitBuildPopupTest, TheQueueRowHoldsResumesAndCancelsTheDesignsProject) {
  TestSheet sheet;
  sheet.Texts({"BEGIN", "HOLD", "UNPAUSE", "CANCEL"});
  UnitResearchPanel panel("TESTFORM");
  panel.id = kTanks;
  panel.currentForm = sheet.root;
  panel.OnCommand(sheet.Find("BEGIN"), 0);
  panel.Refresh();
  const uint32_t project = panel.projectId;
  ASSERT_NE(project, 0u) << "the refresh finds the design's project";
  using Posted = std::tuple<uint32_t, uint32_t, uint32_t, uint32_t>;
  const struct {
    const char* button;
    Posted want;
  } rows[] = {{"HOLD", {kCmdAvailabilityBit, project, kProjectHeld, 1u}},
              {"UNPAUSE", {kCmdAvailabilityBit, project, kProjectHeld, 0u}},
              {"CANCEL", {kCmdProjectClose, project, 0u, 0u}}};
  for (const auto& r : rows) {
    g_commandLog.Clear();
    panel.OnCommand(sheet.Find(r.button), 0);
    const auto log = Log();
    ASSERT_FALSE(log.empty()) << r.button;
    EXPECT_EQ(log[0], r.want) << r.button;
  }
  panel.currentForm = nullptr;
}

}  // namespace
