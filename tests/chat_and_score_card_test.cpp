// The whole program on the sample scenario as Westholm: the command bar's
// chat button opens the chat line, a line typed there floats over the map,
// a status line rises above the dock, and the W key opens the score card
// with every region's treasury, population and area; a campaign step won
// shows the result screen whole.
#include <gtest/gtest.h>

#include <string>

#include "app/number_text.h"
#include "net/text_message.h"
#include "platform/fpenv.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "screens/common/frame/main_layout.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "sim/status_queue.h"
#include "support/control_layout.h"
#include "support/sample_game.h"
#include "ui/control.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/game_speed.h"
#include "world/region_figures.h"
#include "world/world.h"

namespace {

// The command bar's chat button.
constexpr int32_t kChatButton = 6;
// Frames the timer gets to poll the overlays (four polls a second).
constexpr int kFrames = 400;

bool HangsOverTheMap(const Screen& overlay) {
  return overlay.currentForm && overlay.currentForm->parent == g_ui.mapArea;
}

std::string FirstRowText(const ListBoxControl* list) {
  const Control* row = list ? ListNextRow(list, nullptr) : nullptr;
  return row ? row->text : std::string();
}

// Whether a row of the list reads the text: the game's own status lines may
// rise before or after the one a test adds.
bool HasRow(const ListBoxControl* list, const char* text) {
  for (const Control* row = list ? ListNextRow(list, nullptr) : nullptr; row; row = ListNextRow(list, row))
    if (row->text == text) return true;
  return false;
}

void PumpUntil(bool (*done)()) {
  for (int i = 0; i < kFrames && !done(); ++i) SampleGame::Pump();
}

void Type(const char* text) {
  for (const char* c = text; *c; ++c)
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmChar, static_cast<unsigned char>(*c), 0);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmChar, 13, 0);
  SampleGame::Pump();
}

TEST(SampleChatAndScoreCard, ChatAndStatusLinesFloatOverTheMapAndWShowsTheScoreCard) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  EXPECT_NE(s.chatMap.pollRegistration, nullptr);
  EXPECT_NE(s.statMap.pollRegistration, nullptr);

  SampleGame::ClickControl(FormFindControlById(s.speedBar.currentForm, kChatButton));
  ASSERT_NE(s.chat.currentForm, nullptr);
  EXPECT_NE(s.chat.currentForm->parent, nullptr) << "the chat line is open";
  EXPECT_EQ(g_controls.edit, s.chat.message) << "and takes the typing";
  Type("hello all");
  PumpUntil([] { return HangsOverTheMap(g_screens.chatMap); });
  ASSERT_TRUE(HangsOverTheMap(s.chatMap));
  EXPECT_NE(FirstRowText(s.chatMap.list).find("(All) hello all"), std::string::npos) << FirstRowText(s.chatMap.list);

  {
    plat::CriticalSectionLock lock(g_simulationLock);
    AppendStatusLine(g_world, "Frontier quiet", g_world.gameState.currentTick, 50);
  }
  PumpUntil([] { return HangsOverTheMap(g_screens.statMap) && HasRow(g_screens.statMap.list, "Frontier quiet"); });
  ASSERT_TRUE(HangsOverTheMap(s.statMap));
  EXPECT_TRUE(HasRow(s.statMap.list, "Frontier quiet")) << FirstRowText(s.statMap.list);
  const plat::Rect lines = ControlAbsoluteRect(s.statMap.currentForm);
  const plat::Rect dock = ControlAbsoluteRect(g_ui.bottomBar);
  EXPECT_LE(lines.bottom, dock.top) << "the status lines stand above the dock";
  EXPECT_GT(lines.bottom, lines.top);

  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyDown, 'W', 0);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyUp, 'W', 0);
  SampleGame::Pump();
  ASSERT_NE(s.scoreCard.currentForm, nullptr);
  EXPECT_NE(s.scoreCard.currentForm->parent, nullptr) << "the score card is open";
  EXPECT_EQ(s.scoreCard.page, 1);
  plat::CriticalSectionLock lock(g_simulationLock);
  int rows = 0;
  for (int32_t p = 1; p < kMaxPlayers && rows < 16; ++p) {
    const PlayerRecord& r = g_world.players[p];
    if (r.kind == 0) continue;
    const ScoreCardOverview& row = s.scoreCardOverview[static_cast<size_t>(p)];
    ASSERT_NE(row.currentForm, nullptr);
    EXPECT_EQ(row.host, FormFindControlById(s.scoreCard.currentForm, kScorePageCells + rows)) << p;
    // The region's cell: its name and its player's read whole, and nothing
    // is cut under its flag.
    EXPECT_EQ(TextsReadWhole(s.scoreCardRegions[static_cast<size_t>(p)].currentForm, "region cell"), 2) << p;
    char text[kNumberTextSize];
    EXPECT_EQ(FormFindControlByTag(row.currentForm, "TREASURY")->text,
              FormatNumberText(text, 0, 0, "", 0, "", 0, r.treasury)) << p;
    EXPECT_EQ(FormFindControlByTag(row.currentForm, "POPULATION")->text,
              FormatNumberText(text, 0, 0, "", 0, "", 0, r.population)) << p;
    const double size = g_world.mapHeader.hexScale;
    EXPECT_EQ(FormFindControlByTag(row.currentForm, "SIZE")->text,
              FormatNumberText(text, 0, 0, "", 0, "", 0, r.hexCount * size * size)) << p;
    ++rows;
  }
  EXPECT_GT(rows, 1);
}

}  // namespace

namespace {

// Pumps the program at speed 4 until the pop-up that ends the game shows.
bool PlayUntilShown(Screen& screen) {
  SetGameSpeed(g_world.gameState, 4);
  for (int i = 0; i < 20000 && !(screen.currentForm && screen.currentForm->parent); ++i) SampleGame::Pump();
  return screen.currentForm && screen.currentForm->parent;
}

bool Inside(const plat::Rect& outer, const plat::Rect& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// The campaign's first step held to its end as Westholm, with support for
// the third government form but not the fourth: the result screen stands
// whole on the screen, every text it writes reads whole and apart from its
// neighbours (the notes on refused forms included), the region's own row
// on the campaign page says how the step ended, and the score card's paging
// stays inside its place.
TEST(SampleChatAndScoreCard, TheResultScreenShowsItsWordsWholeOnTheScreen) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start("Westholm", "Straits1"));
  ScreenSet& s = g_screens;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    PlayerRecord& region = g_world.players[g_world.gameState.localPlayer];
    reinterpret_cast<uint8_t*>(&region)[kRegionGovtypeApproveAt + 2] = 90;
    reinterpret_cast<uint8_t*>(&region)[kRegionGovtypeApproveAt + 3] = 0;
    region.approval = 0.5f;
    region.secondRating = 0.5f;
    g_world.gameState.endDay = g_world.gameState.currentDay;
  }
  ASSERT_TRUE(PlayUntilShown(*s.endGamePreview)) << "holding out wins";
  SampleGame::ClickControl(FormFindControlByTag(s.endGamePreview->currentForm, "MENUBUT"));
  ASSERT_TRUE(s.victory.currentForm && s.victory.currentForm->parent);
  Control* victory = s.victory.currentForm;
  const plat::Rect screen{0, 0, ClientWidth(), ClientHeight()};
  EXPECT_TRUE(Inside(screen, ControlAbsoluteRect(victory)));
  VictoryContinue& next = s.victory.continuation;
  ASSERT_TRUE(ShownInTree(FormFindControlById(next.currentForm, 24))) << "the fourth form is refused";
  EXPECT_FALSE(ShownInTree(FormFindControlById(next.currentForm, 23))) << "the third is not";
  EXPECT_GT(TextsReadWhole(victory, "result screen"), 10);
  TextsApart(victory, "result screen");
  // Every shown control stands inside the screen and inside its parent.
  ControlTreeForEach(victory, kAnyDepth, 0, [&](Control* c) {
    if (!ShownInTree(c) || c == victory) return;
    const plat::Rect r = ControlAbsoluteRect(c);
    if (r.right <= r.left || r.bottom <= r.top) return;
    EXPECT_TRUE(Inside(screen, r)) << TagOf(c);
    EXPECT_TRUE(Inside(ControlAbsoluteRect(c->parent), r)) << TagOf(c) << " in " << TagOf(c->parent);
  });
  // The finished step's row tells how it ended.
  const Control* result = FormFindControlByTag(s.scoreCardWar[0].currentForm, "WINLOST");
  ASSERT_NE(result, nullptr);
  EXPECT_TRUE(ShownInTree(result));
  EXPECT_EQ(static_cast<const StringControl*>(result)->text, "Won");
  SampleGame::ClickControl(FormFindControlByTag(next.currentForm, "MENU"));
  EXPECT_TRUE(s.startMenu.currentForm && s.startMenu.currentForm->parent);
}

}  // namespace
