// The map pane's mouse: the wheel, drag-panning, clicks against bands, the
// right-button hex menu, and the front end's deafness. Messages are handed
// to the pane as its control would.
#include "screens/main/map_input/map_pane_input.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/messages.h"
#include "records/hex_unit_stack.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "screens/common/frame/unit_selection.h"
#include "records/unit_record.h"
#include "screens/screen_set.h"
#include "support/global_guard.h"
#include "ui/screen_manager.h"
#include "world/object_hex.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

struct Calls {
  std::vector<int32_t> zoomMoves;   // slider positions moved
  std::vector<std::pair<int32_t, int32_t>> selects, hexMenus;
};
Calls g_calls;
PolledInput g_keys;

class MapPaneInputTest : public ::testing::Test {
 protected:
  static constexpr int kColumns = 60, kRows = 40;
  void SetUp() override {
    ResetUiOptions(g_uiOptions);
    g_ui.mode = kUiInGame, g_ui.mapView = &view();
    g_world.mapWidth = kColumns, g_world.mapHeight = kRows;
    g_world.cells.assign(kColumns * kRows, HexCell{});
    view().viewLeft = view().viewTop = 0, view().viewRight = 400, view().viewBottom = 300;
    InitMapViewGeometry(view(), kColumns, kRows, false, 0, 0);
    view().panX = view().panY = 200;
    ClampMapPan(view());
    g_calls = Calls{}, g_keys = PolledInput{}, g_uiInput.poll = [] { return g_keys; };
    g_mapPaneLinks.moveZoomSlider = [](int32_t amount) { g_calls.zoomMoves.push_back(-amount); };
    g_mapPaneLinks.selectUnitsAtClick = [](ScreenSet&, int32_t x, int32_t y, int32_t) {
      g_calls.selects.emplace_back(x, y);
    };
    g_mapPaneLinks.openHexMenu = [](ScreenSet&, int32_t x, int32_t y) { g_calls.hexMenus.emplace_back(x, y); };
  }
  void TearDown() override {
    g_mapPaneLinks = MapPaneLinks{}, g_uiInput = UiInputSeam{};
    view().dragPan = view().buttonHeld = view().rubberBand = view().pickHex = 0;
    SetObjectHex(g_world, 0, 0, g_world.gameState.currentHex);
    SetViewObjectHex(g_world, 0, 0, g_world.gameState.viewHex);
    g_world.cells.clear(), g_world.mapWidth = g_world.mapHeight = 0;
  }
  static MapView& view() { return g_mapView; }
  static void Send(uint32_t message, uint32_t keyState, int32_t x, int32_t y) {
    view().mapPane.OnControlMessage(0, 0, 0, static_cast<int32_t>(message), keyState, x, y, nullptr, 0);
  }
  static uint32_t Wheel(int32_t delta) { return static_cast<uint32_t>(static_cast<uint16_t>(delta)) << 16; }

  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<int32_t> mode_{g_ui.mode};
  GlobalGuard<MapView*> mapView_{g_ui.mapView};
};

TEST_F(MapPaneInputTest, WheelZoomsByNotchesAndPansWithCtrl) {
  struct Row { int32_t delta; bool shift, ctrl, reverse; std::vector<int32_t> zoomMoves; int32_t panDy; };
  // A notch is 120; the slider moves a tenth of its 10000 a notch (all of
  // it with Shift), the other way with the reversed option. With Ctrl at zoom 1.5 and speed 1.0
  // a notch pans trunc(1 x 1.0 x 1.5 x -32) = -48. The modifiers are the message's: the keyboard has already
  // moved on to the opposite state when it is handled.
  const Row rows[] = {
      {60, false, false, false, {}, 0},
      {-240, false, false, false, {2000}, 0},
      {-240, false, false, true, {-2000}, 0},
      {-240, true, false, false, {20000}, 0},
      {120, false, true, false, {}, -48},
  };
  for (const Row& r : rows) {
    g_calls = Calls{}, g_keys.shift = !r.shift, g_keys.ctrl = !r.ctrl, g_uiOptions.brevwheelzoom = r.reverse;
    view().zoom = 1.5f, view().panY = 200;
    ComputeMapScrollLimits(view());
    const uint32_t keys = (r.shift ? plat::kMkShift : 0u) | (r.ctrl ? plat::kMkControl : 0u);
    Send(plat::kWmMouseWheel, Wheel(r.delta) | keys, 100, 100);
    EXPECT_EQ(g_calls.zoomMoves, r.zoomMoves) << r.delta;
    EXPECT_EQ(view().panY - 200, r.panDy) << r.delta;
  }
}

TEST_F(MapPaneInputTest, RightDragPansByZoomAndOpensTheHexMenuOnlyWhenStill) {
  struct Row { float zoom; int32_t dx; int32_t panDx; size_t hexMenus; };
  // Above zoom 1.0 the pan moves trunc(dx x zoom); at or below it one map
  // pixel per screen pixel.
  const Row rows[] = {{1.5f, 10, -15, 0}, {0.5f, 10, -10, 0}, {1.0f, 0, 0, 1}};
  for (const Row& r : rows) {
    g_calls = Calls{};
    view().zoom = r.zoom, view().panX = 200;
    ComputeMapScrollLimits(view());
    Send(plat::kWmRButtonDown, plat::kMkRButton, 100, 100);
    if (r.dx) Send(plat::kWmMouseMove, plat::kMkRButton, 100 + r.dx, 100);
    EXPECT_EQ(view().panX - 200, r.panDx) << r.zoom;
    Send(plat::kWmRButtonUp, 0, 100 + r.dx, 100);
    EXPECT_EQ(g_calls.hexMenus.size(), r.hexMenus) << r.zoom;
    EXPECT_EQ(view().dragPan, 0);
  }
}

TEST_F(MapPaneInputTest, LeftClickSelectsAndADragOfMoreThanFourPixelsBands) {
  struct Row { int32_t moved; bool pick, stack; int32_t band; size_t selects; };
  const Row rows[] = {
      {4, false, true, 0, 1},   // a click: the stack's units
      {4, false, false, 0, 0},  // a click on an empty hex selects nothing
      {5, false, false, 1, 1},  // a band selects whatever it holds
      {5, true, true, 0, 1},    // while picking a hex no band starts
  };
  HexUnitStack stack;
  for (const Row& r : rows) {
    g_calls = Calls{}, view().zoom = 1.0f;
    ComputeMapScrollLimits(view());
    const Hex p = ScreenToMapPixel(view(), 100, 100);
    const Hex hex = MapPixelToHex(view(), p.x, p.y);
    HexCell& cell = g_world.cells[static_cast<size_t>(hex.y * kColumns + hex.x)];
    cell.stack = r.stack ? &stack : nullptr;
    Send(plat::kWmLButtonDown, plat::kMkLButton, 100, 100);
    // Set after the press: a plain click closes the docked panels, and with
    // them any hex pick.
    view().pickHex = r.pick ? 1 : 0;
    Send(plat::kWmMouseMove, plat::kMkLButton, 100 + r.moved, 100);
    EXPECT_EQ(view().rubberBand, r.band) << r.moved << r.pick;
    Send(plat::kWmLButtonUp, 0, 100 + r.moved, 100);
    ASSERT_EQ(g_calls.selects.size(), r.selects) << r.moved << r.pick;
    if (r.selects) {
      EXPECT_EQ(g_calls.selects[0], std::make_pair(104 + r.moved, 96));
    }
    EXPECT_EQ(view().rubberBand + view().buttonHeld, 0);
    cell.stack = nullptr;
  }
}

TEST_F(MapPaneInputTest, TheFrontEndChangesNotEvenTheHoverHex) {
  struct Row { int32_t mode; bool hoverMoves; };
  const Row rows[] = {{kUiFrontEnd, false}, {kUiInGame, true}, {kUiMapEditor, true}};
  for (const Row& r : rows) {
    g_ui.mode = r.mode;
    SetViewObjectHex(g_world, 0, 0, g_world.gameState.viewHex);
    Send(plat::kWmMouseMove, 0, 150, 150);
    Send(plat::kWmMouseWheel, Wheel(-240), 150, 150);
    const HexPosition& hover = g_world.gameState.viewHex;
    EXPECT_EQ(hover.x != 0 || hover.y != 0, r.hoverMoves) << r.mode;
    EXPECT_EQ(g_calls.zoomMoves.empty(), !r.hoverMoves) << r.mode;
    g_calls = Calls{};
  }
}

}  // namespace

TEST_F(MapPaneInputTest, AClickHoldsTheOddsOnTheClickedHexAndTheNextLetsTheSelectionGo) {
  // The selection's orders shown beside the map's odds, no default order.
  g_uiOptions.sidescreens = 1, g_uiOptions.bunitorderdef = 0;
  GlobalGuard<int32_t> shown(g_screens.selectionOrdersShown, 1), locked(g_screens.mapTargetLocked, 0);
  UnitRecord unit{};
  unit.id = 7;
  AddUnitRef(g_screens.SelectionList(), unit);
  const std::pair<int32_t, int32_t> rows[] = {{1, 1}, {0, 0}};  // lock, orders shown after each click
  for (const auto& [lock, ordersShown] : rows) {
    Send(plat::kWmLButtonDown, plat::kMkLButton, 100, 100);
    Send(plat::kWmLButtonUp, 0, 100, 100);
    EXPECT_EQ(g_screens.mapTargetLocked, lock);
    EXPECT_EQ(g_screens.selectionOrdersShown, ordersShown);
  }
  ListHolderClear(g_screens.SelectionList());
}
