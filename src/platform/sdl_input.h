#pragma once
// Platform-internal: turns SDL's input and window events into the window
// messages the game is written against (virtual keys, scan codes, mouse key
// flags, synthesised double clicks, wheel deltas, Windows-1252 characters).
#include <SDL.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messages.h"
#include "platform/window.h"
#include "platform/window_internal.h"

namespace plat::detail {

// What the translator needs to know about the windows events are for.
class InputTarget {
 public:
  virtual ~InputTarget() = default;
  // The live window with that SDL window id; for id 0 (events without a
  // window, such as pushed ones) the main window; else null.
  virtual Window* Resolve(uint32_t sdlWindowId) = 0;
  virtual Window* MainWindow() = 0;
  // Whether the window's class asks for double clicks.
  virtual bool WantsDoubleClicks(Window* window) = 0;
  // Records the window's activation; true when that changed it (so a repeated
  // focus event makes no second WM_ACTIVATE).
  virtual bool ChangeActivation(Window* window, bool active) = 0;
  // The back-buffer point under a window point (the same point unless the
  // window shows the back buffer scaled).
  virtual Point ToBuffer(Window* /*window*/, int32_t x, int32_t y) { return Point{x, y}; }
};

// One translator reads all events, in order, on the thread that owns the
// windows. A pass over the events that are waiting starts with BeginPass and
// appends to one batch: typed text joins the key-down of the same pass that
// produced it.
class SdlInputTranslator {
 public:
  explicit SdlInputTranslator(InputTarget& target) : target_(target) {}
  SdlInputTranslator(const SdlInputTranslator&) = delete;
  SdlInputTranslator& operator=(const SdlInputTranslator&) = delete;

  void BeginPass();
  // `now` is the tick count the messages carry and double clicks are timed by.
  void Translate(const SDL_Event& event, uint32_t now, std::vector<QueuedMessage>* batch);

  // Held keys and buttons, click history and pointer position go back to the
  // start state.
  void Reset();
  // The window is gone: no double click may pair with a click on it.
  void ForgetWindow(Window* window);

  bool IsKeyHeld(uint32_t virtualKey) const;
  Point LastPointer() const;
  void SetLastPointer(int x, int y);

 private:
  struct ClickHistory {
    bool valid = false;
    Window* window = nullptr;
    uint8_t button = 0;
    uint32_t time = 0;
    int x = 0, y = 0;
  };

  void OnKey(const SDL_KeyboardEvent& key, bool down, uint32_t now, std::vector<QueuedMessage>* batch);
  void OnText(const SDL_TextInputEvent& text, uint32_t now, std::vector<QueuedMessage>* batch);
  void OnButton(const SDL_MouseButtonEvent& button, bool down, uint32_t now,
                std::vector<QueuedMessage>* batch);
  void OnWindowEvent(const SDL_WindowEvent& event, uint32_t now, std::vector<QueuedMessage>* batch);
  uint32_t MouseKeyFlags() const;
  void Emit(std::vector<QueuedMessage>* batch, Window* window, uint32_t message, WParam wParam, LParam lParam,
            uint32_t now);

  InputTarget& target_;
  std::array<bool, 256> keys_{};  // by virtual key; shift, control and alt by side
  uint32_t buttons_ = 0;          // kMk*Button flags held
  ClickHistory lastClick_;
  std::atomic<int32_t> pointerX_{0}, pointerY_{0};
  // Index in the pass's batch of the last key-down, or -1.
  long pendingKeyDown_ = -1;
  bool closeSentToMain_ = false;
};

// The Windows virtual key of an SDL key: by the key's symbol in the current
// layout, else by its position on a US keyboard; 0 when there is none.
uint32_t VirtualKeyOf(const SDL_Keysym& key);
// The PC (set 1) scan code of a key, with 0x100 added for extended keys; 0 when
// unknown.
uint32_t PcScanCodeOf(SDL_Scancode code);
// UTF-8 text as Windows-1252 bytes; characters without a Windows-1252 byte and
// malformed sequences are dropped.
std::string Utf8ToWindows1252(std::string_view text);

}  // namespace plat::detail
