// The intelligence panel's region list and the region pages' header; the
// budget bar's post.
#include <gtest/gtest.h>

#include <bit>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "records/command_ids.h"
#include "records/player_kinds.h"
#include "records/player_record.h"
#include "screens/common/local_region_fixture.h"
#include "screens/common/military_test_support.h"
#include "screens/military/operations/intel_region_panels.h"
#include "screens/military/operations/intelligence_panel.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "ui/list_control.h"
#include "ui/slide_bar.h"
#include "world/world.h"

namespace {

using militarytest::TestSheet;
using militarytest::TextPatch;

constexpr int kLocal = 1;

TEST(IntelligencePanelTest, ListsOtherLedRegionsAndRetargetsTheRegionPages) {
  const GlobalGuard<GameState> state(g_world.gameState);
  const GlobalGuard<PlayerRecord> p0(g_world.players[0]), p1(g_world.players[1]), p2(g_world.players[2]),
      p3(g_world.players[3]), p4(g_world.players[4]);
  g_world.gameState.localPlayer = kLocal;
  g_world.gameState.highestPlayer = 4;
  const int kinds[5] = {kKindWorld, kKindHuman, kKindComputer, kKindHuman, kKindOut};
  for (int p = 0; p < 5; ++p) {
    g_world.players[p].kind = kinds[p];
    g_world.players[p].number = static_cast<uint8_t>(p);
  }
  TestSheet sheet;
  for (const char* tag : {"DESTABBUT", "INTELBUT", "COVERTBUT", "REVIEW", "TACTIVE"}) sheet.Add(tag);
  IntelligencePanel panel;
  panel.currentForm = sheet.root;
  std::unique_ptr<ListBoxControl> list(ListBoxConstruct(0, 0, 100, 100, 0, 1, &panel));
  panel.list = list.get();
  panel.Refresh();
  std::vector<int32_t> rows;
  for (Control* r = ListNextRow(list.get(), nullptr); r; r = ListNextRow(list.get(), r)) rows.push_back(r->id);
  EXPECT_EQ(rows, (std::vector<int32_t>{2, 3}));
  EXPECT_TRUE(sheet.Find("REVIEW")->Hidden());
  EXPECT_EQ(sheet.Text("TACTIVE"), "0");
  ScreenSet& s = g_screens;
  Screen* pages[] = {s.covertFunding.get(), s.intelResources.get(), s.agentBio.get()};
  std::vector<intptr_t> before;
  for (Screen* page : pages) before.push_back(page->id);
  ListSetSelection(0, list.get(), 3, 0);
  for (const char* tag : {"DESTABBUT", "INTELBUT", "COVERTBUT", "REVIEW"}) EXPECT_FALSE(sheet.Find(tag)->Hidden()) << tag;
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(pages[i]->id, 3) << i;
    pages[i]->id = before[i];
  }
  panel.list = nullptr;
  panel.currentForm = nullptr;
}

TEST(IntelligencePanelTest, TheHeaderShowsTheRelationAndIsEmptyOutsideTheTable) {
  TextPatch words;
  for (int i = 0; i < 4; ++i) words.Set(kListDiprel, i, "rel" + std::to_string(i));
  PlayerRecord viewer{};
  viewer.number = kLocal;
  viewer.displayPolicy.friendlyMask = 1u << 2;
  viewer.displayPolicy.hostileMask = 1u << 5;
  TestSheet sheet;
  sheet.Texts({"REGION", "FLAG", "STATUS"});
  struct Row { intptr_t region; const char* status; bool pressed; };
  const Row rows[] = {{5, "rel3", true}, {2, "rel1", false}, {7, "rel2", false}, {kLocal, "rel0", false},
                      {0, "", false},    {32, "", false}};
  for (const Row& r : rows) {
    FillRegionHeader(sheet.root, viewer, r.region);
    EXPECT_EQ(sheet.Text("STATUS"), r.status) << r.region;
    EXPECT_EQ(sheet.Find("STATUS")->Selected(), r.pressed) << r.region;
    if (r.region == 0 || r.region == 32) {
      EXPECT_EQ(sheet.Text("REGION"), "") << r.region;
    }
  }
}

using IntelBudgetTest = militarytest::LocalRegionTest<kLocal, 0>;

TEST_F(IntelBudgetTest, TheBudgetBarAtItsTopPostsTwice) {
  g_world.players[kLocal].intelBaseCost = 100000.0f;
  TestSheet sheet;
  sheet.Texts({"RECBUDGET", "CURBUDGET"});
  auto* bar = sheet.Add<SlideBarControl>("BUDGETSLDR");
  IntelBudgetPanel panel;
  panel.currentForm = sheet.root;
  SliderSetMaxFloat(bar, 2.0f);
  SliderSetValueFloat(bar, 2.0f);
  panel.OnControlChange(bar, 0);
  panel.currentForm = nullptr;
  EXPECT_EQ(militarytest::TakePosted(), (militarytest::Posted{{kCmdMilSpendIntel, 0u, 0x40000000u}}));
  EXPECT_EQ(sheet.Text("RECBUDGET"), "$ 100,000");
  EXPECT_EQ(sheet.Text("CURBUDGET"), "$ 200,000");
}

}  // namespace
