// The start menu as a player meets it, in process: clicks made to skip the
// splash do not reach it, its quit question is about leaving the program, a
// control without a tip shows no tooltip while one with a tip shows its
// words, and the idle menu paces its frames to 60 a second and draws none
// of them while nothing changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/app_object.h"
#include "shell/shell.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "screens/screen_set.h"
#include "support/private_game_root.h"
#include "support/fast_clock.h"
#include "support/global_guard.h"
#include "support/whole_program.h"
#include "ui/control_tree.h"
#include "ui/string_control.h"
#include "world/text/text_lists.h"
#include "world/text/ui_options.h"

namespace {

PolledInput g_pointer;

void Pump() {
  plat::Message msg;
  while (plat::PeekWindowMessage(&msg, true)) plat::DispatchWindowMessage(msg);
  RunIdleFrame();
}

TEST(StartMenuIdle, SplashClicksQuitQuestionTooltipsAndFramePacing) {
  FastClock clock;
  plat::SetClockSource(&clock);
  const std::string oldRoot = plat::DataRoot();
  plat::SetDataRoot(PrivateGameRoot());
  GlobalGuard poll(g_uiInput.poll, +[] { return g_pointer; });
  PrepareWholeProgram();
  ASSERT_EQ(InitApplication(g_app), 0);
  struct Restores {
    std::string root;
    ~Restores() {
      plat::SetDataRoot(root);
      plat::SetClockSource(nullptr);
    }
  } restores{oldRoot};
  // Clicks that skip the splash, where the menu's Multiplayer button will be.
  const auto multiplayer = static_cast<plat::LParam>(512 | (398 << 16));
  for (int i = 0; i < 3; ++i) {
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmLButtonDown, plat::kMkLButton, multiplayer);
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmLButtonUp, 0, multiplayer);
  }
  RunIdleFrame();
  Pump();
  Control* menu = g_screens.startMenu.currentForm;
  ASSERT_TRUE(menu && menu->parent) << "the start menu is shown";
  const plat::Rect multi = ControlAbsoluteRect(FormFindControlByTag(menu, "MULTI"));
  ASSERT_TRUE(multi.left <= 512 && 512 < multi.right && multi.top <= 398 && 398 < multi.bottom);
  Control* connect = g_screens.connect->currentForm;
  EXPECT_FALSE(connect && connect->parent) << "a splash click opened Multiplayer";

  // No game runs: the question is the program's, not the in-game menu's.
  EXPECT_EQ(FormFindControlByTag(menu, "TEXTBOX12")->text, TextListEntry(g_textLists, kListLocalphrases, 10));

  // A button resting under the pointer past the wait: no tip, no tooltip;
  // with a tip, the shipped tooltip form shows its words.
  auto* button = dynamic_cast<StringControl*>(FormFindControlByTag(menu, "OPTIONS"));
  ASSERT_TRUE(button && g_uiOptions.waittooltip > 0);
  const plat::Rect r = ControlAbsoluteRect(button);
  for (const char* tip : {"", "Settings of the game"}) {
    button->recordText = tip;
    g_pointer = {}, Pump();
    g_pointer = PolledInput{.x = (r.left + r.right) / 2, .y = (r.top + r.bottom) / 2}, Pump();
    g_ui.lastInputTick = plat::TickCount() - g_uiOptions.waittooltip - 1, Pump();
    EXPECT_EQ(g_ui.tooltipShown, *tip ? 1 : 0) << tip;
    if (*tip) {
      EXPECT_EQ(FormFindControlByTag(g_screens.tooltip.currentForm, "TEXT")->text, tip);
    }
  }
  button->recordText.clear();
  g_pointer = {}, Pump();

  // A second of the idle menu on the game's clock: the frames come about
  // 60 a second, none is drawn again until the pointer moves.
  Pump(), Pump();
  const uint32_t shown = g_ui.framesPresented;
  int frames = 0;
  for (const uint64_t end = plat::MonotonicMs() + 1000; plat::MonotonicMs() < end; ++frames) Pump();
  EXPECT_LE(frames, 62);
  EXPECT_EQ(g_ui.framesPresented, shown) << "an unchanged menu was drawn again";
  g_pointer = PolledInput{.x = 5, .y = 5}, Pump();
  EXPECT_EQ(g_ui.framesPresented, shown + 1);

  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
  EXPECT_EQ(RunMessageLoop(), 0);
  ShutdownApplication(g_app);
}

}  // namespace
