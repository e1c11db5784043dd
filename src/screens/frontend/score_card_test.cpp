// The score card: its page cycle, the two halves of the regions, the
// overview's figures and trends, and the campaign page of a first scenario.
#include "screens/frontend/score_card.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/scenario_settings.h"
#include "world/world.h"

namespace {

constexpr int32_t kLocal = 1;

// The row screens the card shows into its cells: their host and id are
// put back after each test.
std::vector<Screen*> RowScreens() {
  ScreenSet& s = g_screens;
  std::vector<Screen*> all{&s.scoreCardOverviewHeader, &s.scoreCardScoresHeader, &s.scoreCardMilitaryHeader, &s.scoreCardPollsHeader,
                           &s.scoreCardWarHeader, &s.scoreCardTotalsLabel, s.scoreCardTotals.get()};
  for (int i = 0; i < kScoreCardRows; ++i)
    for (Screen* row : std::initializer_list<Screen*>{&s.scoreCardRegions[i], &s.scoreCardScenario[i], &s.scoreCardOverview[i],
                                                      &s.scoreCardScores[i], &s.scoreCardMilitary[i], &s.scoreCardPolls[i],
                                                      &s.scoreCardWar[i]})
      all.push_back(row);
  return all;
}

using TestForm = controltest::PanelForm;

std::vector<int32_t> CellIds() {
  std::vector<int32_t> ids;
  for (int32_t i = 0; i < kScoreCardHalfRows; ++i) ids.push_back(kScoreLeftCells + i), ids.push_back(kScorePageCells + i);
  return ids;
}

class ScoreCardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (Screen* s : RowScreens()) kept_.emplace_back(s->host, s->id);
    for (PlayerRecord& p : g_world.players) p.kind = 0;
    g_world.gameState.localPlayer = kLocal;
    g_world.scenario.head.svictorycond = 0;
    g_world.scenario.head.gameFlags = 0;
    g_world.snapshotTable.clear();
  }
  void TearDown() override {
    size_t i = 0;
    for (Screen* s : RowScreens()) std::tie(s->host, s->id) = kept_[i++];
  }
  static void Regions(std::initializer_list<int> players) {
    for (int p : players) g_world.players[p].kind = 3;
  }

  std::vector<std::pair<Control*, intptr_t>> kept_;
  GlobalGuard<PlayerRecord[kMaxPlayers]> players_{g_world.players};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<ScenarioHead> head_{g_world.scenario.head};
  GlobalGuard<MapHeader> map_{g_world.mapHeader};
  GlobalGuard<std::vector<PlayerRecord>> snapshots_{g_world.snapshotTable};
};

// Page 4 needs victory condition 3, page 5 a campaign.
TEST(ScoreCardPaging, NextAndPreviousSkipThePagesAScenarioLacks) {
  const struct {
    ScoreCardPages pages;
    std::vector<int32_t> next, previous;  // from page 1 on
  } rows[] = {
      {{false, false}, {2, 3, 1}, {3, 2, 1, 3}},
      {{true, true}, {2, 3, 4, 5, 1}, {5, 4, 3, 2, 1}},
      {{true, false}, {2, 3, 4, 1}, {4, 3, 2, 1}},
      {{false, true}, {2, 3, 5, 1}, {5, 3, 2, 1}},
  };
  for (const auto& r : rows) {
    std::vector<int32_t> next, previous;
    for (int32_t page = 1; next.size() < r.next.size();) next.push_back(page = NextScoreCardPage(page, r.pages));
    for (int32_t page = 1; previous.size() < r.previous.size();)
      previous.push_back(page = PreviousScoreCardPage(page, r.pages));
    EXPECT_EQ(next, r.next) << r.pages.polls << r.pages.campaign;
    EXPECT_EQ(previous, r.previous) << r.pages.polls << r.pages.campaign;
  }
}

// Sixteen regions fit one half; a seventeenth shows PAGEDOWN, and the
// second half lists it in row 0. A player slot of kind 0 takes no row.
TEST_F(ScoreCardTest, SeventeenRegionsTakeASecondHalf) {
  ScoreCard card;
  TestForm form(card, "SCORECARD1", {"SCOREHDR", "PAGEUP", "PAGEDOWN"}, CellIds());
  const struct {
    int regions;
    bool gap;  // player 5 is an empty slot
    int32_t half;
    bool pageUp, pageDown;
    int32_t row0;
    int rows;
  } rows[] = {
      {16, false, 0, false, false, 1, 16},
      {17, false, 0, false, true, 1, 16},
      {17, false, 1, true, false, 17, 1},
      {18, true, 1, true, false, 18, 1},
  };
  for (const auto& r : rows) {
    for (int p = 1; p < kMaxPlayers; ++p) g_world.players[p].kind = p <= r.regions && !(r.gap && p == 5) ? 3 : 0;
    card.page = kScoreOverview;
    card.half = r.half;
    card.OnOpen();
    EXPECT_EQ(!form["PAGEUP"]->Hidden(), r.pageUp) << r.regions << " " << r.half;
    EXPECT_EQ(!form["PAGEDOWN"]->Hidden(), r.pageDown) << r.regions << " " << r.half;
    const Screen& first = g_screens.scoreCardRegions[static_cast<size_t>(r.row0)];
    EXPECT_EQ(first.host, form[kScoreLeftCells]) << r.regions << " " << r.half;
    EXPECT_EQ(first.id, r.row0);
    EXPECT_EQ(g_screens.scoreCardOverview[static_cast<size_t>(r.row0)].host, form[kScorePageCells]);
    int shown = 0;
    for (int32_t i = 0; i < kScoreCardHalfRows; ++i) shown += !form[kScoreLeftCells + i]->Hidden();
    EXPECT_EQ(shown, r.rows) << r.regions << " " << r.half;
  }
}

// The W key keeps the last page (the first at the first opening); an
// embedded card leaves the result screen's host before it opens.
TEST_F(ScoreCardTest, ActivateKeepsThePageAndLeavesAnEmbeddingHost) {
  Regions({kLocal});
  const struct {
    intptr_t asked;
    int32_t before, after;
  } rows[] = {{kKeepScreenId, 0, 1}, {kKeepScreenId, 3, 3}, {2, 3, 2}};
  for (const auto& r : rows) {
    ScoreCard card;
    TestForm form(card, "SCORECARD1", {"SCOREHDR", "PAGEUP", "PAGEDOWN"}, CellIds());
    auto* host = new Control(controltest::Init("VICTORYHOST", nullptr, 0, 0, 800, 600));
    ControlAddChild(host, form.root);
    card.page = r.before;
    ScoreCardActivate(card, r.asked, nullptr);
    EXPECT_EQ(card.page, r.after) << r.before;
    EXPECT_NE(form.root->parent, host) << r.before;
    if (form.root->parent && IsPopupFrame(form.root->parent)) ClosePopupForm(g_ui, form.root, 1, 0);
    if (form.root->parent == host) form.root->Unlink();
    delete host;
  }
}

TEST(ScoreCardTrend, AnUnchangedFigureHidesItsArrow) {
  const struct {
    double value, previous;
    bool hidden, up;
  } rows[] = {{5, 5, true, false}, {6, 5, false, true}, {4, 5, false, false}, {-1, 0, false, false}};
  for (const auto& r : rows) {
    Control arrow(controltest::Init("TARROW", nullptr, 0, 0, 8, 8));
    SetControlFlag(&arrow, kStateSelected, 1);
    ShowTrendArrow(&arrow, r.value, r.previous);
    EXPECT_EQ(arrow.Hidden(), r.hidden) << r.value << " " << r.previous;
    EXPECT_EQ(arrow.Selected(), r.up) << r.value << " " << r.previous;
  }
}

// Area = hexes x size x size: 100 hexes of 20 are 40,000.
TEST_F(ScoreCardTest, TheOverviewShowsMoneyPeopleAndArea) {
  Regions({kLocal, 2});
  const struct {
    int32_t hexes, yesterdayHexes;
    uint32_t size;
    float treasury;
    const char* area;
    bool treasuryRed, landArrow;
  } rows[] = {
      {100, 100, 20, 1500.0f, "40,000", false, false},
      {3, 2, 1, -20.0f, "3", true, true},
      {0, 1, 20, 0.0f, "0", false, true},
  };
  ScoreCardOverview row;
  TestForm form(row, "SCORECARD1_SS2a", {"TREASURY", "POPULATION", "SIZE", "LARROW", "AARROW", "CHAT"});
  for (const auto& r : rows) {
    PlayerRecord& p = g_world.players[2];
    p.hexCount = r.hexes, p.yesterdayHexCount = r.yesterdayHexes, p.treasury = r.treasury;
    p.population = 2500000.0f;
    g_world.mapHeader.hexScale = r.size;
    row.id = 2;
    row.Refresh();
    EXPECT_EQ(form["SIZE"]->text, r.area) << r.hexes;
    EXPECT_EQ(form["POPULATION"]->text, "2,500,000");
    EXPECT_EQ(form["TREASURY"]->Selected(), r.treasuryRed) << r.treasury;
    EXPECT_EQ(!form["LARROW"]->Hidden(), r.landArrow) << r.hexes;
    EXPECT_TRUE(form["AARROW"]->Hidden());  // approval unchanged
    EXPECT_TRUE(form["CHAT"]->Hidden());    // a computer region is no chat partner
  }
}

// The first scenario of a campaign: one row, the live record, with no
// result; then the totals row in the last place.
TEST_F(ScoreCardTest, AFirstCampaignScenarioListsTheLiveRecordWithoutAResult) {
  Regions({kLocal});
  g_world.scenario.head.gameFlags = kGameFlagCampaign;
  ScoreCard card;
  TestForm form(card, "SCORECARD1", {"SCOREHDR", "PAGEUP", "PAGEDOWN"}, CellIds());
  const struct {
    std::vector<const char*> finished;  // names of the snapshot records
    int rows;
  } rows[] = {{{}, 1}, {{"First", "Second"}, 3}, {{"First", "", "Third"}, 2}};
  for (const auto& r : rows) {
    g_world.snapshotTable.assign(r.finished.size(), PlayerRecord{});
    for (size_t i = 0; i < r.finished.size(); ++i)
      std::strncpy(g_world.snapshotTable[i].endScenarioName, r.finished[i], 19);
    card.page = kScoreCampaign;
    card.OnOpen();
    int shown = 0;
    for (int32_t i = 0; i < kCampaignRows; ++i) shown += !form[kScorePageCells + i]->Hidden();
    EXPECT_EQ(shown, r.rows) << r.finished.size();
    EXPECT_FALSE(form[kScorePageCells + kTotalsRow]->Hidden());
    EXPECT_TRUE(form["PAGEDOWN"]->Hidden());
    const auto live = reinterpret_cast<intptr_t>(&g_world.players[kLocal]);
    EXPECT_EQ(g_screens.scoreCardWar[static_cast<size_t>(r.rows - 1)].id, live);
  }
  ScoreCardWar war;
  TestForm warForm(war, "SCORECARD1_SS6a", {"WINLOST", "SCORE"});
  // The running game's own row has no result until the game is left for
  // the result screen.
  const struct {
    const PlayerRecord* record;
    int32_t mode;
    bool result;
  } records[] = {{&g_world.players[kLocal], kUiInGame, false},
                 {&g_world.players[kLocal], kUiFrontEnd, true},
                 {&g_world.snapshotTable[0], kUiInGame, true}};
  const GlobalGuard<int32_t> mode(g_ui.mode);
  for (const auto& r : records) {
    g_ui.mode = r.mode;
    war.id = reinterpret_cast<intptr_t>(r.record);
    war.Refresh();
    EXPECT_EQ(!warForm["WINLOST"]->Hidden(), r.result) << r.mode;
  }
}

}  // namespace
