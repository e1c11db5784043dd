// The screens a player opens while the clock runs. Every other play test
// stops the clock before it clicks, so a screen that reads the world while
// the turn thread writes it shows only here; the thread sanitizer's run of
// the play tests (scripts/tsan.sh) names such a read. Without it this test
// still finds a screen that does not open, or a key that stops the days.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>

#include "platform/fpenv.h"
#include "platform/messages.h"
#include "screens/common/frame/main_layout.h"
#include "screens/frontend/game_menu.h"
#include "screens/screen_set.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "world/game_speed.h"
#include "world/world.h"

namespace {

// The title bar's speed boxes, pause first.
constexpr int32_t kTitleSpeedBox = 110;

uint32_t Today() { return std::atomic_ref<uint32_t>(g_world.gameState.currentDay).load(); }

// The key as the window delivers it with the modifiers held (plat::kKey
// bits).
void PressHeld(uint32_t key, plat::LParam held) {
  const plat::LParam bits = held ? plat::kKeyModifiersCarried | held : 0;
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyDown, key, bits);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyUp, key, bits);
  SampleGame::Pump();
}

// Shift+Page Down: the clock at top speed.
void PressShiftPageDown() { PressHeld(plat::kVkNext, plat::kKeyShiftHeld); }

int32_t Tier() { return GetGameSpeedTier(g_world.gameState); }

// Frames over the map with the pointer crossing it, as a player looking
// around would: hover reads the hex under the pointer every frame.
void LookAround() {
  const plat::Rect map = ControlAbsoluteRect(g_ui.mapArea);
  for (int i = 0; i < 6; ++i)
    SampleGame::Post(plat::kWmMouseMove, 0, map.left + (map.right - map.left) * (i + 1) / 8,
                     map.top + (map.bottom - map.top) * (i + 1) / 8);
  SampleGame::Pump();
  SampleGame::Pump();
}

TEST(RunningClockPlay, EveryDepartmentListAndTheMailboxOpenWhileTheDaysPass) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  ScreenSet& s = g_screens;
  const uint32_t firstDay = Today();
  // The title bar's fastest box runs the clock; the box lights, the
  // slower ones and the speed bar's other speeds do not.
  Control* title = s.titleBar->currentForm;
  ASSERT_NE(title, nullptr);
  const auto speedShown = [&](int32_t tier) {
    for (int32_t t = 0; t <= kTopSpeedTier; ++t) {
      EXPECT_EQ(FormFindControlById(title, kTitleSpeedBox + t)->Selected(), t == tier) << "title box " << t;
      EXPECT_EQ(FormFindControlById(s.speedBar.speeds, t + 1)->Selected(), t == tier) << "speed bar " << t;
    }
  };
  SampleGame::ClickControl(FormFindControlById(title, kTitleSpeedBox + kTopSpeedTier));
  SampleGame::Pump();
  EXPECT_EQ(GetGameSpeedTier(g_world.gameState), kTopSpeedTier);
  speedShown(kTopSpeedTier);

  // F3 to F9, but F7 (the production page has no page of its own to open),
  // each followed by F2, and then each of the command bar's buttons but
  // Orders (which wants a unit): the bar lights the panel open, and only
  // it.
  const auto litAlone = [&](int32_t panel) {
    for (int32_t button = 1; button <= 9; ++button)
      EXPECT_EQ(FormFindControlById(s.cmdBar.currentForm, button)->Selected(), button == panel) << "button " << button;
  };
  SampleGame::ClickControl(FormFindControlById(s.cmdBar.currentForm, 3));
  for (int32_t panel = 2; panel <= 8; ++panel) {
    if (panel == 6) continue;
    SCOPED_TRACE(panel);
    SampleGame::PressKey(plat::kVkF1 + static_cast<uint32_t>(panel));
    LookAround();
    const Screen& department = MainPanelScreen(s, panel);
    ASSERT_NE(department.currentForm, nullptr);
    EXPECT_NE(department.currentForm->parent, nullptr) << "F" << panel + 1 << " opens its department";
    litAlone(panel);
    SampleGame::PressKey(plat::kVkF1 + 1);
    EXPECT_NE(s.mapScreen.currentForm->parent, nullptr) << "F2 opens the map's panel";
    litAlone(1);
  }
  for (int32_t button = 8; button >= 1; --button) {
    SCOPED_TRACE(button);
    SampleGame::ClickControl(FormFindControlById(s.cmdBar.currentForm, button));
    litAlone(button);
  }

  const struct {
    uint32_t key;
    Screen* screen;
  } popups[] = {{'U', &s.unitList}, {'R', &s.research}, {'W', &s.scoreCard}, {'M', &s.missiles}, {'P', &s.productPopup}};
  for (const auto& row : popups) {
    SCOPED_TRACE(static_cast<char>(row.key));
    SampleGame::PressKey(row.key);
    LookAround();
    ASSERT_NE(row.screen->currentForm, nullptr);
    EXPECT_NE(row.screen->currentForm->parent, nullptr) << "the key opens its pop-up";
    CloseAllPopups(g_ui, 1);
    SampleGame::Pump();
  }

  Control* mailButton = FormFindControlById(s.mailBar.currentForm, 11);
  ASSERT_NE(mailButton, nullptr);
  SampleGame::ClickControl(mailButton);
  LookAround();
  EXPECT_TRUE(g_ui.sidePopupOpen) << "the mail bar opens the mailbox";

  // The days went on under all of it: nothing the player opened held the
  // clock or the turn thread.
  EXPECT_TRUE(PlayUntilDay(firstDay + 3)) << "the days pass with the screens open";
  EXPECT_EQ(g_ui.mode, kUiInGame);

  // The Pause key stops the clock, and the title bar's "||" lights in
  // place of its fastest box; running again, a click on the title bar's
  // "||" (over its tooltip, the pointer resting there first) pauses.
  SampleGame::PressKey(plat::kVkPause);
  SampleGame::Pump();
  EXPECT_EQ(GetGameSpeedTier(g_world.gameState), 0);
  speedShown(0);
  SampleGame::ClickControl(FormFindControlById(title, kTitleSpeedBox + kTopSpeedTier));
  SampleGame::Pump();
  speedShown(kTopSpeedTier);
  Control* pause = FormFindControlById(title, kTitleSpeedBox);
  SampleGame::ClickControl(pause);
  SampleGame::Pump();
  SampleGame::ClickControl(pause);
  SampleGame::Pump();
  EXPECT_EQ(GetGameSpeedTier(g_world.gameState), 0) << "the title bar's pause box pauses";
  speedShown(0);
}

// The menu stops the clock, and however the player leaves it the clock
// stays stopped until the clock's own buttons run it again.
TEST(RunningClockPlay, EveryWayOutOfTheMenuLeavesTheClockStopped) {
  plat::SetGameFloatMode();
  SampleGame game;
  game.startPaused = true;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  ScreenSet& s = g_screens;
  GameMenu& menu = s.gameMenu;
  const auto menuOpen = [&] { return menu.currentForm && menu.currentForm->parent; };
  Control* bar = s.titleBar ? s.titleBar->currentForm : nullptr;
  ASSERT_NE(bar, nullptr);
  Control* menuButton = FormFindControlByTag(bar, "MENU");
  Control* run = FormFindControlByTag(s.speedBar.currentForm, "SLOW");  // ">"
  ASSERT_TRUE(menuButton && run);
  const struct {
    const char* exit;
    void (*leave)(GameMenu& menu, Control* menuButton);
  } exits[] = {
      {"Return to Game",
       [](GameMenu& m, Control*) { SampleGame::ClickControl(FormFindControlByTag(m.buttons.currentForm, "RETURNBUT")); }},
      {"Escape", [](GameMenu&, Control*) { SampleGame::PressKey(plat::kVkEscape); }},
      {"the Menu button", [](GameMenu&, Control* button) { SampleGame::ClickControl(button); }},
  };
  for (const auto& row : exits) {
    SCOPED_TRACE(row.exit);
    PressShiftPageDown();
    ASSERT_EQ(Tier(), kTopSpeedTier) << "Shift+Page Down runs the clock at top speed";
    for (int press = 0; press < 3 && !menuOpen(); ++press) SampleGame::PressKey(plat::kVkEscape);
    ASSERT_TRUE(menuOpen()) << "Escape opens the menu";
    EXPECT_EQ(Tier(), 0) << "the menu stops the clock";
    PressShiftPageDown();
    EXPECT_EQ(Tier(), 0) << "and keeps it stopped";
    row.leave(menu, menuButton);
    ASSERT_FALSE(menuOpen()) << "the menu is left";
    EXPECT_EQ(Tier(), 0) << "the clock stays stopped";
    const uint32_t day = Today();
    SampleGame::ClickControl(run);
    EXPECT_EQ(Tier(), 1) << "the clock's button runs it again";
    EXPECT_TRUE(PlayUntilDay(day + 1)) << "the days pass again";
  }
}

// Under every pop-up the clock's keys do nothing and the pop-up stays: the
// player closes it with Escape, and then Pause stops the clock. Played as
// Kessaria, whose silo O opens.
TEST(RunningClockPlay, UnderEveryPopupTheClockKeysWaitForEscape) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked("Kessaria"));
  ScreenSet& s = g_screens;
  const plat::LParam ctrl = plat::kKeyControlHeld, shift = plat::kKeyShiftHeld;
  const struct {
    const char* name;
    uint32_t key;
    plat::LParam held;
    Screen* screen;
  } popups[] = {{"O", 'O', 0, &s.siloPopup},          {"U", 'U', 0, &s.unitList},
                {"R", 'R', 0, &s.research},           {"W", 'W', 0, &s.scoreCard},
                {"M", 'M', 0, &s.missiles},           {"P", 'P', 0, &s.productPopup},
                {"I", 'I', 0, &s.industry},           {"F1", plat::kVkF1, 0, &s.help},
                {"Ctrl+C", 'C', ctrl, s.settlementList.get()}};
  const struct {
    const char* name;
    uint32_t key;
    plat::LParam held;
  } keys[] = {{"Pause", plat::kVkPause, 0}, {"Page Down", plat::kVkNext, 0}, {"Shift+Page Up", plat::kVkPrior, shift}};
  for (const auto& popup : popups) {
    SCOPED_TRACE(popup.name);
    const auto open = [&] { return popup.screen->currentForm && popup.screen->currentForm->parent; };
    PressShiftPageDown();
    ASSERT_EQ(Tier(), kTopSpeedTier);
    PressHeld(popup.key, popup.held);
    ASSERT_TRUE(open()) << "the key opens its pop-up";
    for (const auto& key : keys) {
      SCOPED_TRACE(key.name);
      PressHeld(key.key, key.held);
      EXPECT_EQ(Tier(), kTopSpeedTier);
      EXPECT_TRUE(open()) << "the pop-up stays";
    }
    SampleGame::PressKey(plat::kVkEscape);
    ASSERT_FALSE(open()) << "Escape closes it";
    SampleGame::PressKey(plat::kVkPause);
    EXPECT_EQ(Tier(), 0) << "Pause stops the clock over the map";
  }
}

}  // namespace
