#pragma once
// The hotkey table's rows: one per key (or range of keys) and modifier
// combination, read by KeyCommand and by the tests alike. The first row
// that matches a key acts; a key that matches no row does nothing. The rows
// of the editor and the game come from the screens (screens/keys/key_table.h).
#include <cstdint>
#include <span>

struct ScreenManager;

enum KeyMode : uint8_t { kAnyMode, kGameOnly, kEditorOnly };

// Conditions beyond the modifiers. A networked row is skipped outside a
// network game and a local-only row inside one; a not-busy row still
// matches while the interface is locked, but does nothing. No row acts
// while a pop-up is open: Escape alone closes the pop-ups then.
enum KeyWhen : uint8_t { kAlways = 0, kNotBusy = 0x1, kNetworked = 0x2, kNotNetworked = 0x4 };

struct KeyPress {
  uint32_t key;
  uint32_t modifiers;  // kMod bits
  int32_t editor;      // 1 in the map editor, 0 in the game
};

struct KeyRow {
  uint32_t key, lastKey;     // the keys key to lastKey; lastKey 0: key alone
  uint32_t require, forbid;  // modifier bits that must be, and must not be, held
  KeyMode mode;
  uint8_t when;  // KeyWhen bits
  void (*action)(ScreenManager& ui, const KeyPress& press);
};

// The table the screens installed (ui/ui_screen_hooks.h); empty without.
std::span<const KeyRow> KeyRows();
// Whether the row takes the key (busy rows included).
bool KeyRowMatches(const KeyRow& row, const KeyPress& press, bool networked);
