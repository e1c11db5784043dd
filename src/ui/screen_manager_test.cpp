// The interface root: the root controls laid out for the screen, the refresh
// walk of the window timer, and the frame (input poll, frame rate, fade)
// drawn on the OpenGL device.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <tuple>
#include <string>
#include <vector>

#include "app/gfx/gfx_test_support.h"
#include "ui/box_control.h"
#include "ui/control_tree.h"
#include "ui/screen.h"
#include "ui/screen_manager.h"

namespace {

using RectTuple = std::tuple<int32_t, int32_t, int32_t, int32_t>;

BoxControl* Box(const char* tag) { return new BoxControl(ControlInit{.kind = kKindBox, .tag = tag}); }

RectTuple Abs(const Control* c) {
  const plat::Rect r = ControlAbsoluteRect(c);
  return {r.left, r.top, r.right, r.bottom};
}

TEST(ScreenManagerTest, RootControlsFrameTheMainScreenForItsSize) {
  // Absolute rectangles worked out from the layout: the right column is
  // 224 wide under the 24-pixel top bar, the bottom bar 194 high ending 24
  // above the screen's foot, the boxes inside them at their offsets.
  struct Row {
    int32_t w, h;
    const char* name;
    std::function<Control*(ScreenManager&)> control;
    RectTuple rect;
    bool hidden;
  } rows[] = {
      {1024, 768, "right column", [](ScreenManager& m) { return m.rightColumn; }, {800, 24, 1024, 792}, false},
      {1024, 768, "right box 3", [](ScreenManager& m) { return m.rightBoxes[2]; }, {800, 399, 1024, 768}, false},
      {1024, 768, "bottom bar", [](ScreenManager& m) { return m.bottomBar; }, {0, 550, 800, 744}, false},
      {1024, 768, "bottom box 4", [](ScreenManager& m) { return m.bottomBoxes[3]; }, {580, 550, 800, 744}, false},
      {1024, 768, "bottom strip", [](ScreenManager& m) { return m.bottomStrip; }, {0, 574, 1024, 768}, true},
      {1024, 768, "map area", [](ScreenManager& m) { return m.mapArea; }, {0, 24, 800, 792}, false},
      {800, 600, "right column", [](ScreenManager& m) { return m.rightColumn; }, {576, 24, 800, 624}, false},
      {800, 600, "front-end background", [](ScreenManager& m) { return m.frontEndBackground; }, {0, 0, 800, 600}, false},
  };
  const plat::Rect saved = g_platform.clientRect;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.w) + " " + row.name);
    g_platform.clientRect = {0, 0, row.w, row.h};
    ScreenManager ui;
    BuildRootControls(ui);
    const Control* c = row.control(ui);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(Abs(c), row.rect);
    EXPECT_EQ(c->Hidden(), row.hidden);
    if (row.w == 1024) {
      EXPECT_EQ(ControlHitTest(ui.rootPanel, 900, 500, kAnyDepth, 0), ui.rightBoxes[2]);
    }
    EXPECT_EQ(ui.rightBoxes[4], nullptr);
  }
  g_platform.clientRect = saved;
}

class CountingScreen : public Screen {
 public:
  CountingScreen() : Screen(nullptr) {}
  void Refresh() override { ++refreshed; }
  int refreshed = 0;
};

TEST(ScreenManagerTest, RefreshWalkRefreshesOrMarksTheScreensOfFormRoots) {
  // A root holding form A (screen A) which holds form B (screen B); B's
  // child C belongs to B but is no form root.
  struct Row {
    const char* name;
    int32_t force, defer, refreshAll;
    uint32_t askedA, askedB;
    bool hideA;
    int refreshedA, refreshedB;
    uint32_t bitsA, bitsB;  // the screens' request bits after the walk
  } rows[] = {
      {"nothing asked: nothing refreshed", 0, 0, 0, 0, 0, false, 0, 0, 0, 0},
      {"force refreshes every form root's screen", 1, 0, 0, 0, 0, false, 1, 1, 0, 0},
      {"force with defer only marks", 1, 1, 0, 0, 0, false, 0, 0, 2, 2},
      {"refresh-all refreshes all", 0, 0, 1, 0, 0, false, 1, 1, 0, 0},
      {"an asked screen alone; the deferred bit is cleared", 0, 0, 0, 0, 2, false, 0, 1, 0, 0},
      {"bit 0 stays for its owner", 0, 0, 0, 1, 0, false, 1, 0, 1, 0},
      {"a hidden form stops its subtree", 1, 0, 0, 0, 0, true, 0, 0, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CountingScreen a, b;
    Control root;
    auto* formA = ControlAddChild(&root, Box("A"));
    auto* formB = ControlAddChild(formA, Box("B"));
    auto* inner = ControlAddChild(formB, Box("C"));
    formA->owner = &a, formB->owner = &b, inner->owner = &b;
    a.currentForm = formA, b.currentForm = formB;
    a.refreshRequest = row.askedA, b.refreshRequest = row.askedB;
    if (row.hideA) formA->state |= kStateHidden;
    ScreenManager ui;
    ui.modal = row.refreshAll;
    RedrawControlTree(ui, &root, row.force, row.defer);
    EXPECT_EQ(a.refreshed, row.refreshedA);
    EXPECT_EQ(b.refreshed, row.refreshedB);
    EXPECT_EQ(a.refreshRequest, row.bitsA);
    EXPECT_EQ(b.refreshRequest, row.bitsB);
  }
}

PolledInput g_input;

class FrameTest : public gfxtest::GlRendererTest {
 protected:
  void SetUp() override {
    GlRendererTest::SetUp();
    g_platform.clientRect = {0, 0, int32_t(kWidth), int32_t(kHeight)};
    g_uiInput.poll = [] { return g_input; };
    g_renderer.device->SetDrawHook([this](const plat::DrawRecord&) { ++draws_; });
  }
  void TearDown() override {
    g_renderer.device->SetDrawHook(nullptr);
    g_uiInput = UiInputSeam{};
    GlRendererTest::TearDown();
  }
  int draws_ = 0;
};

TEST_F(FrameTest, FramePollsInputCountsTheRateAndFades) {
  // Each row: the frames run (the clock moved by step ms before each), the
  // tick of the first, and what the last leaves. A fade of 1000 ms with 250
  // left draws white at alpha 0.25 x 255 = 63 over the black root.
  struct Row {
    const char* name;
    bool rootForm, swapped, showRate;
    uint32_t firstTick;
    int frames, step;
    uint32_t fadeEndIn, fadeDuration;  // fadeEndIn 0: no fade; else end = first + fadeEndIn - 2^31 for "passed"
    bool fadePassed;
    uint32_t keyState;
    float fps;
    int grey;  // centre pixel's red, -1 not checked
  } rows[] = {
      {"no root form: nothing drawn, the tick untouched", false, false, false, 5000, 1, 0, 0, 0, false, 0, 0, -1},
      {"swapped buttons: the physical left is the logical right", true, true, false, 5000, 1, 0, 0, 0, false, 2, 0, 0},
      {"twenty frames over 500 ms across the wrap: 40 fps", true, false, true, 0xFFFFFF00u, 20, 25, 0, 0, false, 1,
       40.0f, 0},
      {"a fade with a quarter left", true, false, false, 5000, 1, 0, 250, 1000, false, 1, 0, 63},
      {"a passed fade clears itself", true, false, false, 5000, 1, 0, 10, 1000, true, 1, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    gfxtest::FakeClock clock;
    clock.now = row.firstTick;
    gfxtest::ClockScope scope(&clock);
    g_uiInput.swapButtons = row.swapped ? SwapButtonsQuery{[] { return true; }} : nullptr;
    g_input = PolledInput{};
    g_input.left = true;
    ScreenManager ui;
    BoxControl* root = nullptr;
    if (row.rootForm) {
      root = Box("ROOT");
      root->rect = {0, 0, int32_t(kWidth), int32_t(kHeight)};
      root->fills[0] = 0xFF000000u;
      ui.rootForm = root;
    }
    ui.showFrameRate = row.showRate ? 1 : 0;
    ui.frameRateTick = row.firstTick - row.step;
    ui.nowTick = 77;
    if (row.fadeEndIn) {
      ui.fadeEndTick = row.fadePassed ? row.firstTick - row.fadeEndIn : row.firstTick + row.fadeEndIn;
      ui.fadeDuration = row.fadeDuration;
    }
    ClearTo(0xFF000000u);
    draws_ = 0;
    for (int f = 0; f < row.frames; ++f) {
      if (f) clock.now += static_cast<uint32_t>(row.step);
      UpdateFrameUi(ui);
    }
    if (!row.rootForm) {
      EXPECT_EQ(ui.nowTick, 77u);
      EXPECT_EQ(draws_, 0);
      continue;
    }
    EXPECT_EQ(ui.keyState, row.keyState);
    if (row.showRate) {
      EXPECT_NEAR(ui.framesPerSecond, row.fps, 2.0f);
    }
    if (row.fadePassed) {
      EXPECT_EQ(ui.fadeEndTick, 0u);
    }
    const gfxtest::Image image = Read();
    const int red = gfxtest::Channel(image.At(kWidth / 2, kHeight / 2), 16);
    EXPECT_NEAR(red, row.grey, 1);
    ui.rootForm = nullptr;
    delete root;
  }
}

}  // namespace
