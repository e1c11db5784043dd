#pragma once
// The screens' side of the toolkit's hook table (ui/ui_screen_hooks.h): the
// game's hotkeys, the tutorial window's keys, the docked depth, the map
// drawn under the controls and scrolled at the edges, the editor's
// palettes, and the toolkit's own screens the set holds. The screen set
// installs them as the program starts, once the interface root exists.
struct ScreenSet;
struct ScreenManager;

// Fills the hook table from the set, and hands the interface root the map
// view.
void InstallUiScreenHooks(ScreenSet& screens, ScreenManager& ui);
