#pragma once
// The whole program started in process the way the tests that play it
// need: the message queue emptied, the settings at their defaults (never
// the user's file) for a 1024 x 768 window without sound, the platform
// state made, and no window class left registered (a graphics test's class
// of the game's name would keep the game's own window procedure out).
// InitApplication comes next, from the test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "app/app_object.h"
#include "app/settings.h"
#include "shell/shell.h"
#include "support/fast_clock.h"
#include "support/private_game_root.h"
#include "net/net_session.h"
#include "net/text_message.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "screens/common/frame/map_click.h"
#include "screens/main/map_input/selection.h"
#include "screens/screen_set.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "ui/shown_text_log.h"

// Each process plays on an options file of its own, begun as a copy of the
// folder's, so that what one program's game saves never reaches the next
// program's in this process. The copies go at exit.
namespace whole_program {
inline std::set<std::string>& OwnOptionsCopies() {
  static std::set<std::string> copies;
  return copies;
}
inline void RemoveOwnOptionsCopies() {
  std::error_code ignored;
  for (const std::string& path : OwnOptionsCopies()) std::filesystem::remove(path, ignored);
}
inline void UseOwnOptionsFile() {
  char name[sizeof g_app.optionsFile];
  std::snprintf(name, sizeof name, "Test%d", static_cast<int>(::getpid()));
  const std::string shared = std::string("INI\\") + g_app.optionsFile + ".INI";
  const std::string own = std::string("INI\\") + name + ".INI";
  std::memcpy(g_app.optionsFile, name, sizeof name);
  const auto path = plat::ResolveGamePath(own, true);
  if (!path || OwnOptionsCopies().count(*path)) return;
  static std::once_flag registered;
  std::call_once(registered, [] { std::atexit(RemoveOwnOptionsCopies); });
  OwnOptionsCopies().insert(*path);
  if (const auto bytes = plat::ReadFileBytes(shared)) (void)plat::WriteFileReplacing(own, bytes->data(), bytes->size());
}
}  // namespace whole_program

inline void PrepareWholeProgram() {
  // The build's data folder is every test program's: this one plays in its
  // own copy, where its options, saves and maps go.
  PlayInPrivateGameRoot(plat::DataRoot());
  plat::ResetMessageQueue();
  plat::UnregisterAllWindowClasses();
  LoadRegistrySettings(g_app, g_netSession.identity, nullptr);
  whole_program::UseOwnOptionsFile();
  g_app.gamerezx = 1024;
  g_app.gamerezy = 768;
  g_app.gamerezbpp = 32;
  g_app.gameadapternum = 0;
  g_app.SetFlag(kSetNosoundinit, true);
  g_ui.mapEditor = 0;
  g_ui.netRole = kRoleNone;
  // A new process starts with no pop-up counted and the dock put away;
  // tests that drive menus without a game may leave either behind.
  g_ui.modal = 0;
  g_ui.uiLock = 0;
  g_ui.keepPopups = 0;
  g_ui.sidePopupOpen = 0;
  g_ui.panelDepth = 0;
  g_ui.savedPanelDepth = 0;
  // The screens outlive a program closed in the process: each form leaves
  // the host it was shown in (one panel may hang inside another that no
  // dock holds); the selection and the other unit lists would name the
  // last game's units, which the next game's share ids with; and the map's
  // pressed tab would choose the next program's first side panel.
  DetachScreenForms(Screen::AllScreens());
  ClearWorkingLists(g_screens, kWorkingLists);
  ListHolderClear(HoverStackList());
  g_selection = SelectionState{};
  g_screens.mapClickMode = kClickNone;
  g_screens.selectionOrdersShown = 0;
  g_mapClickPending = MapClickPending{};
  g_screens.mapScreen.ForgetGame();
  // Tests that run a day in a world of their own post its chat and notice
  // lines to the same queue the next program's overlays read.
  ClearTextMessageQueue(g_textLines);
  static constexpr uint8_t kGuid[16] = {4, 3};
  InitPlatformState(g_platform, nullptr, kGuid, "Veldrane", 1);
}

// The first frame after InitApplication: the start-up screens, each skipped
// with a key as a player in a hurry does (a fade is hundreds of whole-screen
// redraws, seconds on the software renderer tests draw with), then the
// front end. The clock must be the one the program runs on.
inline void RunStartupFrameSkippingSplash(FastClock& clock) {
  clock.PressKeysWhileSleeping(g_platform.mainWindow);
  RunIdleFrame();
  clock.PressKeysWhileSleeping(nullptr);
}

// Everything the window has queued delivered, then one idle frame.
inline void PumpWholeProgram() {
  plat::Message msg;
  while (plat::PeekWindowMessage(&msg, true)) plat::DispatchWindowMessage(msg);
  RunIdleFrame();
}

// The row of the list, counted from 0 (null past its end).
inline const Control* ListRowAt(const ListBoxControl* list, int row) {
  const Control* c = ListNextRow(list, nullptr);
  for (int i = 0; i < row && c; ++i) c = ListNextRow(list, c);
  return c;
}

// Turns the mouse wheel over the list, as a player does, until the row lies
// whole in the list's view (or the list scrolls no further). post (message,
// keys, x, y) queues a mouse message; pump delivers the queue and runs a
// frame.
template <typename Post, typename Pump>
void ScrollRowIntoView(const ListBoxControl* list, const Control* row, Post post, Pump pump) {
  for (int notch = 0; list && row && notch < 256; ++notch) {
    const plat::Rect view = ListGetClientRect(list);
    const plat::Rect at = ListRowScreenRect(list, row);
    const bool below = at.bottom > view.bottom, above = at.top < view.top;
    if (below == above) return;
    const int32_t before = list->scrollOffset;
    const int x = (view.left + view.right) / 2, y = (view.top + view.bottom) / 2;
    // The pointer comes to rest over the list first, so the wheel turns it.
    post(plat::kWmMouseMove, 0u, x, y);
    pump();
    post(plat::kWmMouseWheel, static_cast<uint32_t>(static_cast<uint16_t>(below ? -120 : 120)) << 16, x, y);
    pump();
    if (list->scrollOffset == before) return;
  }
}

inline void PostMouse(uint32_t message, uint32_t keys, int x, int y) {
  plat::PostWindowMessage(g_platform.mainWindow, message, keys, plat::MakeLParam(x, y));
}

// A left click at the middle of the control (row: the list row, counted
// from 0, for a list, scrolled into view first), as the window delivers it;
// the program then runs a frame.
inline void ClickControl(Control* control, int row = -1) {
  if (!control) {
    ADD_FAILURE() << "no control to click";
    return;
  }
  const plat::Rect r = ControlAbsoluteRect(control);
  int y = (r.top + r.bottom) / 2;
  if (row >= 0) {
    const auto* list = static_cast<ListBoxControl*>(control);
    if (const Control* c = ListRowAt(list, row)) {
      ScrollRowIntoView(list, c, PostMouse, PumpWholeProgram);
      y = ListRowScreenRect(list, c).top + 3;
    }
  }
  const auto at = static_cast<plat::LParam>(((r.left + r.right) / 2) | (y << 16));
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmMouseMove, 0, at);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmLButtonDown, plat::kMkLButton, at);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmLButtonUp, 0, at);
  PumpWholeProgram();
}

// The screen drawn again whole, each text it shows noted: every fault found
// (a text cut to fit or past its box, or run into a neighbour of its form),
// one line each.
inline std::vector<std::string> ShownTextFaultsOfFrame() {
  if (!g_ui.rootForm) return {};
  const uint32_t flags = g_ui.rootForm->flags;
  g_ui.rootForm->flags |= kCtlAlwaysRedraw;
  g_ui.redrawWanted = 1;
  StartShownTextLog();
  RunIdleFrame();
  std::vector<std::string> faults = ShownTextFaults();
  StopShownTextLog();
  g_ui.rootForm->flags = flags;
  return faults;
}
