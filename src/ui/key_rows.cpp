#include "ui/key_rows.h"

#include "ui/ui_screen_hooks.h"

std::span<const KeyRow> KeyRows() {
  if (!g_uiScreenHooks.keyRows) return {};
  return g_uiScreenHooks.keyRows();
}

bool KeyRowMatches(const KeyRow& row, const KeyPress& press, bool networked) {
  const uint32_t last = row.lastKey ? row.lastKey : row.key;
  if (press.key < row.key || press.key > last) return false;
  if ((press.modifiers & row.require) != row.require || (press.modifiers & row.forbid)) return false;
  if ((row.mode == kGameOnly && press.editor) || (row.mode == kEditorOnly && !press.editor)) return false;
  if ((row.when & kNetworked) && !networked) return false;
  if ((row.when & kNotNetworked) && networked) return false;
  return true;
}
