// The start menu as a player meets it, in process: clicks made to skip the
// splash do not reach it, its quit question is
// about leaving the program, a control without a tip shows no tooltip box
// while one with a tip shows its words, and an idle menu without vertical
// sync draws at most about 60 frames a second.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "app/app_object.h"
#include "app/shell/shell.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "screens/screen_set.h"
#include "support/fast_clock.h"
#include "support/global_guard.h"
#include "support/whole_program.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
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

// Rests the pointer on the middle of the control past the tooltip wait.
void RestOn(Control* control) {
  const plat::Rect r = ControlAbsoluteRect(control);
  g_pointer = PolledInput{.x = (r.left + r.right) / 2, .y = (r.top + r.bottom) / 2};
  Pump();
  g_ui.lastInputTick = plat::TickCount() - g_uiOptions.waittooltip - 1;
  Pump();
}

TEST(StartMenuIdle, QuitQuestionTooltipsAndFramePacing) {
  FastClock clock;
  plat::SetClockSource(&clock);
  const std::string oldRoot = plat::DataRoot();
  plat::SetDataRoot(std::filesystem::path(VD_GAME_EXE).parent_path().string());
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
  // Clicks that skip the splash, where the menu's Multiplayer button will
  // be (its form puts it at 412..612 x 380..416), act on the start-up
  // screens only.
  const auto multiplayer = static_cast<plat::LParam>(512 | (398 << 16));
  for (int i = 0; i < 3; ++i) {
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmLButtonDown, plat::kMkLButton, multiplayer);
    plat::PostWindowMessage(g_platform.mainWindow, plat::kWmLButtonUp, 0, multiplayer);
  }
  RunIdleFrame();
  ASSERT_EQ(g_ui.mode, kUiFrontEnd);
  Control* menu = g_screens.startMenu.currentForm;
  ASSERT_NE(menu, nullptr);
  Pump();
  const plat::Rect multi = ControlAbsoluteRect(FormFindControlByTag(menu, "MULTI"));
  ASSERT_TRUE(multi.left <= 512 && 512 < multi.right && multi.top <= 398 && 398 < multi.bottom);
  EXPECT_NE(menu->parent, nullptr) << "the start menu is shown";
  EXPECT_EQ(g_screens.connect.currentForm ? g_screens.connect.currentForm->parent : nullptr, nullptr)
      << "no splash click opened Multiplayer";

  // No game runs: the question is the program's, not the in-game menu's.
  Control* question = FormFindControlByTag(menu, "TEXTBOX12");
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(question->text, TextListEntry(g_textLists, kListLocalphrases, 10));
  EXPECT_NE(question->text, TextListEntry(g_textLists, kListUitext, 12));

  // A button without a tip: nothing. The same button with one: the shipped
  // tooltip form shows the words.
  auto* button = dynamic_cast<StringControl*>(FormFindControlByTag(menu, "OPTIONS"));
  ASSERT_NE(button, nullptr);
  ASSERT_GT(g_uiOptions.waittooltip, 0u);
  struct Row {
    const char* tip;
    int32_t shown;
  } const rows[] = {{"", 0}, {"Settings of the game", 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.tip);
    button->recordText = row.tip;
    g_pointer = {};
    Pump();
    RestOn(button);
    EXPECT_EQ(g_ui.tooltipShown, row.shown);
    if (row.shown) {
      Control* text = FormFindControlByTag(g_screens.tooltip.currentForm, "TEXT");
      ASSERT_NE(text, nullptr);
      EXPECT_EQ(text->text, row.tip);
    }
  }
  button->recordText.clear();
  g_pointer = {};
  Pump();

  // Two seconds of the idle menu on the real clock: no vertical sync holds
  // the offscreen driver back, so only the frame loop's own waits do.
  plat::SetClockSource(nullptr);
  int frames = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (std::chrono::steady_clock::now() < end) {
    Pump();
    ++frames;
  }
  EXPECT_LT(frames, 150);
  EXPECT_GT(frames, 0);

  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
  EXPECT_EQ(RunMessageLoop(), 0);
  ShutdownApplication(g_app);
}

}  // namespace
