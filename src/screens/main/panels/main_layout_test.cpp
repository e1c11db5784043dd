// The main screen's layout: the map under the title bar, the dock's depth,
// the main panel, the side screens and the zoom slider.
#include "screens/common/frame/main_layout.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "app/app_object.h"
#include "screens/main/panels/main_panels.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "support/root_controls.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "world/game_state.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

std::vector<int32_t> g_sounds;

class MainLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetScreen(1280, 1024);
    root_.emplace();
    g_ui.mode = kUiInGame;
    g_ui.panelDepth = 0;
    // No hex selected: the map screen would open a side panel for it.
    g_world.gameState.currentHex = HexPosition{};
    g_sounds.clear();
    g_popupSounds.uiSound = [](int32_t n) { g_sounds.push_back(n); };
  }
  void TearDown() override {
    g_popupSounds.uiSound = nullptr;
    g_mainLayoutLinks = {};
    g_ui.mode = kUiFrontEnd;
  }
  static void SetScreen(int32_t w, int32_t h) { g_platform.clientRect = {0, 0, w, h}; }

  GlobalGuard<plat::Rect> client_{g_platform.clientRect};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  std::optional<RootControlsForTest> root_;
};

using Quad = std::array<int32_t, 4>;

TEST_F(MainLayoutTest, TheMapFillsTheScreenUnderTheTitleBarInsideItsBorder) {
  // 1280 x 1024: h = 1000 under the 24-pixel bar; the border takes 3 at the
  // left and top, 4 at the right and bottom; the side screens take 224 at the
  // right; below 1024 pixels they are off, and the option with them.
  struct Row {
    int32_t width, transparent, noBorder, sideScreens;
    Quad map, viewport;
    int32_t sideScreensAfter;
  } rows[] = {
      {1280, 0, 0, 0, {0, 24, 1280, 1024}, {3, 27, 1276, 1020}, 0},
      {1280, 1, 0, 0, {0, 0, 1280, 1024}, {3, 3, 1276, 1020}, 0},
      {1280, 0, 1, 0, {0, 24, 1280, 1024}, {0, 24, 1280, 1024}, 0},
      {1280, 0, 0, 1, {0, 24, 1056, 1024}, {3, 27, 1052, 1020}, 1},
      {1000, 0, 0, 1, {0, 24, 1000, 1024}, {3, 27, 996, 1020}, 0},
  };
  for (const Row& r : rows) {
    SetScreen(r.width, 1024);
    g_uiOptions.btitlebartransp = r.transparent;
    g_uiOptions.bnomapbord = r.noBorder;
    g_uiOptions.sidescreens = r.sideScreens;
    ApplySideScreensLayout(g_mapView);
    const plat::Rect m = ControlAbsoluteRect(g_ui.mapArea);
    const MapView& v = g_mapView;
    EXPECT_EQ((Quad{m.left, m.top, m.right, m.bottom}), r.map) << r.width << r.transparent << r.noBorder;
    EXPECT_EQ((Quad{v.viewLeft, v.viewTop, v.viewRight, v.viewBottom}), r.viewport) << r.width;
    EXPECT_EQ(g_uiOptions.sidescreens, r.sideScreensAfter) << r.width;
    EXPECT_EQ(g_ui.rightColumn->Hidden(), r.sideScreensAfter == 0);
    EXPECT_EQ(ControlAbsoluteRect(g_ui.bottomBar).bottom, 1024);  // the dock sits on the map's foot
    EXPECT_EQ(g_screens.mapBorder->id, r.noBorder ? 0 : 1);
  }
}

TEST_F(MainLayoutTest, TheDockOpensAndClosesItsLevels) {
  // A change plays sound 8; the same depth only releases bar 1 or 2; going
  // down with release frees the bars above the new depth but never bar 3.
  struct Row {
    int32_t from, to, release;
    int32_t width, sounds;
    std::array<bool, 3> stillSelected;  // the toggle on bars 1, 2, 3
  } rows[] = {
      {0, 1, 1, 360, 1, {true, true, true}},   {1, 2, 1, 580, 1, {true, true, true}},
      {2, 3, 1, 800, 1, {true, true, true}},   {3, 0, 1, 60, 1, {false, false, true}},
      {3, 1, 1, 360, 1, {false, false, true}},  {2, 0, 0, 60, 1, {true, true, true}},
      {2, 2, 1, 60, 0, {true, false, true}},   {1, 1, 1, 60, 0, {false, true, true}},
      {3, 3, 1, 60, 0, {true, true, true}},    {0, 0, 1, 60, 0, {true, true, true}},
      {2, -1, 1, 580, 0, {true, true, true}},
  };
  for (const Row& r : rows) {
    g_ui.panelDepth = 1;
    SetPanelDepth(0, 0, g_mapView);  // the dock closed, 60 wide
    g_ui.panelDepth = r.from;
    std::array<Control*, 3> toggles{};
    for (int level = 1; level <= 3; ++level) {
      toggles[level - 1] = ControlAddChild(g_ui.bottomBoxes[level],
                                           new Control(ControlInit{.flags = kCtlRadio | kCtlButton, .state = kStateSelected}));
    }
    g_sounds.clear();
    SetPanelDepth(r.to, r.release, g_mapView);
    const int32_t depth = r.to < 0 ? r.from : r.to;
    EXPECT_EQ(g_ui.panelDepth, depth) << r.from << "->" << r.to;
    EXPECT_EQ(g_ui.bottomBar->rect.right, r.width) << r.from << "->" << r.to;
    EXPECT_EQ(g_sounds, std::vector<int32_t>(r.sounds, kSoundSidePopup)) << r.from << "->" << r.to;
    for (int level = 1; level <= 3; ++level) {
      EXPECT_EQ(toggles[level - 1]->Selected(), r.stillSelected[level - 1]) << r.from << "->" << r.to << " bar " << level;
      EXPECT_EQ(g_ui.bottomBoxes[level]->Hidden(), r.from == r.to || depth < level);
      delete toggles[level - 1];
    }
  }
}

TEST_F(MainLayoutTest, EachPanelNumberShowsItsScreen) {
  struct Row {
    int32_t panel, keepDepth;
    const char* form;
    int32_t depth, opened, popupsClosed;
  } rows[] = {
      {0, 0, "MAP1", 1, 1, 1},     {10, 1, "MAP1", 0, 0, 1},     {1, 0, "MAP1", 1, 1, 1},
      {2, 0, "OPS1", 1, 1, 1},     {3, 1, "MILITARY1", 1, 0, 1}, {4, 0, "DIPLOMACY1", 1, 1, 1},
      {5, 0, "ECONOMY1", 1, 1, 1}, {6, 0, "PRODUCT1", 1, 1, 1},  {7, 0, "DOMPOLICY1", 1, 1, 1},
      {8, 0, "STATUS1", 1, 1, 1},
      // No unit selected: the orders screen has none to list and closes.
      {9, 0, "ORDERS1", 0, 0, 0},
  };
  static int32_t closed;
  g_mainLayoutLinks.closeMapPopups = [](ScreenSet&) { ++closed; };
  for (const Row& r : rows) {
    g_ui.panelDepth = 0;
    closed = 0;
    ShowMainPanel(r.panel, r.keepDepth, g_screens);
    EXPECT_STREQ(MainPanelScreen(g_screens, r.panel).formName, r.form);
    EXPECT_EQ(g_screens.cmdBar.id, r.panel);
    EXPECT_EQ(g_screens.cmdBar.dockedPanelMarker, r.opened) << r.panel;
    EXPECT_EQ(g_ui.panelDepth, r.depth) << r.panel;
    EXPECT_EQ(closed, r.popupsClosed) << r.panel;
  }
}

TEST_F(MainLayoutTest, LeavingTheMapModesRequestsARedrawOnlyForAClickMode) {
  for (const int32_t mode : {0, 2}) {
    g_screens.mapClickMode = mode;
    g_screens.selectionPanelPending = 1;
    g_mapView.pickHex = 1;
    g_mapView.redrawPending = 0;
    RefreshSelection(g_screens);
    EXPECT_EQ(g_mapView.redrawPending, mode ? 1 : 0);
    EXPECT_EQ(g_screens.mapClickMode + g_screens.selectionPanelPending + g_mapView.pickHex, 0);
  }
}

TEST_F(MainLayoutTest, TheZoomSliderRunsFromTheMinimumToTheMaximum) {
  MapView view;
  view.viewRight = 1000, view.viewBottom = 600;
  InitMapViewGeometry(view, 100, 50, false, 0, 0);  // the map would allow 1.76: the maximum stays 1.5
  struct Row {
    float value, zoom;
  } rows[] = {{0.0f, 0.3f}, {0.7f, 1.0f}, {1.2f, 1.5f}};
  for (const Row& r : rows) {
    ApplyZoomSliderValue(view, r.value);
    EXPECT_FLOAT_EQ(view.zoom, r.zoom);
    EXPECT_EQ(view.visibleExtentX, static_cast<int32_t>(1000.0f * view.zoom) + 6);
  }
}

TEST_F(MainLayoutTest, TheStatusLinesKeepClearOfTheEdgeAndTheSideScreens) {
  Control* form = new Control(ControlInit{.tag = "STATMAP", .width = 400, .height = 90});
  ControlAddChild(g_ui.rootPanel, form);
  g_screens.statMap.currentForm = form;
  for (const int32_t side : {0, 1}) {
    g_uiOptions.sidescreens = side;
    LayoutStatusOverlay();
    const plat::Rect r = ControlAbsoluteRect(form);
    EXPECT_EQ(r.right, 1280 - 32 - 224 * side);
    EXPECT_EQ(r.bottom, 1024 - 230);
    EXPECT_EQ(r.right - r.left, 400);
  }
  g_screens.statMap.currentForm = nullptr;
  delete form;
}

TEST_F(MainLayoutTest, TheBorderFramesTheMapPaneWhileItIsOn) {
  // The map pane 1280 x 1000: the corners 56 wide, the sides 4 thick.
  g_uiOptions.sidescreens = 0;
  ApplySideScreensLayout(g_mapView);
  Control* form = new Control(ControlInit{.tag = "MAPBORD", .width = 1024, .height = 768});
  for (int32_t id = 1; id <= 9; ++id) ControlAddChild(form, new Control(ControlInit{.id = id}));
  Screen& border = *g_screens.mapBorder;
  border.currentForm = form;
  struct Row {
    int32_t id, shown;
    Quad piece6, piece9;
  } rows[] = {{1, 8, {1276, 0, 1280, 996}, {1224, 996, 1280, 1000}}, {0, 0, {1276, 0, 1280, 996}, {1224, 996, 1280, 1000}}};
  for (const Row& r : rows) {
    border.id = r.id;
    border.OnOpen();
    int32_t shown = 0;
    for (int32_t id = 1; id <= 9; ++id) shown += FormFindControlById(form, id)->Hidden() ? 0 : 1;
    EXPECT_EQ(shown, r.shown);
    const plat::Rect six = FormFindControlById(form, 6)->rect, nine = FormFindControlById(form, 9)->rect;
    EXPECT_EQ((Quad{six.left, six.top, six.right, six.bottom}), r.piece6);
    EXPECT_EQ((Quad{nine.left, nine.top, nine.right, nine.bottom}), r.piece9);
    EXPECT_EQ(form->rect.right, 1280);
  }
  border.currentForm = nullptr;
  delete form;
}

TEST_F(MainLayoutTest, TheSidePanelBoxShowsTheFilterTheOddsOrTheHex) {
  // The dock closing to depth 0 beside the side screens.
  ScreenSet& s = g_screens;
  std::array<Screen*, 3> screens{s.filterBar.get(), &s.combatOdds, &s.hexInfoPopup};
  for (Screen* screen : screens) screen->form = new Control(ControlInit{.tag = screen->formName});
  struct Row {
    int32_t filterShown, ordersShown;
    Screen* shown;
  } rows[] = {{1, 1, s.filterBar.get()}, {0, 1, &s.combatOdds}, {0, 0, &s.hexInfoPopup}, {1, 0, s.filterBar.get()}};
  g_uiOptions.sidescreens = 1;
  for (const Row& r : rows) {
    s.minimapBar.filterShown = r.filterShown;
    s.selectionOrdersShown = r.ordersShown;
    g_ui.panelDepth = 1;
    SetPanelDepth(0, 1, g_mapView);
    EXPECT_EQ(g_ui.rightBoxes[1]->firstChild, r.shown->form) << r.filterShown << r.ordersShown;
  }
  s.minimapBar.filterShown = s.selectionOrdersShown = 0;
  for (Screen* screen : screens) {
    delete screen->form;
    screen->form = screen->currentForm = nullptr;
  }
}

// The dock's deselection of its radio buttons.
TEST(DockRadioButtons, OnlySelectedRadioButtonsAreDeselected) {
  struct Row {
    uint32_t flags, state, wantState;
  };
  const Row rows[] = {
      {kCtlRadio | kCtlButton, kStateSelected, 0},
      {kCtlRadio | kCtlButton, kStateSelected | kStateHidden, kStateHidden},
      {kCtlRadio | kCtlButton, kStateHidden, kStateHidden},
      {kCtlRadio, kStateSelected, kStateSelected},
      {kCtlButton, kStateSelected, kStateSelected},
  };
  for (const Row& r : rows) {
    Control control;
    control.flags = r.flags;
    control.state = r.state;
    UnselectToggleControl(&control);
    EXPECT_EQ(control.state & ~kStateDirty, r.wantState) << std::hex << r.flags << " " << r.state;
  }
  UnselectToggleControl(nullptr);
}

}  // namespace
