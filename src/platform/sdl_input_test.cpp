#include "platform/sdl_input.h"
#include "platform/picture_fit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace plat::detail {
namespace {

// Window handles the translator only passes along; never followed.
Window* FakeWindow(int n) {
  static char storage[4];
  return reinterpret_cast<Window*>(&storage[n]);
}

class FakeTarget : public InputTarget {
 public:
  Window* main = FakeWindow(0);
  Window* other = FakeWindow(1);
  bool doubleClicks = true;
  std::vector<std::pair<Window*, bool>> activations;
  bool active = false;

  Window* Resolve(uint32_t id) override {
    if (id == 0 || id == 10) return main;
    if (id == 11) return other;
    return nullptr;
  }
  Window* MainWindow() override { return main; }
  bool WantsDoubleClicks(Window*) override { return doubleClicks; }
  bool ChangeActivation(Window* w, bool a) override {
    activations.emplace_back(w, a);
    if (active == a) return false;
    active = a;
    return true;
  }
};

SDL_Event KeyEvent(bool down, SDL_Keycode sym, SDL_Scancode scan, uint8_t repeat = 0, uint32_t windowId = 10) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.windowID = windowId;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat;
  e.key.keysym.sym = sym;
  e.key.keysym.scancode = scan;
  return e;
}

SDL_Event TextEvent(const char* utf8, uint32_t windowId = 10) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  e.text.windowID = windowId;
  std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
  return e;
}

SDL_Event ButtonEvent(bool down, uint8_t button, int x, int y, uint32_t windowId = 10) {
  SDL_Event e{};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.windowID = windowId;
  e.button.button = button;
  e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.button.x = x;
  e.button.y = y;
  return e;
}

SDL_Event MotionEvent(int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.windowID = 10;
  e.motion.x = x;
  e.motion.y = y;
  return e;
}

SDL_Event WheelEvent(int y, bool flipped = false) {
  SDL_Event e{};
  e.type = SDL_MOUSEWHEEL;
  e.wheel.windowID = 10;
  e.wheel.y = y;
  e.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
  return e;
}

SDL_Event WindowEvent(uint8_t what, uint32_t windowId = 10) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = windowId;
  e.window.event = what;
  return e;
}

class SdlInputTest : public ::testing::Test {
 protected:
  FakeTarget target;
  SdlInputTranslator translator{target};
  std::vector<QueuedMessage> batch;
  uint32_t now = 5000;

  void Feed(const SDL_Event& e) { translator.Translate(e, now, &batch); }
  const Message& At(size_t i) { return batch.at(i).msg; }
};

TEST(Windows1252, ConvertsTheCharactersItHasAndDropsTheRest) {
  EXPECT_EQ(Utf8ToWindows1252("A"), "A");
  EXPECT_EQ(Utf8ToWindows1252("\xC3\xA9"), "\xE9");          // é
  EXPECT_EQ(Utf8ToWindows1252("\xE2\x82\xAC"), "\x80");      // €
  EXPECT_EQ(Utf8ToWindows1252("\xC5\x92"), "\x8C");          // Œ
  EXPECT_EQ(Utf8ToWindows1252("\xC5\xB8"), "\x9F");          // Ÿ
  EXPECT_EQ(Utf8ToWindows1252("\xE2\x84\xA2"), "\x99");      // ™
  EXPECT_EQ(Utf8ToWindows1252("\xC2\xA0\xC3\xBF"), "\xA0\xFF");
  EXPECT_EQ(Utf8ToWindows1252("a\xE6\x97\xA5z"), "az");      // 日 has no byte
  EXPECT_EQ(Utf8ToWindows1252("\xF0\x9F\x98\x80!"), "!");    // an emoji neither
  EXPECT_EQ(Utf8ToWindows1252("\xC2\x81"), "");              // a C1 control, unused in Windows-1252
}

TEST(Windows1252, DropsMalformedSequences) {
  EXPECT_EQ(Utf8ToWindows1252("\x80x"), "x");              // stray continuation
  EXPECT_EQ(Utf8ToWindows1252("\xC0\xAFy"), "y");          // overlong '/'
  EXPECT_EQ(Utf8ToWindows1252("\xC3"), "");                // truncated
  EXPECT_EQ(Utf8ToWindows1252("\xE2\x82z"), "z");          // truncated, then a letter
  EXPECT_EQ(Utf8ToWindows1252("\xED\xA0\x80q"), "q");      // a surrogate
  EXPECT_EQ(Utf8ToWindows1252("\xF4\x90\x80\x80w"), "w");  // past U+10FFFF
  EXPECT_EQ(Utf8ToWindows1252("\xFF\xFEv"), "v");
}

TEST(VirtualKeys, FollowTheWindowsNumbers) {
  auto vk = [](SDL_Keycode sym, SDL_Scancode scan) {
    SDL_Keysym k{};
    k.sym = sym;
    k.scancode = scan;
    return VirtualKeyOf(k);
  };
  EXPECT_EQ(vk(SDLK_a, SDL_SCANCODE_A), 0x41u);
  EXPECT_EQ(vk(SDLK_z, SDL_SCANCODE_Z), 0x5Au);
  EXPECT_EQ(vk(SDLK_0, SDL_SCANCODE_0), 0x30u);
  EXPECT_EQ(vk(SDLK_9, SDL_SCANCODE_9), 0x39u);
  EXPECT_EQ(vk(SDLK_F1, SDL_SCANCODE_F1), 0x70u);
  EXPECT_EQ(vk(SDLK_F12, SDL_SCANCODE_F12), 0x7Bu);
  EXPECT_EQ(vk(SDLK_F13, SDL_SCANCODE_F13), 0x7Cu);
  EXPECT_EQ(vk(SDLK_F24, SDL_SCANCODE_F24), 0x87u);
  EXPECT_EQ(vk(SDLK_LEFT, SDL_SCANCODE_LEFT), 0x25u);
  EXPECT_EQ(vk(SDLK_DOWN, SDL_SCANCODE_DOWN), 0x28u);
  EXPECT_EQ(vk(SDLK_PAGEUP, SDL_SCANCODE_PAGEUP), 0x21u);
  EXPECT_EQ(vk(SDLK_DELETE, SDL_SCANCODE_DELETE), 0x2Eu);
  EXPECT_EQ(vk(SDLK_KP_0, SDL_SCANCODE_KP_0), 0x60u);
  EXPECT_EQ(vk(SDLK_KP_5, SDL_SCANCODE_KP_5), 0x65u);
  EXPECT_EQ(vk(SDLK_KP_9, SDL_SCANCODE_KP_9), 0x69u);
  EXPECT_EQ(vk(SDLK_KP_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY), 0x6Au);
  EXPECT_EQ(vk(SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER), 0x0Du);
  EXPECT_EQ(vk(SDLK_LSHIFT, SDL_SCANCODE_LSHIFT), 0x10u);
  EXPECT_EQ(vk(SDLK_RSHIFT, SDL_SCANCODE_RSHIFT), 0x10u);
  EXPECT_EQ(vk(SDLK_RCTRL, SDL_SCANCODE_RCTRL), 0x11u);
  EXPECT_EQ(vk(SDLK_LALT, SDL_SCANCODE_LALT), 0x12u);
  EXPECT_EQ(vk(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE), 0x1Bu);
  EXPECT_EQ(vk(SDLK_RETURN, SDL_SCANCODE_RETURN), 0x0Du);
  EXPECT_EQ(vk(SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE), 0x08u);
  EXPECT_EQ(vk(SDLK_TAB, SDL_SCANCODE_TAB), 0x09u);
  EXPECT_EQ(vk(SDLK_SPACE, SDL_SCANCODE_SPACE), 0x20u);
  EXPECT_EQ(vk(SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON), 0xBAu);
  EXPECT_EQ(vk(SDLK_EQUALS, SDL_SCANCODE_EQUALS), 0xBBu);
  EXPECT_EQ(vk(SDLK_COMMA, SDL_SCANCODE_COMMA), 0xBCu);
  EXPECT_EQ(vk(SDLK_MINUS, SDL_SCANCODE_MINUS), 0xBDu);
  EXPECT_EQ(vk(SDLK_PERIOD, SDL_SCANCODE_PERIOD), 0xBEu);
  EXPECT_EQ(vk(SDLK_SLASH, SDL_SCANCODE_SLASH), 0xBFu);
  EXPECT_EQ(vk(SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE), 0xC0u);
  EXPECT_EQ(vk(SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET), 0xDBu);
  EXPECT_EQ(vk(SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH), 0xDCu);
  EXPECT_EQ(vk(SDLK_RIGHTBRACKET, SDL_SCANCODE_RIGHTBRACKET), 0xDDu);
  EXPECT_EQ(vk(SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE), 0xDEu);
  // Another layout: the letter follows the symbol, a key that types an
  // accented letter falls back to its position.
  EXPECT_EQ(vk(SDLK_q, SDL_SCANCODE_A), 0x51u);
  EXPECT_EQ(vk(0xE9, SDL_SCANCODE_2), 0x32u);
  EXPECT_EQ(vk(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN), 0u);
}

TEST(ScanCodes, AreThePcSetOneCodes) {
  EXPECT_EQ(PcScanCodeOf(SDL_SCANCODE_A), 0x1Eu);
  EXPECT_EQ(PcScanCodeOf(SDL_SCANCODE_Q), 0x10u);
  EXPECT_EQ(PcScanCodeOf(SDL_SCANCODE_M), 0x32u);
  EXPECT_EQ(PcScanCodeOf(SDL_SCANCODE_1), 0x02u);
  EXPECT_EQ(PcScanCodeOf(SDL_SCANCODE_0), 0x0Bu);
  EXPECT_EQ(PcScanCodeOf(SDL_SCANCODE_ESCAPE), 0x01u);
  EXPECT_EQ(PcScanCodeOf(SDL_SCANCODE_F10), 0x44u);
  EXPECT_EQ(PcScanCodeOf(SDL_SCANCODE_F11), 0x57u);
  EXPECT_EQ(PcScanCodeOf(SDL_SCANCODE_KP_7), 0x47u);
  EXPECT_EQ(PcScanCodeOf(SDL_SCANCODE_HOME), 0x147u);  // extended
  EXPECT_EQ(PcScanCodeOf(SDL_SCANCODE_RCTRL), 0x11Du);
  EXPECT_EQ(PcScanCodeOf(SDL_SCANCODE_LCTRL), 0x1Du);
}

TEST_F(SdlInputTest, KeyDownAndUpCarryTheWindowsKeyAndBits) {
  Feed(KeyEvent(true, SDLK_a, SDL_SCANCODE_A));
  Feed(KeyEvent(true, SDLK_a, SDL_SCANCODE_A, 1));
  Feed(KeyEvent(false, SDLK_a, SDL_SCANCODE_A));
  Feed(KeyEvent(true, SDLK_LEFT, SDL_SCANCODE_LEFT));
  ASSERT_EQ(batch.size(), 4u);
  EXPECT_EQ(At(0).window, target.main);
  EXPECT_EQ(At(0).message, kWmKeyDown);
  EXPECT_EQ(At(0).wParam, 0x41u);
  EXPECT_EQ(At(0).lParam, 0x001E0001 | kKeyModifiersCarried);
  EXPECT_EQ(At(0).time, 5000u);
  EXPECT_EQ(At(1).message, kWmKeyDown);
  EXPECT_EQ(At(1).lParam, 0x401E0001 | kKeyModifiersCarried);  // auto-repeat: the key was down
  EXPECT_EQ(At(2).message, kWmKeyUp);
  EXPECT_EQ(At(2).wParam, 0x41u);
  EXPECT_EQ(At(2).lParam, static_cast<LParam>(0xC01E0001u | kKeyModifiersCarried));
  EXPECT_EQ(At(3).wParam, 0x25u);
  EXPECT_EQ(At(3).lParam, 0x014B0001 | kKeyModifiersCarried);  // extended key
  Feed(KeyEvent(true, SDLK_LCTRL, SDL_SCANCODE_LCTRL));
  Feed(KeyEvent(true, SDLK_a, SDL_SCANCODE_A));  // Ctrl held when a key is read travels with it
  EXPECT_EQ(batch.size() == 6u ? At(5).lParam & (kKeyControlHeld | kKeyShiftHeld) : 0, kKeyControlHeld);
}

TEST_F(SdlInputTest, TypedTextStaysWithItsKeyDown) {
  translator.BeginPass();
  Feed(KeyEvent(true, SDLK_a, SDL_SCANCODE_A));
  Feed(TextEvent("a"));
  Feed(KeyEvent(false, SDLK_a, SDL_SCANCODE_A));
  Feed(KeyEvent(true, SDLK_e, SDL_SCANCODE_E));
  Feed(TextEvent("\xC3\xA9"));
  ASSERT_EQ(batch.size(), 3u);
  EXPECT_EQ(batch[0].text, "a");
  EXPECT_EQ(batch[1].text, "");
  EXPECT_EQ(batch[2].text, "\xE9");
}

TEST_F(SdlInputTest, TextWithoutAKeyDownInThePassIsTypedDirectly) {
  Feed(KeyEvent(true, SDLK_a, SDL_SCANCODE_A));
  translator.BeginPass();
  Feed(TextEvent("\xE2\x82\xAC" "b"));
  ASSERT_EQ(batch.size(), 3u);
  EXPECT_EQ(batch[0].text, "");
  EXPECT_EQ(At(1).message, kWmChar);
  EXPECT_EQ(At(1).wParam, 0x80u);
  EXPECT_EQ(At(2).message, kWmChar);
  EXPECT_EQ(At(2).wParam, static_cast<WParam>('b'));
}

TEST_F(SdlInputTest, ControlCharactersInTextAreLeftToTheirKeys) {
  Feed(TextEvent("\r\t\x7F"));
  EXPECT_TRUE(batch.empty());
}

TEST_F(SdlInputTest, ClickThenQuickSecondClickIsADoubleClick) {
  Feed(ButtonEvent(true, SDL_BUTTON_LEFT, 100, 50));
  Feed(ButtonEvent(false, SDL_BUTTON_LEFT, 100, 50));
  now += 200;
  Feed(ButtonEvent(true, SDL_BUTTON_LEFT, 103, 46));
  Feed(ButtonEvent(false, SDL_BUTTON_LEFT, 103, 46));
  now += 100;
  Feed(ButtonEvent(true, SDL_BUTTON_LEFT, 103, 46));  // a third press starts over
  ASSERT_EQ(batch.size(), 5u);
  EXPECT_EQ(At(0).message, kWmLButtonDown);
  EXPECT_EQ(At(0).wParam, kMkLButton);
  EXPECT_EQ(At(0).lParam, MakeLParam(100, 50));
  EXPECT_EQ(At(1).message, kWmLButtonUp);
  EXPECT_EQ(At(1).wParam, 0u);
  EXPECT_EQ(At(2).message, kWmLButtonDblClk);
  EXPECT_EQ(At(2).wParam, kMkLButton);
  EXPECT_EQ(At(2).lParam, MakeLParam(103, 46));
  EXPECT_EQ(At(3).message, kWmLButtonUp);
  EXPECT_EQ(At(4).message, kWmLButtonDown);
}

TEST_F(SdlInputTest, DoubleClicksKeepNegativeCoordinates) {
  Feed(ButtonEvent(true, SDL_BUTTON_LEFT, -3, -20));
  Feed(ButtonEvent(false, SDL_BUTTON_LEFT, -3, -20));
  Feed(ButtonEvent(true, SDL_BUTTON_LEFT, -4, -19));
  ASSERT_EQ(batch.size(), 3u);
  EXPECT_EQ(At(2).message, kWmLButtonDblClk);
  EXPECT_EQ(SignedLoWord(At(0).lParam), -3);
  EXPECT_EQ(SignedHiWord(At(0).lParam), -20);
  EXPECT_EQ(SignedLoWord(At(2).lParam), -4);
  EXPECT_EQ(SignedHiWord(At(2).lParam), -19);
}

TEST_F(SdlInputTest, SlowFarOrOtherButtonSecondClicksAreSingle) {
  Feed(ButtonEvent(true, SDL_BUTTON_LEFT, 10, 10));
  now += DoubleClickTimeMs() + 1;
  Feed(ButtonEvent(true, SDL_BUTTON_LEFT, 10, 10));  // too late
  Feed(ButtonEvent(true, SDL_BUTTON_LEFT, 15, 10));  // too far
  Feed(ButtonEvent(true, SDL_BUTTON_RIGHT, 15, 10));  // another button
  Feed(ButtonEvent(true, SDL_BUTTON_LEFT, 15, 10));  // the left press before was not the last
  now += DoubleClickTimeMs();
  Feed(ButtonEvent(true, SDL_BUTTON_LEFT, 19, 14));  // just in time and reach
  ASSERT_EQ(batch.size(), 6u);
  EXPECT_EQ(At(0).message, kWmLButtonDown);
  EXPECT_EQ(At(1).message, kWmLButtonDown);
  EXPECT_EQ(At(2).message, kWmLButtonDown);
  EXPECT_EQ(At(3).message, kWmRButtonDown);
  EXPECT_EQ(At(3).wParam, kMkLButton | kMkRButton);
  EXPECT_EQ(At(4).message, kWmLButtonDown);
  EXPECT_EQ(At(5).message, kWmLButtonDblClk);
}

TEST_F(SdlInputTest, ClassWithoutDoubleClicksGetsPlainPresses) {
  target.doubleClicks = false;
  Feed(ButtonEvent(true, SDL_BUTTON_MIDDLE, 1, 1));
  Feed(ButtonEvent(false, SDL_BUTTON_MIDDLE, 1, 1));
  Feed(ButtonEvent(true, SDL_BUTTON_MIDDLE, 1, 1));
  ASSERT_EQ(batch.size(), 3u);
  EXPECT_EQ(At(0).message, kWmMButtonDown);
  EXPECT_EQ(At(0).wParam, kMkMButton);
  EXPECT_EQ(At(1).message, kWmMButtonUp);
  EXPECT_EQ(At(2).message, kWmMButtonDown);
}

TEST_F(SdlInputTest, ClicksOnDifferentWindowsDoNotPair) {
  Feed(ButtonEvent(true, SDL_BUTTON_LEFT, 1, 1, 10));
  Feed(ButtonEvent(true, SDL_BUTTON_LEFT, 1, 1, 11));
  ASSERT_EQ(batch.size(), 2u);
  EXPECT_EQ(At(1).window, target.other);
  EXPECT_EQ(At(1).message, kWmLButtonDown);
}

TEST_F(SdlInputTest, XButtonsNameTheButtonInTheHighWord) {
  Feed(ButtonEvent(true, SDL_BUTTON_X2, 7, 8));
  Feed(ButtonEvent(false, SDL_BUTTON_X2, 7, 8));
  Feed(ButtonEvent(true, SDL_BUTTON_X1, 7, 8));
  Feed(ButtonEvent(true, SDL_BUTTON_X1, 7, 8));
  ASSERT_EQ(batch.size(), 4u);
  EXPECT_EQ(At(0).message, kWmXButtonDown);
  EXPECT_EQ(HiWord(At(0).wParam), 2u);
  EXPECT_EQ(LoWord(At(0).wParam), kMkXButton2);
  EXPECT_EQ(At(1).message, kWmXButtonUp);
  EXPECT_EQ(At(1).wParam, MakeWParam(0, 2));
  EXPECT_EQ(At(2).message, kWmXButtonDown);
  EXPECT_EQ(At(2).wParam, MakeWParam(kMkXButton1, 1));
  EXPECT_EQ(At(3).message, kWmXButtonDblClk);
}

TEST_F(SdlInputTest, MouseFlagsIncludeShiftAndControl) {
  Feed(KeyEvent(true, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT));
  Feed(KeyEvent(true, SDLK_RCTRL, SDL_SCANCODE_RCTRL));
  Feed(ButtonEvent(true, SDL_BUTTON_RIGHT, 5, 6));
  Feed(MotionEvent(-8, 9));
  Feed(KeyEvent(false, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT));
  Feed(ButtonEvent(false, SDL_BUTTON_RIGHT, 5, 6));
  ASSERT_EQ(batch.size(), 6u);
  EXPECT_EQ(At(2).wParam, kMkRButton | kMkShift | kMkControl);
  EXPECT_EQ(At(3).message, kWmMouseMove);
  EXPECT_EQ(At(3).wParam, kMkRButton | kMkShift | kMkControl);
  EXPECT_EQ(At(3).lParam, MakeLParam(-8, 9));
  EXPECT_EQ(At(5).message, kWmRButtonUp);
  EXPECT_EQ(At(5).wParam, kMkControl);
}

TEST_F(SdlInputTest, HeldKeysTrackBothSides) {
  Feed(KeyEvent(true, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT));
  Feed(KeyEvent(true, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT));
  Feed(KeyEvent(false, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT));
  EXPECT_TRUE(translator.IsKeyHeld(kVkShift));
  EXPECT_FALSE(translator.IsKeyHeld(kVkLShift));
  EXPECT_TRUE(translator.IsKeyHeld(kVkRShift));
  Feed(KeyEvent(false, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT));
  EXPECT_FALSE(translator.IsKeyHeld(kVkShift));
  // Alt (the hotkeys' third modifier) is held by either side the same way.
  Feed(KeyEvent(true, SDLK_LALT, SDL_SCANCODE_LALT));
  Feed(KeyEvent(true, SDLK_RALT, SDL_SCANCODE_RALT));
  Feed(KeyEvent(false, SDLK_LALT, SDL_SCANCODE_LALT));
  EXPECT_TRUE(translator.IsKeyHeld(kVkMenu));
  Feed(KeyEvent(false, SDLK_RALT, SDL_SCANCODE_RALT));
  EXPECT_FALSE(translator.IsKeyHeld(kVkMenu));
  Feed(KeyEvent(true, SDLK_x, SDL_SCANCODE_X));
  EXPECT_TRUE(translator.IsKeyHeld('X'));
  Feed(ButtonEvent(true, SDL_BUTTON_LEFT, 0, 0));
  EXPECT_TRUE(translator.IsKeyHeld(kVkLButton));
  Feed(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
  EXPECT_FALSE(translator.IsKeyHeld('X'));
  EXPECT_FALSE(translator.IsKeyHeld(kVkLButton));
}

TEST_F(SdlInputTest, WheelNotchesAre120InTheHighWord) {
  Feed(MotionEvent(30, -4));
  Feed(WheelEvent(1));
  Feed(WheelEvent(-2));
  Feed(WheelEvent(1, true));
  Feed(WheelEvent(0));
  ASSERT_EQ(batch.size(), 4u);
  EXPECT_EQ(At(1).message, kWmMouseWheel);
  EXPECT_EQ(HiWord(At(1).wParam), 120u);
  EXPECT_EQ(LoWord(At(1).wParam), 0u);
  EXPECT_EQ(At(1).lParam, MakeLParam(30, -4));
  EXPECT_EQ(static_cast<int16_t>(HiWord(At(2).wParam)), -240);
  EXPECT_EQ(static_cast<int16_t>(HiWord(At(3).wParam)), -120);
}

TEST_F(SdlInputTest, QuitAndCloseAskTheWindowToClose) {
  translator.BeginPass();
  Feed(SDL_Event{SDL_QUIT});
  ASSERT_EQ(batch.size(), 1u);
  EXPECT_EQ(At(0).window, target.main);
  EXPECT_EQ(At(0).message, kWmClose);

  batch.clear();
  translator.BeginPass();
  Feed(WindowEvent(SDL_WINDOWEVENT_CLOSE, 10));
  Feed(SDL_Event{SDL_QUIT});  // SDL's quit for the last window closing
  ASSERT_EQ(batch.size(), 1u);
  EXPECT_EQ(At(0).message, kWmClose);

  batch.clear();
  translator.BeginPass();
  Feed(WindowEvent(SDL_WINDOWEVENT_CLOSE, 11));
  Feed(SDL_Event{SDL_QUIT});
  ASSERT_EQ(batch.size(), 2u);
  EXPECT_EQ(At(0).window, target.other);
  EXPECT_EQ(At(1).window, target.main);
}

TEST_F(SdlInputTest, FocusChangesActivateOnce) {
  Feed(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
  Feed(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
  Feed(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
  Feed(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
  Feed(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED, 99));  // no such window
  ASSERT_EQ(batch.size(), 2u);
  EXPECT_EQ(At(0).message, kWmActivate);
  EXPECT_EQ(At(0).wParam, kWaActive);
  EXPECT_EQ(At(1).message, kWmActivate);
  EXPECT_EQ(At(1).wParam, kWaInactive);
  EXPECT_EQ(target.activations.size(), 4u);
}

TEST_F(SdlInputTest, EventsForUnknownWindowsAreDropped) {
  Feed(KeyEvent(true, SDLK_a, SDL_SCANCODE_A, 0, 77));
  Feed(ButtonEvent(true, SDL_BUTTON_LEFT, 0, 0, 77));
  Feed(TextEvent("q", 77));
  EXPECT_TRUE(batch.empty());
}

TEST_F(SdlInputTest, ResetForgetsHeldButtonsAndClicks) {
  Feed(ButtonEvent(true, SDL_BUTTON_LEFT, 2, 2));
  translator.Reset();
  Feed(ButtonEvent(true, SDL_BUTTON_LEFT, 2, 2));
  Feed(MotionEvent(3, 3));
  ASSERT_EQ(batch.size(), 3u);
  EXPECT_EQ(At(1).message, kWmLButtonDown);
  EXPECT_EQ(At(2).wParam, kMkLButton);
  translator.Reset();
  EXPECT_FALSE(translator.IsKeyHeld(kVkLButton));
  EXPECT_EQ(translator.LastPointer().x, 0);
}

// A 1024 x 768 back buffer shown in a 1920 x 1080 window.
class ScaledTarget : public FakeTarget {
 public:
  PictureFit fit = FitPicture(1024, 768, 1920, 1080);
  Point ToBuffer(Window*, int32_t x, int32_t y) override {
    Point p;
    fit.WindowToBuffer(x, y, &p.x, &p.y);
    return p;
  }
};

TEST(SdlInputScaled, PointerMessagesCarryBackBufferPoints) {
  struct Row {
    bool motion;
    int x, y;
    uint32_t message;
    int bx, by;
  };
  const Row rows[] = {
      {true, 240, 0, kWmMouseMove, 0, 0},
      {true, 1679, 1079, kWmMouseMove, 1023, 767},
      {false, 100, 500, kWmLButtonDown, 0, 355},   // a click in the left bar lands on the edge
      {false, 960, 540, kWmLButtonDown, 512, 384},
      {false, 1900, 20, kWmLButtonDown, 1023, 14},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << "(" << r.x << ", " << r.y << ")");
    ScaledTarget target;
    SdlInputTranslator translator{target};
    std::vector<QueuedMessage> batch;
    translator.Translate(r.motion ? MotionEvent(r.x, r.y) : ButtonEvent(true, SDL_BUTTON_LEFT, r.x, r.y), 5000, &batch);
    ASSERT_EQ(batch.size(), 1u);
    EXPECT_EQ(batch[0].msg.message, r.message);
    EXPECT_EQ(SignedLoWord(batch[0].msg.lParam), r.bx);
    EXPECT_EQ(SignedHiWord(batch[0].msg.lParam), r.by);
    EXPECT_EQ(translator.LastPointer().x, r.bx);
    EXPECT_EQ(translator.LastPointer().y, r.by);
  }
}

}  // namespace
}  // namespace plat::detail
