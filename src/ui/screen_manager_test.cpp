// The interface root: the root controls laid out for the screen, the refresh
// walk, and the frame (input, frame rate, fade) drawn on the OpenGL device.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "app/gfx/gfx_test_support.h"
#include "support/global_guard.h"
#include "ui/box_control.h"
#include "ui/control_tree.h"
#include "ui/screen.h"
#include "ui/screen_manager.h"

namespace {

BoxControl* Box(const char* tag) { return new BoxControl(ControlInit{.kind = kKindBox, .tag = tag}); }

TEST(ScreenManagerTest, RootControlsFrameTheMainScreenForItsSize) {
  // The right column 224 wide under the 24-pixel top bar; the dock 194 high on the map area's foot.
  struct Row {
    int32_t w, h;
    Control* (*pick)(ScreenManager&);
    std::array<int32_t, 4> rect;
    bool hidden;
  } rows[] = {
      {1024, 768, [](ScreenManager& m) { return m.rightColumn; }, {800, 24, 1024, 792}, false},
      {1024, 768, [](ScreenManager& m) { return m.rightBoxes[2]; }, {800, 399, 1024, 768}, false},
      {1024, 768, [](ScreenManager& m) { return m.bottomBar; }, {0, 574, 800, 768}, false},
      {1024, 768, [](ScreenManager& m) { return m.bottomBoxes[3]; }, {580, 574, 800, 768}, false},
      {1024, 768, [](ScreenManager& m) { return m.bottomStrip; }, {0, 574, 1024, 768}, true},
      {800, 600, [](ScreenManager& m) { return m.rightColumn; }, {576, 24, 800, 624}, false},
  };
  const GlobalGuard<plat::Rect> client(g_platform.clientRect);
  for (const Row& row : rows) {
    g_platform.clientRect = {0, 0, row.w, row.h};
    ScreenManager ui;
    BuildRootControls(ui);
    const plat::Rect r = ControlAbsoluteRect(row.pick(ui));
    EXPECT_EQ((std::array{r.left, r.top, r.right, r.bottom}), row.rect) << row.w;
    EXPECT_EQ(row.pick(ui)->Hidden(), row.hidden);
    EXPECT_EQ(ControlHitTest(ui.rootPanel, 900, 500, kAnyDepth, 0) == ui.rightBoxes[2], row.w == 1024);
  }
}

struct CountingScreen : Screen {
  CountingScreen() : Screen(nullptr) {}
  void Refresh() override { ++refreshed; }
  int refreshed = 0;
};

TEST(ScreenManagerTest, RefreshWalkRefreshesOrMarksTheScreensOfFormRoots) {
  // Root > form A (screen A) > form B (screen B) > C (B's, no form root).
  struct Row {
    const char* name;
    int32_t force, defer, refreshAll;
    uint32_t askedB;
    bool hideA;
    int refreshedA, refreshedB;
    uint32_t bitsA, bitsB;  // request bits after the walk
  } rows[] = {
      {"force refreshes every form root's screen", 1, 0, 0, 0, false, 1, 1, 0, 0},
      {"defer only sets bit 1", 1, 1, 0, 0, false, 0, 0, 2, 2},
      {"refresh-all", 0, 0, 1, 0, false, 1, 1, 0, 0},
      {"a screen that asked; its bit 1 cleared", 0, 0, 0, 2, false, 0, 1, 0, 0},
      {"a hidden control stops its subtree", 1, 0, 0, 0, true, 0, 0, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CountingScreen a, b;
    Control root;
    Control* formA = ControlAddChild(&root, Box("A"));
    Control* formB = ControlAddChild(formA, Box("B"));
    ControlAddChild(formB, Box("C"))->owner = &b;
    formA->owner = &a, formB->owner = &b, a.currentForm = formA, b.currentForm = formB;
    b.refreshRequest = row.askedB;
    if (row.hideA) formA->state |= kStateHidden;
    ScreenManager ui;
    ui.modal = row.refreshAll;
    RedrawControlTree(ui, &root, row.force, row.defer);
    EXPECT_EQ((std::array{a.refreshed, b.refreshed}), (std::array{row.refreshedA, row.refreshedB}));
    EXPECT_EQ((std::array{a.refreshRequest, b.refreshRequest}), (std::array{row.bitsA, row.bitsB}));
  }
}

PolledInput g_input;

using FrameTest = gfxtest::GlRendererTest;

TEST_F(FrameTest, FramePollsInputCountsTheRateAndFades) {
  // Frames step ms apart. A 1000 ms fade with 250 left: white at 0.25 x 255 = 63 over black.
  struct Row {
    const char* name;
    bool root, swapped;
    uint32_t firstTick;
    int frames, step;
    int32_t fadeLeft;  // end tick - first tick; 0 no fade
    uint32_t keyState;
    float fps;  // 0: display off
    int grey;
  } rows[] = {
      {"no root form: no draw call, the tick untouched", false, false, 5000, 1, 0, 0, 0, 0, 0},
      {"swapped buttons: the physical left reports 2", true, true, 5000, 1, 0, 0, 2, 0, 0},
      {"20 frames over 500 ms across the wrap", true, false, 0xFFFFFF00u, 20, 25, 0, 1, 40.0f, 0},
      {"a fade with a quarter left", true, false, 5000, 1, 0, 250, 1, 0, 63},
      {"a passed fade clears itself", true, false, 5000, 1, 0, -10, 1, 0, 0},
  };
  g_platform.clientRect = {0, 0, int32_t(kWidth), int32_t(kHeight)};
  g_uiInput.poll = [] { return g_input; };
  int draws = 0;
  g_renderer.device->SetDrawHook([&draws](const plat::DrawRecord&) { ++draws; });
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    gfxtest::FakeClock clock;
    gfxtest::ClockScope scope((clock.now = row.firstTick, &clock));
    g_uiInput.swapButtons = row.swapped ? SwapButtonsQuery{[] { return true; }} : nullptr;
    g_input = PolledInput{.left = true};
    ScreenManager ui;
    BoxControl root(ControlInit{.kind = kKindBox, .fillNormal = 0xFF000000u, .width = kWidth, .height = kHeight});
    ui.rootForm = row.root ? &root : nullptr;
    ui.showFrameRate = row.fps > 0;
    ui.frameRateTick = row.firstTick - row.step;
    ui.nowTick = 77;
    ui.fadeEndTick = row.fadeLeft ? row.firstTick + row.fadeLeft : 0;
    ui.fadeDuration = 1000;
    ClearTo(0xFF000000u);
    draws = 0;
    for (int f = 0; f < row.frames; ++f, clock.now += row.step) UpdateFrameUi(ui);
    EXPECT_EQ(draws == 0, !row.root);
    EXPECT_EQ(ui.nowTick == 77, !row.root);
    if (!row.root) continue;
    EXPECT_EQ(ui.keyState, row.keyState);
    EXPECT_NEAR(ui.framesPerSecond, row.fps, 2.0f);
    EXPECT_EQ(ui.fadeEndTick != 0, row.fadeLeft > 0);
    EXPECT_NEAR(gfxtest::Channel(Read().At(kWidth / 2, kHeight / 2), 16), row.grey, 1);
  }
  g_uiInput = UiInputSeam{};  // the device and its hook go with the fixture
}

}  // namespace
