// Map effects: placement, ageing by the interface clock, removal, and what
// the frame draws of them.
#include "screens/main/map/map_effects.h"

#include <gtest/gtest.h>

#include "screens/main/map/map_layers_test_support.h"

namespace {

class MapEffectsTest : public maptest::MapLayersTest {
 protected:
  void TearDown() override {
    ClearMapEffects(view_);
    g_ui.nowTick = 0;
    MapLayersTest::TearDown();
  }
  void FrameAt(uint32_t tick) { g_ui.nowTick = tick, DrawMapEffects(view_), FlushSpriteBatches(g_renderer); }
};

// Each row adds one effect at clock 0 and runs frames at the given ticks:
// it is there after every one but the last, and gone after that.
TEST_F(MapEffectsTest, LiveForTheirFramesThenGo) {
  struct Row { const char* what; int32_t frames, frameMs; std::vector<uint32_t> ticks; };
  const Row rows[] = {
      // Frame 15 begins at 1500 and lasts until the clock passes 1600.
      {"16 x 100 ms", 16, 100, {100, 700, 1500, 1600, 1601}},
      // After a second's pause the shot's 8 x 50 ms are long over.
      {"8 x 50 ms after a pause", 8, 50, {0, 1000}},
      // A duration of 0 counts as 1 ms instead of looping for ever.
      {"zero duration", 3, 0, {1, 2, 3, 4}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    g_ui.nowTick = 0;
    AddMapEffect(view_, PackHex(5, 3), 0, 0, 0, r.frames, r.frameMs, 0xFFFFFFFF, 1.0f);
    for (size_t i = 0; i < r.ticks.size(); ++i) {
      FrameAt(r.ticks[i]);
      EXPECT_EQ(CountMapEffects(view_), i + 1 < r.ticks.size() ? 1 : 0) << r.ticks[i];
    }
  }
  // A clock behind the frame's start (stamped after the frame read it)
  // restarts the frame; across the tick's wrap it ages on.
  g_ui.nowTick = 0xFFFFFFF0u;
  AddMapEffect(view_, PackHex(5, 3), 0, 0, 0, 2, 100, 0xFFFFFFFF, 1.0f);
  FrameAt(0x50);
  EXPECT_EQ(view_.effects->frame, 0);
  FrameAt(0xFFFFFF00u);
  EXPECT_EQ(view_.effects->frameStart, 0xFFFFFF00u);
}

TEST_F(MapEffectsTest, RemovingTheHeadMakesTheNextTheHead) {
  // The head lives 10 ms, the two after it a second.
  for (int32_t ms : {10, 1000, 1000}) AddMapEffect(view_, PackHex(ms % 7, 1), 0, 0, 0, 1, ms, 0xFFFFFFFF, 1.0f);
  auto* second = static_cast<MapEffect*>(view_.effects->next());
  FrameAt(11);
  EXPECT_EQ(view_.effects, second);
  EXPECT_EQ(CountMapEffects(view_), 2);
  FrameAt(1001);
  EXPECT_EQ(CountMapEffects(view_), 0);
}

TEST_F(MapEffectsTest, DrawsTheCurrentFrameCentredOnTheHexOrNothingWhenSwitchedOff) {
  struct Row { int32_t on, firstFrame; size_t quads; float u0, v0; };
  // Hex (5, 3) is odd: centre (102, 77), so a 64-pixel effect starts at
  // (70, 45); frame 17 is column 1 of row 2.
  for (const Row& r : {Row{1, 0, 1, 0, 0}, Row{1, 17, 1, 64, 128}, Row{0, 0, 0, 0, 0}}) {
    g_uiOptions.buniteffecton = r.on;
    g_ui.nowTick = 0;
    AddMapEffect(view_, PackHex(5, 3), 0, 0, r.firstFrame, 8, 50, 0xBFFFFFFF, 1.0f);
    maptest::QuadRecorder rec;
    DrawMapEffects(view_);
    const auto& q = rec.Flush();
    ASSERT_EQ(q.size(), r.quads);
    if (r.quads) {
      EXPECT_FLOAT_EQ(q[0].x, 70); EXPECT_FLOAT_EQ(q[0].y, 45);
      EXPECT_FLOAT_EQ(q[0].w, 64); EXPECT_FLOAT_EQ(q[0].h, 64);
      EXPECT_FLOAT_EQ(q[0].u0, r.u0); EXPECT_FLOAT_EQ(q[0].v0, r.v0);
      EXPECT_EQ(q[0].colour, 0xBFFFFFFFu);
    }
    FrameAt(1000);
    EXPECT_EQ(CountMapEffects(view_), 0) << "ages whether drawn or not";
  }
}

}  // namespace
