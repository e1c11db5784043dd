// The shipped tutorial played in process with posted clicks: the start
// menu's Tutorial loads its pages and its saved game, the briefing's start
// opens the window over the paused game as Westholm, Next walks every page
// with each marker drawn round a control the game screen shows and the
// window clear of them and of what the page opened, and Leave ends the
// game for the start menu with no page and no pop-up of it kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/app_object.h"
#include "app/gfx/renderer.h"
#include "shell/shell.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "screens/frontend/tutorial_window.h"
#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "sim/game_stop.h"
#include "sim/game_threads.h"
#include "support/private_game_root.h"
#include "support/fast_clock.h"
#include "support/control_layout.h"
#include "support/global_guard.h"
#include "support/whole_program.h"
#include "ui/bitmap_control.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/text/tutorial_table.h"
#include "world/world.h"

namespace {

bool Open(const Screen& s) { return s.currentForm && s.currentForm->parent; }

bool SameRect(const plat::Rect& a, const plat::Rect& b) {
  return std::tie(a.left, a.top, a.right, a.bottom) == std::tie(b.left, b.top, b.right, b.bottom);
}

// A tutorial page as shown: the controls its markers frame, the command
// bar's button lit for the panel it opened ("" for none), the pop-ups open
// on it and whether they leave the screen room to stand the window beside
// them.
struct Page {
  std::string title;
  std::vector<std::string> marked;
  std::string lit;
  int popups = 0;
  bool roomBeside = true;
  bool operator==(const Page&) const = default;
};
void PrintTo(const Page& p, std::ostream* os) {
  *os << p.title << " [";
  for (const std::string& m : p.marked) *os << " " << m;
  *os << " ] lit \"" << p.lit << "\" pop-ups " << p.popups;
}

TEST(TutorialPlay, TheStartMenusTutorialWalksItsPagesAndLeavesForTheMenu) {
  const GlobalGuard<InputPoll> pointer(g_uiInput.poll, [] { return PolledInput{.x = 400, .y = 300}; });
  FastClock clock;
  plat::SetClockSource(&clock);
  const std::string oldRoot = plat::DataRoot();
  plat::SetDataRoot(PrivateGameRoot());
  PrepareWholeProgram();
  ASSERT_EQ(InitApplication(g_app), 0);
  struct StopsTheGame {
    std::string root;
    ~StopsTheGame() {
      if (GameThreadsRunning()) StopGameSession(&g_ui);
      plat::SetDataRoot(root);
      plat::SetClockSource(nullptr);
    }
  } stopsTheGame{oldRoot};
  RunStartupFrameSkippingSplash(clock);
  ScreenSet& s = g_screens;
  ASSERT_TRUE(Open(s.startMenu));
  Control* entry = FormFindControlByTag(s.startMenu.currentForm, "TUTORIAL");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->text, "Tutorial");

  ClickControl(entry, -1);
  ASSERT_NE(g_tutorialSteps, nullptr) << "the pages are loaded";
  ASSERT_TRUE(Open(s.briefing));
  ClickControl(FormFindControlByTag(s.briefing.currentForm, "START"), -1);
  ASSERT_EQ(g_ui.mode, kUiInGame);
  ASSERT_TRUE(GameThreadsRunning());
  EXPECT_EQ(g_world.gameState.localPlayer, 1) << "Westholm";
  EXPECT_EQ(g_world.gameState.gameSpeed, 0) << "the tutorial pauses the game";
  TutorialWindow& t = s.tutorial;
  ASSERT_TRUE(TutorialWindowOpen(t));
  ASSERT_EQ(t.page, g_tutorialSteps);
  EXPECT_EQ(g_world.gameState.currentHex.x, 78) << "the capital is selected";
  EXPECT_EQ(g_world.gameState.currentHex.y, 26);

  // Each shown page (chained ones run through), as the screen shows it.
  const auto seen = [&](bool roomBeside) {
    Page p;
    RunIdleFrame();
    std::vector<uint32_t> frame;
    uint32_t width = 0, height = 0;
    EXPECT_EQ(g_renderer.device->ReadBackBuffer(&frame, &width, &height), plat::kOk);
    p.title = FormFindControlByTag(t.currentForm, "TITLE")->text;
    p.popups = g_ui.popupCount;
    p.roomBeside = roomBeside;
    const auto red = [&](int32_t x, int32_t y) {
      if (x < 0 || y < 0 || x >= static_cast<int32_t>(width) || y >= static_cast<int32_t>(height)) return false;
      const uint32_t px = frame[static_cast<size_t>(y) * width + static_cast<size_t>(x)];
      return ((px >> 16) & 0xFF) > 200 && ((px >> 8) & 0xFF) < 60 && (px & 0xFF) < 60;
    };
    const plat::Rect window = ControlAbsoluteRect(t.currentForm);
    const auto find = [](const char* tag) -> const Control* {
      for (Control* box : g_ui.bottomBoxes)
        if (const Control* c = FormFindControlByTag(box, tag)) return c;
      return FormFindControlByTag(g_ui.rootForm, tag);
    };
    // The markers shown: the tag each names, its frame and the control it
    // frames (null when the screen has none of the tag).
    struct Mark { const char* tag; plat::Rect frame; const Control* control; };
    std::vector<Mark> marks;
    for (int i = 0; i < kTutorialMarkers; ++i)
      if (const BitmapControl* m = t.markers[i]; m && m->parent) {
        const char* tag = t.page->texts[kTutorialClickTags + i].get();
        marks.push_back({tag, ControlAbsoluteRect(m), find(tag)});
      }
    // The red pixels of the area where no marker but the one framed by `own`
    // stands.
    const auto redOf = [&](const plat::Rect& area, const plat::Rect& own) {
      int n = 0;
      for (int32_t y = area.top; y < area.bottom; ++y)
        for (int32_t x = area.left; x < area.right; ++x)
          n += red(x, y) && std::none_of(marks.begin(), marks.end(), [&](const Mark& o) {
                 const plat::Rect& f = o.frame;
                 return !SameRect(f, own) && x >= f.left && x < f.right && y >= f.top && y < f.bottom;
               });
      return n;
    };
    for (const auto& [tag, r, marked] : marks) {
      p.marked.emplace_back(tag);
      EXPECT_FALSE(red((r.left + r.right) / 2, (r.top + r.bottom) / 2)) << p.title << ": a marker hides " << tag;
      // The red frame is on the screen where no other marker stands.
      EXPECT_GT(redOf(r, r), 8) << p.title << ": the frame round " << tag << " is drawn";
      // It stands round the control the page names, shown where the screen
      // shows it now, and the window leaves it in sight.
      if (!marked) {
        ADD_FAILURE() << p.title << ": " << tag;
        continue;
      }
      EXPECT_TRUE(ShownInTree(marked)) << p.title << ": " << tag;
      const plat::Rect c = ControlAbsoluteRect(marked);
      // Round it, at most 10 pixels out, wholly on the screen, and over no
      // other control the page marks.
      const int32_t w = static_cast<int32_t>(width), h = static_cast<int32_t>(height);
      EXPECT_TRUE(r.left <= c.left && r.top <= c.top && r.right >= c.right && r.bottom >= c.bottom &&
                  c.left - r.left <= 10 && c.top - r.top <= 10 && r.right - c.right <= 10 && r.bottom - c.bottom <= 10)
          << p.title << ": " << tag;
      EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h) << p.title << ": " << tag << " off the screen";
      for (const Mark& other : marks) {
        EXPECT_FALSE(other.control && !SameRect(ControlAbsoluteRect(other.control), c) &&
                     plat::RectsOverlap(r, ControlAbsoluteRect(other.control)))
            << p.title << ": the marker round " << tag << " covers " << other.tag;
      }
      // None of the frame lies over the control it points at (a neighbour
      // marked too may have its own frame there).
      EXPECT_EQ(redOf(c, r), 0) << p.title << ": the marker covers " << tag;
      EXPECT_FALSE(plat::RectsOverlap(r, window)) << p.title << ": the window hides " << tag;
    }
    // What the page opened stands beside the window where there is room.
    Control* first = g_ui.rootForm->firstChild;
    for (Control* c = first; c; c = c->NextInRing() == first ? nullptr : c->NextInRing()) {
      if (!IsPopupFrame(c) || !c->firstChild) continue;
      if (roomBeside) {
        EXPECT_FALSE(plat::RectsOverlap(ControlAbsoluteRect(c->firstChild), window))
            << p.title << ": the window hides " << TagOf(c->firstChild);
      } else {
        // Where there is no room beside it, the window stands over none of
        // its texts (a unit's name, a header).
        ControlTreeForEach(c->firstChild, kAnyDepth, 0, [&](Control* x) {
          if (IsStringKind(x) && !x->text.empty() && ShownInTree(x)) {
            EXPECT_FALSE(plat::RectsOverlap(ControlAbsoluteRect(x), window)) << p.title << ": the window hides " << x->text;
          }
        });
      }
    }
    // The hex a page speaks of is in view, not under the window.
    if (t.page->extra[0] > 0) {
      const TutorialPoint hex = TutorialHexPoint(g_mapView, t.page->extra[0], t.page->extra[1]);
      const plat::Rect view{g_mapView.viewLeft, g_mapView.viewTop, g_mapView.viewRight, g_mapView.viewBottom};
      EXPECT_TRUE(hex.x >= view.left && hex.x < view.right && hex.y >= view.top && hex.y < view.bottom) << p.title;
      EXPECT_FALSE(hex.x >= window.left && hex.x < window.right && hex.y >= window.top && hex.y < window.bottom)
          << p.title;
    }
    ControlTreeForEach(s.cmdBar.currentForm, kAnyDepth, 0, [&](Control* c) {
      if (c != s.cmdBar.currentForm && c->Selected()) p.lit += (p.lit.empty() ? "" : " ") + TagOf(c);
    });
    return p;
  };
  const std::vector<Page> expected = {
      {"Welcome to Westholm", {"MAP"}, "", 0},
      {"The map panel", {"HEXNAME", "UNITBUT", "TERRAINBUT"}, "MAP", 0},
      {"Selecting units", {"UNITLIST", "UNITORDER"}, "ORDERS", 0},
      {"The hex menu", {"HEXLISTPOP"}, "ORDERS", 1},
      // The unit's pop-up takes most of the screen (and puts the dock's
      // panels away): the window leaves the rows the page names in sight.
      {"A unit's pop-up", {"L130", "L3", "MIL1A"}, "", 1, false},
      {"Your forces", {"MILITARY"}, "MILITARY", 0},
      {"Your neighbours and your purse", {"DIPLOMACY", "ECONOMY", "PRODUCT", "STATUS"}, "DIPLOMACY", 0},
      {"Over to you", {"ORDERS"}, "", 0}};
  for (size_t i = 0;; ++i) {
    ASSERT_LT(i, expected.size());
    EXPECT_EQ(seen(expected[i].roomBeside), expected[i]);
    Control* next = FormFindControlByTag(t.currentForm, "NEXT");
    if (next->Hidden()) {
      EXPECT_EQ(i + 1, expected.size());
      break;
    }
    ClickControl(next, -1);
  }
  EXPECT_TRUE(TutorialWindowOpen(t)) << "no page closed the window";

  // Back to the page with the unit's pop-up, which the script plays again
  // from its start to show as it was; Leave from there: the pop-up goes
  // with the game instead of standing over the next one.
  for (int back = 0; back < 8 && FormFindControlByTag(t.currentForm, "TITLE")->text != "A unit's pop-up"; ++back)
    ClickControl(FormFindControlByTag(t.currentForm, "PREV"), -1);
  EXPECT_EQ(seen(false), expected[4]);
  ASSERT_EQ(g_ui.popupCount, 1) << FormFindControlByTag(t.currentForm, "TITLE")->text;
  ClickControl(FormFindControlByTag(t.currentForm, "TCLOSE"), -1);
  EXPECT_EQ(g_ui.popupCount, 0);
  EXPECT_EQ(g_ui.mode, kUiFrontEnd);
  EXPECT_FALSE(GameThreadsRunning());
  EXPECT_FALSE(TutorialWindowOpen(t));
  EXPECT_EQ(g_tutorialSteps, nullptr);
  EXPECT_EQ(t.page, nullptr);
  EXPECT_TRUE(Open(s.startMenu));

  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmClose, 0, 0);
  EXPECT_EQ(RunMessageLoop(), 0);
  ShutdownApplication(g_app);
}

}  // namespace
