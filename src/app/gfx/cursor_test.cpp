// The device cursor's cells and hot spots, hiding and showing, the system
// cursor mode, and the cursor thread's polling on an injected clock.
#include "app/gfx/cursor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "app/gfx/cursor_thread.h"
#include "app/gfx/gfx_test_support.h"
#include "platform/threads.h"

namespace {

using gfxtest::ClockScope;
using gfxtest::FakeClock;
using gfxtest::RecordingDevice;

// A texel of the sheet that tells its cell and place.
uint32_t SheetTexel(uint32_t x, uint32_t y) { return 0xFF000000u | (x / 32) << 16 | (x % 32) << 8 | y; }

class CursorTest : public gfxtest::GlRendererTest {
 protected:
  void SetUp() override {
    GlRendererTest::SetUp();
    g_platform.deviceCursor = 1;
  }
  void TearDown() override {
    g_platform.deviceCursor = 0;
    g_renderer.cursorCell = 0;
    g_renderer.cursorWake = nullptr;
    GlRendererTest::TearDown();
  }
  void MakeSheet(uint32_t cells) {
    plat::Surface* s = nullptr;
    ASSERT_EQ(g_renderer.device->CreateImageSurface(32 * cells, 32, plat::kFmtA8R8G8B8, &s), plat::kOk);
    std::vector<uint32_t> px(size_t{32} * cells * 32);
    for (uint32_t y = 0; y < 32; ++y)
      for (uint32_t x = 0; x < 32 * cells; ++x) px[size_t{y} * 32 * cells + x] = SheetTexel(x, y);
    ASSERT_EQ(s->WritePixels(plat::Rect{0, 0, int32_t(32 * cells), 32}, px.data()), plat::kOk);
    g_renderer.cursorSheet = s;  // StopApp frees it
  }
  static plat::DeviceCursorState State() {
    plat::DeviceCursorState s;
    g_renderer.device->GetCursorState(&s);
    return s;
  }
  static bool ShowsCell(const plat::DeviceCursorState& s, uint32_t cell) {
    if (s.width != 32 || s.height != 32) return false;
    for (uint32_t y = 0; y < 32; ++y)
      for (uint32_t x = 0; x < 32; ++x)
        if (s.image[y * 32 + x] != SheetTexel(cell * 32 + x, y)) return false;
    return true;
  }
};

TEST(CursorHotSpotTest, ByCell) {
  for (int c = 0; c < 4; ++c) EXPECT_EQ(CursorHotSpot(c).x, 0);
  for (int c = 4; c < 8; ++c) {
    EXPECT_EQ(CursorHotSpot(c).x, 15);
    EXPECT_EQ(CursorHotSpot(c).y, 15);
  }
  EXPECT_EQ(CursorHotSpot(8).x, 4);
  EXPECT_EQ(CursorHotSpot(8).y, 11);
  EXPECT_EQ(CursorHotSpot(9).x, 0);
  EXPECT_EQ(CursorHotSpot(-1).y, 0);
}

TEST_F(CursorTest, BeforeTheSheetIsLoadedTheCellIsRecordedAndTheCallFails) {
  EXPECT_EQ(UpdateHardwareCursor(g_renderer, 6), plat::kFail);
  EXPECT_EQ(g_renderer.cursorCell, 6);
  EXPECT_EQ(State().width, 0u);
}

TEST_F(CursorTest, EachCellComesFromItsSquareOfTheSheetWithItsHotSpot) {
  MakeSheet(9);
  ASSERT_EQ(UpdateHardwareCursor(g_renderer, 4), plat::kOk);
  plat::DeviceCursorState s = State();
  EXPECT_TRUE(ShowsCell(s, 4));
  EXPECT_EQ(s.hotX, 15u);
  EXPECT_EQ(s.hotY, 15u);
  ASSERT_EQ(UpdateHardwareCursor(g_renderer, 8), plat::kOk);
  s = State();
  EXPECT_TRUE(ShowsCell(s, 8));
  EXPECT_EQ(s.hotX, 4u);
  EXPECT_EQ(s.hotY, 11u);
  // Past the sheet: refused, the cursor stays, the cell is still recorded.
  EXPECT_LT(UpdateHardwareCursor(g_renderer, 9), 0);
  EXPECT_LT(UpdateHardwareCursor(g_renderer, -1), 0);
  EXPECT_EQ(g_renderer.cursorCell, -1);
  EXPECT_TRUE(ShowsCell(State(), 8));
}

TEST_F(CursorTest, HidingThenShowingShowsTheCellCurrentBeforeHiding) {
  MakeSheet(9);
  plat::Event wake(true, false);
  g_renderer.cursorWake = &wake;
  ASSERT_EQ(UpdateHardwareCursor(g_renderer, 5), plat::kOk);
  ShowCurrentCursor(g_platform);
  EXPECT_TRUE(State().visible);
  EXPECT_TRUE(wake.IsSet());
  HideCursor(g_platform);
  EXPECT_FALSE(State().visible);
  EXPECT_FALSE(wake.IsSet());
  ShowCurrentCursor(g_platform);
  plat::DeviceCursorState s = State();
  EXPECT_TRUE(s.visible);
  EXPECT_TRUE(ShowsCell(s, 5));
  EXPECT_TRUE(wake.IsSet());
  RestoreCursor(g_platform);
  EXPECT_EQ(g_renderer.cursorCell, 0);
  EXPECT_TRUE(ShowsCell(State(), 0));
  EXPECT_TRUE(State().visible);
}

TEST_F(CursorTest, WithTheSystemCursorTheDeviceCursorIsLeftAlone) {
  MakeSheet(9);
  g_platform.deviceCursor = 0;
  g_platform.currentCursor = g_platform.cursorTarget;
  HideCursor(g_platform);
  ShowCurrentCursor(g_platform);
  EXPECT_EQ(g_platform.currentCursor, g_platform.cursorTarget);
  RestoreCursor(g_platform);
  EXPECT_EQ(g_platform.currentCursor, g_platform.cursorArrow);
  const plat::DeviceCursorState s = State();
  EXPECT_FALSE(s.visible);
  EXPECT_EQ(s.width, 0u);
  EXPECT_EQ(g_renderer.cursorThread, nullptr);
}

TEST(CursorThreadPollTest, SendsChangedPositionsEveryTenMillisecondsUntilStopped) {
  Renderer r;
  RecordingDevice device;
  r.device = &device;
  plat::Event stop(true, false), wake(true, true);
  r.cursorStop = &stop;
  r.cursorWake = &wake;
  const plat::Point path[] = {{0, 0}, {5, 5}, {5, 5}, {7, 9}, {7, 9}, {-3, 2}};
  size_t reads = 0;
  FakeClock clock;
  clock.onSleep = [&stop](size_t sleeps) {
    if (sleeps == 6) stop.Set();
  };
  {
    ClockScope scope(&clock);
    const uint32_t code = CursorThreadMain(r, [&] { return path[std::min(reads++, size_t{5})]; });
    EXPECT_EQ(code, kCursorThreadExitCode);
  }
  EXPECT_EQ(reads, 6u);
  EXPECT_EQ(clock.sleeps, std::vector<uint32_t>(6, kCursorPollMs));
  ASSERT_EQ(device.cursorMoves.size(), 3u);  // (0, 0) was already where the cursor was
  EXPECT_EQ(device.cursorMoves[0].x, 5);
  EXPECT_EQ(device.cursorMoves[1].y, 9);
  EXPECT_EQ(device.cursorMoves[2].x, -3);
  r.device = nullptr;
  r.cursorStop = r.cursorWake = nullptr;
}

TEST(CursorThreadPollTest, BlocksWhileHiddenPollsWhenShownAndEndsOnStop) {
  Renderer r;
  RecordingDevice device;
  r.device = &device;
  plat::Event stop(true, false), wake(true, false);
  r.cursorStop = &stop;
  r.cursorWake = &wake;
  std::atomic<int> reads{0};
  plat::Thread thread;
  ASSERT_TRUE(thread.Start([&] { return CursorThreadMain(r, [&] { return plat::Point{++reads, 1}; }); }));
  EXPECT_FALSE(thread.Wait(30));
  EXPECT_EQ(reads.load(), 0);  // hidden: no polling
  wake.Set();
  for (int i = 0; i < 1000 && reads.load() < 3; ++i) plat::SleepMs(5);
  EXPECT_GE(reads.load(), 3);
  stop.Set();
  ASSERT_TRUE(thread.Wait(10000));
  EXPECT_EQ(thread.ExitCode(), kCursorThreadExitCode);
  std::lock_guard<std::mutex> lock(device.mutex);
  EXPECT_EQ(device.cursorMoves.size(), static_cast<size_t>(reads.load()));
  r.device = nullptr;
  r.cursorStop = r.cursorWake = nullptr;
}

}  // namespace
