// Map effects: placement, ageing by the interface clock, removal, and what
// the frame draws of them.
#include "screens/main/map_effects.h"

#include <gtest/gtest.h>

#include "screens/main/map_geometry.h"
#include "screens/main/map_layers_test_support.h"
#include "screens/main/map_view.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"

namespace {

class MapEffectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedOptions_ = g_uiOptions;
    ResetUiOptions(g_uiOptions);
    g_ui.nowTick = 0;
  }
  void TearDown() override {
    ClearMapEffects(view_);
    g_uiOptions = savedOptions_;
    g_ui.nowTick = 0;
  }
  void FrameAt(uint32_t tick) {
    g_ui.nowTick = tick;
    DrawMapEffects(view_);
  }
  MapView view_;
  UiOptions savedOptions_;
};

// Each row adds one effect at clock 0 and runs frames at the given ticks;
// the effect must still be there after the frame at `aliveUntil` and gone
// after the frame at `goneAt`.
TEST_F(MapEffectsTest, LiveForTheirFramesThenGo) {
  struct Row {
    const char* what;
    int32_t frames, frameMs;
    std::vector<uint32_t> ticks;  // frames before the last two
    uint32_t aliveUntil, goneAt;
  };
  const Row rows[] = {
      // 16 x 100 ms: frame 15 begins at 1500 and lasts while the clock has
      // not passed 1600.
      {"impact", 16, 100, {100, 700, 1500}, 1600, 1601},
      // A second's pause: the shot's 8 x 50 ms are long over at the next frame.
      {"shot after a pause", 8, 50, {}, 0, 1000},
      // A duration of 0 counts as 1 ms instead of looping for ever.
      {"zero duration", 3, 0, {1, 2}, 3, 4},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    AddMapEffect(view_, PackHex(5, 3), 0, 0, 0, r.frames, r.frameMs, 0xFFFFFFFF, 1.0f);
    for (uint32_t t : r.ticks) {
      FrameAt(t);
      EXPECT_EQ(CountMapEffects(view_), 1) << t;
    }
    FrameAt(r.aliveUntil);
    EXPECT_EQ(CountMapEffects(view_), 1);
    FrameAt(r.goneAt);
    EXPECT_EQ(CountMapEffects(view_), 0);
    EXPECT_EQ(view_.effects, nullptr);
    g_ui.nowTick = 0;
  }
}

TEST_F(MapEffectsTest, RemovingTheHeadMakesTheNextTheHead) {
  // Added in order: the head lives 10 ms, the others a second.
  AddMapEffect(view_, PackHex(1, 1), 0, 0, 0, 1, 10, 0xFFFFFFFF, 1.0f);
  AddMapEffect(view_, PackHex(2, 1), 0, 0, 0, 1, 1000, 0xFFFFFFFF, 1.0f);
  AddMapEffect(view_, PackHex(3, 1), 0, 0, 0, 1, 1000, 0xFFFFFFFF, 1.0f);
  MapEffect* head = view_.effects;
  auto* second = static_cast<MapEffect*>(head->next());
  EXPECT_EQ(second->x, HexCentre(2, 1).x - 32);
  FrameAt(11);
  EXPECT_EQ(view_.effects, second);
  EXPECT_EQ(CountMapEffects(view_), 2);
  FrameAt(1001);
  EXPECT_EQ(CountMapEffects(view_), 0);
}

// A clock that went back (the tick wrapped, or the effect was stamped after
// the frame read the clock) restarts the frame rather than ageing it.
TEST_F(MapEffectsTest, ClockBehindTheFrameStartRestartsTheFrame) {
  g_ui.nowTick = 0xFFFFFFF0u;
  AddMapEffect(view_, PackHex(5, 3), 0, 0, 0, 2, 100, 0xFFFFFFFF, 1.0f);
  FrameAt(0x50);  // 0x60 ms later across the wrap: still frame 0
  ASSERT_NE(view_.effects, nullptr);
  EXPECT_EQ(view_.effects->frame, 0);
  FrameAt(0xFFFFFF00u);  // behind the start: taken as the start
  EXPECT_EQ(view_.effects->frameStart, 0xFFFFFF00u);
}

class MapEffectsDrawTest : public gfxtest::GlRendererTest {
 protected:
  void SetUp() override {
    GlRendererTest::SetUp();
    savedOptions_ = g_uiOptions;
    ResetUiOptions(g_uiOptions);
    view_.viewRight = 128, view_.viewBottom = 96;
    g_ui.bitmaps.ebits = maptest::BlankTexture(512, 512);
    g_ui.nowTick = 0;
  }
  void TearDown() override {
    ClearMapEffects(view_);
    delete g_ui.bitmaps.ebits;
    g_ui.bitmaps.ebits = nullptr;
    g_uiOptions = savedOptions_;
    GlRendererTest::TearDown();
  }
  MapView view_;
  UiOptions savedOptions_;
};

TEST_F(MapEffectsDrawTest, DrawsTheCurrentFrameCentredOnTheHexOrNothingWhenSwitchedOff) {
  struct Row {
    int32_t on;
    int32_t firstFrame;
    size_t quads;
    float u0, v0;
  };
  // Hex (5, 3) is odd: centre (102, 77), so a 64-pixel effect starts at
  // (70, 45); frame 17 is column 1 of row 2.
  const Row rows[] = {{1, 0, 1, 0, 0}, {1, 17, 1, 64, 128}, {0, 0, 0, 0, 0}};
  for (const Row& r : rows) {
    g_uiOptions.buniteffecton = r.on;
    maptest::QuadRecorder rec;
    AddMapEffect(view_, PackHex(5, 3), 0, 0, r.firstFrame, 8, 50, 0xBFFFFFFF, 1.0f);
    DrawMapEffects(view_);
    const auto& quads = rec.Flush();
    ASSERT_EQ(quads.size(), r.quads);
    if (r.quads) {
      EXPECT_FLOAT_EQ(quads[0].x, 70); EXPECT_FLOAT_EQ(quads[0].y, 45);
      EXPECT_FLOAT_EQ(quads[0].w, 64); EXPECT_FLOAT_EQ(quads[0].h, 64);
      EXPECT_FLOAT_EQ(quads[0].u0, r.u0); EXPECT_FLOAT_EQ(quads[0].v0, r.v0);
      EXPECT_EQ(quads[0].colour, 0xBFFFFFFFu);
    }
    g_ui.nowTick = 1000;
    DrawMapEffects(view_);
    EXPECT_EQ(CountMapEffects(view_), 0) << "ages whether drawn or not";
    FlushSpriteBatches(g_renderer);
    g_ui.nowTick = 0;
  }
}

}  // namespace
