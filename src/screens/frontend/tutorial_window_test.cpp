// The tutorial window's pages over a small screen: where a hex lies, the
// buttons, chains, the way back, the map edge, markers and the stop.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "app/app_object.h"
#include "screens/frontend/tutorial_window.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/tutorial_map_links.h"
#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "ui/bitmap_control.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "world/text/tutorial_table.h"
#include "world/world.h"

namespace {

// Its controls' presses, as "TAG " each.
class PressedScreen : public Screen {
 public:
  PressedScreen() : Screen("TESTPANEL") {}
  void OnCommand(Control* control, int32_t) override { presses += std::string(control->tag) + " "; }
  std::string presses;
};

struct Page {
  int32_t action = 0;
  const char* press = nullptr;
  const char* mark = nullptr;
  bool goOn = false;
  int32_t column = 0, row = 0;
};

class TutorialWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TutorialWindow& w = g_screens.tutorial;
    form_ = new Control(controltest::Init("TUTORIAL1", &w, 0, 0, 380, 300));
    for (const char* tag : {"TITLE", "TEXTBOX", "PREV", "NEXT", "TCLOSE"})
      ControlAddChild(form_, new Control(controltest::Init(tag, &w, 16, 252, 100, 32, kCtlCommand)));
    w.currentForm = w.form = form_;
    w.BindControls();
    // The command bar holds MAP at (2, 102); the dock ONE and TWO at (110, 510).
    ControlAddChild(bar_, new Control(controltest::Init("MAP", &panel_, 2, 2, 56, 20, kCtlCommand)));
    for (const char* tag : {"ONE", "TWO"})
      ControlAddChild(dock_, new Control(controltest::Init(tag, &panel_, 10, 10, 40, 20, kCtlCommand)));
    g_ui.rootForm = root_;
    g_ui.bottomBoxes[0] = bar_;
    g_ui.bottomBoxes[1] = dock_;
    g_ui.mapView = &g_mapView;
    g_platform.clientRect = {0, 0, 1024, 768};
    g_tutorialSteps = nullptr;
    g_mapView.columns = g_mapView.rows = g_world.mapWidth = g_world.mapHeight = 10;
    g_mapView.zoom = 1.0f;
    // The speed stays: no speed message is queued for the peers.
    g_world.gameState.speedLockMode = 1;
    g_world.gameState.speedChangeAllowed = 0;
  }
  void TearDown() override {
    ReleaseTutorial(g_screens.tutorial);
    g_screens.tutorial.currentForm = g_screens.tutorial.form = nullptr;
    g_screens.tutorial.textBox = nullptr;
    delete form_;
    delete root_;
  }
  void Open(std::initializer_list<Page> pages) {
    ReleaseTutorial(g_screens.tutorial);
    panel_.presses.clear();
    for (const Page& p : pages) {
      auto* step = NewZeroed<TutorialStep>();
      step->number = p.action;
      if (p.press) step->texts[0].reset(strdup(p.press));
      if (p.mark) step->texts[4].reset(strdup(p.mark));
      step->flag = p.goOn;
      step->extra[0] = p.column, step->extra[1] = p.row;
      if (g_tutorialSteps)
        g_tutorialSteps->Append(step);
      else
        g_tutorialSteps = step;
    }
    OpenTutorialPage(g_screens.tutorial);
  }
  // The current page's place from 1.
  static int PageNumber() {
    int n = 1;
    for (ListNode* s = g_tutorialSteps; s && s != g_screens.tutorial.page && n < 99; s = s->next()) ++n;
    return n;
  }
  bool Shown(const char* tag) const { return !FormFindControlByTag(form_, tag)->Hidden(); }

  PressedScreen panel_;
  Control* root_ = new Control(controltest::Init("ROOT", nullptr, 0, 0, 1024, 768));
  Control* bar_ = ControlAddChild(root_, new Control(controltest::Init("CMDBAR", &panel_, 0, 100, 60, 200)));
  Control* dock_ = ControlAddChild(root_, new Control(controltest::Init("DOCK", &panel_, 100, 500, 600, 200)));
  Control* form_ = nullptr;
  GlobalGuard<Control*> rootForm_{g_ui.rootForm};
  GlobalGuard<Control* [kBottomBoxes]> boxes_{g_ui.bottomBoxes};
  GlobalGuard<MapView*> view_{g_ui.mapView};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth, 0};
  GlobalGuard<int32_t> savedDepth_{g_ui.savedPanelDepth};
  GlobalGuard<plat::Rect> client_{g_platform.clientRect};
  GlobalGuard<TutorialStep*> steps_{g_tutorialSteps};
  GlobalGuard<int32_t> columns_{g_mapView.columns}, rows_{g_mapView.rows}, panX_{g_mapView.panX},
      panY_{g_mapView.panY}, maxPanX_{g_mapView.maxPanX}, maxPanY_{g_mapView.maxPanY};
  GlobalGuard<int16_t> first_{g_mapView.firstColumn}, firstRow_{g_mapView.firstRow}, end_{g_mapView.endColumn},
      endRow_{g_mapView.endRow};
  GlobalGuard<float> zoom_{g_mapView.zoom};
  GlobalGuard<int32_t> wheel_{g_mapWheelLock};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<int32_t> mapWidth_{g_world.mapWidth}, mapHeight_{g_world.mapHeight};
};

TEST(TutorialHexPoint, ColumnsAndRowsLandOnTheirHexCentres) {
  // x = round((column * 18 + 12 - pan x) / zoom) + left; y likewise from
  // row * 22, plus 11 in odd columns.
  struct Row {
    int32_t panX, panY;
    float zoom;
    int32_t left, top, column, row, x, y;
  } rows[] = {
      {0, 0, 1.0f, 3, 27, 3, 2, 69, 82},     // 66 + 3, 55 + 27
      {0, 0, 1.0f, 3, 27, 4, 2, 87, 71},     // 84 + 3, 44 + 27
      {30, 40, 2.0f, 3, 27, 3, 2, 21, 35},   // 36 / 2 + 3, 7.5 rounds to 8
      {100, 0, 0.5f, 0, 0, 10, 1, 184, 44},  // 92 / 0.5, 22 / 0.5
  };
  for (const Row& r : rows) {
    MapView view;
    view.panX = r.panX, view.panY = r.panY, view.zoom = r.zoom, view.viewLeft = r.left, view.viewTop = r.top;
    const TutorialPoint p = TutorialHexPoint(view, r.column, r.row);
    EXPECT_EQ(p.x, r.x) << r.column << "," << r.row;
    EXPECT_EQ(p.y, r.y) << r.column << "," << r.row;
  }
}

TEST_F(TutorialWindowTest, PagesButtonsChainsAndTheWayBack) {
  // Each row: the pages, NEXT presses, then PREV or not; what was pressed
  // on the way, the page shown and its buttons.
  const Page one{0, "ONE"}, two{0, "TWO"}, chained{kTutorialBackOneLevel, "TWO", nullptr, true};
  struct Row {
    const char* name;
    std::initializer_list<Page> pages;
    int nexts;
    bool back;
    const char* presses;
    int page;
    bool prev, next;
  } rows[] = {
      {"one page", {one}, 0, false, "ONE ", 1, false, false},
      {"the middle page", {one, two, one}, 1, false, "ONE TWO ", 2, true, true},
      {"past the last", {one, two}, 3, false, "ONE TWO ", 2, true, false},
      {"a chain runs through", {one, chained, chained, two, one}, 1, false, "ONE TWO TWO TWO ", 4, true, true},
      {"back from page 2", {one, two, one}, 1, true, "ONE TWO ONE ", 1, false, true},
      {"back over a chain", {one, two, chained, one}, 2, true, "ONE TWO TWO ONE ONE TWO ", 2, true, true},
  };
  for (const Row& r : rows) {
    g_ui.panelDepth = 3;
    Open(r.pages);
    for (int i = 0; i < r.nexts; ++i) g_screens.tutorial.OnCommand(FormFindControlByTag(form_, "NEXT"), 0);
    if (r.back) g_screens.tutorial.OnCommand(FormFindControlByTag(form_, "PREV"), 0);
    EXPECT_EQ(panel_.presses, r.presses) << r.name;
    EXPECT_EQ(PageNumber(), r.page) << r.name;
    EXPECT_EQ(Shown("PREV"), r.prev) << r.name;
    EXPECT_EQ(Shown("NEXT"), r.next) << r.name;
  }
  EXPECT_EQ(g_ui.panelDepth, 0) << "the last chain closed one level, PREV the rest";
}

TEST_F(TutorialWindowTest, OnlyAHexInsideTheMapIsSelected) {
  struct Row {
    int32_t column, row;
    bool moves;
  } rows[] = {{0, 4, false}, {3, 0, false}, {10, 4, false}, {3, 4, true}};
  for (const Row& r : rows) {
    g_world.gameState.currentHex = {};
    Open({{0, nullptr, nullptr, false, r.column, r.row}});
    const HexPosition& hex = g_world.gameState.currentHex;
    EXPECT_EQ(hex.x == r.column && hex.y == r.row, r.moves) << r.column << "," << r.row;
  }
}

TEST_F(TutorialWindowTest, MarkersFrameTheirControlsTenPixelsWiderOnTheScreenAndTheStopLeavesNothing) {
  Open({{0, nullptr, "MAP"}, {0, nullptr, "TWO"}, {0, nullptr, "NOSUCHTAG"}});
  TutorialWindow& w = g_screens.tutorial;
  // MAP stands 2 pixels from the screen's left edge: its marker's band
  // there is 2 pixels wide, so the marker stays on the screen.
  const plat::Rect rows[] = {{0, 92, 68, 132}, {100, 500, 160, 540}, {}};
  for (const plat::Rect& r : rows) {
    const BitmapControl* m = w.markers[0];
    ASSERT_EQ(m->parent, r.right ? form_->parent : nullptr);
    if (r.right) {
      EXPECT_EQ((std::array{m->rect.left, m->rect.top, m->rect.right, m->rect.bottom}),
                (std::array{r.left, r.top, r.right, r.bottom}));
    }
    w.NextPage();
  }
  EXPECT_EQ(g_mapWheelLock, 1);
  ReleaseTutorial(w);
  EXPECT_EQ(g_tutorialSteps, nullptr);
  EXPECT_EQ(w.page, nullptr);
  EXPECT_EQ(form_->parent, nullptr);
  EXPECT_EQ(root_->firstChild->NextInRing()->NextInRing(), root_->firstChild) << "the bar and the dock alone";
  EXPECT_EQ(g_mapWheelLock, 0);
}

}  // namespace
