#include "platform/sdl_input.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/text_encoding.h"

namespace plat::detail {
namespace {

inline constexpr uint32_t kVkOem102 = 0xE2;  // the extra key beside left shift on European keyboards

// Keys that are the same wherever the layout puts them, by SDL scan code, as a
// US keyboard labels them.
uint32_t VirtualKeyOfScancode(SDL_Scancode code) {
  if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) return 'A' + (code - SDL_SCANCODE_A);
  if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return '1' + (code - SDL_SCANCODE_1);
  if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12) return kVkF1 + (code - SDL_SCANCODE_F1);
  if (code >= SDL_SCANCODE_F13 && code <= SDL_SCANCODE_F24) return kVkF1 + 12 + (code - SDL_SCANCODE_F13);
  if (code >= SDL_SCANCODE_KP_1 && code <= SDL_SCANCODE_KP_9) return kVkNumpad0 + 1 + (code - SDL_SCANCODE_KP_1);
  switch (code) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_RETURN: return kVkReturn;
    case SDL_SCANCODE_ESCAPE: return kVkEscape;
    case SDL_SCANCODE_BACKSPACE: return kVkBack;
    case SDL_SCANCODE_TAB: return kVkTab;
    case SDL_SCANCODE_SPACE: return kVkSpace;
    case SDL_SCANCODE_MINUS: return kVkOemMinus;
    case SDL_SCANCODE_EQUALS: return kVkOemPlus;
    case SDL_SCANCODE_LEFTBRACKET: return kVkOem4;
    case SDL_SCANCODE_RIGHTBRACKET: return kVkOem6;
    case SDL_SCANCODE_BACKSLASH: return kVkOem5;
    case SDL_SCANCODE_NONUSHASH: return kVkOem5;
    case SDL_SCANCODE_SEMICOLON: return kVkOem1;
    case SDL_SCANCODE_APOSTROPHE: return kVkOem7;
    case SDL_SCANCODE_GRAVE: return kVkOem3;
    case SDL_SCANCODE_COMMA: return kVkOemComma;
    case SDL_SCANCODE_PERIOD: return kVkOemPeriod;
    case SDL_SCANCODE_SLASH: return kVkOem2;
    case SDL_SCANCODE_NONUSBACKSLASH: return kVkOem102;
    case SDL_SCANCODE_CAPSLOCK: return kVkCapital;
    case SDL_SCANCODE_PRINTSCREEN: return kVkSnapshot;
    case SDL_SCANCODE_SCROLLLOCK: return kVkScroll;
    case SDL_SCANCODE_PAUSE: return kVkPause;
    case SDL_SCANCODE_INSERT: return kVkInsert;
    case SDL_SCANCODE_HOME: return kVkHome;
    case SDL_SCANCODE_PAGEUP: return kVkPrior;
    case SDL_SCANCODE_DELETE: return kVkDelete;
    case SDL_SCANCODE_END: return kVkEnd;
    case SDL_SCANCODE_PAGEDOWN: return kVkNext;
    case SDL_SCANCODE_RIGHT: return kVkRight;
    case SDL_SCANCODE_LEFT: return kVkLeft;
    case SDL_SCANCODE_DOWN: return kVkDown;
    case SDL_SCANCODE_UP: return kVkUp;
    case SDL_SCANCODE_NUMLOCKCLEAR: return kVkNumLock;
    case SDL_SCANCODE_KP_DIVIDE: return kVkDivide;
    case SDL_SCANCODE_KP_MULTIPLY: return kVkMultiply;
    case SDL_SCANCODE_KP_MINUS: return kVkSubtract;
    case SDL_SCANCODE_KP_PLUS: return kVkAdd;
    case SDL_SCANCODE_KP_ENTER: return kVkReturn;
    case SDL_SCANCODE_KP_0: return kVkNumpad0;
    case SDL_SCANCODE_KP_PERIOD: return kVkDecimal;
    case SDL_SCANCODE_APPLICATION: return kVkApps;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return kVkControl;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return kVkShift;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT: return kVkMenu;
    case SDL_SCANCODE_LGUI: return kVkLWin;
    case SDL_SCANCODE_RGUI: return kVkRWin;
    default: return 0;
  }
}

// Keys that produce a character in the current layout: letters, digits and the
// punctuation keys of a US keyboard keep the virtual key Windows gives them.
uint32_t VirtualKeyOfCharacter(SDL_Keycode sym) {
  if (sym >= SDLK_a && sym <= SDLK_z) return 'A' + (sym - SDLK_a);
  if (sym >= SDLK_0 && sym <= SDLK_9) return '0' + (sym - SDLK_0);
  switch (sym) {
    case SDLK_BACKSPACE: return kVkBack;
    case SDLK_TAB: return kVkTab;
    case SDLK_RETURN: return kVkReturn;
    case SDLK_ESCAPE: return kVkEscape;
    case SDLK_SPACE: return kVkSpace;
    case SDLK_DELETE: return kVkDelete;
    case SDLK_SEMICOLON: return kVkOem1;
    case SDLK_EQUALS: return kVkOemPlus;
    case SDLK_COMMA: return kVkOemComma;
    case SDLK_MINUS: return kVkOemMinus;
    case SDLK_PERIOD: return kVkOemPeriod;
    case SDLK_SLASH: return kVkOem2;
    case SDLK_BACKQUOTE: return kVkOem3;
    case SDLK_LEFTBRACKET: return kVkOem4;
    case SDLK_BACKSLASH: return kVkOem5;
    case SDLK_RIGHTBRACKET: return kVkOem6;
    case SDLK_QUOTE: return kVkOem7;
    default: return 0;
  }
}

// Where a key's held state is kept: shift, control and alt by side, so that
// letting go of one side while the other is down keeps the generic key held.
uint32_t HeldSlotOf(const SDL_Keysym& key, uint32_t virtualKey) {
  switch (key.scancode) {
    case SDL_SCANCODE_LSHIFT: return kVkLShift;
    case SDL_SCANCODE_RSHIFT: return kVkRShift;
    case SDL_SCANCODE_LCTRL: return kVkLControl;
    case SDL_SCANCODE_RCTRL: return kVkRControl;
    case SDL_SCANCODE_LALT: return kVkLMenu;
    case SDL_SCANCODE_RALT: return kVkRMenu;
    default: break;
  }
  switch (virtualKey) {
    case kVkShift: return kVkLShift;
    case kVkControl: return kVkLControl;
    case kVkMenu: return kVkLMenu;
    default: return virtualKey;
  }
}

struct ButtonMessages {
  uint32_t down, up, doubleClick, flag, xButton;
};

bool MessagesOfButton(uint8_t button, ButtonMessages* out) {
  switch (button) {
    case SDL_BUTTON_LEFT: *out = {kWmLButtonDown, kWmLButtonUp, kWmLButtonDblClk, kMkLButton, 0}; return true;
    case SDL_BUTTON_RIGHT: *out = {kWmRButtonDown, kWmRButtonUp, kWmRButtonDblClk, kMkRButton, 0}; return true;
    case SDL_BUTTON_MIDDLE: *out = {kWmMButtonDown, kWmMButtonUp, kWmMButtonDblClk, kMkMButton, 0}; return true;
    case SDL_BUTTON_X1:
      *out = {kWmXButtonDown, kWmXButtonUp, kWmXButtonDblClk, kMkXButton1, kXButton1};
      return true;
    case SDL_BUTTON_X2:
      *out = {kWmXButtonDown, kWmXButtonUp, kWmXButtonDblClk, kMkXButton2, kXButton2};
      return true;
    default: return false;
  }
}

// How far apart, in pixels along each axis, two presses may be and still make
// a double click.
inline constexpr int kDoubleClickDistance = 4;

}  // namespace

uint32_t VirtualKeyOf(const SDL_Keysym& key) {
  uint32_t vk = 0;
  if ((key.sym & SDLK_SCANCODE_MASK) != 0) {
    vk = VirtualKeyOfScancode(static_cast<SDL_Scancode>(key.sym & ~SDLK_SCANCODE_MASK));
  } else {
    vk = VirtualKeyOfCharacter(key.sym);
  }
  // A layout whose key types a character without a Windows virtual key of its
  // own (an accented letter, say) reports the key by its position.
  return vk != 0 ? vk : VirtualKeyOfScancode(key.scancode);
}

uint32_t PcScanCodeOf(SDL_Scancode code) {
  constexpr uint32_t kExt = 0x100;
  // Set-1 codes of the letter keys A-Z.
  static constexpr uint8_t kLetters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                           0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                           0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
  static constexpr uint8_t kKeypad1To9[9] = {0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};
  static constexpr uint8_t kF13ToF24[12] = {0x64, 0x65, 0x66, 0x67, 0x68, 0x69,
                                            0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x76};
  if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) return kLetters[code - SDL_SCANCODE_A];
  if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return 0x02 + (code - SDL_SCANCODE_1);
  if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F10) return 0x3B + (code - SDL_SCANCODE_F1);
  if (code >= SDL_SCANCODE_F13 && code <= SDL_SCANCODE_F24) return kF13ToF24[code - SDL_SCANCODE_F13];
  if (code >= SDL_SCANCODE_KP_1 && code <= SDL_SCANCODE_KP_9) return kKeypad1To9[code - SDL_SCANCODE_KP_1];
  switch (code) {
    case SDL_SCANCODE_0: return 0x0B;
    case SDL_SCANCODE_RETURN: return 0x1C;
    case SDL_SCANCODE_ESCAPE: return 0x01;
    case SDL_SCANCODE_BACKSPACE: return 0x0E;
    case SDL_SCANCODE_TAB: return 0x0F;
    case SDL_SCANCODE_SPACE: return 0x39;
    case SDL_SCANCODE_MINUS: return 0x0C;
    case SDL_SCANCODE_EQUALS: return 0x0D;
    case SDL_SCANCODE_LEFTBRACKET: return 0x1A;
    case SDL_SCANCODE_RIGHTBRACKET: return 0x1B;
    case SDL_SCANCODE_BACKSLASH: return 0x2B;
    case SDL_SCANCODE_NONUSHASH: return 0x2B;
    case SDL_SCANCODE_SEMICOLON: return 0x27;
    case SDL_SCANCODE_APOSTROPHE: return 0x28;
    case SDL_SCANCODE_GRAVE: return 0x29;
    case SDL_SCANCODE_COMMA: return 0x33;
    case SDL_SCANCODE_PERIOD: return 0x34;
    case SDL_SCANCODE_SLASH: return 0x35;
    case SDL_SCANCODE_NONUSBACKSLASH: return 0x56;
    case SDL_SCANCODE_CAPSLOCK: return 0x3A;
    case SDL_SCANCODE_F11: return 0x57;
    case SDL_SCANCODE_F12: return 0x58;
    case SDL_SCANCODE_PRINTSCREEN: return 0x37 | kExt;
    case SDL_SCANCODE_SCROLLLOCK: return 0x46;
    case SDL_SCANCODE_PAUSE: return 0x45;
    case SDL_SCANCODE_INSERT: return 0x52 | kExt;
    case SDL_SCANCODE_HOME: return 0x47 | kExt;
    case SDL_SCANCODE_PAGEUP: return 0x49 | kExt;
    case SDL_SCANCODE_DELETE: return 0x53 | kExt;
    case SDL_SCANCODE_END: return 0x4F | kExt;
    case SDL_SCANCODE_PAGEDOWN: return 0x51 | kExt;
    case SDL_SCANCODE_RIGHT: return 0x4D | kExt;
    case SDL_SCANCODE_LEFT: return 0x4B | kExt;
    case SDL_SCANCODE_DOWN: return 0x50 | kExt;
    case SDL_SCANCODE_UP: return 0x48 | kExt;
    case SDL_SCANCODE_NUMLOCKCLEAR: return 0x45 | kExt;
    case SDL_SCANCODE_KP_DIVIDE: return 0x35 | kExt;
    case SDL_SCANCODE_KP_MULTIPLY: return 0x37;
    case SDL_SCANCODE_KP_MINUS: return 0x4A;
    case SDL_SCANCODE_KP_PLUS: return 0x4E;
    case SDL_SCANCODE_KP_ENTER: return 0x1C | kExt;
    case SDL_SCANCODE_KP_0: return 0x52;
    case SDL_SCANCODE_KP_PERIOD: return 0x53;
    case SDL_SCANCODE_APPLICATION: return 0x5D | kExt;
    case SDL_SCANCODE_LCTRL: return 0x1D;
    case SDL_SCANCODE_LSHIFT: return 0x2A;
    case SDL_SCANCODE_LALT: return 0x38;
    case SDL_SCANCODE_LGUI: return 0x5B | kExt;
    case SDL_SCANCODE_RCTRL: return 0x1D | kExt;
    case SDL_SCANCODE_RSHIFT: return 0x36;
    case SDL_SCANCODE_RALT: return 0x38 | kExt;
    case SDL_SCANCODE_RGUI: return 0x5C | kExt;
    default: return 0;
  }
}

std::string Utf8ToWindows1252(std::string_view text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    uint32_t cp = 0;
    size_t length = 0;
    uint32_t minimum = 0;
    if (lead < 0x80) {
      cp = lead, length = 1;
    } else if ((lead & 0xE0) == 0xC0) {
      cp = lead & 0x1F, length = 2, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      cp = lead & 0x0F, length = 3, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      cp = lead & 0x07, length = 4, minimum = 0x10000;
    } else {
      ++i;  // a stray continuation byte or an invalid lead byte
      continue;
    }
    size_t taken = 1;
    while (taken < length && i + taken < text.size() &&
           (static_cast<unsigned char>(text[i + taken]) & 0xC0) == 0x80) {
      cp = (cp << 6) | (static_cast<unsigned char>(text[i + taken]) & 0x3F);
      ++taken;
    }
    i += taken;
    // Truncated, overlong, surrogate or out-of-range sequences carry no character.
    if (taken < length || cp < minimum || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) continue;
    const int byte = Windows1252ByteOf(cp);
    if (byte >= 0) out.push_back(static_cast<char>(byte));
  }
  return out;
}

void SdlInputTranslator::BeginPass() {
  pendingKeyDown_ = -1;
  closeSentToMain_ = false;
}

void SdlInputTranslator::Reset() {
  keys_.fill(false);
  buttons_ = 0;
  lastClick_ = ClickHistory{};
  pointerX_.store(0);
  pointerY_.store(0);
  BeginPass();
}

void SdlInputTranslator::ForgetWindow(Window* window) {
  if (lastClick_.window == window) lastClick_ = ClickHistory{};
}

bool SdlInputTranslator::IsKeyHeld(uint32_t virtualKey) const {
  switch (virtualKey) {
    case kVkLButton: return (buttons_ & kMkLButton) != 0;
    case kVkRButton: return (buttons_ & kMkRButton) != 0;
    case kVkMButton: return (buttons_ & kMkMButton) != 0;
    case kVkXButton1: return (buttons_ & kMkXButton1) != 0;
    case kVkXButton2: return (buttons_ & kMkXButton2) != 0;
    case kVkShift: return keys_[kVkLShift] || keys_[kVkRShift];
    case kVkControl: return keys_[kVkLControl] || keys_[kVkRControl];
    case kVkMenu: return keys_[kVkLMenu] || keys_[kVkRMenu];
    default: return virtualKey < keys_.size() && keys_[virtualKey];
  }
}

Point SdlInputTranslator::LastPointer() const { return Point{pointerX_.load(), pointerY_.load()}; }

void SdlInputTranslator::SetLastPointer(int x, int y) {
  pointerX_.store(x);
  pointerY_.store(y);
}

uint32_t SdlInputTranslator::MouseKeyFlags() const {
  uint32_t flags = buttons_;
  if (IsKeyHeld(kVkShift)) flags |= kMkShift;
  if (IsKeyHeld(kVkControl)) flags |= kMkControl;
  return flags;
}

void SdlInputTranslator::Emit(std::vector<QueuedMessage>* batch, Window* window, uint32_t message, WParam wParam,
                              LParam lParam, uint32_t now) {
  QueuedMessage entry;
  entry.msg = Message{window, message, wParam, lParam, now};
  batch->push_back(std::move(entry));
}

void SdlInputTranslator::Translate(const SDL_Event& event, uint32_t now, std::vector<QueuedMessage>* batch) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      OnKey(event.key, event.type == SDL_KEYDOWN, now, batch);
      break;
    case SDL_TEXTINPUT:
      OnText(event.text, now, batch);
      break;
    case SDL_MOUSEMOTION: {
      Window* window = target_.Resolve(event.motion.windowID);
      if (window == nullptr) break;
      const Point at = target_.ToBuffer(window, event.motion.x, event.motion.y);
      SetLastPointer(at.x, at.y);
      Emit(batch, window, kWmMouseMove, MouseKeyFlags(), MakeLParam(at.x, at.y), now);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      OnButton(event.button, event.type == SDL_MOUSEBUTTONDOWN, now, batch);
      break;
    case SDL_MOUSEWHEEL: {
      Window* window = target_.Resolve(event.wheel.windowID);
      if (window == nullptr) break;
      int notches = event.wheel.y;
      if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      if (notches == 0) break;
      // The delta travels in a signed 16-bit word.
      notches = std::clamp(notches, -32768 / kWheelDelta, 32767 / kWheelDelta);
      const Point at = LastPointer();
      Emit(batch, window, kWmMouseWheel, MakeWParam(static_cast<int>(MouseKeyFlags()), notches * kWheelDelta),
           MakeLParam(at.x, at.y), now);
      break;
    }
    case SDL_WINDOWEVENT:
      OnWindowEvent(event.window, now, batch);
      break;
    case SDL_QUIT: {
      // Closing the last window makes SDL report both the window's close and
      // its own quit; the main window is asked to close once.
      if (closeSentToMain_) break;
      Window* main = target_.MainWindow();
      if (main == nullptr) break;
      Emit(batch, main, kWmClose, 0, 0, now);
      closeSentToMain_ = true;
      break;
    }
    default:
      break;
  }
}

void SdlInputTranslator::OnKey(const SDL_KeyboardEvent& key, bool down, uint32_t now,
                               std::vector<QueuedMessage>* batch) {
  const uint32_t vk = VirtualKeyOf(key.keysym);
  if (vk == 0) return;
  const uint32_t slot = HeldSlotOf(key.keysym, vk);
  const bool wasDown = keys_[slot];
  keys_[slot] = down;
  Window* window = target_.Resolve(key.windowID);
  if (window == nullptr) return;

  const uint32_t scan = PcScanCodeOf(key.keysym.scancode);
  uint32_t bits = 1 | ((scan & 0xFF) << 16);
  if ((scan & 0x100) != 0) bits |= 1u << 24;
  bits |= kKeyModifiersCarried | (IsKeyHeld(kVkShift) ? kKeyShiftHeld : 0) |
          (IsKeyHeld(kVkControl) ? kKeyControlHeld : 0) | (IsKeyHeld(kVkMenu) ? kKeyAltHeld : 0);
  if (down) {
    if (key.repeat != 0 || wasDown) bits |= 1u << 30;
  } else {
    bits |= (1u << 30) | (1u << 31);
  }
  Emit(batch, window, down ? kWmKeyDown : kWmKeyUp, vk, static_cast<LParam>(bits), now);
  if (down) pendingKeyDown_ = static_cast<long>(batch->size()) - 1;
}

void SdlInputTranslator::OnText(const SDL_TextInputEvent& text, uint32_t now, std::vector<QueuedMessage>* batch) {
  std::string chars = Utf8ToWindows1252(std::string_view(text.text, strnlen(text.text, sizeof text.text)));
  // Control characters come from their keys (backspace, tab, enter, escape)
  // when the key-down is translated, never twice.
  std::erase_if(chars, [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
  if (chars.empty()) return;
  if (pendingKeyDown_ >= 0 && pendingKeyDown_ < static_cast<long>(batch->size())) {
    (*batch)[static_cast<size_t>(pendingKeyDown_)].text += chars;
    return;
  }
  // Text without a key-down (an input method's composition, say) is typed as is.
  Window* window = target_.Resolve(text.windowID);
  if (window == nullptr) return;
  for (char c : chars) Emit(batch, window, kWmChar, static_cast<unsigned char>(c), 1, now);
}

void SdlInputTranslator::OnButton(const SDL_MouseButtonEvent& button, bool down, uint32_t now,
                                  std::vector<QueuedMessage>* batch) {
  ButtonMessages messages{};
  if (!MessagesOfButton(button.button, &messages)) return;
  Window* window = target_.Resolve(button.windowID);
  if (window == nullptr) return;
  const Point at = target_.ToBuffer(window, button.x, button.y);
  SetLastPointer(at.x, at.y);
  if (down) {
    buttons_ |= messages.flag;
  } else {
    buttons_ &= ~messages.flag;
  }

  uint32_t message = messages.up;
  if (down) {
    const bool isDouble = target_.WantsDoubleClicks(window) && lastClick_.valid && lastClick_.window == window &&
                          lastClick_.button == button.button && now - lastClick_.time <= DoubleClickTimeMs() &&
                          std::abs(at.x - lastClick_.x) <= kDoubleClickDistance &&
                          std::abs(at.y - lastClick_.y) <= kDoubleClickDistance;
    if (isDouble) {
      // A third press starts a new pair, as on Windows.
      message = messages.doubleClick;
      lastClick_ = ClickHistory{};
    } else {
      message = messages.down;
      lastClick_ = ClickHistory{true, window, button.button, now, at.x, at.y};
    }
  }
  const auto flags = static_cast<int>(MouseKeyFlags());
  const WParam wParam = messages.xButton != 0 ? MakeWParam(flags, static_cast<int>(messages.xButton))
                                              : static_cast<WParam>(flags);
  Emit(batch, window, message, wParam, MakeLParam(at.x, at.y), now);
}

void SdlInputTranslator::OnWindowEvent(const SDL_WindowEvent& event, uint32_t now,
                                       std::vector<QueuedMessage>* batch) {
  Window* window = target_.Resolve(event.windowID);
  if (window == nullptr) return;
  switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      if (target_.ChangeActivation(window, true)) Emit(batch, window, kWmActivate, kWaActive, 0, now);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      // Keys and buttons let go while another window has the focus never
      // report their release here.
      keys_.fill(false);
      buttons_ = 0;
      lastClick_ = ClickHistory{};
      if (target_.ChangeActivation(window, false)) Emit(batch, window, kWmActivate, kWaInactive, 0, now);
      break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED:
      // What was shown may be gone: the next frame is drawn again.
      Emit(batch, window, kWmPaint, 0, 0, now);
      break;
    case SDL_WINDOWEVENT_CLOSE:
      Emit(batch, window, kWmClose, 0, 0, now);
      if (window == target_.MainWindow()) closeSentToMain_ = true;
      break;
    default:
      break;
  }
}

}  // namespace plat::detail
