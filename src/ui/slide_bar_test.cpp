// Slide bars: the value helpers' mapping both ways, the notches, keys, the
// wheel and the pointer, and the bar as it lands in the back buffer.
#include "ui/slide_bar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/gfx/gfx_test_support.h"
#include "app/gfx/renderer.h"
#include "platform/fpenv.h"
#include "platform/messages.h"
#include "support/global_guard.h"
#include "ui/bitmap_control.h"
#include "ui/control_focus.h"
#include "ui/control_test_support.h"
#include "ui/scroller.h"

namespace {

using controltest::Init;
using controltest::RecordingScreen;

constexpr int32_t kKeyDown = static_cast<int32_t>(plat::kWmKeyDown);
constexpr int32_t kLeftDown = static_cast<int32_t>(plat::kWmLButtonDown);
constexpr int32_t kLeftUp = static_cast<int32_t>(plat::kWmLButtonUp);
constexpr int32_t kDoubleClick = static_cast<int32_t>(plat::kWmLButtonDblClk);
constexpr int32_t kMove = static_cast<int32_t>(plat::kWmMouseMove);
constexpr int32_t kWheel = static_cast<int32_t>(plat::kWmMouseWheel);

// The keys the test holds down.
std::set<uint32_t> g_held;
bool Held(uint32_t key) { return g_held.count(key) != 0; }

class SlideBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetGameFloatMode();
    g_held.clear();
  }
  void TearDown() override {
    g_controls = ControlGlobals{};
  }
  std::unique_ptr<SlideBarControl> Bar(uint32_t flags = 0, int32_t width = 130, int32_t height = 30) {
    return std::make_unique<SlideBarControl>(Init("BAR", &screen_, 0, 0, width, height, flags), SlideBarInit{});
  }
  RecordingScreen screen_;
  GlobalGuard<decltype(g_uiKeyHeld)> keyHeld_{g_uiKeyHeld, Held};
};

TEST_F(SlideBarTest, IntegerValuesMapToPositionsAndBack) {
  struct Case {
    uint16_t exponent;
    int32_t maximum;
    int32_t value;
    int32_t position;
    int32_t readBack;
  };
  const Case cases[] = {
      {0, 100, 50, 5001, 50},                      // one past the middle
      {0, 0, 5000, 5001, 5002},                    // a maximum of 0 means 10000; the +1 reads back
      {2, 10000, 2500, 5001, 2500},                // the square root of both
      {0, 10000000, 1000000, 1001, 1002000},       // no overflow in 32 bits
      {0, 100, 0, 0, 0},                           // 0 sits at the start
      {2, 10000, -4, 0, 0},                        // a negative value has no root: the start
      {0, 100, 500, 10000, 100},                   // past the maximum: clamped
      {3, 1000000000, 1000000000, 10000, 1000000000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.exponent << " " << c.maximum << " " << c.value);
    auto bar = Bar();
    bar->exponent = c.exponent;
    SliderSetMaxInt(bar.get(), c.maximum);
    SliderSetValueInt(bar.get(), c.value);
    EXPECT_EQ(bar->position, c.position);
    EXPECT_EQ(SliderGetValueInt(bar.get()), c.readBack);
  }
  EXPECT_TRUE(screen_.Take().empty()) << "setting a value never notifies";
}

TEST_F(SlideBarTest, FloatMaximaThatCannotScaleCountAsOne) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    uint16_t exponent;
    float maximum, value;
    float storedMaximum;
    int32_t position;
  };
  const Case cases[] = {
      {0, 0.0f, 0.5f, 1.0f, 5001}, {0, -3.0f, 0.5f, 1.0f, 5001}, {0, nan, 0.5f, 1.0f, 5001},
      {0, 4.0f, 1.0f, 4.0f, 2501}, {2, 4.0f, 1.0f, 2.0f, 5001},  {2, 4.0f, -1.0f, 2.0f, 0},
      {0, 2.0f, nan, 2.0f, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.maximum << " " << c.value);
    auto bar = Bar();
    bar->exponent = c.exponent;
    SliderSetMaxFloat(bar.get(), c.maximum);
    EXPECT_EQ(bar->MaximumFloat(), c.storedMaximum);
    SliderSetValueFloat(bar.get(), c.value);
    EXPECT_EQ(bar->position, c.position);
    EXPECT_FALSE(std::isnan(SliderGetValueFloat(bar.get())));
  }
}

TEST_F(SlideBarTest, NotchesSnapToOnePastEachStep) {
  const struct {
    int32_t in, out;
  } cases[] = {{0, 1}, {2400, 2501}, {5000, 5001}, {7400, 7501}, {9000, 10000}};
  for (const auto& c : cases) EXPECT_EQ(SliderSnapToNotches(c.in, 4), c.out) << c.in;
  EXPECT_EQ(SliderSnapToNotches(1234, 0), 1234);
}

TEST_F(SlideBarTest, KeysAndTheWheelStepByTheRules) {
  struct Case {
    const char* what;
    uint32_t flags;
    std::vector<uint32_t> held;
    int32_t message;
    uintptr_t p1;
    int32_t position;
  };
  const uintptr_t wheelUp = uintptr_t{120} << 16;
  const Case cases[] = {
      {"right", 0, {}, kKeyDown, plat::kVkRight, 5100},
      {"right reversed", kSlideReversed, {}, kKeyDown, plat::kVkRight, 4900},
      {"right with alt", 0, {plat::kVkMenu}, kKeyDown, plat::kVkRight, 5010},
      {"right with shift", 0, {plat::kVkShift}, kKeyDown, plat::kVkRight, 6000},
      {"left", 0, {}, kKeyDown, plat::kVkLeft, 4900},
      {"up on a vertical bar", kSlideVertical, {}, kKeyDown, plat::kVkUp, 4900},
      {"wheel up", 0, {}, kWheel, wheelUp, 5100},
      {"fill bar", kSlideFill, {}, kKeyDown, plat::kVkRight, 5000},
      {"fill bar wheel", kSlideFill, {}, kWheel, wheelUp, 5000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    g_held = std::set<uint32_t>(c.held.begin(), c.held.end());
    auto bar = Bar(c.flags);
    bar->position = 5000;
    bar->HandleInput(c.message, static_cast<intptr_t>(c.p1), 0, 0);
    EXPECT_EQ(bar->position, c.position);
    EXPECT_EQ(screen_.Take().empty(), c.position == 5000) << "a move notifies";
  }
}

TEST_F(SlideBarTest, ThePointerDragsTheThumbAndADoubleClickResets) {
  // 130 x 30: end zones of 10, a track of 110 measured from x = 8.
  struct Case {
    uint32_t flags;
    int32_t pressX, moveX;
    int32_t afterPress, afterMove;
  };
  const Case cases[] = {
      {0, 63, 500, 5000, 10000},
      {kSlideReversed, 63, -50, 5000, 10000},
      {kSlideFill, 63, 500, 0, 0},  // a fill bar takes no input at all
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    auto bar = Bar(c.flags);
    bar->HandleMouse(kLeftDown, 0, c.pressX, 15);
    EXPECT_EQ(bar->position, c.afterPress);
    bar->HandleInput(kMove, 0, c.moveX, 15);
    EXPECT_EQ(bar->position, c.afterMove);
    bar->HandleMouse(kLeftUp, 0, c.moveX, 15);
    bar->HandleInput(kMove, 0, c.pressX, 15);
    EXPECT_EQ(bar->position, c.afterMove) << "released: moves do nothing";
  }
  auto bar = Bar();
  bar->HandleMouse(kDoubleClick, 0, 0, 0);
  EXPECT_EQ(bar->position, 5000);
  bar->defaultPosition = 700;
  bar->HandleMouse(kDoubleClick, 0, 0, 0);
  EXPECT_EQ(bar->position, 700);
}

TEST_F(SlideBarTest, TheScrollersArrowsAndScreenGoWithIt) {
  const auto count = [] {
    int n = 0;
    for (Screen* s = Screen::AllScreens(); s; s = s->nextScreen) ++n;
    return n;
  };
  const int before = count();
  auto* scroller = new ScrollerControl(0, 0, 10, 100, kScrollVertical, 7, &screen_);
  EXPECT_EQ(count(), before + 1);
  // Arrows at both ends, the bar between.
  const auto edges = [](const Control* c) {
    return std::vector<int32_t>{c->rect.left, c->rect.top, c->rect.right, c->rect.bottom};
  };
  EXPECT_EQ(edges(scroller->arrows[0]), (std::vector<int32_t>{0, 0, 10, 10}));
  EXPECT_EQ(edges(scroller->arrows[1]), (std::vector<int32_t>{0, 90, 10, 100}));
  EXPECT_EQ(edges(scroller->bar), (std::vector<int32_t>{0, 10, 10, 90}));
  scroller->bar->position = 5000;
  scroller->screen->OnCommand(scroller->arrows[1], -1);
  EXPECT_EQ(scroller->bar->position, 5100) << "the lower arrow scrolls down";
  EXPECT_EQ(screen_.Take(), (std::vector<std::string>{"change "})) << "the owner hears it as the scroller's";
  ScrollerSetThumb(scroller, 100);
  EXPECT_EQ(scroller->bar->thumbLength, 2000);
  delete scroller;
  EXPECT_EQ(count(), before);
}

class SlideBarDrawTest : public gfxtest::GlRendererTest {
 protected:
  void TearDown() override {
    g_controls = ControlGlobals{};
    GlRendererTest::TearDown();
  }
};

TEST_F(SlideBarDrawTest, TheThumbAndTheMarkerLandInTheBackBuffer) {
  ClearTo(0xFF000000u);
  // 100 x 30 at (10, 10): end zones of 10, a thumb of 10 at
  // (80 - 10) x 1000 / 10000 + 5 = 12, so columns 22 to 31.
  SlideBarControl bar(Init("BAR", nullptr, 10, 10, 100, 30, kSlideFullAlpha), SlideBarInit{1000, 2000, 0});
  bar.rawMarker = 6000;  // a darker trough up to column 10 + 60
  bar.Draw(nullptr);
  FlushAllDrawing(g_renderer);
  const gfxtest::Image image = Read();
  EXPECT_EQ(image.At(27, 25), 0xFFFF3030u) << "the thumb, turned red below the low mark";
  const uint32_t marked = image.At(50, 25), trough = image.At(90, 25);
  EXPECT_EQ(trough, 0xFFFF3030u) << "the trough in the full colour with flag 0x20";
  EXPECT_LT(gfxtest::Channel(marked, 16), gfxtest::Channel(trough, 16)) << "the marker darkens the trough";
  EXPECT_EQ(image.At(5, 25), 0xFF000000u) << "nothing outside the bar";
}

TEST_F(SlideBarDrawTest, ADraggedOrSteppedThumbIsDrawnWhereItWent) {
  // 100 x 30 at (10, 10): the track of 80 is measured from x = 18; the
  // thumb of 10 starts at 70 x position / 10000 + 5.
  struct Case {
    const char* what;
    int32_t pressX;        // 0: no drag
    uint32_t key;          // 0: no key
    int32_t thumbColumn;   // a column inside the thumb
    int32_t troughColumn;  // a column of the trough
  };
  const Case cases[] = {
      {"dragged to the middle", 58, 0, 55, 25},     // 5000: columns 50 to 59
      {"dragged to the end", 200, 0, 90, 55},       // 10000: columns 85 to 94
      {"stepped left from the middle", 58, plat::kVkLeft, 49, 59},  // 4900: columns 49 to 58
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ClearTo(0xFF000000u);
    SlideBarControl bar(Init("BAR", nullptr, 10, 10, 100, 30), SlideBarInit{0, 0, 0});
    bar.HandleMouse(kLeftDown, 0, c.pressX, 25);
    bar.HandleMouse(kLeftUp, 0, c.pressX, 25);
    if (c.key) bar.HandleInput(kKeyDown, c.key, 0, 0);
    bar.Draw(nullptr);
    FlushAllDrawing(g_renderer);
    const gfxtest::Image image = Read();
    EXPECT_EQ(image.At(c.thumbColumn, 25), 0xFF8C8C8Cu) << "the thumb at " << bar.position;
    EXPECT_LT(gfxtest::Channel(image.At(c.troughColumn, 25), 8), 0x8C) << "the halved trough";
  }
}

}  // namespace
