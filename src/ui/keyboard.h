#pragma once
// Keys: each key-down goes to the control holding the capture, then to the
// tutorial window (only Escape), the text being edited, the open pop-ups
// (Escape, and in the game the clock's keys unless the pop-up on top keeps
// every other out, as the game menu does) or the keys of the interface's
// mode: the front end's, or
// the hotkey table of the editor and the game. The tutorial window and the
// table are the screens', reached through ui/ui_screen_hooks.h. Window
// thread only.
#include <cstdint>

struct ScreenManager;

inline constexpr uint32_t kModShift = 0x1, kModCtrl = 0x2, kModAlt = 0x4;

// The modifiers held at a key-down. Tests replace it; null: Shift, Ctrl and
// Alt as the platform holds them (the frame's input poll when replaced).
using KeyModifierQuery = uint32_t (*)();
extern KeyModifierQuery g_keyModifiers;

// The game's speed tier (0 to 3) as the speed keys read and set it. Tests
// replace them; null: the world's game state.
struct KeySpeedSeam {
  int32_t (*tier)() = nullptr;
  void (*set)(int32_t tier) = nullptr;
};
extern KeySpeedSeam g_keySpeed;

// Set by a hotkey whose key also types a character, so the character does
// not reach the text field the hotkey opens.
extern uint32_t g_swallowNextChar;

// What F11 does in the front end: close the program, or go back to the
// game the front end was shown over. Tests replace them; null: the
// application's close request, and the game's mode and root brought back.
struct KeyAppSeam {
  void (*close)() = nullptr;
  void (*backToGame)() = nullptr;
};
extern KeyAppSeam g_keyApp;

// The installed hotkey table of the editor (editor 1) and the game
// (editor 0). 1.
int32_t KeyCommand(uint32_t key, ScreenManager& ui, uint32_t modifiers, int32_t editor);
// The front end's keys: only F11. 0.
int32_t FrontEndKeyDown(uint32_t key, ScreenManager& ui);
