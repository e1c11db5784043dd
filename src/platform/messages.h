#pragma once
// Window message numbers, parameter packing and virtual-key numbers. The game
// logic is written against Windows-style messages; these are their numbers.
#include <cstdint>

namespace plat {

class Window;

using WParam = uintptr_t;
using LParam = intptr_t;
using LResult = intptr_t;

struct Message {
  Window* window = nullptr;
  uint32_t message = 0;
  WParam wParam = 0;
  LParam lParam = 0;
  uint32_t time = 0;  // tick count when the message was queued
};

// Message numbers.
inline constexpr uint32_t kWmNull = 0x0000;
inline constexpr uint32_t kWmCreate = 0x0001;
inline constexpr uint32_t kWmDestroy = 0x0002;
inline constexpr uint32_t kWmSize = 0x0005;
inline constexpr uint32_t kWmActivate = 0x0006;
inline constexpr uint32_t kWmSetFocus = 0x0007;
inline constexpr uint32_t kWmKillFocus = 0x0008;
inline constexpr uint32_t kWmPaint = 0x000F;
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmQuit = 0x0012;
inline constexpr uint32_t kWmEraseBkgnd = 0x0014;
inline constexpr uint32_t kWmSetCursor = 0x0020;
inline constexpr uint32_t kWmNcHitTest = 0x0084;
inline constexpr uint32_t kWmKeyDown = 0x0100;
inline constexpr uint32_t kWmKeyUp = 0x0101;
inline constexpr uint32_t kWmChar = 0x0102;
inline constexpr uint32_t kWmSysKeyDown = 0x0104;
inline constexpr uint32_t kWmSysKeyUp = 0x0105;
inline constexpr uint32_t kWmSysCommand = 0x0112;
inline constexpr uint32_t kWmTimer = 0x0113;
inline constexpr uint32_t kWmMouseMove = 0x0200;
inline constexpr uint32_t kWmLButtonDown = 0x0201;
inline constexpr uint32_t kWmLButtonUp = 0x0202;
inline constexpr uint32_t kWmLButtonDblClk = 0x0203;
inline constexpr uint32_t kWmRButtonDown = 0x0204;
inline constexpr uint32_t kWmRButtonUp = 0x0205;
inline constexpr uint32_t kWmRButtonDblClk = 0x0206;
inline constexpr uint32_t kWmMButtonDown = 0x0207;
inline constexpr uint32_t kWmMButtonUp = 0x0208;
inline constexpr uint32_t kWmMButtonDblClk = 0x0209;
inline constexpr uint32_t kWmMouseWheel = 0x020A;
inline constexpr uint32_t kWmXButtonDown = 0x020B;
inline constexpr uint32_t kWmXButtonUp = 0x020C;
inline constexpr uint32_t kWmXButtonDblClk = 0x020D;
inline constexpr uint32_t kWmApp = 0x8000;  // 0x8000, 0x8001, 0x8002: notifications from other threads

// WM_ACTIVATE low word.
inline constexpr uint32_t kWaInactive = 0;
inline constexpr uint32_t kWaActive = 1;
inline constexpr uint32_t kWaClickActive = 2;

// WM_SYSCOMMAND wParam (low four bits are reserved and masked off by readers).
inline constexpr uint32_t kScSize = 0xF000;
inline constexpr uint32_t kScMove = 0xF010;
inline constexpr uint32_t kScMinimize = 0xF020;
inline constexpr uint32_t kScMaximize = 0xF030;

// Key messages carry the modifiers held when the key was read, in bits of
// their lParam the key word leaves unused, so a quick Ctrl+key is still
// one when it is handled; kKeyModifiersCarried marks a message that has them.
inline constexpr uint32_t kKeyShiftHeld = 1u << 25;
inline constexpr uint32_t kKeyControlHeld = 1u << 26;
inline constexpr uint32_t kKeyModifiersCarried = 1u << 27;
inline constexpr uint32_t kKeyAltHeld = 1u << 28;

// Mouse key-state flags in the wParam of mouse messages.
inline constexpr uint32_t kMkLButton = 0x0001;
inline constexpr uint32_t kMkRButton = 0x0002;
inline constexpr uint32_t kMkShift = 0x0004;
inline constexpr uint32_t kMkControl = 0x0008;
inline constexpr uint32_t kMkMButton = 0x0010;
inline constexpr uint32_t kMkXButton1 = 0x0020;
inline constexpr uint32_t kMkXButton2 = 0x0040;
// X-button messages name the button in the high word of wParam.
inline constexpr uint32_t kXButton1 = 1;
inline constexpr uint32_t kXButton2 = 2;
inline constexpr int kWheelDelta = 120;

// Virtual-key numbers.
inline constexpr uint32_t kVkLButton = 0x01, kVkRButton = 0x02, kVkMButton = 0x04;
inline constexpr uint32_t kVkXButton1 = 0x05, kVkXButton2 = 0x06;
inline constexpr uint32_t kVkBack = 0x08, kVkTab = 0x09, kVkReturn = 0x0D;
inline constexpr uint32_t kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12, kVkPause = 0x13;
inline constexpr uint32_t kVkCapital = 0x14, kVkEscape = 0x1B, kVkSpace = 0x20;
inline constexpr uint32_t kVkPrior = 0x21, kVkNext = 0x22, kVkEnd = 0x23, kVkHome = 0x24;
inline constexpr uint32_t kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28;
inline constexpr uint32_t kVkSnapshot = 0x2C, kVkInsert = 0x2D, kVkDelete = 0x2E;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A.
inline constexpr uint32_t kVkLWin = 0x5B, kVkRWin = 0x5C, kVkApps = 0x5D;
inline constexpr uint32_t kVkNumpad0 = 0x60;  // to kVkNumpad0 + 9
inline constexpr uint32_t kVkMultiply = 0x6A, kVkAdd = 0x6B, kVkSeparator = 0x6C;
inline constexpr uint32_t kVkSubtract = 0x6D, kVkDecimal = 0x6E, kVkDivide = 0x6F;
inline constexpr uint32_t kVkF1 = 0x70;  // to kVkF1 + 23 (F24)
inline constexpr uint32_t kVkNumLock = 0x90, kVkScroll = 0x91;
inline constexpr uint32_t kVkLShift = 0xA0, kVkRShift = 0xA1, kVkLControl = 0xA2;
inline constexpr uint32_t kVkRControl = 0xA3, kVkLMenu = 0xA4, kVkRMenu = 0xA5;
inline constexpr uint32_t kVkOem1 = 0xBA;       // ;:
inline constexpr uint32_t kVkOemPlus = 0xBB;    // =+
inline constexpr uint32_t kVkOemComma = 0xBC;   // ,<
inline constexpr uint32_t kVkOemMinus = 0xBD;   // -_
inline constexpr uint32_t kVkOemPeriod = 0xBE;  // .>
inline constexpr uint32_t kVkOem2 = 0xBF;       // /?
inline constexpr uint32_t kVkOem3 = 0xC0;       // `~
inline constexpr uint32_t kVkOem4 = 0xDB;       // [{
inline constexpr uint32_t kVkOem5 = 0xDC;       // \|
inline constexpr uint32_t kVkOem6 = 0xDD;       // ]}
inline constexpr uint32_t kVkOem7 = 0xDE;       // '"

// Parameter packing.
inline constexpr LParam MakeLParam(int lo, int hi) {
  return static_cast<LParam>(static_cast<uint32_t>((static_cast<uint32_t>(lo) & 0xFFFF) |
                                                   ((static_cast<uint32_t>(hi) & 0xFFFF) << 16)));
}
inline constexpr WParam MakeWParam(int lo, int hi) {
  return static_cast<WParam>(static_cast<uint32_t>(MakeLParam(lo, hi)));
}
inline constexpr uint32_t LoWord(uintptr_t v) { return static_cast<uint32_t>(v & 0xFFFF); }
inline constexpr uint32_t HiWord(uintptr_t v) { return static_cast<uint32_t>((v >> 16) & 0xFFFF); }
// Signed 16-bit halves, as mouse coordinates are packed.
inline constexpr int SignedLoWord(intptr_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF)); }
inline constexpr int SignedHiWord(intptr_t v) { return static_cast<int16_t>(static_cast<uint16_t>((v >> 16) & 0xFFFF)); }

}  // namespace plat
