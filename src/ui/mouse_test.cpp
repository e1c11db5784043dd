// Clicks and the wheel find their control; the resting pointer repeats and shows tips.
#include "ui/mouse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "app/app_object.h"
#include "app/gfx/gfx_test_support.h"
#include "support/global_guard.h"
#include "ui/box_control.h"
#include "ui/control_focus.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/edit_control.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "ui/tooltip.h"
#include "ui/ui_screen_hooks.h"
#include "world/text/ui_options.h"

namespace {

using namespace plat;
int g_clicks = 0;
PolledInput g_input;

class MouseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_platform.clientRect = {0, 0, 1024, 768}, g_ui.rootForm = &root_, g_ui.mapArea = &map_, rec_.recordMessages = true;
    g_popupSounds.uiSound = [](int32_t n) { g_clicks += n == kSoundClick; }, g_uiInput.poll = [] { return g_input; };
  }
  void TearDown() override {
    g_ui.rootForm = g_ui.mapArea = nullptr, g_ui.mode = kUiFrontEnd, g_ui.tooltipShown = 0;
    g_controls = ControlGlobals{}, g_popupSounds = PopupSoundSeam{}, g_uiInput = UiInputSeam{};
  }
  Control* Add(const char* tag, int32_t left, uint32_t flags, uint32_t state, bool bar = false) {
    ControlInit init = controltest::Init(tag, &rec_, left, 0, 100, 100, flags);
    init.state = state, init.text = "a tip";
    return ControlAddChild(&root_, bar ? static_cast<Control*>(new SlideBarControl(init, {})) : new BoxControl(init));
  }
  int Got(uint32_t message, const char* tag) {  // times the control tagged got the message
    return int(std::count(rec_.events.begin(), rec_.events.end(), "message " + std::to_string(message) + " " + tag));
  }
  controltest::RecordingScreen rec_;
  Control root_{controltest::Init(nullptr, nullptr, 0, 0, 1024, 768)};
  BoxControl map_{controltest::Init("M", &rec_, 0, 0, 0, 0)};
  GlobalGuard<UiOptions> options_{g_uiOptions};
};

TEST_F(MouseTest, ButtonsAndTheWheelFindTheirControl) {
  // A at x 0..99 holds the capture where asked; B at 200..299 is a box or a slide bar; M the map area.
  struct Row { const char* name; int32_t mode; bool bar, holdA; uint32_t bFlags, bState, message; int32_t x; char gets; int clicks; } rows[] = {
      {"a release reaches the holder", kUiInGame, false, true, kCtlButton, 0, kWmLButtonUp, 250, 'A', 0},
      {"disabled: nothing, no sound", kUiInGame, false, true, kCtlButton, kStateDisabled, kWmLButtonDown, 250, '-', 0},
      {"left press on a button clicks", kUiInGame, false, false, kCtlButton, 0, kWmLButtonDown, 250, 'B', 1},
      {"so does a double click", kUiInGame, false, false, kCtlButton, 0, kWmLButtonDblClk, 250, 'B', 1},
      {"a right press is silent", kUiInGame, false, false, kCtlButton, 0, kWmRButtonDown, 250, 'B', 0},
      {"a box is silent", kUiInGame, false, false, 0, 0, kWmLButtonDown, 250, 'B', 0},
      {"wheel: a slide bar takes it", kUiFrontEnd, true, false, 0, 0, kWmMouseWheel, 250, 'B', 0},
      {"wheel: front end, no taker", kUiFrontEnd, false, false, 0, 0, kWmMouseWheel, 250, '-', 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_ui.mode = row.mode, g_clicks = 0, rec_.events.clear();
    Control *a = Add("A", 0, 0, 0), *b = Add("B", 200, row.bFlags, row.bState, row.bar);
    if (row.holdA) SetCaptureControl(a, kControlEnter, 0, 0, 0);
    EXPECT_EQ(row.message == kWmMouseWheel ? OnMouseWheel(g_ui, 120 << 16, row.x, 50)
                                           : OnMouseMessage(g_ui, row.message, 0, row.x, 50), 0);
    for (const char* tag : {"A", "B", "M"})  // the slide bar tells its owner nothing of the wheel
      EXPECT_EQ(Got(row.message, tag), int(row.gets == *tag && !(row.bar && *tag == 'B'))) << tag;
    EXPECT_EQ(row.bar && g_controls.capture == b, row.bar && row.gets == 'B');
    EXPECT_EQ(g_clicks, row.clicks);
    g_controls = ControlGlobals{}, delete a, delete b;
  }
}

TEST_F(MouseTest, HeldOrRestingPointerRepeatsAndShowsTipsOnTime) {
  // Frames at offsets from a press (its deadline 250 on). Held, repeatbutms 250: a repeat past +500, then 500
  // after each. A tip once the rest exceeds waittooltip; a move to x 60 hides it and restarts the wait.
  // Per frame: moved, repeats so far, tip shown.
  constexpr uint32_t kHeld = kCtlButton | kCtlMomentary | kCtlAutoRepeat;
  struct Row { const char* name; uint32_t start, flags; bool held; uint32_t wait; std::vector<uint32_t> at; const char* expect; } rows[] = {
      {"held", 1000, kHeld, true, 0, {16, 500, 516, 766, 1032}, "000 000 010 010 020"},
      {"held across the wrap", 0xFFFFFF00u, kHeld, true, 0, {16, 500, 516, 766, 1032}, "000 000 010 010 020"},
      {"waittooltip 0: never a tip", 1000, 0, false, 0, {0, 300, 5000}, "000 000 000"},
      {"a tip after 250 ms", 0xFFFFFF80u, 0, false, 250, {0, 250, 251, 300, 550, 551}, "000 000 001 100 000 001"},
  };
  Control tipForm{controltest::Init(nullptr, nullptr, 0, 0, 50, 20)};
  StringControl tipText{ControlInit{.kind = kKindText, .tag = "TEXT"}, StringInit{}};
  Tooltip tooltip;
  tooltip.form = tooltip.currentForm = &tipForm;
  tooltip.textControl = &tipText;
  g_uiScreenHooks.tooltip = &tooltip;
  g_uiOptions.repeatbutms = 250, g_ui.mode = kUiInGame;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    gfxtest::FakeClock clock;
    gfxtest::ClockScope scope((clock.now = row.start, &clock));
    Control* a = Add("A", 0, row.flags, 0);
    g_uiOptions.waittooltip = row.wait, g_input = PolledInput{.x = 50, .y = 50, .left = row.held};
    g_ui.lastCursorX = g_ui.lastCursorY = 50, g_ui.nowTick = g_ui.lastInputTick = row.start, rec_.events.clear();
    OnMouseMessage(g_ui, kWmLButtonDown, kMkLButton, 50, 50);
    for (size_t f = 0; f < row.at.size(); ++f) {
      clock.now = row.start + row.at[f], g_input.x = row.expect[4 * f] == '1' ? 60 : g_input.x;
      UpdateFrameUi(g_ui);
      EXPECT_EQ(Got(kWmLButtonDown, "A") - 1, row.expect[4 * f + 1] - '0') << f;
      EXPECT_EQ(g_ui.tooltipShown, row.expect[4 * f + 2] - '0') << f;
    }
    delete a, g_ui.tooltipShown = 0;
  }
  tooltip.form = tooltip.currentForm = nullptr;
  g_uiScreenHooks.tooltip = nullptr;
}

TEST_F(MouseTest, AnyEditFieldTakesAClickAndTypingAndAPressElsewhereEndsTheEditFirst) {
  // E at x 0..99 is an edit field with the style bits of the row; OK at 200..299 a command button.
  struct Row { const char* name; uint32_t fieldFlags, second; int32_t secondX; bool stillEditing; } rows[] = {
      {"no style bits, then OK", 0, kWmLButtonDown, 250, false},
      {"a button field, then OK", kCtlButton, kWmLButtonDown, 250, false},
      {"a command field, then OK", kCtlCommand, kWmLButtonDown, 250, false},
      {"a capture field, then OK", kCtlCaptureOnly, kWmLButtonDown, 250, false},
      {"a right press elsewhere", 0, kWmRButtonDown, 250, false},
      {"a second click in the field", 0, kWmLButtonDown, 50, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_ui.mode = kUiInGame;
    ControlInit init = controltest::Init("E", &rec_, 0, 0, 100, 100, row.fieldFlags);
    auto* field = static_cast<EditControl*>(ControlAddChild(&root_, new EditControl(init, StringInit{}, 8, kEditUpperCase)));
    Control* ok = Add("OK", 200, kCtlCommand, 0);
    OnMouseMessage(g_ui, kWmLButtonDown, kMkLButton, 50, 50);
    OnMouseMessage(g_ui, kWmLButtonUp, 0, 50, 50);
    ASSERT_EQ(g_controls.edit, field);
    for (char c : std::string("isles")) OnChar(g_ui, static_cast<unsigned char>(c));
    rec_.events.clear();
    OnMouseMessage(g_ui, row.second, row.second == kWmLButtonDown ? kMkLButton : kMkRButton, row.secondX, 50);
    EXPECT_EQ(g_controls.edit == field, row.stillEditing);
    EXPECT_EQ(field->sourceText, "ISLES");
    EXPECT_EQ(field->text, "ISLES");  // what a panel reads: no cursor
    const auto ended = std::find(rec_.events.begin(), rec_.events.end(), "end edit E");
    EXPECT_EQ(ended != rec_.events.end(), !row.stillEditing);
    if (row.secondX == 250 && row.second == kWmLButtonDown) {  // the field's text is in before OK acts
      EXPECT_LT(ended, std::find(rec_.events.begin(), rec_.events.end(), "command OK"));
    }
    g_controls = ControlGlobals{}, delete field, delete ok;
  }
}

}  // namespace
