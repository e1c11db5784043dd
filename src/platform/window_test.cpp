#include "platform/window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/sdl_window_internal.h"

namespace plat {
namespace {

std::vector<Message>& Received() {
  static std::vector<Message> seen;
  return seen;
}

LResult RecordingProc(Window* window, uint32_t message, WParam wParam, LParam lParam) {
  Received().push_back(Message{window, message, wParam, lParam, 0});
  return DefaultWindowProc(window, message, wParam, lParam);
}

int g_destroyAgainCount = 0;
LResult DestroyAgainProc(Window* window, uint32_t message, WParam wParam, LParam lParam) {
  if (message == kWmDestroy) {
    ++g_destroyAgainCount;
    DestroyAppWindow(window);
  }
  return DefaultWindowProc(window, message, wParam, lParam);
}

std::vector<uint32_t> MessagesOf(const std::vector<Message>& list) {
  std::vector<uint32_t> out;
  for (const Message& m : list) out.push_back(m.message);
  return out;
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);  // headless unless told otherwise
    UnregisterAllWindowClasses();
    ResetMessageQueue();
    ASSERT_TRUE(RegisterWindowClass(WindowClass{"TestClass", kCsDblClks | kCsOwnDc, &RecordingProc, 104}));
    ASSERT_TRUE(RegisterWindowClass(WindowClass{"PlainClass", 0, &RecordingProc, 0}));
    Received().clear();
  }

  void TearDown() override {
    for (Window* w : made_) DestroyAppWindow(w);
    ResetMessageQueue();
    UnregisterAllWindowClasses();
  }

  Window* Make(uint32_t style, const char* cls = "TestClass", int width = 320, int height = 200) {
    Window* w = CreateAppWindow(cls, "test", kWsExTopmost | kWsExAppWindow, style, 0, 0, width, height);
    if (w != nullptr) made_.push_back(w);
    return w;
  }

  // Pushes an event for the window as SDL would deliver it.
  static void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError(); }

  static uint32_t IdOf(Window* w) { return SDL_GetWindowID(NativeSdlWindow(w)); }

  static SDL_Event Key(Window* w, bool down, SDL_Keycode sym, SDL_Scancode scan) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = IdOf(w);
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = scan;
    return e;
  }

  static SDL_Event Text(Window* w, const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = IdOf(w);
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    return e;
  }

  static SDL_Event Button(Window* w, bool down, uint8_t button, int x, int y) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = IdOf(w);
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
    return e;
  }

  static SDL_Event WindowEvent(Window* w, uint8_t what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = IdOf(w);
    e.window.event = what;
    return e;
  }

  // Every message waiting now, removed.
  static std::vector<Message> Drain() {
    std::vector<Message> out;
    Message m;
    while (out.size() < 100 && PeekWindowMessage(&m, true)) out.push_back(m);
    return out;
  }

  std::vector<Window*> made_;
};

TEST_F(WindowTest, VisibleWindowIsActivatedAndClosesThroughItsProcedure) {
  Window* w = Make(kWsPopup | kWsVisible);
  ASSERT_NE(w, nullptr) << SDL_GetError();
  EXPECT_TRUE(IsWindowValid(w));
  EXPECT_NE(NativeSdlWindow(w), nullptr);
  // Activated during creation, before CreateAppWindow returned.
  ASSERT_EQ(Received().size(), 1u);
  EXPECT_EQ(Received()[0].window, w);
  EXPECT_EQ(Received()[0].message, kWmActivate);
  EXPECT_EQ(LoWord(Received()[0].wParam), kWaActive);
  EXPECT_TRUE(IsWindowActive(w));

  Received().clear();
  ASSERT_TRUE(PostWindowMessage(w, kWmClose, 0, 0));
  Message m;
  ASSERT_TRUE(GetWindowMessage(&m));
  EXPECT_EQ(m.message, kWmClose);
  EXPECT_FALSE(TranslateWindowMessage(m));
  DispatchWindowMessage(m);
  EXPECT_EQ(MessagesOf(Received()), (std::vector<uint32_t>{kWmClose, kWmDestroy}));
  EXPECT_FALSE(IsWindowValid(w));
  EXPECT_FALSE(IsWindowActive(w));
  EXPECT_EQ(NativeSdlWindow(w), nullptr);
  EXPECT_FALSE(PostWindowMessage(w, kWmApp, 0, 0));
}

TEST_F(WindowTest, HiddenWindowIsActivatedWhenFirstShown) {
  Window* w = Make(kWsPopup);
  ASSERT_NE(w, nullptr) << SDL_GetError();
  EXPECT_TRUE(Received().empty());
  EXPECT_FALSE(IsWindowActive(w));
  ShowAppWindow(w, true);
  ShowAppWindow(w, true);
  ASSERT_EQ(MessagesOf(Received()), (std::vector<uint32_t>{kWmActivate}));
  EXPECT_EQ(Received()[0].wParam, kWaActive);
  ShowAppWindow(w, false);
  ASSERT_EQ(Received().size(), 2u);
  EXPECT_EQ(Received()[1].wParam, kWaInactive);
}

TEST_F(WindowTest, ClientRectIsTheAskedSize) {
  Window* popup = Make(kWsPopup, "TestClass", 320, 200);
  ASSERT_NE(popup, nullptr) << SDL_GetError();
  Rect r = GetClientRect(popup);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 320);
  EXPECT_EQ(r.bottom, 200);
  Window* framed = Make(kWsOverlappedWindow, "TestClass", 640, 480);
  ASSERT_NE(framed, nullptr);
  r = GetClientRect(framed);
  EXPECT_EQ(r.right, 640);
  EXPECT_EQ(r.bottom, 480);
  EXPECT_FALSE(IsWindowMinimised(framed));
}

TEST_F(WindowTest, ClassesMustBeNamedOnceWithAProcedure) {
  EXPECT_FALSE(RegisterWindowClass(WindowClass{"TestClass", 0, &RecordingProc, 0}));
  EXPECT_FALSE(RegisterWindowClass(WindowClass{"NoProc", 0, nullptr, 0}));
  EXPECT_EQ(Make(kWsPopup, "NoSuchClass"), nullptr);
  EXPECT_EQ(Make(kWsPopup, "NoProc"), nullptr);
}

TEST_F(WindowTest, DefaultProcedureAnswers) {
  Window* w = Make(kWsPopup);
  ASSERT_NE(w, nullptr) << SDL_GetError();
  EXPECT_EQ(SendWindowMessage(w, kWmNcHitTest, 0, 0), kHtClient);
  EXPECT_EQ(SendWindowMessage(w, kWmPaint, 0, 0), 0);
  EXPECT_EQ(SendWindowMessage(w, kWmSysCommand, kScMaximize, 0), 0);
  EXPECT_TRUE(IsWindowValid(w));
  Received().clear();
  SendWindowMessage(w, kWmSysCommand, kScClose | 0x2, 0);
  EXPECT_EQ(MessagesOf(Received()), (std::vector<uint32_t>{kWmSysCommand, kWmClose, kWmDestroy}));
  EXPECT_FALSE(IsWindowValid(w));
  EXPECT_EQ(SendWindowMessage(w, kWmNcHitTest, 0, 0), 0);
}

TEST_F(WindowTest, DestroyingAgainWhileDestroyingSendsOneDestroy) {
  ASSERT_TRUE(RegisterWindowClass(WindowClass{"Again", 0, &DestroyAgainProc, 0}));
  g_destroyAgainCount = 0;
  Window* w = Make(kWsPopup, "Again");
  ASSERT_NE(w, nullptr) << SDL_GetError();
  DestroyAppWindow(w);
  DestroyAppWindow(w);
  EXPECT_EQ(g_destroyAgainCount, 1);
  EXPECT_FALSE(IsWindowValid(w));
}

TEST_F(WindowTest, SdlQuitAsksTheMainWindowToClose) {
  Window* w = Make(kWsPopup | kWsVisible);
  ASSERT_NE(w, nullptr) << SDL_GetError();
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Push(quit);
  Message m;
  ASSERT_TRUE(GetWindowMessage(&m));
  EXPECT_EQ(m.message, kWmClose);
  EXPECT_EQ(m.window, w);
  Push(WindowEvent(w, SDL_WINDOWEVENT_CLOSE));
  ASSERT_TRUE(GetWindowMessage(&m));
  EXPECT_EQ(m.message, kWmClose);
  Received().clear();
  DispatchWindowMessage(m);
  EXPECT_EQ(MessagesOf(Received()), (std::vector<uint32_t>{kWmClose, kWmDestroy}));
}

TEST_F(WindowTest, KeyDownTranslatesToItsCharacterBeforeLaterInput) {
  Window* w = Make(kWsPopup | kWsVisible);
  ASSERT_NE(w, nullptr) << SDL_GetError();
  Push(Key(w, true, SDLK_a, SDL_SCANCODE_A));
  Push(Text(w, "a"));
  Push(Key(w, false, SDLK_a, SDL_SCANCODE_A));
  Message m;
  ASSERT_TRUE(GetWindowMessage(&m));
  EXPECT_EQ(m.window, w);
  EXPECT_EQ(m.message, kWmKeyDown);
  EXPECT_EQ(m.wParam, 0x41u);
  EXPECT_EQ(m.lParam, 0x001E0001 | kKeyModifiersCarried);
  EXPECT_TRUE(TranslateWindowMessage(m));
  ASSERT_TRUE(GetWindowMessage(&m));
  EXPECT_EQ(m.message, kWmChar);
  EXPECT_EQ(m.wParam, static_cast<WParam>('a'));
  EXPECT_EQ(m.window, w);
  ASSERT_TRUE(GetWindowMessage(&m));
  EXPECT_EQ(m.message, kWmKeyUp);
  EXPECT_FALSE(TranslateWindowMessage(m));
  EXPECT_TRUE(Drain().empty());
}

TEST_F(WindowTest, TypedTextBecomesWindows1252Characters) {
  Window* w = Make(kWsPopup | kWsVisible);
  ASSERT_NE(w, nullptr) << SDL_GetError();
  Push(Key(w, true, SDLK_e, SDL_SCANCODE_2));
  Push(Text(w, "\xC3\xA9"));  // é
  Message m;
  ASSERT_TRUE(GetWindowMessage(&m));
  ASSERT_EQ(m.message, kWmKeyDown);
  ASSERT_TRUE(TranslateWindowMessage(m));
  // Translating it again types nothing more.
  EXPECT_FALSE(TranslateWindowMessage(m));
  ASSERT_TRUE(GetWindowMessage(&m));
  EXPECT_EQ(m.message, kWmChar);
  EXPECT_EQ(m.wParam, 0xE9u);

  Push(Text(w, "\xE2\x82\xAC"));  // € with no key-down (an input method)
  ASSERT_TRUE(GetWindowMessage(&m));
  EXPECT_EQ(m.message, kWmChar);
  EXPECT_EQ(m.wParam, 0x80u);
  EXPECT_TRUE(Drain().empty());
}

TEST_F(WindowTest, ControlKeysTranslateToTheirCharacters) {
  Window* w = Make(kWsPopup);
  ASSERT_NE(w, nullptr) << SDL_GetError();
  const std::pair<uint32_t, WParam> keys[] = {{kVkBack, 8}, {kVkTab, 9}, {kVkReturn, 13}, {kVkEscape, 27}};
  for (auto [vk, ch] : keys) {
    ASSERT_TRUE(PostWindowMessage(w, kWmKeyDown, vk, 1));
    Message m;
    ASSERT_TRUE(GetWindowMessage(&m));
    ASSERT_TRUE(TranslateWindowMessage(m));
    ASSERT_TRUE(GetWindowMessage(&m));
    EXPECT_EQ(m.message, kWmChar);
    EXPECT_EQ(m.wParam, ch);
    EXPECT_EQ(m.lParam, 1);
  }
  ASSERT_TRUE(PostWindowMessage(w, kWmKeyDown, 'B', 1));
  Message m;
  ASSERT_TRUE(GetWindowMessage(&m));
  EXPECT_FALSE(TranslateWindowMessage(m));
  EXPECT_TRUE(Drain().empty());
}

TEST_F(WindowTest, SecondQuickClickIsADoubleClickForAClassThatAsks) {
  Window* w = Make(kWsPopup | kWsVisible);
  ASSERT_NE(w, nullptr) << SDL_GetError();
  Push(Button(w, true, SDL_BUTTON_LEFT, -12, 40));
  Push(Button(w, false, SDL_BUTTON_LEFT, -12, 40));
  Push(Button(w, true, SDL_BUTTON_LEFT, -10, 41));
  Push(Button(w, false, SDL_BUTTON_LEFT, -10, 41));
  const std::vector<Message> got = Drain();
  ASSERT_EQ(MessagesOf(got),
            (std::vector<uint32_t>{kWmLButtonDown, kWmLButtonUp, kWmLButtonDblClk, kWmLButtonUp}));
  EXPECT_EQ(got[0].wParam, kMkLButton);
  EXPECT_EQ(SignedLoWord(got[0].lParam), -12);
  EXPECT_EQ(SignedHiWord(got[0].lParam), 40);
  EXPECT_EQ(got[1].wParam, 0u);
  EXPECT_EQ(got[2].wParam, kMkLButton);
  EXPECT_EQ(got[2].lParam, MakeLParam(-10, 41));
  EXPECT_EQ(got[2].window, w);

  Window* plain = Make(kWsPopup, "PlainClass");
  ASSERT_NE(plain, nullptr);
  Push(Button(plain, true, SDL_BUTTON_LEFT, 1, 1));
  Push(Button(plain, true, SDL_BUTTON_LEFT, 1, 1));
  const std::vector<Message> single = Drain();
  ASSERT_EQ(MessagesOf(single), (std::vector<uint32_t>{kWmLButtonDown, kWmLButtonDown}));
  EXPECT_EQ(single[1].window, plain);
}

TEST_F(WindowTest, WheelAndExtraButtons) {
  Window* w = Make(kWsPopup | kWsVisible);
  ASSERT_NE(w, nullptr) << SDL_GetError();
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.windowID = IdOf(w);
  motion.motion.x = 200;
  motion.motion.y = 150;
  Push(motion);
  SDL_Event wheel{};
  wheel.type = SDL_MOUSEWHEEL;
  wheel.wheel.windowID = IdOf(w);
  wheel.wheel.y = 1;
  Push(wheel);
  Push(Button(w, true, SDL_BUTTON_X2, 200, 150));
  const std::vector<Message> got = Drain();
  ASSERT_EQ(MessagesOf(got), (std::vector<uint32_t>{kWmMouseMove, kWmMouseWheel, kWmXButtonDown}));
  EXPECT_EQ(got[0].lParam, MakeLParam(200, 150));
  EXPECT_EQ(HiWord(got[1].wParam), 120u);
  EXPECT_EQ(got[1].lParam, MakeLParam(200, 150));
  EXPECT_EQ(HiWord(got[2].wParam), kXButton2);
  EXPECT_EQ(LoWord(got[2].wParam), kMkXButton2);
  EXPECT_TRUE(IsKeyHeld(kVkXButton2));
  const Point at = GetCursorPosition(w);
  EXPECT_EQ(at.x, 200);
  EXPECT_EQ(at.y, 150);
}

TEST_F(WindowTest, FocusChangesBecomeActivationOnce) {
  Window* w = Make(kWsPopup | kWsVisible);
  ASSERT_NE(w, nullptr) << SDL_GetError();
  Received().clear();
  Push(WindowEvent(w, SDL_WINDOWEVENT_FOCUS_GAINED));  // already active from creation
  Push(WindowEvent(w, SDL_WINDOWEVENT_FOCUS_LOST));
  Push(WindowEvent(w, SDL_WINDOWEVENT_FOCUS_LOST));
  std::vector<Message> got = Drain();
  ASSERT_EQ(MessagesOf(got), (std::vector<uint32_t>{kWmActivate}));
  EXPECT_EQ(got[0].wParam, kWaInactive);
  EXPECT_FALSE(IsWindowActive(w));
  Push(WindowEvent(w, SDL_WINDOWEVENT_FOCUS_GAINED));
  got = Drain();
  ASSERT_EQ(MessagesOf(got), (std::vector<uint32_t>{kWmActivate}));
  EXPECT_EQ(got[0].wParam, kWaActive);
  EXPECT_TRUE(IsWindowActive(w));
  DispatchWindowMessage(got[0]);
  ASSERT_EQ(Received().size(), 1u);
  EXPECT_EQ(Received()[0].message, kWmActivate);
}

TEST_F(WindowTest, ShiftHeldShowsInMouseFlagsAndKeyState) {
  Window* w = Make(kWsPopup | kWsVisible);
  ASSERT_NE(w, nullptr) << SDL_GetError();
  Push(Key(w, true, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT));
  Push(Button(w, true, SDL_BUTTON_RIGHT, 3, 4));
  const std::vector<Message> got = Drain();
  ASSERT_EQ(MessagesOf(got), (std::vector<uint32_t>{kWmKeyDown, kWmRButtonDown}));
  EXPECT_EQ(got[0].wParam, kVkShift);
  EXPECT_EQ(got[1].wParam, kMkRButton | kMkShift);
  EXPECT_TRUE(IsKeyHeld(kVkShift));
  EXPECT_TRUE(IsKeyHeld(kVkRButton));
  EXPECT_FALSE(IsKeyHeld(kVkControl));
}

TEST_F(WindowTest, InputWithoutAWindowIsNotRead) {
  Window* w = Make(kWsPopup);
  ASSERT_NE(w, nullptr) << SDL_GetError();
  DestroyAppWindow(w);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Push(quit);
  Message m;
  EXPECT_FALSE(PeekWindowMessage(&m, true));
  // The event waits in SDL for a window to read it.
  EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT), 1);
}

TEST_F(WindowTest, OnlyTheWindowsThreadReadsInput) {
  Window* w = Make(kWsPopup | kWsVisible);
  ASSERT_NE(w, nullptr) << SDL_GetError();
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Push(quit);
  bool seenElsewhere = true;
  std::thread([&] {
    Message m;
    seenElsewhere = PeekWindowMessage(&m, true);
  }).join();
  EXPECT_FALSE(seenElsewhere);
  Message m;
  ASSERT_TRUE(PeekWindowMessage(&m, true));
  EXPECT_EQ(m.message, kWmClose);
}

TEST_F(WindowTest, CursorsByNameAndPointerVisibility) {
  void* arrow = LoadAppCursor("IDC_ARROWN");
  void* busy = LoadAppCursor("IDC_BUSYN");
  void* target = LoadAppCursor("IDC_TARGET");
  void* blank = LoadAppCursor("IDC_BLANK");
  ASSERT_NE(arrow, nullptr);
  ASSERT_NE(busy, nullptr);
  ASSERT_NE(target, nullptr);
  ASSERT_NE(blank, nullptr);
  EXPECT_NE(arrow, busy);
  EXPECT_NE(busy, target);
  EXPECT_NE(target, blank);
  EXPECT_NE(arrow, blank);
  EXPECT_EQ(LoadAppCursor("IDC_ARROWN"), arrow);
  EXPECT_EQ(LoadAppCursor("IDC_ARROW"), nullptr);
  EXPECT_EQ(LoadAppCursor(nullptr), nullptr);

  Window* w = Make(kWsPopup | kWsVisible);
  ASSERT_NE(w, nullptr) << SDL_GetError();
  SetAppCursor(nullptr);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  SetAppCursor(busy);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  ShowSystemCursor(false);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  ShowSystemCursor(true);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  SetAppCursor(blank);
  FreeAppCursors();
  SetAppCursor(arrow);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  FreeAppCursors();
}

TEST_F(WindowTest, PointerHelpersAcceptAnyHandle) {
  Window* w = Make(kWsPopup | kWsVisible);
  ASSERT_NE(w, nullptr) << SDL_GetError();
  const Rect area{10, 10, 100, 80};
  ClipCursorToRect(w, &area);
  ClipCursorToRect(w, nullptr);
  SetCaptureAndFocus(w);
  SetCursorPosition(w, 33, 44);
  Point at = GetCursorPosition(w);
  EXPECT_EQ(at.x, 33);
  EXPECT_EQ(at.y, 44);
  // Stale and null handles are ignored.
  DestroyAppWindow(w);
  ClipCursorToRect(w, &area);
  SetCaptureAndFocus(w);
  SetCursorPosition(nullptr, 1, 1);
  ShowAppWindow(w, true);
  MaximiseWindow(w);
  SetWindowBounds(w, 0, 0, 10, 10);
  EXPECT_EQ(GetClientRect(w).right, 0);
  EXPECT_EQ(DoubleClickTimeMs(), 250u);  // the controls' press deadline too
}

}  // namespace
}  // namespace plat
