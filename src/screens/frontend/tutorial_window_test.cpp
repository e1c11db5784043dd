// The tutorial window's pages over a small game screen: where a hex lies,
// which buttons show, what a page and its chain press, the way back, the
// markers and the stop.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/app_object.h"
#include "screens/frontend/tutorial_window.h"
#include "screens/main/map/map_view.h"
#include "screens/main/map_input/map_pane_input.h"
#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "ui/bitmap_control.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/text_box.h"
#include "world/text/tutorial_table.h"
#include "world/world.h"

namespace {

// Counts the commands its controls send, by tag.
class PressedScreen : public Screen {
 public:
  PressedScreen() : Screen("TESTPANEL") {}
  void OnCommand(Control* control, int32_t) override { ++presses[std::string(control->tag)]; }
  std::map<std::string, int> presses;
};

struct Page {
  int32_t action = 0;
  const char* press = nullptr;
  const char* mark = nullptr;
  bool goOn = false;
  int32_t column = 0, row = 0;
  int32_t height = -1;
};

class TutorialWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TutorialWindow& w = g_screens.tutorial;
    root_ = new Control(controltest::Init("ROOT", nullptr, 0, 0, 1024, 768));
    form_ = new Control(controltest::Init("TUTORIAL1", &w, 0, 0, 380, 300));
    ControlAddChild(form_, new Control(controltest::Init("TITLE", &w, 16, 10, 348, 30)));
    ControlAddChild(form_, new Control(controltest::Init("TEXTBOX", &w, 16, 46, 348, 190)));
    for (const char* tag : {"PREV", "NEXT", "TCLOSE"})
      ControlAddChild(form_, new Control(controltest::Init(tag, &w, 16, 252, 100, 32, kCtlCommand)));
    w.currentForm = w.form = form_;
    w.BindControls();
    bar_ = new Control(controltest::Init("CMDBAR", &panel_, 0, 100, 60, 200));
    ControlAddChild(bar_, new Control(controltest::Init("MAP", &panel_, 2, 2, 56, 20, kCtlCommand)));
    dock_ = new Control(controltest::Init("DOCK", &panel_, 100, 500, 600, 200));
    for (const char* tag : {"ONE", "TWO", "THREE"})
      ControlAddChild(dock_, new Control(controltest::Init(tag, &panel_, 10, 10, 40, 20, kCtlCommand)));
    g_ui.rootForm = root_;
    g_ui.bottomBoxes[0] = bar_;
    g_ui.bottomBoxes[1] = dock_;
    g_ui.bottomBoxes[2] = g_ui.bottomBoxes[3] = nullptr;
    g_ui.mapView = &g_mapView;
    g_ui.panelDepth = 0;
    g_platform.clientRect = {0, 0, 1024, 768};
    g_tutorialSteps = nullptr;
    g_mapView.columns = g_mapView.rows = 10;
    g_mapView.zoom = 1.0f;
    // The speed stays as it is: no speed message is queued for the peers.
    g_world.gameState.speedLockMode = 1;
    g_world.gameState.speedChangeAllowed = 0;
  }
  void TearDown() override {
    ReleaseTutorial(g_screens.tutorial);
    g_screens.tutorial.currentForm = g_screens.tutorial.form = nullptr;
    g_screens.tutorial.textBox = nullptr;
    delete form_;
    delete root_;
    delete bar_;
    delete dock_;
  }

  void Load(std::initializer_list<Page> pages) {
    int n = 0;
    for (const Page& p : pages) {
      auto* step = NewZeroed<TutorialStep>();
      step->values[2] = p.height;
      step->number = p.action;
      if (p.press) step->texts[0].reset(strdup(p.press));
      if (p.mark) step->texts[4].reset(strdup(p.mark));
      step->texts[9].reset(strdup(("page " + std::to_string(++n)).c_str()));
      step->flag = p.goOn ? 1 : 0;
      step->extra[0] = p.column;
      step->extra[1] = p.row;
      if (g_tutorialSteps)
        g_tutorialSteps->Append(step);
      else
        g_tutorialSteps = step;
    }
  }
  // The current page's place from 1; 0 when it is none of the pages.
  static int PageNumber() {
    const TutorialStep* s = g_tutorialSteps;
    for (int n = 1; s; ++n) {
      if (s == g_screens.tutorial.page) return n;
      s = static_cast<const TutorialStep*>(s->next());
      if (s == g_tutorialSteps) break;
    }
    return 0;
  }
  bool Shown(const char* tag) const { return !FormFindControlByTag(form_, tag)->Hidden(); }

  PressedScreen panel_;
  Control* root_ = nullptr;
  Control* form_ = nullptr;
  Control* bar_ = nullptr;
  Control* dock_ = nullptr;
  GlobalGuard<Control*> rootForm_{g_ui.rootForm};
  GlobalGuard<Control* [kBottomBoxes]> boxes_{g_ui.bottomBoxes};
  GlobalGuard<MapView*> view_{g_ui.mapView};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth};
  GlobalGuard<int32_t> savedDepth_{g_ui.savedPanelDepth};
  GlobalGuard<plat::Rect> client_{g_platform.clientRect};
  GlobalGuard<TutorialStep*> steps_{g_tutorialSteps};
  GlobalGuard<int32_t> columns_{g_mapView.columns};
  GlobalGuard<int32_t> rows_{g_mapView.rows};
  GlobalGuard<int32_t> panX_{g_mapView.panX};
  GlobalGuard<int32_t> panY_{g_mapView.panY};
  GlobalGuard<float> zoom_{g_mapView.zoom};
  // Centring on a hex works out the view's hex range again.
  GlobalGuard<int16_t> firstColumn_{g_mapView.firstColumn};
  GlobalGuard<int16_t> firstRow_{g_mapView.firstRow};
  GlobalGuard<int16_t> endColumn_{g_mapView.endColumn};
  GlobalGuard<int16_t> endRow_{g_mapView.endRow};
  GlobalGuard<int32_t> maxPanX_{g_mapView.maxPanX};
  GlobalGuard<int32_t> maxPanY_{g_mapView.maxPanY};
  GlobalGuard<int32_t> wheel_{g_mapWheelLock};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<int32_t> mapWidth_{g_world.mapWidth};
  GlobalGuard<int32_t> mapHeight_{g_world.mapHeight};
};

TEST(TutorialHexPoint, ColumnsAndRowsLandOnTheirHexCentres) {
  // x = round((column * 18 + 12 - pan x) / zoom) + left; y alike with
  // row * 22, plus 11 for odd columns.
  struct Row {
    int32_t panX, panY;
    float zoom;
    int32_t left, top, column, row, x, y;
  } rows[] = {
      {0, 0, 1.0f, 3, 27, 3, 2, 69, 82},     // 66 + 3, 55 + 27
      {0, 0, 1.0f, 3, 27, 4, 2, 87, 71},     // 84 + 3, 44 + 27
      {30, 40, 2.0f, 3, 27, 3, 2, 21, 35},   // 36 / 2 + 3, 15 / 2 = 7.5 rounds to 8
      {100, 0, 0.5f, 0, 0, 10, 1, 184, 44},  // (192 - 100) / 0.5, even column: 22 / 0.5
  };
  for (const Row& r : rows) {
    MapView view;
    view.panX = r.panX, view.panY = r.panY, view.zoom = r.zoom, view.viewLeft = r.left, view.viewTop = r.top;
    const TutorialPoint p = TutorialHexPoint(view, r.column, r.row);
    EXPECT_EQ(p.x, r.x) << r.column << "," << r.row;
    EXPECT_EQ(p.y, r.y) << r.column << "," << r.row;
  }
}

TEST_F(TutorialWindowTest, TheButtonsShowWhereThereIsAPageToGoTo) {
  struct Row {
    const char* name;
    int pages;
    int nexts;  // NEXT pressed this often after opening
    bool prev, next;
    int page;
  } rows[] = {
      {"one page", 1, 0, false, false, 1},
      {"first of three", 3, 0, false, true, 1},
      {"second of three", 3, 1, true, true, 2},
      {"last of three", 3, 2, true, false, 3},
      {"past the last stays", 3, 3, true, false, 3},
  };
  for (const Row& r : rows) {
    ReleaseTutorial(g_screens.tutorial);
    for (int i = 0; i < r.pages; ++i) Load({Page{}});
    OpenTutorialPage(g_screens.tutorial);
    ASSERT_TRUE(TutorialWindowOpen(g_screens.tutorial)) << r.name;
    for (int i = 0; i < r.nexts; ++i) g_screens.tutorial.OnCommand(FormFindControlByTag(form_, "NEXT"), 0);
    EXPECT_EQ(Shown("PREV"), r.prev) << r.name;
    EXPECT_EQ(Shown("NEXT"), r.next) << r.name;
    EXPECT_EQ(PageNumber(), r.page) << r.name;
    EXPECT_EQ(g_mapWheelLock, 1) << r.name;
  }
}

TEST_F(TutorialWindowTest, AChainRunsEveryPageAndShowsItsLast) {
  // Three pages that each close one dock level and press their own
  // control, chained: one build runs all three.
  g_ui.panelDepth = 3;
  Load({{kTutorialBackOneLevel, "ONE", nullptr, true},
        {kTutorialBackOneLevel, "TWO", nullptr, true},
        {kTutorialBackOneLevel, "THREE", nullptr, false},
        {0, nullptr, nullptr, false}});
  OpenTutorialPage(g_screens.tutorial);
  EXPECT_EQ(g_ui.panelDepth, 0);
  EXPECT_EQ((std::map<std::string, int>{{"ONE", 1}, {"TWO", 1}, {"THREE", 1}}), panel_.presses);
  EXPECT_EQ(PageNumber(), 3);
  EXPECT_EQ(TextBoxText(g_screens.tutorial.textBox), "page 3");
  EXPECT_TRUE(Shown("PREV"));
}

TEST_F(TutorialWindowTest, PreviousReplaysTheScriptUpToItsPage) {
  struct Row {
    const char* name;
    int nexts;
    std::map<std::string, int> presses;  // after PREV
    int page;
  } rows[] = {
      // Page 1 pressed on opening and again on the way back; page 2 once.
      {"from page 2", 1, {{"ONE", 2}, {"TWO", 1}}, 1},
      // Page 3 runs on into 4: back from 4 lands on 2, built from 1 again.
      {"from the chain's end", 2, {{"ONE", 2}, {"TWO", 2}, {"THREE", 1}}, 2},
  };
  for (const Row& r : rows) {
    ReleaseTutorial(g_screens.tutorial);
    panel_.presses.clear();
    Load({{0, "ONE"}, {0, "TWO"}, {0, "THREE", nullptr, true}, {0, nullptr}});
    OpenTutorialPage(g_screens.tutorial);
    for (int i = 0; i < r.nexts; ++i) g_screens.tutorial.NextPage();
    g_screens.tutorial.OnCommand(FormFindControlByTag(form_, "PREV"), 0);
    EXPECT_EQ(panel_.presses, r.presses) << r.name;
    EXPECT_EQ(PageNumber(), r.page) << r.name;
  }
}

TEST_F(TutorialWindowTest, OnlyAHexInsideTheMapMovesIt) {
  g_world.mapWidth = g_world.mapHeight = 10;
  struct Row {
    int32_t column, row;
    bool moves;
  } rows[] = {{0, 4, false}, {3, 0, false}, {10, 4, false}, {3, 4, true}};
  for (const Row& r : rows) {
    ReleaseTutorial(g_screens.tutorial);
    g_world.gameState.currentHex = {};
    Load({{0, nullptr, nullptr, false, r.column, r.row}});
    OpenTutorialPage(g_screens.tutorial);
    const HexPosition& hex = g_world.gameState.currentHex;
    EXPECT_EQ(hex.x == r.column && hex.y == r.row, r.moves) << r.column << "," << r.row;
  }
}

TEST_F(TutorialWindowTest, AMarkerFramesItsControlTenPixelsWider) {
  Load({{0, nullptr, "MAP"}, {0, nullptr, "TWO"}, {0, nullptr, "NOSUCHTAG"}});
  TutorialWindow& w = g_screens.tutorial;
  OpenTutorialPage(w);
  struct Row {
    plat::Rect rect;
    bool marked;
  } rows[] = {
      {{-8, 92, 68, 132}, true},     // MAP at (2, 102)-(58, 122) in the command bar
      {{100, 500, 160, 540}, true},  // TWO at (110, 510)-(150, 530) in the dock
      {{}, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(w.markers[0]->parent != nullptr, r.marked);
    if (r.marked) {
      EXPECT_EQ(w.markers[0]->parent, form_->parent);
      EXPECT_EQ(w.markers[0]->rect.left, r.rect.left);
      EXPECT_EQ(w.markers[0]->rect.top, r.rect.top);
      EXPECT_EQ(w.markers[0]->rect.right, r.rect.right);
      EXPECT_EQ(w.markers[0]->rect.bottom, r.rect.bottom);
    }
    w.NextPage();
  }
}

TEST_F(TutorialWindowTest, AStoppedGameLeavesNoPageAndNoWindow) {
  Load({{0}, {0}});
  OpenTutorialPage(g_screens.tutorial);
  ASSERT_NE(g_screens.tutorial.page, nullptr);
  ReleaseTutorial(g_screens.tutorial);
  EXPECT_EQ(g_tutorialSteps, nullptr);
  EXPECT_EQ(g_screens.tutorial.page, nullptr);
  EXPECT_EQ(g_screens.tutorial.backdrop, nullptr);
  EXPECT_EQ(form_->parent, nullptr);
  EXPECT_EQ(root_->firstChild, nullptr);
  EXPECT_EQ(g_mapWheelLock, 0);
}

}  // namespace
