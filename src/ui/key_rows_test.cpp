// The key routing reads the hotkey rows the screens install: without them
// no key acts; with them the first row that takes the key acts, a not-busy
// row takes it but does nothing while the interface is locked, and the
// network rows follow the kind of game.
#include "ui/key_rows.h"

#include <gtest/gtest.h>

#include <string>

#include "net/command_network.h"
#include "ui/keyboard.h"
#include "ui/screen_manager.h"
#include "ui/ui_screen_hooks.h"

namespace {

std::string g_acted;

void Act(const char* name) { g_acted += name; }

const KeyRow kRows[] = {
    {'A', 0, kModShift, 0, kAnyMode, kAlways, [](ScreenManager&, const KeyPress&) { Act("shift-A "); }},
    {'A', 'C', 0, 0, kAnyMode, kAlways, [](ScreenManager&, const KeyPress&) { Act("A-C "); }},
    {'A', 0, 0, 0, kAnyMode, kAlways, [](ScreenManager&, const KeyPress&) { Act("never "); }},
    {'E', 0, 0, 0, kEditorOnly, kAlways, [](ScreenManager&, const KeyPress&) { Act("editor "); }},
    {'B', 'Z', 0, 0, kGameOnly, kNotBusy, [](ScreenManager&, const KeyPress&) { Act("not-busy "); }},
    {'N', 0, 0, 0, kAnyMode, kNetworked, [](ScreenManager&, const KeyPress&) { Act("net "); }},
    {'N', 0, 0, 0, kAnyMode, kNotNetworked, [](ScreenManager&, const KeyPress&) { Act("local "); }},
};

std::span<const KeyRow> TestRows() { return kRows; }

TEST(KeyRows, KeyCommandRunsTheFirstInstalledRowThatTakesTheKey) {
  struct Row {
    const char* name;
    bool installed;
    uint32_t key, modifiers;
    int32_t editor, locked;
    bool networked;
    const char* acted;
  } rows[] = {
      {"no rows installed", false, 'A', 0, 0, 0, false, ""},
      {"Shift+A: the first row", true, 'A', kModShift, 0, 0, false, "shift-A "},
      {"A: the range before the later row", true, 'A', 0, 0, 0, false, "A-C "},
      {"E in the game: past the editor's row", true, 'E', 0, 0, 0, false, "not-busy "},
      {"E in the editor", true, 'E', 0, 1, 0, false, "editor "},
      {"locked: the not-busy row takes E and does nothing", true, 'E', 0, 0, 1, false, ""},
      {"N locally", true, 'N', 0, 1, 0, false, "local "},
      {"N in a network game", true, 'N', 0, 1, 0, true, "net "},
      {"a key no row takes", true, '1', 0, 0, 0, false, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_uiScreenHooks.keyRows = row.installed ? &TestRows : nullptr;
    g_commandNet.role = row.networked ? kNetGameHost : kNetGameNone;
    ScreenManager ui;
    ui.uiLock = row.locked;
    g_acted.clear();
    EXPECT_EQ(KeyCommand(row.key, ui, row.modifiers, row.editor), 1);
    EXPECT_EQ(g_acted, row.acted);
  }
  g_uiScreenHooks.keyRows = nullptr;
  g_commandNet.role = kNetGameNone;
}

}  // namespace
